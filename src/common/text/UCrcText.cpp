#include "UCrcText.h"

namespace tolvex {

namespace {

// Eight tables let the loop take eight bytes a step: a no-op reinstall in "$" mode reads
// every file twice, and the plain one-table loop would be slower than the disk.
struct CrcTables {
  uint32_t t[8][256];
  CrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
  }
};

}  // namespace

uint32_t CrcUpdate(uint32_t crc, const unsigned char* p, size_t n) {
  static const CrcTables tables;
  const auto& t = tables.t;
  while (n >= 8) {
    uint32_t lo = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
          t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
    n -= 8;
  }
  while (n--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t Crc32(const std::string& bytes) {
  return ~CrcUpdate(kCrcStart, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

}  // namespace tolvex
