// OutAddIn::LoadSettings: the start-up load of the shared state, and the two later phases of
// an address re-read (the run on the temporary profile, the refresh afterwards).
#include "addin/build_mailbox_columns.h"
#include "addin/out_addin.h"
#include "addin/restart.h"
#include "profile/exchange_mailboxes.h"
#include "profile/profile_reread.h"
#include "profile/profile_settings.h"
#include "profile/ui_language.h"

namespace korvanel::addin {

namespace {

// The busy pause before the Options dialog opens: a count of message-processing calls.
constexpr int kRefreshPauseMessages = 5000;

// The temporary re-read profile: a base name followed by the suffix in any case.
bool isTempProfileName(text::TextView profileName) {
  const text::TextView suffix = profile::kTempProfileSuffix;
  return profileName.size() > suffix.size() && text::endsWithNoCase(profileName, suffix);
}

}  // namespace

void OutAddIn::LoadSettings() {
  AddinContext& ctx = *context_;
  SharedState& state = ctx.state;

  state.SenderKeys = u"1";
  if (const platform::ApplicationPtr& application = ctx.applicationByClass())
    state.UILanguage =
        static_cast<std::int32_t>(application->languageId(platform::kMsoLanguageIdUi));
  state.Language = profile::languageFlagsFor(state.UILanguage);

  if (!state.MapiNamespace) return;
  // Held here: the pause before the Options dialog lets other events run.
  const platform::NameSpacePtr nsHold = state.MapiNamespace;
  platform::NameSpace& ns = *nsHold;

  state.ProfileName.clear();
  if (state.OutlookVersion < 12) {
    if (state.CdoSession) state.ProfileName = state.CdoSession->name();
  } else {
    state.ProfileName = ns.currentProfileName();
  }
  if (platform::RecipientPtr user = ns.currentUser()) state.CurrentUserName = user->name();

  if (!state.ProfileName.empty()) {
    // Outlook runs on the temporary profile of an address re-read: the directory has filled
    // it; its addresses go to the user's own profile, the temporary profile goes, and this
    // Outlook ends (the add-in's termination then starts Outlook on the user's profile).
    if (isTempProfileName(state.ProfileName)) {
      state.BaseProfileName = state.ProfileName.substr(
          0, state.ProfileName.size() - text::TextView(profile::kTempProfileSuffix).size());
      profile::CopyProfileSmtpAddresses(ctx.accounts.primitives(), state.ProfileName,
                                        state.BaseProfileName);
      profile::DeleteProfile(ctx.services.objects, state.ProfileName);
      state.RestartMode = kRestartAfterReread;
      state.MapiNamespace.reset();
      if (const platform::ApplicationPtr& application = ctx.applicationByClass())
        application->quit();
      return;
    }

    ctx.accounts.LoadProfileSmtpAddresses(state.ProfileName);
    ctx.accounts.EnumIdentityAccounts(state.ProfileName);
    state.ProxyAddresses = ctx.accounts.ProxyAddresses();
    state.ExchangePrimarySmtp = ctx.accounts.ExchangePrimarySmtp();
    state.IdentityAccountLists = ctx.accounts.IdentityLists();
    state.ExchangeAccountKey = ctx.accounts.ExchangeAccountKey();
    state.ExchangeAccountName = ctx.accounts.ExchangeAccountName();
    state.ExchangeStamp = ctx.accounts.ExchangeStamp();

    if (platform::FolderPtr inbox = ns.getDefaultFolder(platform::kOlFolderInbox))
      state.DefaultStoreID = inbox->storeId();

    state.ReplyAddressFormat = profile::kDefaultReplyAddressFormat;
    const text::Text storedFormat = ctx.settings.LoadReplyAddressFormat(state.ProfileName);
    if (!storedFormat.empty())
      state.ReplyAddressFormat =
          static_cast<std::int16_t>(profile::replyAddressFormatOf(storedFormat));

    if (state.OutlookVersion < 12) hookMonitoredFolders();

    // After a re-read the Options dialog opens on the page, once: the flag goes now. The
    // dialog is modal and mail arrives while it is open, so it opens only once everything
    // is loaded and hooked (the last step of InitAddIn).
    if (!ctx.settings.GetRefreshFlag(state.ProfileName).empty()) {
      ctx.settings.ClearRefreshFlag(state.ProfileName);
      optionsPageWanted_ = true;
    }
  }

  state.IdentityTable = IdentityTable::fromAccountLists(state.IdentityAccountLists);
  state.RecentArrivals.clear();

  // With identities present, the Exchange account is named after the user and the primary
  // address, so that it reads like the identity accounts beside it.
  if (state.IdentityTable.IdLast() > -1 && !state.ExchangeAccountKey.empty() &&
      !state.ProfileName.empty()) {
    if (const std::optional<std::uint32_t> id = text::readHex(state.ExchangeAccountKey)) {
      ctx.accounts.SetExchangeAccountName(
          state.ProfileName, *id, state.CurrentUserName + u" <" + state.ExchangePrimarySmtp + u">",
          state.Language.IsSpanishUI);
    }
  }

  profile::MailboxLists lists =
      profile::LoadExchangeMailboxes(ctx.accounts.primitives(), state.ProfileName);
  state.MailboxNameList = std::move(lists.MailboxNameList);
  state.MailboxDNList = std::move(lists.MailboxDNList);
  state.Mailboxes =
      BuildMailboxColumns(state.OutlookApp.get(), state.MailboxNameList, state.MailboxDNList);

  hookDefaultFolders();
}

void OutAddIn::hookMonitoredFolders() {
  SharedState& state = context_->state;
  const platform::NameSpacePtr ns = state.MapiNamespace;
  if (!ns) return;
  const text::Text stored = context_->settings.LoadMonitoredFolders(state.ProfileName);
  int slot = 0;
  for (const text::Text& entryId : text::split(stored, u"\t")) {
    // Empty pieces take no slot; one that names no folder still does (its sink stays unset).
    if (entryId.empty()) continue;
    if (slot >= kMonitoredFolderSlots) break;
    // Monitored folders lie in the default store.
    platform::FolderPtr folder = ns->getFolderFromID(entryId, state.DefaultStoreID);
    const int number = slot + 1;
    hookFolderItems(oFldItems[static_cast<std::size_t>(slot)], folder,
                    [weak = weak_from_this(), number](const platform::ItemPtr& item) {
                      if (const std::shared_ptr<OutAddIn> self = weak.lock())
                        self->oFldItems_ItemAdd(number, item);
                    });
    ++slot;
  }
}

void OutAddIn::hookDefaultFolders() {
  const platform::NameSpacePtr nsHold = context_->state.MapiNamespace;
  if (!nsHold) return;
  platform::NameSpace& ns = *nsHold;
  hookFolderItems(oDeletedItems, ns.getDefaultFolder(platform::kOlFolderDeletedItems),
                  itemHandler(&OutAddIn::oDeletedItems_ItemAdd));
  hookFolderItems(oInboxItems, ns.getDefaultFolder(platform::kOlFolderInbox),
                  itemHandler(&OutAddIn::oInboxItems_ItemAdd),
                  itemHandler(&OutAddIn::oInboxItems_ItemChange));
  hookFolderItems(oSentItems, ns.getDefaultFolder(platform::kOlFolderSentMail),
                  itemHandler(&OutAddIn::oSentItems_ItemAdd));
}

void OutAddIn::showOptionsPage() {
  AddinContext& ctx = *context_;
  const platform::ApplicationPtr application = ctx.applicationByClass();
  platform::ExplorerPtr explorer = application ? application->activeExplorer() : nullptr;
  platform::CommandBarsPtr bars = explorer ? explorer->commandBars() : nullptr;
  platform::CommandBarControlPtr options =
      bars ? bars->findControl(platform::kOptionsCommandId) : nullptr;
  if (!options) return;

  platform::Shell& shell = ctx.services.shell;
  for (int i = 0; i < kRefreshPauseMessages; ++i) shell.doEvents();
  // Shift+Tab puts the focus on the dialog's row of tabs, End selects the last one: where
  // Outlook puts the pages of add-ins.
  shell.sendKeys(u"+{TAB}", false);
  shell.sendKeys(u"{END}", false);
  options->execute();
  shell.doEvents();
}

}  // namespace korvanel::addin
