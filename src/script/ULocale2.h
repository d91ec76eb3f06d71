// The language this PC's user works in, matched once at program load against the
// languages the scripts know.
#pragma once

#include <string>

#include "ULanguageTable.h"

namespace tolvex {

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
