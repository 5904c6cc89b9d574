#include "profile/ui_language.h"

#include <gtest/gtest.h>

namespace korvanel::profile {
namespace {

int trueFlags(const LanguageFlags& f) {
  return f.IsEnglishUI + f.IsSpanishUI + f.IsFrenchUI + f.IsGermanUI + f.IsItalianUI + f.IsDutchUI +
         f.IsRussianUI + f.IsUkrainianUI + f.IsBulgarianUI + f.IsSwedishUI + f.IsFinnishUI +
         f.IsPortugalPortugueseUI + f.IsBrazilPortugueseUI + f.IsNorwegianUI + f.IsCzechUI +
         f.IsDanishUI;
}

TEST(UiLanguage, EachIdentifierSetsOnlyItsOwnFlag) {
  EXPECT_TRUE(languageFlagsFor(0x0409).IsEnglishUI);
  EXPECT_TRUE(languageFlagsFor(0x0C0A).IsSpanishUI);
  EXPECT_TRUE(languageFlagsFor(0x0462).IsFrenchUI);   // Frisian counts as French
  EXPECT_TRUE(languageFlagsFor(0x0423).IsRussianUI);  // Belarusian counts as Russian
  EXPECT_TRUE(languageFlagsFor(0x0816).IsPortugalPortugueseUI);
  EXPECT_TRUE(languageFlagsFor(0x0416).IsBrazilPortugueseUI);
  for (int lcid : {0x0409, 0x0C0A, 0x0462, 0x0423, 0x0816, 0x0416, 0x0414, 0x0406}) {
    EXPECT_EQ(trueFlags(languageFlagsFor(lcid)), 1) << std::hex << lcid;
  }
}

TEST(UiLanguage, UnlistedIdentifiersSetNoFlag) {
  // Japanese, Norwegian Nynorsk (only Bokmål is listed), and an unreadable language.
  for (int lcid : {0x0411, 0x0814, 0, -1}) {
    EXPECT_EQ(languageFlagsFor(lcid), LanguageFlags()) << std::hex << lcid;
  }
}

TEST(UiLanguage, ListsDoNotOverlapAndHaveTheirSizes) {
  using Predicate = bool (*)(std::int32_t);
  const Predicate predicates[] = {IsEnglish,          IsSpanish,   IsGerman,  IsFrench,
                                  IsItalian,          IsDutch,     IsRussian, IsUkrainian,
                                  IsBulgarian,        IsSwedish,   IsFinnish, IsPortugalPortuguese,
                                  IsBrazilPortuguese, IsNorwegian, IsCzech,   IsDanish};
  const int expectedCounts[] = {14, 20, 5, 16, 2, 2, 3, 1, 1, 2, 1, 1, 1, 1, 1, 1};
  int counts[16] = {};
  for (std::int32_t lcid = 0; lcid <= 0xFFFF; ++lcid) {
    int hits = 0;
    for (int p = 0; p < 16; ++p) {
      if (predicates[p](lcid)) {
        ++counts[p];
        ++hits;
      }
    }
    ASSERT_LE(hits, 1) << std::hex << lcid;
    if (hits == 1) {
      ASSERT_EQ(trueFlags(languageFlagsFor(lcid)), 1);
    }
  }
  for (int p = 0; p < 16; ++p) EXPECT_EQ(counts[p], expectedCounts[p]) << "predicate " << p;
}

}  // namespace
}  // namespace korvanel::profile
