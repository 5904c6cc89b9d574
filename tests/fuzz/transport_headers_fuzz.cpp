// The readers of an arriving message's transport headers, the address parser and the
// matching rule, over any header text, against a fixed identity table. Beyond not crashing:
// the names parsed are parallel to the addresses, and the index-based FindIdentity gives
// the row that a walk of the table, row by row in table order, gives.
#include <algorithm>
#include <vector>

#include "addin/address_list.h"
#include "addin/identity_match.h"
#include "addin/identity_table.h"
#include "addin/transport_headers.h"
#include "fuzz_check.h"
#include "text/text.h"

namespace {

using korvanel::addin::IdentityRow;
using korvanel::addin::IdentityTable;
using korvanel::addin::ParsedAddress;
using korvanel::text::Text;
using korvanel::text::TextView;
namespace text = korvanel::text;

// Addresses shared by rows with different display names, letters that fold beyond ASCII,
// a shared mailbox (a distinguished name, no "@") and a row without an address.
IdentityTable fixedTable() {
  const IdentityRow rows[] = {
      {u"00000003", u"sales@contoso.com", u"Sales", u"EX [Sales <sales@contoso.com>]", u"2"},
      {u"00000004", u"help@contoso.com", u"Help Desk", u"EX MBX [Help Desk]", u"3"},
      {u"00000005", u"SALES@Contoso.com", u"Sales Team", u"EX [Sales Team <SALES@Contoso.com>]",
       u"4"},
      {u"00000006", u"élodie@exemple.fr", u"Élodie", u"EX [Élodie <élodie@exemple.fr>]", u"5"},
      {u"00000007", u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk", u"Help Desk",
       u"EX MBX [Help Desk]", u"6"},
      {u"00000008", u"", u"Nobody", u"EX [Nobody <>]", u"7"},
      {u"00000009", u"ИВАН@пример.рф", u"Иван", u"EX [Иван <ИВАН@пример.рф>]", u"8"},
      {u"0000000a", u"a@b", u"", u"EX [ <a@b>]", u"9"},
      {u"0000000b", u"help@contoso.com", u"Pat Doe", u"EX [Pat Doe <help@contoso.com>]", u"1"},
  };
  IdentityTable table;
  for (const IdentityRow& row : rows) table.addRow(row);
  return table;
}

bool blank(TextView s) { return s.find_first_not_of(u' ') == TextView::npos; }

// The matching rule as a walk of the table in order, over the same parsed addresses.
int walkTable(const IdentityTable& table, const std::vector<ParsedAddress>& parsed,
              TextView filter) {
  if (parsed.empty()) return -1;
  int candidate = -1;
  std::size_t position = 0;
  for (int i = table.IdFirst(); i <= table.IdLast(); ++i) {
    const Text& email = table.Email(i);
    if (email.empty()) continue;
    if (candidate >= 0) {
      if (text::equalsNoCase(parsed[position].address, email) &&
          text::equalsNoCase(parsed[position].name, table.DisplayName(i)))
        return i;
      continue;
    }
    std::size_t j = 0;
    while (j < parsed.size() && !text::equalsNoCase(parsed[j].address, email)) ++j;
    if (j == parsed.size()) continue;
    candidate = i;
    position = j;
    if (parsed.size() == 1 && blank(parsed[j].name)) return i;
    if (text::equalsNoCase(parsed[j].name, table.DisplayName(i))) return i;
  }
  if (candidate >= 0) return candidate;
  if (filter.empty()) return -1;
  // The filter's entries are read as the product reads them, blanks trimmed.
  const std::vector<TextView> entries = korvanel::addin::filterEntriesOf(filter);
  for (int i = table.IdFirst(); i <= table.IdLast(); ++i) {
    if (table.Email(i).empty()) continue;
    for (TextView f : entries) {
      if (text::equalsNoCase(f, table.Email(i))) return i;
    }
  }
  return -1;
}

void checkMatch(const IdentityTable& table, TextView list, TextView filter) {
  Text names;
  const Text addresses = korvanel::addin::ParseAddressList(list, names, filter);
  korvanel::fuzz::require(
      addresses.empty() || std::count(addresses.begin(), addresses.end(), u'\r') ==
                               std::count(names.begin(), names.end(), u'\r'),
      "ParseAddressList gives one name per address");
  const int found = korvanel::addin::FindIdentity(table, list, filter);
  const int walked =
      list.empty() ? -1
                   : walkTable(table, korvanel::addin::parseAddressEntries(list, filter), filter);
  korvanel::fuzz::require(found == walked, "FindIdentity equals the row-by-row walk");
  korvanel::fuzz::require(found >= -1 && found <= table.IdLast(), "FindIdentity gives a row");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const IdentityTable table = fixedTable();
  const Text headers = text::fromUtf8(korvanel::fuzz::bytesOf(data, size));

  // As an arrival reads them: the To and Cc lines filtered by the X-RecipientList.
  const Text filter = korvanel::addin::GetXRecipientList(headers);
  const Text list = korvanel::addin::GetToCcList(headers);
  checkMatch(table, list.empty() ? filter : list, filter);
  // The whole text as one list, as an account name or a recipients' list is matched.
  checkMatch(table, headers, u"");
  checkMatch(table, list, headers);
  return 0;
}
