#include <windows.h>

#include "TestSupport.h"
#include "UPaths.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

TEST(Paths, ParentFolderRule) {
  ScratchDir d;
  MakeDirPath(d / "Long Folder Name\\Sub");
  char shortSub[MAX_PATH] = "";
  GetShortPathNameA((d / "Long Folder Name\\Sub").c_str(), shortSub, MAX_PATH);
  struct Case {
    std::string path, want;
  } cases[] = {
      {"C:\\", "C:"},
      {"C:", "C:"},
      {"c:\\Apps", "c:"},
      {"\\\\server\\share", "\\\\server\\share"},  // a share is its own parent
      {"\\\\server\\share\\dir\\", "\\\\server\\share"},
      {d / "Long Folder Name\\Sub\\\\", d / "Long Folder Name"},
      {shortSub, d / "Long Folder Name"},  // the shell's long form first
      {"", ""},
      {"relative", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ParentFolder(c.path)) << c.path;
}

TEST(Paths, FoldersFilesAndPatterns) {
  ScratchDir d;
  EXPECT_TRUE(MakeDirPath(d / "a\\b\\c\\"));
  EXPECT_TRUE(FolderExists(d / "a\\b\\c"));
  EXPECT_TRUE(FolderExists("C:\\"));
  EXPECT_FALSE(FolderExists(d / "none"));
  EXPECT_FALSE(FolderExists(""));
  WriteFileText(d / "a\\f.exe", "x");
  EXPECT_TRUE(FileExists(d / "a\\f.exe"));
  EXPECT_FALSE(FileExists(d / "a"));
  EXPECT_TRUE(AnyFileMatches(d / "a\\*.exe"));
  EXPECT_FALSE(AnyFileMatches(d / "a\\*.dll"));
  MakeDirPath(d / "a\\dir.dll");
  EXPECT_FALSE(AnyFileMatches(d / "a\\*.dll"));  // a folder does not count
  EXPECT_FALSE(MakeDirPath(d / "a\\f.exe\\sub"));  // a file is in the way
}

TEST(Paths, AFailedWriteKeepsTheOldFile) {
  ScratchDir d;
  WriteFileText(d / "log.txt", "old");
  // The replacement cannot be created (its temporary name is taken by a folder).
  CreateDirectoryA((d / "log.txt.$$$").c_str(), nullptr);
  unsigned long err = 0;
  EXPECT_FALSE(WriteFileWhole(d / "log.txt", "new", err));
  EXPECT_NE(0u, err);
  EXPECT_EQ("old", ReadFileText(d / "log.txt"));
  RemoveDirectoryA((d / "log.txt.$$$").c_str());
  // A locked target: the old file stays whole, and no temporary file is left behind.
  HANDLE lock = CreateFileA((d / "log.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(WriteFileWhole(d / "log.txt", "new", err));
  CloseHandle(lock);
  EXPECT_EQ("old", ReadFileText(d / "log.txt"));
  EXPECT_FALSE(FileExists(d / "log.txt.$$$"));
  EXPECT_TRUE(WriteFileWhole(d / "log.txt", "new", err));
  EXPECT_EQ("new", ReadFileText(d / "log.txt"));
}

TEST(Paths, AFailedAppendKeepsTheSystemsReason) {
  ScratchDir d;
  unsigned long err = 0;
  EXPECT_TRUE(AppendFileText(d / "trace.txt", "one\r\n", err));
  EXPECT_TRUE(AppendFileText(d / "trace.txt", "two\r\n", err));
  EXPECT_EQ("one\r\ntwo\r\n", ReadFileText(d / "trace.txt"));
  EXPECT_FALSE(AppendFileText(d.Path(), "x", err));  // cannot be opened: a folder has the name
  EXPECT_EQ(static_cast<unsigned long>(ERROR_ACCESS_DENIED), err);
  // A write that fails outright needs a file that opens but refuses the bytes. Wine shows the
  // host's files on drive Z:, and two kernel files do just that.
  if (!FileExists("Z:\\proc\\self\\clear_refs")) GTEST_SKIP() << "no host files on drive Z:";
  struct Case {
    const char* file;
    unsigned long want;
  } cases[] = {
      {"Z:\\proc\\self\\clear_refs", ERROR_INVALID_PARAMETER},  // the text is no number: not a full disk
      {"Z:\\dev\\full", ERROR_DISK_FULL},
  };
  for (const Case& c : cases) {
    err = 0;
    EXPECT_FALSE(AppendFileText(c.file, "three\r\n", err)) << c.file;
    EXPECT_EQ(c.want, err) << c.file;
  }
}
