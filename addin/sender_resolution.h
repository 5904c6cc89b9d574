// Sender resolution when a compose window is activated: find the message a new item
// answers, learn at which identity it arrived, and select that identity's account in the
// window the way the user would (an entry of the accounts drop-down, or the drop-down's
// keyboard shortcut and the account's number). Accounts are addressed by their position in
// Outlook's account order, "1" being the first. Each new item is handled once: it is marked
// with ProcessedMark in its BillingInformation.
//
// Every step ignores a failing Outlook call and goes on; nothing is shown to the user.
// Single-threaded (Outlook's user-interface thread); the pauses let Outlook run its events.
#pragma once

#include <cstddef>

#include "addin/addin_context.h"
#include "platform/outlook.h"
#include "profile/ui_language.h"
#include "text/text.h"

namespace korvanel::addin {

// BillingInformation of a new item this add-in has handled.
inline constexpr char16_t ProcessedMark[] = u"KVX100";
// Pause before the drop-down is used, so the window can finish drawing.
inline constexpr unsigned long kSelectAccountWaitMs = 150;
// Shorter conversation indices are not used to look for the answered message.
inline constexpr std::size_t kMinConversationIndexLength = 11;
// Message yields after an account entry is executed, so the window takes the change.
inline constexpr int kYieldsAfterExecute = 5;
// The highest position that can be typed after the accounts shortcut (one digit).
inline constexpr long kMaxTypedPosition = 9;

// The keyboard shortcut (SendKeys notation) of the accounts drop-down in Outlook's
// localized compose window, by the first matching language flag; empty for a language
// not listed, where nothing is typed.
text::Text accountsShortcutKeys(const profile::LanguageFlags& flags);

// The sender selection of a window's activation (the first part of the wrapper's
// m_objInsp_Activate). Sets ComposeIsMail / ComposeIsTask / ComposeIsAppointment and
// SenderKeys, marks and selects as documented. An item with an EntryID, or one that says
// it was sent or received, is not new and is left alone. The message answered is an open
// received message, else the selected one, only when the new item's conversation index
// extends that message's (of several open ones, the longest index: the parent, not an
// ancestor); a brand-new message answers none. Returns true when it reached the
// item-type test, that is when the accounts drop-down is to be hooked next.
bool resolveSenderOnActivate(AddinContext& ctx, const platform::InspectorPtr& inspector);

// Outlook 2007: the position of the "EX MBX" identity whose mailbox is the store with
// this StoreID (through the mailbox columns), else "1".
text::Text GetsK(AddinContext& ctx, text::TextView storeId);
// Outlook 2003: the same through CDO, by the store's mailbox owner name (0x661C001E).
text::Text GetsKCDO(AddinContext& ctx, text::TextView storeId);

// True when no account needs to be selected in the item's window for this position.
bool HasAccount(AddinContext& ctx, platform::Item& item, text::TextView position);

// Selects the account at position SenderKeys in the window: the drop-down's entry (one
// further on Outlook 2003, whose list opens with an extra entry), or for a mail window
// without the drop-down the shortcut and the position typed. A SenderKeys that is not a
// position (empty, zero, not a number) selects and types nothing; nor is anything typed
// for a position beyond kMaxTypedPosition, which the accounts menu cannot take.
void SelectAccount(AddinContext& ctx, platform::Inspector& inspector);

}  // namespace korvanel::addin
