// An install and its uninstall in the Japanese code page 932, where the second byte of a
// double-byte character may be a backslash: the application folder, a destination folder,
// a file name and a shortcut's name all hold such characters. Files and folders are
// checked through the Unicode functions, so that they are read as they are and not as this
// program's code page would turn them; records and texts are compared as code page bytes.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "ProductCd.h"
#include "UApp.h"
#include "UPaths.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// 能 (0x94 0x5C) and 表 (0x95 0x5C) end in the byte of a backslash, ソ (0x83 0x5C) too.
const std::wstring kApps = L"C:\\Apps", kApp = kApps + L"\\機能", kDest = kApp + L"\\表示";

std::string Cp932(const std::wstring& text) {
  std::string bytes(text.size() * 2, '\0');
  bytes.resize(WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// Nothing of this test's outside its scratch folders: before it (an earlier run's
// leftovers) and after it, however it ended.
struct Leftovers {
  Leftovers() { Remove(); }
  ~Leftovers() { Remove(); }
  void Remove() {
    RemoveTreeW(kApps);
    RemoveTreeW(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tolvex CP932");
    DeleteFileW((ShellFolder(CSIDL_WINDOWS) + L"\\TolvexCp932.exe").c_str());
    for (std::string key; !(key = UninstallEntryOf(Cp932(kApp))).empty();)
      if (SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str() + (key[0] == '\\')) != ERROR_SUCCESS) break;
    SHDeleteKeyW(HKEY_CLASSES_ROOT, L".tvxcp932");
    SHDeleteKeyW(HKEY_CLASSES_ROOT, L"TolvexCp932.File");
  }
};

std::string Questions(const ProductCd& cd) {
  std::string all = "questions asked:";
  for (const AnswerEntry& e : cd.Asked()) all += "\n  " + e.text + " -> " + e.answer;
  return all;
}

}  // namespace

TEST(CodePage, InstallAndUninstallUnderCodePage932) {
  if (GetACP() != 932)
    GTEST_SKIP() << "this program runs in code page " << GetACP() << ", not 932: Wine takes it from the Unix "
                 << "locale, which must be ja_JP.UTF-8 (set by this test's CTest entry) and exist (`locale -a` "
                 << "lists ja_JP.utf8; as root the harness generates it with localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)";
  Leftovers leftovers;
  ScopedComInit com;
  // The application, found through its file type as InstalledApp's is.
  ASSERT_TRUE(CreateDirectoryW(kApps.c_str(), nullptr) && CreateDirectoryW(kApp.c_str(), nullptr));
  WriteFileText(Cp932(kApp + L"\\lumen.exe"), "app");
  RegSetValueW(HKEY_CLASSES_ROOT, L".tvxcp932", REG_SZ, L"TolvexCp932.File", 0);
  const std::wstring command = L"\"" + kApp + L"\\lumen.exe\" \"%1\"";
  RegSetValueW(HKEY_CLASSES_ROOT, L"TolvexCp932.File\\shell\\open\\command", REG_SZ, command.c_str(), 0);

  ProductCd cd("TolvexCp932");
  MakeDirPath(cd / "Help");
  WriteFileText(cd / "Help\\a.chm", "a");
  WriteFileText(cd / ("Help\\" + Cp932(L"表.chm")), "hyou");
  cd.WriteScript(Cp932(L"[INSTALL]\r\nproductname=Lumen CP932\r\nSrchDir=Disk2\r\nExeAssoc=.tvxcp932\r\n"
                       L"DefaultGroup=Tolvex CP932\r\nIdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n"
                       L"[FILES]\r\n1=<setupdir>\\Help\\*.chm, <exedir>\\表示\\, VU\r\n"
                       L"[SHORTCUTS]\r\n1=<exedir>\\表示\\表.chm, , 表示\\ソフト\r\n"));
  ASSERT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"})) << Questions(cd);

  const std::wstring files[] = {kDest + L"\\a.chm", kDest + L"\\表.chm"};
  for (const std::wstring& f : files) EXPECT_TRUE(Exists(f)) << f;
  const std::wstring group = ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tolvex CP932", link = group + L"\\表示\\ソフト.lnk";
  EXPECT_EQ(Cp932(files[1]), ReadLink(Cp932(link)).path) << link;
  // The records are in the code page's bytes, which the uninstall reads back.
  const std::string list = ReadFileText(Cp932(kApp + L"\\HelpUninstList0.ini"));
  const std::vector<std::string> lines = Lines(list);
  for (const std::wstring& line : {files[0], files[1], L";\"folder\" " + kDest, L";\"folder\" " + group,
                                   L";\"folder\" " + group + L"\\表示", L";\"link\" " + link})
    EXPECT_TRUE(HasLine(lines, Cp932(line))) << line << "\nlist file:\n" << list;
  EXPECT_FALSE(UninstallEntryOf(Cp932(kApp)).empty()) << "no Add/Remove Programs entry has the InstallLocation " << kApp;
  const std::string log = ReadFileText(Cp932(kApps + L"\\installLog(Lumen CP932).txt"));
  EXPECT_NE(std::string::npos, log.find(Cp932(L"\"" + files[1] + L"\""))) << log;

  // The folder in this program's code page, 932: the command line reaches Tolvex.exe as given.
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", Cp932(kApp)}, "answer: Yes\n\nanswer: OK\n")) << Questions(cd);
  for (const std::wstring& gone : {files[0], files[1], kDest, link, group, kApp + L"\\HelpUninstList0.ini"})
    EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_TRUE(UninstallEntryOf(Cp932(kApp)).empty());
  EXPECT_TRUE(Exists(kApp + L"\\lumen.exe"));
}
