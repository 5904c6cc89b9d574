// Finding again the identity a message was stamped with. Identities may share an address
// and differ only by display name, so the row is found from what the stamp names: its
// account key, else the identity account's name; never by reading that name as a
// recipient list, which would give the first row with the address.
#pragma once

#include "addin/identity_table.h"
#include "text/text.h"

namespace korvanel::addin {

// The row of the identity that a message's account name (property 0x8580) and AccountStamp
// (0x8581, empty while a read receipt holds it back) name, or -1:
// 1. the row whose account key and address are the stamp's;
// 2. else the row whose account name is the message's (and, with a stamp, whose address is
//    the stamp's);
// 3. else, for a stamp whose account is gone (the Options page writes the accounts anew), the
//    row with the stamp's address and the display name in the account name, else the first
//    row with that address.
int stampedIdentity(const IdentityTable& table, text::TextView accountName, text::TextView stamp);

}  // namespace korvanel::addin
