#include "addin/identity_match.h"

#include <vector>

#include "addin/address_list.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

// The earliest row whose address equals one of the filter entries, or -1.
int firstRowInFilter(const IdentityTable& table, TextView filter) {
  int best = -1;
  for (TextView f : filterEntriesOf(filter)) {
    const std::vector<int>& rows = table.rowsWithEmail(f);
    if (!rows.empty() && (best < 0 || rows.front() < best)) best = rows.front();
  }
  return best;
}

}  // namespace

// Rows are found through the table's address index rather than by walking the table, so
// the cost does not grow with the number of identities; the index lists the rows of one
// address in table order, which gives the same winner as a walk in table order would.
int FindIdentity(const IdentityTable& table, TextView list, TextView filter) {
  if (list.empty() || table.empty()) return -1;
  const std::vector<ParsedAddress> parsed = parseAddressEntries(list, filter);
  if (parsed.empty()) return -1;

  // The earliest row whose address occurs in the list, and the first list position that
  // holds that address.
  int candidate = -1;
  std::size_t position = 0;
  for (std::size_t j = 0; j < parsed.size(); ++j) {
    const std::vector<int>& rows = table.rowsWithEmail(parsed[j].address);
    if (!rows.empty() && (candidate < 0 || rows.front() < candidate)) {
      candidate = rows.front();
      position = j;
    }
  }

  if (candidate >= 0) {
    const TextView name = parsed[position].name;
    if (parsed.size() == 1 && trimView(name).empty()) return candidate;
    // The display name decides between rows that share the address.
    for (int row : table.rowsWithEmail(parsed[position].address)) {
      if (text::equalsNoCase(name, table.DisplayName(row))) return row;
    }
    return candidate;
  }

  if (filter.empty()) return -1;
  return firstRowInFilter(table, filter);
}

}  // namespace korvanel::addin
