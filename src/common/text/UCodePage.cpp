#include "UCodePage.h"

#include <array>

namespace tolvex {

namespace {

struct CodePageState {
  std::array<bool, 256> lead{};
  bool any = false;
};

CodePageState g_codePage;

const unsigned char k932[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
const unsigned char kFullRange[] = {0x81, 0xFE, 0, 0};  // 936, 949 and 950

}  // namespace

void SetLeadByteRanges(const unsigned char* ranges) {
  g_codePage = CodePageState();
  // CPINFO holds at most six pairs; a list without its end is read no further.
  for (int pair = 0; ranges && pair < 6 && (ranges[0] || ranges[1]); ++pair, ranges += 2)
    for (unsigned b = ranges[0]; b <= ranges[1] && b < 256; ++b) {
      g_codePage.lead[b] = b != 0;
      g_codePage.any = g_codePage.any || b != 0;
    }
}

const unsigned char* KnownLeadByteRanges(int codePage) {
  if (codePage == 932) return k932;
  if (codePage == 936 || codePage == 949 || codePage == 950) return kFullRange;
  return nullptr;
}

void ResetCodePage() { SetLeadByteRanges(nullptr); }

bool HasLeadBytes() { return g_codePage.any; }

bool IsLeadByte(char c) { return g_codePage.lead[static_cast<unsigned char>(c)]; }

size_t CharSize(const std::string& text, size_t i) {
  if (!IsLeadByte(text[i]) || i + 1 >= text.size()) return 1;
  unsigned char second = static_cast<unsigned char>(text[i + 1]);
  return second >= 0x40 && second != 0x7F && second != 0xFF ? 2 : 1;
}

}  // namespace tolvex
