#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <shellapi.h>

#include "TestSupport.h"
#include "UApp.h"
#include "UGetAppPath.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

TEST(SearchList, TrimsStopsAtTheFirstGapAndDropsDuplicates) {
  struct Case {
    const char* list;
    std::vector<std::string> want;
  } cases[] = {
      {" .abc | [CorvaneServerDir] ", {".abc", "[CorvaneServerDir]"}},
      {".abc||.def", {".abc"}},
      {".abc| |.def", {".abc"}},
      {".ABC|.abc|.Def", {".ABC", ".Def"}},
      {"", {}},
      {"|.abc", {}},
      {".\xC4x|.\xE4x|.\xC4X", {".\xC4x", ".\xE4x"}},  // letters beyond A-Z keep their case
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, SplitSearchList(c.list)) << c.list;
}

TEST(SearchList, AHundredThousandItemsKeepTheirFirstSpellingInOrder) {
  std::string list;
  std::vector<std::string> want;
  for (int i = 0; i < 100000; ++i) {
    // Every name comes twice, the second time in other letters and with blanks around it.
    std::string item = (i % 2 ? ".Ext" : ".ext") + std::to_string(i % 50000);
    if (i < 50000) want.push_back(item);
    list += (i < 50000 ? item : " " + UpperAscii(item) + " ") + "|";
  }
  list += "|.after";  // the gap still ends the list
  EXPECT_EQ(want, SplitSearchList(list));
}

TEST(ExpandMessage, FillsTheTemplateAndNothingInsideTheValues) {
  struct Case {
    const char* message;
    std::vector<std::string> values;
    const char* want;
  } cases[] = {
      {"\"%s\" not found!|Look in %s?", {"a|b", "C:\\%s%n"}, "\"a|b\" not found!\r\nLook in C:\\%s%n?"},
      {"%s%s", {"%s", "|"}, "%s|"},
      {"%s and %s", {"one"}, "one and %s"},  // no value left: the placeholder stays
      {"100%% %d %S %", {"unused"}, "100%% %d %S %"},
      {"||", {}, "\r\n\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ExpandMessage(c.message, c.values)) << c.message;
}

class AppPathTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    UseScratchProgramFiles(d);
  }
};

TEST_F(AppPathTest, CandidatesMustHoldProgramFiles) {
  std::vector<std::string> c;
  MakeAppFolder(d / "exe");
  MakeAppFolder(d / "dll", "lib.dll");
  MakeDirPath(d / "sub\\fake.exe");  // a folder named like a program does not count
  MakeDirPath(d / "txt");
  WriteFileText(d / "txt\\readme.txt", "");
  MakeAppFolder(d / "Long Folder Name");
  char shortName[MAX_PATH] = "";
  GetShortPathNameA((d / "Long Folder Name").c_str(), shortName, MAX_PATH);
  AddCandidateFolder(c, d / "exe\\\\");
  AddCandidateFolder(c, d / "dll");
  AddCandidateFolder(c, d / "sub");
  AddCandidateFolder(c, d / "txt");
  AddCandidateFolder(c, d / "absent");
  AddCandidateFolder(c, "");
  AddCandidateFolder(c, UpperAscii(d / "exe"));  // the same folder in other letters
  AddCandidateFolder(c, shortName);              // the shell's long form is kept
  std::vector<std::string> want = {d / "exe", d / "dll", d / "Long Folder Name"};
  EXPECT_EQ(want, c);
}

TEST_F(AppPathTest, CandidatesComeInSourceOrder) {
  std::string unique = ExtractFileName(d.Path());
  std::string assoc = MakeAppFolder(d / "assoc");
  std::string corvane = MakeAppFolder(d / "corvane");
  MakeAppFolder(d / "corvane\\devices", "dev.dll");
  std::string com = MakeAppFolder(d / "com", "server.exe");
  std::string fen = MakeAppFolder(d / "fenpro");
  std::string product = MakeAppFolder(d / "product");
  std::string family = MakeAppFolder(d / "family");
  std::string onDrive = MakeAppFolder("C:\\" + unique);
  std::string inPf = MakeAppFolder(d / ("PF\\" + unique));

  RegisterAssociation(".tvxa", "tvxa.file", "\"" + assoc + "\\app.exe\" \"%1\"");
  WriteRegString(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\MORVASK\\Domains\\Default", "LocalPathServer", corvane);
  const std::string clsid = "{0B1C2D3E-4F50-6172-8394-A5B6C7D8E9F0}";
  WriteRegString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\LocalServer32", "", com + "\\server.exe");
  WriteRegString(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\FenPro.exe", "Path", fen);
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Kelvor\\Vosk Zentha 2", "path", d / "ignored");
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Tesmora\\Vosk Zentha 2", "path", product);
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Kelvor\\Vosk", "path", family);
  Params().productname = "Vosk Zentha 2";

  std::vector<std::string> got =
      GatherCandidates(clsid + "|.tvxa|[CorvaneServerDir]|[CorvaneServerDevicesDir]|.TVXA", unique);
  std::vector<std::string> want = {assoc, corvane + "\\devices", corvane, com, fen, product, family,
                                   ShellLongPath(onDrive), inPf};
  EXPECT_EQ(want, got);
  const auto& log = InstallLog().lines;
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ("Search for folder info [CorvaneServerDevicesDir] = \"" + corvane + "\\devices\"", log[0]);
  EXPECT_EQ("Search for folder info [CorvaneServerDir] = \"" + corvane + "\"", log[1]);
  DeleteFileA((onDrive + "\\app.exe").c_str());
  RemoveDirectoryA(onDrive.c_str());
}

TEST_F(AppPathTest, NoServerFolderIsLoggedEmpty) {
  GatherCandidates("[CorvaneServerDevicesDir]", "");
  ASSERT_EQ(1u, InstallLog().lines.size());
  EXPECT_EQ("Search for folder info [CorvaneServerDevicesDir] = \"\"", InstallLog().lines[0]);
}

TEST_F(AppPathTest, OneCandidateIsTakenWithoutAQuestion) {
  UnattendedSeam seam;
  std::string app = MakeAppFolder(d / "app");
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Kelvor\\Viewer", "path", app + "\\");
  Params().productname = "Viewer";
  EXPECT_EQ(app, GetAppPath(".none", "", "", true));
  EXPECT_TRUE(seam.Asked().empty());
  EXPECT_FALSE(UserChoseAppFolder());
}

TEST_F(AppPathTest, SeveralCandidatesAreChosenFrom) {
  std::string a = MakeAppFolder(d / "a");
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Tesmora\\Viewer", "path", a);
  MakeAppFolder(d / ("PF\\Viewer"));
  Params().productname = "Viewer";
  std::string pf = d / "PF\\Viewer";
  {
    UnattendedSeam seam("box: select\nanswer: " + EscapeAnswerValue(pf));
    EXPECT_EQ(pf, GetAppPath("", "Viewer", "", true));  // no leading backslash: one is added
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ("select", asked[0].box);
    EXPECT_EQ("Help Install Destination", asked[0].title);
    EXPECT_EQ("&Select the correct installation path:\r\n" + a + "\r\n" + pf, asked[0].text);
  }
  {
    UnattendedSeam seam("box: select\nanswer: Cancel\n");
    EXPECT_EQ("-", GetAppPath("", "\\Viewer", "", true));
  }
  {
    UnattendedSeam seam;  // Enter takes the first line
    EXPECT_EQ(a, GetAppPath("", "\\Viewer", "", true));
  }
}

TEST_F(AppPathTest, NotFoundQuestionsAndTheirAnswers) {
  Params().productname = "Viewer";
  std::string app = MakeAppFolder(d / "browsed");
  const std::string forItem =
      "\"Help Tool\" application not found! \r\n\r\nBefore installing this CD you must first install the main "
      "application software!\r\rDo you want to try and locate the application folder yourself?\rClick \"Yes\" to "
      "browse for the folder. Click \"No\" to exit installation. Click Ignore to skip item installation.";
  const std::string forStart =
      "\"Viewer\" application not found! \r\n\r\nBefore installing this CD you must first install the main "
      "application software!\r\rDo you want to try and locate the application folder yourself?";
  struct Case {
    std::string display;
    bool prompt;
    std::string answers, want, kind, text;
    bool chose;
  } cases[] = {
      {"Help Tool", false, "", "$", "", "", false},  // configured to skip: no question
      {"Help Tool", true, "answer: Ignore\n", "$", "YesNoIgnore", forItem, false},
      {"Help Tool", true, "answer: No\n", "-", "YesNoIgnore", forItem, false},
      {"Help Tool", true, "answer: Yes\n\nbox: browse\nanswer: " + EscapeAnswerValue(app) + "\n", app,
       "YesNoIgnore", forItem, true},
      {"", true, "answer: No\n", "-", "YesNo", forStart, false},
      {"", true, "answer: Yes\n\nbox: browse\nanswer: Cancel\n", "-", "YesNo", forStart, false},
  };
  for (const Case& c : cases) {
    UnattendedSeam seam(c.answers);
    EXPECT_EQ(c.want, GetAppPath(".none", "", c.display, c.prompt)) << c.answers;
    EXPECT_EQ(c.chose, UserChoseAppFolder());
    auto asked = seam.Asked();
    if (c.kind.empty()) {
      EXPECT_TRUE(asked.empty());
      continue;
    }
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(c.kind, asked[0].kind);
    EXPECT_EQ("question", asked[0].icon);
    EXPECT_EQ(c.text, asked[0].text);
  }
}

TEST_F(AppPathTest, TheScriptsOwnNotFoundPrompt) {
  Params().productname = "Viewer";
  Params().AppNotFoundPrompt = "Install %s first.|Browse?";
  UnattendedSeam seam("answer: No\n");
  EXPECT_EQ("-", GetAppPath(".none", "", "", true));
  EXPECT_EQ("Install Viewer first.\r\nBrowse?", seam.Asked().at(0).text);
}

TEST_F(AppPathTest, BrowsingInsistsOnARealFolderWithPrograms) {
  std::string noExe = d / "empty";
  MakeDirPath(noExe);
  std::string app = MakeAppFolder(d / "app");
  UnattendedSeam seam("box: browse\nanswer: \"\"\n\n"
                      "box: browse\nanswer: " + EscapeAnswerValue(noExe) + "\n\n"
                      "box: browse\nanswer: " + EscapeAnswerValue(app + "\\") + "\n");
  Params().SelectFolderPrompt = "Where is Viewer?";
  EXPECT_EQ(app, BrowseForAppFolder());
  EXPECT_TRUE(UserChoseAppFolder());
  auto asked = seam.Asked();
  ASSERT_EQ(5u, asked.size());
  EXPECT_EQ("Where is Viewer?", asked[0].text);
  EXPECT_EQ("Invalid folder. Cannot install to Windows virtual folders.", asked[1].text);
  EXPECT_EQ("information", asked[1].icon);
  EXPECT_EQ("Invalid folder. Folder does not contain any executable files.", asked[3].text);
  EXPECT_EQ("browse", asked[4].box);

  Params().BrowseFolderRequiresEXE = false;  // then any real folder will do
  UnattendedSeam again("box: browse\nanswer: " + EscapeAnswerValue(noExe) + "\n");
  EXPECT_EQ(noExe, BrowseForAppFolder());
  Params().SelectFolderPrompt.clear();
  UnattendedSeam cancel;
  EXPECT_EQ("", BrowseForAppFolder());
  EXPECT_EQ("Select Application Folder", cancel.Asked().at(0).text);
}

TEST_F(AppPathTest, ProgramFilesFromTheRegistryOrTheWindowsDrive) {
  EXPECT_EQ(d / "PF", GetProgramFilesDir());
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", d / "NewPF\\");
  EXPECT_EQ(d / "NewPF", GetProgramFilesDir());
  EXPECT_TRUE(FolderExists(d / "NewPF"));  // created, one level
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "");
  EXPECT_EQ(GetWindowsDir().substr(0, 1) + ":\\Program Files", GetProgramFilesDir());
  WriteRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                 d / "no\\such\\parent");
  EXPECT_THROW(GetProgramFilesDir(), std::runtime_error);
}

// The real dialogs, driven through window messages.
class AppPathDialogTest : public AppPathTest {};

static BOOL CALLBACK FindTreeView(HWND w, LPARAM lp) {
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) != WC_TREEVIEWA) return TRUE;
  *reinterpret_cast<HWND*>(lp) = w;
  return FALSE;
}

static std::string SelectedTreeText(HWND tree) {
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  char text[MAX_PATH] = "";
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  if (item) SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

// The browser fills its tree only after it is on screen: select once the tree is there,
// and again until the selection shows, before pressing OK.
static void SelectInBrowser(HWND dlg, WPARAM isPath, LPARAM what, const std::string& shownName) {
  // The browser fills its tree from the shell, which under load takes seconds; wait for it
  // within the dialog driver's allowance for one step rather than by a fixed count.
  const DWORD start = GetTickCount();
  auto inTime = [start] { return GetTickCount() - start < 20000; };
  HWND tree = nullptr;
  while (inTime() && !(tree && SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0)) {
    Sleep(20);
    EnumChildWindows(dlg, &FindTreeView, reinterpret_cast<LPARAM>(&tree));
  }
  while (tree && inTime()) {
    SendMessageA(dlg, BFFM_SETSELECTIONA, isPath, what);
    if (EqualsNoCase(SelectedTreeText(tree), shownName)) break;
    Sleep(50);
  }
  ClickButton(dlg, IDOK);
}

TEST_F(AppPathDialogTest, BrowserCancelVirtualFolderAndAFolderWithoutPrograms) {
  SetAppTitle("Browse Test");
  std::string noExe = d / "noexe";
  MakeDirPath(noExe);
  std::string app = MakeAppFolder(d / "app");
  LPITEMIDLIST drives = nullptr;
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives);
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<const char*>(drives), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
  std::string drivesName = info.szDisplayName;
  auto select = [](const std::string& path) {
    return [path](HWND dlg) { SelectInBrowser(dlg, TRUE, reinterpret_cast<LPARAM>(path.c_str()), ExtractFileName(path)); };
  };
  auto ok = [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); };
  std::string browseTitle = "Browse for Folder";
  DialogDriver driver({
      {browseTitle, [drives, drivesName](HWND dlg) { SelectInBrowser(dlg, FALSE, reinterpret_cast<LPARAM>(drives), drivesName); }},
      {"Browse Test", ok},
      {browseTitle, select(noExe)},
      {"Browse Test", ok},
      {browseTitle, select(app)},
  });
  EXPECT_EQ(app, BrowseForAppFolder());
  EXPECT_TRUE(driver.Join()) << driver.StepsRun();
  ASSERT_EQ(5u, driver.SeenTexts().size());
  EXPECT_EQ("Invalid folder. Cannot install to Windows virtual folders.", driver.SeenTexts()[1]);
  EXPECT_EQ("Invalid folder. Folder does not contain any executable files.", driver.SeenTexts()[3]);
  CoTaskMemFree(drives);

  DialogDriver cancel(browseTitle, [](HWND dlg) { ClickButton(dlg, IDCANCEL); });
  EXPECT_EQ("", BrowseForAppFolder());
  EXPECT_TRUE(cancel.Join());
}

TEST_F(AppPathDialogTest, YesNoIgnoreBoxAnswersWithItsButtons) {
  SetAppTitle("Ignore Test");
  Params().productname = "Viewer";
  for (int id : {IDIGNORE, IDNO}) {
    DialogDriver driver("Ignore Test", [id](HWND box) { ClickButton(box, id); });
    EXPECT_EQ(id == IDIGNORE ? "$" : "-", GetAppPath(".none", "", "Help Tool", true));
    ASSERT_TRUE(driver.Join());
    EXPECT_EQ(AppNotFoundQuestion("Help Tool"), driver.SeenText());
  }
  // Escape does not close it: nothing was chosen.
  bool stayedOpen = false;
  DialogDriver driver("Ignore Test", [&stayedOpen](HWND box) {
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    Sleep(200);
    stayedOpen = IsWindowVisible(box) != FALSE;
    ClickButton(box, IDIGNORE);
  });
  EXPECT_EQ("$", GetAppPath(".none", "", "Help Tool", true));
  EXPECT_TRUE(driver.Join());
  EXPECT_TRUE(stayedOpen);
}
