// The Exchange mailboxes a profile opens (the user's own and each additional one), read
// from the profile's provider sections.
#pragma once

#include "profile/registry_primitives.h"
#include "text/text.h"

namespace korvanel::profile {

// Two parallel TAB-separated texts: entry k of each belongs to the same profile section.
struct MailboxLists {
  Text MailboxNameList;
  Text MailboxDNList;
  bool operator==(const MailboxLists&) const = default;
};

// Every section of the profile whose provider display name contains "Microsoft Exchange"
// (any case) and which has both a display name and a distinguished name, in the order of
// the profile's subkeys. Empty lists for an empty or unreadable profile.
MailboxLists LoadExchangeMailboxes(RegistryPrimitives& reg, TextView profileName);

}  // namespace korvanel::profile
