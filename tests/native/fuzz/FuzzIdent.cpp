// Directory identifiers in a script value. Input, NUL separated: the text, the value of
// "<exedir>", the folder of the custom directory "<docs>", then what the named-folder
// look-up answers, call after call (a registry value can hold anything, "<" and ">" too).
#include <algorithm>

#include "FuzzSupport.h"
#include "UIdentText.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

bool HasBracketPair(const std::string& s) {
  size_t open = s.find('<'), close = s.find('>');
  return open != std::string::npos && close != std::string::npos && close > open;
}

void CheckClassify(const std::string& name) {
  NamedFolderRef ref = ClassifyNamedFolder(name);
  for (const std::string& n : {UpperAscii(name), LowerAscii(name)}) {
    NamedFolderRef other = ClassifyNamedFolder(n);
    Require(other.kind == ref.kind && other.csidl == ref.csidl && other.expression == ref.expression);
  }
  switch (ref.kind) {
    case NamedFolderKind::SpecialFolder: {
      Require(ref.csidl >= 0 && ref.csidl < 256 && ref.expression.empty());
      if (name[0] == '$') break;
      bool listed = false;
      for (const auto& n : SpecialFolderNames()) listed = listed || (EqualsNoCase(name, n.first) && ref.csidl == n.second);
      Require(listed);
      break;
    }
    case NamedFolderKind::Association: Require(name[0] == '@' && ref.expression == LowerAscii(name.substr(1))); break;
    default: Require(ref.csidl == -1 && ref.expression.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> in = fuzz::Pieces(data, size, 4);
  const std::string& text = in[0];
  std::vector<std::string> answers;
  if (!in[3].empty()) answers = SplitText(in[3], '\0');

  std::vector<CustomDirRec> custom(3);
  custom[0].name = "docs", custom[0].path = in[2];
  custom[1].name = "Skipped", custom[1].skip = custom[1].prompted = true;
  custom[2].name = "quiet", custom[2].skip = true;
  IdentifierSet ids;
  ids.fixed = {{"<exedir>", in[1]}, {"<setupdir>", "C:\\cd"}};
  ids.customDirs = &custom;

  ResolvedText plain = ResolveIdentifierText(text, ids);
  Require(plain.unknown == (plain.text.find('<') != std::string::npos));
  Require(!plain.skippedByUser || plain.skipped);
  // Every identifier begins with "<": a text without one has nothing to replace.
  if (text.find('<') == std::string::npos) Require(plain.text == text && !plain.unknown && !plain.skipped);

  // A look-up that finds nothing changes nothing.
  ids.namedFolder = [](const std::string&) { return std::string(); };
  ResolvedText none = ResolveIdentifierText(text, ids);
  Require(none.text == plain.text && none.unknown == plain.unknown);

  size_t calls = 0;
  ids.namedFolder = [&](const std::string& name) {
    CheckClassify(name);
    return answers.empty() ? std::string() : answers[calls++ % answers.size()];
  };
  ResolvedText r = ResolveIdentifierText(text, ids);
  Require(r.unknown == (r.text.find('<') != std::string::npos));
  Require(r.skipped == plain.skipped && r.skippedByUser == plain.skippedByUser);

  // However the look-up answers, the text stays within what a value can use, give or
  // take the last round's growth.
  Require(r.text.size() <= std::max<size_t>(plain.text.size(), 32767) + 999 * in[3].size());

  // A look-up that always finds a folder without brackets resolves every pair, unless the
  // walk hit one of its bounds.
  calls = 0;
  ids.namedFolder = [&](const std::string&) { return "C:\\F" + std::to_string(++calls); };
  ResolvedText all = ResolveIdentifierText(text, ids);
  Require(!HasBracketPair(all.text) || calls == 999 || all.text.size() > 32767);

  CheckClassify(text);
  return 0;
}
