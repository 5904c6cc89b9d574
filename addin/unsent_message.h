// What becomes of a message that the add-in took out of the user's hands for sending and
// then could not send: it must not sit in Deleted Items, where emptying the folder would
// destroy an outgoing message the user believes sent.
#pragma once

#include "addin/addin_context.h"
#include "platform/outlook.h"

namespace korvanel::addin {

// Takes the item back to Drafts (when it is not there already), removes the re-send
// marker, saves it, and tells the user where to find it (a notice titled "Korvanel").
// When the move fails the item stays where it is and the notice names that folder.
void keepUnsentMessage(AddinContext& ctx, const platform::ItemPtr& item);

// A notice that the message could not be prepared for sending and is still open.
void reportMessageKeptOpen(AddinContext& ctx, const platform::ItemPtr& item);

}  // namespace korvanel::addin
