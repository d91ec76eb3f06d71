#include <windows.h>

#include <cstdlib>
#include <cstdio>

#include "TestSupport.h"
#include "UApp.h"
#include "UChecks.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UFileVersion.h"
#include "UPaths.h"
#include "URights.h"

using namespace tolvex;
using namespace tolvex::test;

// A scratch system folder with stand-in components of chosen versions ("" leaves one out).
class ChecksTest : public TolvexTest {
 protected:
  ScratchDir sys;
  void SetUp() override {
    TolvexTest::SetUp();
    Folders().systemDir = sys.Path();
    Params().productname = "Viewer";
  }
  void Put(const std::string& name, const std::string& fixture) {
    DeleteFileA((sys / name).c_str());
    if (!fixture.empty()) CopyFixture(fixture, sys / name);
  }
  // The command line the rundll32 stand-in was started with; empty when it did not start.
  std::string LauncherCommandLine() {
    std::string report = sys / "rundll32.exe.txt";
    for (int i = 0; i < 100 && !FileExists(report); ++i) Sleep(100);
    std::string text = ReadFileText(report);
    return text.substr(0, text.find('\n'));
  }
};

TEST_F(ChecksTest, ComponentVersionsDecideTheBrowserWarning) {
  const std::string fitEnding = "If you continue with setup, Viewer on-line help and tutorials will NOT be available.";
  const std::string unfitEnding =
      "If you continue with setup, the Viewer software may experience problems and the on-line help and tutorials "
      "will NOT be available.";
  struct Case {
    std::string comctl, shdocvw;
    std::string ending;  // of the browser warning; empty: no warning, the check passes
  } cases[] = {
      {"ver_4_70_0_1155.dll", "ver_4_71_1712_3.dll", ""},
      {"ver_6_0_2800_1106.dll", "ver_5_0_2920_0.dll", ""},
      {"", "ver_6_0_2800_1106.dll", ""},  // the common controls only choose the ending
      {"ver_4_70_0_1155.dll", "ver_4_70_0_1155.dll", fitEnding},
      {"ver_4_70_0_1155.dll", "", fitEnding},
      {"ver_4_0_0_950.dll", "", unfitEnding},
      {"noversion.dll", "ver_4_0_0_950.dll", unfitEnding},
      {"", "noversion.dll", unfitEnding},
  };
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir each;  // a file replaced in place may still be read in its old version
    Folders().systemDir = each.Path();
    Params().productname = "Viewer";
    for (auto [name, fixture] : {std::pair(std::string("Comctl32.Dll"), c.comctl), {"Shdocvw.dll", c.shdocvw}}) {
      if (!fixture.empty()) {
        ASSERT_NO_FATAL_FAILURE(CopyFixture(fixture, each / name));
      }
    }
    UnattendedSeam seam;
    std::string what = c.comctl + " / " + c.shdocvw;
    // Wine reads the version of a DLL of that name the process has loaded instead of the
    // file's; such a case proves nothing here.
    auto shadowed = [&](const std::string& name, const std::string& fixture) {
      return !fixture.empty() && GetFileVersion(each / name).text != GetFileVersion(FixturePath(fixture)).text;
    };
    if (shadowed("Comctl32.Dll", c.comctl) || shadowed("Shdocvw.dll", c.shdocvw)) {
      std::printf("skipped %s: a loaded DLL's version is read instead\n", what.c_str());
      continue;
    }
    EXPECT_EQ(c.ending.empty(), CheckSystem()) << what;
    auto asked = seam.Asked();
    if (c.ending.empty()) {
      EXPECT_TRUE(asked.empty()) << what;
      continue;
    }
    ASSERT_EQ(1u, asked.size()) << what;
    EXPECT_EQ("Warning!", asked[0].title);
    EXPECT_EQ("warning", asked[0].icon);
    EXPECT_EQ(0u, asked[0].text.find("Warning: This version of Windows is unsuitable for running Viewer software "
                                     "on-line help!\r\rPlease quit setup now"))
        << what;
    EXPECT_EQ(asked[0].text.size() - c.ending.size(), asked[0].text.rfind(" " + c.ending) + 1) << what;
  }
}

SC_HANDLE WINAPI UnreachableServiceManager(LPCSTR, LPCSTR, DWORD) {
  SetLastError(RPC_S_SERVER_UNAVAILABLE);
  return nullptr;
}

TEST_F(ChecksTest, ANonAdministratorGetsOnlyTheAdministratorWarning) {
  if (IsWin9x()) GTEST_SKIP() << "the 9x family has no administrators";
  SetOpenSCManagerForTesting(&RefusingServiceManager);
  UnattendedSeam seam;
  EXPECT_FALSE(CheckSystem());  // Shdocvw.dll is missing too: no second warning
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ(kAdminWarning, asked[0].text);
  EXPECT_TRUE(LogHasLineContaining("*** NT Security Check = Failed (NT Machine not in Admin mode)"));
  EXPECT_FALSE(LogHasLineContaining("driver"));
  EXPECT_FALSE(LogHasLineContaining("service manager"));  // a refusal is the answer, not a failure
  // A service manager that cannot be reached says nothing about rights: the log says why.
  SetOpenSCManagerForTesting(&UnreachableServiceManager);
  EXPECT_FALSE(CheckSystem());
  EXPECT_TRUE(
      LogHasLineContaining("** Error: the service manager could not be opened to test for administrator rights: "));
}

TEST(Win9x, SystemCheckPassesTheAdministratorTestAndSkipsTheBusDriver) {
  if (!IsWin9x()) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  ResetRunState();
  ScratchDir sys;
  Folders().systemDir = sys.Path();
  SetOpenSCManagerForTesting(&RefusingServiceManager);  // never asked on 9x
  CopyFileA(FixturePath("ver_6_0_2800_1106.dll").c_str(), (sys / "Shdocvw.dll").c_str(), FALSE);
  UnattendedSeam seam;
  EXPECT_TRUE(CheckSystem());
  EXPECT_TRUE(seam.Asked().empty());
  EXPECT_TRUE(LogHasLine("NT Security Check = OK"));
  EXPECT_FALSE(LogHasLineContaining("driver"));
  SetOpenSCManagerForTesting(nullptr);
  ResetRunState();
}

TEST_F(ChecksTest, ControlPanelLauncherAndItsParameters) {
  ScratchDir win;
  Folders().windowsDir = win.Path();
  EXPECT_EQ("rundll32.exe", ControlPanelLauncher());
  WriteFileText(win / "rundll32.exe", "");
  EXPECT_EQ(win / "rundll32.exe", ControlPanelLauncher());
  Put("rundll32.exe", "tolvex_helper.exe");
  EXPECT_EQ(sys / "rundll32.exe", ControlPanelLauncher());

  UnattendedSeam seam;
  OpenControlPanelApplet(L"", 0, 3);
  std::string cmd = LauncherCommandLine();
  EXPECT_EQ(cmd.size() - 27, cmd.rfind(" shell32.dll,Control_RunDLL")) << cmd;
  DeleteFileA((sys / "rundll32.exe.txt").c_str());

  // A name the code page cannot hold exactly is refused, never passed on approximated.
  OpenControlPanelApplet(L"DESK\x0416.CPL", 0, 3);
  EXPECT_TRUE(LogHasLineContaining("** Error: the Control Panel applet name"));
  EXPECT_EQ(1u, seam.Asked().size());
  Sleep(300);
  EXPECT_FALSE(FileExists(sys / "rundll32.exe.txt"));
}

// Run by the Screen.* tests (tests/harness/xvfb-screen) with an Xvfb screen as display.
TEST_F(ChecksTest, DisplayCheckOnTheHarnessScreen) {
  const char* screen = std::getenv("TOLVEX_SCREEN");
  if (!screen || !*screen) GTEST_SKIP() << "needs an Xvfb screen: run through the Screen.* tests";
  int width = 0, height = 0, depth = 0;
  ASSERT_EQ(3, std::sscanf(screen, "%dx%dx%d", &width, &height, &depth)) << screen;
  Put("rundll32.exe", "tolvex_helper.exe");
  bool fit = width >= 800 && depth >= 8;
  // No first: nothing opens; then Yes opens the display settings page.
  for (const char* answer : {"No", "Yes"}) {
    UnattendedSeam seam(std::string("answer: ") + answer + "\n");
    EXPECT_EQ(fit, CheckDisplay()) << screen;
    EXPECT_TRUE(LogHasLineContaining("  Screen Size = " + std::to_string(width) + " x " + std::to_string(height)))
        << screen;
    EXPECT_TRUE(LogHasLineContaining("  Screen Bit Depth = " + std::to_string(depth))) << screen;
    EXPECT_EQ(fit ? 0u : 1u, seam.Asked().size()) << screen;
    EXPECT_EQ(!fit && std::string(answer) == "Yes", LogHasLineContaining("  Starting ")) << answer;
  }
  std::string cmd = fit ? "" : LauncherCommandLine();
  if (!fit) {
    EXPECT_NE(std::string::npos, cmd.find(" shell32.dll,Control_RunDLL DESK.CPL,@0,3")) << cmd;
  }
}
