#include "UFileLineText.h"

#include "ULanguageTable.h"
#include "UText.h"

namespace tolvex {

FileLineParts SplitFileLine(const std::string& line) {
  FileLineParts p;
  p.rest = line;
  for (;;) {
    size_t comma = FindChar(p.rest, ',');
    std::string first = Trim(p.rest.substr(0, comma));
    if (first.empty() || first[0] != '$') break;
    p.tokens.push_back(first);
    if (comma == std::string::npos) {
      // The last token has no comma after it, so nothing follows it.
      p.tokensOnly = true;
      p.rest.clear();
      break;
    }
    p.rest = p.rest.substr(comma + 1);
  }
  p.fields = SplitText(p.rest, ',');
  for (std::string& f : p.fields) f = Trim(f);
  p.fields.resize(8);
  return p;
}

ConditionValue EvalConditionToken(const std::string& token, const std::string& currentCode) {
  ConditionValue r;
  for (const std::string& raw : SplitText(token, '&')) {
    std::string part = Trim(raw);
    if (part.empty()) break;
    if (!StartsWithNoCase(part, "$Lang_")) return ConditionValue();
    std::string code = part.substr(6);
    bool negated = !code.empty() && code[0] == '!';
    if (negated) code.erase(0, 1);
    if (LanguageRowOfCode(code) < 0) return ConditionValue();
    r.valid = true;
    r.value = EqualsNoCase(code, currentCode) != negated;
    if (!r.value) break;
  }
  return r;
}

CopyFlags DecodeCopyFlags(const std::string& field) {
  CopyFlags f;
  std::string up = UpperAscii(field);
  auto has = [&](char c) { return FindChar(up, c) != std::string::npos; };
  const struct {
    char letter;
    CopyMode mode;
  } modes[] = {{'O', CopyMode::Always},
               {'D', CopyMode::DateNewer},
               {'V', CopyMode::VersionOrDateNewer},
               {'$', CopyMode::AnyDifference},
               {'X', CopyMode::VersionOrDateNewer}};
  for (const auto& m : modes)
    if (has(m.letter)) {
      f.hasMode = true;
      f.mode = m.mode;
      break;
    }
  f.updateOnly = has('X');
  f.addToUninstall = has('U');
  return f;
}

int DecodeSelection(const std::string& field) {
  if (field.empty()) return 0;
  switch (field[0]) {
    case '0': return 0;
    case '1': return 1;
    case 'A':
    case 'a': return 2;
    case 'S':
    case 's': return field.size() > 1 && field[1] == '1' ? 3 : 4;
    default: return 0;
  }
}

bool IsFolderItem(const std::string& source, const std::string& destination) {
  return EndsWithChar(source, '\\') && EndsWithChar(destination, '\\');
}

bool NamesConditionFile(const std::string& field) { return !field.empty() && field != "-"; }

std::string DecodeRegisterField(const std::string& field) { return field == "R" ? "r" : field; }

}  // namespace tolvex
