#include "addin/accessible_mailboxes.h"

#include "addin/build_mailbox_columns.h"
#include "profile/exchange_mailboxes.h"

namespace korvanel::addin {

namespace {

// A private Exchange mailbox's top folder has a 92-digit entry id whose folder-type field,
// after 4 bytes of flags and the 16-byte provider id, reads "0100".
constexpr std::size_t kMailboxEntryIdLength = 92;
constexpr std::size_t kFolderTypeOffset = 40;
constexpr char16_t kPrivateMailboxFolderType[] = u"0100";

// The first mailbox row whose profile name equals name without regard to case; -1 if none.
int mailboxRowNamed(const MailboxColumns& mailboxes, text::TextView name) {
  for (int i = mailboxes.MbxFirst(); i <= mailboxes.MbxLast(); ++i) {
    if (text::equalsNoCase(mailboxes.MailboxNames(i), name)) return i;
  }
  return -1;
}

}  // namespace

void PrepareAccessibleMBX(AddinContext& ctx) {
  SharedState& state = ctx.state;
  state.AccessibleMailboxes.clear();
  text::Text result;
  if (!state.MapiNamespace) return;
  platform::FoldersPtr folders = state.MapiNamespace->folders();
  if (!folders) return;

  const long count = folders->count();
  for (long k = 1; k <= count; ++k) {
    platform::FolderPtr folder = folders->item(k);
    if (!folder) continue;
    const text::Text entryId = folder->entryId();
    const text::Text storeId = folder->storeId();
    if (storeId.empty() || entryId.size() != kMailboxEntryIdLength) continue;
    // The user's own mailbox is never listed.
    if (state.DefaultStoreID.empty() || storeId == state.DefaultStoreID) continue;
    if (text::TextView(entryId).substr(kFolderTypeOffset, 4) != kPrivateMailboxFolderType) continue;
    const int row = mailboxRowNamed(state.Mailboxes, folder->name());
    if (row < 0) continue;
    const text::Text& resolved = state.Mailboxes.MailboxResolvedNames(row);
    const text::Text& dn = state.Mailboxes.MailboxDNs(row);
    if (resolved.empty() || dn.empty()) continue;
    if (!result.empty()) result += kMailboxEntrySeparator;
    result += resolved;
    result += u' ';
    result += dn;
  }
  state.AccessibleMailboxes = std::move(result);
}

text::Text refreshAccessibleMailboxes(AddinContext& ctx) {
  SharedState& state = ctx.state;
  if (!state.ProfileName.empty()) {
    profile::MailboxLists lists =
        profile::LoadExchangeMailboxes(ctx.accounts.primitives(), state.ProfileName);
    state.MailboxNameList = std::move(lists.MailboxNameList);
    state.MailboxDNList = std::move(lists.MailboxDNList);
    state.Mailboxes =
        BuildMailboxColumns(state.OutlookApp.get(), state.MailboxNameList, state.MailboxDNList);
    PrepareAccessibleMBX(ctx);
  }
  return state.AccessibleMailboxes;
}

}  // namespace korvanel::addin
