#include "UScriptText.h"

#include "UText.h"

namespace tolvex {

ScriptEncoding DetectScriptEncoding(const std::string& bytes) {
  auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
  if (starts("\xEF\xBB\xBF", 3)) return ScriptEncoding::Utf8;
  if (starts("\xFF\xFE", 2)) return ScriptEncoding::Utf16Le;
  if (starts("\xFE\xFF", 2)) return ScriptEncoding::Utf16Be;
  return ScriptEncoding::Ansi;
}

static void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const size_t n = utf8.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char16_t>(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    if (extra < 0 || c > 0xF4) {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    uint32_t cp = c & (0x3F >> extra);
    size_t k = 1;
    for (; k <= static_cast<size_t>(extra) && i + k < n; ++k) {
      unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) break;
      cp = (cp << 6) | (cc & 0x3F);
    }
    bool complete = k == static_cast<size_t>(extra) + 1;
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    bool valid = complete && !(extra == 2 && cp < 0x800) && !(extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) &&
                 !(cp >= 0xD800 && cp <= 0xDFFF);
    if (valid) AppendCodePoint(out, cp);
    else out += u'\xFFFD';
    i += complete ? k : (k > 1 ? k : 1);
  }
  return out;
}

static std::u16string Utf16Units(const std::string& bytes, size_t from, bool bigEndian) {
  std::u16string out;
  out.reserve((bytes.size() - from) / 2);
  for (size_t i = from; i + 1 < bytes.size(); i += 2) {
    unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  // A surrogate without its partner stands for nothing the code page could show.
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t u = out[i];
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) ++i;
      else out[i] = u'\xFFFD';
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      out[i] = u'\xFFFD';
    }
  }
  return out;
}

std::string DecodeScriptBytes(const std::string& bytes, const WideToAnsiFn& toAnsi) {
  switch (DetectScriptEncoding(bytes)) {
    case ScriptEncoding::Utf8: return toAnsi(Utf8ToUtf16(bytes.substr(3)));
    case ScriptEncoding::Utf16Le: return toAnsi(Utf16Units(bytes, 2, false));
    case ScriptEncoding::Utf16Be: return toAnsi(Utf16Units(bytes, 2, true));
    case ScriptEncoding::Ansi: break;
  }
  return bytes;
}

std::vector<std::string> SplitScriptLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.push_back(text.substr(start));
  return lines;
}

static std::string WithoutLeadingSpaces(const std::string& line) {
  size_t b = line.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : line.substr(b);
}

bool CollectSectionLines(const std::vector<std::string>& lines, const std::string& section,
                         std::vector<ScriptLine>& out) {
  out.clear();
  const std::string header = "[" + section + "]";
  bool inside = false, found = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = WithoutLeadingSpaces(lines[i]);
    if (line.empty()) continue;
    if (line[0] == '[') {
      inside = ContainsNoCase(line, header);
      found = found || inside;
      continue;
    }
    if (inside && line[0] != ';') out.push_back({static_cast<int>(i) + 1, line});
  }
  return found;
}

std::string SectionItemValue(const std::string& line) {
  size_t eq = FindChar(line, '=');
  std::string key = Trim(line.substr(0, eq));
  if (eq == std::string::npos) return key;
  std::string value = Trim(line.substr(eq + 1));
  return value.empty() && !key.empty() ? key : value;
}

CustomDirLine ParseCustomDirLine(const std::string& line) {
  CustomDirLine d;
  size_t eq = FindChar(line, '=');
  d.hasEquals = eq != std::string::npos;
  std::vector<std::string> key = SplitText(line.substr(0, eq), '|');
  d.name = Trim(key[0]);
  if (key.size() > 1) d.displayName = Trim(key[1]);
  if (d.hasEquals) {
    size_t end = FindChar(line, '=', eq + 1);
    d.searchList = Trim(line.substr(eq + 1, end == std::string::npos ? std::string::npos : end - eq - 1));
  }
  return d;
}

}  // namespace tolvex
