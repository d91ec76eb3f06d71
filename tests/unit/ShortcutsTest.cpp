#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "FFolderSelect.h"
#include "TestSupport.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMediaAgent.h"
#include "UPaths.h"
#include "UProgress.h"
#include "URegistry.h"
#include "UScript.h"
#include "UShortcuts.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// An agent character in the Windows folder for the test's lifetime.
struct Character {
  explicit Character(const std::string& name) : path(GetWindowsDir() + "\\MSAgent\\Chars\\" + name) {
    Touch(path, "ACS");
  }
  ~Character() { DeleteFileA(path.c_str()); }
  std::string path;
};

}  // namespace

class ShortcutsTest : public ScratchTest {
 protected:
  ScopedComInit com;
  void SetUp() override {
    ScratchTest::SetUp();
    UseScratchShellFolders(d);
  }
};

TEST_F(ShortcutsTest, LinksHoldTheirFieldsInANestedGroupWithTheDesktopLink) {
  WriteRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvor\\Brevo\\Model", "Radial", 1);
  std::string app = MakeAppFolder(d / "App", "Brevo.exe"), help = d / "App\\help.chm";
  WriteFileText(help, "x");
  std::string group = d / "Programs\\Lumen Tools\\Scans";
  MakeDirPath(group);
  WriteFileText(group + "\\Brevo.lnk", "old");
  SetFileAttributesA((group + "\\Brevo.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
  Lists().shortcuts = {app + "\\Brevo.exe, /s \"x y\" , Brevo", help + ",,Docs\\Help"};
  UnattendedSeam seam("box: shortcuts\nanswer: \"OK | Lumen Tools\\\\Scans | desktop\"\n");
  ASSERT_TRUE(MakeShortcuts());
  EXPECT_EQ("Creating program shortcuts!", Progress().status);
  struct Case {
    std::string link, target, arguments, folder, icon;
    int index;
  } cases[] = {
      {group + "\\Brevo.lnk", app + "\\Brevo.exe", "/s \"x y\"", app, app + "\\Brevo.exe", 1},
      {group + "\\Docs\\Help.lnk", help, "", app, "", 0},
      {d / "Desktop\\Lumen Tools Scans.lnk", group, "", group, group, 0},
  };
  for (const Case& c : cases) {
    LinkRead r = ReadLink(c.link);
    EXPECT_TRUE(EqualsNoCase(c.target, r.path)) << c.link << ": " << r.path;
    EXPECT_EQ(c.arguments, r.arguments) << c.link;
    EXPECT_TRUE(EqualsNoCase(c.folder, r.folder)) << c.link << ": " << r.folder;
    EXPECT_TRUE(EqualsNoCase(c.icon, r.icon)) << c.link << ": " << r.icon;
    EXPECT_EQ(c.index, r.iconIndex) << c.link;
    EXPECT_EQ(SW_SHOWNORMAL, r.show) << c.link;
  }
}

TEST_F(ShortcutsTest, RadialOnlyForAWordOfOne) {
  const char* key = "SOFTWARE\\Kelvor\\Brevo\\Model";
  EXPECT_FALSE(IsRadialModel());
  WriteRegString(HKEY_LOCAL_MACHINE, key, "Radial", "1");
  EXPECT_FALSE(IsRadialModel());
  for (DWORD v : {0UL, 2UL, 1UL}) {
    WriteRegDword(HKEY_LOCAL_MACHINE, key, "Radial", v);
    EXPECT_EQ(v == 1, IsRadialModel()) << v;
  }
}

TEST_F(ShortcutsTest, TheLastLineDecidesAndTheGroupFollowsTheChosenFolder) {
  std::string there = MakeAppFolder(d / "App"), missing = d / "gone.exe";
  Params().ShowShortCutWin = false;
  Params().DefaultGroup = "Main";
  Params().DefaultGroup_UserInstall = "Mine";
  struct Case {
    std::vector<std::string> lines;
    bool userChose, errors, want;
    const char* group;
  } cases[] = {
      {{}, false, true, true, nullptr},
      {{missing + ",,A", there + "\\app.exe,,B"}, false, true, true, "Main"},
      {{there + "\\app.exe,,B", missing + ",,A"}, true, false, false, "Mine"},
  };
  for (const Case& c : cases) {
    UnattendedSeam seam;
    Params().ShowShortcutErrors = c.errors;
    AppPathSearch().userChoseAppFolder = c.userChose;
    Lists().shortcuts = c.lines;
    EXPECT_EQ(c.want, MakeShortcuts()) << c.lines.size();
    if (c.group) {
      EXPECT_TRUE(FileExists(d / "Programs\\" + c.group + "\\B.lnk")) << c.group;
    }
    EXPECT_FALSE(FileExists(d / "Programs\\Main\\A.lnk"));
    size_t warnings = c.errors && c.group ? 1 : 0;  // one missing target, reported; never the form
    EXPECT_EQ(warnings, seam.Asked().size()) << c.lines.size();
  }
}

TEST_F(ShortcutsTest, FormRefusesBlankNamesListsFoldersAndTakesTheTrimmedName) {
  for (const char* f : {"beta", "Alpha", ".hidden", "Gamma"}) MakeDirPath(d / "Programs\\" + f);
  WriteFileText(d / "Programs\\zeta.lnk", "x");
  bool stayed = false;
  std::vector<std::string> listed;
  DialogDriver driver(TFShortcuts::kCaption, [&](HWND dlg) {
    HWND combo = GetDlgItem(dlg, TFShortcuts::kProgramFoldersCboId);
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
      char buf[MAX_PATH] = "";
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
      listed.push_back(buf);
    }
    SetWindowTextA(combo, "   ");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    stayed = IsWindowVisible(dlg) != FALSE;
    SetWindowTextA(combo, "  New Group ");
    CheckDlgButton(dlg, TFShortcuts::kDesktopCheckBoxId, BST_CHECKED);
    ClickButton(dlg, IDOK);
  });
  std::string group = "Preset";
  bool desktop = false;
  EXPECT_TRUE(ChooseProgramFolder(group, desktop));
  ASSERT_TRUE(driver.Join());
  EXPECT_TRUE(stayed);
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "Gamma"}), listed);
  EXPECT_EQ("New Group", group);
  EXPECT_TRUE(desktop);
}

TEST_F(ShortcutsTest, AnswersFileOutcomesAndWhatItCannotUse) {
  struct Case {
    const char *answer, *group;
    bool ok, desktop, logged;
  } cases[] = {
      {"Cancel", "Preset", false, false, false},          {"ok | Other", "Other", true, false, false},
      {"OK | A\\B | Desktop", "A\\B", true, true, false}, {"OK | ", "Preset", true, false, true},
      {"OK | A | B", "Preset", true, false, true},
  };
  for (const Case& c : cases) {
    UnattendedSeam seam("box: shortcuts\nanswer: " + EscapeAnswerValue(c.answer) + "\n");
    InstallLog().lines.clear();
    std::string group = "Preset";
    bool desktop = false;
    EXPECT_EQ(c.ok, ChooseProgramFolder(group, desktop)) << c.answer;
    EXPECT_EQ(c.group, group) << c.answer;
    EXPECT_EQ(c.desktop, desktop) << c.answer;
    std::string error = std::string("** Error: answers file: \"") + c.answer + "\" does not answer the program folder form";
    EXPECT_EQ(c.logged ? 1 : 0, std::count(InstallLog().lines.begin(), InstallLog().lines.end(), error)) << c.answer;
  }
}

TEST_F(ShortcutsTest, RunItemsSkipForAnAppAQuestionOrAPresentCharacter) {
  std::string app = MakeAppFolder(d / "Viewer", "viewer.exe");
  RegisterAssociation(".tlvxrun", "Tlvx.Run", "\"" + app + "\\viewer.exe\" \"%1\"");
  Character genie("GENIE.ACS");
  std::string setup = d / "setup.exe", genieSetup = d / "Genie.exe";  // write their argument file when run
  for (const std::string& copy : {setup, genieSetup})
    CopyFileA(FixturePath("tolvex_helper.exe").c_str(), copy.c_str(), FALSE);
  Lists().run = {setup + ", \"" + d / "a.txt" + "\", Viewer, .tlvxrun",
                 setup + ", \"" + d / "b.txt" + "\", Bee, , Install Bee?",
                 genieSetup + ", \"" + d / "c.txt" + "\", Genie",
                 setup + ", \"" + d / "e.txt" + "\", Tools, .nosuchext, Install Tools?"};
  UnattendedSeam seam("box: message\ntext: \"Install Bee?\"\nanswer: No\n\nbox: message\nanswer: Yes\n");
  EXPECT_TRUE(RunItems());
  for (const char* f : {"a.txt", "b.txt", "c.txt"}) EXPECT_FALSE(FileExists(d / f)) << f;
  EXPECT_TRUE(FileExists(d / "e.txt"));
  EXPECT_EQ("Installing Tools", Progress().status);
  EXPECT_EQ(2u, seam.Asked().size());  // the installed viewer's item asks nothing
  const auto& log = InstallLog().lines;
  EXPECT_EQ(3, std::count(log.begin(), log.end(), "   ** No"));
  Lists().run.push_back(d / "missing.exe, , Gone");
  EXPECT_FALSE(RunItems());  // the last program run could not be started
}

// The agent and speech installers were made for the Windows 98 days: that is where their
// need is decided by what the PC holds.
class Win9xAgentTest : public ShortcutsTest {
 protected:
  void SetUp() override {
    ShortcutsTest::SetUp();
    if (!IsWin9x()) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  }
};

TEST_F(Win9xAgentTest, InstallersRunOnlyForAMissingOrOldComponent) {
  std::string v1 = FixturePath("ver_1_0_0_0.dll"), v2 = FixturePath("ver_2_0_0_0.dll");
  std::string none = FixturePath("noversion.dll"), v4 = FixturePath("ver_4_70_0_1155.dll");
  const char* kAgentKey = "CLSID\\{D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}\\InprocServer32";
  const char* speechKey = "CLSID\\{B8F2846E-CE36-11D0-AC83-00C04FD97575}\\InprocServer32";
  Character peedy("PEEDY.ACS");
  struct Case {
    const char *program, *key;  // key: a class's server, or "SpeechAPI" for the interface's folder
    std::string server;
    bool needed;
  } cases[] = {
      {"C:\\Setup\\anything.exe", nullptr, "", true},
      {"D:\\Agent\\MSAGENT.EXE", nullptr, "", true},
      {"D:\\Agent\\MSAGENT.EXE", kAgentKey, v2, false},
      {"D:\\Agent\\MSAGENT.EXE", kAgentKey, v1, true},
      {"D:\\Agent\\msagent.exe", kAgentKey, d / "gone.dll", true},
      {"D:\\Agent\\tv_enua.exe", speechKey, v1, false},
      {"D:\\Agent\\tv_enua.exe", speechKey, none, true},
      {"D:\\Agent\\Peedy.exe", nullptr, "", false},
      {"D:\\Agent\\Merlin.exe", nullptr, "", true},
      {"D:\\Agent\\spchapi.exe", nullptr, "", true},
      {"D:\\Agent\\spchapi.exe", "SpeechAPI", v4, false},
      {"D:\\Agent\\spchapi.exe", "SpeechAPI", v2, true},
  };
  for (const Case& c : cases) {
    DeleteRegKey(HKEY_CLASSES_ROOT, kAgentKey);
    DeleteRegKey(HKEY_CLASSES_ROOT, speechKey);
    DeleteRegValue(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\SpeechAPI", "InstallDir");
    if (c.key && std::string(c.key) == "SpeechAPI") {
      CopyFileA(c.server.c_str(), (d / "speech.dll").c_str(), FALSE);
      WriteRegString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\SpeechAPI", "InstallDir", d.Path());
    } else if (c.key) {
      WriteRegString(HKEY_CLASSES_ROOT, c.key, "", c.server);
    }
    EXPECT_EQ(c.needed, RunItemNeeded(c.program)) << c.program << " " << c.server;
  }
}

TEST(Win2000, AgentCoreAndMerlinComeWithTheSystem) {
  if (!IsWindows2000()) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 2000";
  ScratchRegistry reg;
  EXPECT_FALSE(RunItemNeeded("D:\\Agent\\MSAGENT.EXE"));
  EXPECT_FALSE(RunItemNeeded("D:\\Agent\\Merlin.exe"));
  EXPECT_TRUE(RunItemNeeded("D:\\Agent\\Robby.exe"));
}
