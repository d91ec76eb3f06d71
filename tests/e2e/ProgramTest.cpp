// Tolvex.exe itself: its resources, the banner, /test and the debug log.
#include <windows.h>

#include "ProductCd.h"
#include "UFileVersion.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"
#include "UWinHandle.h"

#include <shlwapi.h>

using namespace tolvex;
using namespace tolvex::test;

static std::string VersionString(const std::string& file, const std::string& name) {
  DWORD h = 0, size = GetFileVersionInfoSizeA(file.c_str(), &h);
  std::vector<char> data(size);
  if (!size || !GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return {};
  char* value = nullptr;
  UINT len = 0;
  std::string path = "\\StringFileInfo\\040904e4\\" + name;
  if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) || !value) return {};
  return value;
}

TEST(Program, CarriesVersionIconAndManifest) {
  std::string exe = TestBinDir() + "\\Tolvex.exe";
  FileVersionInfo v = GetFileVersion(exe);
  EXPECT_EQ(4u, SplitText(v.text, '.').size());
  EXPECT_NE(0u, v.parts[0] + v.parts[1] + v.parts[2] + v.parts[3]);
  EXPECT_EQ("Tesmora", VersionString(exe, "CompanyName"));
  EXPECT_EQ("Tolvex", VersionString(exe, "ProductName"));
  EXPECT_EQ(v.text, VersionString(exe, "FileVersion"));

  ScopedModule m(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(m.IsValid());
  HRSRC icon = FindResourceA(m.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(nullptr, icon);
  const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(m.Get(), icon)));
  EXPECT_EQ(32, group[6]);  // first entry: 32 x 32
  EXPECT_EQ(32, group[7]);
  HRSRC man = FindResourceA(m.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(nullptr, man);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(m.Get(), man))),
                       SizeofResource(m.Get(), man));
  EXPECT_NE(std::string::npos, manifest.find("requestedExecutionLevel level=\"highestAvailable\""));
  EXPECT_NE(std::string::npos, manifest.find("supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""));
}

TEST(Program, WithoutArgumentsShowsTheBannerWithItsVersion) {
  ProductCd cd;
  EXPECT_EQ(0, cd.Run({}));
  auto asked = cd.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("message", asked[0].box);
  EXPECT_EQ("none", asked[0].icon);
  EXPECT_EQ("Tolvex.exe - Version " + FileVersionText(cd.Exe()) +
                "\rTesmora - Install/Uninstall Utility\r\rValid command-line switches:\r\n/Uninstall, /Check, "
                "/NTCheck, /DisplayCheck, /tolvex, /script, or /script2.",
            asked[0].text);
  EXPECT_FALSE(FileExists(cd / "HHDebug.txt"));
}

TEST(Program, TestSwitchRegistersAndCopiesItself) {
  ProductCd cd;
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ".aaatest");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "aaatest.aaatest");
  EXPECT_EQ(0, cd.Run({"/test"}));
  EXPECT_EQ("aaatest.aaatest", ReadRegValue(HKEY_CLASSES_ROOT, ".aaatest", ""));
  EXPECT_EQ(cd / "_Test\\test.exe", ReadRegValue(HKEY_CLASSES_ROOT, "aaatest.aaatest\\shell\\open\\command", ""));
  EXPECT_EQ(ReadFileText(cd.Exe()), ReadFileText(cd / "_Test\\test.exe"));
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ".aaatest");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "aaatest.aaatest");
}

TEST(Program, DebugMarkerWritesTheHeader) {
  ProductCd cd;
  WriteFileText(cd / "debug.debug", "");
  EXPECT_EQ(0, cd.Run({"/NoSuchSwitch"}));
  std::string log = ReadFileText(cd / "HHDebug.txt");
  std::vector<std::string> lines = SplitText(log, '\n');
  ASSERT_GE(lines.size(), 12u) << log;
  EXPECT_EQ("Filename:             \t" + (cd / "HHDebug.txt") + "\r", lines[0]);
  EXPECT_EQ(0u, lines[1].find("Date:                 \t"));
  EXPECT_EQ(0u, lines[2].find("DecimalSeparator:      \t"));
  EXPECT_EQ(std::string(79, '-') + "\r", lines[3]);
  EXPECT_EQ("EXE Path =          \t" + cd.Exe() + "\r", lines[4]);
  EXPECT_EQ(0u, lines[5].find("Cmdline Param(s) =  \t/NoSuchSwitch | /answers="));
  EXPECT_EQ("_RunDir =           \t" + cd.Dir() + "\r", lines[6]);
  EXPECT_EQ(std::string(79, '-') + "\r", lines[7]);
  EXPECT_EQ("HH Version =        \t" + FileVersionText(GetSystemDir() + "\\hhctrl.ocx") + "\r", lines[8]);
  EXPECT_EQ(0u, lines[9].find("IE Version =        \t6."));
  EXPECT_EQ(std::string(79, '=') + "\r", lines[10]);
}

TEST(Program, DebugSwitchAloneGivesNoHeaderAndNoSwitchDeletesTheOldLog) {
  ProductCd cd;
  WriteFileText(cd / "HHDebug.txt", "from an earlier run\r\n");
  EXPECT_EQ(0, cd.Run({"/debug"}));
  // Nothing in this run writes a debug line yet: the old file is gone, no header came.
  EXPECT_EQ("", ReadFileText(cd / "HHDebug.txt"));
  WriteFileText(cd / "HHDebug.txt", "from an earlier run\r\n");
  SetFileAttributesA((cd / "HHDebug.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(0, cd.Run({}));
  EXPECT_FALSE(FileExists(cd / "HHDebug.txt"));
}

TEST(Program, TakesWindowsOwnDllsFromTheSystemFolderOnly) {
  // A msi.dll or version.dll beside the program (a CD copied to a share, a download
  // folder) would run with the installer's rights. The harness has Wine look for both as
  // Windows does, the program's folder first.
  InstalledApp app(".tvxdll1");
  ProductCd cd;
  for (const char* dll : {"msi.dll", "version.dll"})
    ASSERT_NO_FATAL_FAILURE(CopyFixture(std::string("standin\\") + dll, cd / dll));
  // No class has this identifier, so the search asks Windows Installer for a component of
  // it; the check compares the system's component versions.
  cd.WriteScript("[INSTALL]\r\nproductname=Lumen Viewer\r\nSrchDir=Disk2\r\n"
                 "ExeAssoc={6D0F3A5E-2B71-4C1D-9E0A-5F1B7C3D2E41}|.tvxdll1\r\nDefaultGroup=Lumen\r\nIdFile=disk2.id\r\n");
  EXPECT_EQ(0, cd.Run({"/check", ".", "/debug"}));
  EXPECT_FALSE(FileExists(cd / "msi.dll.loaded"));
  EXPECT_FALSE(FileExists(cd / "version.dll.called"));
  // The system's own answered: the program's version, and the installer library's verdict.
  auto lines = Lines(ReadFileText(app.Root() + "\\Apps\\Lumen Viewer\\installLog_Check(Lumen Viewer).txt"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ("Tolvex.EXE version " + FileVersionText(cd.Exe()), lines[2]);
  std::string debug = ReadFileText(cd / "HHDebug.txt");
  EXPECT_NE(std::string::npos, debug.find("  MSI Component ID check returned: ")) << debug;
  EXPECT_EQ(std::string::npos, debug.find("  MSI Component ID check returned: -999,")) << debug;
  EXPECT_TRUE(cd.Asked().empty());
}
