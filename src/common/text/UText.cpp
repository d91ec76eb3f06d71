#include "UText.h"

#include <cstdio>
#include <cstring>

#include "UCodePage.h"

namespace tolvex {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case is folded byte by byte, but never in the second byte of a double-byte character:
// in code page 932 that byte is often a letter (ソ is 0x83 0x5C, ム 0x83 0x80, 表 0x95 0x5C).
std::string LowerAscii(std::string s) {
  for (size_t i = 0; i < s.size(); i += CharSize(s, i)) s[i] = LowerAscii(s[i]);
  return s;
}

std::string UpperAscii(std::string s) {
  for (size_t i = 0; i < s.size(); i += CharSize(s, i))
    if (s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 'a' + 'A');
  return s;
}

namespace {

// Whether needle stands in text at pos (a character boundary), ignoring case.
bool MatchesAtNoCase(const std::string& text, size_t pos, const std::string& needle) {
  for (size_t k = 0; k < needle.size();) {
    size_t n = CharSize(needle, k);
    if (n == 2) {
      if (text[pos + k] != needle[k] || text[pos + k + 1] != needle[k + 1]) return false;
    } else if (LowerAscii(text[pos + k]) != LowerAscii(needle[k])) {
      return false;
    }
    k += n;
  }
  return true;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && MatchesAtNoCase(a, 0, b);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && MatchesAtNoCase(text, 0, prefix);
}

size_t FindNoCase(const std::string& text, const std::string& needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string::npos;
  if (text.size() < needle.size()) return std::string::npos;
  for (size_t i = from; i + needle.size() <= text.size(); i += CharSize(text, i))
    if (MatchesAtNoCase(text, i, needle)) return i;
  return std::string::npos;
}

bool ContainsNoCase(const std::string& text, const std::string& needle) {
  return FindNoCase(text, needle) != std::string::npos;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimLeft(const std::string& s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

std::string TrimRight(const std::string& s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string ReplaceNoCase(const std::string& text, const std::string& pattern,
                          const std::string& value, int maxCount) {
  if (pattern.empty()) return text;
  std::string out = text;
  size_t pos = 0;
  for (int n = 0; n < maxCount; ++n) {
    pos = FindNoCase(out, pattern, pos);
    if (pos == std::string::npos) break;
    out.replace(pos, pattern.size(), value);
    pos += value.size();
  }
  return out;
}

std::string ExpandProductText(const std::string& text, const std::string& productName) {
  return ReplaceNoCase(ReplaceNoCase(text, "%s", productName), "|", "\r\n");
}

size_t FindFirstOfChars(const std::string& text, const char* set, size_t from) {
  if (!HasLeadBytes()) return text.find_first_of(set, from);
  for (size_t i = from; i < text.size(); i += CharSize(text, i))
    if (CharSize(text, i) == 1 && text[i] != '\0' && std::strchr(set, text[i])) return i;
  return std::string::npos;
}

size_t FindLastOfChars(const std::string& text, const char* set) {
  if (!HasLeadBytes()) return text.find_last_of(set);
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size(); i += CharSize(text, i))
    if (CharSize(text, i) == 1 && text[i] != '\0' && std::strchr(set, text[i])) found = i;
  return found;
}

size_t FindChar(const std::string& text, char c, size_t from) {
  const char set[2] = {c, '\0'};
  return c == '\0' ? text.find(c, from) : FindFirstOfChars(text, set, from);
}

size_t FindLastChar(const std::string& text, char c) {
  const char set[2] = {c, '\0'};
  return c == '\0' ? text.rfind(c) : FindLastOfChars(text, set);
}

bool EndsWithChar(const std::string& text, char c) {
  return !text.empty() && text.back() == c && FindLastChar(text, c) == text.size() - 1;
}

std::vector<std::string> SplitText(const std::string& text, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t p = FindChar(text, sep, start);
    if (p == std::string::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, p - start));
    start = p + 1;
  }
}

static std::string Pad(std::string s, int width, bool left) {
  if (width > 0 && static_cast<int>(s.size()) < width)
    s = left ? s + std::string(width - s.size(), ' ') : std::string(width - s.size(), ' ') + s;
  return s;
}

std::string Format(const std::string& fmt, std::initializer_list<FmtArg> args) {
  return Format(fmt, std::vector<FmtArg>(args));
}

namespace {

// One "%" directive of Format: flags, width, precision and type, from fmt[i] on.
struct Directive {
  bool left = false;
  int width = 0, precision = -1;
  char type = '\0';
  size_t end = 0;  // the position of its type letter
};

Directive ReadDirective(const std::string& fmt, size_t i) {
  Directive d;
  size_t j = i + 1;
  if (j < fmt.size() && fmt[j] == '-') d.left = true, ++j;
  // Widths past a screen line mean nothing in a log or a message: capped, so a long run
  // of digits neither overflows nor pads out to megabytes.
  const int kWidestField = 1024;
  auto digits = [&](int& v) {
    while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') {
      v = v * 10 + (fmt[j++] - '0');
      if (v > kWidestField) v = kWidestField;
    }
  };
  digits(d.width);
  if (j < fmt.size() && fmt[j] == '.') {
    d.precision = 0;
    ++j;
    digits(d.precision);
  }
  d.type = j < fmt.size() ? fmt[j] : '\0';
  d.end = j;
  return d;
}

// The number a directive of type d, x, X or u makes of a.
std::string NumberText(const Directive& d, const FmtArg& a) {
  char buf[40];
  unsigned long long u = static_cast<unsigned long long>(a.number);
  if (d.type == 'x' || d.type == 'X') u &= 0xFFFFFFFFull;  // 32-bit, as Windows codes are
  if (d.type == 'd')
    std::snprintf(buf, sizeof buf, "%lld", a.number < 0 ? -a.number : a.number);
  else
    std::snprintf(buf, sizeof buf, d.type == 'u' ? "%llu" : d.type == 'x' ? "%llx" : "%llX", u);
  std::string piece = buf;
  if (d.precision > static_cast<int>(piece.size())) piece.insert(0, d.precision - piece.size(), '0');
  if (d.type == 'd' && a.number < 0) piece.insert(0, 1, '-');
  return piece;
}

}  // namespace

std::string Format(const std::string& fmt, const std::vector<FmtArg>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    Directive d = ReadDirective(fmt, i);
    bool known = d.type == 's' || d.type == 'd' || d.type == 'u' || d.type == 'x' || d.type == 'X';
    // A directive without its argument, of an unknown type, or a number's directive given
    // a text, stays visible as written.
    if (!known || next >= args.size() || (d.type != 's' && !args[next].isInt)) {
      out += fmt[i];
      continue;
    }
    const FmtArg& a = args[next];
    std::string piece;
    if (d.type == 's') {
      piece = a.isInt ? std::to_string(a.number) : a.text;
      if (d.precision >= 0 && static_cast<int>(piece.size()) > d.precision) piece.resize(d.precision);
    } else {
      piece = NumberText(d, a);
    }
    out += Pad(piece, d.width, d.left);
    ++next;
    i = d.end;
  }
  return out;
}

std::string FillPlaceholder(const std::string& pattern, const std::string& value, int& extraPlaceholders) {
  extraPlaceholders = 0;
  std::string out;
  bool filled = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char next = i + 1 < pattern.size() ? LowerAscii(pattern[i + 1]) : '\0';
    if (pattern[i] != '%' || (next != '%' && next != 's')) {
      out += pattern[i];
      continue;
    }
    // "%%" is one sequence, so "%%s" holds no placeholder; both stay as written.
    if (next == 's' && !filled) {
      out += value;
      filled = true;
    } else {
      if (next == 's') ++extraPlaceholders;
      out.append(pattern, i, 2);
    }
    ++i;
  }
  return out;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseScriptInt(const std::string& text, long long& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  unsigned long long v = 0;
  for (; i < text.size(); ++i) {
    int d = HexDigitValue(text[i]);
    if (d < 0 || d >= base) return false;
    // Only zero or not matters to a boolean, so a huge number stays huge, not wrapped.
    v = v > 0xFFFFFFFFull ? v : v * base + d;
  }
  value = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
  return true;
}

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

std::string RemoveTrailingBackslashes(std::string path) {
  while (EndsWithChar(path, '\\')) path.pop_back();
  return path;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  return EndsWithChar(path, '\\') ? path : path + "\\";
}

std::string ExtractFileDir(const std::string& path) {
  size_t p = FindLastChar(path, '\\');
  return p == std::string::npos ? std::string() : path.substr(0, p);
}

std::string ExtractFileName(const std::string& path) {
  size_t p = FindLastOfChars(path, "\\:");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t slash = FindLastChar(path, '\\');
  size_t dot = FindLastChar(path, '.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return path.substr(0, dot) + ext;
  return path + ext;
}

std::string ExtractDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    size_t server = FindChar(path, '\\', 2);
    if (server == std::string::npos || server == 2) return std::string();
    size_t share = FindChar(path, '\\', server + 1);
    if (share == server + 1) return std::string();
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return std::string();
}

std::string ShortenPath(const std::string& path, const std::function<bool(const std::string&)>& fits) {
  if (fits(path)) return path;
  std::string root = ExtractDrive(path);
  if (root.size() >= path.size() || path[root.size()] != '\\') return path;
  std::vector<std::string> names = SplitText(path.substr(root.size() + 1), '\\');
  std::string shortened = path;
  for (size_t drop = 1; drop < names.size(); ++drop) {
    shortened = root + "\\...";
    for (size_t i = drop; i < names.size(); ++i) shortened += "\\" + names[i];
    if (fits(shortened)) break;
  }
  return shortened;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> out;
  size_t i = 0;
  const size_t n = commandLine.size();
  for (;;) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      if (commandLine[i] == '"') quoted = !quoted;
      else arg += commandLine[i];
      ++i;
    }
    out.push_back(arg);
  }
  return out;
}

}  // namespace tolvex
