// The CRC-32 of the "$" copy mode and the class codes of search items. The input is at
// once the bytes to sum and the text to parse: a sum must not depend on where the
// reader's blocks end, and a code must read back as written.
#include <algorithm>

#include "FuzzSupport.h"
#include "UCrcText.h"
#include "UGuidText.h"
#include "UText.h"

using namespace tolvex;
using tolvex::fuzz::Require;

namespace {

// The definition, one bit at a time, which the eight tables must agree with.
uint32_t BitwiseCrc(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

// Each piece in a buffer of its own, so that a read past a piece's end is a finding.
uint32_t CrcOfPiece(uint32_t crc, const uint8_t* p, size_t n) {
  std::vector<unsigned char> piece(p, p + n);
  return CrcUpdate(crc, piece.data(), piece.size());
}

void CheckCrc(const uint8_t* data, size_t size) {
  const uint32_t whole = Crc32(fuzz::Text(data, size));
  Require(whole == BitwiseCrc(data, size));
  // Where the blocks end comes from the input, so the fuzzer steers it past the steps.
  size_t first = size ? (data[0] | data[size - 1] << 8) % (size + 1) : 0;
  size_t second = first + (size - first) * (size ? data[size / 2] : 0) / 255;
  uint32_t c = CrcOfPiece(kCrcStart, data, first);
  c = CrcOfPiece(c, data + first, second - first);
  c = CrcOfPiece(c, data + second, size - second);
  Require(~c == whole);
}

bool SameFields(const GuidFields& a, const GuidFields& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 && std::equal(a.data4, a.data4 + 8, b.data4);
}

void CheckParsed(const std::string& text) {
  GuidFields g, before;
  g.data1 = before.data1 = 0x5EED5EEDu;
  bool ok = ParseGuidText(text, g);
  if (text.size() != 38) Require(!ok);
  if (!ok) {
    Require(SameFields(g, before));
    return;
  }
  // Only braces, dashes and hexadecimal digits got through: no lead byte to fold around.
  const std::string written = GuidFieldsText(g);
  Require(written == UpperAscii(text));
  GuidFields again;
  Require(ParseGuidText(LowerAscii(text), again) && SameFields(again, g));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckCrc(data, size);
  CheckParsed(fuzz::Text(data, size));
  return 0;
}
