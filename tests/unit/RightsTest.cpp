#include <windows.h>

#include "TestSupport.h"
#include "UPaths.h"
#include "URights.h"

using namespace tolvex;
using namespace tolvex::test;

static DWORD g_askedAccess = 0;
static SC_HANDLE WINAPI RecordingServiceManager(LPCSTR machine, LPCSTR db, DWORD access) {
  g_askedAccess = access;
  return OpenSCManagerA(machine, db, access);
}

class RightsTest : public TolvexTest {};

TEST_F(RightsTest, AdministratorMeansTheServiceManagerOpensForFullAccess) {
  if (IsWin9x()) GTEST_SKIP() << "the 9x family has no service manager";
  SetOpenSCManagerForTesting(&RecordingServiceManager);
  EXPECT_TRUE(IsAdministrator());
  EXPECT_EQ(static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE), g_askedAccess);
  SetOpenSCManagerForTesting(&RefusingServiceManager);
  EXPECT_FALSE(IsAdministrator());
}

TEST_F(RightsTest, ProbeFolderFallsBackToTheDrive) {
  ScratchDir d;
  struct Case {
    std::string folder, want;
  } cases[] = {
      {d.Path(), d.Path()},
      {d.Path() + "\\\\", d.Path()},
      {"C:\\NoSuchFolder\\Sub", "C:"},
      {"D", "D:"},
      {"Q:", "Q:"},
      {"\\\\server\\share\\no\\such", "\\\\server\\share"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, WritabilityProbeFolder(c.folder)) << c.folder;
}

TEST_F(RightsTest, WritableFoldersLeaveNoProbeBehind) {
  ScratchDir d;
  EXPECT_FALSE(CanWriteToFolder(""));
  EXPECT_TRUE(CanWriteToFolder(d.Path()));
  EXPECT_FALSE(FileExists(d / "$_Temp_$.$$$"));
  EXPECT_TRUE(CanWriteToFolder(d / "not\\yet\\there"));  // probes the drive root instead
  EXPECT_FALSE(FileExists("C:\\$_Temp_$.$$$"));
  EXPECT_FALSE(CanWriteToFolder("\\\\nosuchserver\\noshare\\x"));
}

TEST_F(RightsTest, AProbeThatCannotBeCreatedMeansNotWritable) {
  ScratchDir d;
  // A folder of that name where the probe file would go: the create fails as on a
  // read-only medium.
  ASSERT_TRUE(CreateDirectoryA((d / "$_Temp_$.$$$").c_str(), nullptr));
  EXPECT_FALSE(CanWriteToFolder(d.Path()));
}

TEST(Win9x, AdministratorIsAlwaysTrue) {
  if (!IsWin9x()) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows 98";
  tolvex::test::ResetRunState();
  SetOpenSCManagerForTesting(&RefusingServiceManager);
  EXPECT_TRUE(IsAdministrator());
  SetOpenSCManagerForTesting(nullptr);
}
