// What the fuzz targets share: how one input becomes several texts, and how a broken
// invariant stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "UCodePage.h"

// The code page the texts are read in: single-byte, or the double-byte one named by
// TOLVEX_FUZZ_CODE_PAGE (932, 936, 949 or 950), where the second byte of a character may
// look like a backslash, a bar or a letter. Each target's one translation unit includes
// this file, so each has it once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* codePage = std::getenv("TOLVEX_FUZZ_CODE_PAGE");
  tolvex::SetLeadByteRanges(codePage ? tolvex::KnownLeadByteRanges(std::atoi(codePage)) : nullptr);
  return 0;
}

namespace tolvex::fuzz {

// A trap rather than assert: it must stop every build type, and libFuzzer keeps the input.
inline void Require(bool ok) {
  if (!ok) __builtin_trap();
}

// The input as texts separated by NUL bytes. At most `most` texts: the last one keeps the
// rest, NULs and all; missing texts are empty.
inline std::vector<std::string> Pieces(const uint8_t* data, size_t size, size_t most) {
  std::string all(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> out;
  size_t start = 0;
  while (out.size() + 1 < most) {
    size_t nul = all.find('\0', start);
    if (nul == std::string::npos) break;
    out.push_back(all.substr(start, nul - start));
    start = nul + 1;
  }
  out.push_back(all.substr(start));
  out.resize(most);
  return out;
}

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace tolvex::fuzz
