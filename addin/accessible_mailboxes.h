// The additional Exchange mailboxes the user can open, as the Options page lists them:
// every store of the profile whose top folder is a private Exchange mailbox other than the
// user's own and whose name is one of the profile's mailboxes with a resolved name and a
// distinguished name.
#pragma once

#include "addin/addin_context.h"
#include "text/text.h"

namespace korvanel::addin {

// Separates the entries of AccessibleMailboxes.
inline constexpr char16_t kMailboxEntrySeparator = u'\x0001';

// Rebuilds AccessibleMailboxes from the namespace's top folders, in their order:
// "resolved name" + " " + "distinguished name" per mailbox, joined by U+0001.
void PrepareAccessibleMBX(AddinContext& ctx);

// Re-reads the profile's mailboxes, rebuilds the columns and AccessibleMailboxes, and
// returns it; without a profile name returns AccessibleMailboxes unchanged.
text::Text refreshAccessibleMailboxes(AddinContext& ctx);

}  // namespace korvanel::addin
