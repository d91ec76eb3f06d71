// One script line's value: "key = value" items, [CUSTOMDIRS] lines, the integers of
// [INSTALL] booleans.
#include "FuzzSupport.h"
#include "UScriptText.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

bool Trimmed(const std::string& s) { return Trim(s) == s; }

void CheckItemValue(const std::string& line) {
  std::string v = SectionItemValue(line);
  Require(Trimmed(v));
  size_t eq = line.find('=');
  if (eq == std::string::npos) {
    Require(v == Trim(line));
    return;
  }
  // The value comes from after the first "=", or is the key when nothing follows it.
  std::string key = Trim(line.substr(0, eq)), after = Trim(line.substr(eq + 1));
  Require(after.empty() ? v == key : v == after);
}

void CheckCustomDir(const std::string& line) {
  CustomDirLine d = ParseCustomDirLine(line);
  Require(Trimmed(d.name) && Trimmed(d.displayName) && Trimmed(d.searchList));
  Require(FindFirstOfChars(d.name, "|=") == std::string::npos && FindFirstOfChars(d.displayName, "|=") == std::string::npos);
  Require(FindChar(d.searchList, '=') == std::string::npos);
  Require(d.hasEquals == (FindChar(line, '=') != std::string::npos));
  if (!d.hasEquals) {
    Require(d.searchList.empty());
    return;
  }
  // The line written back in its plain form reads the same, unless a name ends with a lead
  // byte that would take the separator after it for its second byte.
  for (const std::string* s : {&d.name, &d.displayName})
    if (FindChar(*s + "|", '|') != s->size()) return;
  CustomDirLine again = ParseCustomDirLine(d.name + "|" + d.displayName + "=" + d.searchList);
  Require(again.name == d.name && again.displayName == d.displayName && again.searchList == d.searchList);
}

void CheckScriptInt(const std::string& text) {
  long long v = 0;
  if (!ParseScriptInt(text, v)) return;
  Require(!text.empty() && text.find_first_of(" \t\r\n") == std::string::npos);
  size_t digits = text.find_first_not_of("+-");
  if (text.compare(digits, 1, "$") == 0) digits += 1;
  else if (text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X')) digits += 2;
  // Only zero or not matters to a boolean: a huge number must never wrap to zero.
  Require((v == 0) == (text.find_first_not_of('0', digits) == std::string::npos));
  long long back = 0;
  if (v >= -0xFFFFFFFFLL && v <= 0xFFFFFFFFLL) Require(ParseScriptInt(std::to_string(v), back) && back == v);
  if (text[0] != '+' && text[0] != '-') Require(ParseScriptInt("-" + text, back) && back == -v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = fuzz::Text(data, size);
  CheckItemValue(line);
  CheckCustomDir(line);
  CheckScriptInt(line);
  return 0;
}
