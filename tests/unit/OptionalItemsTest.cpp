#include <windows.h>

#include <commctrl.h>

#include <algorithm>
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
    for (const char* x : {"a", "b", "c", "e", "f", "z"}) WriteFileText(d / "src\\" + x + ".txt", std::string("new ") + x);
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
  std::vector<std::string> Section() {
    WriteFileText(d / "dst\\f.txt", "old");  // on the PC already
    WriteFileText(d / "dst\\z.txt", "old");
    return {Line("a", "", "1", "Alpha", "The first"),
            Line("b", "nocond", "S1", "Beta"),
            Line("c", "cond", "a", "Gamma"),
            Line("e", "nocond", "A", "Epsilon"),
            Line("f", "", "0", "Zeta"),
            "$Lang_de, " + Line("z", "", "1", "Ruled out"),  // not this PC's language
            Line("missing", "", "1", "In error")};
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
      {"Maybe", "acf", true},
  };
  for (const Case& c : cases) {
    ResetRunState();
    for (const char* x : {"a", "c", "e"}) DeleteFileA((d / "dst\\" + x + ".txt").c_str());
    UnattendedSeam seam(*c.answer ? std::string("box: options\nanswer: ") + c.answer + "\n" : "");
    EXPECT_TRUE(InstallOptionalItems(Section())) << c.answer;
    EXPECT_EQ(c.copied, Copied()) << c.answer;
    EXPECT_EQ("old", ReadFileText(d / "dst\\z.txt")) << c.answer;  // ruled out: not even updated
    auto asked = seam.Asked();
    ASSERT_EQ(2u, asked.size()) << c.answer;  // the line in error, then the form
    EXPECT_EQ("options", asked[1].box);
    EXPECT_EQ("checklist", asked[1].kind);
    EXPECT_EQ("Install Options", asked[1].title);
    EXPECT_EQ(std::string(TOptionalForm::kLabel) + kRows, asked[1].text);
    std::string error = std::string("** Error: answers file: \"") + c.answer + "\" does not answer the options form";
    const auto& log = InstallLog().lines;
    EXPECT_EQ(c.refused, std::find(log.begin(), log.end(), error) != log.end()) << c.answer;
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
    DeleteFileA((d / "dst\\a.txt").c_str());
    UnattendedSeam seam(std::string("box: options\nanswer: OK | Alpha\n\nbox: message\nanswer: ") + answer + "\n");
    std::vector<std::string> lines = Section();
    lines.resize(5);  // the warning of the line in error would take the copy question's answer
    ScopedHandle lock(CreateFileA((d / "dst\\f.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.IsValid());
    bool goOn = *answer == 'Y';
    EXPECT_EQ(goOn, InstallOptionalItems(lines)) << answer;
    lock.Close();
    EXPECT_EQ(goOn ? "a" : "", Copied()) << answer;
  }
}

namespace {

std::string Text(HWND w) {
  char buf[512] = "";
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

// The rows as "[x] caption", one per line.
std::string Rows(HWND list) {
  std::string out;
  int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char buf[128] = "";
    LVITEMA it{};
    it.iSubItem = 0;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
    out += std::string("\r\n") + ((state >> 12) == 2 ? "[x] " : "[ ] ") + buf;
  }
  return out;
}

void SetRow(HWND list, int row, UINT state, UINT mask) {
  LVITEMA it{};
  it.state = state;
  it.stateMask = mask;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

// The description once the dialog's thread caught up with a selection change.
std::string SettledText(HWND w, const std::string& want) {
  for (int i = 0; i < 100 && Text(w) != want; ++i) Sleep(20);
  return Text(w);
}

}  // namespace

TEST_F(OptionalItemsTest, TheDialogShowsThePresetsAndClosesFourWays) {
  struct Case {
    const char* what;
    std::function<void(HWND)> close;
    std::string copied;
  } cases[] = {
      {"Alpha unticked, Epsilon ticked, OK",
       [](HWND dlg) {
         HWND list = GetDlgItem(dlg, TOptionalForm::kListId);
         SetRow(list, 0, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
         SetRow(list, 2, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
         ClickButton(dlg, IDOK);
       },
       "cef"},
      {"Cancel", [](HWND dlg) { ClickButton(dlg, IDCANCEL); }, ""},
      {"Escape",
       [](HWND dlg) { PostMessageA(GetDlgItem(dlg, TOptionalForm::kListId), WM_KEYDOWN, VK_ESCAPE, 0); }, ""},
      {"close box", [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); }, ""},
  };
  for (const Case& c : cases) {
    ResetRunState();
    for (const char* x : {"a", "c", "e"}) DeleteFileA((d / "dst\\" + x + ".txt").c_str());
    std::string rows, firstDesc, fallback, group;
    DialogDriver driver(TOptionalForm::kCaption, [&](HWND dlg) {
      HWND list = GetDlgItem(dlg, TOptionalForm::kListId), desc = GetDlgItem(dlg, TOptionalForm::kDescId);
      rows = Rows(list);
      group = Text(GetDlgItem(dlg, TOptionalForm::kGroupId));
      firstDesc = Text(desc);  // the first row starts selected
      SetRow(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      fallback = SettledText(desc, "Tick the check box to install Zeta");
      c.close(dlg);
    });
    std::vector<std::string> lines = Section();
    lines.resize(5);  // no line in error: its warning would be a box of its own
    EXPECT_TRUE(InstallOptionalItems(lines)) << c.what;
    ASSERT_TRUE(driver.Join()) << c.what;
    EXPECT_EQ(kRows, rows) << c.what;
    EXPECT_EQ(" Description ", group);
    EXPECT_EQ("The first", firstDesc);
    EXPECT_EQ("Tick the check box to install Zeta", fallback);
    EXPECT_EQ(c.copied, Copied()) << c.what;
  }
}

TEST_F(OptionalItemsTest, TheDialogIsResizableCentredAndItsLayoutFollows) {
  MINMAXINFO mm{};
  RECT window{}, list{}, group{}, ok{};
  LONG style = 0;
  std::string label;
  DialogDriver driver(TOptionalForm::kCaption, [&](HWND dlg) {
    SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    GetWindowRect(dlg, &window);
    style = GetWindowLongA(dlg, GWL_STYLE);
    label = Text(GetDlgItem(dlg, TOptionalForm::kLabelId));
    SetWindowPos(dlg, nullptr, 0, 0, 700, 700, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(GetDlgItem(dlg, TOptionalForm::kListId), &list);
    GetWindowRect(GetDlgItem(dlg, TOptionalForm::kGroupId), &group);
    GetWindowRect(GetDlgItem(dlg, IDOK), &ok);
    ClickButton(dlg, IDCANCEL);
  });
  EXPECT_TRUE(InstallOptionalItems({Line("a", "", "1", "Alpha")}));
  ASSERT_TRUE(driver.Join());
  EXPECT_EQ(423, mm.ptMinTrackSize.x);
  EXPECT_EQ(423, mm.ptMinTrackSize.y);
  EXPECT_TRUE((style & WS_THICKFRAME) && (style & WS_SYSMENU));
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ(TOptionalForm::kLabel, label);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 2);
  EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 2);
  EXPECT_GT(list.bottom - list.top, 350);
  EXPECT_GT(list.right - list.left, 650);
  EXPECT_GT(group.top, list.bottom);
  EXPECT_GT(ok.top, group.bottom);
}
