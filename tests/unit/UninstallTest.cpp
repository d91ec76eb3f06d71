#include <windows.h>

#include "TestSupport.h"
#include "UApp.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "UProgress.h"
#include "URegistry.h"
#include "URights.h"
#include "UText.h"
#include "Uninstall.h"

using namespace tolvex;
using namespace tolvex::test;

static const std::string kHeader =
    ";\"Do Not Delete or Edit this file\" -- This file contains info for uninstalling Tesmora Online help.\r\n";

static std::string Key(int n) {
  return "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TesmoraProductHelp" + std::to_string(n);
}
static void Entry(int n, const std::string& location, const std::string& product, const std::string& name = "") {
  WriteRegString(HKEY_LOCAL_MACHINE, Key(n), "InstallLocation", location);
  WriteRegString(HKEY_LOCAL_MACHINE, Key(n), "Product", product);
  if (!name.empty()) WriteRegString(HKEY_LOCAL_MACHINE, Key(n), "DisplayName", name);
}

struct CopyCall {
  std::string source, destination;
  CopySettings settings;
  int calls = 0;
};
static CopyCall g_copy;
static bool g_copyResult = true;
static bool g_copyMakesFile = true;
static bool StubCopy(const std::string& s, const std::string& d, const CopySettings& c) {
  g_copy = {s, d, c, g_copy.calls + 1};
  if (g_copyMakesFile) WriteFileText(d, "uninstaller");
  return g_copyResult;
}


class UninstallTest : public TolvexTest {
 protected:
  void SetUp() override {
    TolvexTest::SetUp();
    g_copy = CopyCall();
    g_copyResult = true;
    g_copyMakesFile = true;
    SetUninstallerCopyForTesting(&StubCopy);
    Folders().windowsDir = windows.Path();  // where the stand-in copy puts the uninstaller
  }
  void TearDown() override {
    SetUninstallerCopyForTesting(nullptr);
    TolvexTest::TearDown();
  }
  // One install run into app: files made and recorded as the copy engine would.
  bool Install(const std::vector<std::string>& names, const std::string& displayName = "Lumen Help") {
    ResetUninstall();
    Params().UnInstall = true;
    Params().exedir = app.Path();
    Params().productname = "Lumen Viewer";
    for (const std::string& n : names) {
      if (!FileExists(app / n)) WriteFileText(app / n, std::string(100, 'x'));
      AddFile(app / n);
    }
    return CompleteUninstSetup(displayName, app.Path() + "\\");
  }
  ScratchDir app, windows;
};

TEST_F(UninstallTest, KeySlotIsTheFolderOwnOrTheFirstFree) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> slots;  // location, product per slot
    std::string folder, product;
    int want;
    std::string log;
  } cases[] = {
      {{}, "C:\\App", "", 0, "GetUninstIDKey(C:\\App, ) -   "},
      {{{"C:\\Other", "P"}}, "C:\\App", "P", 1, "GetUninstIDKey(C:\\App, P) -   "},
      {{{"C:\\Other", "P"}, {"c:\\app", "Q"}}, "C:\\App\\\\", "", 1,  // case and backslashes aside
       "GetUninstIDKey(C:\\App, ) - c:\\app Q "},
      {{{"C:\\App", "Q"}}, "C:\\App", "P", 1, "GetUninstIDKey(C:\\App, P) -   "},  // another product's
      {{{"C:\\Other", "P"}, {"C:\\App", "p"}}, "C:\\App", "P", 1, "GetUninstIDKey(C:\\App, P) - C:\\App p "},
      {{{"", "P"}, {"C:\\App", "P"}}, "C:\\App", "P", 1, "GetUninstIDKey(C:\\App, P) - C:\\App P "},  // own first
  };
  for (const Case& c : cases) {
    ScratchRegistry reg;
    for (size_t i = 0; i < c.slots.size(); ++i) Entry(static_cast<int>(i), c.slots[i].first, c.slots[i].second);
    InstallLog().lines.clear();
    EXPECT_EQ(Key(c.want), GetUninstIDKey("TesmoraProductHelp", c.folder, c.product)) << c.log;
    EXPECT_EQ(std::vector<std::string>{c.log}, InstallLog().lines);
  }
  ScratchRegistry reg;
  for (int n = 0; n <= 100; ++n) Entry(n, "C:\\Other" + std::to_string(n), "P");
  InstallLog().lines.clear();
  EXPECT_EQ("", GetUninstIDKey("TesmoraProductHelp", "C:\\App", ""));  // never another folder's
  EXPECT_EQ(std::vector<std::string>{"** Error: GetUninstIDKey(C:\\App, ) - all 101 entries belong to other folders"},
            InstallLog().lines);
  // A real folder by its 8.3 name, with a trailing backslash or in capitals: its own entry,
  // not the free slot before it.
  ScratchRegistry reg2;
  ScratchDir parent;
  const std::string longName = parent / "Lumen Viewer Help Folder";
  ASSERT_TRUE(CreateDirectoryA(longName.c_str(), nullptr));
  char buf[MAX_PATH];
  DWORD n = GetShortPathNameA(longName.c_str(), buf, sizeof buf);
  ASSERT_TRUE(n > 0 && n < sizeof buf);
  const std::string shortName(buf, n);
  ASSERT_FALSE(EqualsNoCase(shortName, longName));
  Entry(0, "", "");
  Entry(1, longName, "Lumen Viewer");
  Entry(2, shortName + "\\", "Other");
  for (const std::string& asked : {shortName, shortName + "\\", UpperAscii(longName)})
    EXPECT_EQ(Key(1), GetUninstIDKey("TesmoraProductHelp", asked, "Lumen Viewer")) << asked;
  EXPECT_EQ(Key(2), GetUninstIDKey("TesmoraProductHelp", longName, "Other"));
}

TEST_F(UninstallTest, EntryHoldsTheCommandsTheMakerAndTheSize) {
  ScratchRegistry reg;
  WriteFileText(app / "big.chm", std::string(3000, 'b'));
  ASSERT_TRUE(Install({"a.chm", "big.chm"}));
  std::string uninstaller = GetWindowsDir() + "\\" + ExtractFileName(ModulePath());
  EXPECT_EQ(ModulePath(), g_copy.source);
  EXPECT_EQ(uninstaller, g_copy.destination);
  EXPECT_TRUE(g_copy.settings.mode == CopyMode::VersionOrDateNewer && g_copy.settings.reg == "-" &&
              !g_copy.settings.addToUninstall && !g_copy.settings.updateOnly);
  std::string command = "\"" + uninstaller + "\" /Uninstall \"" + app.Path() + "\"";
  const std::pair<const char*, std::string> want[] = {
      {"DisplayName", "Lumen Help"},      {"UninstallString", command},   {"DisplayIcon", uninstaller},
      {"InstallLocation", app.Path()},    {"Publisher", "Tesmora"},       {"Product", "Lumen Viewer"},
      {"URLInfoAbout", kPublisherWebAddress}, {"URLUpdateInfo", kPublisherWebAddress},
      {"HelpLink", kPublisherWebAddress}, {"QuietUninstallString", command + " /quiet"}};
  for (const auto& w : want) EXPECT_EQ(w.second, ReadRegValue(HKEY_LOCAL_MACHINE, Key(0), w.first)) << w.first;
  const std::pair<const char*, DWORD> numbers[] = {{"NoModify", 1}, {"NoRepair", 1}, {"EstimatedSize", 4}};
  for (const auto& n : numbers) {
    DWORD v = 0;
    EXPECT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, Key(0), n.first, v) && v == n.second) << n.first << " " << v;
  }
}

TEST_F(UninstallTest, EstimatedSizeCountsEachNamedFileOnceInWholeKb) {
  struct Case {
    std::vector<std::pair<std::string, size_t>> files;  // made with this size; 0: not made
    std::vector<std::string> lists;                      // list files, lines joined by "|"
    unsigned long kb;
  } cases[] = {
      {{}, {}, 0},
      {{{"a", 1}}, {"a"}, 1},
      {{{"a", 1024}}, {"a"}, 1},
      {{{"a", 1025}, {"gone", 0}}, {"a|gone"}, 2},
      {{{"a", 1500}, {"b", 3000}}, {"a|b", "b|A"}, 5},  // a file two lists name counts once
      {{{"x1.chm", 600}, {"x2.chm", 600}}, {"x?.chm"}, 0},  // a pattern is no record of a file
      // folders listed once for all their files: one missing, one that is a folder
      {{{"sub\\c", 2048}, {"sub\\d", 100}}, {"sub\\c|none\\z|sub|SUB\\D"}, 3},
  };
  for (const Case& c : cases) {
    ScratchDir d;
    CreateDirectoryA((d / "sub").c_str(), nullptr);
    for (const auto& f : c.files)
      if (f.second) WriteFileText(d / f.first, std::string(f.second, 'x'));
    for (size_t i = 0; i < c.lists.size(); ++i) {
      std::string text = kHeader;
      for (const std::string& line : SplitText(c.lists[i], '|')) text += d / line + "\r\n";
      WriteFileText(UninstallListPath(d.Path(), static_cast<int>(i)), text);
    }
    EXPECT_EQ(c.kb, EstimatedSizeKb(d.Path())) << c.lists.size();
  }
}

TEST_F(UninstallTest, RecordGrowsWithEachFileAndIsRewrittenUnderItsOwnNumber) {
  ScratchRegistry reg;
  WriteFileText(app / "HelpUninstList0.ini", kHeader + app / "earlier.chm\r\n");
  Params().UnInstall = true;
  Params().exedir = app.Path() + "\\";
  std::string text = kHeader;
  for (const char* name : {"one.chm", "two.chm", "one.chm"}) {
    AddFile(app / name);
    text += app / name + "\r\n";
    EXPECT_EQ(text, ReadFileText(app / "HelpUninstList1.ini")) << name;
  }
  g_copyResult = false;  // the failed copy still leaves the list and the entry
  UnattendedSeam seam;
  EXPECT_FALSE(CompleteUninstSetup("Lumen Help", app.Path()));
  EXPECT_EQ(text, ReadFileText(app / "HelpUninstList1.ini"));
  EXPECT_FALSE(FileExists(app / "HelpUninstList2.ini"));
  EXPECT_EQ(app.Path(), ReadRegValue(HKEY_LOCAL_MACHINE, Key(0), "InstallLocation"));
  ASSERT_EQ(1u, seam.Asked().size());
  EXPECT_EQ("Unknown error while writing uninstall file list to disk.\r\n" + app / "HelpUninstList1.ini",
            seam.Asked()[0].text);

  // A failed copy gone on past leaves no uninstaller: no entry may name it.
  ScratchRegistry empty;
  ResetUninstall();
  g_copyResult = true;
  g_copyMakesFile = false;
  DeleteFileA((GetWindowsDir() + "\\" + ExtractFileName(ModulePath())).c_str());
  AddFile(app / "one.chm");
  UnattendedSeam seam2;
  EXPECT_FALSE(CompleteUninstSetup("Lumen Help", app.Path()));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
  EXPECT_TRUE(FileExists(app / "HelpUninstList2.ini"));  // the record stays for a later install
  ASSERT_EQ(1u, seam2.Asked().size());
  EXPECT_NE(std::string::npos, seam2.Asked()[0].text.find("so no Add/Remove Programs entry was written"));
}

TEST_F(UninstallTest, NothingWrittenWithoutUninstallFilesOrFolder) {
  ScratchRegistry reg;
  UnattendedSeam seam;
  struct Case {
    bool uninstall, record;
    std::string exedir;
    bool result;
  } cases[] = {{false, true, app.Path(), true}, {true, true, app / "missing", false}, {true, false, app.Path(), true}};
  for (const Case& c : cases) {
    ResetUninstall();
    Params().UnInstall = c.uninstall;
    Params().exedir = c.exedir;
    if (c.record) AddFile(app / "x.chm");
    EXPECT_FALSE(FileExists(app / "HelpUninstList0.ini")) << c.exedir;
    if (c.uninstall) {
      EXPECT_EQ(c.result, CompleteUninstSetup("Lumen Help", c.exedir)) << c.exedir;
    }
  }
  EXPECT_FALSE(FileExists(app / "HelpUninstList0.ini"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
  EXPECT_EQ(0, g_copy.calls);
  EXPECT_TRUE(seam.Asked().empty());
}

TEST_F(UninstallTest, TwoInstallsOneUninstall) {
  ScratchRegistry reg;
  ASSERT_TRUE(Install({"a.chm", "shared.chm", "a.chm"}, "First"));
  ASSERT_TRUE(Install({"b.chm", "shared.chm"}, "Second"));
  WriteFileText(app / "keep.exe", "");
  EXPECT_TRUE(FileExists(app / "HelpUninstList0.ini") && FileExists(app / "HelpUninstList1.ini"));
  EXPECT_EQ("Second", ReadRegValue(HKEY_LOCAL_MACHINE, Key(0), "DisplayName"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(1)));
  UnattendedSeam seam("answer: Yes\n");
  EXPECT_TRUE(RunUninstall(app.Path() + "\\"));
  auto asked = seam.Asked();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("OK to uninstall: \"Second\"\rfrom folder: \"" + app.Path() + "\"?", asked[0].text);
  EXPECT_EQ("\"Second\"\r3 items successfully uninstalled.", asked[1].text);  // a path twice counts once
  EXPECT_EQ("Lumen Viewer", App().title);
  for (const char* gone : {"a.chm", "b.chm", "shared.chm", "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(app / gone)) << gone;
  EXPECT_TRUE(FileExists(app / "keep.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
}

TEST_F(UninstallTest, WhatStopsAnUninstallBeforeItStarts) {
  struct Case {
    std::string answers;
    bool refuseAdmin, readOnly;
    std::string box;
  } cases[] = {
      {"answer: No\n", false, false, ""},
      {"", true, false, "Cannot uninstall because you are not logged in as an Administrator"},
      {"", false, true,
       "Cannot uninstall because this folder is readonly. If Windows NT you must be logged on as an "
       "administrator.\r\n"},
  };
  for (const Case& c : cases) {
    ScratchRegistry reg;
    ASSERT_TRUE(Install({"a.chm"}));
    if (c.refuseAdmin) SetOpenSCManagerForTesting(&RefusingServiceManager);
    if (c.readOnly) CreateDirectoryA((app / "$_Temp_$.$$$").c_str(), nullptr);
    UnattendedSeam seam(c.answers);
    EXPECT_FALSE(RunUninstall(app.Path()));
    auto asked = seam.Asked();
    ASSERT_EQ(c.box.empty() ? 1u : 2u, asked.size()) << c.box;
    if (!c.box.empty()) {
      EXPECT_EQ(c.box + (c.readOnly ? app.Path() : ""), asked[1].text);
    }
    EXPECT_TRUE(FileExists(app / "a.chm") && FileExists(app / "HelpUninstList0.ini")) << c.box;
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
    SetOpenSCManagerForTesting(nullptr);
    RemoveDirectoryA((app / "$_Temp_$.$$$").c_str());
    DeleteFileA((app / "a.chm").c_str());
    DeleteFileA((app / "HelpUninstList0.ini").c_str());
  }
}

TEST_F(UninstallTest, WithoutAnEntryFilesGoQuietly) {
  ScratchRegistry reg;
  WriteFileText(app / "a.chm", "");
  WriteFileText(app / "HelpUninstList3.ini", kHeader + app / "a.chm\r\n" + app / "never.chm\r\n");
  UnattendedSeam seam;
  EXPECT_TRUE(RunUninstall(app.Path()));
  EXPECT_TRUE(seam.Asked().empty());
  EXPECT_FALSE(FileExists(app / "a.chm") || FileExists(app / "HelpUninstList3.ini"));
}

TEST_F(UninstallTest, AMissingFolderStillLosesItsEntries) {
  ScratchRegistry reg;
  Entry(0, "C:\\Elsewhere", "Other", "Other Help");
  Entry(1, app / "gone", "Lumen Viewer", "Lumen Help");
  UnattendedSeam seam("answer: Yes\n");
  EXPECT_TRUE(RunUninstall(app / "gone"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(1)));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
  EXPECT_EQ("\"Lumen Help\"\r0 items successfully uninstalled.", seam.Asked().at(1).text);
}

TEST_F(UninstallTest, AFileInUseAsksCancelRetryOrIgnoreAndStaysRecorded) {
  const std::string box = "Could not uninstall file. File may be in use:\r\n";
  struct Case {
    std::string answers;
    int boxes;          // how often the file in use was asked about
    bool later;         // the file recorded before it was removed
    int listLines;      // lines the list file keeps for the next uninstall (0: list gone)
  } cases[] = {
      {"answer: Yes\n\nanswer: Ignore\n", 1, true, 1},
      {"answer: Yes\n\nanswer: Retry\n\nanswer: Ignore\n", 2, true, 1},  // Retry tries it again
      {"answer: Yes\n\nanswer: Cancel\n", 1, false, 2},
      {"answer: Yes\n", 1, false, 2},  // unattended: Cancel, never an endless Retry
  };
  for (const Case& c : cases) {
    ScratchRegistry reg;
    ASSERT_TRUE(Install({"later.chm", "busy.chm"}));  // undone last recorded first
    HANDLE lock = CreateFileA((app / "busy.chm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    UnattendedSeam seam(c.answers);
    EXPECT_FALSE(RunUninstall(app.Path())) << c.answers;  // something stays: not done
    CloseHandle(lock);
    int boxes = 0;
    for (const AnswerEntry& e : seam.Asked()) boxes += e.text == box + app / "busy.chm" && e.kind == "CancelRetryIgnore";
    EXPECT_EQ(c.boxes, boxes) << c.answers;
    EXPECT_TRUE(FileExists(app / "busy.chm"));
    EXPECT_EQ(c.later, !FileExists(app / "later.chm")) << c.answers;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadUninstallList(app / "HelpUninstList0.ini", lines)) << c.answers;
    EXPECT_EQ(static_cast<size_t>(c.listLines) + 1, lines.size()) << c.answers;
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0))) << c.answers;
    if (c.later) {
      EXPECT_NE(std::string::npos, seam.Asked().back().text.find("1 items could not be removed and stay:\r" +
                                                                  app / "busy.chm" + ": "))
          << seam.Asked().back().text;
    }
    EXPECT_FALSE(Progress().visible);
    // Once the file is free, a second uninstall finishes the job.
    UnattendedSeam again("answer: Yes\n");
    EXPECT_TRUE(RunUninstall(app.Path())) << c.answers;
    EXPECT_FALSE(FileExists(app / "busy.chm") || FileExists(app / "later.chm") ||
                 FileExists(app / "HelpUninstList0.ini"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, Key(0)));
  }
}

TEST_F(UninstallTest, RetryRemovesTheFileOnceItIsReleased) {
  ScratchRegistry reg;
  ASSERT_TRUE(Install({"busy.chm"}));
  HANDLE lock = CreateFileA((app / "busy.chm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string finalText;
  DialogDriver driver({{"Lumen Viewer", [](HWND box) { ClickButton(box, IDYES); }},
                       {"Lumen Viewer",
                        [&](HWND box) {
                          CloseHandle(lock);
                          ClickButton(box, IDRETRY);
                        }},
                       {"Lumen Viewer", [&](HWND box) {
                          finalText = MessageBoxText(box);
                          ClickButton(box, IDOK);
                        }}});
  EXPECT_TRUE(RunUninstall(app.Path()));
  EXPECT_TRUE(driver.Join());
  EXPECT_FALSE(FileExists(app / "busy.chm"));
  EXPECT_EQ("\"Lumen Help\"\r1 items successfully uninstalled.", finalText);
}

TEST_F(UninstallTest, EachListedFileCountsOnceWhateverItsState) {
  struct Case {
    const char* name;
    bool readOnly, gone, inMissingFolder;
    int counted;
  } cases[] = {
      {"plain.chm", false, false, false, 1},
      {"locked.chm", true, false, false, 1},  // read-only: cleared and removed
      {"gone.chm", false, true, false, 0},    // deleted before the uninstall: passed over quietly
      {"sub\\gone.chm", false, true, true, 0},  // its folder is gone as well
  };
  for (const Case& c : cases) {
    ScratchRegistry reg;
    if (c.inMissingFolder) CreateDirectoryA((app / "sub").c_str(), nullptr);
    ASSERT_TRUE(Install({c.name}));
    if (c.readOnly) SetFileAttributesA((app / c.name).c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.gone) DeleteFileA((app / c.name).c_str());
    if (c.inMissingFolder) RemoveDirectoryA((app / "sub").c_str());
    UnattendedSeam seam("answer: Yes\n");
    EXPECT_TRUE(RunUninstall(app.Path())) << c.name;
    ASSERT_EQ(2u, seam.Asked().size()) << c.name;  // no Cancel/Retry/Ignore box
    EXPECT_EQ("\"Lumen Help\"\r" + std::to_string(c.counted) + " items successfully uninstalled.",
              seam.Asked()[1].text)
        << c.name;
    EXPECT_FALSE(FileExists(app / c.name)) << c.name;
  }
}

static std::string Calls(const char* name) {
  char buf[16] = "";
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

// A COM server the install made is unregistered before it goes; one it replaced is put
// back and registered again. Only a list the entry vouches for runs a DLL's code.
TEST_F(UninstallTest, ComServersAreUnregisteredOrRegisteredAgainOnlyFromAVouchedList) {
  const std::string dll = TestBinDir() + "\\register_ok.dll";
  for (bool vouched : {true, false}) {
    ScratchRegistry reg;
    ResetUninstall();
    Params().UnInstall = true;
    Params().exedir = app.Path();
    Params().productname = "Lumen Viewer";
    ASSERT_NO_FATAL_FAILURE(CopyFixture("register_ok.dll", app / "own.dll"));
    CopySettings s;
    s.mode = CopyMode::Always;
    s.reg = "r";
    s.addToUninstall = true;
    ASSERT_TRUE(CopyOneFile(dll, app / "new.dll", s));
    ASSERT_TRUE(CopyOneFile(dll, app / "own.dll", s));
    ASSERT_TRUE(CompleteUninstSetup("Lumen Help", app.Path()));
    if (!vouched) DeleteRegValue(HKEY_LOCAL_MACHINE, Key(0), "HelpUninstList0.ini");  // as an earlier version's
    SetEnvironmentVariableA("TOLVEX_REGISTER_CALLS", "0");
    SetEnvironmentVariableA("TOLVEX_UNREGISTER_CALLS", "0");
    UnattendedSeam seam("answer: Yes\n");
    EXPECT_TRUE(RunUninstall(app.Path()));
    EXPECT_EQ(vouched ? "1" : "0", Calls("TOLVEX_UNREGISTER_CALLS")) << vouched;  // new.dll
    EXPECT_EQ(vouched ? "1" : "0", Calls("TOLVEX_REGISTER_CALLS")) << vouched;    // own.dll, put back
    EXPECT_FALSE(FileExists(app / "new.dll") || FileExists(app / "own.dll.~tvx0"));
    EXPECT_TRUE(FileExists(app / "own.dll"));
    DeleteFileA((app / "own.dll").c_str());
  }
}

// An install whose record could not be kept must not start: every list number or every
// entry taken by other folders stops it before it copies anything.
TEST_F(UninstallTest, AnInstallWhoseRecordCannotBeKeptStopsFirst) {
  struct Case {
    int lists, otherEntries;
    bool ok;
    std::string box;  // the start of the box shown
  } cases[] = {
      {199, 100, true, ""},
      {200, 0, false, "This folder holds 200 uninstall lists already:"},
      {0, 101, false, "All 101 Add/Remove Programs entries of this kind belong to other folders."},
  };
  for (const Case& c : cases) {
    ScratchRegistry reg;
    ScratchDir folder;
    ResetUninstall();
    Params().UnInstall = true;
    Params().exedir = folder.Path();
    Params().productname = "Lumen Viewer";
    for (int i = 0; i < c.lists; ++i) WriteFileText(UninstallListPath(folder.Path(), i), kHeader);
    for (int n = 0; n < c.otherEntries; ++n) Entry(n, "C:\\Other" + std::to_string(n), "P");
    UnattendedSeam seam;
    EXPECT_EQ(c.ok, PrepareUninstallRecord(folder.Path())) << c.lists << " " << c.otherEntries;
    ASSERT_EQ(c.ok ? 0u : 1u, seam.Asked().size());
    if (!c.ok) { EXPECT_EQ(0u, seam.Asked()[0].text.find(c.box)) << seam.Asked()[0].text; }
  }
}

// Two installs replace the application's own file one after the other; one uninstall puts
// the first install's copy back, then the application's own.
TEST_F(UninstallTest, TwoInstallsOverOneOwnFileAreUndoneLastFirst) {
  ScratchRegistry reg;
  ScratchDir cd;
  WriteFileText(app / "own.txt", "own");
  for (const char* version : {"first", "second"}) {
    ResetUninstall();
    ResetCopyEngine();
    Params().UnInstall = true;
    Params().exedir = app.Path();
    Params().productname = "Lumen Viewer";
    WriteFileText(cd / "own.txt", version);
    CopySettings s;
    s.mode = CopyMode::Always;
    s.addToUninstall = true;
    ASSERT_TRUE(CopyOneFile(cd / "own.txt", app / "own.txt", s));
    ASSERT_TRUE(CompleteUninstSetup("Lumen Help", app.Path()));
  }
  EXPECT_EQ("own", ReadFileText(app / "own.txt.~tvx0"));
  EXPECT_EQ("first", ReadFileText(app / "own.txt.~tvx1"));
  UnattendedSeam seam("answer: Yes\n");
  EXPECT_TRUE(RunUninstall(app.Path()));
  EXPECT_EQ("own", ReadFileText(app / "own.txt"));
  for (const char* gone : {"own.txt.~tvx0", "own.txt.~tvx1", "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(app / gone)) << gone;
}
