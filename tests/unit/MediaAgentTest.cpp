#include <windows.h>

#include "TestSupport.h"
#include "UComponentSupport.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMediaAgent.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UWinExec.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

const char* const kFlashKey = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InprocServer32";
const char* const kPluginKey = "\\SOFTWARE\\Macromedia\\FlashPlayerPlugin";

// A scratch system folder for the stand-in components, and stand-in installers (msiexec.exe
// among them) that append their command lines to one file.
class MediaSteps : public ScratchTest {
 protected:
  std::string sys = d / "system", runLog = d / "runs.txt";
  void SetUp() override {
    ScratchTest::SetUp();
    MakeDirPath(sys);
    Folders().systemDir = sys;
    SetEnvironmentVariableA("TOLVEX_HELPER_LOG", runLog.c_str());
    Installer(sys + "\\msiexec.exe");
  }
  void TearDown() override {
    SetEnvironmentVariableA("TOLVEX_HELPER_LOG", nullptr);
    ScratchTest::TearDown();
  }
  std::string Installer(const std::string& path) { return Place(path, "tolvex_helper.exe"), path; }
  // A stand-in (a fixture name, or "" for none) at path.
  void Place(const std::string& path, const std::string& fixture) {
    DeleteFileA(path.c_str());
    if (!fixture.empty()) CopyFileA(FixturePath(fixture).c_str(), path.c_str(), FALSE);
  }
  std::vector<std::string> Runs() {  // the command lines run since the last call
    std::vector<std::string> lines = HelperLines(runLog);
    DeleteFileA(runLog.c_str());
    return lines;
  }
  std::string Msi(const std::string& package) { return RunCommandLine(sys + "\\msiexec.exe", "/i \"" + package + "\" /passive"); }
};

// The player 10 and 11 installers were made for Windows XP: the steps are tried in the
// copy of the tests that Wine reports as XP.
class WinXPMediaSteps : public MediaSteps {
  void SetUp() override {
    MediaSteps::SetUp();
    WindowsVersion v = CurrentWindowsVersion();
    if (!(v.nt && v.major == 5 && v.minor == 1)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows XP";
  }
};

TEST_F(WinXPMediaSteps, PlayerVersionDecidesCodecsAndPlayerInstallers) {
  UnattendedSeam seam;
  std::string codecs = Installer(d / "wmp9codecs.exe"), p10 = Installer(d / "wmp10.exe"), p11 = Installer(d / "wmp11.exe");
  Params().WMP9Codecs = codecs, Params().WMP10Installer = p10, Params().WMP11Installer = p11;
  const std::string c = RunCommandLine(codecs, "/Q"), t = RunCommandLine(p10, "/Q"), e = RunCommandLine(p11, "/Q");
  struct Case {
    const char *wmpDll, *wmpOcx, *msdxm;  // fixtures, "" for none
    std::vector<std::string> runs;
  } cases[] = {
      {"", "", "", {t, e}},
      {"ver_7_0_0_0.dll", "", "", {c, t, e}},
      {"", "ver_8_0_0_0.dll", "", {c, t, e}},
      {"ver_9_0_0_3250.dll", "", "", {t, e}},
      {"ver_10_0_0_0.dll", "", "ver_7_0_0_0.dll", {e}},  // wmp.dll before msdxm.ocx
      {"", "ver_9_0_0_3250.dll", "ver_7_0_0_0.dll", {t, e}},
      {"ver_11_0_5721_5145.dll", "", "", {}},
      {"", "", "ver_6_4_9_1130.dll", {t, e}},
      {"noversion.dll", "", "ver_8_0_0_0.dll", {t, e}},  // an unreadable player counts as none
  };
  for (const Case& k : cases) {
    Place(sys + "\\wmp.dll", k.wmpDll), Place(sys + "\\wmp.ocx", k.wmpOcx), Place(sys + "\\msdxm.ocx", k.msdxm);
    UpdateMediaPlayer();
    EXPECT_EQ(k.runs, Runs()) << k.wmpDll << k.wmpOcx << k.msdxm;
  }
  EXPECT_TRUE(seam.Asked().empty());
  Params().WMP9Codecs = d / "gone.exe", Params().WMP10Installer = Params().WMP11Installer = "";
  for (const char* player : {"ver_9_0_0_3250.dll", "ver_7_0_0_0.dll"}) {  // only the second is due
    Place(sys + "\\wmp.dll", player);
    UpdateMediaPlayer();
  }
  ASSERT_EQ(1u, seam.Asked().size());
  EXPECT_EQ("File not found! " + d / "gone.exe", seam.Asked()[0].text);
}

TEST_F(WinXPMediaSteps, FlashStepsByControlPluginAndWantedVersion) {
  std::string swf6 = Installer(d / "flash6.exe"), swf8 = Installer(d / "flash8.MSI"), ax = Installer(d / "flash.exe"),
              plugin = Installer(d / "plugin.msi"), ocx = d / "flash.ocx", inSys = sys + "\\Macromed\\Flash", inReg = d / "Plugin";
  MakeDirPath(inSys), MakeDirPath(inReg);
  WriteRegString(HKEY_CLASSES_ROOT, kFlashKey, "", ocx);
  Params().SWF6InstallerPath = swf6, Params().SWF8InstallerPath = swf8;
  Params().SWFInstallerPath = ax, Params().SWFInstallerPath2 = plugin;
  const std::string six = RunCommandLine(swf6, "/q"), eight = Msi(swf8), a = RunCommandLine(ax, "/q"), p = Msi(plugin);
  struct Case {
    const char *control, *plugin, *where;  // where the plug-in is: "sys", "reg" or "gone" (the key's folder)
    std::string wanted;
    std::vector<std::string> runs;
    std::string logged;
  } cases[] = {
      {"", "", "sys", "9.0.124", {six, eight, a, p}, "Running: msiexec.exe /i \"" + plugin + "\" /passive"},
      {"ver_6_0_29_0.dll", "", "sys", "", {six, eight, p}, "Adobe Flash Plugin current version: "},
      {"ver_6_0_40_0.dll", "ver_9_0_124_0.dll", "sys", "8.x", {eight, a}, "Running: " + ax + " /q"},
      {"ver_8_0_0_0.dll", "ver_6_0_40_0.dll", "reg", "8.x", {p}, "Adobe Flash ActiveX current version: 8.0.0.0"},
      {"ver_9_0_115_0.dll", "ver_9_0_124_0.dll", "reg", "9.0.124", {a}, "Adobe Flash Plugin current version: 9.0.124.0"},
      {"ver_9_0_124_0.dll", "ver_9_0_124_0.dll", "gone", "9.0.124", {p}, kLogSeparator},
  };
  for (const Case& k : cases) {
    UnattendedSeam seam;
    InstallLog().lines.clear();
    Params().SWFVersion = k.wanted;
    std::string where = k.where;
    Place(ocx, k.control), Place(inSys + "\\NPSWF32.dll", where == "sys" ? k.plugin : "");
    Place(inReg + "\\NPSWF32.dll", where != "sys" ? k.plugin : "");
    WriteRegString(HKEY_LOCAL_MACHINE, kPluginKey, "Path", where == "gone" ? d / "Nowhere" : inReg + "\\");
    UpdateFlashPlayer();
    EXPECT_EQ(k.runs, Runs()) << k.control << " " << k.wanted;
    EXPECT_TRUE(LogHasLine(k.logged)) << k.logged;
    EXPECT_EQ(k.wanted.empty() ? 2u : 0u, seam.Asked().size()) << k.wanted;  // no SWFVersion: warned per installer
  }
  // Player 6's missing package is reported even beside player 9; player 8's must be an .msi.
  std::string gone = d / "cd\\flash6.exe", exe8 = Installer(d / "flash8.exe");
  Params().SWF6InstallerPath = gone, Params().SWF8InstallerPath = exe8, Params().SWFInstallerPath = "";
  Params().SWFInstallerPath2 = "";
  for (const char* control : {"ver_9_0_124_0.dll", "ver_6_0_40_0.dll"}) {
    UnattendedSeam seam;
    Place(ocx, control);
    UpdateFlashPlayer();
    auto asked = seam.Asked();
    ASSERT_EQ(std::string(control) == "ver_6_0_40_0.dll" ? 2u : 1u, asked.size()) << control;
    EXPECT_EQ("File not found! " + gone, asked[0].text);
    if (asked.size() > 1) {
      EXPECT_EQ("Check script! Expecting .MSI installer file! " + exe8, asked[1].text);
    }
  }
  EXPECT_TRUE(Runs().empty());
}

// On the Windows Wine reports by default, a current one, the player installers and the
// agent core no longer belong: nothing runs, nothing is asked, the log says why.
TEST_F(MediaSteps, InstallersForOlderWindowsAreNotRunOnACurrentOne) {
  std::string why, whyAgent;
  if (ComponentSupportedHere(Component::MediaPlayer10, why) || ComponentSupportedHere(Component::AgentCore, whyAgent))
    GTEST_SKIP() << "needs a Windows the player 10 and agent core installers were not made for";
  UnattendedSeam seam;
  Params().WMP10Installer = Installer(d / "wmp10.exe"), Params().WMP11Installer = d / "gone.exe";
  UpdateMediaPlayer();
  EXPECT_FALSE(RunItemNeeded("D:\\Agent\\MSAGENT.EXE"));
  EXPECT_TRUE(RunItemNeeded("D:\\Setup\\other.exe"));
  EXPECT_TRUE(Runs().empty() && seam.Asked().empty());
  EXPECT_TRUE(LogHasLine("    Not run: " + d / "wmp10.exe (" + why + ")"));
  EXPECT_TRUE(LogHasLine("    Not needed on this Windows: " + whyAgent));
  // With the components there no installer is due: nothing to say, whatever the Windows.
  InstallLog().lines.clear();
  Place(sys + "\\wmp.dll", "ver_11_0_5721_5145.dll");
  WriteRegString(HKEY_CLASSES_ROOT, "CLSID\\{D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}\\InprocServer32", "",
                 FixturePath("ver_2_0_0_0.dll"));
  UpdateMediaPlayer();
  EXPECT_FALSE(RunItemNeeded("D:\\Agent\\MSAGENT.EXE"));
  EXPECT_EQ(std::vector<std::string>{}, InstallLog().lines);
}

}  // namespace
