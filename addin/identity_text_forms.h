// The text forms in which the identity engine carries recipients, stamps, identity
// account names and reply-to recipients. Everything that writes or recognises one of
// these forms goes through here, so the forms stay the same on every path.
#pragma once

#include "addin/identity_table.h"
#include "text/text.h"

namespace korvanel::addin {

using text::Text;
using text::TextView;

// RecipientList: entries separated by one carriage return, no line feeds.
inline constexpr char16_t kRecipientSeparator = u'\r';
// Separates the account key from the address in an AccountStamp.
inline constexpr char16_t kStampSeparator = u'\x0001';

// The entry for one recipient of an item: display name, one space, address, each trimmed
// first; only the address when the name is empty; empty when the address is.
Text recipientEntry(TextView displayName, TextView address);

// AccountStamp: account key, U+0001, e-mail address (the value of property 0x8581).
Text AccountStamp(TextView accountKey, TextView email);
// The stamp of identity row i; empty when the row does not exist.
Text AccountStamp(const IdentityTable& table, int i);

// Identity account names as the Options page makes them.
Text addressAccountName(TextView displayName, TextView address);  // "EX [name <addr>]"
Text mailboxAccountName(TextView displayName);                    // "EX MBX [name]"
// Recognised by their prefixes without regard to case. A mailbox name also starts with
// "EX " but never with "EX [", so the two never overlap.
bool isAddressAccountName(TextView accountName);  // starts with "EX ["
bool isMailboxAccountName(TextView accountName);  // starts with "EX MBX"

// ReplyToEntry: display name, one space, the address in the chosen form:
// 0 "<a>", 1 "[smtp:a]", anything else (2, the default) "[smtp:<a>]". Without a display
// name the entry is the address form alone.
Text ReplyToEntry(TextView displayName, TextView address, int replyAddressFormat);

}  // namespace korvanel::addin
