#include "UGuidText.h"

#include <cstdio>

#include "UText.h"

namespace tolvex {

namespace {

// count hex digits at text[pos]; false on anything else, a sign included.
bool HexField(const std::string& text, size_t pos, size_t count, uint32_t& value) {
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    int d = HexDigitValue(text[pos + i]);
    if (d < 0) return false;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return true;
}

}  // namespace

bool ParseGuidText(const std::string& text, GuidFields& g) {
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-')
    return false;
  GuidFields out;
  uint32_t v = 0;
  if (!HexField(text, 1, 8, out.data1)) return false;
  if (!HexField(text, 10, 4, v)) return false;
  out.data2 = static_cast<uint16_t>(v);
  if (!HexField(text, 15, 4, v)) return false;
  out.data3 = static_cast<uint16_t>(v);
  static const size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (size_t i = 0; i < 8; ++i) {
    if (!HexField(text, bytePos[i], 2, v)) return false;
    out.data4[i] = static_cast<uint8_t>(v);
  }
  g = out;
  return true;
}

std::string GuidFieldsText(const GuidFields& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.data1), static_cast<unsigned>(g.data2),
                static_cast<unsigned>(g.data3), g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return buf;
}

}  // namespace tolvex
