// The finish dialog: its texts for every reminder, its two layouts, the release-notes
// button that leaves it open, the ways to close it, and the answers-file loop.
#include <windows.h>

#include "FFinished.h"
#include "TestSupport.h"
#include "UInstallParams.h"
#include "UApp.h"
#include "ULog.h"
#include "UQuestion.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

const char* const kCaption = "Viewer Setup Complete";

// "left,top width x height" of a control in its dialog's client area.
std::string PlaceOf(HWND dlg, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dlg, id), &r);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

HWND WaitForWindow(const char* title) {
  HWND w = nullptr;
  for (int i = 0; i < 500 && !(w = FindWindowA(nullptr, title)); ++i) Sleep(20);
  return w;
}

}  // namespace

class FinishFormTest : public TolvexTest {
 protected:
  void SetUp() override {
    TolvexTest::SetUp();
    Params().productname = "Viewer";
  }
};

TEST_F(FinishFormTest, TextsForEveryReminder) {
  const std::string notes = "Click the button below to read some last minute release notes. Press the Finished button when done.";
  const std::string plain = "Press the Finished button to close this help install program.";
  const std::string patch = "\r\rRemove the CD-ROM, restart Windows and insert the Patches CD-ROM if available.";
  const std::string restart = "\r\rImportant: To complete setup you must now restart Windows!";
  struct Case {
    bool readme, patchCD, restartRequired;
    std::string text;
  } cases[] = {
      {false, false, false, plain},         {false, false, true, plain + restart},
      {false, true, false, plain + patch},  {false, true, true, plain + patch},
      {true, false, false, notes},          {true, false, true, notes + restart},
      {true, true, false, notes + patch},   {true, true, true, notes + patch},
  };
  for (const Case& c : cases) {
    Params().ReadmeFile = c.readme ? "C:\\notes.txt" : "";
    Params().PatchCD = c.patchCD;
    Params().RestartRequired = c.restartRequired;
    UnattendedSeam seam;
    ShowFinishDialog();
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ("finish", asked[0].box);
    EXPECT_EQ("buttons", asked[0].kind);
    EXPECT_EQ(kCaption, asked[0].title);
    EXPECT_EQ(c.text, asked[0].text) << c.readme << c.patchCD << c.restartRequired;
    EXPECT_EQ("Finished", asked[0].answer);
  }
}

TEST_F(FinishFormTest, WithoutNotesTheWindowShrinksAndTheNotesButtonHides) {
  for (bool readme : {true, false}) {
    Params().ReadmeFile = readme ? "C:\\notes.txt" : "";
    struct Seen {
      RECT client{};
      std::string icon, label, notes, finished;
      bool notesVisible = false;
      LONG style = 0;
      char notesText[64] = "", finishedText[64] = "";
      LRESULT defId = 0;
    } seen;
    DialogDriver driver(kCaption, [&seen](HWND dlg) {
      GetClientRect(dlg, &seen.client);
      seen.style = GetWindowLongA(dlg, GWL_STYLE);
      seen.icon = PlaceOf(dlg, TFiniForm::kIconId);
      seen.label = PlaceOf(dlg, TFiniForm::kLabelId);
      seen.notes = PlaceOf(dlg, TFiniForm::kReadmeId);
      seen.finished = PlaceOf(dlg, TFiniForm::kFinishedId);
      seen.notesVisible = IsWindowVisible(GetDlgItem(dlg, TFiniForm::kReadmeId));
      GetDlgItemTextA(dlg, TFiniForm::kReadmeId, seen.notesText, sizeof seen.notesText);
      GetDlgItemTextA(dlg, TFiniForm::kFinishedId, seen.finishedText, sizeof seen.finishedText);
      seen.defId = SendMessageA(dlg, DM_GETDEFID, 0, 0);
      ClickButton(dlg, TFiniForm::kFinishedId);
    });
    ShowFinishDialog();
    ASSERT_TRUE(driver.Join()) << readme;
    int shrink = readme ? 0 : 40;
    EXPECT_EQ(363, seen.client.right);
    EXPECT_EQ(147 - shrink, seen.client.bottom) << readme;
    EXPECT_EQ(readme, seen.notesVisible);
    EXPECT_EQ("7,10 32x32", seen.icon);
    EXPECT_EQ("53,8 300x65", seen.label);
    EXPECT_EQ("88,85 177x25", seen.notes);
    EXPECT_EQ("102," + std::to_string(117 - shrink) + " 140x25", seen.finished);
    EXPECT_STREQ("&Read release notes", seen.notesText);
    EXPECT_STREQ("&Finished", seen.finishedText);
    EXPECT_EQ(TFiniForm::kFinishedId, LOWORD(seen.defId));
    EXPECT_TRUE(seen.style & WS_SYSMENU);
    EXPECT_FALSE(seen.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  }
}

TEST_F(FinishFormTest, EnterEscapeAndTheCloseBoxEndIt) {
  Params().ReadmeFile = "C:\\notes.txt";  // Enter must not fall to the notes button first in tab order
  std::function<void(HWND)> ways[] = {
      [](HWND dlg) {  // to the control that has the focus, as a key press goes
        GUITHREADINFO gti{};
        gti.cbSize = sizeof gti;
        GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gti);
        PostMessageA(gti.hwndFocus ? gti.hwndFocus : dlg, WM_KEYDOWN, VK_RETURN, 0);
      },
      [](HWND dlg) { PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0); },
      [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (size_t i = 0; i < 3; ++i) {
    ScratchDir d;
    InitQuestionSeam("", d / "t.txt");
    DialogDriver driver(kCaption, ways[i]);
    ShowFinishDialog();
    EXPECT_TRUE(driver.Join()) << i;
    std::vector<std::string> errors;
    auto asked = ParseAnswers(ReadFileText(d / "t.txt"), errors);  // the notes were not opened on the way
    ASSERT_EQ(1u, asked.size()) << i;
    EXPECT_EQ("Finished", asked[0].answer) << i;
  }
}

// A notes click opens them (here a missing file, so the shell helper's error box shows)
// and leaves the dialog open; the transcript records each click and replays the run.
TEST_F(FinishFormTest, NotesClicksKeepTheDialogOpenAndTheTranscriptReplaysThem) {
  ScratchDir d;
  Params().ReadmeFile = d / "missing notes.txt";
  SetAppTitle("Finish Test Box");
  InitQuestionSeam("", d / "t.txt");
  std::vector<std::string> boxTexts;
  bool stillOpen = true;
  DialogDriver driver(kCaption, [&](HWND dlg) {
    for (int click = 0; click < 2; ++click) {
      ClickButton(dlg, TFiniForm::kReadmeId);
      HWND box = WaitForWindow("Finish Test Box");
      if (!box) return;  // the driver then gives up and closes the dialog
      boxTexts.push_back(MessageBoxText(box));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      while (IsWindow(box)) Sleep(20);
      stillOpen = stillOpen && IsWindowVisible(dlg);
    }
    ClickButton(dlg, TFiniForm::kFinishedId);
  });
  ShowFinishDialog();
  ASSERT_TRUE(driver.Join());
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(2u, boxTexts.size());
  EXPECT_EQ(0u, boxTexts[0].find("File not found."));
  std::vector<std::string> errors;
  std::vector<AnswerEntry> asked = ParseAnswers(ReadFileText(d / "t.txt"), errors);
  std::vector<std::string> expected = {"finish Read release notes", "message OK", "finish Read release notes",
                                       "message OK", "finish Finished"};
  ASSERT_EQ(expected.size(), asked.size());
  for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(expected[i], asked[i].box + " " + asked[i].answer) << i;

  // Given back as an answers file, the same clicks happen without anybody there.
  UnattendedSeam replay(ReadFileText(d / "t.txt"));
  SetAppTitle("Finish Test Box");
  ShowFinishDialog();
  auto replayed = replay.Asked();
  ASSERT_EQ(expected.size(), replayed.size());
  for (size_t i = 0; i < replayed.size(); ++i) {
    EXPECT_EQ(expected[i], replayed[i].box + " " + replayed[i].answer) << i;
    EXPECT_EQ("answers file", replayed[i].source) << i;
  }
}

TEST_F(FinishFormTest, AnswersTheFormCannotUseTakeFinished) {
  struct Case {
    const char *readme, *answer;
    bool logged;
  } cases[] = {
      {"", "Read release notes", true},  // no notes button to click
      {"C:\\notes.txt", "Later", true},
      {"C:\\notes.txt", "finished", false},  // letter case aside
  };
  for (const Case& c : cases) {
    InstallLog().lines.clear();
    Params().ReadmeFile = c.readme;
    UnattendedSeam seam(std::string("box: finish\nanswer: ") + c.answer + "\n");
    ShowFinishDialog();
    EXPECT_EQ(1u, seam.Asked().size()) << c.answer;
    bool logged = !InstallLog().lines.empty() &&
                  InstallLog().lines.back().find("does not answer the finish form") != std::string::npos;
    EXPECT_EQ(c.logged, logged) << c.answer;
  }
}
