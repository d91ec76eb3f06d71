#include <windows.h>

#include <algorithm>

#include "TestSupport.h"
#include "UApp.h"
#include "UDebugLog.h"
#include "UGetAppPath.h"
#include "UInstallLog.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UParams.h"
#include "UPaths.h"
#include "UProgram.h"
#include "URegistry.h"
#include "URights.h"
#include "UScript.h"
#include "UStartup.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

static const char* const kScript =
    "[INSTALL]\r\n"
    "productname=Viewer\r\n"
    "SrchDir=Disk2\r\n"
    "ExeAssoc=.tvxview\r\n"
    "DefaultGroup=Viewer\r\n"
    "IdFile=disk2.id\r\n";

// A CD in a scratch folder with the program path pointing into it, and an installed
// application registered for ".tvxview".
class ParamsTest : public TolvexTest {
 protected:
  ScratchDir cd, apps;
  ScratchRegistry reg;
  std::string app;
  void SetUp() override {
    TolvexTest::SetUp();
    app = MakeAppFolder(apps / "Viewer\\Bin", "viewer.exe");
    RegisterAssociation(".tvxview", "Viewer.Document", "\"" + app + "\\viewer.exe\" \"%1\"");
    WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                   apps.Path());
  }
  void Script(const std::string& ini) { WriteFileText(cd / "Tolvex.ini", ini); }
  void Args(const std::vector<std::string>& args) { ResetRunState(args, cd / "Tolvex.exe"); }
};

TEST_F(ParamsTest, AMissingScriptStopsAtOnce) {
  Args({"/script", "."});
  UnattendedSeam seam;
  EXPECT_FALSE(GetAllParameters());
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("none", asked[0].icon);
  EXPECT_EQ("Install file not found! \r\n\r\nFile Tolvex.ini must always be installed with Tolvex.exe!", asked[0].text);
  EXPECT_TRUE(LogHasLine("** Error: Tolvex.INI not found"));
  EXPECT_FALSE(LogHasLine(">End GetAllParameters()"));
}

TEST_F(ParamsTest, RequiredKeysAreCheckedInOrder) {
  struct Case {
    std::string ini, missing;
  } cases[] = {
      {"[INSTALL]\r\nproductname=\r\n", "Productname"},  // later keys not looked at
      {"[INSTALL]\r\nproductname=V\r\nExeAssoc=.x\r\n", "SrchDir"},
      {"[INSTALL]\r\nproductname=V\r\nSrchDir=s\r\n", "ExeAssoc"},
      {"[INSTALL]\r\nproductname=V\r\nSrchDir=s\r\nExeAssoc=.x\r\nIdFile=i\r\n", "DefaultGroup"},
      {"[INSTALL]\r\nproductname=V\r\nSrchDir=s\r\nExeAssoc=.x\r\nDefaultGroup=g\r\n", "IdFile"},
  };
  for (const Case& c : cases) {
    Args({"/script", "."});
    Script(c.ini);
    UnattendedSeam seam;
    EXPECT_FALSE(GetAllParameters());
    std::string message = "Internal error: Tolvex.ini parameter \"" + c.missing + "=\" not found!";
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size()) << c.missing;
    EXPECT_EQ(message, asked[0].text);
    EXPECT_TRUE(LogHasLine("** Error: " + message)) << c.missing;
    EXPECT_TRUE(LogHasLine(">End GetAllParameters()"));
  }
}

TEST_F(ParamsTest, ArgumentTwoIsRequired) {
  Script(kScript);
  Args({"/script"});
  UnattendedSeam seam;
  EXPECT_FALSE(GetAllParameters());
  std::string message =
      "Internal Error: 2nd parameter for Tolvex.exe must be Installsheild <SRCDIR> or . or / or /NoParam. "
      "<InstallDir> for /SetPath";
  EXPECT_EQ(message, seam.Asked().at(0).text);
  EXPECT_TRUE(LogHasLine("** Error: " + message));
  EXPECT_EQ("Viewer Setup", App().title);
}

TEST_F(ParamsTest, SetupFolderFromArgumentTwo) {
  Script(kScript);
  MakeDirPath("C:\\TolvexSetupTest");
  struct Case {
    std::string arg, setup, up1, up2, up3;
  } cases[] = {
      {".", cd.Path(), ParentFolder(cd.Path()), "", ""},
      {"/NoParam", cd.Path(), ParentFolder(cd.Path()), "", ""},
      {"/", cd.Path(), ParentFolder(cd.Path()), "", ""},
      {".\\", cd.Path(), ParentFolder(cd.Path()), "", ""},
      {"C:\\TolvexSetupTest\\\\", "C:\\TolvexSetupTest", "C:", "C:", "C:"},  // stops at the drive
  };
  for (const Case& c : cases) {
    Args({"/check", c.arg});
    UnattendedSeam seam;
    ASSERT_TRUE(GetAllParameters()) << c.arg;
    EXPECT_EQ(c.setup, Params().setupdir);
    EXPECT_EQ(c.up1, Params().setupdirup1);
    EXPECT_EQ(c.up1, Params().setupparentdir);
    if (!c.up2.empty()) {
      EXPECT_EQ(c.up2, Params().setupdirup2);
      EXPECT_EQ(c.up3, Params().setupdirup3);
    }
  }
  RemoveDirectoryA("C:\\TolvexSetupTest");
}

TEST_F(ParamsTest, KeysWithTheirTypesAndDefaults) {
  struct Case {
    std::string line;
    bool InstallParams::*flag;
    bool want;
  } cases[] = {
      {"RestartRequired=yes", &InstallParams::RestartRequired, false},
      {"RestartRequired=1", &InstallParams::RestartRequired, true},
      {"RestartRequired=0x10", &InstallParams::RestartRequired, true},
      {"RestartRequired=$0", &InstallParams::RestartRequired, false},
      {"RestartRequired=-2", &InstallParams::RestartRequired, true},
      {"RestartRequired=4294967296", &InstallParams::RestartRequired, true},
      {"CopyVideos=0", &InstallParams::CopyVideos, false},
      {"CopyVideos=", &InstallParams::CopyVideos, true},  // empty keeps the default
      {"ShowShortCutWin=no", &InstallParams::ShowShortCutWin, true},
      {"BrowseFolderRequiresEXE=0", &InstallParams::BrowseFolderRequiresEXE, false},
      {"UnInstall=1", &InstallParams::UnInstall, true},
      {"PatchCD=$1", &InstallParams::PatchCD, true},
      {"ShowShortcutErrors=0", &InstallParams::ShowShortcutErrors, false},
  };
  for (const Case& c : cases) {
    Script(std::string(kScript) + c.line + "\r\n");
    Args({"/check", "."});
    UnattendedSeam seam;
    ASSERT_TRUE(GetAllParameters()) << c.line;
    EXPECT_EQ(c.want, Params().*c.flag) << c.line;
  }
  Script(std::string(kScript) + "UnInstall_Name=Viewer Help\r\nSWFVersion=9,0,28\r\n");
  Args({"/check", "."});
  UnattendedSeam seam;
  ASSERT_TRUE(GetAllParameters());
  EXPECT_EQ("Viewer Help", Params().UnInstall_Name);
  EXPECT_EQ("9,0,28", Params().SWFVersion);
  Script(kScript);
  Args({"/check", "."});
  UnattendedSeam again;
  ASSERT_TRUE(GetAllParameters());
  EXPECT_EQ("Tesmora Documentation", Params().UnInstall_Name);
}

TEST_F(ParamsTest, FoldersAreFoundAndLogged) {
  Script(kScript);
  Args({"/script", ".", "/skipfinish"});
  UnattendedSeam seam;
  ASSERT_TRUE(GetAllParameters());
  const InstallParams& p = Params();
  EXPECT_EQ(app, p.exedir);
  EXPECT_EQ(apps / "Viewer", p.exedirup1);
  EXPECT_EQ(apps.Path(), p.exedirup2);
  EXPECT_EQ(GetSystemDir() + "\\Macromed\\Flash\\FlashPlayerTrust", p.flashcfgdir);
  EXPECT_EQ(apps.Path(), p.programfilesdir);
  EXPECT_TRUE(p.skipFinish);
  std::vector<std::string> want = {
      "_dir_setupdir       = " + cd.Path(),     "_dir_setupparentDir = " + ParentFolder(cd.Path()),
      "_dir_windir         = " + GetWindowsDir(), "_dir_winsysdir      = " + GetSystemDir(),
      "_dir_FlashCfgDir    = " + p.flashcfgdir, "_dir_programfilesdir= " + apps.Path(),
      "_dir_exedir         = " + app,
  };
  const auto& log = InstallLog().lines;
  auto at = std::find(log.begin(), log.end(), want[0]);
  ASSERT_NE(log.end(), at);
  EXPECT_EQ(want, std::vector<std::string>(at, at + 7));
  EXPECT_EQ(">End GetAllParameters()", log.back());
  // The log was saved beside the application folder at the end.
  EXPECT_NE(std::string::npos, ReadFileText(apps / "Viewer\\installLog(Viewer).txt").find("_dir_exedir"));
  EXPECT_TRUE(seam.Asked().empty());
}

TEST_F(ParamsTest, OnlyInstallsStopForAMissingApplicationOrCheckSources) {
  Script("[INSTALL]\r\nproductname=Viewer\r\nSrchDir=s\r\nExeAssoc=.nothing\r\nDefaultGroup=g\r\nIdFile=i\r\n");
  struct Case {
    std::string sw;
    bool want, checked;
  } cases[] = {{"/script", false, false}, {"/script2", false, false}, {"/check", true, false}, {"/setpath", true, false}};
  for (const Case& c : cases) {
    Args({c.sw, "."});
    UnattendedSeam seam("answer: No\n");  // "Do you want to try and locate ...?"
    EXPECT_EQ(c.want, GetAllParameters()) << c.sw;
    EXPECT_EQ("-", Params().exedir);
    EXPECT_EQ(1u, seam.Asked().size()) << c.sw;  // the search asks for every switch
    EXPECT_EQ(c.want, LogHasLine(">End GetAllParameters()")) << c.sw;
  }
}

TEST_F(ParamsTest, SetPathWritesBothProductKeys) {
  Script(kScript);
  Args({"/setpath", "C:\\Apps\\Viewer\\"});
  UnattendedSeam seam;
  EXPECT_EQ(kRunEnd, GetStartupMode());
  EXPECT_EQ("C:\\Apps\\Viewer", ReadRegValue(HKEY_LOCAL_MACHINE, "Software\\Kelvor\\Viewer", "path"));
  EXPECT_EQ("C:\\Apps\\Viewer", ReadRegValue(HKEY_LOCAL_MACHINE, "Software\\Tesmora\\Viewer", "path"));
  EXPECT_TRUE(seam.Asked().empty());
  EXPECT_EQ(0, App().exitCode);
  // A key Windows refuses (a name longer than a key may be) is logged, and the run fails.
  Script(ReplaceNoCase(kScript, "productname=Viewer", "productname=" + std::string(300, 'v')));
  Args({"/setpath", "C:\\Apps\\Viewer\\"});
  ResetParams();
  InstallLog().lines.clear();
  EXPECT_EQ(kRunEnd, GetStartupMode());
  EXPECT_EQ(kExitFailed, App().exitCode);
  int errors = 0;
  for (const std::string& line : InstallLog().lines) errors += line.find("** Error: cannot write HKEY_LOCAL_MACHINE\\Software\\") == 0;
  EXPECT_EQ(2, errors);  // both makers' keys
}

TEST_F(ParamsTest, DispatchOrderIsBySwitchNotPosition) {
  Script(kScript);
  const std::string insertDisk =
      "Please remove the CD and insert the Viewer Help && Videos CD.\r\n\r\nPress OK to continue the installation!";
  auto searched = [&](const std::string& setup) {
    return ">Tolvex: debug - FileExists(" + (cd / "Disk2\\") + setup + ") AND FileExists(" + (cd / "Disk2\\disk2.id") +
           ") = ";
  };
  struct Case {
    std::vector<std::string> args;
    std::string shown;
    std::string logged = "";
  } cases[] = {
      {{"/script", ".", "/check"}, kAdminWarning},
      {{"/check", ".", "/script"}, kAdminWarning},
      {{"/DisplayCheck", ".", "/NTCheck"}, kAdminWarning},
      {{"/tolvex", "/Disk2Setup.EXE", "-a"}, insertDisk, searched("Disk2Setup.EXE")},
      {{"/tolvex", cd.Path()}, insertDisk, searched("setup.exe")},
      {{"/nothing", "."}, VersionBannerText()},
  };
  for (const Case& c : cases) {
    Args(c.args);
    if (!IsWin9x()) SetOpenSCManagerForTesting(&RefusingServiceManager);  // the checks speak first
    UnattendedSeam seam;
    EXPECT_EQ(kRunEnd, GetStartupMode());
    auto asked = seam.Asked();
    ASSERT_FALSE(asked.empty()) << c.args[0];
    EXPECT_EQ(c.shown, asked[0].text) << c.args[0];
    if (!c.logged.empty()) {
      EXPECT_TRUE(LogHasLine(c.logged)) << c.logged;
    }
  }
}

TEST_F(ParamsTest, AFailedCheckBeforeTheInstallAsksWhetherToGoOn) {
  if (IsWin9x()) GTEST_SKIP() << "the 9x family has no administrators";
  Script(kScript);
  struct Case {
    std::string answer;
    RunMode mode;
    int exitCode;
  } cases[] = {{"No", kRunEnd, kExitDeclined}, {"Yes", kRunInstall, kExitDone}};
  for (const Case& c : cases) {
    Args({"/script2", "."});
    SetOpenSCManagerForTesting(&RefusingServiceManager);
    UnattendedSeam seam("box: message\ntext: \"Continue installation?\"\nanswer: " + c.answer + "\n");
    EXPECT_EQ(c.mode, GetStartupMode()) << c.answer;
    EXPECT_EQ(c.exitCode, RunExitCode()) << c.answer;
    EXPECT_EQ(c.answer == "Yes", LogHasLine("Start InitScript()")) << c.answer;
  }
}

TEST_F(ParamsTest, ParameterBlockFollowsSuccess) {
  Script(std::string(kScript) + "HHUpgrade=<setupdir>\\hh\\%s\\hhupd.exe\r\n");
  Args({"/check", "."});
  UnattendedSeam seam;
  GetStartupMode();
  const auto& log = InstallLog().lines;
  auto end = std::find(log.begin(), log.end(), ">End GetAllParameters()");
  ASSERT_NE(log.end(), end);
  ASSERT_GT(log.end() - end, 2);
  EXPECT_EQ(std::string(53, '-'), *(end + 1));
  EXPECT_EQ("_ini_HHUpgrade = \"<setupdir>\\hh\\%s\\hhupd.exe\"", *(end + 2));
}

TEST_F(ParamsTest, AnErrorThatEscapesEndsInTheErrorBox) {
  // Program Files cannot be created: the run ends with the application's error box.
  Script(kScript);
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                 cd / "no\\such\\parent");
  ScratchDir work;
  std::string cmd = "\"" + (cd / "Tolvex.exe") + "\" /check . \"/answers=" + (work / "a.txt") + "\" \"/transcript=" +
                    (work / "t.txt") + "\"";
  WriteFileText(work / "a.txt", "");
  EXPECT_EQ(kExitFailed, RunProgram(cmd, cd / "Tolvex.exe"));
  std::vector<std::string> errors;
  auto asked = ParseAnswers(ReadFileText(work / "t.txt"), errors);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("error", asked[0].icon);
  EXPECT_EQ(0u, asked[0].text.find("Cannot create the folder \"" + (cd / "no\\such\\parent") + "\"."));
}

TEST_F(ParamsTest, ScriptTextIsDataNeverAFormat) {
  ScratchDir logs;
  struct Case {
    std::string value, prompt;  // prompt: the value in the script's own message, where "%s" is the product
  } cases[] = {{"%n", "%n"}, {"%s%s%s", "LumenLumenLumen"}, {"%d", "%d"}, {"%%", "%%"}, {"%.9x%u", "%.9x%u"}};
  for (const Case& c : cases) {
    // The product name in the title, the log's name and the log; a path in the parameter block.
    std::string product = "Viewer " + c.value;
    Script("[INSTALL]\r\nproductname=" + product + "\r\nSrchDir=s\r\nExeAssoc=.tvxview\r\nDefaultGroup=g\r\n"
           "IdFile=i\r\nHHUpgrade=hh\\" + c.value + "\\hhupd.exe\r\n");
    Args({"/check", "."});
    {
      UnattendedSeam seam;
      ASSERT_TRUE(GetAllParameters()) << c.value;
    }
    EXPECT_EQ(product + " Setup", App().title);
    AppendParameterBlock();
    SaveInstallLog();
    std::string saved = ReadFileText(apps / ("Viewer\\installLog_Check(" + product + ").txt"));
    EXPECT_NE(std::string::npos, saved.find("\r\n_ini_HHUpgrade = \"hh\\" + c.value + "\\hhupd.exe\"\r\n")) << c.value;

    // The program's not-found questions name the product and an item's display name.
    Script("[INSTALL]\r\nproductname=" + product + "\r\nSrchDir=s\r\nExeAssoc=.none\r\nDefaultGroup=g\r\nIdFile=i\r\n");
    Args({"/script", "."});
    DebugLogs().file = std::make_unique<TDLogFile>(logs / "HHDebug.txt", false, false, true);
    {
      UnattendedSeam seam("answer: No\n\nanswer: No\n");
      EXPECT_FALSE(GetAllParameters());
      EXPECT_EQ("-", GetAppPath(".x" + c.value, "", "Help " + c.value, true));
      auto asked = seam.Asked();
      ASSERT_EQ(2u, asked.size());
      EXPECT_EQ(0u, asked[0].text.find("\"" + product + "\" application not found! \r\n")) << asked[0].text;
      EXPECT_EQ(0u, asked[1].text.find("\"Help " + c.value + "\" application not found! \r\n")) << asked[1].text;
    }
    EXPECT_NE(std::string::npos, ReadFileText(logs / "HHDebug.txt").find("File Ext = \".x" + c.value + "\"\r\n"));

    // The script's own message: only its "%s" is the product.
    Params().productname = "Lumen";
    Params().AppNotFoundPrompt = "Find it: " + c.value + "|";
    UnattendedSeam seam("answer: No\n");
    GetAppPath(".none", "", "", true);
    EXPECT_EQ("Find it: " + c.prompt + "\r\n", seam.Asked().at(0).text);
  }
}

TEST_F(ParamsTest, AProgramFolderTooLongForTheScriptIsSaid) {
  // The script's path may have MAX_PATH - 1 characters: its folder at most 248 for "Tolvex.ini".
  std::string atLimit = "C:\\Deep";
  while (atLimit.size() < 248) atLimit += "\\d";
  atLimit.resize(248);
  struct Case {
    std::string folder;
    bool tooLong;
  } cases[] = {{atLimit, false}, {atLimit + "x", true}, {atLimit + std::string(60, 'x'), true}};
  for (const Case& c : cases) {
    ResetRunState({"/script", "."}, c.folder + "\\Tolvex.exe");
    UnattendedSeam seam;
    EXPECT_FALSE(GetAllParameters());
    std::string length = std::to_string(c.folder.size());
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(c.tooLong, asked[0].text.find("The path of the folder Tolvex.exe was started from is too long: " + length +
                                           " characters, where Windows allows at most 248.") == 0)
        << asked[0].text;
    EXPECT_EQ(c.tooLong, LogHasLine("** Error: program folder path too long (" + length +
                                    " characters, at most 248): \"" + c.folder + "\""));
    EXPECT_NE(c.tooLong, LogHasLine("** Error: Tolvex.INI not found"));  // at the limit the script is looked for
  }
}
