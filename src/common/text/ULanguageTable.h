// The languages the scripts know: codes for the condition tokens, names for the
// language folders of installer paths. Pure data; the match against this PC's locale
// lives in ULocale2.
#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

struct LanguageRow {
  uint32_t languageId;  // primary id in the low 16 bits, sub-language id in the high 16 bits
  const char* code;
  const char* name;
  const char* displayName;
  bool hhUpgradeFlag, ie4InstallFlag;
};

constexpr int kLanguageCount = 28;
// Row 1..28; nullptr outside.
const LanguageRow* LanguageTableRow(int row);
// The row for a locale's primary and sub-language ids: both equal, else the first row
// with that primary id; -1 when none.
int MatchLanguage(unsigned primaryId, unsigned subId);
// Row of a code (any letter case), -1 when unknown.
int LanguageRowOfCode(const std::string& code);

}  // namespace tolvex
