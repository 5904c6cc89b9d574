// The add-in's shared state: one snapshot per Outlook process of the profile's identities,
// settings and Exchange mailboxes, plus the add-in's handles on Outlook, that every part of
// the add-in reads. The start-up load builds it once per connection; nothing in it is saved.
// Strings start empty, numbers 0, objects nothing. Single-threaded (Outlook's UI thread).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "addin/identity_table.h"
#include "addin/mailbox_columns.h"
#include "addin/recent_arrivals.h"
#include "platform/cdo.h"
#include "platform/office.h"
#include "platform/outlook.h"
#include "profile/identity_account_lists.h"
#include "profile/ui_language.h"
#include "text/text.h"

namespace korvanel::addin {

class clsInspWrap;

struct SharedState {
  // ---- Set when the add-in connects (InitAddIn).
  // The Application passed at connection; nothing after ReleaseAddIn.
  platform::ApplicationPtr OutlookApp;
  // Outlook's major version: 11 (2003) or 12 (2007). Below 12 every operation takes the
  // CDO / Extended MAPI way.
  std::int16_t OutlookVersion = 0;
  // The CDO session; set only on Outlook 2003.
  platform::CdoSessionPtr CdoSession;
  // The Application's "MAPI" namespace.
  platform::NameSpacePtr MapiNamespace;
  // Outlook's Application class, created on first use (AddinContext::applicationByClass).
  platform::ApplicationPtr ApplicationByClass;

  // ---- Set by the start-up load (LoadSettings).
  // The account position the sender selection selects or types; "1" at start-up.
  text::Text SenderKeys;
  // Office's user-interface language (LCID) and the flags derived from it.
  std::int32_t UILanguage = 0;
  profile::LanguageFlags Language;
  // The current MAPI profile; "" when it cannot be read.
  text::Text ProfileName;
  // Display name of the namespace's current user.
  text::Text CurrentUserName;
  // On the temporary re-read profile only: the profile name without its suffix.
  text::Text BaseProfileName;
  // What the add-in's termination does: 1 restart, 2 re-read the addresses, 3 finish a
  // re-read (see restart.h); anything else nothing.
  std::int16_t RestartMode = 0;
  // StoreID of the default Inbox.
  text::Text DefaultStoreID;
  // 0 "<a>", 1 "[smtp:a]", 2 "[smtp:<a>]"; 2 once the load has read the setting.
  std::int16_t ReplyAddressFormat = 0;

  // The user's identities, in matching priority (IdFirst() to IdLast()).
  addin::IdentityTable IdentityTable;
  // What the last account enumeration yielded (lists 1 to 8).
  profile::IdentityAccountLists IdentityAccountLists;
  // The Exchange account and the user's own addresses (the proxy list keeps its
  // "SMTP:"/"smtp:" prefixes, last stored first).
  text::Text ExchangeAccountKey;
  text::Text ExchangeAccountName;
  text::Text ExchangePrimarySmtp;
  text::Text ExchangeStamp;
  std::vector<text::Text> ProxyAddresses;

  // The profile's Exchange mailboxes as read from the profile (TAB-separated, parallel)
  // and as columns with the names Outlook shows for them.
  text::Text MailboxNameList;
  text::Text MailboxDNList;
  addin::MailboxColumns Mailboxes;
  // The additional mailboxes the user can open, for the Options page: entries
  // "resolved name" + " " + "distinguished name" joined by U+0001. Built on demand.
  text::Text AccessibleMailboxes;

  // ---- Used by the identity engine.
  // Arrivals already stamped (or found to need no stamp), whose second report is skipped;
  // cleared whenever the identities are loaded.
  addin::RecentArrivals RecentArrivals;
  // Set around the add-in's own re-send of a parked item, so that the ItemSend it raises
  // leaves the item alone; consumed by the first ItemSend that sees it.
  bool SkipNextSend = false;

  // ---- Used by the inspector wrappers.
  // The wrapper of each tracked item window, by its key as decimal text.
  std::map<text::Text, std::shared_ptr<clsInspWrap>> InspectorWrappers;
  // 64-bit on every build (a long is 32-bit on Windows), so keys never run out in a run.
  std::int64_t NextInspectorKey = 0;
  // Set by every activation that reaches the item-type test of the sender selection.
  bool ComposeIsMail = false;
  bool ComposeIsTask = false;
  bool ComposeIsAppointment = false;
  // Set while a meeting window is borrowed for its accounts drop-down; its own activation
  // borrows nothing.
  bool BorrowingMeetingWindow = false;
  // The hooked accounts drop-down entry, shared by all wrappers; released by ReleaseAddIn.
  platform::CommandBarControlPtr SharedAccountsButton;
};

// Checked where it matters most: the 32-bit Windows build of the add-in.
static_assert(sizeof(SharedState::NextInspectorKey) == 8, "window keys are 64-bit");

}  // namespace korvanel::addin
