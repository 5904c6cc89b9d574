// The user's identities as the add-in holds them after start-up: one row per identity
// account, in the order the accounts were enumerated, which is the matching priority.
// Single-threaded; a value type that the start-up load builds once and then only reads.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "profile/identity_account_lists.h"
#include "text/text.h"

namespace korvanel::addin {

using text::Text;
using text::TextView;

// One identity account: its registry subkey name, its address (for a shared mailbox the
// mailbox's distinguished name), display name, account name and position in the profile's
// account order (decimal text from 1).
struct IdentityRow {
  Text AccountKey;
  Text Email;
  Text DisplayName;
  Text AccountName;
  Text AccountIndex;
};

// Parallel columns indexed IdFirst() to IdLast(); IdLast() is -1 when there is no identity.
// A column read outside the bounds gives an empty text, never a read past the rows.
// Rows are looked up by address through an index kept in step with every added row, so
// matching costs the same whether the profile has ten identities or a thousand.
class IdentityTable {
 public:
  // Row indices are 16-bit in the shared state; rows past this count are not kept.
  static constexpr std::size_t kMaxRows = 32767;

  IdentityTable() = default;

  // The table built from the identity-account lists of the enumeration (entries separated
  // by TAB, entry k of each list belonging to the k-th account): the combined list gives
  // the number of rows; a list with fewer entries leaves the missing cells empty, extra
  // entries are ignored.
  static IdentityTable fromAccountLists(TextView combined, TextView accountKeys,
                                        TextView emails, TextView displayNames,
                                        TextView accountNames, TextView accountIndexes);
  // The same from what the account enumeration left (lists 1 to 6; signatures unused).
  static IdentityTable fromAccountLists(const profile::IdentityAccountLists& lists);

  // Appends a row after the existing ones (lowest priority); ignored beyond kMaxRows.
  void addRow(IdentityRow row);

  int IdFirst() const { return 0; }
  int IdLast() const { return static_cast<int>(rows_.size()) - 1; }
  bool empty() const { return rows_.empty(); }
  std::size_t size() const { return rows_.size(); }

  const Text& AccountKey(int i) const { return row(i).AccountKey; }
  const Text& Email(int i) const { return row(i).Email; }
  const Text& DisplayName(int i) const { return row(i).DisplayName; }
  const Text& AccountName(int i) const { return row(i).AccountName; }
  const Text& AccountIndex(int i) const { return row(i).AccountIndex; }

  // Rows whose Email equals the address without regard to case, in table order; rows with
  // an empty Email are never listed. Does not allocate.
  const std::vector<int>& rowsWithEmail(TextView email) const;

 private:
  // Hash and equality without regard to case, usable with a TextView key.
  struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(TextView s) const noexcept;
  };
  struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(TextView a, TextView b) const noexcept;
  };

  const IdentityRow& row(int i) const;

  std::vector<IdentityRow> rows_;
  std::unordered_map<Text, std::vector<int>, NoCaseHash, NoCaseEqual> byEmail_;
};

}  // namespace korvanel::addin
