// The script checker run as the program runs it (/verify through the start-up), with
// broken scripts on a scratch CD and the report lines checked exactly.
#include <windows.h>

#include "TestSupport.h"
#include "UApp.h"
#include "ULog.h"
#include "UPaths.h"
#include "UStartup.h"
#include "UText.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// Six lines; a section written after it starts on line 7, its first item on line 8.
const char* const kInstall =
    "[INSTALL]\r\nproductname=Viewer\r\nSrchDir=Disk2\r\nExeAssoc=.tvxnothere\r\nDefaultGroup=Viewer\r\n"
    "IdFile=disk2.id\r\n";

struct Case {
  std::string script;                 // after kInstall
  std::vector<std::string> expected;  // report lines without the "Tolvex.ini" before them
};

class ScriptCheckTest : public TolvexTest {
 protected:
  ScratchDir cd;
  void SetUp() override {
    TolvexTest::SetUp();
    MakeDirPath(cd / "hh\\English");
    MakeDirPath(cd / "docs\\sub");
    WriteFileText(cd / "hh\\English\\hhupd.exe", "MZ");
    WriteFileText(cd / "docs\\a.chm", "x");
  }
  // Runs "/verify" (and extra arguments) on the script; the report's lines.
  std::vector<std::string> Verify(const std::string& ini, std::vector<std::string> args = {"/verify", "."}) {
    WriteFileText(cd / "Tolvex.ini", ini);
    ResetRunState(args, cd / "Tolvex.exe");
    UnattendedSeam seam;
    EXPECT_EQ(kRunEnd, GetStartupMode());
    asked = seam.Asked();
    std::vector<std::string> lines = SplitText(ReadFileText(cd / "verify.txt"), '\n');
    EXPECT_TRUE(lines.back().empty()) << "every line ends with CR LF";
    lines.pop_back();
    for (std::string& l : lines) {
      EXPECT_EQ('\r', l.back()) << l;
      l.pop_back();
    }
    return lines;
  }
  void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      std::vector<std::string> want;
      for (const std::string& e : c.expected) want.push_back("Tolvex.ini" + e);
      EXPECT_EQ(want, Verify(kInstall + c.script)) << c.script;
    }
  }
  std::vector<AnswerEntry> asked;
};

}  // namespace

TEST_F(ScriptCheckTest, ByteOrderMarksTheInstallSectionCannotTake) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string(kInstall)) utf16 += std::string(1, c) + '\0';
  const struct {
    std::string bytes, want;
  } cases[] = {
      {"\xEF\xBB\xBF" + std::string(kInstall),
       "Tolvex.ini(1): warning: a UTF-8 byte-order mark stands before \"[INSTALL]\": Windows does not read the "
       "section then; begin the file with a comment line, or save it without the mark"},
      {"\xEF\xBB\xBF; a comment first\r\n" + std::string(kInstall), ""},
      {utf16, "Tolvex.ini(1): warning: UTF-16 text: Windows 95, 98 and ME cannot read [INSTALL] from it; save it as "
              "ANSI text to install there"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = Verify(c.bytes);
    EXPECT_EQ(c.want.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.want}, lines) << c.bytes;
  }
}

TEST_F(ScriptCheckTest, InstallKeys) {
  RunCases({
      {"", {}},
      {"productname=\r\nExeAssoc=\r\n",  // the INI reader takes the first of a repeated key
       {}},
      {"RestartRequired=yes\r\nPatchCD=0x10\r\nUnInstall=$1F\r\nCopyVideos=-1\r\nShowShortCutWin=\r\n"
       "ShowShortcutErrors=1.5\r\n",
       {"(7): warning: \"RestartRequired=yes\" is not a number, so the install keeps the default (write 0 or 1)",
        "(12): warning: \"ShowShortcutErrors=1.5\" is not a number, so the install keeps the default (write 0 or 1)"}},
  });
  EXPECT_EQ((std::vector<std::string>{"Tolvex.ini(2): error: required key \"Productname=\" is missing or empty",
                                      "Tolvex.ini(2): error: required key \"ExeAssoc=\" is missing or empty",
                                      "Tolvex.ini(2): error: required key \"IdFile=\" is missing or empty"}),
            Verify("; no product yet\r\n[Install]\r\nSrchDir=s\r\nDefaultGroup=g\r\n"));
  // Written but empty: the key's own line.
  EXPECT_EQ((std::vector<std::string>{"Tolvex.ini(6): error: required key \"IdFile=\" is missing or empty"}),
            Verify("[INSTALL]\r\nproductname=V\r\nSrchDir=s\r\nExeAssoc=.x\r\nDefaultGroup=g\r\nIdFile=\r\n"));
  EXPECT_EQ("Tolvex.ini(0): error: required key \"SrchDir=\" is missing or empty",
            Verify("[FILES]\r\n<setupdir>\\docs\\a.chm,<exedir>\\a.chm,V\r\n").at(1));
}

TEST_F(ScriptCheckTest, Identifiers) {
  RunCases({
      {"[CUSTOMDIRS]\r\nApp|Lumen App=.lum\r\n[FILES]\r\n"
       "1=<SETUPDIR>\\docs\\a.chm,<ExeDir>\\a.chm,V\r\n"     // fixed ones in any case
       "2=<setupdir>\\docs\\a.chm,<App>\\x\\a.chm,V,,<windir>\\x.ini\r\n"
       "3=<$14>\\f.ttf,<@.txt>\\f.ttf,V\r\n"                 // PC folders: grammar only
       "4=<csidlfonts>\\f.ttf,<App>\\docs\\,V,,<app>\\y\r\n"  // one declared spelling covers all
       "5=<csidlfontz>\\f.ttf,<app>\\f.ttf,V\r\n"
       "6=<exedir\\a.chm,<foo>\\a.chm,V\r\n"
       "7=<winsysdir>\\a.dll,<<exedir>\\a.dll,V\r\n",
       {"(14): error: unknown identifier \"<csidlfontz>\": not one of the 45 special-folder names",
        "(14): error: \"<app>\" is not recognised: [CUSTOMDIRS] declares it as \"<App>\", and only that spelling is "
        "matched",
        "(15): error: a \"<\" without its \">\": an identifier is written \"<name>\"",
        "(15): error: unknown identifier \"<foo>\"",
        "(16): error: a \"<\" without its \">\": an identifier is written \"<name>\""}},
      {"[RUN]\r\n1=<exedir>\\tool.exe,> <tempdir>\\out.txt,Tool\r\n2=<exedir>\\tool.exe,<tempdir>\\a > b,Tool\r\n",
       {"(8): error: \"<tempdir>\" is not resolved: the \">\" before it ends the search for folders"}},
  });
}

TEST_F(ScriptCheckTest, FileLines) {
  RunCases({{"[FILES]\r\n"
             "1=$Lang_en & $Lang_!de,$Lang_ptb,<setupdir>\\docs\\a.chm,<exedir>\\a.chm,XU,r,-,S1,Help,Text\r\n"
             "2=$Lang_xx&$Lang_de,$Language_en,<setupdir>\\docs\\a.chm,<exedir>\\a.chm,V\r\n"
             "3=$Lang_en\r\n"
             "4=<setupdir>\\docs\\a.chm\r\n"
             "onlykey=\r\n"
             "6=<setupdir>\\docs\\a.chm,<exedir>\\a.chm,U\r\n"
             "[LIST3]\r\n"
             "1=<setupdir>\\docs\\a.chm,<exedir>\\a.chm,V,,,s,Help\r\n"
             "2=<setupdir>\\docs\\a.chm,<exedir>\\a.chm,V,,,S2,Help\r\n"
             "3=<setupdir>\\docs\\a.chm,<exedir>\\a.chm,V,,,2,Help\r\n"
             "4=<setupdir>\\docs\\a.chm,<exedir>\\x\\..\\..\\a.chm,V\r\n"      // climbs out
             "5=<setupdir>\\docs\\a.chm,<exedir>\\x\\..\\y\\.\\a.chm,V\r\n"  // stays below it
             "6=<setupdir>\\docs\\a.chm,<exedir>\\a?.chm,V\r\n",
             {"(9): error: unknown language code in the condition \"$Lang_xx\"",
              "(9): error: invalid condition \"$Language_en\": a condition is $Lang_<code> or $Lang_!<code>",
              "(10): error: condition tokens only: the line names no file",
              "(11): error: missing destination, flags: a line is source, destination, flags[, register, condition "
              "file, selection, caption, description]",
              "(12): error: missing destination, flags: a line is source, destination, flags[, register, condition "
              "file, selection, caption, description]",
              "(13): error: flags \"U\" name no copy mode (O, D, V, $ or X)",
              "(16): warning: selection \"S2\" is not one of 0, 1, A, S, S1: it is read as S",
              "(17): warning: selection \"2\" is not one of 0, 1, A, S, S1: it is read as 0",
              "(18): warning: destination \"<exedir>\\x\\..\\..\\a.chm\" climbs out of the application folder "
              "with \"..\": the files land outside what the application's install owns",
              "(20): warning: destination \"<exedir>\\a?.chm\" holds \"*\" or \"?\": no file or folder can have "
              "that name"}}});
}

TEST_F(ScriptCheckTest, SourcesOnTheCd) {
  std::string c = cd.Path();
  RunCases({{"[FILES]\r\n"
             "1=<setupdir>\\docs\\*.chm,<exedir>\\,V\r\n"
             "2=<setupdir>\\docs\\*.hlp,<exedir>\\,V\r\n"
             "3=<setupdir>\\docs\\b.chm,<exedir>\\b.chm,V\r\n"
             "4=<setupdir>\\docs\\,<exedir>\\docs\\,V\r\n"
             "5=<setupdir>\\videos\\,<exedir>\\videos\\,V\r\n"
             "6=<setupdir>\\docs\\,<exedir>\\docs,V\r\n"
             "7=<setupparentdir>\\" + ExtractFileName(c) + "\\docs\\a.chm,<exedir>\\a.chm,V\r\n"
             "8=<exedir>\\old.chm,<exedir>\\new.chm,V\r\n"  // on the PC: not looked for
             "9=C:\\nowhere\\a.chm,<exedir>\\a.chm,V\r\n",
             {"(9): error: no file on the CD matches \"" + c + "\\docs\\*.hlp\"",
              "(10): error: source \"" + c + "\\docs\\b.chm\" not found on the CD",
              "(12): error: source folder \"" + c + "\\videos\\\" not found on the CD",
              "(13): error: source \"" + c + "\\docs\\\" is a folder, but the destination does not end with \"\\\""}}});
}

TEST_F(ScriptCheckTest, InstallerPaths) {
  std::string c = cd.Path();
  RunCases({
      {"HHUpgrade=<setupdir>\\hh\\%s\\hhupd.exe\r\nIE4Install=hh\\%S\\ie.exe\r\nWMP10Installer=wmp\\wmp10.exe\r\n"
       "WMP9Codecs=hh\\English\\hhupd.exe\r\nSWFInstallerPath=<exedir>\\flash.exe\r\nCC32Upgrade=C:\\nowhere\\cc.exe\r\n"
       "ReadmeFile=<docs>\\readme.txt\r\n",
       {"(7): warning: HHUpgrade: no package for 27 other language(s) (German first): the install asks whether to go "
        "on without them",
        "(8): error: IE4Install: \"" + c + "\\hh\\English\\ie.exe\" not found on the CD (the English package is the "
        "fallback)",
        "(8): warning: IE4Install: no package for 27 other language(s) (German first): the install asks whether to go "
        "on without them",
        "(9): error: WMP10Installer: \"" + c + "\\wmp\\wmp10.exe\" not found on the CD",
        "(13): error: ReadmeFile: unknown identifier \"<docs>\""}},
  });
}

TEST_F(ScriptCheckTest, ListSectionsAndCustomDirs) {
  RunCases({{"[SHORTCUTS]\r\n1=<exedir>\\v.exe,/a,Viewer\r\n2=<exedir>\\v.exe,/a,b,Viewer\r\n"
             "[RUN]\r\n1=<setupdir>\\s.exe,/q,Setup,.tvx|{0000},Install?\r\n2=<setupdir>\\s.exe,/q,Setup,,Go?,now\r\n"
             "[CUSTOMDIRS]\r\nLab|Lab Manager=.lab\r\nLab2\r\n=.x\r\nLab3|Lab Three=\r\n",
             {"(15): error: no \"=\": a custom directory is written name[|display name]=search list",
              "(16): error: no name before \"=\"", "(17): error: empty search list: \"<Lab3>\" would never be found",
              "(9): error: 4 fields, but a [SHORTCUTS] line has 3: target, arguments, name",
              "(12): error: 6 fields, but a [RUN] line has 5: program, parameters, description, skip-if-found list, "
              "question"}}});
}

TEST_F(ScriptCheckTest, RunOutcome) {
  // Clean: an empty report replaces the old one; nothing of the install ran.
  WriteFileText(cd / "verify.txt", "old");
  EXPECT_TRUE(Verify(kInstall).empty());
  EXPECT_EQ(0, App().exitCode);
  for (const std::string& l : InstallLog().lines) EXPECT_EQ(std::string::npos, l.find("GetAllParameters")) << l;

  // Warnings only still pass; a relative "/verify=FILE" is taken from the current folder.
  MakeDirPath(cd / "out");
  char was[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, was);
  SetCurrentDirectoryA(cd.Path().c_str());
  Verify(kInstall + std::string("PatchCD=yes\r\n"), {"/verify=out\\r.txt", "."});
  SetCurrentDirectoryA(was);
  EXPECT_EQ(0, App().exitCode);
  EXPECT_EQ("information", asked.at(0).icon);
  EXPECT_EQ("Tolvex.ini: 0 error(s), 1 warning(s).\rSee " + (cd / "out\\r.txt"), asked[0].text);
}

TEST_F(ScriptCheckTest, FailuresOfTheCheckItself) {
  struct Failure {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"/verify"}, "(0): error: no source folder on the command line: Tolvex.exe /verify <source folder> (\".\" "
                    "for the program's folder)"},
      {{"/verify", cd / "nothere"}, "(0): error: the source folder \"" + (cd / "nothere") + "\" does not exist"},
  };
  for (const Failure& f : cases) {
    EXPECT_EQ(std::vector<std::string>{"Tolvex.ini" + f.line}, Verify(kInstall, f.args));
    EXPECT_EQ(1, App().exitCode);
  }
  // Missing and unreadable scripts: one line 0 error, nothing else looked at.
  DeleteFileA((cd / "Tolvex.ini").c_str());
  ResetRunState({"/verify", "."}, cd / "Tolvex.exe");
  {
    UnattendedSeam seam;
    GetStartupMode();
  }
  EXPECT_EQ("Tolvex.ini(0): error: the script \"" + (cd / "Tolvex.ini") +
                "\" was not found: it must lie beside the program, named after it\r\n",
            ReadFileText(cd / "verify.txt"));
  EXPECT_EQ(1, App().exitCode);
  WriteFileText(cd / "Tolvex.ini", "[FILES]\r\n<foo>\r\n");
  HANDLE lock = CreateFileA((cd / "Tolvex.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ResetRunState({"/verify", "."}, cd / "Tolvex.exe");
  {
    UnattendedSeam seam;
    GetStartupMode();
  }
  CloseHandle(lock);
  EXPECT_EQ("Tolvex.ini(0): error: the script \"" + (cd / "Tolvex.ini") + "\" could not be read\r\n",
            ReadFileText(cd / "verify.txt"));

  // A report that cannot be written: said in the box, exit code 1, no half-written file.
  ResetRunState({"/verify=" + (cd / "no\\such\\r.txt"), "."}, cd / "Tolvex.exe");
  WriteFileText(cd / "Tolvex.ini", kInstall);
  UnattendedSeam seam;
  GetStartupMode();
  EXPECT_EQ(1, App().exitCode);
  EXPECT_EQ("Tolvex.ini: 0 error(s), 0 warning(s).\rThe report could not be written to " + (cd / "no\\such\\r.txt") +
                " (error 3).",
            seam.Asked().at(0).text);
  EXPECT_FALSE(FolderExists(cd / "no"));
}
