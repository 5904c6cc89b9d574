// Stamping an arriving message with the identity it was received at: the identity account's
// name goes into property 0x8580 and its AccountStamp into 0x8581, from which a reply later
// leaves as that identity. While the sender's read receipt is pending only 0x8580 is written;
// opening the message completes the stamp. Rewriting a stamp gives the same values, so a
// message may be stamped any number of times.
#pragma once

#include "addin/addin_context.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// The RecipientList a message is matched by: the To and Cc header lines when the message has
// transport headers, else its recipients ("name address" entries, each followed by a carriage
// return); the server's recipient list (x-recipientlist, ";"-separated) when neither gives
// one. xRecipientList comes in as read from the message and leaves as a RecipientList, the
// matching filter (filled from the headers' "X-RecipientList:" line when the property is empty).
text::Text arrivalRecipientList(text::TextView headers, text::Text& xRecipientList,
                                platform::Item& item);

// Outlook 2007: stamps the message of this entry id, when it came in through the Exchange
// account and matches an identity. An unsent item marked "Send it now" is tagged and moved to
// Deleted Items instead, where it is sent.
void StampItem(AddinContext& ctx, text::TextView entryId);
// Outlook 2003: the same through CDO and Extended MAPI, for mail items from any account.
void StampItemCDO(AddinContext& ctx, text::TextView entryId);

// Completes a stamp held back for a read receipt, once the received message is opened (force:
// whether or not a receipt is pending). Returns the matched identity's account position, "1"
// when there is none; on Outlook 2007 the message's sending account becomes that account.
text::Text CompleteStamp(AddinContext& ctx, const platform::ItemPtr& item, bool force);
text::Text CompleteStampCDO(AddinContext& ctx, const platform::ItemPtr& item, bool force);

}  // namespace korvanel::addin
