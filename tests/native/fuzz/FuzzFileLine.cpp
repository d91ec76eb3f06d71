// A [FILES] or LIST line: condition tokens, the eight fields, the copy flags and the
// selection. Input: the line, NUL, the current language code (empty: a known one).
#include <algorithm>

#include "FuzzSupport.h"
#include "UFileLineText.h"
#include "ULanguageTable.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

bool SameValue(ConditionValue a, ConditionValue b) { return a.valid == b.valid && a.value == b.value; }

bool SameFlags(const CopyFlags& a, const CopyFlags& b) {
  return a.hasMode == b.hasMode && a.mode == b.mode && a.updateOnly == b.updateOnly &&
         a.addToUninstall == b.addToUninstall;
}

void CheckToken(const std::string& token, const std::string& code) {
  ConditionValue v = EvalConditionToken(token, code);
  Require(v.valid || !v.value);
  // Tokens and codes are compared without regard to letter case.
  for (const std::string& t : {UpperAscii(token), LowerAscii(token)})
    for (const std::string& c : {UpperAscii(code), LowerAscii(code)}) Require(SameValue(v, EvalConditionToken(t, c)));
  std::string part = Trim(token);
  if (!v.valid || token.find('&') != std::string::npos || part.compare(6, 1, "!") == 0) return;
  Require(SameValue(EvalConditionToken("$Lang_!" + part.substr(6), code), ConditionValue{true, !v.value}));
}

void CheckFlags(const std::string& field) {
  CopyFlags f = DecodeCopyFlags(field);
  Require(f.hasMode || (f.mode == CopyMode::AnyDifference && !f.updateOnly));
  Require(SameFlags(f, DecodeCopyFlags(UpperAscii(field))) && SameFlags(f, DecodeCopyFlags(LowerAscii(field))));
  // Which letters are there counts, not their order (a double-byte character stays whole).
  // A lead byte that stands alone could join whatever the reversal puts after it.
  std::string reversed;
  for (size_t i = 0; i < field.size(); i += CharSize(field, i)) {
    if (IsLeadByte(field[i]) && CharSize(field, i) == 1) return;
    reversed.insert(0, field, i, CharSize(field, i));
  }
  Require(SameFlags(f, DecodeCopyFlags(reversed)));
}

void CheckSelection(const std::string& field) {
  int s = DecodeSelection(field);
  Require(s >= 0 && s <= 4);
  Require(s == DecodeSelection(UpperAscii(field)) && s == DecodeSelection(LowerAscii(field)));
  Require(!NamesConditionFile(field) || (!field.empty() && field != "-"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> in = fuzz::Pieces(data, size, 2);
  const std::string& line = in[0];
  std::string code = in[1].empty() ? LanguageTableRow(1 + static_cast<int>(size % kLanguageCount))->code : in[1];

  FileLineParts p = SplitFileLine(line);
  Require(p.fields.size() == 8);
  for (const std::string& f : p.fields) Require(Trim(f) == f && f.find(',') == std::string::npos);
  for (const std::string& t : p.tokens) Require(!t.empty() && t[0] == '$' && Trim(t) == t && t.find(',') == std::string::npos);
  Require(!p.tokensOnly || (p.rest.empty() && !p.tokens.empty()));
  Require(line.size() >= p.rest.size() && line.compare(line.size() - p.rest.size(), p.rest.size(), p.rest) == 0);
  if (p.tokens.empty()) Require(p.rest == line);
  // Whatever follows the tokens does not begin with another one.
  if (!p.tokensOnly) Require(p.fields[0].empty() || p.fields[0][0] != '$');

  for (const std::string& t : p.tokens) CheckToken(t, code);
  CheckToken(line, code);
  CheckFlags(p.fields[2]);
  CheckFlags(line);
  CheckSelection(p.fields[5]);
  CheckSelection(line);
  return 0;
}
