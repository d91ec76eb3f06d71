#include <windows.h>

#include "TestSupport.h"
#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UInstallLog.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UPaths.h"

using namespace tolvex;
using namespace tolvex::test;

class InstallLogTest : public TolvexTest {};

TEST_F(InstallLogTest, FileNameFollowsProductSwitchAndParent) {
  ScratchDir d;
  MakeDirPath(d / "P\\Viewer\\Bin");
  MakeDirPath(d / "Tools\\Viewer");
  struct Case {
    std::vector<std::string> args;
    std::string product, folder, want;
  } cases[] = {
      {{"/script", "."}, "Viewer", d / "P\\Viewer\\Bin", d / "P\\Viewer\\installLog(Viewer).txt"},
      {{"/check", "."}, "Viewer", d / "P\\Viewer\\Bin", d / "P\\Viewer\\installLog_Check(Viewer).txt"},
      {{"/CHECK", "/NTCheck"}, "V", d / "P\\Viewer\\Bin", d / "P\\Viewer\\installLog_NTCheck(V).txt"},
      {{"/tolvex", "/x.exe"}, "V", d / "P\\Viewer\\Bin\\", d / "P\\Viewer\\installLog_Tolvex(V).txt"},
      {{"/script", "."}, "", d / "Tools\\Viewer", d / "Tools\\installLog(Viewer).txt"},
      {{"/script", "."}, "V", d / "absent", ""},  // no folder, no log
      {{"/script", "."}, "V", "", ""},
      {{"/script", "."}, "V", "C:\\", "C:\\installLog(V).txt"},  // a drive is its own parent
  };
  for (const Case& c : cases) {
    ResetRunState(c.args);
    Params().productname = c.product;
    EXPECT_EQ(c.want, InstallLogFileName(c.folder)) << c.folder;
  }
}

TEST_F(InstallLogTest, SavesEveryLineWithCrLfAndKeepsPercentSigns) {
  ScratchDir d;
  MakeDirPath(d / "App\\bin");
  Params().productname = "Viewer";
  Params().exedir = d / "App\\bin";
  LogLine("100% sure %s %d");
  LogLine("%s=%d", "n", 5);
  LogLine("");
  SaveInstallLog();
  EXPECT_EQ("100% sure %s %d\r\nn=5\r\n\r\n", ReadFileText(d / "App\\installLog(Viewer).txt"));
  LogLine("more");
  SaveInstallLog();  // every save rewrites the whole file
  EXPECT_EQ("100% sure %s %d\r\nn=5\r\n\r\nmore\r\n", ReadFileText(d / "App\\installLog(Viewer).txt"));
  EXPECT_FALSE(FileExists(d / "App\\installLog(Viewer).txt.$$$"));
  EXPECT_EQ("", InstallLogFile().fallback);  // written where it belongs: nothing in the temporary folder
}

TEST_F(InstallLogTest, ALogThatCannotBeWrittenGoesToTempWithItsReason) {
  ScratchDir d;
  MakeDirPath(d / "App\\bin");
  // The scratch folder's own name keeps side-by-side runs of the suite apart in the temp folder.
  std::string unique = ExtractFileName(d.Path());
  std::string deep = unique;
  while (deep.size() < 312) deep += " and more";
  deep.resize(312);
  struct Case {
    std::string product, tagStart;
    unsigned long error;
  } cases[] = {
      {deep, "(" + unique, ERROR_FILENAME_EXCED_RANGE},  // past MAX_PATH
      {unique + " <Lumen>", "(" + unique + " _Lumen_)", ERROR_INVALID_NAME},  // no file may be called so
      {unique + "/Lumen", "(" + unique + "_Lumen)", ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    ResetRunState({"/script", "."});
    Params().productname = c.product;
    Params().exedir = d / "App\\bin";
    LogLine("first %s");
    SaveInstallLog();
    std::string intended = d / ("App\\installLog(" + c.product + ").txt");
    std::string temp = InstallLogFile().fallback;
    EXPECT_EQ(GetTempDir() + "\\installLog" + c.tagStart, temp.substr(0, GetTempDir().size() + 11 + c.tagStart.size()));
    EXPECT_LT(temp.size() + 4, static_cast<size_t>(MAX_PATH));  // its ".$$$" replacement fits too
    LogLine("second");
    SaveInstallLog();  // the whole log again, into the same file, the failure logged once
    EXPECT_EQ(temp, InstallLogFile().fallback);
    std::string reason = "This install log belongs in \"" + intended + "\", which could not be written: " +
                         SystemErrorText(c.error);
    std::string failure = "** Error: the install log \"" + intended + "\" could not be written: " +
                          SystemErrorText(c.error) + "; it is written to \"" + temp + "\" instead";
    EXPECT_EQ(reason + "\r\nfirst %s\r\n" + failure + "\r\nsecond\r\n", ReadFileText(temp)) << c.product;
    EXPECT_FALSE(FileExists(temp + ".$$$"));
    DeleteFileA(temp.c_str());
  }
}

TEST_F(InstallLogTest, NothingIsLoggedOutsideTheListsLifetime) {
  FreeInstallLog();
  LogLine("lost");
  LogLine("%d", 1);
  CreateInstallLog();
  EXPECT_TRUE(InstallLog().lines.empty());
}

TEST_F(InstallLogTest, StartupBlockLineForLine) {
  ResetRunState({"/script", "C:\\cd\\", "/answers=C:\\a.txt"});
  SetCurrentLanguageForLcid(0x0407);
  AppendStartupBlock();
  const auto& l = InstallLog().lines;
  ASSERT_EQ(17u, l.size());
  EXPECT_EQ(std::string(53, '-'), l[0]);
  EXPECT_EQ(0u, l[1].find("Install - "));
  EXPECT_EQ("Tolvex.EXE version ", l[2]);  // the test program has no version resource
  EXPECT_EQ(std::string(53, '-'), l[3]);
  EXPECT_EQ("- Locale Info", l[4]);
  EXPECT_EQ(" _LocaleInfoIdx = 2", l[5]);
  EXPECT_EQ(" _LocaleIdIdx Desc = German", l[6]);
  EXPECT_EQ(" SysLocale.DefaultLCID = x0407", l[7]);
  EXPECT_EQ(" SysLocale.PriLangID = x0007", l[8]);
  EXPECT_EQ(" SysLocale.SubLangID = x0001", l[9]);
  EXPECT_EQ("", l[10]);
  EXPECT_EQ("", l[11]);
  EXPECT_EQ("  ParamStr(0) = " + ModulePath(), l[12]);
  EXPECT_EQ("  ParamStr(1) = /script", l[13]);
  EXPECT_EQ("  ParamStr(2) = C:\\cd\\", l[14]);
  EXPECT_EQ("  ParamStr(3) = /answers=C:\\a.txt", l[15]);
  EXPECT_EQ("", l[16]);
}

TEST_F(InstallLogTest, StartupBlockWithoutALanguageRow) {
  SetCurrentLanguageForLcid(0x042A);
  AppendStartupBlock();
  const auto& l = InstallLog().lines;
  EXPECT_EQ(" _LocaleInfoIdx = -1", l[5]);
  EXPECT_EQ(" SysLocale.DefaultLCID = x042A", l[6]);  // no description line
}

TEST_F(InstallLogTest, ParameterBlockInItsOrder) {
  Params().HHUpgrade = "C:\\cd\\hh\\English\\hhupd.exe";
  Params().SWFVersion = "8,0";
  AppendParameterBlock();
  const auto& l = InstallLog().lines;
  ASSERT_EQ(16u, l.size());
  EXPECT_EQ(std::string(53, '-'), l[0]);
  EXPECT_EQ("_ini_HHUpgrade = \"C:\\cd\\hh\\English\\hhupd.exe\"", l[1]);
  EXPECT_EQ("_ini_IE4Install = \"\"", l[2]);
  EXPECT_EQ("_ini_IE4InstallCmdLine = \"\"", l[3]);
  EXPECT_EQ("_ini_WMP9Codecs = \"\"", l[9]);
  EXPECT_EQ("_ini_SWFInstallerPath2 = \"\"", l[13]);
  EXPECT_EQ("_ini_SWFVersion = \"8,0\"", l[14]);
  EXPECT_EQ(std::string(53, '-'), l[15]);
}

TEST(DebugLogText, MarkersStampsAndSeparators) {
  struct Case {
    const char *in, *want;
  } cases[] = {
      {"-", "-------------------------------------------------------------------------------"},
      {"=", "==============================================================================="},
      {"!_RunDir =           %s", "_RunDir =           %s"},
      {"-x", "x"},
      {"=y", "y"},
      {"text", "10:42:07   text"},
      {"", "10:42:07   "},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, DebugLineText(c.in, "10:42:07", true)) << c.in;
  EXPECT_EQ(79u, DebugLineText("-", "t", true).size());
  EXPECT_EQ("plain", DebugLineText("plain", "t", false));
}

class DebugLogTest : public TolvexTest {};

TEST_F(DebugLogTest, WritesOnlyWhenEnabledAndStartsFresh) {
  ScratchDir d;
  std::string path = d / "HHDebug.txt";
  WriteFileText(path, "old run\r\n");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TDLogFile off(path, false, true, false);
    EXPECT_FALSE(FileExists(path));  // deleted on every run, read-only or not
    off.WriteIfEnabled("dropped");
    EXPECT_FALSE(FileExists(path));
  }
  TDLogFile on(path, false, true, true);
  on.WriteIfEnabled("first %s");
  on.WriteLine("!Header");
  std::string text = ReadFileText(path);
  EXPECT_NE(std::string::npos, text.find("   first %s\r\n"));
  EXPECT_NE(std::string::npos, text.find("\r\nHeader\r\n"));
  TDLogFile appending(path, true, true, true);
  EXPECT_TRUE(FileExists(path));
}

TEST_F(DebugLogTest, AFolderThatCannotTakeTheLogMovesItToTemp) {
  ScratchDir d;
  TDLogFile log(d / "missing\\HHDebug.txt", false, true, true);
  EXPECT_EQ(GetTempDir() + "\\HHDebug.txt", log.Path());
  EXPECT_EQ(d.Path(), DebugLogFolder(d.Path()));
  EXPECT_EQ(GetTempDir(), DebugLogFolder(d / "missing"));
  EXPECT_EQ(GetTempDir(), DebugLogFolder(""));
}

TEST_F(DebugLogTest, ModeFromSwitches) {
  ResetRunState({"-DEBUG"});
  EXPECT_TRUE(DebugModeRequested());
  ResetRunState({"/Debug"});
  EXPECT_TRUE(DebugModeRequested());
  ResetRunState({"/script", "."});
  EXPECT_FALSE(DebugModeRequested());
}
