#include <gtest/gtest.h>

#include "addin/identity_text_forms.h"
#include "addin/mailbox_columns.h"

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

TEST(MailboxColumns, BuiltFromProfileListsAndResolvedByDistinguishedName) {
  MailboxColumns none = MailboxColumns::fromLists(u"", u"");
  EXPECT_EQ(none.MbxLast(), -1);
  none.applyResolvedRecipient(u"", u"Nobody");
  EXPECT_EQ(none.MailboxResolvedNames(0), u"");

  MailboxColumns columns =
      MailboxColumns::fromLists(u"Mailbox - Ann\tSales\tSales copy\tNo DN", u"/o=Org/cn=ann\t"
                                u"/o=Org/cn=sales\t/o=Org/cn=SALES");
  ASSERT_EQ(columns.MbxLast(), 3);
  EXPECT_EQ(columns.MailboxDNs(3), u"");
  columns.applyResolvedRecipient(u"/O=ORG/CN=SALES", u"Contoso Sales");
  columns.applyResolvedRecipient(u"", u"Unresolved");
  EXPECT_EQ(columns.MailboxResolvedNames(0), u"Mailbox - Ann");
  EXPECT_EQ(columns.MailboxResolvedNames(1), u"Contoso Sales");
  EXPECT_EQ(columns.MailboxResolvedNames(2), u"Sales copy");
  EXPECT_EQ(columns.MailboxResolvedNames(3), u"No DN");
  EXPECT_EQ(columns.MailboxNames(1), u"Sales");
  EXPECT_EQ(columns.MailboxNames(4), u"");
}

}  // namespace
}  // namespace korvanel::addin
