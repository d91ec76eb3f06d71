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


TEST(InstallRun, TwoInstallsThenOneUninstallRemovesWhatBothCopied) {
  InstalledApp app(".tvxe2e9");
  ProductCd cd("TolvexTwice");  // an uninstaller copy of its own, which the uninstall removes
  for (const char* f : {"Help\\a.chm", "Help\\b.chm", "Tree\\x.txt", "Tree\\sub\\y.txt", "Tree\\.svn\\z.txt"})
    Touch(cd / f, f);
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
  EXPECT_TRUE(HasLine(log, "    \"" + cd / "Help\\a.chm" + "\""));
  EXPECT_TRUE(HasLine(log, "    \"" + dir + "\\Help\\a.chm\""));
  EXPECT_TRUE(HasLine(log, "Uninstall _AddFile(" + dir + "\\Tree\\sub\\y.txt)"));
  EXPECT_FALSE(HasLine(log, "Uninstall _AddFile(" + dir + "\\Docs\\a.chm)"));  // no "U": not recorded
  auto list = Lines(ReadFileText(dir + "\\HelpUninstList0.ini"));
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(kUninstallListHeader, list[0]);
  EXPECT_TRUE(HasLine(list, dir + "\\Help\\b.chm"));

  std::string key = UninstallEntryOf(dir);
  ASSERT_FALSE(key.empty());
  EXPECT_EQ("Lumen Help", ReadRegValue(HKEY_LOCAL_MACHINE, key, "DisplayName"));
  EXPECT_EQ("Lumen Viewer", ReadRegValue(HKEY_LOCAL_MACHINE, key, "Product"));
  std::string uninstaller = GetWindowsDir() + "\\TolvexTwice.exe";
  EXPECT_EQ("\"" + uninstaller + "\" /Uninstall \"" + dir + "\"", ReadRegValue(HKEY_LOCAL_MACHINE, key, "UninstallString"));
  EXPECT_TRUE(FileExists(uninstaller));

  // A second install stops at a line whose source is missing; what it copied before is
  // still recorded, in a second list file under the same entry.
  WriteFileText(cd / "Help\\c.chm", "c");
  cd.WriteScript(head + "[FILES]\r\n1=<setupdir>\\Help\\c.chm, <exedir>\\Help\\c.chm, OU\r\n"
                        "2=<setupdir>\\Help\\none.chm, <exedir>\\Help\\none.chm, OU\r\n");
  EXPECT_EQ(kExitFailed, cd.Run({"/script", ".", "/skipfinish"}));
  EXPECT_TRUE(FileExists(dir + "\\HelpUninstList1.ini"));
  EXPECT_EQ(key, UninstallEntryOf(dir));

  // The uninstall, answered No, removes nothing; answered Yes, everything both recorded.
  EXPECT_EQ(kExitDeclined, cd.Run({"/Uninstall", dir}, "answer: No\n"));
  EXPECT_TRUE(FileExists(dir + "\\Help\\c.chm"));
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  for (const char* f : {"Help\\a.chm", "Help\\b.chm", "Help\\c.chm", "Tree\\x.txt", "Tree\\sub\\y.txt",
                        "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(dir + "\\" + f)) << f;
  EXPECT_TRUE(FileExists(dir + "\\Docs\\a.chm"));  // never recorded, so it stays
  EXPECT_TRUE(UninstallEntryOf(dir).empty());
  EXPECT_FALSE(FileExists(uninstaller));  // no entry uses it any more
  auto asked = cd.Asked();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("\"Lumen Help\"\r5 items successfully uninstalled.", asked[1].text);
}

TEST(InstallRun, ACopiedComServerFindsTheDllInstalledBesideIt) {
  // The run looks for DLLs named without a path in the system folder only; a server it
  // registers still finds its own beside it (and not beside the program, nor in the
  // current folder: both are the CD's root here).
  InstalledApp app(".tvxe2edep");
  ProductCd cd;
  for (const char* dll : {"register_dep.dll", "tvxdep.dll"})
    ASSERT_NO_FATAL_FAILURE(CopyFixture(std::string("regdep\\") + dll, cd / ("Server\\" + std::string(dll))));
  cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2edep\r\n"
                 "DefaultGroup=Lumen\r\nIdFile=disk2.id\r\n[FILES]\r\n"
                 "1=<setupdir>\\Server\\tvxdep.dll, <exedir>\\Server\\tvxdep.dll, O\r\n"
                 "2=<setupdir>\\Server\\register_dep.dll, <exedir>\\Server\\register_dep.dll, O, R\r\n");
  EXPECT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"}));
  auto log = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog(Lumen Viewer).txt"));
  EXPECT_TRUE(HasLine(log, "Register file: \"" + app.Folder() + "\\Server\\register_dep.dll\""));
  EXPECT_FALSE(HasLine(log, "*** DLL Registration failed!!"));
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
  // The run is waiting at b.txt's question once b.txt, announced before its copy, is listed.
  while (ReadFileText(list).find("b.txt") == std::string::npos && GetTickCount() - start < 30000) Sleep(50);
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
  EXPECT_TRUE(UninstallEntryOf(dir).empty());  // the entry comes at the end of an install

  // The next install registers the folder and sets the application's b.txt aside; one
  // uninstall removes what both copied and puts b.txt back as it was.
  EXPECT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"}));
  EXPECT_FALSE(UninstallEntryOf(dir).empty());
  EXPECT_EQ("b", ReadFileText(dir + "\\b.txt"));
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  EXPECT_EQ("old b", ReadFileText(dir + "\\b.txt"));
  for (const char* f : {"a.txt", "b.txt.~tvx0", "b.txt.~tvx1", "HelpUninstList0.ini", "HelpUninstList1.ini"})
    EXPECT_FALSE(FileExists(dir + "\\" + f)) << f;
  EXPECT_TRUE(UninstallEntryOf(dir).empty());
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
                        "Videos\\v1.avi", "Videos\\Sub\\v2.avi"})
    Touch(cd / f, f);
  const std::string helper = TestBinDir() + "\\tolvex_helper.exe", runReport = cd / "run.txt",
                    skippedReport = cd / "skipped.txt", notesReport = cd / "notes.txt";
  ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", cd / "run.exe"));
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
    EXPECT_TRUE(HasLine(log, line)) << line;

  // The uninstall removes every file and folder the list names, and only those.
  std::vector<std::string> created, folders;
  for (const std::string& line : Lines(ReadFileText(dir + "\\HelpUninstList0.ini"))) {
    UndoLine u = ParseUndoLine(line);
    if (u.kind == UndoKind::Created) created.push_back(u.path);
    if (u.kind == UndoKind::Folder) folders.push_back(u.path);
  }
  EXPECT_EQ(4u, created.size());  // a.chm, two.txt, two videos
  EXPECT_EQ((std::vector<std::string>{dir + "\\Help", dir + "\\Extras", dir + "\\help\\videos",
                                      dir + "\\help\\videos\\Sub", programs, programs + "\\Help"}),
            folders);
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  for (const std::string& path : created) EXPECT_FALSE(FileExists(path)) << path;
  for (const std::string& path : folders) EXPECT_FALSE(FolderExists(path)) << path;
  EXPECT_TRUE(FileExists(dir + "\\lumen.exe"));
  // The links and the program folders the install made go too; the folder above, there
  // before, stays.
  for (const auto& l : links) EXPECT_FALSE(FileExists(l.link)) << l.link;
  EXPECT_FALSE(FolderExists(programs));
  EXPECT_TRUE(FolderExists(shared.top.Path()));
}

// What the application had is put back as it was, what the install made goes, and a list
// edited since the install is not followed unless the user says so.
TEST(InstallRun, TheUninstallPutsBackWhatTheInstallFoundAndFollowsOnlyItsOwnRecord) {
  struct Case {
    const char* what;
    bool tamper, lockList;
    std::string answers;
    int exit;
    bool undone;          // the install's own changes were undone
    bool victimsRemoved;  // the full paths edited into the list were followed
  } cases[] = {
      {"as recorded", false, false, "answer: Yes\n\nanswer: OK\n", kExitDone, true, false},
      {"edited list, default answer", true, false, "answer: Yes\n", kExitFailed, false, false},
      {"edited list, answered Yes", true, false, "answer: Yes\n\nanswer: Yes\n\nanswer: OK\n", kExitDone, true, true},
      {"unreadable list", false, true, "answer: Yes\n", kExitFailed, false, false},
  };
  for (const Case& c : cases) {
    InstalledApp app(".tvxe2e12");
    ProductCd cd;
    ScratchDir elsewhere;
    const std::string dir = app.Folder();
    // The application's own files: one the install replaces, one it finds up to date.
    WriteFileText(dir + "\\own.dll", "own 1.0");
    SetWriteTime(dir + "\\own.dll", 500);
    SetFileAttributesA((dir + "\\own.dll").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    WriteFileText(dir + "\\kept.chm", "kept");
    SetWriteTime(dir + "\\kept.chm", 2000);
    for (const char* f : {"own.dll", "kept.chm", "n.chm"}) WriteFileText(cd / f, std::string("cd ") + f);
    SetWriteTime(cd / "kept.chm", 1000);
    cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e12\r\nDefaultGroup=Lumen\r\n"
                   "IdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n[FILES]\r\n"
                   "1=<setupdir>\\own.dll, <exedir>\\own.dll, OU\r\n"
                   "2=<setupdir>\\kept.chm, <exedir>\\kept.chm, DU\r\n"
                   "3=<setupdir>\\n.chm, <exedir>\\new\\deep\\n.chm, OU\r\n");
    ASSERT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"})) << c.what;
    ASSERT_EQ("cd own.dll", ReadFileText(dir + "\\own.dll")) << c.what;
    ASSERT_EQ("own 1.0", ReadFileText(dir + "\\own.dll.~tvx0")) << c.what;
    const std::string key = UninstallEntryOf(dir), list = dir + "\\HelpUninstList0.ini";
    ASSERT_FALSE(key.empty());
    EXPECT_NE(std::string::npos, ReadRegValue(HKEY_LOCAL_MACHINE, key, "HelpUninstList0.ini").find(':')) << c.what;

    // Lines nobody recorded: a pattern, a file of another folder, a path on another drive.
    const std::string victim = elsewhere / "system.dll", onZ = "Z:" + elsewhere.Path().substr(2) + "\\z.dll";
    WriteFileText(victim, "v");
    WriteFileText(elsewhere / "other.txt", "o");
    if (c.tamper) {
      std::string text = ReadFileText(list) + elsewhere / "*.txt" + "\r\n" + victim + "\r\n" + onZ + "\r\n";
      WriteFileText(list, text);
    }
    ScopedHandle lock;
    if (c.lockList) lock.Reset(CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(c.exit, cd.Run({"/Uninstall", dir}, c.answers)) << c.what;
    lock.Close();

    EXPECT_EQ(c.undone ? "own 1.0" : "cd own.dll", ReadFileText(dir + "\\own.dll")) << c.what;
    if (c.undone) {  // put back with its time and attributes
      unsigned long long t = 0, size = 0, want = 0;
      GetFileStamp(dir + "\\own.dll", t, size);
      GetFileStamp(dir + "\\kept.chm", want, size);  // written at 2000
      EXPECT_LT(t, want) << c.what;
      EXPECT_TRUE(GetFileAttributesA((dir + "\\own.dll").c_str()) & FILE_ATTRIBUTE_READONLY) << c.what;
      EXPECT_FALSE(FileExists(dir + "\\own.dll.~tvx0") || FolderExists(dir + "\\new")) << c.what;
      EXPECT_TRUE(UninstallEntryOf(dir).empty()) << c.what;
    } else {
      EXPECT_TRUE(FileExists(dir + "\\new\\deep\\n.chm") && FileExists(list)) << c.what;
      EXPECT_FALSE(UninstallEntryOf(dir).empty()) << c.what;
    }
    EXPECT_EQ("kept", ReadFileText(dir + "\\kept.chm")) << c.what;  // there before, never copied
    EXPECT_TRUE(FileExists(elsewhere / "other.txt")) << c.what;     // a pattern is never expanded
    EXPECT_EQ(!c.victimsRemoved, FileExists(victim)) << c.what;
    auto asked = cd.Asked();
    if (c.tamper) {
      ASSERT_LE(2u, asked.size()) << c.what;
      EXPECT_NE(std::string::npos, asked[1].text.find(list)) << asked[1].text;
    }
    if (c.lockList) { EXPECT_NE(std::string::npos, asked.back().text.find("Cannot read the uninstall list file \"" + list)); }
    auto log = ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog_Uninstall(Lumen Viewer).txt");
    EXPECT_NE(std::string::npos, log.find(c.undone ? "    Restored: \"" + dir + "\\own.dll\"" : "** Error: "))
        << c.what << "\n" << log;
    if (!UninstallEntryOf(dir).empty()) RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntryOf(dir).substr(1).c_str());
  }
}

// Killed at any moment of a copy, an install leaves no partial file under a destination's
// name, and its list already says what to undo: a reinstall completes the install and an
// uninstall (after it, or straight after the kill) puts the folder back as it was.
TEST(InstallRun, AnInstallKilledMidCopyIsCompletedOrUndone) {
  struct Case {
    const char* killAt;
    bool reinstall;
    const char* ownAfterKill;  // own.dll's contents right after the kill; "" when it is gone
  } cases[] = {
      {"copied:n.chm", true, "own 1.0"},        // a fresh copy complete under its own name
      {"copied:own.dll", true, "own 1.0"},      // a replacing copy, before the old file moves
      {"aside:own.dll", true, ""},              // the old file set aside, the new one not in
      {"aside:own.dll", false, ""},             // ... and uninstalled without a reinstall
  };
  for (const Case& c : cases) {
    InstalledApp app(".tvxe2e13");
    ProductCd cd;
    const std::string dir = app.Folder();
    WriteFileText(dir + "\\own.dll", "own 1.0");
    for (const char* f : {"own.dll", "n.chm"}) WriteFileText(cd / f, std::string("cd ") + f);
    cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e13\r\nDefaultGroup=Lumen\r\n"
                   "IdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n[FILES]\r\n"
                   "1=<setupdir>\\n.chm, <exedir>\\Help\\n.chm, OU\r\n"
                   "2=<setupdir>\\own.dll, <exedir>\\own.dll, OU\r\n");
    SetEnvironmentVariableA("TOLVEX_TEST_KILL_AT", c.killAt);
    EXPECT_EQ(9, cd.Run({"/script", ".", "/skipfinish"})) << c.killAt;
    SetEnvironmentVariableA("TOLVEX_TEST_KILL_AT", nullptr);
    const std::string killed = std::string(c.killAt).substr(std::string(c.killAt).find(':') + 1);
    const std::string partial = (killed == "n.chm" ? dir + "\\Help\\n.chm" : dir + "\\own.dll");
    EXPECT_TRUE(FileExists(partial + ".~tvxcopy")) << c.killAt;  // the copy, under its own name
    if (killed == "n.chm") { EXPECT_FALSE(FileExists(partial)) << c.killAt; }
    EXPECT_EQ(c.ownAfterKill, ReadFileText(dir + "\\own.dll")) << c.killAt;
    std::string list = ReadFileText(dir + "\\HelpUninstList0.ini");
    EXPECT_NE(std::string::npos, list.find(partial + "\r\n") == std::string::npos
                                     ? list.find(";\"replaced\" " + partial + "|")
                                     : list.find(partial + "\r\n"))
        << c.killAt << "\n" << list;

    if (c.reinstall) {
      ASSERT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"})) << c.killAt;
      EXPECT_EQ("cd own.dll", ReadFileText(dir + "\\own.dll")) << c.killAt;
      EXPECT_EQ("cd n.chm", ReadFileText(dir + "\\Help\\n.chm")) << c.killAt;
      EXPECT_FALSE(FileExists(partial + ".~tvxcopy")) << c.killAt;
    }
    EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n")) << c.killAt;
    EXPECT_EQ("own 1.0", ReadFileText(dir + "\\own.dll")) << c.killAt;
    WIN32_FIND_DATAA fd;
    ScopedFindHandle left(FindFirstFileA((dir + "\\own.dll.~*").c_str(), &fd));
    EXPECT_FALSE(left.IsValid()) << c.killAt << ": " << (left ? fd.cFileName : "");
    EXPECT_FALSE(FolderExists(dir + "\\Help") || FileExists(dir + "\\HelpUninstList0.ini") ||
                 FileExists(dir + "\\HelpUninstList1.ini"))
        << c.killAt;
    EXPECT_TRUE(UninstallEntryOf(dir).empty()) << c.killAt;
  }
}

// A folder that is gone by the time of the uninstall still loses its entry, and the
// uninstall's log, with nowhere beside the folder to go, goes to the temporary folder.
TEST(InstallRun, AnUninstallOfAFolderThatIsGoneLogsInTheTemporaryFolder) {
  InstalledApp app(".tvxe2e14");
  ProductCd cd;
  WriteFileText(cd / "a.chm", "a");
  cd.WriteScript("[INSTALL]\r\nproductname=Lumen Gone\r\nSrchDir=Disk2\r\nExeAssoc=.tvxe2e14\r\nDefaultGroup=Lumen\r\n"
                 "IdFile=disk2.id\r\nUnInstall=1\r\nUnInstall_Name=Lumen Help\r\n[FILES]\r\n"
                 "1=<setupdir>\\a.chm, <exedir>\\a.chm, OU\r\n");
  ASSERT_EQ(kExitDone, cd.Run({"/script", ".", "/skipfinish"}));
  const std::string dir = app.Folder(), parent = ExtractFileDir(dir);
  ASSERT_FALSE(UninstallEntryOf(dir).empty());
  const std::string log = GetTempDir() + "\\installLog_Uninstall(Lumen Gone).txt";
  DeleteFileA(log.c_str());
  ASSERT_TRUE(MoveFileA(parent.c_str(), (parent + " moved").c_str()));  // the whole application, gone
  EXPECT_EQ(kExitDone, cd.Run({"/Uninstall", dir}, "answer: Yes\n\nanswer: OK\n"));
  EXPECT_TRUE(UninstallEntryOf(dir).empty());
  std::string text = ReadFileText(log);
  EXPECT_NE(std::string::npos, text.find("Uninstall - ")) << text;
  EXPECT_NE(std::string::npos, text.find(dir)) << text;
  DeleteFileA(log.c_str());
}
