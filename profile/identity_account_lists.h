// What the enumeration of a profile's accounts yields: eight parallel TAB-separated texts,
// entry k of each belonging to the k-th identity account found.
#pragma once

#include "text/text.h"

namespace korvanel::profile {

struct IdentityAccountLists {
  // 1: Subkey U+0001 Email U+0001 Display Name.
  text::Text Combined;
  // 2 to 5.
  text::Text Subkeys;
  text::Text Emails;
  text::Text DisplayNames;
  text::Text AccountNames;
  // 6: position in the account order list, decimal from 1 ("1" when not in the list).
  text::Text Positions;
  // 7 and 8.
  text::Text NewSignatures;
  text::Text ReplySignatures;

  // List n (1 to 8) as the product numbers them; nullptr for any other n.
  const text::Text* list(int n) const;
  bool operator==(const IdentityAccountLists&) const = default;
};

}  // namespace korvanel::profile
