// Dotted version texts and their comparison. Input: three texts, NUL separated.
#include "FuzzSupport.h"
#include "UVersionText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> in = fuzz::Pieces(data, size, 3);
  VersionParts v[3];
  for (int i = 0; i < 3; ++i) {
    v[i] = SplitVersionText(in[i]);
    for (uint32_t part : v[i]) Require(part <= 0xFFFF);
    // The decimal form reads back as the same parts, wildcards included.
    Require(SplitVersionText(VersionPartsText(v[i])) == v[i]);
    Require(VersionMatchesPattern(v[i], VersionPartsText(v[i])) && VersionMatchesPattern(v[i], ""));
    Require(CompareVersionTexts(in[i], in[i]) == 0 && CompareVersions(v[i], v[i]) == 0);
    // A script's wanted version: every field within 32 bits; a file's own text wants itself.
    for (long long w : ParseWantedVersion(in[i])) Require(w >= -2147483648LL && w <= 2147483647LL);
    Require(CompareWithWantedVersion(v[i], VersionPartsText(v[i])) == 0);
  }
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      int c = CompareVersionTexts(in[i], in[j]);
      Require(c >= -1 && c <= 1 && c == -CompareVersionTexts(in[j], in[i]));
      Require(CompareVersions(v[i], v[j]) == -CompareVersions(v[j], v[i]));
      if (in[i].empty() != in[j].empty()) Require(c == (in[i].empty() ? -1 : 1));
    }
  // Four-part comparison is a total order.
  for (int i = 0; i < 3; ++i) {
    const VersionParts &a = v[i], &b = v[(i + 1) % 3], &c = v[(i + 2) % 3];
    if (CompareVersions(a, b) <= 0 && CompareVersions(b, c) <= 0) Require(CompareVersions(a, c) <= 0);
  }
  return 0;
}
