#include "profile/identity_account_lists.h"

namespace korvanel::profile {

const text::Text* IdentityAccountLists::list(int n) const {
  switch (n) {
    case 1:
      return &Combined;
    case 2:
      return &Subkeys;
    case 3:
      return &Emails;
    case 4:
      return &DisplayNames;
    case 5:
      return &AccountNames;
    case 6:
      return &Positions;
    case 7:
      return &NewSignatures;
    case 8:
      return &ReplySignatures;
    default:
      return nullptr;
  }
}

}  // namespace korvanel::profile
