// Windows command lines as the simulated machine reads them.
#include "sim/command_line.h"

#include <gtest/gtest.h>

namespace korvanel::sim {
namespace {

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
