// The one rule that decides at which of the user's identities a message was received.
#pragma once

#include "addin/identity_table.h"
#include "text/text.h"

namespace korvanel::addin {

// The row of table at which a message addressed to list (a RecipientList) was received,
// or -1. filter, when not empty, is the RecipientList of addresses the server recorded
// for the message (see parseAddressEntries).
//
// The earliest row, in table order, whose address occurs in the list wins, unless a later
// row has the same address and the display name that the list gives with its first
// occurrence; a lone address written without a display name takes the earliest row at
// once. When no row's address occurs in the list, the earliest row whose address is a
// filter entry wins.
int FindIdentity(const IdentityTable& table, text::TextView list, text::TextView filter);

}  // namespace korvanel::addin
