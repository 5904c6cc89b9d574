#include <gtest/gtest.h>

#include "text/text.h"

namespace korvanel::text {
namespace {

using Pieces = std::vector<Text>;

TEST(Trim, SpacesOnly) {
  EXPECT_EQ(trim(u"  a b  "), u"a b");
  EXPECT_EQ(trim(u"\ta\t"), u"\ta\t");
  EXPECT_EQ(trim(u"   "), u"");
  EXPECT_EQ(trim(u""), u"");
  EXPECT_EQ(trim(Text(u" x\0 ", 4)), Text(u"x\0", 2));
}

TEST(TrimNull, CutsAtTheFirstNul) {
  EXPECT_EQ(trimNull(Text(u"ab\0cd\0", 6)), u"ab");
  EXPECT_EQ(trimNull(u"ab"), u"ab");
  EXPECT_EQ(trimNull(Text(u"\0", 1)), u"");
}

TEST(Split, KeepsEmptyPiecesOfANonEmptyText) {
  EXPECT_EQ(split(u"", u"\t"), Pieces{});
  EXPECT_EQ(split(u"a", u"\t"), Pieces{u"a"});
  EXPECT_EQ(split(u"\t", u"\t"), (Pieces{u"", u""}));
  EXPECT_EQ(split(u"a\t\tb\t", u"\t"), (Pieces{u"a", u"", u"b", u""}));
  EXPECT_EQ(split(u"k\u0001e@x\u0001Name", u"\u0001"), (Pieces{u"k", u"e@x", u"Name"}));
  EXPECT_EQ(split(u"a, b,,c", u", "), (Pieces{u"a", u"b,,c"}));
  EXPECT_EQ(split(u"abc", u""), Pieces{u"abc"});
  // The monitored-folders text as read back: entries, each followed by TAB, then U+0000.
  EXPECT_EQ(split(Text(u"A\tB\t\0", 5), u"\t"), (Pieces{u"A", u"B", Text(u"\0", 1)}));
}

TEST(Join, InverseOfSplit) {
  for (TextView s : {TextView(u"a"), TextView(u"\t"), TextView(u"a\t\tb\t"), TextView(u"\tx")}) {
    EXPECT_EQ(join(split(s, u"\t"), u"\t"), s);
  }
  EXPECT_EQ(join({}, u"\t"), u"");
  EXPECT_EQ(join({u"a", u"b"}, u""), u"ab");
}

TEST(ReplaceAll, ExactCaseLeftToRight) {
  EXPECT_EQ(replaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(replaceAll(u"a\tb\t", u"\t", u" "), u"a b ");
  EXPECT_EQ(replaceAll(u"Abc abc", u"abc", u"x"), u"Abc x");
  EXPECT_EQ(replaceAll(u"abc", u"", u"x"), u"abc");
  EXPECT_EQ(replaceAll(u"aa", u"a", u"aa"), u"aaaa");
}

}  // namespace
}  // namespace korvanel::text
