#include <windows.h>

#include "FMain.h"
#include "UInstallSequence.h"
#include "TestSupport.h"
#include "UApp.h"
#include "UComponentSupport.h"
#include "UHelpEngine.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UWinExec.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

struct FreshRun {
  FreshRun() { ResetRunState(); }
};

// A fresh run on a system folder of stand-in components (the browser engine and one
// other, nullptr: missing) with a CD of stand-in update packages that note each command
// line they were started with.
struct Pc : FreshRun {
  ScratchDir sys, cd;
  UnattendedSeam seam;
  Pc(const char* shdocvw, const char* other = nullptr, const char* otherName = nullptr) {
    Folders().systemDir = sys.Path();
    Put(shdocvw, "Shdocvw.dll");
    if (otherName) Put(other, otherName);
  }
  void Put(const char* fixture, const char* as) {
    if (fixture) CopyFixture(fixture, sys / as);
  }
  std::string Package(const char* name) {
    CopyFixture("tolvex_helper.exe", cd / name);
    return cd / name;
  }
  static std::string Calls(const std::string& package) { return ReadFileText(package + ".calls"); }
};

bool RunsOn(bool nt, unsigned major, unsigned minor) {
  WindowsVersion v = CurrentWindowsVersion();
  return v.nt == nt && v.major == major && v.minor == minor;
}

}  // namespace

TEST(Win9xComponentUpdate, BrowserAndCommonControlsFollowTheirVersionBoundaries) {
  if (!RunsOn(false, 4, 10)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  struct Case {
    const char *shdocvw, *comctl;  // stand-ins; nullptr: missing
    bool packagesOnCd, browserRuns, comctlRuns;
  } cases[] = {
      {"ver_4_72_3110_8.dll", "ver_4_72_3110_8.dll", true, false, false},
      {"ver_4_72_2106_8.dll", "ver_4_71_1712_6.dll", true, true, true},
      {"ver_4_71_1712_6.dll", "ver_4_70_0_1155.dll", true, true, true},
      {"ver_4_70_0_1155.dll", nullptr, true, true, false},
      {nullptr, "ver_5_2_3790_2744.dll", true, true, false},
      {"ver_5_2_3790_2744.dll", "ver_4_71_1712_6.dll", false, false, true},
      {"ver_6_0_2800_1106.dll", "ver_4_72_3110_8.dll", true, false, false},
      {nullptr, "ver_4_71_1712_6.dll", false, true, true},  // due, but not on the CD
  };
  for (const Case& c : cases) {
    Pc pc(c.shdocvw, c.comctl, "comctl32.dll");
    std::string ie = pc.cd / "IE4\\ie4setup.exe", cc = pc.cd / "50comupd.exe";
    CreateDirectoryA((pc.cd / "IE4").c_str(), nullptr);
    if (c.packagesOnCd) {
      ie = pc.Package("IE4\\ie4setup.exe");
      cc = pc.Package("50comupd.exe");
    }
    Params().IE4Install = ie;
    Params().IE4InstallCmdLine = "/q:a /r:n /s:%s";
    Params().CC32Upgrade = cc;
    UpgradeComCtl32();
    UpdateIE4HHEtcIfRequired();
    const std::string what = c.shdocvw ? c.shdocvw : "no browser";
    std::vector<std::string> warnings;
    for (const AnswerEntry& e : pc.seam.Asked()) warnings.push_back(e.text);
    std::vector<std::string> wantWarnings;
    if (!c.packagesOnCd && c.comctlRuns) wantWarnings.push_back("File not found! " + cc);
    if (!c.packagesOnCd && c.browserRuns) wantWarnings.push_back("File not found! " + ie);
    EXPECT_EQ(wantWarnings, warnings) << what;
    if (c.packagesOnCd) {
      EXPECT_EQ(c.browserRuns ? RunCommandLine(ie, "/q:a /r:n /s:" + pc.cd / "IE4") + "\n" : "", Pc::Calls(ie)) << what;
      EXPECT_EQ(c.comctlRuns ? RunCommandLine(cc, "/r:n /q:a") + "\n" : "", Pc::Calls(cc)) << what;
    }
    EXPECT_EQ(c.browserRuns, LogHasLineContaining("** Installing IE4 SP1! ** A reboot is required!")) << what;
    EXPECT_EQ(c.browserRuns, Params().RestartRequired) << what;  // the common controls never ask for it
    EXPECT_EQ(!c.comctl, LogHasLineContaining("  NOT found! " + pc.sys / "comctl32.dll")) << what;
  }
  ResetRunState();
}

TEST(Win9xComponentUpdate, HelpEngineNeedsItsReleaseAndABrowserOfVersion3) {
  if (!RunsOn(false, 4, 10)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  struct Case {
    const char *shdocvw, *hhctrl;
    bool browserConfigured, helpRuns, aborted;
  } cases[] = {
      {"ver_4_72_3110_8.dll", "ver_4_74_8702_0.dll", false, false, false},
      {"ver_4_72_3110_8.dll", "ver_4_73_8561_0.dll", false, true, false},
      {"ver_4_40_308_0.dll", nullptr, false, false, true},
      {"ver_4_70_0_1155.dll", "ver_4_73_8561_0.dll", false, true, false},  // version 3 is enough
      {"ver_6_0_2800_1106.dll", "ver_4_73_8561_0.dll", false, true, false},
      {"ver_4_40_308_0.dll", "ver_4_73_8561_0.dll", true, true, false},  // the browser update opens the gate
      {nullptr, nullptr, true, true, false},
  };
  for (const Case& c : cases) {
    Pc pc(c.shdocvw, c.hhctrl, "HHCTRL.OCX");
    std::string hh = pc.Package("hhupd.exe");
    if (c.browserConfigured) {
      Params().IE4Install = pc.Package("ie4setup.exe");
      Params().IE4InstallCmdLine = "/q:a /r:n /s:%s";
    }
    Params().HHUpgrade = hh;
    UpdateIE4HHEtcIfRequired();
    std::string what = std::string(c.shdocvw ? c.shdocvw : "no browser") + " / " + (c.hhctrl ? c.hhctrl : "no help");
    EXPECT_EQ(c.helpRuns ? RunCommandLine(hh, "/r:n /q:a") + "\n" : "", Pc::Calls(hh)) << what;
    EXPECT_EQ(c.aborted, LogHasLineContaining("  *** HtmlHelp install aborted - IE version is too old (Less than V3)"))
        << what;
    EXPECT_EQ(c.helpRuns || c.browserConfigured, Params().RestartRequired) << what;
    EXPECT_TRUE(LogHasLineContaining("    V1.3  is 4.74.8702 - Win2K")) << what;
  }
  ResetRunState();
}

TEST(Win9xComponentUpdate, AnUpdateEndsTheRunWithTheRestartCodeAndReminder) {
  if (!RunsOn(false, 4, 10)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  Pc pc("ver_4_71_1712_6.dll");
  ScratchRegistry reg;
  ScratchDir app;
  Params().exedir = app.Path();
  Params().CopyVideos = Params().ShowShortCutWin = false;
  Params().IE4Install = pc.Package("ie4setup.exe");
  Params().IE4InstallCmdLine = "/q:a /s:%s /u:%s";  // a second place is reported, not filled
  EXPECT_TRUE(RunInstallSequence());
  std::string finish;
  for (const AnswerEntry& e : pc.seam.Asked())
    if (e.box == "finish") finish = e.text;
  EXPECT_NE(std::string::npos, finish.find("Important: To complete setup you must now restart Windows!")) << finish;
  EXPECT_EQ(RunCommandLine(Params().IE4Install, "/q:a /s:" + pc.cd.Path() + " /u:%s") + "\n",
            Pc::Calls(Params().IE4Install));
  EXPECT_TRUE(LogHasLineContaining("** >> IE4InstallCmdLine \"/q:a /s:%s /u:%s\""));
  EXPECT_EQ(kExitRestartNeeded, RunExitCode());
  ResetRunState();
}

// The whole stage with every step configured, on a PC where each package is due or where
// none is. Every Windows logs what each step found; a due package that was not made for
// it gives the one line that says why instead of its own lines, and is not started.
struct Belongs {
  bool comctl, browser, codecs, player10, help, flash;
};

static void ExpectStageLog(const Belongs& here) {
  for (bool due : {true, false}) {
    Pc pc(due ? "ver_4_71_1712_6.dll" : "ver_6_0_2800_1106.dll", due ? "ver_4_71_1712_6.dll" : "ver_4_72_3110_8.dll",
          "comctl32.dll");
    ScratchRegistry reg;
    pc.Put(due ? "ver_4_73_8561_0.dll" : "ver_4_74_8702_0.dll", "HHCTRL.OCX");
    pc.Put(due ? "ver_7_0_0_0.dll" : "ver_11_0_5721_5145.dll", "wmp.dll");
    if (!due) {
      pc.Put("ver_9_0_124_0.dll", "flash.ocx");
      WriteRegString(HKEY_CLASSES_ROOT, "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InprocServer32", "",
                     pc.sys / "flash.ocx");
    }
    InstallParams& p = Params();
    p.CC32Upgrade = pc.Package("50comupd.exe"), p.IE4Install = pc.Package("ie4setup.exe");
    p.IE4InstallCmdLine = "/q:a /s:%s";
    p.WMP9Codecs = pc.Package("codecs.exe"), p.WMP10Installer = pc.Package("wmp10.exe");
    p.HHUpgrade = pc.Package("hhupd.exe");
    p.SWF6InstallerPath = pc.Package("flash6.exe"), p.SWFInstallerPath = pc.Package("flash.exe");
    p.SWFVersion = "9.0.124";
    InstallLog().lines.clear();
    UpgradeComCtl32();
    UpdateIE4HHEtcIfRequired();

    const std::string sys = pc.sys.Path(), hhctrl = sys + "\\HHCTRL.OCX";
    std::vector<std::string> want;
    // A due package: its own lines where it belongs, else the reason; nothing when not due.
    auto step = [&](bool belongs, Component c, const std::string& package, std::vector<std::string> lines) {
      EXPECT_EQ(due && belongs, !Pc::Calls(package).empty()) << package;
      std::string why;
      ComponentSupportedHere(c, why);
      bool helpEngine = c == Component::CommonControls || c == Component::Browser || c == Component::HtmlHelp;
      if (due && belongs) want.insert(want.end(), lines.begin(), lines.end());
      if (due && !belongs) want.push_back(helpEngine ? "  Skipped: " + why : "    Not run: " + package + " (" + why + ")");
    };
    want = {">>Checking ComCtl32.DLL", "  " + sys + "\\comctl32.dll found - Current version = " +
                                           (due ? "4.71.1712.6" : "4.72.3110.8")};
    step(here.comctl, Component::CommonControls, p.CC32Upgrade, {"** ComCtl32.DLL Upgraded to 4.72"});
    want.push_back(">>UpdateIE4HHEtcIfRequired()");
    want.push_back("  Current version of " + sys + "\\Shdocvw.dll = " + (due ? "4.71.1712.6" : "6.0.2800.1106"));
    step(here.browser, Component::Browser, p.IE4Install,
         {"** Installing IE4 SP1! ** A reboot is required!", "-----", p.IE4Install + " /q:a /s:" + pc.cd.Path(),
          "/q:a - Quiet install - with progress.", "/c:  - command line to execute.", "/x:  - no shell, icons, or links.",
          "/r:n - no reboot.", "/m:0 - Minimal install.", "/i:n - integrated desktop (y/n).",
          "/s:  - location of the IE4Setup.exe file.", "/u:  - location of install directory.", "-----"});
    step(here.codecs, Component::MediaPlayer9Codecs, p.WMP9Codecs, {});
    step(here.player10, Component::MediaPlayer10, p.WMP10Installer, {});
    want.insert(want.end(), {"HH Info:", "    V1.0 is 4.72.7290 - IE4", "    V1.1 is 4.72.7323",
                             "    V1.1a is 4.72.7325 - Windows98", "    V1.1b is 4.72.8164 - MSDN", "    V1.2 is 4.73.8252",
                             "    V1.21 is 4.73.8412", "    V1.22 is 4.73.8561", "    V1.3  is 4.74.8702 - Win2K",
                             "    V1.31 is 4.74.8793", "  ** Registering " + hhctrl + " failed",
                             "  Current version of " + hhctrl + " = " + (due ? "4.73.8561.0" : "4.74.8702.0")});
    step(here.help, Component::HtmlHelp, p.HHUpgrade, {"** HH Upgrade performed! ** A reboot is required!"});
    step(here.flash, Component::FlashPlayer, p.SWF6InstallerPath, {});
    want.push_back(kLogSeparator);
    want.push_back(std::string("Adobe Flash ActiveX current version: ") + (due ? "" : "9.0.124.0"));
    step(here.flash, Component::FlashPlayer, p.SWFInstallerPath,
         {"Installing: Adobe Flash Player (ActiveX)", "Running: " + p.SWFInstallerPath + " /q"});
    EXPECT_EQ(want, InstallLog().lines) << (due ? "every package due" : "nothing due");
    EXPECT_EQ(due && (here.browser || here.help), Params().RestartRequired);
    EXPECT_TRUE(pc.seam.Asked().empty());
  }
  ResetRunState();
}

TEST(Win9xComponentUpdate, EachStepLogsWhatItFoundAndRunsWhatIsDue) {
  if (!RunsOn(false, 4, 10)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  ExpectStageLog({true, true, true, false, true, true});
}

TEST(WinXPComponentUpdate, EachStepLogsWhatItFoundAndRunsWhatBelongsOnXp) {
  if (!RunsOn(true, 5, 1)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows XP";
  ExpectStageLog({false, false, true, true, false, true});
}

TEST(ComponentUpdate, EachStepLogsWhatItFoundAndOnlyFlashRunsOnWindows7) {
  if (!RunsOn(true, 6, 1)) GTEST_SKIP() << "runs where Wine reports its default, Windows 7";
  ExpectStageLog({false, false, false, false, false, true});
}

// Each package runs under its own status, on screen the whole time it runs.
TEST(Win9xComponentUpdate, EachPackageRunsUnderItsOwnStatus) {
  if (!RunsOn(false, 4, 10)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  struct Case {
    const char *shdocvw, *other, *otherName;
    std::string InstallParams::*key;
    const char *package, *status;
  } cases[] = {
      {"ver_6_0_2800_1106.dll", "ver_4_71_1712_6.dll", "comctl32.dll", &InstallParams::CC32Upgrade, "50comupd.exe",
       "Upgrading ComCtl32.DLL."},
      {"ver_4_71_1712_6.dll", nullptr, nullptr, &InstallParams::IE4Install, "ie4setup.exe",
       "Upgrading Windows system files."},
      {"ver_6_0_2800_1106.dll", "ver_7_0_0_0.dll", "wmp.dll", &InstallParams::WMP9Codecs, "wmp9codecs.exe",
       "Installing Windows Media Player 9 Codecs"},
      {"ver_6_0_2800_1106.dll", "ver_4_73_8561_0.dll", "HHCTRL.OCX", &InstallParams::HHUpgrade, "hhupd.exe",
       "Upgrading HtmlHelp system files."},
      {"ver_6_0_2800_1106.dll", nullptr, nullptr, &InstallParams::SWF6InstallerPath, "flash6.exe",
       "Installing Shockwave Flash ActiveX Player."},
      {"ver_6_0_2800_1106.dll", nullptr, nullptr, &InstallParams::SWF8InstallerPath, "flash8.msi",
       "Installing Shockwave Flash ActiveX Player."},
  };
  for (const Case& c : cases) {
    Pc pc(c.shdocvw, c.other, c.otherName);
    ScratchRegistry reg;  // no Flash control
    pc.Put("tolvex_helper.exe", "msiexec.exe");
    Params().*c.key = pc.Package(c.package);
    Params().IE4InstallCmdLine = "/q:a /s:%s";
    EXPECT_EQ(std::vector<std::string>{c.status}, StatusesSeenByPrograms([] {
                UpgradeComCtl32();
                UpdateIE4HHEtcIfRequired();
              })) << c.package;
  }
  ResetRunState();
}

// Every step configured and due; which of them belong on the Windows the test runs on.
static void ExpectStepsRun(bool browser, bool comctl, bool help) {
  Pc pc("ver_4_40_308_0.dll", "ver_4_71_1712_6.dll", "comctl32.dll");
  std::string ie = pc.Package("ie4setup.exe"), cc = pc.Package("50comupd.exe"), hh = pc.Package("hhupd.exe");
  Params().IE4Install = ie;
  Params().IE4InstallCmdLine = "/q:a /s:%s";
  Params().CC32Upgrade = cc;
  Params().HHUpgrade = hh;
  UpgradeComCtl32();
  UpdateIE4HHEtcIfRequired();
  EXPECT_EQ(browser, !Pc::Calls(ie).empty());
  EXPECT_EQ(comctl, !Pc::Calls(cc).empty());
  // Without the browser update, the old engine keeps the help engine out.
  EXPECT_EQ(help && browser, !Pc::Calls(hh).empty());
  EXPECT_EQ(!browser,
            LogHasLineContaining("  Skipped: the browser engine update is made for Windows 95, 98 and NT 4.0, not for"));
  EXPECT_EQ(!comctl, LogHasLineContaining("  Skipped: the common controls update is made for"));
  // The table is asked only about a due update that the engine lets in.
  EXPECT_EQ(!help && browser, LogHasLineContaining("  Skipped: the HTML Help update is made for"));
  EXPECT_EQ(!browser, LogHasLineContaining("  *** HtmlHelp install aborted - IE version is too old (Less than V3)"));
  ResetRunState();
}

TEST(Win2000ComponentUpdate, OnlyTheHelpEngineBelongsOnWindows2000) {
  if (!RunsOn(true, 5, 0)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 2000";
  ExpectStepsRun(false, false, true);
}

TEST(WinXPComponentUpdate, NoStepBelongsOnWindowsXp) {
  if (!RunsOn(true, 5, 1)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows XP";
  ExpectStepsRun(false, false, false);
}

TEST(ComponentUpdate, NoStepBelongsOnACurrentWindows) {
  WindowsVersion v = CurrentWindowsVersion();
  if (!v.nt || v.major < 6) GTEST_SKIP() << "runs in the program copy that Wine reports as a current Windows";
  ExpectStepsRun(false, false, false);
}
