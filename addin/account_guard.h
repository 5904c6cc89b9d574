// The accounts drop-down hook and the account guard. Identity accounts are placeholders
// whose sending the add-in completes for mail; for tasks, appointments and meetings they
// cannot work, so the guard refuses them there with a message and keeps the account the
// item had. To hear the user's choice, the active window's wrapper hooks the Click of the
// first entry of the drop-down (Office raises it for every entry, passing the one chosen);
// the entry found first is shared by all wrappers (SharedState::SharedAccountsButton).
// Single-threaded; failing Outlook calls leave the hook unset and nothing is reported.
#pragma once

#include <optional>

#include "addin/addin_context.h"
#include "platform/office.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// The hooking step of an activation: the shared entry when there is one; else the first
// entry of the window's own drop-down (after resetting its "Standard" bar), which becomes
// the shared one; else, unless the window is a Word-edited mail on Outlook 2003, the
// drop-down of a meeting window opened and discarded for the purpose. nullptr when nothing
// was found. The compose flags of the activation survive the borrowed window.
// A window is borrowed at most once per item (mayBorrow is cleared when one was) and never
// while another borrowed window is open: a meeting window without a drop-down of its own
// would otherwise borrow the next one, without end.
platform::CommandBarControlPtr findAccountsButton(AddinContext& ctx, platform::Inspector& inspector,
                                                  bool& mayBorrow);

// The account name a drop-down entry's caption stands for: the caption from its first
// space on, trimmed (the entry's number before it dropped); the whole caption without one.
text::Text accountNameOfCaption(text::TextView caption);

// Whether the account may not send the item that was last activated: on Outlook 2003 any
// identity account for tasks, appointments and meetings; on Outlook 2007 an "EX MBX"
// account for those, and an "EX [" account for a task. Mail is never checked, and the
// Exchange account is never refused, whatever its name.
bool refusesAccount(const SharedState& state, text::TextView accountName);

// The message that refuses an account.
text::Text refusalMessage(text::TextView accountName);

// The Click of the hooked entry: a refused account is announced (notice under the title
// "Korvanel") and the choice cancelled, so the selection stays as it was.
void accButton_Click(AddinContext& ctx, const platform::CommandBarControlPtr& ctrl,
                     bool& cancelDefault);

}  // namespace korvanel::addin
