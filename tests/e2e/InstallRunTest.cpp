// A whole install and uninstall through Tolvex.exe: the files and their times, the install
// log's copy lines, the list files and the Add/Remove Programs entry, and the removal; the
// forms' stages (optional components, videos, shortcuts, run items, finish) answered from a file.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "ProductCd.h"
#include "UApp.h"
#include "UPaths.h"
#include "UDirIdent.h"
#include "URegistry.h"
#include "UShortcuts.h"
#include "UText.h"
#include "UWinHandle.h"
#include "Uninstall.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

// The entry of folder, or empty when there is none.
std::string EntryOf(const std::string& folder) {
  for (int n = 0; n <= 100; ++n) {
    std::string key = std::string(kUninstallKeyRoot) + "\\" + kUninstallKeyPrefix + std::to_string(n);
    if (EqualsNoCase(ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallLocation"), folder)) return key;
  }
  return {};
}

}  // namespace

TEST(InstallRun, TwoInstallsThenOneUninstallRemovesWhatBothCopied) {
  InstalledApp app(".tvxe2e9");
  ProductCd cd;
  for (const char* f : {"Help\\a.chm", "Help\\b.chm", "Tree\\x.txt", "Tree\\sub\\y.txt", "Tree\\.svn\\z.txt"}) {
    MakeDirPath(ExtractFileDir(cd / f));
    WriteFileText(cd / f, f);
  }
  SetWriteTime(cd / "Help\\a.chm", 1000);
  const std::string head = "[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e9\r\n"
                           "DefaultGroup=Lumen\r\nIdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n";
  cd.WriteScript(head +
                 "[FILES]\r\n"
                 "1=<setupdir>\\Help\\*.chm, <exedir>\\Help, VU\r\n"
                 "2=<setupdir>\\Tree\\, <exedir>\\Tree\\, OU\r\n"
                 "3=<setupdir>\\Help\\a.chm, <exedir>\\Docs\\a.chm, D\r\n");
  EXPECT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"}));
  const std::string dir = app.Folder();
  for (const char* f : {"Help\\a.chm", "Help\\b.chm", "Tree\\x.txt", "Tree\\sub\\y.txt", "Docs\\a.chm"})
    EXPECT_TRUE(FileExists(dir + "\\" + f)) << f;
  EXPECT_FALSE(FolderExists(dir + "\\Tree\\.svn"));
  unsigned long long sourceTime = 0, copyTime = 0, size = 0;
  GetFileStamp(cd / "Help\\a.chm", sourceTime, size);
  GetFileStamp(dir + "\\Help\\a.chm", copyTime, size);
  EXPECT_EQ(sourceTime, copyTime);  // the copy keeps the source's time

  auto log = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt"));
  EXPECT_TRUE(Has(log, "    \"" + cd / "Help\\a.chm" + "\""));
  EXPECT_TRUE(Has(log, "    \"" + dir + "\\Help\\a.chm\""));
  EXPECT_TRUE(Has(log, "Uninstall _AddFile(" + dir + "\\Tree\\sub\\y.txt)"));
  EXPECT_FALSE(Has(log, "Uninstall _AddFile(" + dir + "\\Docs\\a.chm)"));  // no "U": not recorded
  auto list = Lines(ReadFileText(dir + "\\HelpUninstList0.ini"));
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(kUninstallListHeader, list[0]);
  EXPECT_TRUE(Has(list, dir + "\\Help\\b.chm"));

  std::string key = EntryOf(dir);
  ASSERT_FALSE(key.empty());
  EXPECT_EQ("Lumen Help", ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayName"));
  EXPECT_EQ("Lumen Viewer", ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product"));
  std::string uninstaller = GetWindowsDir() + "\\Tolvex.exe";
  EXPECT_EQ("\"" + uninstaller + "\" /Uninstall \"" + dir + "\"", ReadRegValue(HKEY_LOCAL_MACHINE, key, "UninstallString"));
  EXPECT_TRUE(FileExists(uninstaller));

  // A second install stops at a line whose source is missing; what it copied before is
  // still recorded, in a second list file under the same entry.
  WriteFileText(cd / "Help\\c.chm", "c");
  cd.WriteScript(head + "[FILES]\r\n1=<setupdir>\\Help\\c.chm, <exedir>\\Help\\c.chm, OU\r\n"
                        "2=<setupdir>\\Help\\none.chm, <exedir>\\Help\\none.chm, OU\r\n");
  EXPECT_EQ(kExitFailed, cd.Run({"/script", ".", "/skipfinish"}));
  EXPECT_TRUE(FileExists(dir + "\\HelpUninstList1.ini"));
  EXPECT_EQ(key, EntryOf(dir));

  // The uninstall, answered No, removes nothing; answered Yes, everything both recorded.
  EXPECT_EQ(kExitDeclined, cd.Run({"/Uninstall", dir}, "answer: No\n"));
  EXPECT_TRUE(FileExists(dir + "\\Help\\c.chm"));
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  for (const char* f : {"Help\\a.chm", "Help\\b.chm", "Help\\c.chm", "Tree\\x.txt", "Tree\\sub\\y.txt",
                        "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(dir + "\\" + f)) << f;
  EXPECT_TRUE(FileExists(dir + "\\Docs\\a.chm"));  // never recorded, so it stays
  EXPECT_TRUE(EntryOf(dir).empty());
  auto asked = cd.Asked();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("\"Lumen Help\"\r5 items successfully uninstalled.", asked[1].text);
}

TEST(InstallRun, AnInstallKilledPartWayLeavesAListOfWhatItCopied) {
  InstalledApp app(".tvxe2e10");
  ProductCd cd;
  WriteFileText(cd / "a.txt", "a");
  WriteFileText(cd / "b.txt", "b");
  const std::string dir = app.Folder();
  cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e10\r\nDefaultGroup=Lumen\r\n"
                 "IdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n[FILES]\r\n"
                 "1=<setupdir>\\a.txt, <exedir>\\a.txt, OU\r\n2=<setupdir>\\b.txt, <exedir>\\b.txt, OU\r\n");
  // b.txt in use: its copy fails and the run waits for an answer nobody gives.
  WriteFileText(dir + "\\b.txt", "old b");
  ScopedHandle lock(CreateFileA((dir + "\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.IsValid());
  std::string cmd = "\"" + cd.Exe() + "\" /script . /skipfinish";
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, cd.Dir().c_str(), &si, &pi));
  ScopedHandle process(pi.hProcess), thread(pi.hThread);
  const std::string list = dir + "\\HelpUninstList0.ini";
  DWORD start = GetTickCount();
  while (ReadFileText(list).find("a.txt") == std::string::npos && GetTickCount() - start < 30000) Sleep(50);
  TerminateProcess(process.Get(), 9);
  WaitForSingleObject(process.Get(), 10000);
  lock.Close();
  auto recorded = Lines(ReadFileText(list));
  if (!recorded.empty() && recorded.back().empty()) recorded.pop_back();
  // b.txt is announced before its copy: the application's own b.txt is to be set aside.
  ASSERT_EQ(3u, recorded.size()) << ReadFileText(list);
  EXPECT_EQ(kUninstallListHeader, recorded[0]);
  EXPECT_EQ(dir + "\\a.txt", recorded[1]);
  EXPECT_EQ(";\"replaced\" " + dir + "\\b.txt|" + dir + "\\b.txt.~tvx0", recorded[2]);
  EXPECT_EQ("old b", ReadFileText(dir + "\\b.txt"));
  EXPECT_TRUE(EntryOf(dir).empty());  // the entry comes at the end of an install

  // The next install registers the folder and sets the application's b.txt aside; one
  // uninstall removes what both copied and puts b.txt back as it was.
  EXPECT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"}));
  EXPECT_FALSE(EntryOf(dir).empty());
  EXPECT_EQ("b", ReadFileText(dir + "\\b.txt"));
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  EXPECT_EQ("old b", ReadFileText(dir + "\\b.txt"));
  for (const char* f : {"a.txt", "b.txt.~tvx0", "b.txt.~tvx1", "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(dir + "\\" + f)) << f;
  EXPECT_TRUE(EntryOf(dir).empty());
}

namespace {

// The Start menu and desktop are the harness prefix's own, shared by every test: the run's
// program folder gets a top folder of this test's name, removed with the desktop link
// however the test ends, as is the notes' file type.
struct SharedFolders {
  ScratchDir top{StartMenuProgramsFolder() + "\\Tolvex " + UniqueName()};
  std::string group = ExtractFileName(top.Path()) + "\\Lumen";
  std::string desktopLink =
      SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\" + ExtractFileName(top.Path()) + " Lumen.lnk";
  ~SharedFolders() {
    DeleteFileA(desktopLink.c_str());
    SHDeleteKeyA(HKEY_CLASSES_ROOT, ".tvxnotes");
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "TolvexE2E.Notes");
  }
};

}  // namespace

TEST(InstallRun, TheFormsStagesAnsweredFromAFileThenTheUninstallRemovesWhatWasRecorded) {
  InstalledApp app(".tvxe2e11");
  ProductCd cd;
  SharedFolders shared;
  ScopedComInit com;
  for (const char* f : {"Help\\a.chm", "Extras\\one.txt", "Extras\\two.txt", "Extras\\three.txt", "notes.tvxnotes",
                        "Videos\\v1.avi", "Videos\\Sub\\v2.avi"}) {
    MakeDirPath(ExtractFileDir(cd / f));
    WriteFileText(cd / f, f);
  }
  const std::string helper = TestBinDir() + "\\tolvex_helper.exe", runReport = cd / "run.txt",
                    skippedReport = cd / "skipped.txt", notesReport = cd / "notes.txt";
  ASSERT_TRUE(CopyFileA(helper.c_str(), (cd / "run.exe").c_str(), FALSE));
  RegisterAssociation(".tvxnotes", "TolvexE2E.Notes", "\"" + helper + "\" \"" + notesReport + "\" 0 0 \"%1\"");
  cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e11\r\n"
                 "DefaultGroup=Lumen\r\nIdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\nCopyVideos=1\r\n"
                 "ReadmeFile=<setupdir>\\notes.tvxnotes\r\n"
                 "[FILES]\r\n1=<setupdir>\\Help\\a.chm, <exedir>\\Help\\a.chm, VU\r\n"
                 "[LIST1]\r\n1=<setupdir>\\Extras\\one.txt, <exedir>\\Extras\\one.txt, OU, -, -, 1, One\r\n"
                 "2=<setupdir>\\Extras\\two.txt, <exedir>\\Extras\\two.txt, OU, -, -, 0, Two\r\n"
                 "3=<setupdir>\\Extras\\three.txt, <exedir>\\Extras\\three.txt, OU, -, <exedir>\\no.dll, S1, Three\r\n"
                 "[SHORTCUTS]\r\n1=<exedir>\\Help\\a.chm, , Help\\Lumen Help\r\n"
                 "2=<exedir>\\lumen.exe, /tour \"x y\", Lumen Viewer\r\n"
                 "[RUN]\r\n1=<setupdir>\\run.exe, \"" + runReport + "\" 0 0 /first, the first run\r\n"
                 "2=<setupdir>\\run.exe, \"" + skippedReport + "\", the tools, .tvxe2e11\r\n");
  const std::string dir = app.Folder(), videos = dir + "\\help\\videos";
  EXPECT_EQ(kExitDone, cd.Run({"/script", "."}, "box: options\nanswer: OK | two\n\nbox: videos\nanswer: " +
                                                     EscapeAnswerValue(videos) + "\n\nbox: shortcuts\nanswer: " +
                                                     EscapeAnswerValue("OK | " + shared.group + " | desktop") +
                                                     "\n\nbox: finish\nanswer: Read release notes\n\n"
                                                     "box: finish\nanswer: Finished\n"));
  std::vector<std::string> boxes;
  for (const AnswerEntry& e : cd.Asked()) boxes.push_back(e.box + ": " + e.answer);
  EXPECT_EQ((std::vector<std::string>{"options: OK | two", "videos: " + videos,
                                      "shortcuts: OK | " + shared.group + " | desktop",
                                      "finish: Read release notes", "finish: Finished"}),
            boxes);

  const struct {
    std::string file;
    bool copied;
  } files[] = {{"Help\\a.chm", true},      {"Extras\\one.txt", false},       {"Extras\\two.txt", true},
               {"Extras\\three.txt", false}, {"help\\videos\\v1.avi", true}, {"help\\videos\\Sub\\v2.avi", true}};
  for (const auto& f : files) EXPECT_EQ(f.copied, FileExists(dir + "\\" + f.file)) << f.file;

  const std::string programs = shared.top.Path() + "\\Lumen";
  const struct {
    std::string link, target, arguments;
  } links[] = {{programs + "\\Help\\Lumen Help.lnk", dir + "\\Help\\a.chm", ""},
               {programs + "\\Lumen Viewer.lnk", dir + "\\lumen.exe", "/tour \"x y\""},
               {shared.desktopLink, programs, ""}};
  for (const auto& l : links) {
    LinkRead r = ReadLink(l.link);
    EXPECT_TRUE(EqualsNoCase(l.target, r.path)) << l.link << ": " << r.path;
    EXPECT_EQ(l.arguments, r.arguments) << l.link;
  }
  EXPECT_NE(std::string::npos, ReadFileText(runReport).find("/first"));
  EXPECT_FALSE(FileExists(skippedReport));  // the application it looks for is there
  // The shell starts the notes' viewer without waiting for it.
  for (DWORD start = GetTickCount(); !FileExists(notesReport) && GetTickCount() - start < 20000;) Sleep(50);
  EXPECT_NE(std::string::npos, ReadFileText(notesReport).find(cd / "notes.tvxnotes")) << ReadFileText(notesReport);

  auto log = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt"));
  for (const std::string& line : std::vector<std::string>{">Start InstallOptionalItems()", ">Start CopyHelpVideos()",
                                  "Uninstall _AddFile(" + videos + "\\Sub\\v2.avi)",
                                  "Make Shortcut: \"" + programs + "\\Lumen Viewer.lnk\"", "Create Desktop shortcut",
                                  ">Run " + cd / "run.exe", "   ** Yes", "   ** No"})
    EXPECT_TRUE(Has(log, line)) << line;

  // The uninstall removes every file and folder the list names, and only those.
  std::vector<std::string> created, folders;
  for (const std::string& line : Lines(ReadFileText(dir + "\\HelpUninstList0.ini"))) {
    UndoLine u = ParseUndoLine(line);
    if (u.kind == UndoKind::Created) created.push_back(u.path);
    if (u.kind == UndoKind::Folder) folders.push_back(u.path);
  }
  EXPECT_EQ(4u, created.size());  // a.chm, two.txt, two videos
  EXPECT_EQ((std::vector<std::string>{dir + "\\Help", dir + "\\Extras", dir + "\\help\\videos",
                                      dir + "\\help\\videos\\Sub"}),
            folders);
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  for (const std::string& path : created) EXPECT_FALSE(FileExists(path)) << path;
  for (const std::string& path : folders) EXPECT_FALSE(FolderExists(path)) << path;
  EXPECT_TRUE(FileExists(dir + "\\lumen.exe"));
  EXPECT_TRUE(FileExists(shared.desktopLink));  // shortcuts are not recorded
}
