#include "UByteSizeText.h"

#include <cstdio>

namespace tolvex {

static std::string Fixed(double value, int decimals, const std::string& separator) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text(buf);
  size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, separator.empty() ? "." : separator);
  return text;
}

std::string FormatByteSize(long long bytes, const std::string& decimalSeparator) {
  if (bytes < 0) return std::to_string(bytes);
  static const char* const kUnits[] = {"  B", " KB", " MB", " GB", " TB"};
  const int steps = static_cast<int>(sizeof kUnits / sizeof kUnits[0]);
  std::string separator = decimalSeparator.empty() ? "." : decimalSeparator;
  double value = static_cast<double>(bytes);
  for (int step = 0; step < steps; ++step) {
    // The last unit takes whatever is left rather than giving no text at all.
    if (value >= 1000 && step + 1 < steps) {
      value /= 1024;
      continue;
    }
    // Three decimals first: where the separator falls tells how many digits stand
    // before it, and so how many decimals make three significant digits.
    std::string text = Fixed(value, 3, separator);
    size_t at = text.find(separator);
    if (at != std::string::npos) {
      int decimals = 4 - static_cast<int>(at + 1);
      text = Fixed(value, decimals > 0 ? decimals : 0, separator);
    }
    return text + kUnits[step];
  }
  return std::string();
}

}  // namespace tolvex
