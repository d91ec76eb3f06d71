#include <windows.h>

#include <algorithm>

#include "TestSupport.h"
#include "UApp.h"
#include "UCopyFiles.h"
#include "UFileVersion.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UScript.h"
#include "UText.h"
#include "UWinHandle.h"
#include "Uninstall.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

const char* const kCopyFailed = "    *** Error - Copy Failed! File in use? Disk Full? Disk Read-Only?";

CopySettings Mode(CopyMode mode, const std::string& reg = "", bool addToUninstall = false, bool updateOnly = false) {
  CopySettings s;
  s.mode = mode;
  s.reg = reg;
  s.addToUninstall = addToUninstall;
  s.updateOnly = updateOnly;
  return s;
}

// "@name" is a fixture file; anything else the file's text.
void Put(const std::string& path, const std::string& content, long long time) {
  if (content[0] == '@') {
    ASSERT_NO_FATAL_FAILURE(CopyFixture(content.substr(1), path));
  } else {
    WriteFileText(path, content);
  }
  SetWriteTime(path, time);
}

std::string CopyQuestion(const std::string& destination) {
  return "Error copying file! Check if drive is full or readonly. Check if destination file is in use.\r\"" +
         destination + "\"\r\rContinue Install?";
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle f(FindFirstFileA((folder + "\\*").c_str(), &fd));
  if (f) do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileA(f.Get(), &fd));
  std::sort(names.begin(), names.end());
  return names;
}

bool IsReadOnly(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

// Holds a file open without sharing, as a running program holds its DLL.
ScopedHandle Lock(const std::string& path) {
  return ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

uint32_t BitwiseCrc(const std::string& bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class CopyFiles : public TolvexTest {};

}  // namespace

TEST_F(CopyFiles, DecidesEachModeAndLogsWhy) {
  // Times in seconds from SetWriteTime's base, 23:06:40 UTC: with any time zone's
  // quarter-hour offset a minute later is still the same day.
  struct Case {
    const char* what;
    CopyMode mode;
    std::string src;
    long long srcTime;
    std::string dst;  // empty: no destination
    long long dstTime;
    bool copied;
    std::string decision;  // the "    > " line; {src} {dst} {srcdt} {dstdt} {srcday} {dstday} filled in
  } cases[] = {
      {"always over a newer file", CopyMode::Always, "new", 0, "old", 100, true, ""},
      {"no destination", CopyMode::VersionOrDateNewer, "new", 0, "", 0, true, ""},
      {"dates equal", CopyMode::DateNewer, "new", 0, "old", 0, false,
       "    > Date newer - No copy done: \"{src}\" to \"{dst}\""},
      {"source older", CopyMode::DateNewer, "new", 0, "old", 100, false,
       "    > Date newer - No copy done: \"{src}\" to \"{dst}\""},
      {"source younger", CopyMode::DateNewer, "new", 100, "old", 0, true, "    > File dates: \"{srcdt}\" -> \"{dstdt}\""},
      {"2.0 over 10.0", CopyMode::VersionOrDateNewer, "@ver_2_0_0_0.dll", 100, "@ver_10_0_0_0.dll", 0, false,
       "    > Version or Date newer - No copy done: \"{src}\" to \"{dst}\""},
      {"2.0 over 1.0", CopyMode::VersionOrDateNewer, "@ver_2_0_0_0.dll", 0, "@ver_1_0_0_0.dll", 100, true,
       "    > File ver/date: \"2.0.0.0\" -> \"1.0.0.0\""},
      {"equal versions, younger source", CopyMode::VersionOrDateNewer, "@ver_2_0_0_0.dll", 100, "@ver_2_0_0_0.dll", 0,
       false, "    > Version or Date newer - No copy done: \"{src}\" to \"{dst}\""},
      // The same size and write time: the copy an earlier install made, not opened again.
      {"2.0 over 1.0 of the same size and time", CopyMode::VersionOrDateNewer, "@ver_2_0_0_0.dll", 0,
       "@ver_1_0_0_0.dll", 0, false, "    > Version or Date newer - No copy done: \"{src}\" to \"{dst}\""},
      {"unversioned older destination", CopyMode::VersionOrDateNewer, "@ver_1_0_0_0.dll", 0, "@noversion.dll", -100,
       true, "    > File ver/date: \"1.0.0.0\" -> \"{dstdt}\""},
      {"same day and size, other bytes", CopyMode::AnyDifference, "abcd", 0, "abce", 0, true,
       "    > File Ver + Date + Size + CRC: \" + {srcday} + 4 + 3,984,772,369\" -> \" + {dstday} + 4 + 2,592,472,455\""},
      {"same bytes, a minute younger", CopyMode::AnyDifference, "abcd", 60, "abcd", 0, false,
       "    > Version/Date/Size/CRC all same - No copy done: \"{src}\" to \"{dst}\""},
      {"same bytes, two days younger", CopyMode::AnyDifference, "abcd", 2 * 86400, "abcd", 0, true,
       "    > File Ver + Date + Size + CRC: \" + {srcday} + 4 + 3,984,772,369\" -> \" + {dstday} + 4 + 3,984,772,369\""},
      {"same DLL, same day", CopyMode::AnyDifference, "@ver_2_0_0_0.dll", 0, "@ver_2_0_0_0.dll", 0, false,
       "    > Version/Date/Size/CRC all same - No copy done: \"{src}\" to \"{dst}\""},
  };
  char sep[8] = "";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep);
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    std::string src = d / "src.bin", dst = d / "dst.bin";
    Put(src, c.src, c.srcTime);
    if (!c.dst.empty()) {
      Put(dst, c.dst, c.dstTime);
      SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_HIDDEN);  // gone once the source's file takes its place
    }
    LocalWriteTime st, dt;
    GetLocalWriteTime(src, st);
    GetLocalWriteTime(dst, dt);

    EXPECT_TRUE(CopyOneFile(src, dst, Mode(c.mode))) << c.what;

    EXPECT_EQ(c.copied, !(GetFileAttributesA(dst.c_str()) & FILE_ATTRIBUTE_HIDDEN)) << c.what;
    if (c.copied) {
      EXPECT_EQ(ReadFileText(src), ReadFileText(dst)) << c.what;
    }
    std::vector<std::string> want{"Copy file:"};
    std::string decision = c.decision;
    for (auto [key, value] : {std::pair<std::string, std::string>{"{src}", src}, {"{dst}", dst},
                              {"{srcdt}", st.dateTime}, {"{dstdt}", dt.dateTime}, {"{srcday}", st.date},
                              {"{dstday}", dt.date}, {",", sep}})
      decision = ReplaceAll(decision, key, value);
    if (!decision.empty()) want.push_back(decision);
    if (c.copied) want.insert(want.end(), {"    \"" + src + "\"", "    \"" + dst + "\""});
    EXPECT_EQ(want, InstallLog().lines) << c.what;
    EXPECT_EQ((std::vector<std::string>{"dst.bin", "src.bin"}), FilesIn(d.Path())) << c.what;
  }
}

// Whether this file system keeps a creation time apart from the last-write time (Wine on a
// Linux file system reports the one as the other).
static bool KeepsCreationTimeApart(const std::string& path) {
  WriteFileText(path, "x");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME created = {0x12345678u, 0x01c00000u}, written = {0x22345678u, 0x01c50000u};
  SetFileTime(h, &created, nullptr, &written);
  CloseHandle(h);
  WIN32_FIND_DATAA fd;
  FindClose(FindFirstFileA(path.c_str(), &fd));
  return CompareFileTime(&fd.ftCreationTime, &created) == 0;
}

TEST_F(CopyFiles, KeepsContentsTimesAndTakesTheSourcesCreationTime) {
  for (bool existing : {true, false}) {  // replaced through a temporary file, or copied straight
    ScratchDir d;
    Put(d / "src.txt", "payload", 500);
    if (existing) Put(d / "dst.txt", "older", 0);
    WIN32_FIND_DATAA before;
    FindClose(FindFirstFileA((d / "src.txt").c_str(), &before));
    ASSERT_TRUE(CopyOneFile(d / "src.txt", d / "dst.txt", Mode(CopyMode::Always)));
    WIN32_FIND_DATAA after;
    FindClose(FindFirstFileA((d / "dst.txt").c_str(), &after));
    EXPECT_EQ("payload", ReadFileText(d / "dst.txt")) << existing;
    // Nothing else: no temporary file, and not the file the volume was tried on.
    EXPECT_EQ((std::vector<std::string>{"dst.txt", "src.txt"}), FilesIn(d.Path())) << existing;
    EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime)) << existing;
    if (KeepsCreationTimeApart(d / "probe.txt")) {
      EXPECT_EQ(0, CompareFileTime(&before.ftCreationTime, &after.ftCreationTime)) << existing;
    }
  }
  // A volume that drops the creation time is found out by the first copy and then left
  // alone, not opened once more for every file.
  ScratchDir d;
  std::string volume = LowerAscii(d.Path().substr(0, 2));
  bool keeps = KeepsCreationTimeApart(d / "probe.txt");
  EXPECT_EQ(1u, CopyEngine().volumesChecked.count(volume));
  EXPECT_EQ(keeps ? 0u : 1u, CopyEngine().volumesWithoutCreationTime.count(volume));
  if (!keeps)
    GTEST_SKIP() << "this file system reports the last-write time as the creation time: only the contents and "
                    "the last-write time could be checked";
}

TEST_F(CopyFiles, UpdateOnlyWithoutDestinationCopiesNothingButStillRegisters) {
  ScratchDir d;
  Put(d / "a.dll", "@register_fail.dll", 0);
  std::string dst = d / "sub\\a.dll";
  EXPECT_TRUE(CopyOneFile(d / "a.dll", dst, Mode(CopyMode::VersionOrDateNewer, "r", true, true)));
  EXPECT_FALSE(FileExists(dst));
  EXPECT_FALSE(UninstallList().exists);
  EXPECT_EQ((std::vector<std::string>{"Copy file:",
                                      "    > Dest file not found - Nothing to update: \"" + d / "a.dll" + "\" to \"" +
                                          dst + "\"",
                                      "Register file: \"" + dst + "\"", "*** DLL Registration failed!!"}),
            InstallLog().lines);
}

TEST_F(CopyFiles, RecordsForUninstallWhenCopiedUpToDateOrFailed) {
  // What the record says the uninstall is to do: put back the set-aside file, remove a file
  // or folder the copy made, or leave a file that was there before and was not replaced.
  struct Case {
    const char* what;
    CopyMode mode;
    bool destinationThere, lockDestination, addToUninstall;
    std::vector<std::string> record;  // "~" stands for the destination t.txt, "^" for its folder
    const char* after;                 // the destination's contents afterwards
    bool listKept = true;              // UnInstall is set: a list file records it
  } cases[] = {
      {"replaced", CopyMode::Always, true, false, true, {";\"replaced\" ~|~.~tvx0"}, "new"},
      {"created with its folder", CopyMode::Always, false, false, true, {";\"folder\" ^", "~"}, "new"},
      {"already up to date", CopyMode::AnyDifference, true, false, true, {";\"kept\" ~"}, "new"},
      {"copy failed over an existing file", CopyMode::Always, true, true, true, {";\"kept\" ~"}, "old"},
      {"not asked to", CopyMode::Always, true, false, false, {}, "new"},
      // without a list nothing would put a set-aside file back: none is made
      {"no list kept", CopyMode::Always, true, false, true, {";\"kept\" ~"}, "new", false},
  };
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    UnattendedSeam seam("answer: Yes\n");
    Params().UnInstall = c.listKept;  // the list goes to d: the uninstall can put a file back
    Params().exedir = d.Path();
    const std::string folder = d / "out", dst = folder + "\\t.txt";
    Put(d / "s.txt", "new", 0);
    if (c.destinationThere) {
      MakeDirPath(folder);
      Put(dst, c.mode == CopyMode::AnyDifference ? "new" : "old", 0);
    }
    ScopedHandle lock;
    if (c.lockDestination) lock = Lock(dst);
    EXPECT_TRUE(CopyOneFile(d / "s.txt", dst, Mode(c.mode, "", c.addToUninstall))) << c.what;
    lock.Close();
    std::vector<std::string> want;
    for (std::string line : c.record) {
      for (size_t at; (at = line.find('~')) != std::string::npos && line.compare(at, 5, "~tvx0") != 0;)
        line.replace(at, 1, dst);
      for (size_t at; (at = line.find('^')) != std::string::npos;) line.replace(at, 1, folder);
      want.push_back(line);
    }
    EXPECT_EQ(want, UninstallList().files) << c.what;
    EXPECT_EQ(c.after, ReadFileText(dst)) << c.what;
    // The set-aside file is the old one, whole; no copy in progress is left anywhere.
    EXPECT_EQ(c.record.size() == 1 && c.record[0][2] == 'r', FileExists(dst + ".~tvx0")) << c.what;
    if (FileExists(dst + ".~tvx0")) { EXPECT_EQ("old", ReadFileText(dst + ".~tvx0")); }
    EXPECT_FALSE(FileExists(dst + ".~tvxcopy")) << c.what;
    ResetUninstall();  // closes the list file, so that the folder can go
  }
}

TEST_F(CopyFiles, ReadOnlyDestinationIsReplacedAndNothingStaysReadOnly) {
  // Windows NT refuses to rename over a read-only file (Wine does not): every kind of item
  // must clear the attribute first.
  RefuseReadOnlyReplaceForTesting(true);
  enum Kind { kOne, kPattern, kTree };
  struct Case {
    bool sourceReadOnly, destinationReadOnly;
    Kind kind;
  } cases[] = {{false, true, kOne},  {true, false, kOne},    {true, true, kOne},
               {false, true, kPattern}, {true, true, kTree}};
  for (const Case& c : cases) {
    ScratchDir d;
    CreateDirectoryA((d / "in").c_str(), nullptr);
    CreateDirectoryA((d / "out").c_str(), nullptr);
    const std::string s = d / "in\\t.txt", t = d / "out\\t.txt";
    Put(s, "new", 100);
    Put(t, "old", 0);
    if (c.sourceReadOnly) SetFileAttributesA(s.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.destinationReadOnly) SetFileAttributesA(t.c_str(), FILE_ATTRIBUTE_READONLY);
    bool ok = c.kind == kOne       ? CopyOneFile(s, t, Mode(CopyMode::DateNewer))
              : c.kind == kPattern ? CopyFileItem(d / "in\\*.txt", d / "out", Mode(CopyMode::DateNewer))
                                   : CopyFileItem(d / "in\\", d / "out\\", Mode(CopyMode::DateNewer));
    EXPECT_TRUE(ok) << c.kind;
    EXPECT_EQ("new", ReadFileText(t)) << c.kind;
    EXPECT_FALSE(IsReadOnly(t)) << c.sourceReadOnly << c.destinationReadOnly << c.kind;
    EXPECT_EQ(c.sourceReadOnly, IsReadOnly(s));
    SetFileAttributesA(s.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  RefuseReadOnlyReplaceForTesting(false);
}

TEST_F(CopyFiles, FileInUseAsksAndKeepsTheOldFileWhole) {
  struct Case {
    const char* what;
    bool lockSource;
    CopyMode mode;
    const char* answer;
    bool result;
    std::string unreadable;  // the log line naming the file the decision could not read
  } cases[] = {
      {"destination in use, go on", false, CopyMode::Always, "Yes", true, ""},
      {"destination in use, stop", false, CopyMode::Always, "No", false, ""},
      {"source in use", true, CopyMode::Always, "Yes", true, ""},
      {"destination unreadable for its CRC", false, CopyMode::AnyDifference, "No", false, "t.txt"},
      {"source unreadable for its CRC", true, CopyMode::AnyDifference, "Yes", true, "s.txt"},
  };
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    UnattendedSeam seam(std::string("answer: ") + c.answer + "\n");
    Put(d / "s.txt", "new contents", 100);
    Put(d / "t.txt", "old", 0);
    {
      ScopedHandle lock = Lock(d / (c.lockSource ? "s.txt" : "t.txt"));
      ASSERT_TRUE(lock.IsValid());
      EXPECT_EQ(c.result, CopyOneFile(d / "s.txt", d / "t.txt", Mode(c.mode, "r"))) << c.what;
    }
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size()) << c.what;
    // The question names the file that is really in the way: a source in use is not a full disk.
    if (c.lockSource)
      EXPECT_EQ(0u, asked[0].text.find("Error reading file! Check if the installation file is in use or may be "
                                       "read.\r\"" + d / "s.txt" + "\"\r"))
          << asked[0].text;
    else
      EXPECT_EQ(CopyQuestion(d / "t.txt"), asked[0].text) << c.what;
    EXPECT_EQ("old", ReadFileText(d / "t.txt")) << c.what;
    EXPECT_EQ((std::vector<std::string>{"s.txt", "t.txt"}), FilesIn(d.Path())) << c.what;
    const auto& log = InstallLog().lines;
    auto failedLine = std::find_if(log.begin(), log.end(), [&](const std::string& l) {
      return c.lockSource ? l.find("    *** Error - Copy Failed! The installation file cannot be read: ") == 0
                          : l == kCopyFailed;
    });
    EXPECT_NE(log.end(), failedLine) << c.what;
    EXPECT_EQ(c.result ? 2 : 1, App().itemsFailed) << c.what;  // and the registration of a non-DLL
    if (!c.unreadable.empty()) {
      std::string line = "    ** Error: cannot read the file to compare it: \"" + d / c.unreadable + "\"";
      EXPECT_TRUE(LogHasLine(line)) << c.what;
    }
    // Registration follows only when the install goes on.
    EXPECT_EQ(c.result, LogHasLine("Register file: \"" + d / "t.txt" + "\"")) << c.what;
  }
}

TEST_F(CopyFiles, FullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string disk = "C:\\tolvex_smalldisk";
  if (!FolderExists(disk))
    GTEST_SKIP() << disk << " is missing: tests/harness/small-disk could not mount its 1 MB tmpfs (needs root)";
  ScratchDir src;
  ScratchDir d(disk + "\\" + UniqueName());
  WriteFileText(src / "big.bin", std::string(3 << 20, 'x'));
  struct Case {
    const char* what;
    bool existing;
  } cases[] = {{"over an existing file", true}, {"fresh copy", false}};
  for (const Case& c : cases) {
    ResetRunState();
    UnattendedSeam seam("answer: Yes\n");
    if (c.existing) WriteFileText(d / "big.bin", "old");
    EXPECT_TRUE(CopyOneFile(src / "big.bin", d / "big.bin", Mode(CopyMode::Always))) << c.what;
    ASSERT_EQ(1u, seam.Asked().size()) << c.what;
    EXPECT_EQ(CopyQuestion(d / "big.bin"), seam.Asked()[0].text);
    EXPECT_EQ(c.existing ? std::vector<std::string>{"big.bin"} : std::vector<std::string>{}, FilesIn(d.Path()))
        << c.what;
    if (c.existing) {
      EXPECT_EQ("old", ReadFileText(d / "big.bin")) << c.what;
    }
    DeleteFileA((d / "big.bin").c_str());
  }
}

TEST_F(CopyFiles, FolderTreeBreadthFirstWithoutDotFolders) {
  ScratchDir d;
  for (const char* f : {"root.txt", "a\\fa.txt", "b\\fb.txt", "a\\x\\fx.txt", ".git\\g.txt", "a\\.hid\\h.txt",
                        ".git\\y\\gy.txt"})
    Touch(d / ("src\\" + std::string(f)), f);
  ASSERT_TRUE(CopyFileItem(d / "src\\", d / "dst\\", Mode(CopyMode::Always)));
  std::vector<std::string> order;
  const auto& log = InstallLog().lines;
  for (size_t i = 0; i + 1 < log.size(); ++i)
    if (log[i] == "Copy file:") order.push_back(ExtractFileName(log[i + 1].substr(0, log[i + 1].size() - 1)));
  ASSERT_EQ(4u, order.size());
  EXPECT_EQ("root.txt", order[0]);
  std::sort(order.begin() + 1, order.begin() + 3);  // siblings come in the file system's order
  EXPECT_EQ("fa.txt", order[1]);
  EXPECT_EQ("fb.txt", order[2]);
  EXPECT_EQ("fx.txt", order[3]);
  EXPECT_EQ("a\\x\\fx.txt", ReadFileText(d / "dst\\a\\x\\fx.txt"));
  EXPECT_FALSE(FolderExists(d / "dst\\.git"));
  EXPECT_FALSE(FolderExists(d / "dst\\a\\.hid"));
}

TEST_F(CopyFiles, PatternsAndSingleFiles) {
  struct Case {
    const char* what;
    std::string source, destination;  // below the scratch folder
    std::vector<std::string> copied;  // what the destination folder "out" holds afterwards
  } cases[] = {
      {"wildcard", "in\\*.chm", "out", {"a.chm", "b.chm"}},
      {"wildcard, destination with backslash", "in\\*.chm", "out\\", {"a.chm", "b.chm"}},
      {"single file under a new name", "in\\a.chm", "out\\renamed.chm", {"renamed.chm"}},
      {"folder source without folder destination", "in\\", "out", {"a.chm", "b.chm", "c.txt"}},
      {"no match", "in\\*.hlp", "out", {}},
  };
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    MakeDirPath(d / "in");
    MakeDirPath(d / "out");
    for (const char* f : {"a.chm", "b.chm", "c.txt"}) WriteFileText(d / ("in\\" + std::string(f)), f);
    EXPECT_TRUE(CopyFileItem(d / c.source, d / c.destination, Mode(CopyMode::Always))) << c.what;
    EXPECT_EQ(c.copied, FilesIn(d / "out")) << c.what;
  }
}

TEST_F(CopyFiles, TrustFilesGetTheirIdentifiersResolved) {
  ScratchDir d;
  Params().flashcfgdir = d / "Trust";
  Params().exedir = "C:\\Lab\\App";
  MakeDirPath(d / "Trust");
  WriteFileText(d / "app.cfg", "<exedir>\\help\r\nplain\n<exedir>");
  ASSERT_TRUE(CopyOneFile(d / "app.cfg", d / "TRUST\\app.cfg", Mode(CopyMode::Always)));
  ASSERT_TRUE(CopyOneFile(d / "app.cfg", d / "elsewhere.cfg", Mode(CopyMode::Always)));
  EXPECT_EQ("C:\\Lab\\App\\help\r\nplain\r\nC:\\Lab\\App\r\n", ReadFileText(d / "Trust\\app.cfg"));
  EXPECT_EQ("<exedir>\\help\r\nplain\n<exedir>", ReadFileText(d / "elsewhere.cfg"));
  EXPECT_EQ((std::vector<std::string>{"app.cfg"}), FilesIn(d / "Trust"));
}

TEST_F(CopyFiles, RegistersComServersWithTenAttempts) {
  struct Case {
    const char* dll;
    bool ok;
    int calls;
  } cases[] = {{"register_ok.dll", true, 1}, {"register_fail.dll", false, 10}, {"ver_1_0_0_0.dll", false, 0},
               {"missing.dll", false, 0}};
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    if (FileExists(FixturePath(c.dll))) Put(d / "src.dll", std::string("@") + c.dll, 0);
    SetEnvironmentVariableA("TOLVEX_REGISTER_CALLS", nullptr);
    EXPECT_EQ(c.ok, RegisterServerDll(FixturePath(c.dll))) << c.dll;
    char calls[16] = "0";
    GetEnvironmentVariableA("TOLVEX_REGISTER_CALLS", calls, sizeof calls);
    EXPECT_EQ(c.calls, atoi(calls)) << c.dll;

    if (!FileExists(d / "src.dll")) continue;
    ASSERT_TRUE(CopyOneFile(d / "src.dll", d / "dst.dll", Mode(CopyMode::Always, "r")));
    std::vector<std::string> tail{"Register file: \"" + d / "dst.dll" + "\""};
    if (!c.ok) tail.push_back("*** DLL Registration failed!!");
    const auto& log = InstallLog().lines;
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(tail, std::vector<std::string>(log.end() - tail.size(), log.end())) << c.dll;
  }
  SetEnvironmentVariableA("TOLVEX_REGISTER_CALLS", nullptr);
}

TEST_F(CopyFiles, RegistersAServerWithTheDllItNeedsBesideIt) {
  // Found beside the server, where the install put it, not beside this program.
  ScratchDir d;
  for (const char* dll : {"register_dep.dll", "tvxdep.dll"})
    ASSERT_NO_FATAL_FAILURE(CopyFixture(std::string("regdep\\") + dll, d / dll));
  EXPECT_TRUE(RegisterServerDll(d / "register_dep.dll"));
  DeleteFileA((d / "tvxdep.dll").c_str());
  EXPECT_FALSE(RegisterServerDll(d / "register_dep.dll"));
}

TEST_F(CopyFiles, RunsACopiedProgramWithItsParameters) {
  ScratchDir d;
  std::string report = d / "report.txt";
  Put(d / "helper.exe", "@tolvex_helper.exe", 0);
  std::string dst = d / "bin\\Helper.EXE";
  ASSERT_TRUE(CopyOneFile(d / "helper.exe", dst, Mode(CopyMode::Always, report + " 0 0")));
  EXPECT_NE(std::string::npos, ReadFileText(report).find(report + " 0 0")) << "not run, or not waited for";
  EXPECT_EQ("Register file: \"" + dst + " " + report + " 0 0\" ", InstallLog().lines.back());
  // Only programs are run.
  ResetRunState();
  Put(d / "notes.txt", "text", 0);
  ASSERT_TRUE(CopyOneFile(d / "notes.txt", d / "notes2.txt", Mode(CopyMode::Always, "-x")));
  EXPECT_EQ("    \"" + d / "notes2.txt" + "\"", InstallLog().lines.back());
}

TEST_F(CopyFiles, Crc32OfKnownBytesAndAroundBlockEnds) {
  ScratchDir d;
  struct Case {
    std::string bytes;
    uint32_t crc;
  } known[] = {{"", 0}, {"a", 0xE8B7BE43u}, {"123456789", 0xCBF43926u}};
  for (const Case& c : known) {
    WriteFileText(d / "k.bin", c.bytes);
    uint32_t crc = 1;
    ASSERT_TRUE(FileCrc32(d / "k.bin", crc));
    EXPECT_EQ(c.crc, crc) << c.bytes;
  }
  // Every split a block or the eight-byte steps can make, checked against the plain
  // bit-by-bit definition.
  std::string bytes(3 * 262144 + 9, '\0');
  uint32_t seed = 12345;
  for (char& b : bytes) b = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  for (size_t size : {1u, 7u, 8u, 9u, 2047u, 2048u, 2049u, 65535u, 65536u, 65537u, 262143u, 262144u, 262145u,
                      static_cast<unsigned>(bytes.size())}) {
    std::string part = bytes.substr(0, size);
    WriteFileText(d / "b.bin", part);
    uint32_t crc = 0;
    ASSERT_TRUE(FileCrc32(d / "b.bin", crc));
    EXPECT_EQ(BitwiseCrc(part), crc) << size;
  }
  uint32_t crc = 0;
  EXPECT_FALSE(FileCrc32(d / "missing.bin", crc));
}

TEST_F(CopyFiles, SectionStopsAtTheFirstBadLine) {
  ScratchDir d;
  WriteFileText(d / "one.txt", "1");
  WriteFileText(d / "two.txt", "2");
  Lists().files = {"$Lang_de," + d / "one.txt," + d / "out\\skipped.txt, O",  // not for this language
                   d / "one.txt," + d / "out\\one.txt, O",
                   d / "missing.txt," + d / "out\\missing.txt, O",  // reported by the line check
                   d / "two.txt," + d / "out\\two.txt, O"};
  UnattendedSeam seam;
  EXPECT_FALSE(CopyFilesSection());
  EXPECT_EQ((std::vector<std::string>{"one.txt"}), FilesIn(d / "out"));
  EXPECT_EQ("Copying file: missing.txt", Progress().status);

  Lists().files.pop_back();
  Lists().files.erase(Lists().files.begin() + 2);
  Lists().files.push_back(d / "two.txt," + d / "out\\two.txt, O");
  EXPECT_TRUE(CopyFilesSection());
  EXPECT_EQ((std::vector<std::string>{"one.txt", "two.txt"}), FilesIn(d / "out"));
}

// A name this Windows' code page cannot hold is a failed item, said with its folder: in a
// pattern's folder and as a folder of a tree, never passed over in silence.
TEST_F(CopyFiles, NamesTheCodePageCannotHoldAreReportedAndCounted) {
  struct Case {
    bool tree;
    const char* answer;
    bool result;
  } cases[] = {{false, "Yes", true}, {true, "Yes", true}, {false, "No", false}};
  for (const Case& c : cases) {
    ResetRunState();
    ScratchDir d;
    CreateDirectoryA((d / "src").c_str(), nullptr);
    Put(d / "src\\plain.txt", "p", 0);
    // U+65E5 U+672C: no Western code page holds them.
    const std::wstring wideName = c.tree ? L"\\src\\\x65E5\x672C" : L"\\src\\\x65E5\x672C.txt";
    int n = MultiByteToWideChar(CP_ACP, 0, d.Path().c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, d.Path().c_str(), -1, &wide[0], n);
    wide += wideName;
    if (c.tree) {
      ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    } else {
      HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, h);
      CloseHandle(h);
    }
    if (GetACP() == 932 || GetACP() == 936 || GetACP() == 950) GTEST_SKIP() << "this code page holds the name";
    UnattendedSeam seam(std::string("answer: ") + c.answer + "\n");
    bool result = c.tree ? CopyFileItem(d / "src\\", d / "out\\", Mode(CopyMode::Always))
                         : CopyFileItem(d / "src\\*.*", d / "out", Mode(CopyMode::Always));
    EXPECT_EQ(c.result, result) << c.tree;
    auto asked = seam.Asked();
    ASSERT_EQ(1u, asked.size()) << c.tree;
    EXPECT_EQ(0u, asked[0].text.find("A name in this folder cannot be written in the code page of this Windows' "
                                     "language settings, so it cannot be copied:\r\"" + d / "src" + "\"\r\"??"))
        << asked[0].text;
    EXPECT_EQ(1, App().itemsFailed);
    EXPECT_EQ(c.result, FileExists(d / "out\\plain.txt")) << c.tree;  // the others go on being copied
  }
}
