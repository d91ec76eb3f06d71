#include "ULocale2.h"

#include <windows.h>

namespace tolvex {

static LanguageState g_language;

LanguageState& CurrentLanguage() { return g_language; }

void SetCurrentLanguageForLcid(unsigned lcid) {
  LanguageState s;
  s.lcid = lcid;
  s.primaryId = PRIMARYLANGID(LANGIDFROMLCID(lcid));
  s.subId = SUBLANGID(LANGIDFROMLCID(lcid));
  s.index = MatchLanguage(s.primaryId, s.subId);
  if (const LanguageRow* r = LanguageTableRow(s.index)) s.code = r->code;
  g_language = s;
}

void MatchCurrentLanguage() { SetCurrentLanguageForLcid(GetUserDefaultLCID()); }

}  // namespace tolvex
