#include <gtest/gtest.h>

#include "addin/identity_text_forms.h"

namespace korvanel::addin {
namespace {

TEST(IdentityTextForms, ReplyToEntryInEachAddressFormat) {
  EXPECT_EQ(ReplyToEntry(u"Ann Doe", u"ann@x.com", 0), u"Ann Doe <ann@x.com>");
  EXPECT_EQ(ReplyToEntry(u"Ann Doe", u"ann@x.com", 1), u"Ann Doe [smtp:ann@x.com]");
  EXPECT_EQ(ReplyToEntry(u"Ann Doe", u"ann@x.com", 2), u"Ann Doe [smtp:<ann@x.com>]");
  EXPECT_EQ(ReplyToEntry(u"Ann Doe", u"ann@x.com", 7), u"Ann Doe [smtp:<ann@x.com>]");
  EXPECT_EQ(ReplyToEntry(u"", u"ann@x.com", 0), u"<ann@x.com>");
}

TEST(IdentityTextForms, StampsAccountNamesAndRecipientEntries) {
  EXPECT_EQ(AccountStamp(u"00000003", u"ann@x.com"), u"00000003\x0001" u"ann@x.com");
  IdentityTable table;
  table.addRow(IdentityRow{u"00000004", u"b@y.com", u"B", u"EX [B <b@y.com>]", u"3"});
  EXPECT_EQ(AccountStamp(table, 0), u"00000004\x0001" u"b@y.com");
  EXPECT_EQ(AccountStamp(table, 1), u"");

  EXPECT_EQ(addressAccountName(u"Ann", u"ann@x.com"), u"EX [Ann <ann@x.com>]");
  EXPECT_EQ(mailboxAccountName(u"Sales"), u"EX MBX [Sales]");
  EXPECT_TRUE(isAddressAccountName(u"ex [Ann <ann@x.com>]"));
  EXPECT_FALSE(isAddressAccountName(u"EX MBX [Sales]"));
  EXPECT_TRUE(isMailboxAccountName(u"Ex Mbx [Sales]"));
  EXPECT_FALSE(isMailboxAccountName(u"EX [Mbx <m@x.com>]"));

  EXPECT_EQ(recipientEntry(u"  Ann Doe ", u" ann@x.com "), u"Ann Doe ann@x.com");
  EXPECT_EQ(recipientEntry(u"   ", u"ann@x.com"), u"ann@x.com");
  EXPECT_EQ(recipientEntry(u"Ann", u" "), u"");
}

}  // namespace
}  // namespace korvanel::addin
