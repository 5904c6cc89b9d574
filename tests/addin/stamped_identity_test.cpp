#include "addin/stamped_identity.h"

#include <gtest/gtest.h>

namespace korvanel::addin {
namespace {

// Two identities share the sales address; a mailbox identity has none.
IdentityTable sharedAddressTable() {
  IdentityTable table;
  table.addRow(
      {u"00000003", u"sales@contoso.com", u"Sales", u"EX [Sales <sales@contoso.com>]", u"2"});
  table.addRow({u"00000004", u"/o=Contoso/cn=helpdesk", u"Help Desk", u"EX MBX [Help Desk]", u"3"});
  table.addRow({u"00000005", u"sales@contoso.com", u"Sales Team",
                u"EX [Sales Team <sales@contoso.com>]", u"4"});
  return table;
}

TEST(StampedIdentity, TheStampsAccountKeyThenTheAccountName) {
  const IdentityTable table = sharedAddressTable();
  // The key decides, even against a name that says otherwise.
  EXPECT_EQ(
      stampedIdentity(table, u"EX [Sales <sales@contoso.com>]", u"00000005\x0001sales@contoso.com"),
      2);
  // A read receipt held the stamp back: the account name alone, compared whole.
  EXPECT_EQ(stampedIdentity(table, u" ex [sales team <SALES@contoso.com>] ", u""), 2);
  EXPECT_EQ(stampedIdentity(table, u"EX MBX [Help Desk]", u""), 1);
  // A key whose address is not the row's is not that row.
  EXPECT_EQ(
      stampedIdentity(table, u"EX [Sales <sales@contoso.com>]", u"00000005\x0001other@contoso.com"),
      -1);
}

TEST(StampedIdentity, StampOfAnAccountWrittenAnewGoesByAddressAndDisplayName) {
  const IdentityTable table = sharedAddressTable();
  EXPECT_EQ(stampedIdentity(table, u"EX [Sales Team <sales@contoso.com>]",
                            u"0000000a\x0001sales@contoso.com"),
            2);
  EXPECT_EQ(stampedIdentity(table, u"EX [Old Name <sales@contoso.com>]",
                            u"0000000a\x0001sales@contoso.com"),
            0);
  // Nothing else is read out of the name.
  EXPECT_EQ(stampedIdentity(table, u"EX [Old Name <sales@contoso.com>]", u""), -1);
  EXPECT_EQ(stampedIdentity(table, u"", u""), -1);
  EXPECT_EQ(stampedIdentity(IdentityTable(), u"EX [Sales <sales@contoso.com>]",
                            u"00000003\x0001sales@contoso.com"),
            -1);
}

}  // namespace
}  // namespace korvanel::addin
