#include <gtest/gtest.h>

#include <climits>

#include "text/text.h"

namespace korvanel::text {
namespace {

TEST(ReadInteger, StoredSettingsAsTheyAreRead) {
  // A setting is stored with one trailing U+0000, read back with it.
  EXPECT_EQ(readInteger(Text(u"1\0", 2)), 1);
  EXPECT_EQ(readInteger(Text(u"0\0", 2)), 0);
  EXPECT_EQ(readInteger(u"3"), 3);  // range checks are the caller's
  EXPECT_EQ(readInteger(u"-1"), -1);
  EXPECT_EQ(readInteger(u"+2"), 2);
  EXPECT_EQ(readInteger(u"  7 "), 7);
  EXPECT_EQ(readInteger(Text(u"12\0junk", 7)), 12);
  EXPECT_EQ(readInteger(u"007"), 7);
}

TEST(ReadInteger, NotANumber) {
  for (TextView s : {TextView(u""), TextView(u"x"), TextView(u"-"), TextView(u" "), TextView(u"1x"),
                     TextView(u"x1"), TextView(u"1 2"), TextView(u"\t1"), TextView(u"1.5"),
                     TextView(u"１"), TextView(u"0x10"), TextView(u"- 1")}) {
    EXPECT_EQ(readInteger(s), std::nullopt) << toUtf8(s);
  }
  EXPECT_EQ(readInteger(Text(u"\0", 1)), std::nullopt);
  EXPECT_EQ(readInteger(Text(u"\0"
                             u"5",
                             2)),
            std::nullopt);
}

TEST(ReadInteger, ThirtyTwoBitRangeOnEveryPlatform) {
  EXPECT_EQ(readInteger(u"2147483647"), 2147483647L);
  EXPECT_EQ(readInteger(u"-2147483648"), -2147483647L - 1);
  EXPECT_EQ(readInteger(u"2147483648"), std::nullopt);
  EXPECT_EQ(readInteger(u"-2147483649"), std::nullopt);
  EXPECT_EQ(readInteger(u"99999999999999999999999999"), std::nullopt);
}

TEST(ReadHex, AccountKeysAndLimits) {
  EXPECT_EQ(readHex(u"00000002"), 2u);
  EXPECT_EQ(readHex(u"0000001a"), 26u);
  EXPECT_EQ(readHex(u"1A"), 26u);
  EXPECT_EQ(readHex(u"ffffffff"), 0xFFFFFFFFu);
  EXPECT_EQ(readHex(u"0000000000000001"), 1u);
  EXPECT_EQ(readHex(u"100000000"), std::nullopt);
  EXPECT_EQ(readHex(u""), std::nullopt);
  EXPECT_EQ(readHex(u"0x1a"), std::nullopt);
  EXPECT_EQ(readHex(u"1g"), std::nullopt);
  EXPECT_EQ(readHex(u" 1"), std::nullopt);
}

TEST(ToText, Decimal) {
  EXPECT_EQ(toText(0), u"0");
  EXPECT_EQ(toText(-42), u"-42");
  EXPECT_EQ(toText(LLONG_MAX), u"9223372036854775807");
  EXPECT_EQ(toText(LLONG_MIN), u"-9223372036854775808");
}

}  // namespace
}  // namespace korvanel::text
