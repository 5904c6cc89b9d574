// The SendKeys notation, as both the simulated and the Windows shell read it.
#include "platform/send_keys.h"

#include <gtest/gtest.h>

namespace korvanel::platform {
namespace {

std::vector<Text> notations(TextView keys) {
  std::vector<Text> out;
  auto parsed = parseSendKeys(keys);
  if (!parsed) return {u"<invalid>"};
  for (const KeyStroke& k : *parsed) out.push_back(k.notation());
  return out;
}

TEST(SendKeys, ModifiersApplyToTheNextKeyOrGroup) {
  EXPECT_EQ(notations(u"+{TAB}{END}"), (std::vector<Text>{u"+{TAB}", u"{END}"}));
  EXPECT_EQ(notations(u"%n2"), (std::vector<Text>{u"%n", u"2"}));
  EXPECT_EQ(notations(u"^+(ab)c"), (std::vector<Text>{u"+^a", u"+^b", u"c"}));
  EXPECT_EQ(notations(u"{Esc}{Right}~"), (std::vector<Text>{u"{ESC}", u"{RIGHT}", u"{ENTER}"}));
  EXPECT_EQ(notations(u"{escape}{BS}"), (std::vector<Text>{u"{ESC}", u"{BACKSPACE}"}));
}

TEST(SendKeys, BracedCharactersAndRepeats) {
  EXPECT_EQ(notations(u"{+}{%}{{}{}}"), (std::vector<Text>{u"{+}", u"{%}", u"{{}", u"{}}"}));
  EXPECT_EQ(notations(u"{TAB 3}"), (std::vector<Text>{u"{TAB}", u"{TAB}", u"{TAB}"}));
  EXPECT_EQ(notations(u"{x 2}"), (std::vector<Text>{u"x", u"x"}));
  EXPECT_EQ(notations(u""), std::vector<Text>{});
}

TEST(SendKeys, MalformedNotationTypesNothing) {
  for (TextView bad : {u"{TAB", u"{NOSUCHKEY}", u"+", u"%(ab", u"a)", u"{}", u"]", u"{TAB x}"}) {
    EXPECT_FALSE(parseSendKeys(bad).has_value()) << text::toUtf8(bad);
  }
}

TEST(SendKeys, LongAndDeepTextsEndWithoutExhaustingTheStack) {
  auto shifted = parseSendKeys(Text(100000, u'+') + u"a");
  ASSERT_TRUE(shifted);
  EXPECT_EQ(shifted->size(), 1u);
  EXPECT_TRUE((*shifted)[0].shift);
  EXPECT_TRUE(parseSendKeys(Text(16, u'(') + u"a" + Text(16, u')')));
  EXPECT_FALSE(parseSendKeys(Text(100000, u'(') + u"a" + Text(100000, u')')));
}

TEST(SendKeys, KeyQueries) {
  auto keys = parseSendKeys(u"%N{END}");
  ASSERT_TRUE(keys);
  EXPECT_TRUE((*keys)[0].isChar(u'n'));
  EXPECT_TRUE((*keys)[0].alt);
  EXPECT_FALSE((*keys)[0].plain());
  EXPECT_TRUE((*keys)[1].isNamed(u"END"));
  EXPECT_TRUE((*keys)[1].plain());
}

}  // namespace
}  // namespace korvanel::platform
