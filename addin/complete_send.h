// Completing a message as it is sent: a message stamped with an identity leaves through the
// profile's Exchange account with the identity as its reply-to recipient, on a shared
// mailbox's behalf, or is parked in Deleted Items ("Send it now") for the add-in to send it
// again (see sent_items.h). The categories that Outlook rules add ("Received as:") go.
// Each operation is called from ItemSend; its result becomes the event's Cancel.
#pragma once

#include <optional>

#include "addin/addin_context.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// What an item's stamp says about the identity it is sent from.
struct DecodedStamp {
  text::Text address;  // the identity's address (a shared mailbox's distinguished name)
  text::Text name;     // its display name; for a shared mailbox the whole "EX MBX [..]" name
};

// Decodes an AccountStamp (property 0x8581) with the account name beside it (0x8580):
// the address follows the first U+0001 (which must not open the stamp); the name is the
// account name up to the address, without the "<" before it and the "EX [" prefix.
// nullopt when there is no address.
std::optional<DecodedStamp> decodeStamp(text::TextView stamp, text::TextView accountName);

// Points the item's account properties (0x8580, 0x8581, the primary and next send account)
// at the profile's Exchange account, which then sends it. False when a write failed; the
// four properties are then put back as they were.
bool repointAtExchangeAccount(const AddinContext& ctx, platform::PropertyAccessor& accessor);

// The categories without those that begin with "Received as:" (any case), in order, joined
// by ", "; nullopt when none was dropped.
std::optional<text::Text> withoutReceivedAsCategories(text::TextView categories);

// Outlook 2007, task requests: an item stamped with an identity account is pointed at the
// Exchange account. Always false.
bool CompleteTaskSend(AddinContext& ctx, const platform::ItemPtr& item);

// Outlook 2007, mail and meeting items. True when the item was parked for re-send, or kept
// open unsent (with a notice) because it could not be prepared: an identity account has no
// servers, so a message still pointing at one must not go. False lets it go.
bool CompleteSend(AddinContext& ctx, const platform::ItemPtr& item);

// Outlook 2003, mail items, through CDO: every message stamped with a known identity is
// rewritten and parked. True when parked (or kept open unsent).
bool CompleteSendCDO(AddinContext& ctx, const platform::ItemPtr& item);

// Closes the Word document of a Word-edited window without saving; quits Word when that
// was its last window.
void CloseWordEditor(AddinContext& ctx, const platform::InspectorPtr& inspector);

}  // namespace korvanel::addin
