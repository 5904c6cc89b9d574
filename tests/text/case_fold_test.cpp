#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "text/text.h"

namespace korvanel::text {
namespace {

TEST(CaseFold, NamesInTheRequiredScriptsMatchAcrossCase) {
  EXPECT_TRUE(equalsNoCase(u"ÉLODIE", u"élodie"));
  EXPECT_TRUE(equalsNoCase(u"ИВАН", u"иван"));
  EXPECT_TRUE(equalsNoCase(u"ΟΔΥΣΣΕΥΣ", u"οδυσσευς"));
  EXPECT_TRUE(equalsNoCase(u"οδυσσευς", u"ΟΔΥΣΣΕΥς"));  // final sigma
  EXPECT_TRUE(equalsNoCase(u"ŁÓDŹ ŐRSÉG", u"łódź őrség"));
  EXPECT_TRUE(equalsNoCase(u"ŸVES", u"ÿves"));  // U+0178 lies outside Latin-1
  EXPECT_TRUE(equalsNoCase(u"ЁЖИК ЇЖАК", u"ёжик їжак"));
  EXPECT_TRUE(equalsNoCase(u"John.Smith@Example.COM", u"john.smith@example.com"));
  EXPECT_FALSE(equalsNoCase(u"élodie", u"elodie"));
  EXPECT_FALSE(equalsNoCase(u"abc", u"abcd"));
}

TEST(CaseFold, PunctuationThirtyTwoApartIsNotALetter) {
  // A fold that merely sets bit 5 would merge these.
  EXPECT_FALSE(equalsNoCase(u"[", u"{"));
  EXPECT_FALSE(equalsNoCase(u"@", u"`"));
  EXPECT_FALSE(equalsNoCase(u"^", u"~"));
  EXPECT_FALSE(equalsNoCase(u"×", u"÷"));
  EXPECT_FALSE(equalsNoCase(u"1", u"\u0011"));
}

TEST(CaseFold, TableIsConsistent) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    const auto u = static_cast<char16_t>(c);
    const char16_t f = foldCase(u);
    ASSERT_EQ(foldCase(f), f) << std::hex << static_cast<unsigned>(c);
    if (c >= 0xD800 && c <= 0xDFFF) {
      ASSERT_EQ(f, u);
    }
  }
  for (char16_t c = u'A'; c <= u'Z'; ++c) EXPECT_EQ(foldCase(c), c + 32);
  EXPECT_EQ(fold(u"ÀÉÎ ΣΑ Ж"), u"àéî σα ж");
}

TEST(CaseFold, PrefixSuffixAndSearch) {
  EXPECT_TRUE(startsWithNoCase(u"ex [Élodie <e@x>]", u"EX ["));
  EXPECT_TRUE(startsWithNoCase(u"EX MBX [Sales]", u"ex mbx"));
  EXPECT_FALSE(startsWithNoCase(u"EX", u"EX ["));
  EXPECT_TRUE(endsWithNoCase(u"Profile_DELETE_IT", u"_delete_it"));
  EXPECT_FALSE(endsWithNoCase(u"it", u"_delete_it"));

  EXPECT_EQ(findNoCase(u"To: Иван <IVAN@x>, ivan@y", u"иван"), 4u);
  EXPECT_EQ(findNoCase(u"ab AB ab", u"ab", 1), 3u);
  EXPECT_EQ(findNoCase(u"abc", u"C"), 2u);
  EXPECT_EQ(findNoCase(u"abc", u"abcd"), TextView::npos);
  EXPECT_EQ(findNoCase(u"abc", u"x"), TextView::npos);
  EXPECT_EQ(findNoCase(u"abc", u"", 3), 3u);
  EXPECT_EQ(findNoCase(u"abc", u"", 4), TextView::npos);
  EXPECT_EQ(findNoCase(u"abc", u"a", 99), TextView::npos);
}

TEST(CompareNoCase, SortsByUpperCaseLikeTheRegistry) {
  std::vector<Text> names = {u"b", u"_x", u"Z", u"a", u"ÉLAN", u"éclair", u"A1", u"[k]"};
  std::sort(names.begin(), names.end(), NoCaseLess{});
  const std::vector<Text> expected = {u"a", u"A1", u"b", u"Z", u"[k]", u"_x", u"éclair", u"ÉLAN"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(compareNoCase(u"ИВАН", u"иван"), 0);
  EXPECT_LT(compareNoCase(u"abc", u"ABCD"), 0);
  EXPECT_GT(compareNoCase(u"abd", u"ABC"), 0);
}

TEST(CompareNoCase, EqualExactlyWhenEqualsNoCaseAndOrderIsConsistent) {
  // Every pair of code units up to the end of Cyrillic, including dotless i and the other
  // letters whose upper case is shared with a different fold class.
  for (char16_t a = 0; a < 0x530; ++a) {
    for (char16_t b = 0; b < 0x530; ++b) {
      const TextView ta(&a, 1), tb(&b, 1);
      const int ab = compareNoCase(ta, tb);
      ASSERT_EQ(ab == 0, equalsNoCase(ta, tb)) << std::hex << +a << " " << +b;
      ASSERT_EQ(ab, -compareNoCase(tb, ta));
    }
  }
  EXPECT_NE(compareNoCase(u"\u0131", u"i"), 0);
}

}  // namespace
}  // namespace korvanel::text
