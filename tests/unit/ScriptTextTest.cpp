// The script's text grammar: lines, sections, values, identifiers and file lines. Pure
// text, so these run natively as well as under Wine.
#include <gtest/gtest.h>

#include "UFileLineText.h"
#include "UIdentText.h"
#include "UScriptText.h"
#include "UText.h"

using namespace tolvex;

namespace {

// Code units below 256 as bytes, the rest as "?": what a Western code page makes of them.
std::string Latin1(const std::u16string& w) {
  std::string s;
  for (char16_t c : w) s += c < 256 ? static_cast<char>(c) : '?';
  return s;
}

std::vector<std::string> Section(const std::string& text, const std::string& name, bool* found = nullptr) {
  std::vector<ScriptLine> lines;
  bool f = CollectSectionLines(SplitScriptLines(text), name, lines);
  if (found) *found = f;
  std::vector<std::string> out;
  for (const ScriptLine& l : lines) out.push_back(std::to_string(l.number) + ":" + l.text);
  return out;
}

}  // namespace

TEST(ScriptLines, EveryLineBreakEndsALine) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then a lone CR: two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {"", {}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, SplitScriptLines(c.text)) << c.text;
}

TEST(ScriptLines, ByteOrderMarksAreReadAndConverted) {
  struct Case {
    std::string bytes;
    ScriptEncoding encoding;
    std::string text;
  } cases[] = {
      {"[FILES]\r\n", ScriptEncoding::Ansi, "[FILES]\r\n"},
      {"\xEF\xBB\xBF[FILES]", ScriptEncoding::Utf8, "[FILES]"},
      {"\xEF\xBB\xBF" "caf\xC3\xA9 \xE2\x82\xAC", ScriptEncoding::Utf8, "caf\xE9 ?"},
      {"\xEF\xBB\xBF" "a\xC3" "b\xE2\x82", ScriptEncoding::Utf8, "a?b?"},   // cut sequences
      {"\xEF\xBB\xBF\xC0\xAF\xED\xA0\x80", ScriptEncoding::Utf8, "???"},  // overlong, surrogate
      {"\xEF\xBB\xBF\xF0\x9F\x98\x80", ScriptEncoding::Utf8, "??"},       // a pair, both unshowable
      {std::string("\xFF\xFE[\0F\0]\0\xE9\0", 10), ScriptEncoding::Utf16Le, "[F]\xE9"},
      {std::string("\xFF\xFE" "a\0b", 5), ScriptEncoding::Utf16Le, "a"},  // odd last byte dropped
      {std::string("\xFF\xFE\x00\xD8" "a\0", 6), ScriptEncoding::Utf16Le, "?a"},  // lone surrogate
      {std::string("\xFE\xFF\0[\0F\0]", 8), ScriptEncoding::Utf16Be, "[F]"},
      {"\xEF\xBB", ScriptEncoding::Ansi, "\xEF\xBB"},  // too short to be a mark
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.encoding, DetectScriptEncoding(c.bytes)) << c.bytes;
    EXPECT_EQ(c.text, DecodeScriptBytes(c.bytes, &Latin1)) << c.bytes;
  }
}

TEST(ScriptSections, HeadersInAnyCaseAndRepeatedCollectInFileOrder) {
  const std::string script =
      "[INSTALL]\r\n"
      "productname=V\r\n"
      "[files]\r\n"
      "1=a\r\n"
      "   ; an indented comment\r\n"
      "\r\n"
      "2=;b\r\n"  // a value beginning with ";" is an item
      "   [RUN] ; the run items\r\n"
      "r=x\r\n"
      "[FILES]  ; more files\r\n"
      "  3 = c\r\n"
      "[FILES2]\r\n"
      "4=d\r\n";
  bool found = false;
  EXPECT_EQ((std::vector<std::string>{"4:1=a", "7:2=;b", "11:3 = c"}), Section(script, "FILES", &found));
  EXPECT_TRUE(found);
  EXPECT_EQ((std::vector<std::string>{"9:r=x"}), Section(script, "RUN"));
  EXPECT_TRUE(Section(script, "SHORTCUTS", &found).empty());
  EXPECT_FALSE(found);
  Section("[SHORTCUTS]\r\n; nothing yet\r\n", "SHORTCUTS", &found);
  EXPECT_TRUE(found);  // present but empty
  // Trailing blanks stay at this stage; tabs are not the spaces that are removed.
  EXPECT_EQ((std::vector<std::string>{"2:a  ", "3:\t;x"}), Section("[F]\r\n a  \r\n\t;x\r\n", "F"));
}

TEST(ScriptSections, ItemValues) {
  struct Case {
    const char *line, *value;
  } cases[] = {
      {"1=C:\\a.txt", "C:\\a.txt"},
      {"C:\\a.txt", "C:\\a.txt"},                  // no key
      {"  1 =  C:\\a.txt  ", "C:\\a.txt"},
      {"Item=", "Item"},                            // key only: the key is the value
      {"Item", "Item"},
      {"1=a=b=c", "a=b=c"},                         // further "=" belong to the value
      {"=", ""},
      {"=x", "x"},
      {"1=;x", ";x"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, SectionItemValue(c.line)) << c.line;
}

TEST(ScriptSections, CustomDirLines) {
  struct Case {
    const char* line;
    std::string name, display, list;
    bool equals;
  } cases[] = {
      {"OtherApp=.oth|{1234}", "OtherApp", "", ".oth|{1234}", true},
      {" OtherApp | Other Application = .oth ", "OtherApp", "Other Application", ".oth", true},
      {"A|B|C=.x=ignored", "A", "B", ".x", true},
      {"NoEquals|Shown", "NoEquals", "Shown", "", false},
      {"=.x", "", "", ".x", true},
  };
  for (const Case& c : cases) {
    CustomDirLine d = ParseCustomDirLine(c.line);
    EXPECT_EQ(c.name, d.name) << c.line;
    EXPECT_EQ(c.display, d.displayName) << c.line;
    EXPECT_EQ(c.list, d.searchList) << c.line;
    EXPECT_EQ(c.equals, d.hasEquals) << c.line;
  }
}

namespace {

struct Resolver {
  std::vector<CustomDirRec> dirs;
  std::vector<std::string> asked;  // names the named-folder stub was asked for
  IdentifierSet Set() {
    IdentifierSet ids;
    ids.fixed = {{"<exedir>", "C:\\App"}, {"<exedirup1>", "C:\\"}, {"<setupdir>", "D:\\<setupdir>"}};
    ids.customDirs = &dirs;
    ids.namedFolder = [this](const std::string& name) {
      asked.push_back(name);
      if (EqualsNoCase(name, "windir")) return std::string("C:\\Windows");
      if (name == "loop") return std::string("<loop>x");  // brings itself back
      return std::string();
    };
    return ids;
  }
};

}  // namespace

TEST(Identifiers, FixedCustomAndNamedFolders) {
  Resolver r;
  CustomDirRec found;
  found.name = "Other";
  found.path = "E:\\Other";
  CustomDirRec skippedByUser;
  skippedByUser.name = "Asked";
  skippedByUser.skip = skippedByUser.prompted = true;
  CustomDirRec skippedByScript;
  skippedByScript.name = "Quiet";
  skippedByScript.skip = true;
  r.dirs = {found, skippedByUser, skippedByScript};
  struct Case {
    std::string text, want;
    bool byUser, skipped, unknown;
  } cases[] = {
      {"<EXEDIR>\\a", "C:\\App\\a", false, false, false},
      {"<exedirup1>x", "C:\\x", false, false, false},
      {"<setupdir>", "D:\\<setupdir>", false, false, true},  // a value is never searched again
      {"<Other>\\a;<OTHER>\\b", "E:\\Other\\a;E:\\Other\\b", false, false, false},
      {"<other>\\a", "<other>\\a", false, false, true},       // only the declared letter case
      {"<Asked>\\a", "<Asked>\\a", true, true, true},
      {"<Quiet>\\a", "<Quiet>\\a", false, true, true},
      {"<windir>\\<WINDIR>", "C:\\Windows\\C:\\Windows", false, false, false},
      {"a < b", "a < b", false, false, true},                 // a lone "<" is unknown
      {"a > b <windir>", "a > b <windir>", false, false, true},  // ">" before "<": nothing looked up
      {"<nope>\\<windir>", "<nope>\\<windir>", false, false, true},  // stops at the first unknown
      {"<loop>", "<loop>" + std::string(999, 'x'), false, false, true},  // 999 rounds at most
      {"plain", "plain", false, false, false},
  };
  for (const Case& c : cases) {
    ResolvedText t = ResolveIdentifierText(c.text, r.Set());
    EXPECT_EQ(c.want, t.text) << c.text;
    EXPECT_EQ(c.byUser, t.skippedByUser) << c.text;
    EXPECT_EQ(c.skipped, t.skipped) << c.text;
    EXPECT_EQ(c.unknown, t.unknown) << c.text;
  }
}

TEST(Identifiers, At999OccurrencesOneIdentifierStops) {
  Resolver r;
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "<exedir>;";
  std::string want;
  for (int i = 0; i < 999; ++i) want += "C:\\App;";
  EXPECT_EQ(want + "<exedir>;", ResolveIdentifierText(text, r.Set()).text);
}

TEST(Identifiers, NamedFolderForms) {
  struct Case {
    const char* name;
    NamedFolderKind kind;
    int csidl;
    const char* expression;
  } cases[] = {
      {"$14", NamedFolderKind::SpecialFolder, 20, ""},
      {"csidlfonts", NamedFolderKind::SpecialFolder, 20, ""},
      {"CSIDLFonts", NamedFolderKind::SpecialFolder, 20, ""},
      {"$114", NamedFolderKind::SpecialFolder, 20, ""},  // modulo 256
      {"$1A", NamedFolderKind::SpecialFolder, 26, ""},
      {"$", NamedFolderKind::None, -1, ""},
      {"$1g", NamedFolderKind::None, -1, ""},
      {"$123456789", NamedFolderKind::None, -1, ""},  // past 32 bits
      {"csidldesktop", NamedFolderKind::SpecialFolder, 0, ""},
      {"csidlconnections", NamedFolderKind::SpecialFolder, 49, ""},
      {"csidlnothing", NamedFolderKind::None, -1, ""},
      {"csidl", NamedFolderKind::None, -1, ""},
      {"@.TXT;.doc", NamedFolderKind::Association, -1, ".txt;.doc"},
      {"WinDir", NamedFolderKind::WinDir, -1, ""},
      {"winsysdir", NamedFolderKind::WinSysDir, -1, ""},
      {"TEMPDIR", NamedFolderKind::TempDir, -1, ""},
      {"driversdir", NamedFolderKind::DriversDir, -1, ""},
      {"exedir", NamedFolderKind::None, -1, ""},
      {"", NamedFolderKind::None, -1, ""},
  };
  for (const Case& c : cases) {
    NamedFolderRef ref = ClassifyNamedFolder(c.name);
    EXPECT_EQ(c.kind, ref.kind) << c.name;
    EXPECT_EQ(c.csidl, ref.csidl) << c.name;
    EXPECT_EQ(c.expression, ref.expression) << c.name;
  }
  EXPECT_EQ(45u, SpecialFolderNames().size());
}

// The checker's view of the same texts: what each needs, and each problem once.
TEST(Identifiers, CheckerScanOfNeedsAndProblems) {
  IdentifierNames names;
  names.fixed = {"<exedir>", "<setupdir>", "<windir>"};
  names.cd = {"<setupdir>"};
  names.custom = {"Docs"};
  struct Case {
    const char* text;
    bool cd, other;
    int problems;
    const char* first;  // in the first problem's text
  } cases[] = {
      {"<SETUPDIR>\\a.txt", true, false, 0, ""},  // fixed ones in any letter case
      {"<WinDir>", false, true, 0, ""},  // fixed before it is a named folder
      {"<docs>\\x", false, true, 1, "declares it as \"<Docs>\""},
      {"<docs>;<Docs>", false, true, 0, ""},  // the declared spelling carries the other
      {"a>b<csidlfonts>", false, true, 1, "the \">\" before it"},
      {"<csidlfont>", false, false, 1, "45 special-folder names"},
      {"<nothing>", false, false, 1, "unknown identifier \"<nothing>\""},
      {"<a<setupdir>", true, false, 1, "without its"},
  };
  for (const Case& c : cases) {
    IdentifierScan scan = ScanIdentifiers(c.text, names);
    EXPECT_EQ(c.cd, scan.cd) << c.text;
    EXPECT_EQ(c.other, scan.other) << c.text;
    ASSERT_EQ(static_cast<size_t>(c.problems), scan.problems.size()) << c.text;
    if (c.problems) {
      EXPECT_NE(std::string::npos, scan.problems[0].find(c.first)) << c.text;
    }
  }
}

TEST(FileLines, TokensFieldsAndRest) {
  struct Case {
    std::string line;
    std::vector<std::string> tokens;
    std::string rest, source, destination, flags;
    bool tokensOnly;
  } cases[] = {
      {"a.txt, <exedir>\\a.txt, VU", {}, "a.txt, <exedir>\\a.txt, VU", "a.txt", "<exedir>\\a.txt", "VU", false},
      {" $Lang_de , $Lang_fr&$Lang_!en, a, b, O", {"$Lang_de", "$Lang_fr&$Lang_!en"}, " a, b, O", "a", "b", "O", false},
      {"$Lang_de", {"$Lang_de"}, "", "", "", "", true},
      {"$Lang_de,$Lang_fr", {"$Lang_de", "$Lang_fr"}, "", "", "", "", true},
      {"$Lang_de,", {"$Lang_de"}, "", "", "", "", false},
      {"a,b", {}, "a,b", "a", "b", "", false},
  };
  for (const Case& c : cases) {
    FileLineParts p = SplitFileLine(c.line);
    EXPECT_EQ(c.tokens, p.tokens) << c.line;
    EXPECT_EQ(c.rest, p.rest) << c.line;
    ASSERT_EQ(8u, p.fields.size()) << c.line;
    EXPECT_EQ(c.source, p.fields[0]) << c.line;
    EXPECT_EQ(c.destination, p.fields[1]) << c.line;
    EXPECT_EQ(c.flags, p.fields[2]) << c.line;
    EXPECT_EQ(c.tokensOnly, p.tokensOnly) << c.line;
  }
}

TEST(FileLines, LanguageConditions) {
  struct Case {
    const char *token, *current;
    bool valid, value;
  } cases[] = {
      {"$Lang_de", "de", true, true},
      {"$LANG_DE", "de", true, true},
      {"$Lang_de", "en", true, false},
      {"$Lang_!en & $Lang_!de", "en", true, false},
      {"$Lang_!en & $Lang_!de", "jp", true, true},
      {"$Lang_!en&$Lang_xx", "en", true, false},   // stops at the first false part
      {"$Lang_!en&$Lang_xx", "jp", false, false},  // ... or finds the bad one
      {"$Lang_xx", "en", false, false},
      {"$Ver_5", "en", false, false},
      {"$Lang_", "en", false, false},
      {"$Lang_de&", "de", true, true},              // an empty part ends the token
      {"&$Lang_de", "de", false, false},
      {"$Lang_en", "", true, false},                // no language matched this PC
      {"$Lang_!en", "", true, true},
  };
  for (const Case& c : cases) {
    ConditionValue v = EvalConditionToken(c.token, c.current);
    EXPECT_EQ(c.valid, v.valid) << c.token << " on " << c.current;
    EXPECT_EQ(c.value, v.value) << c.token << " on " << c.current;
  }
}

TEST(FileLines, FlagsAndSelection) {
  struct Case {
    const char* flags;
    bool hasMode;
    CopyMode mode;
    bool updateOnly, uninstall;
  } cases[] = {
      {"VU", true, CopyMode::VersionOrDateNewer, false, true},
      {"Xu", true, CopyMode::VersionOrDateNewer, true, true},
      {"OD", true, CopyMode::Always, false, false},
      {"d", true, CopyMode::DateNewer, false, false},
      {"$", true, CopyMode::AnyDifference, false, false},
      {"XD", true, CopyMode::DateNewer, true, false},
      {"U", false, CopyMode::AnyDifference, false, true},
      {"-", false, CopyMode::AnyDifference, false, false},
  };
  for (const Case& c : cases) {
    CopyFlags f = DecodeCopyFlags(c.flags);
    EXPECT_EQ(c.hasMode, f.hasMode) << c.flags;
    EXPECT_EQ(c.mode, f.mode) << c.flags;
    EXPECT_EQ(c.updateOnly, f.updateOnly) << c.flags;
    EXPECT_EQ(c.uninstall, f.addToUninstall) << c.flags;
  }
  const std::pair<const char*, int> selections[] = {{"", 0}, {"0", 0}, {"1", 1}, {"a", 2}, {"A", 2},
                                                    {"s1", 3}, {"S1", 3}, {"S", 4}, {"s2", 4}, {"x", 0}};
  for (const auto& s : selections) EXPECT_EQ(s.second, DecodeSelection(s.first)) << s.first;
  EXPECT_FALSE(NamesConditionFile("-"));
  EXPECT_FALSE(NamesConditionFile(""));
  EXPECT_TRUE(NamesConditionFile("C:\\x.dll"));
}
