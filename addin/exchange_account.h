// The profile's Exchange account, told apart from the identity accounts. The Options page
// names it "EX [user <address>]", the form of an identity account's name, so its name alone
// says nothing: it is known by its account key, and by its name only where no key is at hand.
#pragma once

#include "addin/shared_state.h"
#include "text/text.h"

namespace korvanel::addin {

// Whether an account, given by its name and, when there is one, the AccountStamp beside it
// (account key, U+0001, address), is the Exchange account. A stamp's key decides: the
// Exchange account's key, or another account's, whatever the name. Without a key, the name
// is compared with the Exchange account's.
bool isExchangeAccount(const SharedState& state, text::TextView accountName,
                       text::TextView stamp = {});

}  // namespace korvanel::addin
