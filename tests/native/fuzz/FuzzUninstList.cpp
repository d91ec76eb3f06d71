// Uninstall list lines, as an install wrote them or as anybody may have edited them, and
// the digest that tells the two apart. Input: one line, then a path.
#include "FuzzSupport.h"
#include "UDigestText.h"
#include "UUninstListText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> in = fuzz::Pieces(data, size, 2);
  UndoLine u = ParseUndoLine(in[0]);
  switch (u.kind) {
    case UndoKind::Comment:
      Require(u.path.empty());
      break;
    case UndoKind::Invalid:
      Require(!u.why.empty());
      break;
    default: {
      // Whatever the uninstall acts on is a full path with no pattern, and reads back the same.
      Require(IsFullFilePath(u.path) && u.path.find_first_of("*?") == std::string::npos);
      if (u.kind == UndoKind::Replaced) Require(IsSetAsideNameOf(u.aside, u.path));
      UndoLine again = ParseUndoLine(UndoLineText(u));
      Require(again.kind == u.kind && again.path == u.path && again.aside == u.aside);
    }
  }
  // A name the install sets aside under is always recognised as the file's own.
  if (!in[1].empty()) Require(IsSetAsideNameOf(SetAsideName(in[1], static_cast<int>(size % 200), size % 3), in[1]));
  std::string d = TextDigest(in[0]);
  Require(d.size() == 7 + 64 && TextMatchesDigest(in[0], d) && !TextMatchesDigest(in[0] + "x", d));
  return 0;
}
