// Text helpers shared by every subsystem. Pure text: no windows.h, so this unit also
// builds natively (fuzzing, quick checks).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tolvex {

// Letter case is folded for A-Z only: script names are ASCII, and folding bytes of the
// ANSI code page through the C locale would depend on the machine. The second byte of a
// double-byte character (UCodePage) is never folded, nor taken for a match's start.
char LowerAscii(char c);
std::string LowerAscii(std::string s);
std::string UpperAscii(std::string s);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
// Position of needle in text at or after from, ignoring case; npos when absent.
size_t FindNoCase(const std::string& text, const std::string& needle, size_t from = 0);
bool ContainsNoCase(const std::string& text, const std::string& needle);

// Removes characters up to and including the blank (tabs, CR and LF too) at the ends.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// Replaces up to maxCount occurrences of pattern, ignoring case. Each search resumes after
// the inserted text, so a value that contains the pattern is never expanded again.
std::string ReplaceNoCase(const std::string& text, const std::string& pattern,
                          const std::string& value, int maxCount = 999);

// "%s" (any case) becomes the product name, then "|" becomes CR LF; 999 at most per pass.
std::string ExpandProductText(const std::string& text, const std::string& productName);

// Searches that step over double-byte characters (UCodePage), so the second byte of one is
// never taken for a backslash, a bar or any other separator. from must be where a
// character begins; npos when there is no such character.
size_t FindChar(const std::string& text, char c, size_t from = 0);
size_t FindLastChar(const std::string& text, char c);
size_t FindFirstOfChars(const std::string& text, const char* set, size_t from = 0);
size_t FindLastOfChars(const std::string& text, const char* set);
// Whether the last character of text is c.
bool EndsWithChar(const std::string& text, char c);

// Splits at sep (stepping over double-byte characters); every field is kept (empty ones too).
std::vector<std::string> SplitText(const std::string& text, char sep);

// An argument of Format: a text or an integer.
struct FmtArg {
  FmtArg(const std::string& s) : text(s) {}
  FmtArg(const char* s) : text(s ? s : "") {}
  FmtArg(int v) : isInt(true), number(v) {}
  FmtArg(unsigned v) : isInt(true), number(v) {}
  FmtArg(long v) : isInt(true), number(v) {}
  FmtArg(unsigned long v) : isInt(true), number(static_cast<long long>(v)) {}
  FmtArg(long long v) : isInt(true), number(v) {}
  FmtArg(bool) = delete;  // say "1"/"0" or "TRUE"/"FALSE" explicitly at the call site
  bool isInt = false;
  long long number = 0;
  std::string text;
};

// Fills %s, %d, %u, %x and %X (with optional "-", width and ".precision") and "%%".
// A directive without a matching argument, or of an unknown type, is kept as written.
std::string Format(const std::string& fmt, std::initializer_list<FmtArg> args);
std::string Format(const std::string& fmt, const std::vector<FmtArg>& args);

// A script's command-line pattern with one value put in: the first "%s" (either case)
// becomes value as written. Everything else stays as it is: other "%" sequences ("%d",
// "%%", a lone "%") and any further "%s", which extraPlaceholders counts for the caller
// to report. The pattern is data, never a format the program trusts.
std::string FillPlaceholder(const std::string& pattern, const std::string& value, int& extraPlaceholders);

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int HexDigitValue(char c);

// Integer in the forms the script allows: optional sign, then decimal digits, or
// hexadecimal after "0x" or "$". False for anything else, the empty text included.
bool ParseScriptInt(const std::string& text, long long& value);

// Path texts (backslash separated).
// Whether path holds "*" or "?": a pattern, not one file's name. Every byte is looked at:
// neither is ever the second byte of a double-byte character.
bool HasWildcard(const std::string& path);
std::string RemoveTrailingBackslashes(std::string path);
std::string IncludeTrailingBackslash(const std::string& path);
// Text before the last backslash (no backslash: empty).
std::string ExtractFileDir(const std::string& path);
// Text after the last backslash or colon.
std::string ExtractFileName(const std::string& path);
// Replaces the extension (text after the last "." behind the last backslash), or appends it.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// "x:" for a drive path, "\\server\share" for a network path, else empty.
std::string ExtractDrive(const std::string& path);
// A path shortened for a narrow place: unchanged when fits accepts it, else its folders
// after the drive give way to "..." one at a time from the left ("C:\...\help\videos")
// until fits accepts it or only the last name is left.
std::string ShortenPath(const std::string& path, const std::function<bool(const std::string&)>& fits);

// Splits a Windows command line the way the program's arguments are numbered: blanks and
// control characters separate, double quotes group and are removed, backslashes are
// ordinary characters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace tolvex
