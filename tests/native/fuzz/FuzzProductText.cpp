// Message texts: "%s" and "|" in product texts, the Format directives, and the
// placeholder of a command-line pattern. Input: the text, NUL, the product name.
#include "FuzzSupport.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = FindNoCase(text, what); p != std::string::npos; p = FindNoCase(text, what, p + what.size())) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> in = fuzz::Pieces(data, size, 2);
  const std::string &text = in[0], &product = in[1];

  std::string expanded = ExpandProductText(text, product);
  if (text.find_first_of("%|") == std::string::npos) Require(expanded == text);
  size_t names = Count(text, "%s"), bars = Count(text, "|") + names * Count(product, "|");
  // Under the bound of 999 a pass, every bar becomes a line break.
  if (names < 1000 && bars < 1000) Require(FindChar(expanded, '|') == std::string::npos);

  // Without arguments every directive stays as written; only "%%" becomes "%".
  std::string literal;
  for (size_t i = 0; i < text.size(); ++i) {
    literal += text[i];
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
  }
  Require(Format(text, {}) == literal);
  std::string formatted = Format(text, {1, product, -5, 0xFFFFFFFFu, product, -2147483647 - 1, "x"});
  if (text.find('%') == std::string::npos) Require(formatted == text);

  // A command-line pattern: at most one placeholder filled, nothing else touched.
  int extra = -1;
  std::string filled = FillPlaceholder(text, product, extra);
  Require(extra >= 0);
  if (text.find('%') == std::string::npos) Require(filled == text && extra == 0);
  Require(filled.size() == text.size() || filled.size() + 2 == text.size() + product.size());
  return 0;
}
