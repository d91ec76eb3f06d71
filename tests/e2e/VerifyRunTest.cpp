// Tolvex.exe /verify on a product CD: the report, the summary box, the exit code, and
// that the check leaves nothing behind but its report.
#include <windows.h>

#include <set>

#include "ProductCd.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// Every file and folder below root.
void ListTree(const std::string& root, std::set<std::string>& out) {
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((root + "\\*").c_str(), &fd));
  if (!f) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    out.insert(root + "\\" + name);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(root + "\\" + name, out);
  } while (FindNextFileA(f.Get(), &fd));
}

std::set<std::string> Trees(const std::vector<std::string>& roots) {
  std::set<std::string> all;
  for (const std::string& r : roots) ListTree(r, all);
  return all;
}

bool KeyExists(const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// An install of this script would search for the application, write its log beside
// it, create "<exedir>\Help" and register the uninstall entry.
std::string Script(const std::string& ext, const std::string& files) {
  return "[INSTALL]\r\nproductname=Lumen Verify\r\nSrchDir=Disk2\r\nExeAssoc=" + ext +
         "\r\nDefaultGroup=Lumen\r\nIdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Verify Help\r\n"
         "HHUpgrade=<setupdir>\\hh\\%s\\hhupd.exe\r\n[FILES]\r\n" +
         files;
}

}  // namespace

TEST(VerifyRun, CleanCdPassesAndNothingIsInstalled) {
  InstalledApp app(".tvxe2ev1");
  ProductCd cd;
  MakeDirPath(cd / "hh\\English");
  MakeDirPath(cd / "docs");
  WriteFileText(cd / "hh\\English\\hhupd.exe", "MZ");
  WriteFileText(cd / "docs\\lumen.chm", "help");
  cd.WriteScript(Script(".tvxe2ev1", "1=<setupdir>\\docs\\*.chm,<exedir>\\Help\\,VU\r\n"));
  std::set<std::string> before = Trees({cd.Dir(), app.Root()});

  EXPECT_EQ(0, cd.Run({"/verify", "."}));
  auto lines = Lines(ReadFileText(cd / "verify.txt"));
  ASSERT_EQ(2u, lines.size());  // the English help package alone: a warning, then the final CR LF
  EXPECT_EQ(0u, lines[0].find("Tolvex.ini(9): warning: HHUpgrade: no package for 27 other language(s)")) << lines[0];
  auto asked = cd.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("information", asked[0].icon);
  EXPECT_EQ("Tolvex.ini: 0 error(s), 1 warning(s).\rSee " + (cd / "verify.txt"), asked[0].text);

  std::set<std::string> after = Trees({cd.Dir(), app.Root()});
  before.insert(cd / "verify.txt");
  EXPECT_EQ(before, after);
  for (const char* key : {"Software\\Tesmora\\Lumen Verify", "Software\\Kelvor\\Lumen Verify",
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumen Verify Help"})
    EXPECT_FALSE(KeyExists(key)) << key;
}

TEST(VerifyRun, BrokenCdFailsWithItsLines) {
  // No application is installed for this script: a search would have asked about it.
  ProductCd cd("Lumen");
  ScratchDir out;
  cd.WriteScript(Script(".tvxe2enone", "1=<setupdir>\\docs\\lumen.chm,<exedir>\\Help\\lumen.chm,VU\r\n"
                                       "2=<setupdir>\\docs\\lumen.chm,<Help>\\lumen.chm,U\r\n"));
  EXPECT_EQ(1, cd.Run({"/verify=" + (out / "report.txt"), cd.Dir() + "\\"}));
  EXPECT_EQ((std::vector<std::string>{
                "Lumen.ini(9): error: HHUpgrade: \"" + (cd / "hh\\English\\hhupd.exe") +
                    "\" not found on the CD (the English package is the fallback)",
                "Lumen.ini(9): warning: HHUpgrade: no package for 27 other language(s) (German first): the install "
                "asks whether to go on without them",
                "Lumen.ini(11): error: source \"" + (cd / "docs\\lumen.chm") + "\" not found on the CD",
                "Lumen.ini(12): error: unknown identifier \"<Help>\"",
                "Lumen.ini(12): error: flags \"U\" name no copy mode (O, D, V, $ or X)",
                "Lumen.ini(12): error: source \"" + (cd / "docs\\lumen.chm") + "\" not found on the CD", ""}),
            Lines(ReadFileText(out / "report.txt")));
  EXPECT_FALSE(FileExists(cd / "verify.txt"));
  auto asked = cd.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("warning", asked[0].icon);
  EXPECT_EQ("Lumen.ini check", asked[0].title);
  EXPECT_EQ("Lumen.ini: 5 error(s), 1 warning(s).\rSee " + (out / "report.txt"), asked[0].text);
}
