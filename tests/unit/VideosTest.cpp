// The help videos: where they are found, their order, the destination form (candidates,
// preselection, the free-space refusal) and the cancellable copy.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "FMain.h"
#include "TestSupport.h"
#include "UApp.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UText.h"
#include "FVidCopy.h"
#include "UVideos.h"
#include "Uninstall.h"

using namespace tolvex;
using namespace tolvex::test;

class VideosTest : public TolvexTest {};

TEST_F(VideosTest, SourceIsTheFirstOfTheSixPlacesWithAVideo) {
  ScratchDir parent("o:\\" + UniqueName()), root("o:\\Videos");  // drive root: test drive o:
  const std::string setup = parent / "Tolvex";
  struct Case {
    std::vector<std::string> files;  // {p} parent, {s} setup folder, {r} drive root
    std::string source;
  } cases[] = {
      {{"{p}\\Videos\\a.avi", "{s}\\Videos\\b.avi", "{r}\\Videos\\c.avi"}, "{p}\\Videos"},
      {{"{p}\\Videos\\a.wmv", "{s}\\Videos\\b.avi"}, "{p}\\Videos"},
      {{"{p}\\Videos\\readme.txt", "{s}\\Videos\\b.avi", "{r}\\Videos\\c.avi"}, "{s}\\Videos"},
      {{"{s}\\Videos\\b.wmv", "{r}\\Videos\\c.avi"}, "{s}\\Videos"},
      {{"{p}\\Videos\\x.avi\\in.txt", "{r}\\Videos\\c.avi", "{r}\\Videos\\d.wmv"}, "{r}\\Videos"},
      {{"{r}\\Videos\\d.wmv"}, "{r}\\Videos"},
      {{"{p}\\Videos\\x.avi\\in.txt"}, ""},  // a folder named .avi is no video
  };
  auto at = [&](const std::string& s) {
    return ReplaceNoCase(ReplaceNoCase(ReplaceNoCase(s, "{p}", parent.Path()), "{s}", setup), "{r}", "o:");
  };
  for (const Case& c : cases) {
    for (const std::string& f : {parent / "Videos", root.Path(), setup}) ScratchDir wipe(f);
    for (const std::string& f : c.files) Touch(at(f), "video");
    Params().setupparentdir = parent.Path();
    Params().setupdir = setup;
    EXPECT_TRUE(EqualsNoCase(at(c.source), FindVideoSource())) << c.source << ": " << FindVideoSource();
  }
  ResetRunState();  // nothing known: nothing searched, not the current drive's root
  EXPECT_EQ("", FindVideoSource());
}

TEST_F(VideosTest, ListIsDepthFirstFilesBeforeFoldersByNameIgnoringCase) {
  ScratchDir d;
  for (const char* f : {"B.avi", "a.avi", "sub2\\x.avi", "Sub1\\z.avi", "Sub1\\deep\\y.avi", "c.wmv"})
    Touch(d / f, f);
  unsigned long long total = 0;
  std::vector<std::string> order;
  for (const VideoFileInfo& f : ListVideoFiles(d.Path(), total)) order.push_back(f.path);
  EXPECT_EQ((std::vector<std::string>{"a.avi", "B.avi", "c.wmv", "Sub1\\z.avi", "Sub1\\deep\\y.avi", "sub2\\x.avi"}),
            order);
  EXPECT_EQ(5u + 5 + 5 + 10 + 10 + 15, total);  // each file holds its own name
}

TEST_F(VideosTest, CandidatesAndThePreselectedRow) {
  ASSERT_FALSE(FolderExists("c:\\videos")) << "it would be preselected before the test drives";
  ScratchDir app;
  const std::string appVideos = app / "help\\videos";
  struct Case {
    bool appVideosExists;
    unsigned long long required;
    std::string answer;  // Enter's choice: the preselected row, else No
  } cases[] = {{true, 1, appVideos}, {false, 1, "n:\\videos"}, {true, 1ULL << 62, "No"}};
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir drive("n:\\videos");
    if (c.appVideosExists) MakeDirPath(appVideos);
    UnattendedSeam seam;
    EXPECT_EQ(c.answer == "No" ? "" : c.answer, ChooseVideoFolder(app.Path() + "\\", c.required));
    ASSERT_EQ(1u, seam.Asked().size());
    const std::string text = seam.Asked()[0].text;
    EXPECT_EQ(c.answer, seam.Asked()[0].answer);
    EXPECT_EQ(0u, text.find("Install the help Videos?\r\n" + appVideos + ",  (Free Space = ")) << text;
    // Fixed drives and removable ones from d: on; never a floppy a:, a CD or a share.
    for (const char* row : {"c:\\videos,", "n:\\videos,", "o:\\videos,"}) EXPECT_NE(std::string::npos, text.find(row));
    for (const char* row : {"a:\\", "m:\\", "p:\\"}) EXPECT_EQ(std::string::npos, text.find(row));
    RemoveDirectoryA(appVideos.c_str());
  }
}

// The small disk (tests/harness/small-disk) keeps its free space still; it is a folder of
// c: that is a volume of its own, as a mounted folder is on Windows.
TEST_F(VideosTest, ARequiredSizeEqualToTheFreeSpaceIsRefused) {
  const std::string disk = "C:\\tolvex_smalldisk", folder = disk + "\\app\\help\\videos";
  unsigned long long freeBytes = 0;
  if (!FolderExists(disk) || !GetDriveFreeBytes(folder, freeBytes) || freeBytes > (1 << 20))
    GTEST_SKIP() << disk << " is missing: tests/harness/small-disk could not mount its 1 MB tmpfs (needs root)";
  const std::string answer = "box: videos\nanswer: " + EscapeAnswerValue(folder) + "\n\n";
  for (long long fromFree : {0, -1}) {
    std::string result;
    std::unique_ptr<UnattendedSeam> seam;
    // Another test may fill the disk for a moment: a round in which the space moved is run again.
    for (unsigned long long after = 1, round = 0; after != freeBytes && round < 20; ++round) {
      ResetRunState();
      seam = std::make_unique<UnattendedSeam>(answer + answer);
      GetDriveFreeBytes(folder, freeBytes);
      result = ChooseVideoFolder(disk + "\\app", freeBytes + fromFree);
      GetDriveFreeBytes(folder, after);
    }
    EXPECT_EQ(fromFree ? folder : "", result);
    // Refused: the "Sorry" box, asked again, refused again: No, never a loop.
    auto asked = seam->Asked();
    ASSERT_EQ(fromFree ? 1u : 4u, asked.size());
    EXPECT_TRUE(fromFree || asked[1].text == "Sorry C: drive does not contain enough free disk space to contain all the "
                                             "videos.");
  }
}

TEST_F(VideosTest, TheRealFormYesWithARowTheSorryRefusalStaysOpenAndNo) {
  ScratchDir app, drive("n:\\videos");
  SetAppTitle("Videos Form Test");
  for (unsigned long long required : {1ULL, 1ULL << 62}) {
    std::string sorry;
    bool stayed = false;
    RECT client{};
    DialogDriver driver("Install Videos", [&](HWND dlg) {
      GetClientRect(dlg, &client);
      HWND combo = GetDlgItem(dlg, TVidCopyForm::kDrivesId);
      SendMessageA(combo, CB_SETCURSEL, SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                                     reinterpret_cast<LPARAM>("n:\\videos,")), 0);
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
      HWND box = nullptr;
      for (int i = 0; i < 100 && !box && IsWindow(dlg); ++i, Sleep(20)) box = FindWindowA(nullptr, "Videos Form Test");
      if (!box) return;
      sorry = MessageBoxText(box);
      SendMessageA(box, WM_COMMAND, IDOK, 0);
      // Without a row neither the close box nor No closes it; with one, No does.
      SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
      stayed = IsWindowVisible(dlg) != FALSE;
      SendMessageA(combo, CB_SETCURSEL, 0, 0);
      ClickButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(required == 1 ? "n:\\videos" : "", ChooseVideoFolder(app.Path(), required));
    ASSERT_TRUE(driver.Join());
    EXPECT_TRUE(client.right == 403 && client.bottom == 208);
    EXPECT_EQ(required == 1 ? "" : "Sorry n: drive does not contain enough free disk space to contain all the videos.",
              sorry);
    EXPECT_EQ(required != 1, stayed);
  }
}

TEST_F(VideosTest, CancelAnsweredNoGoesOnYesStopsAndAFailureIsReported) {
  struct Case {
    std::string answer;
    bool blocked;  // a file stands where the sub-folder should be
    size_t copied;
  } cases[] = {{"No", false, 3}, {"Yes", false, 1}, {"No", true, 1}};
  for (const Case& c : cases) {
    ScratchDir src, dst;
    const char* names[] = {"a.avi", "sub\\b.avi", "sub\\c.avi"};
    for (const char* f : names) Touch(src / f, std::string(1000, 'v'));
    if (c.blocked) WriteFileText(dst / "sub", "");
    ResetRunState();
    UnattendedSeam seam("box: message\nanswer: " + c.answer + "\n");
    Params().UnInstall = true;
    TFormMain form([&] {
      unsigned long long total = 0;
      auto files = ListVideoFiles(src.Path(), total);
      if (!c.blocked) PostMessageA(Progress().cancelButton, WM_KEYDOWN, VK_ESCAPE, 0);  // during the first file
      EXPECT_EQ(c.copied == 3, CopyVideoFiles(src.Path(), dst.Path(), files, total));
      EXPECT_FALSE(IsWindowVisible(Progress().bar));
      return true;
    });
    form.Run();
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(i < c.copied, FileExists(dst / names[i])) << c.answer << names[i];
    size_t created = 0;
    for (const std::string& line : UninstallList().files) created += ParseUndoLine(line).kind == UndoKind::Created;
    EXPECT_EQ(c.copied, created);
    auto asked = seam.Asked();
    ASSERT_EQ(c.blocked ? 2u : 1u, asked.size());
    EXPECT_EQ(c.blocked ? "Error copying file! Check if drive is full or readonly. Check if destination file is in "
                          "use.\r\"" + dst / "sub\\b.avi" + "\""
                        : "Stop installing videos files?",
              asked.back().text);
  }
  ResetRunState();
}
