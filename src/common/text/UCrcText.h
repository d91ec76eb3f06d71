// CRC-32, the ZIP and PNG one: the sum the "$" copy mode compares of two files. Pure
// text: builds natively, so it is fuzzed with the parsers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvex {

// The running sum starts at kCrcStart, takes the bytes in as many pieces as the reader
// has, and is complemented at the end: ~CrcUpdate(CrcUpdate(kCrcStart, a), b) is the CRC
// of a followed by b.
const uint32_t kCrcStart = 0xFFFFFFFFu;
uint32_t CrcUpdate(uint32_t crc, const unsigned char* p, size_t n);
// The CRC of one whole text.
uint32_t Crc32(const std::string& bytes);

}  // namespace tolvex
