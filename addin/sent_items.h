// The follow-up on Sent Items and Deleted Items. A sent copy that left through the Exchange
// account with an identity as its only reply-to recipient gets the identity back: the reply-to
// recipient goes and the identity's stamp replaces the Exchange account's. A message parked
// "Send it now" in Deleted Items is sent from there; one marked "Delete it now" is deleted.
#pragma once

#include "addin/addin_context.h"
#include "addin/identity_table.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// The reply-to address as the identity's address: "smtp:" removed, then one "<" in front
// and one ">" at the end.
text::Text cleanReplyAddress(text::TextView address);

// The identity a sent copy's reply-to recipient (display name, cleaned address) stands for:
// among rows with that address the first whose trimmed display name is the recipient's name,
// else the first; -1 when no row has the address.
int sentCopyIdentity(const IdentityTable& table, text::TextView name, text::TextView address);

// The shared-mailbox identity a copy sent on a mailbox's behalf stands for: the mailbox
// identity whose address (distinguished name), display name or "name [EX:address]" sender
// form the sent-representing name is; -1 when none.
int onBehalfIdentity(const IdentityTable& table, text::TextView sentRepresenting);

// Outlook 2007, a mail or meeting item added to Sent Items. A copy sent on behalf of a shared
// mailbox identity has no reply-to recipient to go by; it gets that identity's stamp.
void RestampSentItem(AddinContext& ctx, const platform::ItemPtr& item);
// Outlook 2003, the same through CDO (for a copy that carries no identity stamp).
void RestampSentItemCDO(AddinContext& ctx, const platform::ItemPtr& item);

// Any item added to Deleted Items. SkipNextSend is set exactly while the re-send runs. A
// re-send that fails takes the message back to Drafts and tells the user.
void ResendParkedItem(AddinContext& ctx, const platform::ItemPtr& item);

}  // namespace korvanel::addin
