// The page's life: the load, MarkDirty, Apply and the end that restarts Outlook.
#include "optionspage/korvanel_page.h"

#include <algorithm>

#include "optionspage/account_ids.h"
#include "optionspage/entry_guard.h"
#include "optionspage/page_messages.h"
#include "optionspage/page_version.h"
#include "profile/account_order.h"
#include "profile/profile_key.h"
#include "profile/ui_language.h"

namespace korvanel::page {

using platform::FolderPtr;

namespace {

constexpr char16_t kCaption[] = u"Outlook Property Page";

std::vector<Text> splitTabs(TextView s) { return text::split(s, u"\t"); }

Text entryAt(const std::vector<Text>& list, std::size_t i) {
  return i < list.size() ? list[i] : Text();
}

// An account key as ItemData keeps it: the key read as a hexadecimal number.
std::int32_t itemDataOf(TextView key) {
  return static_cast<std::int32_t>(text::readHex(key).value_or(0));
}

Text withoutAngleBrackets(Text s) {
  std::erase(s, u'<');
  std::erase(s, u'>');
  return s;
}

// Where a mailbox row's distinguished name begins: at the blank before "/o=" (a mailbox's
// display name may itself hold " /"), else at the first " /"; npos for no mailbox row.
std::size_t mailboxDnStart(TextView row) {
  for (std::size_t p = row.find(u" /"); p != TextView::npos; p = row.find(u" /", p + 1)) {
    if (text::startsWithNoCase(row.substr(p + 1), u"/o=")) return p;
  }
  return row.find(u" /");
}

}  // namespace

KorvanelPage::KorvanelPage(platform::Services& services, std::shared_ptr<PageModule> module)
    : services_(services), module_(std::move(module)) {}

KorvanelPage::~KorvanelPage() = default;

// ---- PropertyPage.

void KorvanelPage::initProperties(const platform::PropertyPageSitePtr& site) {
  guarded([&] { UserControl_InitProperties(site); });
  loading_ = false;
  dirty_ = false;
  mousePointer_ = kPointerDefault;
}

void KorvanelPage::apply() {
  guarded([&] { PropertyPage_Apply(); });
}

bool KorvanelPage::dirty() { return dirty_; }

void KorvanelPage::getPageInfo(Text& /*helpFile*/, long& /*helpContext*/) {
  // The page has no help: both arguments stay as they are.
}

void KorvanelPage::onTerminate() {
  guarded([&] { UserControl_Terminate(); });
  // Whatever happened, the page lets go of Outlook.
  namespace_.reset();
  application_.reset();
  site_.reset();
}

Text KorvanelPage::Caption() const { return kCaption; }

short KorvanelPage::ValidateInput(std::optional<Text>& s) {
  return guarded(kInputInvalid, [&] { return page::ValidateInput(s); });
}

bool KorvanelPage::ValidateSMTPEmail(Text& sEmail) {
  return guarded(false, [&] { return page::ValidateSMTPEmail(sEmail); });
}

bool KorvanelPage::ValidateDN(const Text& sDN) {
  return guarded(false, [&] { return page::ValidateDN(sDN); });
}

// ---- Load.

void KorvanelPage::UserControl_InitProperties(const platform::PropertyPageSitePtr& site) {
  PageModule& m = *module_;
  mousePointer_ = kPointerHourglass;
  loading_ = true;
  layout_.Label4.at(0).caption = u"Korvanel ver. " + text::toText(kPageVersionMajor) + u"." +
                                 text::toText(kPageVersionMinor) + u"." +
                                 text::toText(kPageVersionRevision);

  m.sPN.clear();
  m.sUN.clear();
  m.sSMBXs.clear();
  m.RootEntryID.clear();
  m.RootStoreID.clear();

  site_ = site;
  application_ = site_ ? site_->application() : nullptr;
  m.RestartRequested = false;
  m.ReReadRequested = false;

  if (platform::DispatchPtr addIn = addInObject()) {
    m.sUN = addIn->get(u"sUN").toText();
    m.sPN = addIn->get(u"sPN").toText();
    m.sSMBXs = addIn->get(u"sSMBXs").toText();
  }

  // "11.0.8169.0" gives 11, "12.0.6423.1000" gives 12.
  m.OutlookVersion = 0;
  if (application_) {
    const Text digits = text::replaceAll(application_->version(), u".", u"");
    m.OutlookVersion =
        static_cast<int>(text::readInteger(TextView(digits).substr(0, 2)).value_or(0));
  }
  const bool folderControls = m.OutlookVersion < 12;
  for (Control* c : {&layout_.Frame2, &layout_.List4.control, &layout_.cmdAddFolder,
                     &layout_.cmdDeleteFolder, &layout_.cmdDeleteAllFolders}) {
    c->visible = folderControls;
  }

  m.IsSpanishUI =
      application_ != nullptr && profile::IsSpanish(static_cast<std::int32_t>(
                                     application_->languageId(platform::kMsoLanguageIdUi)));

  if (!m.sPN.empty()) {
    namespace_ = application_ ? application_->getNamespace(u"MAPI") : nullptr;
    if (namespace_) {
      if (FolderPtr inbox = namespace_->getDefaultFolder(platform::kOlFolderInbox)) {
        if (FolderPtr root = inbox->parent()) {
          m.RootEntryID = root->entryId();
          m.RootStoreID = root->storeId();
        }
      }
    }

    m.accounts.LoadProfileSmtpAddresses(m.sPN);
    const Text defaultIdentity = m.sUN + u" <" + m.accounts.ExchangePrimarySmtp() + u">  (Default)";
    layout_.lblDefAddress.caption = defaultIdentity;
    layout_.lblDefAddress.toolTip = defaultIdentity;

    loadIdentities();

    const int format = profile::replyAddressFormatOf(m.settings.LoadReplyAddressFormat(m.sPN));
    for (int k = 0; k < static_cast<int>(layout_.Option1.size()); ++k) {
      layout_.Option1[static_cast<std::size_t>(k)].value = k == format;
    }

    if (m.OutlookVersion < 12) loadMonitoredFolders();
  }

  ResetButtons();
  ListHScroll1();
  ListHScroll4();
  loading_ = false;
  dirty_ = false;
  mousePointer_ = kPointerDefault;
}

void KorvanelPage::loadIdentities() {
  PageModule& m = *module_;
  m.accounts.EnumIdentityAccounts(m.sPN);
  const profile::IdentityAccountLists& lists = m.accounts.IdentityLists();
  const std::vector<Text> combined = splitTabs(lists.Combined);
  const std::vector<Text> keys = splitTabs(lists.Subkeys);
  const std::vector<Text> emails = splitTabs(lists.Emails);
  const std::vector<Text> names = splitTabs(lists.DisplayNames);
  const std::vector<Text> accountNames = splitTabs(lists.AccountNames);
  // One account without a signature leaves an empty list, which splits into no entry: the
  // bounds check reads it as the one empty signature it stands for.
  const std::vector<Text> newSignatures = splitTabs(lists.NewSignatures);
  const std::vector<Text> replySignatures = splitTabs(lists.ReplySignatures);

  ListBox& list1 = layout_.List1;
  for (std::size_t i = 0; i < combined.size(); ++i) {
    const Text name = entryAt(names, i);
    const Text email = text::trim(entryAt(emails, i));
    const Text key = text::trim(entryAt(keys, i));
    if (text::trim(name).empty() || email.empty() || key.empty()) continue;
    if (text::startsWithNoCase(entryAt(accountNames, i), profile::kMailboxAccountPrefix)) {
      list1.AddItem(name + u" " + email);
    } else {
      list1.AddItem(name + u" <" + email + u">");
    }
    list1.setItemData(list1.NewIndex(), itemDataOf(key));
    layout_.List2.AddItem(entryAt(newSignatures, i));
    layout_.List3.AddItem(entryAt(replySignatures, i));
  }
}

void KorvanelPage::loadMonitoredFolders() {
  PageModule& m = *module_;
  const Text stored(text::trimNull(m.settings.LoadMonitoredFolders(m.sPN)));
  layout_.List5.Clear();
  layout_.List4.Clear();
  // Without the namespace no folder can be looked up; the setting is then left alone rather
  // than emptied.
  if (!namespace_) return;
  Text kept;
  for (const Text& entryId : splitTabs(stored)) {
    if (entryId.empty()) continue;
    FolderPtr folder = namespace_->getFolderFromID(entryId, u"");
    if (!folder) continue;
    const Text path = GetFolderPath(folder);
    if (path.empty()) continue;
    layout_.List5.AddItem(entryId);
    layout_.List4.AddItem(path);
    kept += entryId + u'\t';
  }
  // Folders that no longer open leave the setting at once; an unchanged setting is not
  // written again.
  if (kept != stored) m.settings.SaveMonitoredFolders(m.sPN, kept);
}

// ---- Dirty.

void KorvanelPage::MarkDirty() {
  if (!site_ || loading_) return;
  dirty_ = true;
  site_->onStatusChange();
}

// ---- Apply.

std::uint32_t KorvanelPage::nextAccountId() {
  PageModule& m = *module_;
  profile::RegistryPrimitives& reg = m.accounts.primitives();
  const std::uint32_t next = m.accounts.GetNextAccountID(m.sPN);
  // Every identity account is gone by now: without a usable "NextAccountID" (absent, or
  // naming a key that exists) the rows must still be written, or the identities are lost.
  if (next > 0 && !AccountKeyExists(reg, m.sPN, next)) return next;
  return IdAfterHighestAccount(reg, m.sPN);
}

KorvanelPage::RowWrite KorvanelPage::writeIdentityRow(long j, std::uint32_t n) {
  PageModule& m = *module_;
  const Text s = text::trim(layout_.List1.List(j));
  const Text sig1 = text::trim(layout_.List2.List(j));
  const Text sig2 = text::trim(layout_.List3.List(j));
  const std::size_t p = s.find(u" <");
  if (p == Text::npos || p == 0) {
    // A shared mailbox: the display name, a blank and the distinguished name.
    const std::size_t q = mailboxDnStart(s);
    if (q == Text::npos || q == 0) return RowWrite::kDropped;
    const Text name = text::trim(TextView(s).substr(0, q + 1));
    const Text addr = text::trim(TextView(s).substr(q + 1));
    if (name.empty() || addr.empty()) return RowWrite::kDropped;
    return m.accounts.CreateIdentityAccount(m.sPN, n, u"EX MBX [" + name + u"]", name, addr, sig1,
                                            sig2)
               ? RowWrite::kMailbox
               : RowWrite::kFailed;
  }
  const Text name = text::trim(TextView(s).substr(0, p + 1));
  const Text addrText = text::trim(TextView(s).substr(p + 1));
  const Text addr = withoutAngleBrackets(addrText);
  if (name.empty() || addr.empty()) return RowWrite::kDropped;
  return m.accounts.CreateIdentityAccount(m.sPN, n, u"EX [" + name + u" " + addrText + u"]", name,
                                          addr, sig1, sig2)
             ? RowWrite::kSmtp
             : RowWrite::kFailed;
}

void KorvanelPage::PropertyPage_Apply() {
  PageModule& m = *module_;
  if (dirty_ && m.sPN.empty()) notify(kNothingSavedNotice);
  if (dirty_ && !m.sPN.empty()) {
    // The rows are written as new accounts first and the old accounts deleted after, so no
    // failure ever loses an identity: a row that cannot be written keeps the account it
    // was loaded from, an old account that cannot be deleted keeps its place instead of
    // the row's new one, and the user is told which identities were not saved.
    m.accounts.EnumIdentityAccounts(m.sPN);
    const profile::IdentityAccountLists old = m.accounts.IdentityLists();
    const std::vector<Text> oldKeys = splitTabs(old.Subkeys);

    struct Written {
      long row;
      std::uint32_t id;
      bool smtp;
    };
    std::vector<Written> written;
    std::vector<std::uint32_t> kept;  // old accounts whose row could not be written
    std::vector<Text> unsaved;
    const ListBox& list1 = layout_.List1;
    for (long j = 0; j < list1.ListCount(); ++j) {
      const std::uint32_t n = nextAccountId();
      const RowWrite result = n > 0 ? writeIdentityRow(j, n) : RowWrite::kFailed;
      if (result == RowWrite::kFailed) {
        const std::int32_t from = list1.ItemData(j);
        if (from > 0) kept.push_back(static_cast<std::uint32_t>(from));
        unsaved.push_back(text::trim(list1.List(j)));
      } else if (result != RowWrite::kDropped) {
        written.push_back({j, n, result == RowWrite::kSmtp});
      }
    }

    for (std::size_t k = 0; k < oldKeys.size(); ++k) {
      const Text key = text::trim(oldKeys[k]);
      if (key.empty()) continue;
      const std::uint32_t id = static_cast<std::uint32_t>(itemDataOf(key));
      if (std::find(kept.begin(), kept.end(), id) != kept.end()) continue;
      if (m.accounts.DeleteIdentityAccount(m.sPN, TextView(key))) continue;
      // The old account stays; the row that replaces it goes again, or it would show twice.
      const auto row = std::find_if(written.begin(), written.end(), [&](const Written& w) {
        return id > 0 && list1.ItemData(w.row) == static_cast<std::int32_t>(id);
      });
      if (row != written.end()) {
        m.accounts.DeleteIdentityAccount(m.sPN, row->id);
        unsaved.push_back(text::trim(list1.List(row->row)));
        written.erase(row);
      } else {
        const Text display = entryAt(splitTabs(old.DisplayNames), k);
        const Text email = entryAt(splitTabs(old.Emails), k);
        unsaved.push_back(display + u" " + email);
      }
    }

    // Deleting takes each old id's slot from the list's last id: the new accounts are put
    // back into the user's order, in the slots they hold.
    std::vector<std::uint32_t> writtenIds;
    for (const Written& w : written) writtenIds.push_back(w.id);
    profile::RegistryPrimitives& reg = m.accounts.primitives();
    const Text managerPath = profile::AccountManagerKey(m.sPN);
    if (std::optional<text::Bytes> order =
            reg.readBinaryIfPresent(managerPath, profile::kAccountOrderValue)) {
      if (profile::placeInAccountOrder(*order, writtenIds))
        reg.RegWriteBinary(managerPath, profile::kAccountOrderValue, *order);
    }

    int smtpIdentities = 0;
    for (const Written& w : written) {
      // The rows now stand for the accounts just written, should Apply run again.
      layout_.List1.setItemData(w.row, static_cast<std::int32_t>(w.id));
      if (w.smtp) ++smtpIdentities;
    }
    // An identity kept from before still counts for the Exchange account's name.
    for (std::uint32_t id : kept) {
      for (std::size_t k = 0; k < oldKeys.size(); ++k) {
        if (static_cast<std::uint32_t>(itemDataOf(text::trim(oldKeys[k]))) == id &&
            !text::startsWithNoCase(entryAt(splitTabs(old.AccountNames), k), u"EX MBX"))
          ++smtpIdentities;
      }
    }

    if (m.OutlookVersion < 12) {
      Text folders;
      for (const Text& entryId : layout_.List5.texts()) folders += text::trim(entryId) + u'\t';
      m.settings.SaveMonitoredFolders(m.sPN, folders);
    }

    for (std::size_t k = 0; k < layout_.Option1.size(); ++k) {
      if (layout_.Option1[k].value) {
        m.settings.SaveReplyAddressFormat(m.sPN, text::toText(static_cast<long long>(k)));
        break;
      }
    }

    if (!m.accounts.ExchangeAccountKey().empty()) {
      if (auto id = text::readHex(m.accounts.ExchangeAccountKey())) {
        const Text name = smtpIdentities < 1
                              ? Text()
                              : u"EX [" + m.sUN + u" <" + m.accounts.ExchangePrimarySmtp() + u">]";
        m.accounts.SetExchangeAccountName(m.sPN, *id, name, m.IsSpanishUI);
      }
    }

    if (!unsaved.empty()) {
      // Outlook would restart on a profile that lacks what the user sees on the page.
      notify(Text(kIdentitiesNotSavedNotice) + u"\r" + text::join(unsaved, u"\r"));
    } else if (m.ReReadRequested || ask(kRestartQuestion)) {
      m.RestartRequested = true;
      // The dialog must be ready for the keystroke that closes it and so ends this page.
      services_.shell.doEvents();
      services_.shell.sendKeys(u"{Esc}", false);
    }
  }
  dirty_ = false;
}

// ---- End.

void KorvanelPage::UserControl_Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PageModule& m = *module_;
  if (m.RestartRequested && application_) {
    // Quitting an Outlook that the add-in will not start again would leave the user with
    // none: without the add-in's word Outlook stays, and the user is told.
    platform::DispatchPtr addIn = addInObject();
    if (!addIn || !addIn->put(u"IsRestart", platform::Variant(m.ReReadRequested ? 2L : 1L))) {
      notify(kNotRestartedNotice);
      namespace_.reset();
      application_.reset();
      site_.reset();
      return;
    }
    // Every open item window is saved and closed, from the last to the first, before
    // Outlook quits, so nothing the user typed is lost or asked about.
    if (platform::InspectorsPtr inspectors = application_->inspectors()) {
      for (long i = inspectors->count(); i >= 1; --i) {
        platform::InspectorPtr inspector = inspectors->item(i);
        if (!inspector) continue;
        if (platform::ItemPtr item = inspector->currentItem()) item->save();
        // Saved just now, so closing with "save" closes without a question.
        inspector->close(platform::kOlSave);
      }
    }
    application_->quit();
  }
  namespace_.reset();
  application_.reset();
  site_.reset();
}

// ---- Helpers.

platform::DispatchPtr KorvanelPage::addInObject() {
  if (!application_) return nullptr;
  platform::COMAddInsPtr addIns = application_->comAddIns();
  if (!addIns) return nullptr;
  platform::COMAddInPtr addIn = addIns->item(kAddInProgId);
  return addIn ? addIn->object() : nullptr;
}

bool KorvanelPage::ask(TextView question) {
  return services_.shell.messageBox(question, kAppTitle, kQuestionStyle) == platform::kIdYes;
}

void KorvanelPage::notify(TextView message) {
  services_.shell.messageBox(message, kAppTitle, kNoticeStyle);
}

void KorvanelPage::Label1_Click() {
  guarded([&] {
    services_.shell.shellExecute(0, u"", kMakerWebAddress, u"", u"", platform::kSwShowNormal);
  });
}

}  // namespace korvanel::page
