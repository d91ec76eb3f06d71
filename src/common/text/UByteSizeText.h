// Byte counts as people read them: three significant digits and a unit.
#pragma once

#include <string>

namespace tolvex {

// "512  B", "1.50 KB", "11.8 MB", "1000 KB" (999.9 KB rounds up and keeps no decimals).
// decimalSeparator is the user's (a comma gives "1,50 KB"); a negative count is written
// whole. A count of 1000 TB or more stays in TB.
std::string FormatByteSize(long long bytes, const std::string& decimalSeparator);

}  // namespace tolvex
