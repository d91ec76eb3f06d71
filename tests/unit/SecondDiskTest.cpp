// The second-disk launch against real folders and the harness's extra drives: a: and n:
// removable, m: CD-ROM, o: fixed, p: network (see tests/harness/wine-run).
#include <windows.h>

#include <memory>

#include "TestSupport.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UPaths.h"
#include "USecondDisk.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

const char* const kTestDrives = "amnop";

// A product CD in a scratch folder with the program in its Tolvex folder, started as
// "/tolvex /setup.exe", and a second-disk folder name that only this layout uses, so the
// drive roots (shared by every test) hold nothing of another test's.
class Layout {
 public:
  Layout() {
    ResetRunState({"/tolvex", "/setup.exe"}, root_ / "Tolvex\\Tolvex.exe");
    for (const char* d = kTestDrives; *d; ++d)
      drives_.push_back(std::make_unique<ScratchDir>(std::string(1, *d) + ":\\" + name_));
    InstallParams& p = Params();
    p.productname = "Lumen";
    p.SrchDir = name_;
    p.IdFile = "disk2.id";
    p.setupparentdir = root_.Path();
    p.setupdir = root_ / "Tolvex";
  }
  const std::string& Name() const { return name_; }
  // "{root}" and "{N}" in a path stand for the scratch folder and the folder name.
  std::string At(const std::string& where) const {
    return ReplaceNoCase(ReplaceNoCase(where, "{root}", root_.Path()), "{N}", name_);
  }
  // The helper program as setup.exe in folder: it reports how it was started.
  std::string PlaceSetup(const std::string& where, bool withId = true) const {
    std::string folder = At(where);
    CopyFixture("tolvex_helper.exe", folder + "\\setup.exe");
    if (withId) WriteFileText(folder + "\\disk2.id", "");
    return folder + "\\setup.exe";
  }
  std::string Report() const { return root_ / "report.txt"; }
  // The search, with the report file as the setup's first argument; waits for the
  // report of a setup that was found, since the shell does not wait for it.
  std::string Run(std::vector<std::string> passOn = {}) const {
    passOn.insert(passOn.begin(), Report());
    std::string found;
    RunSecondDisk("setup.exe", passOn, found);
    if (!found.empty()) {
      EXPECT_TRUE(WaitForReport()) << found;
    }
    return found;
  }
  bool WaitForReport() const {
    for (int i = 0; i < 200; ++i, Sleep(50))
      if (FileExists(Report())) {
        Sleep(100);  // let the helper end before its folder is removed
        return true;
      }
    return false;
  }

 private:
  std::string name_ = UniqueName();
  ScratchDir root_;
  std::vector<std::unique_ptr<ScratchDir>> drives_;
};

std::string Expected(const Layout& l, const std::string& where) { return where.empty() ? "" : l.At(where) + "\\setup.exe"; }

}  // namespace

class SecondDiskTest : public TolvexTest {};

TEST_F(SecondDiskTest, TheHarnessDrivesHaveTheirTypes) {
  struct Case {
    char letter;
    UINT type;
  } cases[] = {{'a', DRIVE_REMOVABLE}, {'m', DRIVE_CDROM}, {'n', DRIVE_REMOVABLE}, {'o', DRIVE_FIXED},
               {'p', DRIVE_REMOTE}};
  for (const Case& c : cases) EXPECT_EQ(c.type, GetDriveTypeA((std::string(1, c.letter) + ":\\").c_str())) << c.letter;
}

TEST_F(SecondDiskTest, FindsTheFirstPlaceThatQualifies) {
  struct Place {
    std::string where;
    bool withId;
  };
  struct Case {
    std::vector<Place> places;
    std::string otherDir;
    std::string want;
  } cases[] = {
      {{{"{root}\\Tolvex\\{N}", true}}, "", "{root}\\Tolvex\\{N}"},
      {{{"{root}\\Tolvex\\Tolvex\\{N}", true}}, "", "{root}\\Tolvex\\Tolvex\\{N}"},
      {{{"{root}\\{N}", true}}, "", "{root}\\{N}"},
      // Without the IdFile a folder does not count for itself; the search below the
      // program, which asks for no IdFile, then finds it.
      {{{"{root}\\Tolvex\\{N}", false}}, "", "{root}\\Tolvex\\{N}"},
      {{{"{root}\\Tolvex\\{N}", false}, {"{root}\\{N}", true}}, "", "{root}\\{N}"},
      {{{"{root}\\Tolvex\\Tolvex\\{N}", false}, {"o:\\{N}", false}}, "", "o:\\{N}"},
      {{{"{root}\\{N}", false}, {"m:\\{N}", false}}, "", "{root}\\{N}"},
      {{{"{root}\\other", true}}, "{root}\\other", "{root}\\other"},
      {{{"{root}\\other", true}, {"n:\\{N}", false}}, "{root}\\other", "n:\\{N}"},
  };
  for (const Case& c : cases) {
    Layout l;
    for (const Place& p : c.places) l.PlaceSetup(p.where, p.withId);
    Params().OtherDir = l.At(c.otherDir);
    UnattendedSeam seam;
    EXPECT_EQ(Expected(l, c.want), l.Run()) << c.want;
    EXPECT_TRUE(seam.Asked().empty()) << c.want;
  }
}

TEST_F(SecondDiskTest, DriveSearchTakesFixedCdRomAndRemovableBeyondC) {
  struct Case {
    std::string drivesWithSetup;
    char want;  // 0: not found
  } cases[] = {{"a", 0}, {"p", 0}, {"n", 'n'}, {"o", 'o'}, {"m", 'm'}, {"om", 'm'}, {"ao", 'o'}};
  for (const Case& c : cases) {
    Layout l;
    for (char d : c.drivesWithSetup) l.PlaceSetup(std::string(1, d) + ":\\{N}", false);
    FileSearchResult r = DoFileSearch2(l.Name(), "setup.exe");
    EXPECT_EQ(c.want ? l.At(std::string(1, c.want) + ":\\{N}\\setup.exe") : "", r.found) << c.drivesWithSetup;
  }
}

TEST_F(SecondDiskTest, TheTraceNamesEveryPlaceTried) {
  Layout l;
  std::string tail = "\\" + l.Name() + "\\setup.exe";
  std::string tried = "*\r\nFileExists(" + l.At("{root}\\Tolvex") + tail + ")\r\nFileExists(" + l.At("{root}") + tail + ")";
  // The drives of the harness prefix: c: and z: are Wine's own fixed drives.
  for (const char* d : {"c:", "m:", "n:", "o:", "z:"}) tried += "\r\nFileExists(" + std::string(d) + tail + ")";
  EXPECT_EQ(tried, DoFileSearch2(" \\" + l.Name() + "\\ ", " setup.exe ").trace);

  l.PlaceSetup("n:\\{N}", false);
  std::string upToN = tried.substr(0, tried.find("\r\nFileExists(o:"));
  EXPECT_EQ(upToN + "==> Found\r\naIDFile = ", DoFileSearch2(l.Name(), "setup.exe").trace);
  EXPECT_EQ("*", DoFileSearch2(l.Name(), "  ").trace);
}

TEST_F(SecondDiskTest, AFolderWithADriveOrShareIsTheOnlyPlaceTried) {
  Layout l;
  l.PlaceSetup("m:\\{N}", false);  // the drive search would find this one
  struct Case {
    std::string folder, tried;
    bool found;
  } cases[] = {
      {"o:\\{N}\\", "o:\\{N}\\setup.exe", false},
      {"  m:\\{N}\\\\", "m:\\{N}\\setup.exe", true},
      {"\\\\tolvexnohost\\share\\{N}", "\\\\tolvexnohost\\share\\{N}\\setup.exe", false},
      {"//tolvexnohost/share/{N}", "//tolvexnohost/share/{N}\\setup.exe", false},
  };
  for (const Case& c : cases) {
    FileSearchResult r = DoFileSearch2(l.At(c.folder), "setup.exe");
    std::string want = "*\r\nFileExists(" + l.At(c.tried) + ")";
    if (c.found) want += "==> Found\r\naIDFile = ";
    EXPECT_EQ(want, r.trace) << c.folder;
    EXPECT_EQ(c.found ? l.At(c.tried) : "", r.found) << c.folder;
  }
}

TEST_F(SecondDiskTest, TheLogFollowsTheSearch) {
  Layout l;
  std::string found = l.PlaceSetup("o:\\{N}", false);
  Params().OtherDir = l.At("{root}\\other");
  UnattendedSeam seam;
  l.Run({"a"});
  std::string cd = l.At("{root}\\Tolvex\\{N}");
  const auto& lines = InstallLog().lines;
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(">Tolvex: debug - _ini_SrchDir = " + l.Name(), lines[0]);
  EXPECT_EQ(">Tolvex: debug - FileExists(" + cd + "\\setup.exe) AND FileExists(" + cd + "\\disk2.id) = ", lines[1]);
  EXPECT_EQ(">Tolvex: debug - DoFileSearch2() returned = " + found, lines[5]);
  EXPECT_EQ(0u, lines[6].find(">>*\r\nFileExists("));
  std::string other = l.At("{root}\\other");
  EXPECT_EQ(">Tolvex: debug - FileExists(" + other + "\\setup.exe) AND FileExists(" + other + "\\disk2.id) = " + found,
            lines[7]);
  EXPECT_EQ(">Tolvex: Running - " + found + ", Params=\"" + l.Report() + " a\"", lines[8]);
}

TEST(SecondDisk, ArgumentsArePassedOnWhole) {
  struct Case {
    std::vector<std::string> args;
    std::string text;
  } cases[] = {
      {{}, ""}, {{"a", "b"}, "a b"}, {{"/s", "C:\\My Docs\\x.log"}, "/s \"C:\\My Docs\\x.log\""}, {{"", "x"}, "\"\" x"}};
  for (const Case& c : cases) EXPECT_EQ(c.text, PassOnText(c.args));
}

TEST_F(SecondDiskTest, InsertingTheDiskAndOkFindsIt) {
  Layout l;
  std::string where = "{root}\\Tolvex\\{N}";
  DialogDriver driver("Lumen Setup", [&](HWND box) {
    l.PlaceSetup(where);
    ClickButton(box, IDOK);
  });
  std::string found = l.Run();
  ASSERT_TRUE(driver.Join());
  EXPECT_EQ("Please remove the CD and insert the Lumen Help && Videos CD.\r\n\r\nPress OK to continue the installation!",
            driver.SeenText());
  EXPECT_EQ(Expected(l, where), found);
  EXPECT_TRUE(LogHasLine(">Tolvex: insert the disk - OK: searching again"));
}

TEST_F(SecondDiskTest, CancelThenYesOrNoEndsTheSearchWithTheRestartAdvice) {
  const std::string patch = "\r\nRemove the CD-ROM, restart Windows and insert the Patches CD-ROM if available.";
  const std::string restart =
      "Important: To complete the application software installation, you must now restart Windows.";
  struct Case {
    std::string answer;
    bool patchCd, restartRequired;
    std::string info, logged;
  } cases[] = {
      {"Yes", true, false, patch, ">Tolvex: not installed - Yes: going on without the second disk"},
      {"No", true, true, patch, ">Tolvex: not installed - No: quitting the install program"},
      {"No", false, true, restart, ">Tolvex: not installed - No: quitting the install program"},
      {"Yes", false, false, "", ">Tolvex: not installed - Yes: going on without the second disk"},
  };
  for (const Case& c : cases) {
    Layout l;
    l.PlaceSetup("{root}\\Tolvex\\Tolvex\\{N}", false);  // without its IdFile: not the second disk
    Params().PatchCD = c.patchCd;
    Params().RestartRequired = c.restartRequired;
    UnattendedSeam seam("answer: Cancel\n\nanswer: " + c.answer + "\n");
    EXPECT_EQ("", l.Run());
    auto asked = seam.Asked();
    ASSERT_EQ(c.info.empty() ? 2u : 3u, asked.size()) << c.info;
    EXPECT_EQ("OKCancel", asked[0].kind);
    EXPECT_EQ("YesNo", asked[1].kind);
    EXPECT_EQ("You have chosen not to install Tolvex. Online help, patches and other support files have not been "
              "installed.\r\rContinue installation? Click \"Yes\" to continue or \"No\" to quit the install program.",
              asked[1].text);
    if (!c.info.empty()) {
      EXPECT_EQ("information", asked[2].icon);
      EXPECT_EQ(c.info, asked[2].text);
    }
    EXPECT_TRUE(LogHasLine(c.logged)) << c.logged;
    EXPECT_FALSE(FileExists(l.Report()));
  }
}

TEST_F(SecondDiskTest, AnUnattendedRunWithoutAnAnswerDoesNotWaitForTheDisk) {
  Layout l;
  UnattendedSeam seam;  // nothing answered: OK would search again for ever
  EXPECT_EQ("", l.Run());
  auto asked = seam.Asked();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("OK", asked[0].answer);
  EXPECT_EQ("Yes", asked[1].answer);
  EXPECT_TRUE(LogHasLine(">Tolvex: insert the disk - OK by default in an unattended run: taken as Cancel"));
}

TEST_F(SecondDiskTest, ASetupThatCannotStartIsReported) {
  Layout l;
  std::string folder = l.At("{root}\\Tolvex\\{N}");
  MakeDirPath(folder);
  WriteFileText(folder + "\\setup.exe", "not a program");
  WriteFileText(folder + "\\disk2.id", "");
  UnattendedSeam seam;
  std::string found;
  RunSecondDisk("setup.exe", {}, found);
  EXPECT_EQ(folder + "\\setup.exe", found);
  auto asked = seam.Asked();
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("error", asked[0].icon);
  bool logged = false;
  for (const std::string& line : InstallLog().lines)
    logged |= line.find("** Error: \"" + found + "\" could not be started: ShellExecute returned ") == 0;
  EXPECT_TRUE(logged);
}
