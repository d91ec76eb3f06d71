#include <windows.h>

#include "TestSupport.h"
#include "UBusDriver.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UWinHandle.h"

using namespace tolvex;
using namespace tolvex::test;

class BusDriverTest : public TolvexTest {};

TEST_F(BusDriverTest, InstallsUnlessInstalledMissingBlockedOr64Bit) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Services\\KelvorSimpleGpib", params = key + "\\Parameters";
  enum Group { NoGroup, Text, Number, Empty, StartOnly };
  enum Dest { Absent, Plain, ReadOnly, Locked, NoFolder };
  enum Outcome { Installed, AlreadyThere, CopyFailed, NoSource, Skipped64 };
  struct Case {
    Group group;
    Dest dest;
    Outcome want;
    bool noSource = false, wow64 = false;
  } cases[] = {{NoGroup, Plain, Installed},  {Text, Plain, AlreadyThere},   {Number, ReadOnly, AlreadyThere},
               {Text, Absent, Installed},    {Empty, Plain, Installed},     {StartOnly, ReadOnly, Installed},
               {NoGroup, Locked, CopyFailed}, {NoGroup, NoFolder, CopyFailed}, {NoGroup, Absent, NoSource, true},
               {NoGroup, Plain, Skipped64, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    ResetRunState();  // a fresh log and question seam per row
    ScratchDir dir;
    ScratchRegistry reg;
    UnattendedSeam seam("box: message\nanswer: OK\n");
    BusDriver().wow64ForTesting = c.wow64 ? Wow64Answer::Yes : Wow64Answer::No;
    Folders().systemDir = dir / "sys";
    Params().setupdir = dir / "cd";
    const std::string source = dir / "cd\\NTDrivers\\KelvorSimpleGpib.sys", dest = dir / "sys\\drivers\\KelvorSimpleGpib.sys";
    MakeDirPath(dir / (c.dest == NoFolder ? "sys" : "sys\\drivers"));
    MakeDirPath(dir / "cd\\NTDrivers");
    if (!c.noSource) WriteFileText(source, "CD driver");
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);  // as a CD delivers it
    if (c.dest != Absent && c.dest != NoFolder) WriteFileText(dest, "old driver");
    if (c.dest == ReadOnly) SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_READONLY);
    ScopedHandle lock(c.dest == Locked ? CreateFileA(dest.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr);
    if (c.group == Text || c.group == Empty) WriteRegString(HKEY_LOCAL_MACHINE, key, "Group", c.group == Text ? "x" : "");
    if (c.group == Number || c.group == StartOnly) WriteRegDword(HKEY_LOCAL_MACHINE, key, c.group == Number ? "Group" : "Start", 7);

    InstallBusDriver();
    lock.Close();
    const std::vector<std::string>& log = InstallLog().lines;
    const char* lastLine[] = {"Copy NT Driver - OK!", "   No NT Driver install required", "Copy NT Driver - Failed!",
                              "File not found - ", "64-bit Windows cannot load"};
    EXPECT_NE(std::string::npos, log.back().find(lastLine[c.want])) << log.back();
    EXPECT_EQ(c.want == NoSource ? 2u : c.want == Installed ? 5u : log.size(), log.size());  // nothing else
    EXPECT_EQ(c.want == Installed ? "CD driver" : c.dest == Absent || c.dest == NoFolder ? "" : "old driver", ReadFileText(dest));
    EXPECT_EQ(c.want == Installed, RegKeyExists(HKEY_LOCAL_MACHINE, params));
    auto asked = seam.Asked();
    ASSERT_EQ(c.want == CopyFailed ? 1u : 0u, asked.size());
    if (c.want == CopyFailed) {
      EXPECT_EQ("Error copying GPIB driver to " + dest + ". Please make certain that you are logged on as an Administrator.",
                asked[0].text);
    }
    EXPECT_FALSE(c.want == Installed && (GetFileAttributesA(dest.c_str()) & FILE_ATTRIBUTE_READONLY));
    for (const std::string& f : {source, dest}) SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (c.want != Installed) continue;
    EXPECT_EQ("CopyFile(" + source + ", " + dest + ")", log[3]);
    EXPECT_EQ("Extended Base", ReadRegValue(HKEY_LOCAL_MACHINE, key, "Group"));
    struct { std::string key, name; DWORD value; } values[] = {
        {key, "Type", 1}, {key, "Start", 2}, {key, "ErrorControl", 1}, {params, "IoPortAddress", 0x2C0}, {params, "IoPortCount", 16}};
    for (const auto& v : values) {
      DWORD got = 0;
      EXPECT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, v.key, v.name, got) && got == v.value) << v.name << " " << got;
    }
    // Nothing else: no image path, no display name. (Wine lists a key's values sorted by
    // name, not in the order they were written, so the write order cannot be read back.)
    ScopedRegKey k;
    DWORD count = 0;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, k.Receive());
    RegQueryInfoKeyA(k.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(4u, count);
  }
}

TEST_F(BusDriverTest, The64BitAnswerMatchesTheSystem) {
  char wow64Dir[MAX_PATH];  // an independent sign: only 64-bit Windows has a 32-bit system folder
  EXPECT_EQ(GetSystemWow64DirectoryA(wow64Dir, sizeof wow64Dir) > 0, RunningOn64BitWindows());
}
