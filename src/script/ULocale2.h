// The languages the scripts know, and the one this PC's user works in.
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

struct LanguageState {
  int index = -1;       // CurrentLanguage index, 1..28 or -1
  std::string code;     // CurrentLanguageCode, empty when no row matched
  unsigned lcid = 0, primaryId = 0, subId = 0;
};
LanguageState& CurrentLanguage();
// Program load: matches the user's default locale.
void MatchCurrentLanguage();
void SetCurrentLanguageForLcid(unsigned lcid);

}  // namespace tolvex
