#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "FOptional.h"
#include "TestSupport.h"
#include "ULog.h"
#include "UPaths.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A section of one-letter components: source src\<x>.txt ("new <x>"), destination
// dst\<x>.txt; "cond" names a condition file that exists, "nocond" one that does not.
class OptionalItemsTest : public TolvexTest {
 protected:
  void SetUp() override {
    TolvexTest::SetUp();
    MakeDirPath(d / "src");
    MakeDirPath(d / "dst");
    for (const char* x : {"a", "b", "c", "e", "f", "z"})
      WriteFileText(d / "src\\" + x + ".txt", std::string("new ") + x);
    WriteFileText(d / "cond", "");
  }
  std::string Line(const std::string& x, const std::string& cond, const std::string& sel, const std::string& caption,
                   const std::string& desc = "") {
    return d / "src\\" + x + ".txt, " + d / "dst\\" + x + ".txt, O, -, " + (cond.empty() ? "-" : d / cond) + ", " +
           sel + ", " + caption + ", " + desc;
  }
  // The components whose destination holds the new file, in letter order.
  std::string Copied() {
    std::string out;
    for (const char* x : {"a", "b", "c", "e", "f", "z"})
      if (ReadFileText(d / "dst\\" + x + ".txt") == std::string("new ") + x) out += x;
    return out;
  }
  // Five components, f and z already on the PC; all: also a line ruled out by language and
  // one in error (whose warning is a question of its own).
  std::vector<std::string> Section(bool all) {
    for (const char* x : {"a", "c", "e"}) DeleteFileA((d / "dst\\" + x + ".txt").c_str());
    for (const char* x : {"f", "z"}) WriteFileText(d / "dst\\" + x + ".txt", "old");
    std::vector<std::string> lines = {Line("a", "", "1", "Alpha", "The first"), Line("b", "nocond", "S1", "Beta"),
                                      Line("c", "cond", "a", "Gamma"), Line("e", "nocond", "A", "Epsilon"),
                                      Line("f", "", "0", "Zeta")};
    if (all) lines.insert(lines.end(), {"$Lang_de, " + Line("z", "", "1", "Ruled out"), Line("x", "", "1", "Error")});
    return lines;
  }
  ScratchDir d;
};

const char* const kRows = "\r\n[x] Alpha\r\n[x] Gamma\r\n[ ] Epsilon\r\n[ ] Zeta";

}  // namespace

TEST_F(OptionalItemsTest, AnswersFileTicksByCaptionAndAnythingElseTakesThePresets) {
  struct Case {
    const char* answer;  // empty: no entry
    std::string copied;
    bool refused;
  } cases[] = {
      {"", "acf", false},
      {"OK | epsilon | ALPHA", "aef", false},
      {"OK", "f", false},  // an unticked component on the PC is still updated
      {"Cancel", "", false},
      {"OK | Alpha | Nothing", "acf", true},
      {"Cancel | Alpha", "acf", true},
  };
  for (const Case& c : cases) {
    ResetRunState();
    UnattendedSeam seam(*c.answer ? std::string("box: options\nanswer: ") + c.answer + "\n" : "");
    EXPECT_TRUE(InstallOptionalItems(Section(true))) << c.answer;
    EXPECT_EQ(c.copied, Copied()) << c.answer;
    EXPECT_EQ("old", ReadFileText(d / "dst\\z.txt")) << c.answer;  // ruled out: not even updated
    auto asked = seam.Asked();
    ASSERT_EQ(2u, asked.size()) << c.answer;  // the line in error, then the form
    EXPECT_EQ(std::string(TOptionalForm::kLabel) + kRows, asked[1].text);
    std::string error = std::string("** Error: answers file: \"") + c.answer + "\" does not answer the options form";
    EXPECT_EQ(c.refused, LogHasLine(error)) << c.answer;
  }
}

TEST_F(OptionalItemsTest, NothingListedAsksNothingAndUpdatesNothing) {
  WriteFileText(d / "dst\\a.txt", "old");
  UnattendedSeam seam;
  EXPECT_TRUE(InstallOptionalItems({Line("a", "nocond", "S1", "Alpha"), Line("b", "nocond", "s", "Beta")}));
  EXPECT_EQ("old", ReadFileText(d / "dst\\a.txt"));
  EXPECT_TRUE(seam.Asked().empty());
}

TEST_F(OptionalItemsTest, AFailedUpdateStopsBeforeTheInstallPass) {
  for (const char* answer : {"No", "Yes"}) {
    ResetRunState();
    UnattendedSeam seam(std::string("box: options\nanswer: OK | Alpha\n\nbox: message\nanswer: ") + answer + "\n");
    std::vector<std::string> lines = Section(false);
    ScopedHandle lock(CreateFileA((d / "dst\\f.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.IsValid());
    bool goOn = *answer == 'Y';
    EXPECT_EQ(goOn, InstallOptionalItems(lines)) << answer;
    lock.Close();
    EXPECT_EQ(goOn ? "a" : "", Copied()) << answer;
  }
}

TEST_F(OptionalItemsTest, TheDialogShowsThePresetsFollowsResizingAndClosesFourWays) {
  struct Case {
    const char* what;
    std::function<void(HWND)> close;
    std::string copied;
  } cases[] = {
      {"Alpha unticked, Epsilon ticked, OK",
       [](HWND dlg) {
         ListView_SetCheckState(GetDlgItem(dlg, TOptionalForm::kListId), 0, FALSE);
         ListView_SetCheckState(GetDlgItem(dlg, TOptionalForm::kListId), 2, TRUE);
         ClickButton(dlg, IDOK);
       },
       "cef"},
      {"Cancel", [](HWND dlg) { ClickButton(dlg, IDCANCEL); }, ""},
      {"Escape", [](HWND dlg) { PostMessageA(GetDlgItem(dlg, TOptionalForm::kListId), WM_KEYDOWN, VK_ESCAPE, 0); }, ""},
      {"close box", [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); }, ""},
  };
  for (const Case& c : cases) {
    ResetRunState();
    std::string rows, firstDesc, fallback;
    MINMAXINFO mm{};
    RECT window{}, list{}, group{}, ok{};
    LONG style = 0;
    DialogDriver driver(TOptionalForm::kCaption, [&](HWND dlg) {
      HWND lv = GetDlgItem(dlg, TOptionalForm::kListId), desc = GetDlgItem(dlg, TOptionalForm::kDescId);
      for (int i = 0; i < ListView_GetItemCount(lv); ++i) {
        char buf[64] = "";
        ListView_GetItemText(lv, i, 0, buf, sizeof buf);
        rows += std::string("\r\n") + (ListView_GetCheckState(lv, i) ? "[x] " : "[ ] ") + buf;
      }
      firstDesc = WindowText(desc);  // the first row starts selected
      ListView_SetItemState(lv, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      for (int i = 0; i < 100 && WindowText(desc) == firstDesc; ++i) Sleep(20);  // the dialog's thread catches up
      fallback = WindowText(desc);
      SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
      GetWindowRect(dlg, &window);
      style = GetWindowLongA(dlg, GWL_STYLE);
      SetWindowPos(dlg, nullptr, 0, 0, 700, 700, SWP_NOMOVE | SWP_NOZORDER);
      GetWindowRect(lv, &list);
      GetWindowRect(GetDlgItem(dlg, TOptionalForm::kGroupId), &group);
      GetWindowRect(GetDlgItem(dlg, IDOK), &ok);
      c.close(dlg);
    });
    EXPECT_TRUE(InstallOptionalItems(Section(false))) << c.what;
    ASSERT_TRUE(driver.Join()) << c.what;
    EXPECT_EQ(c.copied, Copied()) << c.what;
    EXPECT_EQ(kRows, rows) << c.what;
    EXPECT_EQ("The first", firstDesc);
    EXPECT_EQ("Tick the check box to install Zeta", fallback);
    EXPECT_EQ(423, mm.ptMinTrackSize.x);
    EXPECT_EQ(423, mm.ptMinTrackSize.y);
    EXPECT_EQ(WS_THICKFRAME | WS_SYSMENU, style & (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 2);
    EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 2);
    EXPECT_GT(list.bottom - list.top, 350);
    EXPECT_GT(group.top, list.bottom);
    EXPECT_GT(ok.top, group.bottom);
  }
}
