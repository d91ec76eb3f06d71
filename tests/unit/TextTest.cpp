#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "UByteSizeText.h"
#include "UAnswerText.h"
#include "UCmdLine.h"
#include "UCodePage.h"
#include "UCrcText.h"
#include "UDigestText.h"
#include "UFileLineText.h"
#include "UGuidText.h"
#include "UIdentText.h"
#include "UScriptText.h"
#include "UText.h"
#include "UUninstListText.h"
#include "UVersionText.h"

using namespace tolvex;

TEST(ExpandProductText, ReplacesProductAndLineBreaks) {
  struct Case {
    const char *text, *product, *want;
  } cases[] = {
      {"%s Setup", "Viewer", "Viewer Setup"},
      {"%S and %s", "V", "V and V"},                       // any letter case
      {"a|b||c", "V", "a\r\nb\r\n\r\nc"},
      {"%s", "100%s", "100%s"},                            // no second pass over the value
      {"%s Setup", "", " Setup"},                          // before the script is read
      {"%s", "a|b", "a\r\nb"},                             // bars of the value break too
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ExpandProductText(c.text, c.product)) << c.text;
}

TEST(ExpandProductText, StopsAfter999ReplacementsPerPass) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "%s";
  std::string out = ExpandProductText(text, "x");
  EXPECT_EQ(std::string(999, 'x') + "%s", out);
}

TEST(FillPlaceholder, FillsTheFirstPlaceholderOnlyAndKeepsEveryOtherPercent) {
  struct Case {
    const char *pattern, *want;
    int extra;
  } cases[] = {
      {"/q:a /r:n /s:%s", "/q:a /r:n /s:D:\\IE4", 0},
      {"/s:%S", "/s:D:\\IE4", 0},                          // either case
      {"/s:%s /u:%s", "/s:D:\\IE4 /u:%s", 1},               // the second stays, counted
      {"%d %n %%s %-5s %s %", "%d %n %%s %-5s D:\\IE4 %", 0},  // "%%s" is no placeholder
      {"/q:a", "/q:a", 0},
      {"%", "%", 0},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    int extra = -1;
    EXPECT_EQ(c.want, FillPlaceholder(c.pattern, "D:\\IE4", extra)) << c.pattern;
    EXPECT_EQ(c.extra, extra) << c.pattern;
  }
  int extra = 0;
  EXPECT_EQ("/s:%s%d", FillPlaceholder("/s:%s", "%s%d", extra));  // the value is never scanned
}

TEST(Format, FillsDirectivesAndKeepsTheRest) {
  EXPECT_EQ("  ParamStr(1) = /script", Format("  ParamStr(%d) = %s", {1, "/script"}));
  EXPECT_EQ("x0409", Format("x%.4X", {0x409}));
  EXPECT_EQ("x1A2B3", Format("x%.4X", {0x1a2b3}));
  EXPECT_EQ("-12", Format("%d", {-12}));
  EXPECT_EQ("100% done", Format("100% done", {}));
  EXPECT_EQ("[ab   ]", Format("[%-5s]", {"ab"}));
  EXPECT_EQ("a %s", Format("%s %s", {"a"}));  // too few arguments: the rest stays
  EXPECT_EQ("%d", Format("%d", {"text"}));    // a text where a number belongs
  EXPECT_EQ("50%", Format("%d%%", {50}));
  // Widths are capped: no overflow, no megabytes of padding.
  EXPECT_EQ(1024u, Format("%88888888888d", {7}).size());
  EXPECT_EQ(1024u, Format("%350000000s", {"a"}).size());
  EXPECT_EQ("%88888888888d", Format("%88888888888d", {}));
}

TEST(ParseScriptInt, AcceptsTheScriptForms) {
  struct Case {
    const char* text;
    bool ok;
    long long value;
  } cases[] = {
      {"1", true, 1},     {"0", true, 0},     {"0x10", true, 16}, {"$10", true, 16},
      {"-5", true, -5},   {"+3", true, 3},    {"-$F", true, -15}, {"0XfF", true, 255},
      {"yes", false, 0},  {"", false, 0},     {"0x", false, 0},   {"$", false, 0},
      {"12a", false, 0},  {"1.5", false, 0},  {"-", false, 0},
  };
  for (const Case& c : cases) {
    long long v = -999;
    EXPECT_EQ(c.ok, ParseScriptInt(c.text, v)) << c.text;
    if (c.ok) {
      EXPECT_EQ(c.value, v) << c.text;
    }
  }
  long long big = 0;
  EXPECT_TRUE(ParseScriptInt("99999999999", big));  // still a number: true, never wrapped to 0
  EXPECT_GT(big, 0xFFFFFFFFLL);
  EXPECT_TRUE(ParseScriptInt("0x100000000", big));
  EXPECT_NE(0, big);
}

TEST(PathText, SplitsPathsTheWindowsWay) {
  EXPECT_EQ("C:\\a\\Tolvex.ini", ChangeFileExt("C:\\a\\Tolvex.exe", ".ini"));
  EXPECT_EQ("C:\\a.b\\Tolvex.ini", ChangeFileExt("C:\\a.b\\Tolvex", ".ini"));  // dot in a folder
  EXPECT_EQ("C:\\a\\x.y.ini", ChangeFileExt("C:\\a\\x.y.exe", ".ini"));
  EXPECT_EQ("C:", ExtractDrive("C:\\x\\y"));
  EXPECT_EQ("\\\\srv\\share", ExtractDrive("\\\\srv\\share\\dir"));
  EXPECT_EQ("", ExtractDrive("relative\\dir"));
  EXPECT_EQ("C:\\x", RemoveTrailingBackslashes("C:\\x\\\\"));
  EXPECT_EQ("C:\\x", ExtractFileDir("C:\\x\\file"));
  EXPECT_EQ("Bin", ExtractFileName("C:\\P\\Bin"));
}

// Code page 932: 機能 is 8B 40 94 5C and 表 95 5C (second byte a backslash), ア 83 41 and
// ッ 83 62 (second byte a letter), − 81 7C (second byte a bar). Code page 936: D5 5C.
TEST(PathText, DoubleByteCharactersAreNeverCutJoinedOrFoldedInside) {
  const std::string kino = "\x8b\x40\x94\x5c", hyo = "\x95\x5c", a = "\x83\x41", minus = "\x81\x7c";
  const std::string app = "C:\\Apps\\" + kino;
  struct Case {
    int codePage;
    std::function<std::string()> got;
    std::string want;
  } cases[] = {
      {932, [&] { return ExtractFileDir(app); }, "C:\\Apps"},
      {932, [&] { return ExtractFileName(app); }, kino},
      {932, [&] { return ExtractFileDir(app + "\\" + hyo + "\\x.chm"); }, app + "\\" + hyo},
      {932, [&] { return RemoveTrailingBackslashes(app); }, app},
      {932, [&] { return RemoveTrailingBackslashes(app + "\\\\"); }, app},
      {932, [&] { return IncludeTrailingBackslash(app); }, app + "\\"},
      {932, [&] { return ChangeFileExt("C:\\a.b\\" + hyo, ".ini"); }, "C:\\a.b\\" + hyo + ".ini"},
      {932, [&] { return ExtractDrive("\\\\srv\\" + hyo + "\\x"); }, "\\\\srv\\" + hyo},
      {932, [&] { return JoinAnswerFields(SplitText(kino + "\\" + hyo, '\\')); }, kino + " | " + hyo},
      {932, [&] { return LowerAscii("C:\\" + a + "A"); }, "c:\\" + a + "a"},
      {932, [&] { return UpperAscii("\x83\x62x"); }, "\x83\x62X"},
      {932, [&] { return std::to_string(EqualsNoCase("C:\\APPS\\" + a, "c:\\apps\\" + a)); }, "1"},
      {932, [&] { return std::to_string(EqualsNoCase(a, "\x83\x61")); }, "0"},
      {932, [&] { return std::to_string(FindNoCase(hyo + "\\x", "\\")); }, "2"},
      {932, [&] { return ReplaceNoCase(kino + "|", "|", "/"); }, kino + "/"},
      {932, [&] { return ParseUndoLine(";\"replaced\" C:\\A\\" + minus + ".dll|C:\\A\\" + minus + ".dll.~tvx0").aside; },
       "C:\\A\\" + minus + ".dll.~tvx0"},
      {932, [&] { return std::to_string(IsFullFilePath(app + "\\" + minus + ".chm")); }, "1"},
      {932, [&] { return ParseCustomDirLine("Docs|" + minus + "=HKLM\\" + hyo).displayName; }, minus},
      {932, [&] { return std::to_string(IsFolderItem("C:\\" + hyo, "C:\\x\\")); }, "0"},
      {932, [&] {
         std::string back;
         return UnescapeAnswerValue(EscapeAnswerValue(hyo + "\\"), back) ? back : "broken";
       }, hyo + "\\"},
      {936, [&] { return ExtractFileName("C:\\x\\\xd5\x5c"); }, "\xd5\x5c"},
      {936, [&] { return LowerAscii("\xb1\x41"); }, "\xb1\x41"},
      // A single-byte code page has no lead bytes: é (E9) is a character of its own.
      {1252, [&] { return ExtractFileDir("C:\\\xe9\\b"); }, "C:\\\xe9"},
  };
  for (const Case& c : cases) {
    SetLeadByteRanges(KnownLeadByteRanges(c.codePage));
    EXPECT_EQ(c.want, c.got()) << "code page " << c.codePage << ", row " << (&c - cases);
  }
  ResetCodePage();
}

TEST(PathText, ShortenPathGivesWayFromTheLeftAndKeepsDriveAndLastName) {
  const std::string app = "C:\\Program Files\\Tesmora\\Lumen Viewer\\help\\videos";
  struct Case {
    std::string path;
    size_t room;  // characters that fit
    std::string want;
  } cases[] = {
      {app, 60, app},
      {app, 40, "C:\\...\\Tesmora\\Lumen Viewer\\help\\videos"},
      {app, 31, "C:\\...\\Lumen Viewer\\help\\videos"},
      {app, 5, "C:\\...\\videos"},  // the last name stays, whatever the room
      {"\\\\srv\\share\\Lumen Viewer\\help", 20, "\\\\srv\\share\\...\\help"},
      {"C:\\videos", 3, "C:\\videos"},
      {"relative\\help\\videos", 3, "relative\\help\\videos"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, ShortenPath(c.path, [&](const std::string& s) { return s.size() <= c.room; })) << c.path;
}

TEST(SplitCommandLine, NumbersArgumentsLikeTheProgram) {
  std::vector<std::string> want = {"C:\\cd\\Tolvex.exe", "/script", "C:\\Program Files\\x\\", "ab"};
  EXPECT_EQ(want, SplitCommandLine("\"C:\\cd\\Tolvex.exe\"  /script \"C:\\Program Files\\x\\\" a\"\"b"));  // quotes group and vanish
  EXPECT_EQ(std::vector<std::string>({"a", "b"}), SplitCommandLine("  a\tb  "));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(CommandLine, SeamSwitchesNeverCountAsArguments) {
  InitCommandLine("x.exe /answers=C:\\a.txt /Quiet /script /TRANSCRIPT=C:\\t.txt /log=l.txt . extra", "C:\\cd\\Tolvex.exe");
  EXPECT_EQ(3, ParamCount());
  EXPECT_EQ("C:\\cd\\Tolvex.exe", ParamStr(0));
  EXPECT_EQ(".", ParamStr(2));
  EXPECT_EQ("extra", ParamStr(3));
  EXPECT_EQ("", ParamStr(4));
  EXPECT_EQ("C:\\a.txt", CommandLine().answersFile);
  EXPECT_EQ("C:\\t.txt", CommandLine().transcriptFile);
  EXPECT_TRUE(CommandLine().quiet && CommandLine().logGiven);
  EXPECT_EQ("l.txt", CommandLine().logFile);
  EXPECT_EQ(8u, CommandLine().logged.size());  // the log shows every argument
  EXPECT_TRUE(IsSwitchPresent("/SCRIPT"));
  EXPECT_FALSE(IsSwitchPresent("/script2"));
  InitCommandLine("x.exe /script2", "x.exe");
  EXPECT_FALSE(IsSwitchPresent("/script"));  // "/script2" is not "/script"
  ResetCommandLine();
}

TEST(VersionTexts, CompareWithWildcards) {
  struct Case {
    const char *a, *b;
    int want;
  } cases[] = {
      {"", "", 0},
      {"", "1.0", -1},
      {"1.0", "", 1},
      {"6.0", "6.0.2800.1106", 0},        // the missing release part ends the comparison
      {"6.1", "6.0.2800.1106", 1},
      {"2.0.0.0", "10.0.0.0", -1},        // numbers, not text
      {"5.2.3790.2744", "5.2.3790.2745", -1},
      {"5.2.3790.2744", "5.2.3790.2744", 0},
      {"4.72.3110.0", "4.72", 0},
      {"4.71.9.9", "4.72", -1},
      {"6.x.1.1", "6.9.9.9", 0},          // a non-number part is a wildcard
      {"1.-1", "1.7", 0},                 // -1 modulo 65536 is 65535, the wildcard
      {"65536.0.0.0", "0.0.0.0", 0},      // modulo 65536
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, CompareVersionTexts(c.a, c.b)) << c.a << " vs " << c.b;
}

TEST(VersionTexts, PatternsAndFourPartOrder) {
  VersionParts v{6, 3, 2, 9};
  EXPECT_TRUE(VersionMatchesPattern(v, "6..2"));  // only major and release compared
  EXPECT_FALSE(VersionMatchesPattern(v, "6..3"));
  EXPECT_TRUE(VersionMatchesPattern(v, "6.3.2.9"));
  EXPECT_FALSE(VersionMatchesPattern(v, "7"));
  EXPECT_EQ(-1, CompareVersions({2, 0, 0, 0}, {10, 0, 0, 0}));
  EXPECT_EQ(1, CompareVersions({1, 0, 0, 2}, {1, 0, 0, 1}));
  EXPECT_EQ(0, CompareVersions({1, 2, 3, 4}, {1, 2, 3, 4}));
  EXPECT_EQ("5.2.3790.0", VersionPartsText({5, 2, 3790, 0}));
}

TEST(VersionTexts, WantedVersionAsAScriptWritesIt) {
  struct Case {
    const char* text;
    WantedVersion want;
  } cases[] = {
      {"9.0.124", {9, 0, 124, 0}}, {" 8 .x", {8, 0, 0, 0}},  {"+7.-1..3.5", {7, -1, 0, 3}}, {"", {0, 0, 0, 0}},
      {"70000.1", {70000, 1, 0, 0}},  // not cut to 16 bits
      {"2147483648.-2147483648", {0, -2147483648LL, 0, 0}}, {"1 2.-.+", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ParseWantedVersion(c.text)) << c.text;
  EXPECT_EQ(-1, CompareWithWantedVersion({9, 0, 115, 0}, "9.0.124"));
  EXPECT_EQ(0, CompareWithWantedVersion({8, 0, 0, 0}, "8.x"));
  EXPECT_EQ(-1, CompareWithWantedVersion({65535, 0, 0, 0}, "70000"));
}

TEST(IdentifierText, LookUpsThatBringIdentifiersBackStop) {
  struct Case {
    std::map<std::string, std::string> folders;  // what the named-folder look-up answers
    const char* want;                            // nullptr: unresolved, but finished and bounded
  } cases[] = {
      {{{"a", "<a><a>"}}, nullptr},                     // doubles the text each round
      {{{"a", "<b><b>"}, {"b", "<a><a>"}}, nullptr},    // doubles it through each other
      {{{"a", "<A>"}}, nullptr},                        // itself in another letter case
      {{{"a", "C:\\x\\<b>"}, {"b", "D"}}, "C:\\x\\D"},  // a folder naming another resolves
  };
  for (const Case& c : cases) {
    IdentifierSet ids;
    ids.namedFolder = [&](const std::string& name) {
      auto it = c.folders.find(name);
      return it == c.folders.end() ? std::string() : it->second;
    };
    ResolvedText r = ResolveIdentifierText("<a>", ids);
    EXPECT_EQ(c.want == nullptr, r.unknown) << c.folders.begin()->second;
    if (c.want) {
      EXPECT_EQ(c.want, r.text);
    }
    EXPECT_LT(r.text.size(), 65536u) << c.folders.begin()->second;
  }
}

TEST(FormatByteSize, ThreeSignificantDigitsInTheLocalesNotation) {
  struct Case {
    long long bytes;
    const char *separator, *text;
  } cases[] = {
      {0, ".", "0.00  B"},         {512, ".", "512  B"},          {1000, ".", "0.98 KB"},
      {1536, ".", "1.50 KB"},      {12345678, ".", "11.8 MB"},    {1023900, ".", "1000 KB"},  // 999.9 KB
      {1536, ",", "1,50 KB"},      {12345678, ",", "11,8 MB"},    {3LL << 40, ".", "3.00 TB"},
      {2000LL << 40, ".", "2000 TB"},  // past the last unit: still a size
      {-5, ".", "-5"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, FormatByteSize(c.bytes, c.separator)) << c.bytes << c.separator;
}

// The uninstall acts only on what a list line records of a full file path; anything a
// person could have edited in (a pattern, a relative path, a set-aside file elsewhere)
// is refused with its reason.
TEST(UninstallListLines, ParsedRecordsAndRefusedLines) {
  struct Case {
    std::string line;
    UndoKind kind;
    std::string path, aside;
  } cases[] = {
      {";\"Do Not Delete or Edit this file\" -- header", UndoKind::Comment, "", ""},
      {"", UndoKind::Comment, "", ""},
      {"C:\\App\\a.chm", UndoKind::Created, "C:\\App\\a.chm", ""},
      {"  C:\\App\\a b.chm\t", UndoKind::Created, "C:\\App\\a b.chm", ""},
      {"\\\\srv\\share\\App\\a.chm", UndoKind::Created, "\\\\srv\\share\\App\\a.chm", ""},
      {"C:\\App\\..\\Shared\\x.dll", UndoKind::Created, "C:\\App\\..\\Shared\\x.dll", ""},  // as earlier lists hold
      {";\"replaced\" C:\\App\\a.dll|C:\\App\\a.dll.~tvx0", UndoKind::Replaced, "C:\\App\\a.dll", "C:\\App\\a.dll.~tvx0"},
      {";\"replaced\" C:\\App\\a.dll|c:\\app\\A.DLL.~tvx12-3", UndoKind::Replaced, "C:\\App\\a.dll", "c:\\app\\A.DLL.~tvx12-3"},
      {";\"kept\" C:\\App\\b.chm", UndoKind::Kept, "C:\\App\\b.chm", ""},
      {";\"folder\" C:\\App\\Help", UndoKind::Folder, "C:\\App\\Help", ""},
      {";\"link\" C:\\Menu\\Lumen\\Help.lnk", UndoKind::Link, "C:\\Menu\\Lumen\\Help.lnk", ""},
      {";\"registered\" C:\\App\\x.dll", UndoKind::Registered, "C:\\App\\x.dll", ""},
      // refused
      {"C:\\*.*", UndoKind::Invalid, "C:\\*.*", ""},
      {"C:\\App\\a?.chm", UndoKind::Invalid, "C:\\App\\a?.chm", ""},
      {"App\\a.chm", UndoKind::Invalid, "App\\a.chm", ""},
      {"\\App\\a.chm", UndoKind::Invalid, "\\App\\a.chm", ""},
      {"C:a.chm", UndoKind::Invalid, "C:a.chm", ""},
      {"C:\\App\\", UndoKind::Invalid, "C:\\App\\", ""},
      {"C:\\App\\a.chm:stream", UndoKind::Invalid, "C:\\App\\a.chm:stream", ""},
      {"\\\\srv\\share", UndoKind::Invalid, "\\\\srv\\share", ""},
      {";\"replaced\" C:\\App\\a.dll", UndoKind::Invalid, "C:\\App\\a.dll", ""},
      {";\"replaced\" C:\\App\\a.dll|C:\\Other\\a.dll.~tvx0", UndoKind::Invalid, "C:\\App\\a.dll", "C:\\Other\\a.dll.~tvx0"},
      {";\"replaced\" C:\\App\\a.dll|C:\\App\\a.dll.~tvx", UndoKind::Invalid, "C:\\App\\a.dll", "C:\\App\\a.dll.~tvx"},
      {";\"folder\" Help", UndoKind::Invalid, "Help", ""},
  };
  for (const Case& c : cases) {
    UndoLine u = ParseUndoLine(c.line);
    EXPECT_EQ(static_cast<int>(c.kind), static_cast<int>(u.kind)) << c.line;
    EXPECT_EQ(c.path, u.path) << c.line;
    if (c.kind == UndoKind::Replaced) EXPECT_EQ(c.aside, u.aside) << c.line;
    if (c.kind == UndoKind::Invalid) EXPECT_FALSE(u.why.empty()) << c.line;
    // What is recorded reads back as the same record.
    if (c.kind != UndoKind::Comment && c.kind != UndoKind::Invalid) {
      UndoLine again = ParseUndoLine(UndoLineText(u));
      EXPECT_TRUE(again.kind == u.kind && again.path == u.path && again.aside == u.aside) << c.line;
    }
  }
  EXPECT_EQ("C:\\A\\b.dll.~tvx7", SetAsideName("C:\\A\\b.dll", 7));
  EXPECT_EQ("C:\\A\\b.dll.~tvx7-2", SetAsideName("C:\\A\\b.dll", 7, 2));
}

TEST(TextDigest, Sha256OfTheStandardTextsAndAnyChange) {
  struct Case {
    std::string text, digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the length needs a block
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ("sha256:" + c.digest, TextDigest(c.text)) << c.text.size();
    EXPECT_TRUE(TextMatchesDigest(c.text, "SHA256:" + UpperAscii(c.digest)));
    EXPECT_FALSE(TextMatchesDigest(c.text + "\r\n", "sha256:" + c.digest));
  }
}

// The sums and the parser as the native build and the fuzz target see them; the Windows
// wrappers over them have their own tables (file blocks, the registry's class codes).
TEST(CrcText, KnownSumsWholeAndInTwoPieces) {
  const std::pair<std::string, uint32_t> cases[] = {{"", 0}, {"123456789", 0xCBF43926u}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.second, Crc32(c.first)) << c.first;
    const auto* p = reinterpret_cast<const unsigned char*>(c.first.data());
    const size_t half = c.first.size() / 2;
    EXPECT_EQ(c.second, ~CrcUpdate(CrcUpdate(kCrcStart, p, half), p + half, c.first.size() - half)) << c.first;
  }
}

TEST(GuidText, TheBracedFormIntoItsFieldsAndARefusedTextLeavesThemAlone) {
  GuidFields g;
  ASSERT_TRUE(ParseGuidText("{fedcba98-7654-3210-fEdC-Ba9876543210}", g));
  EXPECT_EQ("{FEDCBA98-7654-3210-FEDC-BA9876543210}", GuidFieldsText(g));
  for (const std::string& refused : {std::string("{01234567-89AB-CDEF-0123-456789ABCDEF}\0", 39),
                                     std::string("{0123456G-89AB-CDEF-0123-456789ABCDEF}")}) {
    GuidFields untouched;
    untouched.data1 = 0xDEADBEEFu;
    EXPECT_FALSE(ParseGuidText(refused, untouched)) << refused;
    EXPECT_EQ(0xDEADBEEFu, untouched.data1) << refused;
  }
}
