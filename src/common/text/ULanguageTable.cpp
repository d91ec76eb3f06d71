#include "ULanguageTable.h"

#include "UText.h"

namespace tolvex {

static const LanguageRow kLanguages[kLanguageCount] = {
    {0x9, "en", "English", "English", true, true},
    {0x7, "de", "German", "German", true, true},
    {0x11, "jp", "Japanese", "Japanese", true, true},
    {0x12, "ko", "Korean", "Korean", true, true},
    {0x20004, "chs", "Simplified_Chinese", "Chinese (Simplified)", true, true},
    {0x10004, "cht", "Traditional_Chinese", "Chinese (Traditional)", true, true},
    {0xC, "fr", "French", "French", true, true},
    {0xA, "es", "Spanish", "Spanish", true, true},
    {0x10, "it", "Italian", "Italian", true, true},
    {0x1D, "sv", "Swedish", "Swedish", true, true},
    {0x13, "nl", "Dutch", "Dutch", true, true},
    {0x19, "ru", "Russian", "Russian", true, true},
    {0x1, "ar", "Arabic", "Arabic", true, true},
    {0xD, "he", "Hebrew", "Hebrew", true, true},
    {0x6, "da", "Danish", "Danish", true, true},
    {0x14, "no", "Norwegian", "Norwegian", true, true},
    {0xB, "fi", "Finnish", "Finnish", true, true},
    {0x20016, "pt", "Portuguese", "Portuguese", true, true},
    {0x10016, "ptb", "Brazilian", "Brazilian", true, true},
    {0x5, "cs", "Czech", "Czech", true, true},
    {0x15, "pl", "Polish", "Polish", true, true},
    {0xE, "hu", "Hungarian", "Hungarian", true, true},
    {0x8, "el", "Greek", "Greek", true, true},
    {0x1F, "tr", "Turkish", "Turkish", true, true},
    {0x24, "sl", "Slovenian", "Slovenian", true, true},
    {0x1B, "sk", "Slovakian", "Slovakian", true, true},
    {0x2D, "eu", "Basque", "Basque", true, true},
    {0x3, "ca", "Catalan", "Catalan", true, true},
};

const LanguageRow* LanguageTableRow(int row) {
  return row >= 1 && row <= kLanguageCount ? &kLanguages[row - 1] : nullptr;
}

int MatchLanguage(unsigned primaryId, unsigned subId) {
  for (int i = 0; i < kLanguageCount; ++i)
    if ((kLanguages[i].languageId & 0xFFFF) == primaryId && (kLanguages[i].languageId >> 16) == subId)
      return i + 1;
  for (int i = 0; i < kLanguageCount; ++i)
    if ((kLanguages[i].languageId & 0xFFFF) == primaryId) return i + 1;
  return -1;
}

int LanguageRowOfCode(const std::string& code) {
  for (int i = 0; i < kLanguageCount; ++i)
    if (EqualsNoCase(code, kLanguages[i].code)) return i + 1;
  return -1;
}

}  // namespace tolvex
