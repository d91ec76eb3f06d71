// The script file from bytes to the lines of its sections: byte-order marks, UTF-8 and
// UTF-16, every kind of line break, headers in any letter case, comments.
#include <set>

#include "FuzzSupport.h"
#include "UScriptText.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

std::u16string g_converted;  // what DecodeScriptBytes last handed to the conversion

// The program converts through the ANSI code page; here a unit below 256 is its own
// byte, so the text can be checked unit for unit.
std::string UnitsAsBytes(const std::u16string& units) {
  g_converted = units;
  std::string out;
  for (char16_t u : units) out += u < 256 ? static_cast<char>(u) : '?';
  return out;
}

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// Every high surrogate followed by a low one, no low surrogate alone.
bool WellFormed(const std::u16string& w) {
  for (size_t i = 0; i < w.size(); ++i) {
    if (!IsSurrogate(w[i])) continue;
    if (w[i] >= 0xDC00 || i + 1 >= w.size() || w[i + 1] < 0xDC00 || w[i + 1] > 0xDFFF) return false;
    ++i;
  }
  return true;
}

std::string EncodeUtf8(const std::u16string& w) {
  std::string out;
  for (size_t i = 0; i < w.size(); ++i) {
    uint32_t cp = w[i];
    if (cp >= 0xD800 && cp <= 0xDBFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (w[++i] - 0xDC00);
    auto add = [&](uint32_t v) { out += static_cast<char>(v); };
    if (cp < 0x80) {
      add(cp);
    } else if (cp < 0x800) {
      add(0xC0 | cp >> 6), add(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      add(0xE0 | cp >> 12), add(0x80 | (cp >> 6 & 0x3F)), add(0x80 | (cp & 0x3F));
    } else {
      add(0xF0 | cp >> 18), add(0x80 | (cp >> 12 & 0x3F)), add(0x80 | (cp >> 6 & 0x3F)), add(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

bool IsAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string Decode(const std::string& bytes) { return DecodeScriptBytes(bytes, UnitsAsBytes); }

void CheckUtf8(const std::string& body, const std::string& text) {
  std::u16string wide = Utf8ToUtf16(body);
  Require(wide == g_converted);
  Require(WellFormed(wide) && wide.size() <= body.size() && text.size() == wide.size());
  if (IsAscii(body)) Require(text == body);
  // Nothing replaced means every byte belonged to a character, and characters map one to one.
  if (wide.find(u'\xFFFD') == std::u16string::npos) Require(EncodeUtf8(wide) == body);
  Require(Utf8ToUtf16(EncodeUtf8(wide)) == wide);
}

void CheckUtf16(const std::string& bytes, bool bigEndian, const std::string& text) {
  Require(g_converted.size() == (bytes.size() - 2) / 2 && text.size() == g_converted.size());
  Require(WellFormed(g_converted));
  for (size_t i = 0; i < g_converted.size(); ++i) {
    unsigned a = static_cast<unsigned char>(bytes[2 + 2 * i]), b = static_cast<unsigned char>(bytes[3 + 2 * i]);
    char16_t unit = static_cast<char16_t>(bigEndian ? a << 8 | b : b << 8 | a);
    Require(g_converted[i] == unit || (IsSurrogate(unit) && g_converted[i] == u'\xFFFD'));
  }
}

// The same text written with each byte-order mark reads back as it is.
void CheckMarksRoundTrip(const std::string& text) {
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char c : text) le += c, le += '\0', be += '\0', be += c;
  Require(Decode(le) == text);
  Require(Decode(be) == text);
  if (IsAscii(text)) Require(Decode("\xEF\xBB\xBF" + text) == text);
}

std::string WithoutLeadingSpaces(const std::string& line) {
  size_t b = line.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : line.substr(b);
}

bool IsHeader(const std::string& line) {
  std::string t = WithoutLeadingSpaces(line);
  return !t.empty() && t[0] == '[';
}

void CheckLines(const std::string& text, const std::vector<std::string>& lines) {
  // Joined by LF, the lines give the text with every break made LF, less a last break.
  std::string normalized, joined;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    normalized += text[i] == '\r' ? '\n' : text[i];
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].find_first_of("\r\n") == std::string::npos);
    if (i) joined += '\n';
    joined += lines[i];
  }
  if (!normalized.empty() && normalized.back() == '\n') joined += '\n';
  Require(joined == normalized);
}

void CheckSection(const std::vector<std::string>& lines, const std::string& section) {
  std::vector<ScriptLine> out;
  bool found = CollectSectionLines(lines, section, out);
  const std::string header = "[" + section + "]";
  bool anyHeader = false;
  for (const std::string& l : lines) anyHeader = anyHeader || (IsHeader(l) && ContainsNoCase(l, header));
  Require(found == anyHeader);
  int previous = 0;
  for (const ScriptLine& s : out) {
    Require(s.number > previous && s.number <= static_cast<int>(lines.size()));
    previous = s.number;
    Require(!s.text.empty() && s.text[0] != ' ' && s.text[0] != ';' && s.text[0] != '[');
    Require(s.text.find_first_of("\r\n") == std::string::npos);
    Require(WithoutLeadingSpaces(lines[s.number - 1]) == s.text);
    // The nearest header above the line is one of this section's.
    int h = s.number - 2;
    while (h >= 0 && !IsHeader(lines[h])) --h;
    Require(h >= 0 && ContainsNoCase(lines[h], header));
  }
  std::vector<ScriptLine> upper;
  Require(CollectSectionLines(lines, UpperAscii(section), upper) == found && upper.size() == out.size());
  for (size_t i = 0; i < out.size(); ++i) Require(upper[i].number == out[i].number && upper[i].text == out[i].text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);
  g_converted.clear();
  const std::string text = Decode(bytes);
  switch (DetectScriptEncoding(bytes)) {
    case ScriptEncoding::Ansi:
      Require(text == bytes);
      CheckMarksRoundTrip(text);
      break;
    case ScriptEncoding::Utf8: CheckUtf8(bytes.substr(3), text); break;
    case ScriptEncoding::Utf16Le: CheckUtf16(bytes, false, text); break;
    case ScriptEncoding::Utf16Be: CheckUtf16(bytes, true, text); break;
  }
  const std::vector<std::string> lines = SplitScriptLines(text);
  CheckLines(text, lines);
  // The sections the engine reads, and every name a header of this text gives.
  std::set<std::string> sections = {"INSTALL", "Files", "CustomDirs"};
  for (const std::string& l : lines) {
    if (sections.size() >= 8) break;
    std::string t = WithoutLeadingSpaces(l);
    size_t close = t.find(']');
    if (IsHeader(t) && close != std::string::npos) sections.insert(t.substr(1, close - 1));
  }
  for (const std::string& s : sections) CheckSection(lines, s);
  return 0;
}
