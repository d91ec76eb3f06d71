// Scripted runs of Tolvex.exe: the parameters read, the application found through its
// file association, the install log beside it, and the reasons a run stops early.
#include <windows.h>
#include <shlwapi.h>

#include "ProductCd.h"
#include "UApp.h"
#include "UFileVersion.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

std::string Script(const std::string& ext, const std::string& extra = "", const std::string& product = "Lumen Viewer") {
  return "[INSTALL]\r\nproductname=" + product + "\r\nSrchDir=Disk2\r\nExeAssoc=" + ext +
         "\r\nDefaultGroup=Lumen\r\nIdFile=disk2.id\r\n" + extra;
}

}  // namespace

TEST(ScriptRun, FindsTheApplicationAndLogsBesideIt) {
  InstalledApp app(".tvxe2e1");
  ProductCd cd;
  cd.WriteScript(Script(".tvxe2e1", "HHUpgrade=hh\\%s\\hhupd.exe\r\n"));
  MakeDirPath(cd / "hh\\English");
  WriteFileText(cd / "hh\\English\\hhupd.exe", "MZ");
  // The other 27 languages' packages are missing: go on with English.
  EXPECT_EQ(0, cd.Run({"/script", cd.Dir()}, "answer: Yes\n"));
  std::string logFile = app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt";
  std::string text = ReadFileText(logFile);
  ASSERT_FALSE(text.empty()) << logFile;
  EXPECT_NE(std::string::npos, text.find("\r\n"));
  auto lines = Lines(text);
  EXPECT_EQ(std::string(53, '-'), lines[0]);
  EXPECT_EQ(0u, lines[1].find("Install - "));
  EXPECT_EQ("Tolvex.EXE version " + FileVersionText(cd.Exe()), lines[2]);
  EXPECT_TRUE(HasLine(lines, "  ParamStr(1) = /script"));
  EXPECT_TRUE(HasLine(lines, "  ParamStr(2) = " + cd.Dir()));
  EXPECT_TRUE(HasLine(lines, ">Start GetAllParameters()"));
  EXPECT_TRUE(HasLine(lines, "_dir_setupdir       = " + cd.Dir()));
  EXPECT_TRUE(HasLine(lines, "_dir_exedir         = " + app.Folder()));
  EXPECT_TRUE(HasLine(lines, "_ini_HHUpgrade = \"" + (cd / "hh\\English\\hhupd.exe") + "\""));
  EXPECT_TRUE(HasLine(lines, ">End GetAllParameters()"));
  EXPECT_TRUE(HasLine(lines, "Start InitScript()"));
  auto asked = cd.Asked();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(0u, asked[0].text.find("Internal Error: The following install file(s) could not be found\r" +
                                   (cd / "hh\\German\\hhupd.exe")))
      << asked[0].text;  // the application was found without a question
}

TEST(ScriptRun, TwoCandidatesAreAnsweredFromTheFile) {
  InstalledApp app(".tvxe2e2");
  ScratchDir other;
  std::string second = MakeAppFolder(other / "Lumen", "lumen.exe");
  ProductCd cd;
  cd.WriteScript(Script(".tvxe2e2", "", "Lumen Two"));
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Tesmora\\Lumen Two", "path", second);
  EXPECT_EQ(0, cd.Run({"/check", "."}, "box: select\nanswer: " + EscapeAnswerValue(second) + "\n"));
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tesmora\\Lumen Two");
  auto asked = cd.Asked();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ("select", asked[0].box);
  EXPECT_EQ("&Select the correct installation path:\r\n" + app.Folder() + "\r\n" + second, asked[0].text);
  EXPECT_EQ("answers file", asked[0].source);
  EXPECT_NE(std::string::npos, ReadFileText(other / "installLog_Check(Lumen Two).txt").find("_dir_exedir         = " + second));
}

TEST(ScriptRun, EarlyStopsSayWhyAndLeaveNoLog) {
  InstalledApp app(".tvxe2e3");
  struct Case {
    std::string script;
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {"", {"/script", "."},
       "Install file not found! \r\n\r\nFile Tolvex.ini must always be installed with Tolvex.exe!"},
      {"[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=d\r\nExeAssoc=.tvxe2e3\r\nIdFile=i\r\n", {"/script", "."},
       "Internal error: Tolvex.ini parameter \"DefaultGroup=\" not found!"},
      {Script(".tvxe2e3"), {"/script"},
       "Internal Error: 2nd parameter for Tolvex.exe must be Installsheild <SRCDIR> or . or / or /NoParam. "
       "<InstallDir> for /SetPath"},
      {Script(".tvxe2e3"), {"/Uninstall"},
       "Internal Error: 2nd parameter for Tolvex.exe must be Installsheild <SRCDIR> or . or / or /NoParam. "
       "<InstallDir> for /SetPath"},
  };
  for (const Case& c : cases) {
    ProductCd cd;
    if (!c.script.empty()) cd.WriteScript(c.script);
    EXPECT_EQ(kExitFailed, cd.Run(c.args));
    auto asked = cd.Asked();
    ASSERT_EQ(1u, asked.size()) << c.message;
    EXPECT_EQ(c.message, asked[0].text);
    EXPECT_EQ("none", asked[0].icon);
    EXPECT_FALSE(FileExists(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt")) << c.message;
  }
}

TEST(ScriptRun, DecliningTheSearchStopsQuietly) {
  ProductCd cd;
  cd.WriteScript(Script(".tvxe2enone"));
  EXPECT_EQ(kExitDeclined, cd.Run({"/script", "."}, "answer: No\n"));
  auto asked = cd.Asked();
  ASSERT_EQ(1u, asked.size());  // the question, then nothing more
  EXPECT_EQ("YesNo", asked[0].kind);
  EXPECT_EQ(0u, asked[0].text.find("\"Lumen Viewer\" application not found!"));
  EXPECT_EQ("Lumen Viewer Setup", asked[0].title);  // asked once the script named the product
}

TEST(ScriptRun, SetPathWritesBothValuesForA32BitProgram) {
  if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit build of the program has no 32-bit registry view";
  InstalledApp app(".tvxe2e4");
  ProductCd cd;
  cd.WriteScript(Script(".tvxe2e4", "", "Lumen Path"));
  EXPECT_EQ(0, cd.Run({"/setpath", "C:\\Lumen\\Viewer\\"}));
  for (const char* maker : {"Kelvor", "Tesmora"}) {
    std::string key = std::string("Software\\") + maker + "\\Lumen Path";
    EXPECT_EQ("C:\\Lumen\\Viewer", ReadRegValue(HKEY_LOCAL_MACHINE, key, "path")) << maker;
    // A 32-bit program's machine keys live in the 32-bit view on 64-bit Windows.
    HKEY k = nullptr;
    std::string wow = std::string("Software\\Wow6432Node\\") + maker + "\\Lumen Path";
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, wow.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k)) << wow;
    if (k) RegCloseKey(k);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  }
}

TEST(ScriptRun, RunsWhereWindowsSaysItIs98) {
  // The harness prefix reports Windows 98 to a program of this name.
  InstalledApp app(".tvxe2e98");
  ProductCd cd("Tolvex9x");
  cd.WriteScript(Script(".tvxe2e98", "", "Lumen Old"));
  EXPECT_EQ(0, cd.Run({"/script", "."}));
  std::string log = ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Old).txt");
  EXPECT_NE(std::string::npos, log.find("_dir_exedir         = " + app.Folder())) << log;
  EXPECT_NE(std::string::npos, log.find(">End GetAllParameters()"));
}

TEST(ScriptRun, CustomDirectoriesAreAnsweredFromTheFile) {
  InstalledApp app(".tvxe2e5");
  ScratchDir extra;
  std::string extraDir = MakeAppFolder(extra / "Extra", "extra.exe");
  struct Case {
    std::string answers;
    std::vector<std::string> logged, absent;
    int exitCode;
  } cases[] = {
      {"answer: Ignore\n",
       {"_dir_CustomDirs[0] = ** Extra Not Found: User Chose to Skip Item installation **",
        "Section: FILES -- Item Skipped by user. Application not found on PC. (unresolved <> Specifier): "
        "\"x.txt, <Extra>\\x.txt, V\".",
        "    a.txt, " + app.Folder() + "\\a.txt, V", "End InitScript()"},
       {},
       kExitFailed},  // a.txt is not on the CD: the copy stage stops
      {"answer: No\n", {"_dir_CustomDirs[0] = Extra ** Not Found: User Chose to Abort rest of install **"},
       {"End InitScript()"},
       kExitDeclined},
      {"answer: Yes\n\nbox: browse\nanswer: " + EscapeAnswerValue(extraDir) + "\n",
       {"_dir_CustomDirs[0] = Extra | .tvxe2enoextra | " + extraDir, "    x.txt, " + extraDir + "\\x.txt, V"},
       {},
       kExitFailed},
  };
  for (const Case& c : cases) {
    ProductCd cd;
    cd.WriteScript(Script(".tvxe2e5", "[CUSTOMDIRS]\r\nExtra|Extra Program=.tvxe2enoextra\r\n"
                                      "[FILES]\r\n1=a.txt, <exedir>\\a.txt, V\r\n2=x.txt, <Extra>\\x.txt, V\r\n"));
    EXPECT_EQ(c.exitCode, cd.Run({"/script", "."}, c.answers));
    auto lines = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt"));
    for (const std::string& l : c.logged) EXPECT_TRUE(HasLine(lines, l)) << l;
    for (const std::string& l : c.absent) EXPECT_FALSE(HasLine(lines, l)) << l;
    auto asked = cd.Asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ("YesNoIgnore", asked[0].kind);
    EXPECT_EQ(0u, asked[0].text.find("\"Extra Program\" application not found!"));
  }
}

TEST(ScriptRun, AMissingInstallerStopsBeforeTheScriptIsLoaded) {
  InstalledApp app(".tvxe2e6");
  ProductCd cd;
  cd.WriteScript(Script(".tvxe2e6", "ReadmeFile=<setupdir>\\readme.txt\r\nSWFInstallerPath=swf.exe\r\n"));
  EXPECT_EQ(kExitFailed, cd.Run({"/script", "."}));
  auto asked = cd.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Internal Error: Install source file not found - " + cd.Dir() + "\\readme.txt", asked[0].text);
  auto lines = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt"));
  EXPECT_TRUE(HasLine(lines, "  Path Expanded = swf.exe"));  // expanded, no longer checked
  EXPECT_FALSE(HasLine(lines, "Start InitScript()"));
}

TEST(ScriptRun, SecondDiskSetupStartsWithTheArgumentsPassedOn) {
  InstalledApp app(".tvxe2e7");
  // The program in the CD's Tolvex folder: its own Disk2 folder is where the second disk's
  // setup lies, here without the IdFile, so only the search below the program finds it.
  ProductCd cd("Tolvex", "Tolvex");
  cd.WriteScript(Script(".tvxe2e7", "", "Lumen Disk"));
  std::string disk2 = cd / "Tolvex\\Disk2";
  ASSERT_TRUE(MakeDirPath(disk2));
  ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", disk2 + "\\setup.exe"));
  std::string report = cd / "report.txt";
  EXPECT_EQ(0, cd.Run({"/tolvex", "/setup.exe", report, "a", "b"}));
  bool reported = false;
  for (int i = 0; i < 200 && !reported; ++i, Sleep(50)) reported = FileExists(report);  // the shell did not wait
  ASSERT_TRUE(reported);
  Sleep(100);  // the helper ends before its folder goes
  std::string cmdline = ReadFileText(report);
  EXPECT_NE(std::string::npos, cmdline.find("setup.exe\" " + report + " a b\n")) << cmdline;
  EXPECT_TRUE(cd.Asked().empty());

  auto lines = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog_Tolvex(Lumen Disk).txt"));
  EXPECT_TRUE(HasLine(lines, "  ParamStr(3) = " + report));
  EXPECT_TRUE(HasLine(lines, ">Tolvex: debug - FileExists(" + disk2 + "\\setup.exe) AND FileExists(" + disk2 +
                             "\\disk2.id) = "));
  EXPECT_TRUE(HasLine(lines, ">Tolvex: debug - DoFileSearch2() returned = " + disk2 + "\\setup.exe"));
  EXPECT_TRUE(HasLine(lines, ">Tolvex: Running - " + disk2 + "\\setup.exe, Params=\"" + report + " a b\""));
}

TEST(ScriptRun, ExitCodesAsInstallersGiveThem) {
  InstalledApp app(".tvxe2e8");
  const std::string logs = app.Root() + "\\Apps\\Lumen Viewer\\";
  ScratchDir work;
  // A copy fails when its source is held open without sharing; a registration fails on a
  // file that is no DLL; a run item fails when its program is not there.
  const std::string copyA = "[FILES]\r\n1=<setupdir>\\a.chm, <exedir>\\x\\a.chm, O\r\n";
  const std::string copyBoth = copyA + "2=<setupdir>\\b.chm, <exedir>\\x\\b.chm, O\r\n";
  struct Case {
    std::string extra;  // [INSTALL] lines, then any other section
    std::vector<std::string> args;
    int exitCode;
    bool logWritten;
    std::string lock;     // the file on the CD held open, so that its copy fails
    std::string summary;  // the install log's last line, when given
  } cases[] = {
      {"RestartRequired=1\r\n", {"/script", ".", "/answers="}, kExitRestartNeeded, true},
      {"", {"/script", ".", "/answers="}, kExitDone, true},  // a bare /answers=: default answers
      {"RestartRequired=1\r\n", {"/check", ".", "/answers="}, kExitDone, true},
      // An unattended run that cannot read its answers or write its transcript changes nothing.
      {"", {"/script", ".", "/answers=" + (work / "missing.txt")}, kExitFailed, false},
      {"", {"/script", ".", "/answers=", "/transcript=" + (work / "no\\such\\folder\\t.txt")}, kExitFailed, false},
      {"", {"/test", "/answers=" + (work / "missing.txt")}, kExitFailed, false},
      {"", {"/script", ".", "/quiet", "/log=" + (work / "no\\such\\folder\\l.txt")}, kExitFailed, false},
      // Items: all copied; a failed copy the default answer goes on past (also with a restart
      // wanting); a failed copy answered No; a failed registration; a run item not there.
      {copyBoth, {"/script", ".", "/answers="}, kExitDone, true, "",
       "Summary: 2 copied, 0 up to date, 0 failed - exit code 0"},
      {copyBoth, {"/script", ".", "/answers="}, kExitFailed, true, "a.chm",
       "Summary: 1 copied, 0 up to date, 1 failed - exit code 1603"},
      {"RestartRequired=1\r\n" + copyA, {"/script", ".", "/answers="}, kExitFailed, true, "a.chm",
       "Summary: 0 copied, 0 up to date, 1 failed - exit code 1603"},
      {copyBoth, {"/script", ".", "/answers=" + (work / "no.txt")}, kExitDeclined, true, "a.chm",
       "Summary: 0 copied, 0 up to date, 1 failed - exit code 1602"},
      {"[FILES]\r\n1=<setupdir>\\a.chm, <exedir>\\x\\a.dll, O, r\r\n", {"/script", ".", "/answers="}, kExitFailed,
       true, "", "Summary: 1 copied, 0 up to date, 1 failed - exit code 1603"},
      {"[RUN]\r\n1=<setupdir>\\missing.exe, , the tools\r\n", {"/script", ".", "/answers="}, kExitFailed, true, "",
       "Summary: 0 copied, 0 up to date, 1 failed - exit code 1603"},
      // A help video's failed copy answered No: the install goes on, so it failed, not stopped.
      {"CopyVideos=1\r\n", {"/script", ".", "/answers=" + (work / "video-no.txt")}, kExitFailed, true,
       "Videos\\v.avi", "Summary: 0 copied, 0 up to date, 1 failed - exit code 1603"},
  };
  WriteFileText(work / "no.txt", "answer: No\n");
  WriteFileText(work / "video-no.txt",
                "box: videos\nanswer: " + EscapeAnswerValue(app.Folder() + "\\help\\videos") + "\n\nanswer: No\n");
  for (const Case& c : cases) {
    ProductCd cd;
    cd.WriteScript(Script(".tvxe2e8", c.extra));
    WriteFileText(cd / "a.chm", "a");
    WriteFileText(cd / "b.chm", "b");
    if (c.extra.find("CopyVideos") != std::string::npos) {
      MakeDirPath(cd / "Videos");
      WriteFileText(cd / "Videos\\v.avi", "v");
    }
    ScopedHandle lock;
    if (!c.lock.empty())
      lock.Reset(CreateFileA((cd / c.lock).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::string log = logs + (c.args[0] == "/check" ? "installLog_Check" : "installLog") + "(Lumen Viewer).txt";
    DeleteFileA(log.c_str());
    RemoveDirectoryA((app.Folder() + "\\x").c_str());
    EXPECT_EQ(c.exitCode, cd.RunAsGiven(c.args)) << c.args[0] << " " << c.args.back() << " " << c.extra;
    EXPECT_EQ(c.logWritten, FileExists(log)) << c.args[0] << " " << c.args.back();
    EXPECT_FALSE(FolderExists(cd / "_Test")) << "the /test copy is made only when the run starts";
    if (!c.summary.empty()) {
      auto lines = Lines(ReadFileText(log));
      while (!lines.empty() && lines.back().empty()) lines.pop_back();
      EXPECT_EQ(c.summary, lines.empty() ? "" : lines.back()) << c.extra;
    }
    for (const char* f : {"a.chm", "b.chm", "a.dll"}) DeleteFileA((app.Folder() + "\\x\\" + f).c_str());
  }
  // Without a script the checks still end with 0: they report in their boxes, not here.
  ProductCd bare;
  EXPECT_EQ(kExitDone, bare.Run({"/check", "."}));
  EXPECT_EQ(kExitFailed, bare.Run({"/script", "."}));
}

// With /quiet nobody is there: no window of the program is on screen (counted by a run
// item while the program waits for it), a question takes its default answer, a failure
// goes to the log and the exit code. With /log=FILE the log is written to FILE as well.
TEST(ScriptRun, QuietRunsShowNoWindowAndCopyTheirLogWhereAsked) {
  InstalledApp app(".tvxe2e20");
  const std::string logs = app.Root() + "\\Apps\\Lumen Viewer\\";
  ScratchDir work;
  struct Case {
    std::vector<std::string> switches;
    std::string windows;  // the run item's count of the program's windows on screen
  } cases[] = {
      {{"/answers="}, "parent-windows=1"},  // unattended, but the progress window is there
      {{"/quiet", "/log=" + (work / "install.txt")}, "parent-windows=0"},
  };
  for (const Case& c : cases) {
    ProductCd cd;
    const std::string report = cd / "run.txt";
    cd.WriteScript(Script(".tvxe2e20", "UnInstall=1\r\n[FILES]\r\n1=<setupdir>\\a.chm, <exedir>\\x\\a.chm, OU\r\n"
                                       "2=<setupdir>\\b.chm, <exedir>\\x\\b.chm, OU\r\n"
                                       "[RUN]\r\n1=<setupdir>\\run.exe, \"" + report + "\", the tools\r\n"));
    WriteFileText(cd / "a.chm", "a");
    WriteFileText(cd / "b.chm", "b");
    ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", cd / "run.exe"));
    // a.chm cannot be read: "Continue Install?" is asked, and its default goes on.
    ScopedHandle lock(CreateFileA((cd / "a.chm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::string> args = {"/script", "."};
    args.insert(args.end(), c.switches.begin(), c.switches.end());
    EXPECT_EQ(kExitFailed, cd.RunAsGiven(args)) << c.switches[0];
    EXPECT_NE(std::string::npos, ReadFileText(report).find(c.windows + "\n")) << ReadFileText(report);
    const std::string log = ReadFileText(logs + "installLog(Lumen Viewer).txt");
    EXPECT_NE(std::string::npos, log.find(" 1 failed - exit code 1603")) << log;
    if (c.switches[0] != "/quiet") continue;
    EXPECT_EQ(log, ReadFileText(work / "install.txt"));
    // The quiet uninstall the entry offers, with a log of its own.
    lock.Reset();
    EXPECT_EQ(kExitDone, cd.RunAsGiven({"/Uninstall", app.Folder(), "/quiet", "/log=" + (work / "uninstall.txt")}));
    EXPECT_FALSE(FileExists(app.Folder() + "\\x\\b.chm"));
    const std::string removal = ReadFileText(work / "uninstall.txt");
    EXPECT_EQ(ReadFileText(logs + "installLog_Uninstall(Lumen Viewer).txt"), removal);
    EXPECT_NE(std::string::npos, removal.find(app.Folder() + "\\x\\b.chm")) << removal;
  }
}
