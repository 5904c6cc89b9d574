#include "profile/profile_settings.h"

#include <gtest/gtest.h>

#include "profile/profile_key.h"
#include "registry_test_support.h"
#include "sim/sim_registry.h"

namespace korvanel::profile {
namespace {

using namespace testing;

constexpr char16_t kProfile[] = u"Outlook";

class ProfileSettingsTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(reg.openHandleCount(), 0u); }

  Bytes stored(TextView name) {
    auto v = readValue(reg, ProfileKeyPath(kProfile), name);
    EXPECT_TRUE(v && v->type == platform::kRegBinary);
    return v ? v->data : Bytes();
  }

  sim::SimRegistry reg;
  ProfileSettings settings{reg};
};

TEST(ProfileKey, PathsAndTextLayout) {
  EXPECT_EQ(ProfileKeyPath(u"Pat"),
            u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
            u"Subsystem\\Profiles\\Pat");
  EXPECT_EQ(ProfileKeyPath(u""),
            u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
            u"Subsystem\\Profiles");
  EXPECT_EQ(AccountKeyPath(u"Pat", 10),
            ProfileKeyPath(u"Pat") + u"\\9375CFF0413111d3B88A00104B2A6676\\0000000a");
  EXPECT_EQ(ProfileText(u"  1 "), (Bytes{0x31, 0, 0, 0}));
  EXPECT_EQ(ProfileText(u"\tA "), (Bytes{0x09, 0, 'A', 0, 0, 0}));  // a TAB is not trimmed
  EXPECT_EQ(ProfileText(u""), (Bytes{0, 0}));
  EXPECT_EQ(AccountIdOf(u"0000001a"), 26u);
  EXPECT_EQ(AccountIdOf(u"0000001A"), 26u);
  EXPECT_FALSE(AccountIdOf(u"1a"));
  EXPECT_FALSE(AccountIdOf(u"abc"));
  EXPECT_FALSE(AccountIdOf(u"0000001g"));
}

TEST_F(ProfileSettingsTest, ReplyAddressFormatIsStoredAsProfileText) {
  EXPECT_TRUE(settings.SaveReplyAddressFormat(kProfile, u"1"));
  EXPECT_EQ(stored(kReplyAddressFormatValue), (Bytes{0x31, 0, 0, 0}));
  EXPECT_TRUE(settings.SaveReplyAddressFormat(kProfile, u"  1 "));
  EXPECT_EQ(stored(kReplyAddressFormatValue), (Bytes{0x31, 0, 0, 0}));
  EXPECT_EQ(settings.LoadReplyAddressFormat(kProfile), Text(u"1\0", 2));
  EXPECT_EQ(replyAddressFormatOf(settings.LoadReplyAddressFormat(kProfile)), 1);
}

TEST_F(ProfileSettingsTest, ReplyAddressFormatFallsBackToTwo) {
  EXPECT_EQ(settings.LoadReplyAddressFormat(kProfile), u"");
  EXPECT_EQ(replyAddressFormatOf(u""), 2);
  for (const char16_t* text : {u"7", u"-1", u"x", u"3"}) {
    settings.SaveReplyAddressFormat(kProfile, text);
    EXPECT_EQ(replyAddressFormatOf(settings.LoadReplyAddressFormat(kProfile)), 2)
        << static_cast<char>(text[0]);
  }
  settings.SaveReplyAddressFormat(kProfile, u"0");
  EXPECT_EQ(replyAddressFormatOf(settings.LoadReplyAddressFormat(kProfile)), 0);
}

TEST_F(ProfileSettingsTest, MonitoredFoldersEndEveryEntryWithATab) {
  EXPECT_TRUE(settings.SaveMonitoredFolders(kProfile, u"A\tB\t"));
  EXPECT_EQ(stored(kMonitoredFoldersValue), (Bytes{'A', 0, 9, 0, 'B', 0, 9, 0, 0, 0}));
  const std::vector<Text> pieces = text::split(settings.LoadMonitoredFolders(kProfile), u"\t");
  EXPECT_EQ(pieces, (std::vector<Text>{u"A", u"B", Text(1, u'\0')}));

  EXPECT_TRUE(settings.SaveMonitoredFolders(kProfile, u""));
  EXPECT_EQ(stored(kMonitoredFoldersValue), (Bytes{0, 0}));
}

TEST_F(ProfileSettingsTest, AnEmptyProfileNameTouchesNothing) {
  EXPECT_FALSE(settings.SaveReplyAddressFormat(u"", u"1"));
  EXPECT_FALSE(settings.SaveMonitoredFolders(u"", u"A\t"));
  EXPECT_EQ(settings.LoadReplyAddressFormat(u""), u"");
  EXPECT_EQ(settings.LoadMonitoredFolders(u""), u"");
  EXPECT_FALSE(keyExists(reg, u"Software"));
}

TEST_F(ProfileSettingsTest, RefreshFlagIsSetReadAndCleared) {
  EXPECT_EQ(settings.GetRefreshFlag(kProfile), u"");
  EXPECT_TRUE(settings.SetRefreshFlag(kProfile));
  auto v = readValue(reg, ProfileKeyPath(kProfile), kRefreshFlagValue);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->type, platform::kRegSz);
  EXPECT_EQ(v->data, (Bytes{0x31, 0}));
  EXPECT_EQ(settings.GetRefreshFlag(kProfile), u"1");
  EXPECT_TRUE(settings.ClearRefreshFlag(kProfile));
  EXPECT_EQ(settings.GetRefreshFlag(kProfile), u"");
  EXPECT_TRUE(settings.ClearRefreshFlag(kProfile));  // nothing left to clear
}

}  // namespace
}  // namespace korvanel::profile
