// The monitored folders (Outlook 2003) and the shared-mailbox identities.
#include "optionspage/entry_guard.h"
#include "optionspage/korvanel_page.h"
#include "optionspage/page_messages.h"

namespace korvanel::page {
namespace {

// Folders whose mail the add-in handles already, or that hold no incoming mail.
constexpr long kRefusedDefaultFolders[] = {platform::kOlFolderCalendar,
                                           platform::kOlFolderConflicts,
                                           platform::kOlFolderContacts,
                                           platform::kOlFolderDeletedItems,
                                           platform::kOlFolderDrafts,
                                           platform::kOlFolderInbox,
                                           platform::kOlFolderJournal,
                                           platform::kOlFolderLocalFailures,
                                           platform::kOlFolderNotes,
                                           platform::kOlFolderOutbox,
                                           platform::kOlFolderSentMail,
                                           platform::kOlFolderServerFailures,
                                           platform::kOlFolderSyncIssues,
                                           platform::kOlFolderTasks,
                                           platform::kOlPublicFoldersAllPublicFolders};

constexpr int kMaxPathDepth = 20;

}  // namespace

void KorvanelPage::cmdAddFolder_Click() {
  guarded([&] {
    while (namespace_) {
      platform::FolderPtr folder = namespace_->pickFolder();
      if (!folder) break;
      if (IsProperFolder(folder)) {
        layout_.List5.AddItem(folder->entryId());
        layout_.List4.AddItem(GetFolderPath(folder));
        MarkDirty();
        ListHScroll4();
        break;
      }
      notify(kImproperFolderNotice);
    }
    ResetButtons();
  });
}

bool KorvanelPage::IsProperFolder(const platform::FolderPtr& oFld1) {
  return guarded(false, [&] {
    const PageModule& m = *module_;
    if (!oFld1 || !namespace_) return false;
    // Only folders of the default store qualify; without its root none does.
    if (m.RootStoreID.empty() || oFld1->storeId() != m.RootStoreID) return false;
    const Text entryId = oFld1->entryId();
    if (entryId.empty()) return false;
    for (long type : kRefusedDefaultFolders) {
      platform::FolderPtr standard = namespace_->getDefaultFolder(type);
      if (standard && standard->entryId() == entryId) return false;
    }
    return true;
  });
}

Text KorvanelPage::GetFolderPath(platform::FolderPtr& folder) {
  return guarded(Text(), [&] {
    const PageModule& m = *module_;
    if (!folder) return Text();
    Text path = folder->name();
    if (m.RootStoreID.empty() || folder->storeId() != m.RootStoreID) return path;
    for (int depth = 0; depth < kMaxPathDepth; ++depth) {
      folder = folder->parent();
      if (!folder || folder->entryId() == m.RootEntryID) break;
      path = folder->name() + u"\\" + path;
    }
    return path;
  });
}

void KorvanelPage::cmdDeleteFolder_Click() {
  guarded([&] {
    if (layout_.List4.SelCount() > 0 && ask(kDeleteSelectedQuestion)) {
      const long i = layout_.List4.ListIndex();
      if (i >= 0) {
        layout_.List5.RemoveItem(i);
        layout_.List4.RemoveItem(i);
        MarkDirty();
        ListHScroll4();
      }
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdDeleteAllFolders_Click() {
  guarded([&] {
    if (layout_.List4.ListCount() >= 1 && ask(kDeleteAllQuestion)) {
      layout_.List4.Clear();
      layout_.List5.Clear();
      ResetButtons();
      MarkDirty();
      ListHScroll4();
    }
    ResetButtons();
  });
}

void KorvanelPage::cmdSharedMailboxes_Click() {
  guarded([&] {
    const PageModule& m = *module_;
    bool added = false;
    int n = 0;
    if (!m.sSMBXs.empty()) {
      for (const Text& entry : text::split(m.sSMBXs, u"\x01")) {
        const Text t = text::trim(entry);
        ++n;
        // An empty entry would become an identity row without a name.
        if (t.empty() || hasControlCharacter(t) || layout_.List1.hasTextNoCase(t)) continue;
        addIdentityRow(t);
        MarkDirty();
        added = true;
      }
    }
    if (added) ListHScroll1();
    if (!added && n == 0) notify(kNoSharedMailboxesNotice);
    ResetButtons();
  });
}

}  // namespace korvanel::page
