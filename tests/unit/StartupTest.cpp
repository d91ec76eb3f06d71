#include <windows.h>

#include "TestSupport.h"
#include "UApp.h"
#include "UFileVersion.h"
#include "ULog.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UStartup.h"

using namespace tolvex;
using namespace tolvex::test;

class StartupTest : public TolvexTest {};

TEST_F(StartupTest, NoArgumentsShowsTheBanner) {
  UnattendedSeam seam;
  EXPECT_EQ(kRunEnd, GetStartupMode());
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("none", asked[0].icon);
  EXPECT_EQ("OK", asked[0].kind);
  EXPECT_EQ("Setup", asked[0].title);  // no product yet: never a leading blank
  EXPECT_EQ(VersionBannerText(), asked[0].text);
  EXPECT_EQ("Tolvex.exe - Version \rTesmora - Install/Uninstall Utility\r\rValid command-line switches:\r\n"
            "/Uninstall, /Check, /NTCheck, /DisplayCheck, /tolvex, /script, or /script2.",
            VersionBannerText());  // the test program carries no version
  EXPECT_EQ(std::string(53, '-'), InstallLog().lines.at(0));  // the start-up block came first
}

TEST_F(StartupTest, UninstallWithAFolderNeedsNoScript) {
  ResetRunState({"/UNINSTALL", "C:\\Apps\\Viewer"});
  UnattendedSeam seam;
  EXPECT_EQ(kRunUninstall, GetStartupMode());
  EXPECT_TRUE(seam.Asked().empty());
}

TEST_F(StartupTest, TestSwitchRegistersTheAssociationFirst) {
  ScratchRegistry reg;
  ResetRunState({"/test"});
  UnattendedSeam seam;
  std::string folder = ModuleDir() + "\\_Test";
  GetStartupMode();
  EXPECT_EQ("aaatest.aaatest", ReadRegValue(HKEY_CLASSES_ROOT, ".aaatest", ""));
  EXPECT_EQ(folder + "\\test.exe", ReadRegValue(HKEY_CLASSES_ROOT, "aaatest.aaatest\\shell\\open\\command", ""));
  EXPECT_TRUE(FileExists(folder + "\\test.exe"));
  ASSERT_GE(InstallLog().lines.size(), 2u);
  EXPECT_EQ("/test command line param used -- .aaatest association used", InstallLog().lines[0]);
  EXPECT_EQ(std::string(53, '-'), InstallLog().lines[1]);
  DeleteFileA((folder + "\\test.exe").c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(StartupTest, ProgramCopySkipsAnIdenticalTargetOnly) {
  ScratchDir d;
  std::string src = d / "src.bin", dst = d / "dst.bin";
  std::string content(123456, 'a');  // more than two 50000-byte blocks
  content[100000] = 'b';
  WriteFileText(src, content);
  SetWriteTime(src, 500);
  ASSERT_TRUE(CopyProgramFile(src, dst));
  EXPECT_EQ(content, ReadFileText(dst));

  // Same size and time: taken as the same file, left alone.
  WriteFileText(dst, std::string(123456, 'z'));
  SetWriteTime(dst, 500);
  ASSERT_TRUE(CopyProgramFile(src, dst));
  EXPECT_EQ(std::string(123456, 'z'), ReadFileText(dst));

  // Other time, and read-only and hidden: copied over, time taken from the source.
  SetWriteTime(dst, 501);
  SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(CopyProgramFile(src, dst));
  EXPECT_EQ(content, ReadFileText(dst));
  WIN32_FILE_ATTRIBUTE_DATA a, b;
  GetFileAttributesExA(src.c_str(), GetFileExInfoStandard, &a);
  GetFileAttributesExA(dst.c_str(), GetFileExInfoStandard, &b);
  EXPECT_EQ(0, CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime));
  EXPECT_EQ(0u, b.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(StartupTest, ProgramCopyFromALockedFileFailsWithoutATarget) {
  ScratchDir d;
  std::string src = d / "src.bin", dst = d / "dst.bin";
  WriteFileText(src, "x");
  HANDLE lock = CreateFileA(src.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  EXPECT_FALSE(CopyProgramFile(src, dst));
  CloseHandle(lock);
  EXPECT_FALSE(FileExists(dst));
  ASSERT_FALSE(InstallLog().lines.empty());
  EXPECT_NE(std::string::npos, InstallLog().lines.back().find(src));
}
