#include <gtest/gtest.h>

#include "ULocale2.h"

using namespace tolvex;

TEST(LanguageTable, MatchesExactThenPrimaryLanguage) {
  struct Case {
    unsigned lcid;
    int row;
    const char* code;
  } cases[] = {
      {0x0409, 1, "en"},   // en-US: no row with sub-language 1, the primary match
      {0x0809, 1, "en"},
      {0x0407, 2, "de"},
      {0x0411, 3, "jp"},
      {0x0804, 5, "chs"},  // zh-CN: sub-language 2, exact
      {0x0404, 6, "cht"},  // zh-TW: sub-language 1, exact
      {0x0C04, 5, "chs"},  // zh-HK: no exact row, first row with primary 4
      {0x0416, 19, "ptb"},
      {0x0816, 18, "pt"},
      {0x0403, 28, "ca"},
      {0x042D, 27, "eu"},
      {0x042A, -1, ""},    // Vietnamese: no row
  };
  for (const Case& c : cases) {
    SetCurrentLanguageForLcid(c.lcid);
    EXPECT_EQ(c.row, CurrentLanguage().index) << std::hex << c.lcid;
    EXPECT_EQ(c.code, CurrentLanguage().code) << std::hex << c.lcid;
  }
  SetCurrentLanguageForLcid(0x0804);
  EXPECT_EQ(4u, CurrentLanguage().primaryId);
  EXPECT_EQ(2u, CurrentLanguage().subId);
}

TEST(LanguageTable, CodesAndRows) {
  EXPECT_EQ(19, LanguageRowOfCode("PTB"));
  EXPECT_EQ(-1, LanguageRowOfCode("xx"));
  EXPECT_EQ(nullptr, LanguageTableRow(0));
  EXPECT_EQ(nullptr, LanguageTableRow(29));
  EXPECT_STREQ("Chinese (Simplified)", LanguageTableRow(5)->displayName);
  EXPECT_STREQ("Simplified_Chinese", LanguageTableRow(5)->name);
  for (int i = 1; i <= kLanguageCount; ++i)
    EXPECT_TRUE(LanguageTableRow(i)->hhUpgradeFlag && LanguageTableRow(i)->ie4InstallFlag);
}
