#include "addin/identity_match.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "addin/address_list.h"
#include "addin/identity_table.h"
#include "text/text.h"

namespace korvanel::addin {
namespace {

using text::Text;
using text::TextView;

IdentityTable tableOf(std::vector<std::pair<Text, Text>> emailAndName) {
  IdentityTable table;
  int key = 1;
  for (auto& [email, name] : emailAndName) {
    table.addRow(
        IdentityRow{text::toText(key), email, name, u"EX [" + name + u"]", text::toText(key + 1)});
    ++key;
  }
  return table;
}

class FindIdentityTest : public ::testing::Test {
 protected:
  // Two rows share an address; one row has no address at all.
  IdentityTable table_ = tableOf({{u"sales@contoso.com", u"Sales"},
                                  {u"", u"Nobody"},
                                  {u"SALES@Contoso.com", u"Contoso Sales"},
                                  {u"ann@fabrikam.com", u"Ann"},
                                  {u"élodie@fabrikam.fr", u"Élodie"}});
};

TEST_F(FindIdentityTest, DisplayNameChoosesBetweenRowsSharingAnAddress) {
  EXPECT_EQ(FindIdentity(table_, u"\"contoso sales\" <sales@contoso.com>", u""), 2);
  EXPECT_EQ(FindIdentity(table_, u"Sales <sales@contoso.com>", u""), 0);
  EXPECT_EQ(FindIdentity(table_, u"Someone Else <sales@contoso.com>", u""), 0);
  EXPECT_EQ(FindIdentity(table_, u"sales@CONTOSO.com", u""), 0);
  EXPECT_EQ(FindIdentity(table_, u"ÉLODIE@FABRIKAM.FR", u""), 4);
}

TEST_F(FindIdentityTest, TableOrderFirstThenListOrder) {
  // Ann comes first in the list, but the sales rows come first in the table.
  EXPECT_EQ(FindIdentity(table_, u" ann@fabrikam.com\r Contoso Sales <sales@contoso.com>", u""), 2);
  // Only the first occurrence of the address is asked for its display name.
  EXPECT_EQ(
      FindIdentity(table_, u"Other <sales@contoso.com>\rContoso Sales <sales@contoso.com>", u""),
      0);
  // A header line of several recipients, split per recipient.
  EXPECT_EQ(FindIdentity(table_, u" bob@x.com\r Ann <ann@fabrikam.com>", u""), 3);
}

TEST_F(FindIdentityTest, LoneAddressWithoutNameTakesFirstRowButSeveralCompareEmptyNames) {
  const IdentityTable table = tableOf({{u"x@y.com", u"X"}, {u"x@y.com", u""}});
  EXPECT_EQ(FindIdentity(table, u"x@y.com", u""), 0);
  EXPECT_EQ(FindIdentity(table, u"x@y.com\rz@q.com", u""), 1);
}

TEST_F(FindIdentityTest, FilterNarrowsTheListAndSecondPassUsesIt) {
  // The filter drops the sales address, so Ann's row is found.
  EXPECT_EQ(
      FindIdentity(table_, u"Sales <sales@contoso.com>\rann@fabrikam.com", u"ann@fabrikam.com"), 3);
  // Nothing in the list survives: the filter itself is matched.
  EXPECT_EQ(FindIdentity(table_, u"bob@x.com", u"nobody@x.com\rsales@contoso.com"), 0);
  // A listed address matches no row; the second pass finds the filter's identity.
  EXPECT_EQ(FindIdentity(table_, u"bob@x.com", u"bob@x.com\rann@fabrikam.com"), 3);
  EXPECT_EQ(FindIdentity(table_, u"bob@x.com", u"bob@x.com\rcarl@x.com"), -1);
  // Entries are compared without the blanks the server writes around them.
  EXPECT_EQ(FindIdentity(table_, u"bob@x.com", u"bob@x.com\r\t ann@fabrikam.com "), 3);
  EXPECT_EQ(FindIdentity(table_, u"Ann <ann@fabrikam.com>\rSales <sales@contoso.com>",
                         u" sales@contoso.com"),
            0);
}

TEST_F(FindIdentityTest, AddressesReadAsMailWritesThem) {
  // The address in angle brackets, not an "@" in the quoted name before it.
  EXPECT_EQ(FindIdentity(table_, u"\"sales@contoso.com\" <ann@fabrikam.com>", u""), 3);
  // Tabs are blanks, around the entry and before the brackets.
  EXPECT_EQ(FindIdentity(table_, u"\tContoso Sales\t<sales@contoso.com>\t", u""), 2);
  const IdentityTable table = tableOf({{u"o'brien@x.com", u"Pat O'Brien"}});
  EXPECT_EQ(FindIdentity(table, u"o'brien@x.com", u""), 0);
  EXPECT_EQ(FindIdentity(table, u"Pat O'Brien <o'brien@x.com>", u""), 0);
}

TEST_F(FindIdentityTest, NothingToMatch) {
  EXPECT_EQ(FindIdentity(table_, u"", u"ann@fabrikam.com"), -1);
  EXPECT_EQ(FindIdentity(table_, u"/o=Org/cn=Recipients/cn=ann", u""), -1);
  EXPECT_EQ(FindIdentity(IdentityTable(), u"ann@fabrikam.com", u""), -1);
  // Empty filter entries never meet the row that has no address.
  EXPECT_EQ(FindIdentity(table_, u"no address", u"\r"), -1);
}

// The matching rule walked row by row over the parsed text lists, as a reference for the
// indexed implementation.
int findByWalking(const IdentityTable& t, TextView list, TextView filter) {
  if (list.empty()) return -1;
  Text names;
  const Text parsed = ParseAddressList(list, names, filter);
  if (parsed.empty()) return -1;
  const std::vector<Text> a = text::split(parsed, u"\r");
  const std::vector<Text> n = text::split(names, u"\r");
  auto nameAt = [&](std::size_t j) { return j < n.size() ? n[j] : Text(); };
  int c = -1;
  std::size_t j = 0;
  for (int i = t.IdFirst(); i <= t.IdLast(); ++i) {
    if (t.Email(i).empty()) continue;
    if (c >= 0) {
      if (text::equalsNoCase(a[j], t.Email(i)) && text::equalsNoCase(nameAt(j), t.DisplayName(i)))
        return i;
      continue;
    }
    std::size_t k = 0;
    while (k < a.size() && !text::equalsNoCase(a[k], t.Email(i))) ++k;
    if (k == a.size()) continue;
    c = i;
    j = k;
    if (a.size() == 1 && text::trim(nameAt(j)).empty()) return i;
    if (text::equalsNoCase(nameAt(j), t.DisplayName(i))) return i;
  }
  if (c >= 0) return c;
  if (filter.empty()) return -1;
  for (int i = t.IdFirst(); i <= t.IdLast(); ++i) {
    if (t.Email(i).empty()) continue;
    for (const Text& f : text::split(filter, u"\r")) {
      if (text::equalsNoCase(f, t.Email(i))) return i;
    }
  }
  return -1;
}

TEST(FindIdentityIndex, AgreesWithTheRowByRowRule) {
  const Text emails[] = {u"a@x.com", u"A@X.COM", u"b@y.com", u"c@z.com", u""};
  const Text names[] = {u"Ann", u"ANN", u"Bob", u"", u" "};
  std::mt19937 random(20240611);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  for (int round = 0; round < 20000; ++round) {
    IdentityTable table;
    const std::size_t rows = pick(7);
    for (std::size_t r = 0; r < rows; ++r) {
      table.addRow(IdentityRow{u"k", emails[pick(5)], names[pick(5)], u"", u"1"});
    }
    Text list;
    const std::size_t entries = pick(5);
    for (std::size_t e = 0; e < entries; ++e) {
      if (e > 0) list += u'\r';
      switch (pick(4)) {
        case 0:
          list += emails[pick(5)];
          break;
        case 1:
          list += names[pick(5)] + u" <" + emails[pick(5)] + u">";
          break;
        case 2:
          list += u"\"" + names[pick(5)] + u"\" " + emails[pick(5)];
          break;
        default:
          list += u"other@q.com";
          break;
      }
    }
    Text filter;
    const std::size_t filtered = pick(4);
    for (std::size_t f = 0; f < filtered; ++f) {
      if (f > 0) filter += u'\r';
      filter += pick(3) == 0 ? Text(u"other@q.com") : emails[pick(5)];
    }
    ASSERT_EQ(FindIdentity(table, list, filter), findByWalking(table, list, filter))
        << text::toUtf8(list) << " / " << text::toUtf8(filter);
  }
}

TEST(IdentityTable, BuiltFromTheAccountListsWithMissingCellsEmpty) {
  const IdentityTable table = IdentityTable::fromAccountLists(
      u"00000003\x0001"
      u"a@x.com\x0001"
      u"Ann\t00000004\x0001\x0001\t00000005\x0001"
      u"c@z.com"
      u"\x0001"
      u"Carl",
      u"00000003\t00000004\t00000005", u"a@x.com\t\tc@z.com", u"Ann\tMbx",
      u"EX [Ann <a@x.com>]\tEX MBX [Mbx]\tEX [Carl <c@z.com>]\textra", u"2\t3\t4");
  ASSERT_EQ(table.IdFirst(), 0);
  ASSERT_EQ(table.IdLast(), 2);
  EXPECT_EQ(table.AccountKey(2), u"00000005");
  EXPECT_EQ(table.Email(1), u"");
  EXPECT_EQ(table.DisplayName(2), u"");
  EXPECT_EQ(table.AccountName(1), u"EX MBX [Mbx]");
  EXPECT_EQ(table.AccountIndex(0), u"2");
  EXPECT_EQ(table.Email(3), u"");
  EXPECT_EQ(table.Email(-1), u"");
  EXPECT_EQ(table.rowsWithEmail(u"C@Z.COM"), std::vector<int>{2});
  EXPECT_TRUE(table.rowsWithEmail(u"").empty());

  const IdentityTable none = IdentityTable::fromAccountLists(u"", u"", u"", u"", u"", u"");
  EXPECT_EQ(none.IdFirst(), 0);
  EXPECT_EQ(none.IdLast(), -1);
}

}  // namespace
}  // namespace korvanel::addin
