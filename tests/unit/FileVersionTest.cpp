#include <windows.h>

#include "TestSupport.h"
#include "UFileVersion.h"
#include "UHelpEngine.h"
#include "UPaths.h"
#include "URegistry.h"

using namespace tolvex;
using namespace tolvex::test;

TEST(FileVersion, ReadsTheFixedVersionResource) {
  struct Case {
    const char* file;
    VersionParts parts;
    const char* text;
  } cases[] = {
      {"ver_1_0_0_0.dll", {1, 0, 0, 0}, "1.0.0.0"},
      {"ver_6_0_2800_1106.dll", {6, 0, 2800, 1106}, "6.0.2800.1106"},
      {"ver_65535_1_2_3.dll", {65535, 1, 2, 3}, "65535.1.2.3"},
      {"noversion.dll", {0, 0, 0, 0}, ""},
      {"no-such-file.dll", {0, 0, 0, 0}, ""},
  };
  for (const Case& c : cases) {
    FileVersionInfo v = GetFileVersion(FixturePath(c.file));
    EXPECT_EQ(c.parts, v.parts) << c.file;
    EXPECT_EQ(c.text, v.text) << c.file;
    EXPECT_EQ(c.text, FileVersionText(FixturePath(c.file))) << c.file;
  }
}

TEST(FileVersion, AMalformedResourceReadsAsNoVersion) {
  ScratchDir d;
  // A PE-looking file whose resource is garbage must not crash or invent a version.
  std::string junk = ReadFileText(FixturePath("ver_1_0_0_0.dll"));
  for (size_t i = 0; i < junk.size(); ++i)
    if (junk.compare(i, 4, "\xBD\x04\xEF\xFE") == 0) junk[i] = 'X';  // break the fixed-info signature
  WriteFileText(d / "broken.dll", junk);
  EXPECT_EQ("", FileVersionText(d / "broken.dll"));
  WriteFileText(d / "text.dll", "not a program at all");
  EXPECT_EQ("", FileVersionText(d / "text.dll"));
}

TEST(FileVersion, MatchesPatterns) {
  std::string v6 = FixturePath("ver_6_0_2800_1106.dll");
  struct Case {
    std::string file, pattern;
    bool want;
  } cases[] = {
      {v6, "6..2800", true},   {v6, "6.0.2800.1106", true}, {v6, "6.1", false},
      {v6, "", true},          {FixturePath("noversion.dll"), "", true},
      {FixturePath("noversion.dll"), "0", false},           // no version fails any pattern
      {FixturePath("missing.dll"), "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, FileVersionMatches(c.file, c.pattern)) << c.file << " " << c.pattern;
}

TEST(FileVersion, NewerByVersionOtherwiseByDate) {
  ScratchDir d;
  auto put = [&](const char* fixture, const char* name, long long t) {
    ASSERT_NO_FATAL_FAILURE(CopyFixture(fixture, d / name));
    SetWriteTime(d / name, t);
  };
  put("ver_2_0_0_0.dll", "v2old.dll", 0);
  put("ver_2_0_0_0.dll", "v2new.dll", 100);
  put("ver_10_0_0_0.dll", "v10old.dll", 0);
  put("noversion.dll", "nv_old.dll", 0);
  put("noversion.dll", "nv_new.dll", 100);
  struct Case {
    const char *src, *dst;
    bool orEqual, want;
  } cases[] = {
      {"v2new.dll", "v2old.dll", false, false},  // equal versions: dates do not count
      {"v2new.dll", "v2old.dll", true, true},
      {"v10old.dll", "v2new.dll", false, true},  // higher version wins over a younger file
      {"v2new.dll", "v10old.dll", true, false},
      {"v2new.dll", "nv_old.dll", false, true},  // destination without version: dates
      {"v2old.dll", "nv_old.dll", false, false},
      {"v2old.dll", "nv_old.dll", true, true},
      {"nv_old.dll", "nv_new.dll", false, false},
      {"v2old.dll", "absent.dll", false, true},  // nothing there yet
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, IsFileNewer(d / c.src, d / c.dst, c.orEqual)) << c.src << " " << c.dst;
}

TEST(FileVersion, DateTextOnlyForFilesWithoutVersion) {
  ScratchDir d;
  WriteFileText(d / "plain.txt", "x");
  EXPECT_EQ("1.0.0.0", FileVersionOrDateText(FixturePath("ver_1_0_0_0.dll")));
  std::string date = FileVersionOrDateText(d / "plain.txt");
  EXPECT_FALSE(date.empty());
  EXPECT_NE(std::string::npos, date.find(':'));  // a time of day is part of it
  EXPECT_EQ("", FileVersionOrDateText(d / "absent.txt"));
}

TEST(HelpEngine, OldBrowserEnginesMoveTheirBuild) {
  struct Case {
    VersionParts in, want;
  } cases[] = {
      {{4, 70, 0, 1155}, {4, 70, 1155, 0}},
      {{4, 71, 0, 1712}, {4, 71, 0, 1712}},  // minor above 70: as it is
      {{4, 70, 1, 5}, {4, 70, 1, 5}},
      {{6, 0, 2900, 2180}, {6, 0, 2900, 2180}},
  };
  for (const Case& c : cases) {
    FileVersionInfo v;
    v.parts = c.in;
    v.text = VersionPartsText(c.in);
    FileVersionInfo out = NormaliseIEVersion(v);
    EXPECT_EQ(c.want, out.parts);
    EXPECT_EQ(VersionPartsText(c.want), out.text);
  }
  EXPECT_FALSE(GetIEVersion().text.empty());  // Wine ships a shdocvw.dll with a version
}

class HelpEngineTest : public TolvexTest {};

TEST_F(HelpEngineTest, FindsTheRegisteredHelpControl) {
  ScratchDir d;
  ScratchRegistry reg;
  const std::string key = "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";
  EXPECT_EQ(GetSystemDir() + "\\hhctrl.ocx", FindHHCtrl());  // nothing registered

  std::string winTemp = GetWindowsDir() + "\\tolvex-hh-test.ocx";
  ASSERT_NO_FATAL_FAILURE(CopyFixture("ver_5_2_3790_2744.dll", winTemp));
  WriteRegString(HKEY_CLASSES_ROOT, key, "", "%SystemRoot%\\tolvex-hh-test.ocx");
  EXPECT_EQ(GetWindowsDir() + "\\tolvex-hh-test.ocx", FindHHCtrl());
  EXPECT_EQ("5.2.3790.2744", FileVersionText(FindHHCtrl()));
  DeleteFileA(winTemp.c_str());

  WriteRegString(HKEY_CLASSES_ROOT, key, "", d / "missing.ocx");  // registered but gone
  EXPECT_EQ(GetSystemDir() + "\\hhctrl.ocx", FindHHCtrl());
}
