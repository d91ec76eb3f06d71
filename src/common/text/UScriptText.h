// The install script as text: bytes to lines, the lines of one section, an item's value,
// a custom-directory line. Pure text, so the checker and the fuzzers use exactly what
// the engine uses.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tolvex {

enum class ScriptEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// UTF-16 code units to text in the ANSI code page. The program passes the system's
// conversion; the native build a stand-in.
using WideToAnsiFn = std::function<std::string(const std::u16string&)>;

// Which encoding the byte-order mark at the start names (none: the ANSI code page).
ScriptEncoding DetectScriptEncoding(const std::string& bytes);
// The file's text in the ANSI code page: the mark skipped, UTF-8 and UTF-16 converted
// through toAnsi (broken UTF-8 sequences and lone surrogates become U+FFFD, an odd last
// byte of UTF-16 is dropped); text without a mark is taken byte for byte.
std::string DecodeScriptBytes(const std::string& bytes, const WideToAnsiFn& toAnsi);
// UTF-8 to UTF-16 code units, as DecodeScriptBytes reads it.
std::u16string Utf8ToUtf16(const std::string& utf8);

// CR LF, LF and a lone CR each end a line. A last line without a break counts too.
std::vector<std::string> SplitScriptLines(const std::string& text);

struct ScriptLine {
  int number = 0;  // 1-based line number in the file
  std::string text;
};

// The lines of one section, in file order, from every occurrence of its header: leading
// spaces removed, empty lines and lines beginning with ";" left out. A header is a line
// beginning with "["; it opens the section when it contains "[" + section + "]"
// anywhere (letter case aside) and closes it otherwise. True when such a header exists.
bool CollectSectionLines(const std::vector<std::string>& lines, const std::string& section,
                         std::vector<ScriptLine>& out);

// An item line's value: the text after the first "=", trimmed; the key (trimmed) when
// there is no "=" or the value is empty. The key itself only serves the author.
std::string SectionItemValue(const std::string& line);

// One [CUSTOMDIRS] line: name [ "|" display name ] "=" search list [ "=" ... ].
struct CustomDirLine {
  std::string name, displayName, searchList;
  bool hasEquals = false;
};
CustomDirLine ParseCustomDirLine(const std::string& line);

}  // namespace tolvex
