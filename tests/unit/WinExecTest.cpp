#include <windows.h>

#include "TestSupport.h"
#include "UPaths.h"
#include "UWinExec.h"

using namespace tolvex;
using namespace tolvex::test;

class WinExecTest : public TolvexTest {};

static std::string ReportValue(const std::string& report, const std::string& name) {
  size_t p = report.find(name + "=");
  if (p == std::string::npos) return {};
  size_t e = report.find('\n', p);
  return report.substr(p + name.size() + 1, e - p - name.size() - 1);
}

TEST_F(WinExecTest, RunAndWaitWaitsForAHiddenProgram) {
  ScratchDir d;
  std::string report = d / "report.txt";
  // The helper sleeps before it writes: the report exists only if RunAndWait waited.
  ASSERT_TRUE(RunAndWait(FixturePath("tolvex_helper.exe"), "\"" + report + "\" 400 7"));
  std::string r = ReadFileText(report);
  ASSERT_FALSE(r.empty());
  EXPECT_EQ("1", ReportValue(r, "flags"));
  EXPECT_EQ(std::to_string(SW_HIDE), ReportValue(r, "show"));
}

TEST_F(WinExecTest, CommandLineQuotesOnlyAnExistingProgramWithSpaces) {
  ScratchDir d;
  CreateDirectoryA((d / "with space").c_str(), nullptr);
  WriteFileText(d / "with space\\setup.exe", "x");
  std::string spaced = d / "with space\\setup.exe";
  struct Case {
    std::string program, params, want;
  } cases[] = {
      {spaced, "", "\"" + spaced + "\""},
      {spaced, "/q", "\"" + spaced + "\" /q"},
      {"\"" + spaced + "\"", "/q", "\"" + spaced + "\" /q"},               // already quoted
      {d / "no such\\setup.exe", "/q", d / "no such\\setup.exe /q"},        // not a file: as built
      {"msiexec.exe /i x.msi", "", "msiexec.exe /i x.msi"},                 // a command, not a path
      {FixturePath("tolvex_helper.exe"), "", FixturePath("tolvex_helper.exe")},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, RunCommandLine(c.program, c.params)) << c.program;
}

TEST_F(WinExecTest, APlantedProgramOnTheUnquotedPathDoesNotRun) {
  ScratchDir d;
  CreateDirectoryA((d / "App Files").c_str(), nullptr);
  std::string real = d / "App Files\\helper.exe";
  std::string planted = d / "App.exe";  // what "...\App Files\helper.exe" would start unquoted
  ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", real));
  ASSERT_NO_FATAL_FAILURE(CopyFixture("tolvex_helper.exe", planted));
  std::string report = d / "report.txt";
  ASSERT_TRUE(RunAndWait(real, "\"" + report + "\""));
  EXPECT_EQ(real, ReportValue(ReadFileText(report), "self"));
}

TEST_F(WinExecTest, AProgramThatCannotStartIsReported) {
  UnattendedSeam seam;
  ScratchDir d;
  std::string missing = d / "missing.exe";
  EXPECT_FALSE(RunAndWait(missing, "/x"));
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("error", asked[0].icon);
  EXPECT_EQ("CreateProcess(" + missing + " /x,/x,...) returned \r" + LastErrorTextFor(2), asked[0].text);
}

TEST_F(WinExecTest, ShellFailuresAreReportedWithTheirCode) {
  UnattendedSeam seam;
  ScratchDir d;
  EXPECT_EQ(2, OpenWithShell(d / "missing.txt", "-p", true));
  WriteFileText(d / "file.tolvexnoassoc", "x");
  int rc = OpenWithShell(d / "file.tolvexnoassoc", "", true);
  EXPECT_EQ(31, rc);
  EXPECT_EQ(2, OpenWithShell(d / "missing.txt", "", false));  // no report asked for
  auto asked = seam.Asked();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("File not found.\r" + (d / "missing.txt") + " -p", asked[0].text);
  EXPECT_EQ(0u, asked[1].text.find("ShellExecute(" + (d / "file.tolvexnoassoc") + ",) returned 31\r[Error:"));
}

TEST(LastErrorText, CoversTheWholeTable) {
  struct Case {
    unsigned long code;
    const char* text;
  } cases[] = {
      {2, "Specified file not found, or there is no application associated with this file type."},
      {3, "Specified path not found, or there is no application associated with this file type."},
      {5, "Windows 95 only: The operating system denied access to the specified file."},
      {8, "Windows 95 only: There was not enough memory to complete the operation."},
      {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
      {19, "Media is write protected"},
      {21, "Device not ready"},
      {26, "A sharing violation occurred."},
      {27, "The filename association is incomplete or invalid."},
      {28, "The DDE transaction could not be completed because the request timed out."},
      {29, "The DDE transaction failed."},
      {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
      {31, "There is no application associated with the given filename extension."},
      {32, "Windows 95 only: The specified dynamic-link library was not found."},
      {33, "File in use"},
      {39, "Disk full"},
      {112, "Disk full"},
      {276, "Corrupt file or disk"},
      {1005, "Corrupt file or disk"},
      {1392, "Corrupt file or disk"},
      {1393, "Corrupt file or disk"},
      {1009, "Corrupt registry"},
      {1358, "Corrupt registry"},
      {1150, "Windows version incorrect"},
      {1151, "Not a windows Or MSDos Program"},
      {0, "General failure. Is there a program associated with this file type?"},
      {4, "General failure. Is there a program associated with this file type?"},
  };
  for (const Case& c : cases)
    EXPECT_EQ("[Error:" + std::to_string(c.code) + "] " + c.text, LastErrorTextFor(c.code));
  SetLastError(112);
  EXPECT_EQ("[Error:112] Disk full", LastErrorText());
}
