// The script engine against real files, folders and the registry: reading sections in
// every encoding (and what the INI functions make of the same files), identifiers,
// custom directories answered through the question seam, file items on disk, and the
// installer paths checked before an install.
#include <windows.h>

#include <algorithm>

#include "TestSupport.h"
#include "UDirIdent.h"
#include "UFileItem.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UScript.h"
#include "USourceCheck.h"
#include "UText.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

class ScriptTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    UseScratchProgramFiles(d);
    Params().productname = "Viewer";
    Params().exedir = MakeAppFolder(d / "App");
    ScriptFile().path = d / "Tolvex.ini";
  }
  void Script(const std::string& text) { WriteFileText(ScriptFile().path, text); }
};

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += std::string(1, c) + '\0';
  return out;
}

}  // namespace

TEST_F(ScriptTest, BothReadersOnTheSameFiles) {
  // What Windows' INI functions do differs (see the README); this pins down what the
  // engine reads and what the system reader next to it reads from the same bytes.
  const std::string body = "[INSTALL]\r\nproductname=Viewer\r\n[FILES]\r\n1=a.txt, b, V\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    bool iniReads;
  } cases[] = {
      {"ansi", body, true},
      {"lf", "[INSTALL]\nproductname=Viewer\n[FILES]\n1=a.txt, b, V\n", true},
      {"utf8 mark", "\xEF\xBB\xBF" + body, true},
      {"utf16 mark", Utf16(body), true},
      {"cr only", "[INSTALL]\rproductname=Viewer\r[FILES]\r1=a.txt, b, V\r", true},
  };
  for (const Case& c : cases) {
    Script(c.bytes);
    ScriptSectionList files;
    EXPECT_TRUE(ReadSectionLines(ScriptFile().path, "files", files)) << c.name;
    EXPECT_EQ(ScriptSectionList{"1=a.txt, b, V"}, files) << c.name;
    char buf[64] = "";
    GetPrivateProfileStringA("INSTALL", "productname", "", buf, sizeof buf, ScriptFile().path.c_str());
    EXPECT_EQ(c.iniReads ? "Viewer" : "", std::string(buf)) << c.name;
  }
}

TEST_F(ScriptTest, HugeLinesGarbageAndUnreadableFiles) {
  std::string huge(1 << 20, 'x');
  Script("[FILES]\r\n" + huge + std::string("\r\n\x01\x02\xFF\xFE\x00[\r\n1=ok\r\n", 14));
  ScriptSectionList files;
  EXPECT_TRUE(ReadSectionLines(ScriptFile().path, "FILES", files));
  ASSERT_EQ(3u, files.size());
  EXPECT_EQ(huge, files[0]);
  EXPECT_EQ("1=ok", files[2]);

  EXPECT_FALSE(ReadSectionLines(d / "absent.ini", "FILES", files));
  EXPECT_TRUE(files.empty());
  EXPECT_TRUE(InstallLog().lines.empty());  // a missing file is no error here

  ScopedHandle lock(CreateFileA(ScriptFile().path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.IsValid());
  EXPECT_FALSE(ReadSectionLines(ScriptFile().path, "FILES", files));
  ASSERT_EQ(1u, InstallLog().lines.size());
  EXPECT_EQ(0u, InstallLog().lines[0].find("** Error: the script \"" + ScriptFile().path + "\" could not be read"));
}

TEST_F(ScriptTest, NamedFoldersFromTheSystem) {
  std::string fonts = SpecialFolderPath(0x14);
  ASSERT_FALSE(fonts.empty());
  EXPECT_EQ(fonts, ResolveNamedFolder("$14"));
  EXPECT_EQ(fonts, ResolveNamedFolder("csidlFONTS"));
  EXPECT_EQ(GetWindowsDir(), ResolveNamedFolder("WinDir"));
  // Each cached folder is its own, whichever is asked first.
  EXPECT_EQ(GetSystemDir() + (IsWin9x() ? "" : "\\drivers"), ResolveNamedFolder("driversdir"));
  std::string temp = ResolveNamedFolder("tempdir");
  EXPECT_EQ(RemoveTrailingBackslashes(ShellLongPath(GetTempDir())), temp);
  EXPECT_EQ(GetSystemDir() + (IsWin9x() ? "" : "\\drivers"), ResolveNamedFolder("driversdir"));
  EXPECT_EQ("", ResolveNamedFolder("csidlnothing"));
  EXPECT_EQ("", ResolveNamedFolder("$zz"));
}

TEST_F(ScriptTest, SinglePathsReportWhatCannotBeResolved) {
  DirIdents().customDirs.resize(1);
  DirIdents().customDirs[0].name = "Gone";
  DirIdents().customDirs[0].skip = true;
  const struct {
    std::string text, want, message;
  } cases[] = {
      {"<exedir>\\a.exe", Params().exedir + "\\a.exe", ""},
      {"<Gone>\\a.exe", "<Gone>\\a.exe",
       "Internal Error: Tolvex.ini Script error \"<Gone>\\a.exe\" <identifier> could not be resolved"},
      {"<exedir>\\<what>", Params().exedir + "\\<what>",
       "Internal Error: Tolvex.ini Script error \"<exedir>\\<what>\" unknown <identifier>"},
  };
  for (const auto& c : cases) {
    UnattendedSeam seam;
    EXPECT_EQ(c.want, ResolveScriptText(c.text));
    auto asked = seam.Asked();
    EXPECT_EQ(c.message.empty() ? 0u : 1u, asked.size()) << c.text;
    if (!asked.empty()) {
      EXPECT_EQ(c.message, asked[0].text);
    }
  }
}

TEST_F(ScriptTest, AnUnusableTempFolderFallsBackToTheWindowsOne) {
  char old[MAX_PATH] = "";
  GetEnvironmentVariableA("TMP", old, MAX_PATH);
  SetEnvironmentVariableA("TMP", "Q:\\no-such-drive");  // nothing can be written there
  std::string temp = ResolveNamedFolder("tempdir");
  SetEnvironmentVariableA("TMP", old[0] ? old : nullptr);
  EXPECT_EQ(GetWindowsDir() + "\\TEMP", temp);
  EXPECT_TRUE(FolderExists(temp));
}

TEST_F(ScriptTest, SectionsLoadResolvedAndSkippedLinesGo) {
  DirIdentState& ids = DirIdents();
  ids.customDirs.resize(2);
  ids.customDirs[0].name = "Asked";
  ids.customDirs[0].skip = ids.customDirs[0].prompted = true;
  ids.customDirs[1].name = "Quiet";
  ids.customDirs[1].skip = true;
  Script("[FILES]\r\n"
         "1=a.txt, <exedir>\\a.txt, V\r\n"
         "2=b.txt, <Asked>\\b.txt, V\r\n"
         "3=c.txt, <Quiet>\\c.txt, V\r\n"
         "4=d.txt, <nowhere>\\d.txt, V\r\n"
         "5=e.txt\r\n");
  UnattendedSeam seam;
  ScriptSectionList files;
  LoadScriptSection("FILES", files);
  EXPECT_EQ((ScriptSectionList{"a.txt, " + Params().exedir + "\\a.txt, V", "d.txt, <nowhere>\\d.txt, V", "e.txt"}),
            files);
  const auto& log = InstallLog().lines;
  auto quiet = std::find(log.begin(), log.end(),
                         "Section: FILES -- Item Skipped by script. Application not found on PC. (unresolved <> "
                         "Specifier): \"c.txt, <Quiet>\\c.txt, V\".");
  auto asked = std::find(log.begin(), log.end(),
                         "Section: FILES -- Item Skipped by user. Application not found on PC. (unresolved <> "
                         "Specifier): \"b.txt, <Asked>\\b.txt, V\".");
  ASSERT_NE(log.end(), quiet);
  EXPECT_LT(quiet, asked);  // the walk goes from the last line to the first
  auto shown = seam.Asked();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ("Internal Error: Tolvex.ini Script error \"d.txt, <nowhere>\\d.txt, V\" unknown <identifier>", shown[0].text);
}

TEST_F(ScriptTest, CustomDirectoriesAnsweredAndLogged) {
  MakeAppFolder(d / "Other");
  RegisterAssociation(".tvxother", "Other.File", "\"" + d / "Other\\other.exe\" \"%1\"");
  WriteFileText(d / "Other\\other.exe", "MZ");
  struct Case {
    std::string lines, answers;
    bool result;
    std::vector<std::string> log;
    size_t questions;
  } cases[] = {
      {"Other=.tvxother\r\n", "", true, {"_dir_CustomDirs[0] = Other | .tvxother | " + d / "Other"}, 0},
      {"Quiet=.tvxnone\r\n", "", true,
       {"_dir_CustomDirs[0] = Quiet | .tvxnone | ** Path Not Found **",
        "_dir_CustomDirs[0] = ** Quiet Not Found: Install is configured to Skip Item installation **"}, 0},
      {"Asked|Asked Program=.tvxnone\r\n", "answer: Ignore\n", true,
       {"_dir_CustomDirs[0] = Asked | .tvxnone | ** Path Not Found **",
        "_dir_CustomDirs[0] = ** Asked Not Found: User Chose to Skip Item installation **"}, 1},
      {"Asked|Asked Program=.tvxnone\r\nOther=.tvxother\r\n", "answer: No\n", false,
       {"_dir_CustomDirs[0] = Asked | .tvxnone | ** Path Not Found **",
        "_dir_CustomDirs[0] = Asked ** Not Found: User Chose to Abort rest of install **"}, 1},
      {"Gone|Gone Program=.tvxnone\r\n", "answer: Yes\n\nanswer: " + EscapeAnswerValue(d / "gone") + "\n", false,
       {"_dir_CustomDirs[0] = ** Dir not found: " + d / "gone" + " **",
        "_dir_CustomDirs[0] = Gone | .tvxnone | " + d / "gone",
        "_dir_CustomDirs[0] = Gone ** Not Found: User Chose to Abort rest of install **"}, 3},
  };
  Params().BrowseFolderRequiresEXE = false;
  for (const Case& c : cases) {
    InstallLog().lines.clear();
    Script("[CUSTOMDIRS]\r\n" + c.lines);
    ReadSectionLines(ScriptFile().path, "CUSTOMDIRS", Lists().customDirs);
    UnattendedSeam seam(c.answers);
    EXPECT_EQ(c.result, ResolveCustomDirs()) << c.lines;
    std::vector<std::string> log = InstallLog().lines;
    log.erase(std::remove_if(log.begin(), log.end(), [](const std::string& l) { return l.find("_dir_") != 0; }),
              log.end());
    EXPECT_EQ(c.log, log) << c.lines;
    auto asked = seam.Asked();
    EXPECT_EQ(c.questions, asked.size()) << c.lines;
    if (c.questions) {
      EXPECT_EQ(0u, asked[0].text.find("\"" + DirIdents().customDirs[0].name + " Program\"")) << c.lines;
    }
    if (c.questions == 3) {
      EXPECT_EQ("Installation Error: \"Gone Program\" application directory found in registry but not found on "
                "harddisk!\rDirectory: " + d / "gone" + "\rPlease reinstall application software. Installation "
                "terminated.", asked[2].text);
    }
    EXPECT_EQ(kLogSeparator, InstallLog().lines.back());
  }
}

TEST_F(ScriptTest, InitScriptLoadsEveryListOrStops) {
  Script("[CUSTOMDIRS]\r\nOther=.tvxnone\r\n[FILES]\r\nf\r\n[SHORTCUTS]\r\ns\r\n[RUN]\r\nr\r\n"
         "[LIST1]\r\nl1\r\n[LIST4]\r\nl4\r\n[LIST2]\r\n[LIST3]\r\n");
  {
    UnattendedSeam seam;
    EXPECT_TRUE(InitScript());
    EXPECT_TRUE(seam.Asked().empty());
  }
  const ScriptLists& l = Lists();
  EXPECT_EQ(ScriptSectionList{"f"}, l.files);
  EXPECT_EQ(ScriptSectionList{"s"}, l.shortcuts);
  EXPECT_EQ(ScriptSectionList{"r"}, l.run);
  EXPECT_EQ(ScriptSectionList{"l1"}, l.list1);
  EXPECT_TRUE(l.list2.empty() && l.list3.empty());
  EXPECT_EQ(ScriptSectionList{"l4"}, l.list4);
  EXPECT_EQ("Start InitScript()", InstallLog().lines.front());
  EXPECT_EQ(std::string(61, '='), InstallLog().lines.back());
  EXPECT_TRUE(LogHasLine("End InitScript()"));

  ResetRunState();
  SetUp();
  Script("[CUSTOMDIRS]\r\nA|A Program=.tvxnone\r\n[FILES]\r\nf\r\n");
  {
    UnattendedSeam seam("answer: No\n");
    EXPECT_FALSE(InitScript());
  }
  EXPECT_TRUE(Lists().files.empty());
  EXPECT_FALSE(LogHasLine("End InitScript()"));

  Params().exedir.clear();
  UnattendedSeam seam;
  EXPECT_FALSE(InitScript());
  ASSERT_EQ(1u, seam.Asked().size());
  EXPECT_EQ("\"Viewer\" application not found! \r\n\r\nBefore installing this CD you must first install the main "
            "application software!", seam.Asked()[0].text);
}

TEST_F(ScriptTest, FileItemsOnDisk) {
  SetCurrentLanguageForLcid(0x407);  // German
  WriteFileText(d / "src.txt", "x");
  MakeDirPath(d / "srcdir");
  MakeDirPath(d / "dst");
  WriteFileText(d / "dst\\ro.txt", "old");
  SetFileAttributesA((d / "dst\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string s = d / "src.txt", dst = d / "new\\deep\\a.txt";
  struct Case {
    std::string line;
    ParseStatus status;
    std::string message;  // the one box shown, if any
  } cases[] = {
      {s + ", " + dst + ", VU, R, -, s1, Cap, Desc", ParseStatus::OK, ""},
      {"$Lang_de, $Lang_fr, " + s + ", " + d / "dst\\ro.txt, Xu", ParseStatus::OK, ""},
      {"$Lang_en, " + s + ", " + d / "skipped\\a.txt, V", ParseStatus::Skip, ""},
      {"$Lang_xx, " + s + ", " + dst + ", V", ParseStatus::Error,
       "Invalid $xxx command prefix found: \"$Lang_xx, " + s + ", " + dst + ", V\""},
      {"$Lang_de", ParseStatus::Error, "Internal error: Invalid format in [FILES] section of Tolvex.ini.\r\n\r\n \"$Lang_de\""},
      {s + ", " + dst + ", U", ParseStatus::Error,
       "Internal error: Invalid format in [FILES] section of Tolvex.ini.\r\n\r\n \"" + s + ", " + dst + ", U\""},
      {s + ", " + dst, ParseStatus::Error,
       "Internal error: Invalid format in [FILES] section of Tolvex.ini.\r\n\r\n \"" + s + ", " + dst + "\""},
      {d / "none*.txt, " + dst + ", V", ParseStatus::Error,
       "Internal error: Source file not found! Correct Tolvex.ini script file!\r\"" + d / "none*.txt, " + dst + ", V\""},
      {d / "src*.txt, " + dst + ", V", ParseStatus::OK, ""},
      {d / "srcdir\\, " + dst + ", V", ParseStatus::Error,
       "Internal error: Source file not found! Correct Tolvex.ini script file!\r\"" + d / "srcdir\\, " + dst + ", V\""},
      {d / "srcdir\\, " + d / "tree\\sub\\, V", ParseStatus::OK, ""},
      {d / "nodir\\, " + d / "tree\\sub\\, V", ParseStatus::Error,
       "Internal error: Source Directory not found! Correct Tolvex.ini script file!\r\"" + d / "nodir\\, " +
           d / "tree\\sub\\, V\""},
      {d / "none.txt, " + d / "err\\made\\a.txt, VU", ParseStatus::Error,
       "Internal error: Source file not found! Correct Tolvex.ini script file!\r\"" + d / "none.txt, " +
           d / "err\\made\\a.txt, VU\""},
      {s + ", Q:\\nowhere\\a.txt, V", ParseStatus::Error,
       "Error writing to destination drive! Check if drive is full or readonly!\r\"Q:\\nowhere\""},
  };
  for (const Case& c : cases) {
    UnattendedSeam seam;
    FileItem item;
    EXPECT_EQ(c.status, ParseFileInfo(c.line, item)) << c.line;
    auto asked = seam.Asked();
    EXPECT_EQ(c.message.empty() ? 0u : 1u, asked.size()) << c.line;
    if (!c.message.empty() && !asked.empty()) {
      EXPECT_EQ(c.message, asked[0].text);
    }
  }
  EXPECT_TRUE(FolderExists(d / "new\\deep"));
  EXPECT_TRUE(FolderExists(d / "tree"));          // the folder above a folder item
  EXPECT_FALSE(FolderExists(d / "skipped"));      // a skipped line touches nothing
  EXPECT_FALSE(FolderExists(d / "err"));          // nor does a line that fails its check
  // Recorded for the uninstall ("u"), the file keeps its attribute: the copy sets it aside
  // as it is, to be put back as it was.
  EXPECT_TRUE(GetFileAttributesA((d / "dst\\ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

  // What a line that stops early leaves decoded: a skipped line only its texts, a line
  // without a copy mode also its flags and register field, never its selection.
  const struct {
    std::string line;
    ParseStatus status;
    bool uninstall;
    std::string reg;
    int selection;
  } early[] = {{"$Lang_en, " + s + ", " + dst + ", VU, R, -, 1, Cap, Desc", ParseStatus::Skip, false, "", 0},
               {s + ", " + dst + ", U, R, -, 1, Cap, Desc", ParseStatus::Error, true, "r", 0},
               {s + ", " + dst + ", U, /Silent /Dir=C:\\X, -, 1, Cap, Desc", ParseStatus::Error, true,
                "/Silent /Dir=C:\\X", 0}};
  for (const auto& e : early) {
    UnattendedSeam seam;
    FileItem item;
    EXPECT_EQ(e.status, ParseFileInfo(e.line, item)) << e.line;
    EXPECT_EQ(CopyMode::AnyDifference, item.copyMode) << e.line;
    EXPECT_EQ(e.uninstall, item.addToUninstall) << e.line;
    EXPECT_EQ(e.reg, item.reg) << e.line;
    EXPECT_EQ(e.selection, item.selection) << e.line;
    EXPECT_EQ(dst, item.destination) << e.line;
    EXPECT_EQ("Desc", item.description) << e.line;
  }

  FileItem item;
  ParseFileInfo(s + ", " + dst + ", VU, R, " + s + ", s1, Cap, Desc", item);
  EXPECT_EQ(CopyMode::VersionOrDateNewer, item.copyMode);
  EXPECT_TRUE(item.addToUninstall && !item.updateOnly && item.conditionFileExists);
  EXPECT_EQ("r", item.reg);
  EXPECT_EQ(3, item.selection);
  EXPECT_EQ("Cap", item.caption);
  EXPECT_EQ("Desc", item.description);
  EXPECT_EQ("ParseFileInfo:    \"" + s + ", " + dst + ", VU, R, " + s + ", s1, Cap, Desc\"", InstallLog().lines.back());
}

TEST_F(ScriptTest, InstallerPathsAreCheckedBeforeAnInstall) {
  // Relative paths are taken below the program's folder, wherever the run started.
  ScratchDir cdFiles;
  std::string rel = "tvx-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  std::string below = ModuleDir() + "\\" + rel;
  MakeDirPath(below + "\\English");
  MakeDirPath(below + "\\German");
  WriteFileText(below + "\\English\\hh.exe", "MZ");
  WriteFileText(below + "\\German\\hh.exe", "MZ");
  WriteFileText(below + "\\cc.exe", "MZ");
  SetCurrentDirectoryA(cdFiles.Path().c_str());

  SetCurrentLanguageForLcid(0x407);
  InstallParams& p = Params();
  p.HHUpgrade = rel + "\\%S\\hh.exe";
  p.CC32Upgrade = rel + "\\cc.exe";
  p.ReadmeFile = "<setupdir>\\readme.txt";  // missing
  p.setupdir = cdFiles.Path();
  p.SWFInstallerPath = "<nowhere>\\swf.exe";  // after a failure: expanded, not checked
  UnattendedSeam seam("answer: Yes\n");
  EXPECT_FALSE(ValidateInstallSources(true));
  auto asked = seam.Asked();
  ASSERT_EQ(3u, asked.size());
  // 28 languages, English and German present: the other 26 are listed.
  EXPECT_EQ(27u, std::count(asked[0].text.begin(), asked[0].text.end(), '\r'));
  EXPECT_EQ(0u, asked[0].text.find("Internal Error: The following install file(s) could not be found\r" + below +
                                   "\\Japanese\\hh.exe\r"));
  EXPECT_EQ("Internal Error: Install source file not found - " + cdFiles.Path() + "\\readme.txt", asked[1].text);
  EXPECT_EQ("Internal Error: Tolvex.ini Script error \"<nowhere>\\swf.exe\" unknown <identifier>", asked[2].text);
  EXPECT_EQ(below + "\\German\\hh.exe", p.HHUpgrade);  // this PC's language
  EXPECT_EQ(below + "\\cc.exe", p.CC32Upgrade);
  EXPECT_EQ("<nowhere>\\swf.exe", p.SWFInstallerPath);
  EXPECT_TRUE(LogHasLine("  Path Expanded = " + cdFiles.Path() + "\\readme.txt"));
  EXPECT_FALSE(LogHasLine("Start ExpandValidateSrcPath()"));  // empty paths leave no trace

  struct LangCase {
    unsigned lcid;
    std::string answer, want;
    bool result;
  } langs[] = {{0x411, "Yes", below + "\\English\\hh.exe", true},
               {0x407, "No", rel + "\\%s\\hh.exe", false},
               {0x407, "Yes", below + "\\German\\hh.exe", true}};
  for (const LangCase& c : langs) {
    SetCurrentLanguageForLcid(c.lcid);
    std::string path = rel + "\\%s\\hh.exe";
    UnattendedSeam s("answer: " + c.answer + "\n");
    EXPECT_EQ(c.result, ExpandValidateLangSrcPath(true, path, 1)) << c.lcid;
    EXPECT_EQ(c.want, path) << c.lcid;
  }
  DeleteFileA((below + "\\English\\hh.exe").c_str());
  std::string path = rel + "\\%s\\hh.exe";
  SetCurrentLanguageForLcid(0x411);
  UnattendedSeam s("answer: Yes\n");
  EXPECT_TRUE(ExpandValidateLangSrcPath(true, path, 2));
  EXPECT_EQ("", path);  // neither Japanese nor English: the package is skipped later
  SetCurrentDirectoryA(ModuleDir().c_str());
  for (const char* f : {"\\German\\hh.exe", "\\cc.exe"}) DeleteFileA((below + f).c_str());
  for (const char* f : {"\\English", "\\German", ""}) RemoveDirectoryA((below + f).c_str());
}

TEST(Win9x, DriversFolderIsTheSystemFolderAndScriptsReadAsOnNt) {
  if (!IsWin9x()) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  ResetRunState();
  EXPECT_EQ(GetSystemDir(), ResolveNamedFolder("driversdir"));
  ScratchDir d;
  WriteFileText(d / "Tolvex.ini", Utf16("[FILES]\r\n1=a\r\n"));
  ScriptSectionList files;
  EXPECT_TRUE(ReadSectionLines(d / "Tolvex.ini", "FILES", files));
  EXPECT_EQ(ScriptSectionList{"1=a"}, files);
  ResetRunState();
}
