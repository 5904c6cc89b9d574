#include "addin/sender_resolution.h"

#include <optional>

#include "addin/identity_text_forms.h"
#include "addin/stamp_item.h"

namespace korvanel::addin {

namespace {

using text::Text;
using text::TextView;

constexpr char16_t kMailItemType[] = u"MailItem";
constexpr char16_t kTaskItemType[] = u"TaskItem";
constexpr char16_t kAppointmentItemType[] = u"AppointmentItem";
constexpr char16_t kMeetingItemType[] = u"MeetingItem";
constexpr char16_t kFirstAccount[] = u"1";
// The store property that names a mailbox's owner (PR_MAILBOX_OWNER_NAME, single-byte).
constexpr std::uint32_t kMailboxOwnerNameTag = 0x661C001E;

bool atLeast2007(const AddinContext& ctx) { return ctx.state.OutlookVersion >= 12; }

// The position of the first "EX MBX" identity with this display name; nullopt when none.
std::optional<Text> mailboxIdentityPosition(const IdentityTable& table, TextView displayName) {
  for (int j = table.IdFirst(); j <= table.IdLast(); ++j) {
    const Text position = text::trim(table.AccountIndex(j));
    if (position.empty()) continue;
    const Text& accountName = table.AccountName(j);
    if (accountName.size() <= 6 || !isMailboxAccountName(accountName)) continue;
    if (text::equalsNoCase(table.DisplayName(j), displayName)) return position;
  }
  return std::nullopt;
}

Text storeIdentityPosition(AddinContext& ctx, TextView storeId) {
  return atLeast2007(ctx) ? GetsK(ctx, storeId) : GetsKCDO(ctx, storeId);
}

Text completeStampOf(AddinContext& ctx, const platform::ItemPtr& item) {
  return atLeast2007(ctx) ? CompleteStamp(ctx, item, true) : CompleteStampCDO(ctx, item, true);
}

// The StoreID of the folder the user is looking at; empty without an Explorer.
Text currentFolderStoreId(AddinContext& ctx) {
  const platform::ApplicationPtr& app = ctx.state.OutlookApp;
  if (!app) return Text();
  const platform::ExplorerPtr explorer = app->activeExplorer();
  if (!explorer) return Text();
  const platform::FolderPtr folder = explorer->currentFolder();
  return folder ? folder->storeId() : Text();
}

// Whether conv, a new item's conversation index, answers the message with this index: an
// answer's index is the answered message's with a block of its own added. A brand-new
// message starts a conversation of its own and answers nothing; an item without an index
// is answered by nothing (every text would start with it).
bool extendsIndex(TextView conv, TextView index) {
  return !index.empty() && index.size() < conv.size() &&
         text::equalsNoCase(index, conv.substr(0, index.size()));
}

// The received message among the open windows that conv answers. Every earlier message of
// the conversation is extended by conv too; the one answered has the longest index.
platform::ItemPtr answeredMessageInWindows(AddinContext& ctx, TextView conv) {
  const platform::ApplicationPtr& app = ctx.state.OutlookApp;
  if (!app) return nullptr;
  const platform::InspectorsPtr inspectors = app->inspectors();
  if (!inspectors) return nullptr;
  const long count = inspectors->count();
  if (count <= 1) return nullptr;
  platform::ItemPtr answered;
  std::size_t answeredLength = 0;
  for (long i = 1; i <= count; ++i) {
    const platform::InspectorPtr inspector = inspectors->item(i);
    if (!inspector) continue;
    platform::ItemPtr candidate = inspector->currentItem();
    if (!candidate || !candidate->sent()) continue;
    const Text index = candidate->conversationIndex();
    if (!extendsIndex(conv, index) || index.size() <= answeredLength) continue;
    answered = std::move(candidate);
    answeredLength = index.size();
  }
  return answered;
}

// The first selected item of the active Explorer.
platform::ItemPtr firstSelectedItem(AddinContext& ctx) {
  const platform::ApplicationPtr& app = ctx.state.OutlookApp;
  if (!app) return nullptr;
  const platform::ExplorerPtr explorer = app->activeExplorer();
  if (!explorer) return nullptr;
  const platform::SelectionPtr selection = explorer->selection();
  if (!selection || selection->count() < 1) return nullptr;
  return selection->item(1);
}

// SenderKeys as an account position; nullopt when it is none.
std::optional<long> positionOf(TextView senderKeys) {
  const std::optional<long> n = text::readInteger(senderKeys);
  if (!n || *n < 1) return std::nullopt;
  return n;
}

// The accounts menu opened by the shortcut takes a single digit: "12" would choose the
// first account, so a position beyond 9 is left as Outlook chose it.
bool isMenuDigit(long position) { return position >= 1 && position <= kMaxTypedPosition; }

}  // namespace

Text accountsShortcutKeys(const profile::LanguageFlags& f) {
  if (f.IsEnglishUI || f.IsSwedishUI) return u"%n";
  if (f.IsSpanishUI || f.IsItalianUI || f.IsDutchUI) return u"%u";
  if (f.IsGermanUI) return u"%o";
  if (f.IsFrenchUI) return u"%m";
  if (f.IsRussianUI) return u"%x";
  if (f.IsUkrainianUI) return u"%b";
  if (f.IsBulgarianUI) return u"%d";
  if (f.IsFinnishUI) return u"%l";
  if (f.IsPortugalPortugueseUI) return u"%a";
  if (f.IsBrazilPortugueseUI || f.IsCzechUI) return u"%t";
  if (f.IsNorwegianUI || f.IsDanishUI) return u"%o";
  return Text();
}

bool resolveSenderOnActivate(AddinContext& ctx, const platform::InspectorPtr& inspector) {
  SharedState& state = ctx.state;
  if (state.IdentityTable.empty() || !inspector) return false;
  const platform::ItemPtr item = inspector->currentItem();
  if (!item) return false;
  // Only new items: a saved draft or a received message has an EntryID. Sent is asked too,
  // so a received message whose EntryID could not be read is not marked as a new one.
  if (!item->entryId().empty() || item->sent()) return false;

  const Text type = item->typeName();
  state.ComposeIsMail = type == kMailItemType;
  state.ComposeIsTask = type == kTaskItemType;
  state.ComposeIsAppointment = type == kAppointmentItemType || type == kMeetingItemType;
  if (!state.ComposeIsMail && !(state.ComposeIsAppointment && atLeast2007(ctx))) return true;

  state.SenderKeys = kFirstAccount;
  // Handled once: a second activation, or a mark someone else set, leaves the item alone.
  if (!item->billingInformation().empty() || state.IdentityTable.IdLast() < 0) return true;
  item->setBillingInformation(ProcessedMark);

  if (state.ComposeIsAppointment) {
    // New appointments and meetings go out through the first account.
    SelectAccount(ctx, *inspector);
    return true;
  }

  // A reply written in a shared mailbox's folder leaves from that mailbox's identity.
  state.SenderKeys = storeIdentityPosition(ctx, currentFolderStoreId(ctx));

  const Text conv = text::trim(item->conversationIndex());
  if (conv.size() >= kMinConversationIndexLength) {
    if (const platform::ItemPtr answered = answeredMessageInWindows(ctx, conv)) {
      const platform::FolderPtr folder = answered->parent();
      state.SenderKeys = storeIdentityPosition(ctx, folder ? folder->storeId() : Text());
      if (state.SenderKeys == kFirstAccount) state.SenderKeys = completeStampOf(ctx, answered);
    } else if (state.SenderKeys == kFirstAccount) {
      // Replying from the message list: the selected message is the one answered, when the
      // new item's index says so. A new message written while it is selected answers nothing.
      const platform::ItemPtr selected = firstSelectedItem(ctx);
      if (selected && extendsIndex(conv, selected->conversationIndex())) {
        state.SenderKeys = completeStampOf(ctx, selected);
      }
    }
  }

  if (!HasAccount(ctx, *item, state.SenderKeys)) SelectAccount(ctx, *inspector);
  return true;
}

Text GetsK(AddinContext& ctx, TextView storeId) {
  const SharedState& state = ctx.state;
  if (!state.MapiNamespace) return kFirstAccount;
  const platform::StorePtr store = state.MapiNamespace->getStoreFromID(storeId);
  if (!store) return kFirstAccount;
  const Text name = text::trim(store->displayName());
  if (name.empty()) return kFirstAccount;
  const MailboxColumns& mailboxes = state.Mailboxes;
  for (int i = mailboxes.MbxFirst(); i <= mailboxes.MbxLast(); ++i) {
    if (!text::equalsNoCase(mailboxes.MailboxNames(i), name)) continue;
    const Text resolved = text::trim(mailboxes.MailboxResolvedNames(i));
    if (resolved.empty()) continue;
    if (std::optional<Text> position = mailboxIdentityPosition(state.IdentityTable, resolved)) {
      return *position;
    }
  }
  return kFirstAccount;
}

Text GetsKCDO(AddinContext& ctx, TextView storeId) {
  const SharedState& state = ctx.state;
  if (!state.CdoSession) return kFirstAccount;
  const platform::CdoInfoStorePtr store = state.CdoSession->getInfoStore(storeId);
  if (!store) return kFirstAccount;
  const platform::CdoFieldsPtr fields = store->fields();
  if (!fields) return kFirstAccount;
  const platform::CdoFieldPtr owner = fields->itemByTag(kMailboxOwnerNameTag);
  if (!owner) return kFirstAccount;
  const Text name = text::trim(owner->value().toText());
  if (name.empty()) return kFirstAccount;
  return mailboxIdentityPosition(state.IdentityTable, name).value_or(kFirstAccount);
}

bool HasAccount(AddinContext& ctx, platform::Item& item, TextView position) {
  if (atLeast2007(ctx)) {
    // An item without a sending account of its own gets one selected.
    if (!item.sendUsingAccount()) return false;
    return !item.sentOnBehalfOfName().empty() || position == kFirstAccount;
  }
  if (position != kFirstAccount) return false;
  if (!item.subject().empty()) return true;
  const platform::RecipientsPtr recipients = item.recipients();
  return recipients && recipients->count() >= 1;
}

void SelectAccount(AddinContext& ctx, platform::Inspector& inspector) {
  const SharedState& state = ctx.state;
  platform::Shell& shell = ctx.services.shell;
  const std::optional<long> position = positionOf(state.SenderKeys);
  shell.sleep(kSelectAccountWaitMs);
  if (!position) return;

  const platform::CommandBarsPtr bars = inspector.commandBars();
  const platform::CommandBarControlPtr dropDown =
      bars ? bars->findControl(platform::kAccountsControlId) : nullptr;
  if (!dropDown) {
    // Only a mail window has the drop-down's shortcut to type.
    if (!state.ComposeIsMail) return;
    const Text shortcut = accountsShortcutKeys(state.Language);
    if (shortcut.empty() || !isMenuDigit(*position)) return;
    shell.sendKeys(shortcut, false);
    shell.sendKeys(text::toText(*position), false);
    return;
  }

  // Outlook 2003's list opens with one entry before the accounts.
  const long entryNumber = atLeast2007(ctx) ? *position : *position + 1;
  const platform::CommandBarControlsPtr entries = dropDown->controls();
  const platform::CommandBarControlPtr entry = entries ? entries->item(entryNumber) : nullptr;
  if (!entry) return;
  entry->execute();
  for (int i = 0; i < kYieldsAfterExecute; ++i) shell.doEvents();
}

}  // namespace korvanel::addin
