#include <gtest/gtest.h>

#include <string>

#include "text/text.h"

namespace korvanel::text {
namespace {

const Text kFffd(1, 0xFFFD);

TEST(Utf8, RoundTripsEveryScalarValueForm) {
  const Text mixed = u"aé€Ж\U0001F600z";
  EXPECT_EQ(toUtf8(mixed), "a\xC3\xA9\xE2\x82\xAC\xD0\x96\xF0\x9F\x98\x80z");
  EXPECT_EQ(fromUtf8(toUtf8(mixed)), mixed);
  EXPECT_EQ(u16("Élodie"), u"Élodie");
  EXPECT_EQ(u16("abc"), u"abc");
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(fromUtf8("\xC0\xAF"), kFffd + kFffd);              // overlong
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), kFffd + kFffd + kFffd);  // encoded surrogate
  EXPECT_EQ(fromUtf8("\xF4\x90\x80\x80"), Text(4, 0xFFFD));    // above U+10FFFF
  EXPECT_EQ(fromUtf8("a\xE2\x82"
                     "b"),
            u"a" + kFffd + u"b");          // truncated, b kept
  EXPECT_EQ(fromUtf8("\xE2\x82"), kFffd);  // truncated at the end
  EXPECT_EQ(fromUtf8("\x80x\xFF"), kFffd + u"x" + kFffd);
  EXPECT_EQ(fromUtf8(std::string("a\0b", 3)), Text(u"a\0b", 3));
}

TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(toUtf8(Text(1, 0xD800) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(toUtf8(Text(1, 0xDC00)), "\xEF\xBF\xBD");
  EXPECT_EQ(toUtf8(Text{0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf16le, BytesAsTheRegistryHoldsThem) {
  EXPECT_EQ(toUtf16leBytes(Text(u"1\0", 2)), (Bytes{0x31, 0, 0, 0}));
  EXPECT_EQ(toUtf16leBytes(u"Ж"), (Bytes{0x16, 0x04}));
  EXPECT_EQ(fromUtf16leBytes(Bytes{0x31, 0, 0, 0}), Text(u"1\0", 2));
  EXPECT_EQ(fromUtf16leBytes(Bytes{0x41, 0, 0x42}), u"A");  // odd byte ignored
  EXPECT_EQ(fromUtf16leBytes(nullptr, 4), u"");
  const Text odd = Text{0xD800, 0xFFFF, 0};
  EXPECT_EQ(fromUtf16leBytes(toUtf16leBytes(odd)), odd);
}

TEST(Windows1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const Text wide = fromWindows1252(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(wide[0x80], u'€');
  EXPECT_EQ(wide[0x81], 0x0081);
  EXPECT_EQ(wide[0x9F], u'Ÿ');
  EXPECT_EQ(wide[0xE9], u'é');
  EXPECT_EQ(toWindows1252(wide), all);
}

TEST(Windows1252, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(toWindows1252(u"Ā Ж €"), "? ? \x80");
  EXPECT_EQ(toWindows1252(u"\U0001F600"), "?");  // one character, one mark
  EXPECT_EQ(toWindows1252(Text(1, 0xD800)), "?");
}

}  // namespace
}  // namespace korvanel::text
