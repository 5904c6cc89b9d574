// SendKeys notation and Windows command lines as the simulated machine reads them.
#include "sim/send_keys.h"

#include <gtest/gtest.h>

#include "sim/command_line.h"

namespace korvanel::sim {
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

TEST(SendKeys, KeyQueries) {
  auto keys = parseSendKeys(u"%N{END}");
  ASSERT_TRUE(keys);
  EXPECT_TRUE((*keys)[0].isChar(u'n'));
  EXPECT_TRUE((*keys)[0].alt);
  EXPECT_FALSE((*keys)[0].plain());
  EXPECT_TRUE((*keys)[1].isNamed(u"END"));
  EXPECT_TRUE((*keys)[1].plain());
}

TEST(CommandLine, QuotedProgramAndArguments) {
  auto line = parseCommandLine(
      u"\"C:\\Program Files\\Microsoft Office\\Office12\\Outlook.exe\" /safe:3 /profile "
      u"\"Pat Doe_delete_it\"");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->program, u"C:\\Program Files\\Microsoft Office\\Office12\\Outlook.exe");
  EXPECT_EQ(line->arguments, (std::vector<Text>{u"/safe:3", u"/profile", u"Pat Doe_delete_it"}));
  const OutlookArguments args = readOutlookArguments(line->arguments);
  EXPECT_EQ(args.profile, u"Pat Doe_delete_it");
  EXPECT_TRUE(args.safe);
  EXPECT_EQ(args.safeLevel, 3);
  EXPECT_TRUE(args.unknown.empty());
}

TEST(CommandLine, QuotesAndBackslashesFollowTheRuntimeRules) {
  auto line = parseCommandLine(u"prog.exe a\\\"b \"c d\"e \"x\"\"y\" \\\\\"z\"");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->program, u"prog.exe");
  EXPECT_EQ(line->arguments, (std::vector<Text>{u"a\"b", u"c de", u"x\"y", u"\\z"}));
  EXPECT_FALSE(parseCommandLine(u"   ").has_value());
  EXPECT_FALSE(parseCommandLine(u"\"C:\\unterminated").has_value());
}

TEST(CommandLine, OutlookCollectsWhatItDoesNotKnow) {
  // An unquoted profile name with a blank splits, and the rest is a stray argument.
  const OutlookArguments args = readOutlookArguments({u"/profile", u"Pat", u"Doe", u"/safe:9"});
  EXPECT_EQ(args.profile, u"Pat");
  EXPECT_EQ(args.unknown, (std::vector<Text>{u"Doe", u"/safe:9"}));
  EXPECT_EQ(readOutlookArguments({u"/profile"}).unknown, std::vector<Text>{u"/profile"});
}

}  // namespace
}  // namespace korvanel::sim
