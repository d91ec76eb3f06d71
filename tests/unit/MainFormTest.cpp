// The main window as the install and uninstall see it: its layout, the progress bar and
// Cancel, and the order of the install stages.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "FMain.h"
#include "UInstallSequence.h"
#include "TestSupport.h"
#include "UApp.h"
#include "UCopyFiles.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UProgress.h"
#include "URegistry.h"
#include "UScript.h"
#include "UShortcuts.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

RECT ClientOf(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return r;
}

RECT PlaceOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TEST(MainForm, LayoutProgressAndCancel) {
  ResetRunState();
  Params().productname = "Viewer";
  bool ran = false;
  TFormMain form([&] {
    ran = true;
    ProgressState& p = Progress();
    EXPECT_EQ("Viewer Setup", WindowText(p.form));
    EXPECT_EQ("Please wait...", WindowText(p.label));
    EXPECT_EQ(399, ClientOf(p.form).right);
    EXPECT_EQ(55, ClientOf(p.form).bottom);
    EXPECT_EQ(62, PlaceOf(p.label).left);
    EXPECT_EQ(19, PlaceOf(p.label).top);
    EXPECT_FALSE(IsWindowVisible(p.bar));
    EXPECT_FALSE(IsWindowVisible(p.cancelButton));

    ShowProgress(0);  // a total of 0 counts as 1
    EXPECT_EQ(91, ClientOf(p.form).bottom);
    EXPECT_EQ(10, PlaceOf(p.label).top);
    EXPECT_TRUE(IsWindowVisible(p.bar) && IsWindowEnabled(p.cancelButton));
    const struct {
      long long done;
      int position;
    } steps[] = {{1, 100}, {2, 100}, {0, 0}};  // past the total the bar stays where it was
    for (const auto& s : steps) {
      UpdateProgress(s.done);
      FlushStatus();  // a bar moved a moment ago shows its new place with the next pass
      EXPECT_EQ(s.position, static_cast<int>(SendMessageA(p.bar, PBM_GETPOS, 0, 0))) << s.done;
    }
    ShowProgress(3000000000LL);  // totals past 32 bits
    UpdateProgress(1500000000LL);
    FlushStatus();
    EXPECT_EQ(50, static_cast<int>(SendMessageA(p.bar, PBM_GETPOS, 0, 0)));

    // Escape presses Cancel; the flag is all it does.
    EXPECT_FALSE(Cancelled());
    PostMessageA(p.cancelButton, WM_KEYDOWN, VK_ESCAPE, 0);
    ProcessPendingMessages(true);
    EXPECT_TRUE(Cancelled());

    HideProgress();
    EXPECT_EQ(55, ClientOf(p.form).bottom);
    EXPECT_EQ(19, PlaceOf(p.label).top);
    EXPECT_FALSE(IsWindowVisible(p.bar) || IsWindowVisible(p.cancelButton));
    // Statuses that follow each other quickly are shown at most four times a second;
    // the last one always reaches the label.
    for (const char* f : {"a.chm", "b.chm", "c.chm"}) SetStatus(std::string("Copying file: ") + f);
    EXPECT_EQ("Copying file: c.chm", p.status);
    Sleep(300);  // past the repaint interval
    ProcessPendingMessages();
    EXPECT_EQ("Copying file: c.chm", WindowText(p.label));
    return true;
  });
  form.Run();
  EXPECT_TRUE(ran);
  EXPECT_EQ(nullptr, Progress().form);  // gone with the window
  EXPECT_EQ(nullptr, App().mainForm);
  ResetRunState();
}

// Nothing repaints while a program runs: the status set for it must be on screen before
// the wait, even when it came too soon after the last one to be painted at once.
TEST(MainForm, AProgramRunsUnderTheStatusSetForIt) {
  ScratchDir d;
  const std::string tool = d / "tool.exe", out = d / "out";
  ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", tool));
  WriteFileText(d / "a.chm", "help");
  struct Case {
    const char* what;
    std::function<void()> work;
    std::vector<std::string> seen;
  } cases[] = {
      {"run item", [&] { Lists().run = {tool + ", /x, Viewer Tools"}; EXPECT_TRUE(RunItems()); },
       {"Installing Viewer Tools"}},
      {"registration run of a copied program",
       [&] {
         Lists().files = {d / "a.chm," + out + "\\a.chm, O", tool + "," + out + "\\tool.exe, O, /regserver"};
         EXPECT_TRUE(CopyFilesSection());
       },
       {"Copying file: tool.exe"}},
  };
  for (const Case& c : cases) {
    ResetRunState();
    EXPECT_EQ(c.seen, StatusesSeenByPrograms(c.work)) << c.what;
  }
  ResetRunState();
}

TEST(MainForm, AnErrorInTheWorkEndsTheLoopAndIsRaisedAgain) {
  ResetRunState();
  TFormMain form([]() -> bool { throw std::runtime_error("disk on fire"); });
  EXPECT_THROW(form.Run(), std::runtime_error);
  ResetRunState();
}

TEST(InstallSequence, StagesRunInOrder) {
  ScratchDir app;
  struct Case {
    const char* name;
    bool copyVideos, ie4, listLine, skipFinish;
    std::vector<std::string> stages;  // the stages reached, by the words of their log lines
  } cases[] = {
      {"all", true, false, false, false,
       {"help videos", "Make Shortcut", ">Run ", "ComCtl32", "UpdateIE4", "finish dialog"}},
      {"no videos, browser installer, no finish", false, true, false, true,
       {"Make Shortcut", ">Run ", "UpdateIE4"}},
      // A LIST line in error is reported, left out, and the sequence goes on.
      {"optional components", true, false, true, true,
       {"InstallOptionalItems", "InstallOptionalItems", "help videos", "Make Shortcut", ">Run ", "ComCtl32", "UpdateIE4"}},
  };
  for (const Case& c : cases) {
    ResetRunState();
    InstallParams& p = Params();
    p.exedir = app.Path();
    p.CopyVideos = c.copyVideos;
    p.IE4Install = c.ie4 ? "ie.exe" : "";
    p.CC32Upgrade = "cc.exe";
    p.skipFinish = c.skipFinish;
    p.RestartRequired = true;
    p.ShowShortCutWin = false;
    ScratchRegistry reg;
    const char* policy = "SOFTWARE\\Policies\\Microsoft\\Windows\\System";
    WriteRegString(HKEY_LOCAL_MACHINE, policy, "HelpQualifiedRootDir", "C:\\x");
    ScratchDir shell;
    UseScratchShellFolders(shell);
    UnattendedSeam seam("box: message\ntext: \"Run b?\"\nanswer: No\n");  // the finish dialog takes its default
    Lists().shortcuts = {MakeAppFolder(app.Path(), "a.exe") + "\\a.exe, , A"};
    Lists().run = {"b, , B, , Run b?"};
    if (c.listLine) Lists().list2 = {"c"};
    EXPECT_TRUE(RunInstallSequence()) << c.name;
    std::vector<std::string> reached;
    for (const std::string& line : InstallLog().lines)
      for (const char* stage : {"InstallOptionalItems", "help videos", "Make Shortcut", ">Run ", "ComCtl32", "UpdateIE4"})
        if (line.find(stage) != std::string::npos) reached.push_back(stage);
    for (const AnswerEntry& e : seam.Asked())
      if (e.box == "finish") reached.push_back("finish dialog");
    EXPECT_EQ(c.stages, reached) << c.name;
    EXPECT_EQ("", ReadRegValue(HKEY_LOCAL_MACHINE, policy, "HelpQualifiedRootDir")) << c.name;
    EXPECT_EQ("Setup Complete!", Progress().status) << c.name;
    EXPECT_EQ(kExitRestartNeeded, RunExitCode()) << c.name;
  }
  ResetRunState();
}
