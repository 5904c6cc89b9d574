#include <gtest/gtest.h>

#include "addin/complete_send.h"
#include "addin/sent_items.h"

namespace korvanel::addin {
namespace {

TEST(DecodeStamp, NameAndAddressOfBothIdentityKinds) {
  auto decoded =
      decodeStamp(u"00000003\x0001sales@contoso.com ", u"EX [Sales <SALES@contoso.com>]");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->address, u"sales@contoso.com");
  EXPECT_EQ(decoded->name, u"Sales");

  // A shared mailbox's address is its distinguished name, which its account name lacks.
  decoded = decodeStamp(u"00000004\x0001/o=Contoso/cn=helpdesk", u"EX MBX [Help Desk]");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->address, u"/o=Contoso/cn=helpdesk");
  EXPECT_EQ(decoded->name, u"EX MBX [Help Desk]");

  // The address opening the name is not cut off; a name without the prefix stays.
  decoded = decodeStamp(
      u"k\x0001"
      u"a@x.com",
      u"a@x.com");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->name, u"a@x.com");
  decoded = decodeStamp(
      u"k\x0001"
      u"a@x.com",
      u"Ann Doe <a@x.com>");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->name, u"Ann Doe");
}

TEST(DecodeStamp, NothingWithoutKeyOrAddress) {
  EXPECT_FALSE(decodeStamp(u"", u"EX [A <a@x.com>]"));
  EXPECT_FALSE(decodeStamp(u"00000003", u"EX [A <a@x.com>]"));
  EXPECT_FALSE(
      decodeStamp(u"\x0001"
                  u"a@x.com",
                  u"EX [A <a@x.com>]"));
  EXPECT_FALSE(decodeStamp(u"00000003\x0001   ", u"EX [A <a@x.com>]"));
}

TEST(ReceivedAsCategories, DroppedInAnyCaseOthersKeptInOrder) {
  EXPECT_EQ(withoutReceivedAsCategories(u"Received as: Sales, Red, received AS:x, Blue"),
            u"Red, Blue");
  EXPECT_EQ(withoutReceivedAsCategories(u"Received as:"), u"");
  EXPECT_FALSE(withoutReceivedAsCategories(u"Red, Received a"));
  // Only ", " separates categories.
  EXPECT_EQ(withoutReceivedAsCategories(u"Red,Received as: X, Blue"), std::nullopt);
}

TEST(SentCopyIdentity, ReplyAddressCleanedAndDisplayNameDecides) {
  EXPECT_EQ(cleanReplyAddress(u"smtp:<a@x.com>"), u"a@x.com");
  EXPECT_EQ(cleanReplyAddress(u"<a@x.com>"), u"a@x.com");
  EXPECT_EQ(cleanReplyAddress(u"SMTP:a@x.com"), u"SMTP:a@x.com");
  EXPECT_EQ(cleanReplyAddress(u"<"), u"");

  IdentityTable table;
  table.addRow({u"00000003", u"other@x.com", u"Other", u"EX [Other <other@x.com>]", u"2"});
  table.addRow({u"00000004", u"sales@x.com", u"Sales", u"EX [Sales <sales@x.com>]", u"3"});
  table.addRow(
      {u"00000005", u"SALES@x.com", u" Sales Team ", u"EX [Sales Team <sales@x.com>]", u"4"});
  EXPECT_EQ(sentCopyIdentity(table, u"sales team", u"sales@x.com"), 2);
  EXPECT_EQ(sentCopyIdentity(table, u"Someone", u"sales@x.com"), 1);
  EXPECT_EQ(sentCopyIdentity(table, u"Sales", u"nobody@x.com"), -1);
}

}  // namespace
}  // namespace korvanel::addin
