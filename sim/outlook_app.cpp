#include "sim/outlook_app.h"

#include <algorithm>
#include <utility>

#include "sim/outlook_headers.h"
#include "sim/outlook_objects.h"
#include "sim/outlook_profile_reader.h"
#include "sim/outlook_recipients.h"

namespace korvanel::sim {

using namespace platform;

namespace {

bool isExchangeProvider(TextView provider) {
  return text::findNoCase(provider, u"Microsoft Exchange") != TextView::npos;
}

// The letter of the accounts button in Outlook's localized compose window.
char16_t accountsShortcut(long lcid) {
  switch (lcid) {
    case 0x0816:
      return u'a';
    case 0x0416:
      return u't';
    default:
      break;
  }
  switch (lcid & 0x3FF) {
    case 0x09:
    case 0x1D:
      return u'n';
    case 0x0A:
    case 0x10:
    case 0x13:
      return u'u';
    case 0x07:
    case 0x14:
    case 0x06:
      return u'o';
    case 0x0C:
      return u'm';
    case 0x19:
      return u'x';
    case 0x22:
      return u'b';
    case 0x02:
      return u'd';
    case 0x0B:
      return u'l';
    case 0x05:
      return u't';
    default:
      return 0;
  }
}

long defaultFolderForClass(long itemClass) {
  switch (itemClass) {
    case kOlAppointment:
      return kOlFolderCalendar;
    case kOlContact:
      return kOlFolderContacts;
    case kOlTask:
    case kOlTaskRequest:
    case kOlTaskRequestUpdate:
    case kOlTaskRequestAccept:
    case kOlTaskRequestDecline:
      return kOlFolderTasks;
    default:
      return kOlFolderDrafts;
  }
}

void copyContent(const ModelItem& from, ModelItem& to) {
  to.props = from.props;
  to.recipients = from.recipients;
  to.replyRecipients = from.replyRecipients;
  to.userProperties = from.userProperties;
  to.attachmentCount = from.attachmentCount;
  to.meetingStatus = from.meetingStatus;
  to.senderName = from.senderName;
  to.senderAddress = from.senderAddress;
  to.label = from.label;
}

struct Key {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  Text name;  // upper-case name of a {KEY}, or the character itself
};

std::vector<Key> parseKeys(TextView keys) {
  std::vector<Key> out;
  Key key;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const char16_t c = keys[i];
    if (c == u'+') {
      key.shift = true;
      continue;
    }
    if (c == u'^') {
      key.ctrl = true;
      continue;
    }
    if (c == u'%') {
      key.alt = true;
      continue;
    }
    if (c == u'{') {
      const std::size_t close = keys.find(u'}', i + 2);
      if (close == TextView::npos) break;
      Text name(keys.substr(i + 1, close - i - 1));
      for (char16_t& ch : name) {
        if (ch >= u'a' && ch <= u'z') ch = static_cast<char16_t>(ch - u'a' + u'A');
      }
      key.name = name;
      i = close;
    } else {
      key.name = Text(1, c);
    }
    out.push_back(key);
    key = Key();
  }
  return out;
}

}  // namespace

Outlook::Outlook(World& world, OutlookOptions options, Text profileName)
    : world_(world), options_(std::move(options)), profileName_(std::move(profileName)) {
  optionsDialog_.outlook_ = this;
  hasExplorer_ = options_.withExplorer;
  queue_.posted = [&world = world_] {
    if (world.messageQueued) world.messageQueued();
  };
}

Outlook::~Outlook() = default;

void Outlook::start() {
  readProfile();
  readAccounts();
  currentFolder_ = defaultFolder(kOlFolderInbox);
  explorerFocused_ = true;
}

Text Outlook::versionText() const {
  return version() >= 12 ? Text(u"12.0.6423.1000") : Text(u"11.0.8169.0");
}

ApplicationPtr Outlook::application() { return makeApplication(shared_from_this()); }

void Outlook::readProfile() {
  Organisation& org = world_.organisation();
  const ProfileSnapshot snapshot = sim::readProfile(world_.registry(), profileName_);
  MailboxPtr user = org.find(snapshot.unresolvedName);
  if (!user) {
    for (const auto& s : snapshot.sections) {
      if (isExchangeProvider(s.provider) && !s.dn.empty() && (user = org.findByDn(s.dn))) break;
    }
  }
  if (user) {
    bool hasSection = false;
    for (const auto& s : snapshot.sections) {
      if (isExchangeProvider(s.provider) && text::equalsNoCase(s.dn, user->dn)) hasSection = true;
    }
    // A freshly configured profile is completed from the directory on its first start.
    if (!snapshot.hasProxyList || !hasSection) {
      completeFreshProfile(world_.registry(), profileName_, *user, version() >= 12, !hasSection);
    }
    user_ = user;
    stores_.push_back(user->store);
  }
  for (const auto& s : snapshot.sections) {
    if (!isExchangeProvider(s.provider) || s.dn.empty()) continue;
    MailboxPtr mailbox = org.findByDn(s.dn);
    if (!mailbox || mailbox == user_) continue;
    if (std::find(stores_.begin(), stores_.end(), mailbox->store) != stores_.end()) continue;
    stores_.push_back(mailbox->store);
  }
  if (user_) stores_.push_back(world_.publicFolders());
  for (const auto& s : snapshot.sections) {
    if (text::findNoCase(s.provider, u"Personal Folders") == TextView::npos || s.pstPath.empty())
      continue;
    auto store = world_.personalFolders(s.pstPath, s.displayName);
    if (std::find(stores_.begin(), stores_.end(), store) == stores_.end()) stores_.push_back(store);
  }
}

void Outlook::readAccounts() {
  for (const AccountEntry& e : readAccountsInOrder(world_.registry(), profileName_)) {
    Account a;
    a.key = e.key;
    a.name = e.name;
    a.serviceName = e.serviceName;
    a.exchange = text::equalsNoCase(text::trim(e.serviceName), u"MSEMS");
    a.email = a.exchange && user_ ? user_->primarySmtp() : e.email;
    if (a.exchange || !e.httpServer.empty()) {
      a.canTransmit = true;
    } else {
      const Text smtp = text::trim(e.smtpServer);
      a.canTransmit = !smtp.empty() && !text::equalsNoCase(smtp, u"none");
    }
    accounts_.push_back(std::move(a));
  }
}

// ---- Lookups

ModelStorePtr Outlook::defaultStore() const { return stores_.empty() ? nullptr : stores_.front(); }

ModelFolderPtr Outlook::defaultFolder(long type) const {
  if (type == kOlPublicFoldersAllPublicFolders) {
    for (const auto& s : stores_) {
      if (s->kind == StoreKind::kPublicFolders) return s->defaultFolder(type);
    }
    return nullptr;
  }
  auto store = defaultStore();
  return store ? store->defaultFolder(type) : nullptr;
}

ModelFolderPtr Outlook::folderByPath(TextView path) const {
  const Text p = text::replaceAll(path, u"\\", u"/");
  const std::size_t slash = p.find(u'/');
  const Text first = p.substr(0, slash);
  for (const auto& s : stores_) {
    if (text::equalsNoCase(s->displayName, first)) {
      return slash == Text::npos ? s->root : s->folderByPath(TextView(p).substr(slash + 1));
    }
  }
  auto store = defaultStore();
  return store ? store->folderByPath(p) : nullptr;
}

ModelItemPtr Outlook::findItem(TextView entryId, TextView storeId) const {
  for (const auto& s : stores_) {
    if (!storeId.empty() && !text::equalsNoCase(s->storeId, storeId)) continue;
    if (auto item = s->findItem(entryId)) return item;
  }
  return nullptr;
}

ModelFolderPtr Outlook::findFolder(TextView entryId, TextView storeId) const {
  for (const auto& s : stores_) {
    if (!storeId.empty() && !text::equalsNoCase(s->storeId, storeId)) continue;
    if (auto folder = s->findFolder(entryId)) return folder;
  }
  return nullptr;
}

ModelStorePtr Outlook::findStore(TextView storeId) const {
  if (storeId.empty()) return nullptr;
  for (const auto& s : stores_) {
    if (text::equalsNoCase(s->storeId, storeId)) return s;
  }
  return nullptr;
}

// ---- Accounts

const Outlook::Account* Outlook::accountByKey(TextView key) const {
  const Text k = text::trim(key);
  if (k.empty()) return nullptr;
  for (const auto& a : accounts_) {
    if (text::equalsNoCase(a.key, k)) return &a;
  }
  return nullptr;
}

const Outlook::Account* Outlook::accountByName(TextView name) const {
  const Text n = text::trim(name);
  if (n.empty()) return nullptr;
  for (const auto& a : accounts_) {
    if (text::equalsNoCase(text::trim(a.name), n)) return &a;
  }
  return nullptr;
}

const Outlook::Account* Outlook::exchangeAccount() const {
  for (const auto& a : accounts_) {
    if (a.exchange) return &a;
  }
  return nullptr;
}

const Outlook::Account* Outlook::accountNamedBy(const ModelItem& item) const {
  auto keyOf = [](const Text& value) { return value.substr(0, value.find(u'\x0001')); };
  const Text stamp = item.namedText(prop::kAccountStamp);
  if (const Account* a = accountByKey(keyOf(stamp))) return a;
  if (const Account* a = accountByName(item.namedText(prop::kAccountName))) return a;
  if (const Account* a = accountByKey(keyOf(item.text(prop::kPrimarySendAccount)))) return a;
  return nullptr;
}

const Outlook::Account* Outlook::sendingAccount(const ModelItem& item) const {
  if (const Account* a = accountNamedBy(item)) return a;
  return accounts_.empty() ? nullptr : &accounts_.front();
}

void Outlook::chooseAccountFor(ModelItem& item, const Account& account) {
  item.props.setText(PropKey::named(kPsetidCommon, prop::kAccountName), account.name);
  item.props.setText(PropKey::named(kPsetidCommon, prop::kAccountStamp),
                     account.key + u'\x0001' + account.email);
  if (version() >= 12) {
    const Text send = account.key + u'\x0001' + account.email + u'\x0001' + account.name;
    item.props.setText(PropKey::tag(prop::kPrimarySendAccount), send);
    item.props.setText(PropKey::tag(prop::kNextSendAccount), send);
  }
  item.chosenAccountKey = account.key;
  item.saved = false;
}

// ---- Queue and events

void Outlook::pump() {
  if (ended_) return;
  if (world_.pumping) world_.pumping();
  queue_.pump();
}

Signal<const CommandBarControlPtr&, bool&>& Outlook::clickEvent(long controlId) {
  auto& slot = clickEvents_[controlId];
  if (!slot) slot = std::make_unique<Signal<const CommandBarControlPtr&, bool&>>();
  return *slot;
}

bool Outlook::fails(TextView object, TextView member) {
  if (ended_) return true;
  return world_.faults().shouldFail(text::toUtf8(object) + "." + text::toUtf8(member));
}

void Outlook::postItemAdd(const ModelFolderPtr& folder, const ModelItemPtr& item) {
  if (ended_ || !folder || folder->storeOf() != defaultStore()) return;
  std::weak_ptr<Outlook> weak = weak_from_this();
  queue_.post([weak, folder, item] {
    auto self = weak.lock();
    if (self && !self->ended()) folder->itemAdd.emit(item);
  });
}

void Outlook::postItemChange(const ModelFolderPtr& folder, const ModelItemPtr& item) {
  if (ended_ || !folder || folder->storeOf() != defaultStore()) return;
  std::weak_ptr<Outlook> weak = weak_from_this();
  queue_.post([weak, folder, item] {
    auto self = weak.lock();
    if (self && !self->ended()) folder->itemChange.emit(item);
  });
}

void Outlook::announceArrival(const ModelFolderPtr& folder, const ModelItemPtr& item) {
  if (ended_ || !folder || folder->storeOf() != defaultStore()) return;
  if (folder == defaultFolder(kOlFolderInbox)) {
    std::weak_ptr<Outlook> weak = weak_from_this();
    const Text entryId = item->entryId;
    queue_.post([weak, entryId] {
      auto self = weak.lock();
      if (self && !self->ended()) self->newMailExEvent.emit(entryId);
    });
  }
  postItemAdd(folder, item);
}

// ---- Item operations

ModelItemPtr Outlook::createItem(long itemClass) {
  auto item = std::make_shared<ModelItem>(itemClass);
  item->saved = true;  // nothing to save yet: closing it untouched asks nothing
  item->props.set(PropKey::tag(prop::kConversationIndex), kPtBinary,
                  Variant(freshConversationIndex(world_.nextSerial())));
  return item;
}

void Outlook::memberChanged(ModelItem& item, TextView member) {
  item.saved = false;
  item.propertyChange.emit(Text(member));
}

bool Outlook::saveItem(const ModelItemPtr& item) {
  if (!item || item->removed) return false;
  if (auto folder = item->parentFolder()) {
    item->saved = true;
    postItemChange(folder, item);
    return true;
  }
  auto target = defaultFolder(defaultFolderForClass(item->itemClass));
  auto store = target ? target->storeOf() : nullptr;
  if (!store) return false;
  placeItem(target, item);
  item->saved = true;
  postItemAdd(target, item);
  return true;
}

int Outlook::askSaveChanges() {
  if (world_.shell == nullptr) return kIdNo;
  return world_.shell->messageBox(u"Do you want to save changes?", u"Microsoft Office Outlook",
                                  3 /* Yes, No, Cancel */ | kMbIconExclamation);
}

bool Outlook::closeItem(const ModelItemPtr& item, long saveMode) {
  if (!item || item->removed) return false;
  InspectorHandle inspector = inspectorOf(*item);
  if (inspector) {
    bool cancel = false;
    item->close.emit(cancel);
    if (cancel) return true;
  }
  if (saveMode == kOlSave) {
    saveItem(item);
  } else if (saveMode == kOlPromptForSave && !item->saved) {
    const int answer = askSaveChanges();
    if (answer == kIdCancel) return true;
    if (answer == kIdYes) saveItem(item);
  }
  if (inspector && inspector->isOpen) removeInspector(inspector);
  return true;
}

bool Outlook::closeInspector(const InspectorHandle& inspector, long saveMode) {
  if (!inspector || !inspector->isOpen) return false;
  return closeItem(inspector->item, saveMode);
}

bool Outlook::deleteItem(const ModelItemPtr& item) {
  if (!item || item->removed) return false;
  InspectorHandle inspector = inspectorOf(*item);
  auto folder = item->parentFolder();
  auto store = folder ? folder->storeOf() : nullptr;
  auto deleted = store ? store->defaultFolder(kOlFolderDeletedItems) : nullptr;
  takeOutItem(item);
  if (!folder || !deleted || folder == deleted) {
    item->removed = true;
  } else {
    placeItem(deleted, item);
    // Outlook announces the arrival in Deleted Items afterwards, not inside Delete.
    postItemAdd(deleted, item);
  }
  if (inspector && inspector->isOpen) removeInspector(inspector);
  return true;
}

bool Outlook::moveItem(const ModelItemPtr& item, const ModelFolderPtr& destination) {
  if (!item || item->removed || !destination) return false;
  auto store = destination->storeOf();
  if (!store) return false;
  if (std::find(stores_.begin(), stores_.end(), store) == stores_.end()) return false;
  auto folder = item->parentFolder();
  if (folder == destination) return true;
  takeOutItem(item);
  placeItem(destination, item);
  item->saved = true;
  postItemAdd(destination, item);
  return true;
}

bool Outlook::sendItem(const ModelItemPtr& item) {
  if (!item || item->removed) return false;
  const long composedClass = item->itemClass;
  if (item->assigned && item->itemClass == kOlTask) item->itemClass = kOlTaskRequest;
  // A meeting leaves as its request: ItemSend hears a MeetingItem, and the appointment stays.
  const bool meeting = composedClass == kOlAppointment && item->meetingStatus == kOlMeeting;
  if (meeting) item->itemClass = kOlMeetingRequest;
  bool cancel = false;
  itemSendEvent.emit(makeItem(shared_from_this(), item), cancel);
  if (meeting && !item->removed) item->itemClass = composedClass;
  if (cancel) {
    if (!item->removed) item->itemClass = composedClass;
    return true;
  }
  if (item->removed || ended_) return true;
  Organisation& org = world_.organisation();
  bool resolved = !item->recipients.empty();
  for (auto& r : item->recipients) resolved = resolveRecord(org, r) && resolved;
  for (auto& r : item->replyRecipients) resolveRecord(org, r);
  const Text subject = item->text(prop::kSubject);
  if (!resolved) {
    world_.anomalies.push_back(u"Outlook cannot send \"" + subject +
                               u"\": a recipient is missing or does not resolve");
    item->itemClass = composedClass;
    return false;
  }
  const Account* account = sendingAccount(*item);
  if (account == nullptr || !account->canTransmit) {
    world_.anomalies.push_back(u"\"" + subject + u"\" was sent through the account '" +
                               (account ? account->name : Text()) + u"', which cannot transmit");
    item->itemClass = composedClass;
    return false;
  }
  transmit(item, *account);
  return true;
}

void Outlook::transmit(const ModelItemPtr& item, const Account& account) {
  Organisation& org = world_.organisation();
  Transmission t;
  t.account = account.name;
  t.sender = user_ ? user_->senderText() : account.email;
  MailboxPtr representing;
  const Text onBehalf = text::trim(item->text(prop::kSentRepresentingName));
  if (!onBehalf.empty()) {
    Resolution r = resolveRecipientText(org, onBehalf);
    representing = r.mailbox ? r.mailbox : org.find(onBehalf);
    if (representing == user_) {
      representing.reset();
    } else {
      t.sentRepresenting = representing ? representing->senderText() : onBehalf;
    }
  }
  for (const auto& r : item->replyRecipients) {
    t.replyTo.push_back(r.text.empty() ? displayOf(org, r) : r.text);
  }
  std::vector<MailboxPtr> targets;
  for (const auto& r : item->recipients) {
    const Text shown = displayOf(org, r);
    if (r.type == kOlTo) t.to.push_back(shown);
    if (r.type == kOlCC) t.cc.push_back(shown);
    MailboxPtr target = text::equalsNoCase(r.addressType, u"EX")
                            ? org.findByDn(r.address)
                            : org.findBySmtp(smtpAddressOf(org, r));
    if (target && std::find(targets.begin(), targets.end(), target) == targets.end()) {
      targets.push_back(target);
    }
  }
  t.subject = item->text(prop::kSubject);
  world_.transmissions.push_back(t);
  item->transmitted = true;

  const bool meeting = item->itemClass == kOlAppointment;
  IncomingMessage message;
  message.from = t.sender;
  message.to = t.to;
  message.cc = t.cc;
  message.subject = t.subject;
  message.body = item->text(prop::kBody);
  message.buildHeaders = world_.internalHeaders;
  if (world_.internalXRecipientList) {
    std::vector<Text> all;
    for (const auto& r : item->recipients) all.push_back(smtpAddressOf(org, r));
    message.xRecipientList = text::join(all, u";");
  }
  message.readReceipt = item->props.get(PropKey::tag(prop::kReadReceiptRequested)).toBool();
  message.itemClass = meeting ? kOlMeetingRequest : item->itemClass;
  message.conversationIndex =
      hexOfBytes(item->props.get(PropKey::tag(prop::kConversationIndex)).toBytes());
  for (const auto& target : targets) {
    auto inbox = target->store ? target->store->defaultFolder(kOlFolderInbox) : nullptr;
    auto copy = world_.deliver(inbox, message);
    if (!copy) continue;
    copy->replyRecipients = item->replyRecipients;
    if (representing)
      copy->props.setText(PropKey::tag(prop::kSentRepresentingName), representing->displayName);
  }

  // The sent copy, in the sender's own Sent Items.
  if (auto sentItems = defaultFolder(kOlFolderSentMail)) {
    auto copy = std::make_shared<ModelItem>(meeting ? kOlMeetingRequest : item->itemClass);
    copyContent(*item, *copy);
    copy->sent = true;
    copy->saved = true;
    copy->chosenAccountKey = account.key;
    if (user_) {
      copy->senderName = user_->displayName;
      copy->senderAddress = user_->primarySmtp();
    }
    placeItem(sentItems, copy);
    postItemAdd(sentItems, copy);
  }

  // The message itself leaves its folder and its window (a meeting stays in the calendar).
  InspectorHandle inspector = inspectorOf(*item);
  if (inspector && inspector->isOpen) {
    bool ignored = false;
    item->close.emit(ignored);
    if (inspector->isOpen) removeInspector(inspector);
  }
  if (meeting) {
    item->saved = false;
    saveItem(item);
    return;
  }
  takeOutItem(item);
  item->removed = true;
}

InspectorHandle Outlook::displayItem(const ModelItemPtr& item) {
  if (!item || item->removed || ended_) return nullptr;
  if (InspectorHandle existing = inspectorOf(*item)) {
    activateInternal(existing);
    return existing;
  }
  auto inspector = std::make_shared<ModelInspector>();
  inspector->item = item;
  inspector->wordMail = item->itemClass == kOlMail && (version() >= 12 || options_.wordMail);
  inspectors_.push_back(inspector);
  newInspectorEvent.emit(makeInspector(shared_from_this(), inspector));
  if (!inspector->isOpen) return inspector;
  // The item's Read and Open and the window's activation come afterwards, from the queue,
  // so that whoever hooked the new window hears them.
  if (item->sent) {
    queue_.post([inspector] {
      if (inspector->isOpen) inspector->item->read.emit();
    });
  }
  queue_.post([inspector] {
    bool cancel = false;
    if (inspector->isOpen) inspector->item->open.emit(cancel);
  });
  activateInternal(inspector);
  return inspector;
}

InspectorHandle Outlook::inspectorOf(const ModelItem& item) const {
  for (const auto& i : inspectors_) {
    if (i->isOpen && i->item.get() == &item) return i;
  }
  return nullptr;
}

InspectorHandle Outlook::activeInspector() const {
  return zOrder_.empty() ? nullptr : zOrder_.back();
}

void Outlook::activateInternal(const InspectorHandle& inspector) {
  if (!inspector || !inspector->isOpen) return;
  InspectorHandle top = activeInspector();
  if (top == inspector && !explorerFocused_) return;
  if (top && top != inspector && !explorerFocused_) {
    queue_.post([top] {
      if (top->isOpen) top->deactivate.emit();
    });
  }
  std::erase(zOrder_, inspector);
  zOrder_.push_back(inspector);
  explorerFocused_ = false;
  accountsShortcutPending_ = false;
  queue_.post([inspector] {
    if (inspector->isOpen) inspector->activate.emit();
  });
}

void Outlook::removeInspector(const InspectorHandle& inspector) {
  if (!inspector || !inspector->isOpen) return;
  const bool wasTop = activeInspector() == inspector;
  // The window still counts among the Inspectors while its Close is raised.
  inspector->close.emit();
  inspector->isOpen = false;
  std::erase(inspectors_, inspector);
  std::erase(zOrder_, inspector);
  if (wasTop && !explorerFocused_) {
    if (InspectorHandle next = activeInspector()) {
      queue_.post([next] {
        if (next->isOpen) next->activate.emit();
      });
    } else {
      explorerFocused_ = true;
    }
  }
}

// ---- Command bars

bool Outlook::hasAccountsControl(const ModelInspector& inspector) const {
  const ModelItemPtr& item = inspector.item;
  if (!item || item->sent || item->removed) return false;
  switch (item->itemClass) {
    case kOlMail:
      return version() >= 12 || !inspector.wordMail;
    case kOlAppointment:
      return item->meetingStatus == kOlMeeting;
    case kOlMeetingRequest:
    case kOlMeetingCancellation:
    case kOlMeetingResponseNegative:
    case kOlMeetingResponsePositive:
    case kOlMeetingResponseTentative:
      return true;
    default:
      return false;
  }
}

long Outlook::accountEntryCount() const {
  return static_cast<long>(accounts_.size()) + (version() < 12 ? 1 : 0);
}

Text Outlook::accountEntryCaption(long entry) const {
  const long n = entry - (version() < 12 ? 1 : 0);
  if (n == 0) return u"Accounts";
  if (n < 1 || n > static_cast<long>(accounts_.size())) return Text();
  return u"&" + text::toText(n) + u" " + accounts_[static_cast<std::size_t>(n - 1)].name;
}

bool Outlook::executeAccountEntry(const InspectorHandle& inspector, long entry) {
  if (!inspector || !inspector->isOpen || !inspector->item) return false;
  const long n = entry - (version() < 12 ? 1 : 0);
  if (n == 0 && version() < 12) return true;  // the leading entry does nothing
  if (n < 1 || n > static_cast<long>(accounts_.size())) return false;
  const Account& account = accounts_[static_cast<std::size_t>(n - 1)];
  chooseAccountFor(*inspector->item, account);
  inspector->selectedAccountKey = account.key;
  return true;
}

ModelFolderPtr Outlook::nextPickAnswer() {
  ++pickFolderCalls;
  if (pickAnswers_.empty()) return nullptr;
  ModelFolderPtr folder = pickAnswers_.front();
  pickAnswers_.pop_front();
  return folder;
}

// ---- The user's actions

ModelItemPtr Outlook::receive(const IncomingMessage& message, TextView folderPath) {
  if (ended_) return nullptr;
  auto item = world_.deliver(folderByPath(folderPath), message);
  pump();
  return item;
}

void Outlook::select(const std::vector<ModelItemPtr>& items) {
  if (ended_ || !hasExplorer_) return;
  if (!items.empty() && items.front()->parentFolder())
    currentFolder_ = items.front()->parentFolder();
  selection_ = items;
  activateExplorer();
}

void Outlook::showFolder(const ModelFolderPtr& folder) {
  if (ended_ || !hasExplorer_) return;
  currentFolder_ = folder;
  selection_.clear();
  activateExplorer();
}

InspectorHandle Outlook::open(const ModelItemPtr& item) {
  auto inspector = displayItem(item);
  pump();
  return inspector;
}

InspectorHandle Outlook::respond(const ModelItemPtr& original, int kind) {
  if (!original || original->removed || ended_) return nullptr;
  Organisation& org = world_.organisation();
  auto item = createItem(kOlMail);
  const Text subject = original->text(prop::kSubject);
  item->props.setText(PropKey::tag(prop::kSubject), (kind == 2 ? u"FW: " : u"RE: ") + subject);
  item->props.set(PropKey::tag(prop::kConversationIndex), kPtBinary,
                  Variant(childConversationIndex(
                      original->props.get(PropKey::tag(prop::kConversationIndex)).toBytes(),
                      world_.nextSerial())));
  auto isUser = [&](const RecipientRecord& r) {
    if (!user_) return false;
    return text::equalsNoCase(r.address, user_->dn) || user_->hasSmtp(smtpAddressOf(org, r));
  };
  auto add = [&](TextView text, long type) {
    RecipientRecord r;
    r.text = Text(text);
    r.name = Text(text);
    r.type = type;
    resolveRecord(org, r);
    if (!isUser(r)) item->recipients.push_back(std::move(r));
  };
  if (kind != 2) {
    if (!original->replyRecipients.empty()) {
      for (const auto& r : original->replyRecipients)
        add(r.text.empty() ? displayOf(org, r) : r.text, kOlTo);
    } else if (!original->senderAddress.empty()) {
      add(original->senderName.empty()
              ? original->senderAddress
              : original->senderName + u" <" + original->senderAddress + u">",
          kOlTo);
    }
    if (kind == 1) {
      for (const auto& r : original->recipients) {
        if (r.type == kOlTo || r.type == kOlCC)
          add(displayOf(org, r), r.type == kOlTo ? kOlTo : kOlCC);
      }
    }
  }
  item->saved = false;
  auto inspector = displayItem(item);
  pump();
  return inspector;
}

InspectorHandle Outlook::reply(const ModelItemPtr& item) { return respond(item, 0); }
InspectorHandle Outlook::replyAll(const ModelItemPtr& item) { return respond(item, 1); }
InspectorHandle Outlook::forward(const ModelItemPtr& item) { return respond(item, 2); }

InspectorHandle Outlook::newItem(long itemClass) {
  if (ended_) return nullptr;
  ModelItemPtr item;
  if (itemClass == kOlMeetingRequest) {
    item = createItem(kOlAppointment);
    item->meetingStatus = kOlMeeting;
  } else if (itemClass == kOlTaskRequest) {
    item = createItem(kOlTask);
    item->assigned = true;
  } else {
    item = createItem(itemClass);
  }
  auto inspector = displayItem(item);
  pump();
  return inspector;
}

void Outlook::activate(const InspectorHandle& inspector) {
  activateInternal(inspector);
  pump();
}

void Outlook::focus(const InspectorHandle& inspector) {
  if (activeInspector() == inspector && !explorerFocused_) return;
  activate(inspector);
}

void Outlook::activateExplorer() {
  if (ended_) return;
  if (!explorerFocused_) {
    if (InspectorHandle top = activeInspector()) {
      queue_.post([top] {
        if (top->isOpen) top->deactivate.emit();
      });
    }
  }
  explorerFocused_ = true;
  accountsShortcutPending_ = false;
  pump();
}

bool Outlook::chooseAccount(const InspectorHandle& inspector, TextView accountName) {
  if (ended_ || !inspector || !inspector->isOpen) return false;
  focus(inspector);
  if (!inspector->isOpen) return false;
  const Account* account = accountByName(accountName);
  if (account == nullptr) return false;
  const long entry = static_cast<long>(account - accounts_.data()) + 1 + (version() < 12 ? 1 : 0);
  bool cancelDefault = false;
  clickEvent(kAccountEntryControlId)
      .emit(makeAccountEntryControl(shared_from_this(), inspector, entry), cancelDefault);
  if (!cancelDefault && inspector->isOpen) executeAccountEntry(inspector, entry);
  pump();
  return true;
}

bool Outlook::pressSend(const InspectorHandle& inspector) {
  if (ended_ || !inspector || !inspector->isOpen) return false;
  focus(inspector);
  if (!inspector->isOpen) return false;
  const bool sent = sendItem(inspector->item);
  pump();
  return sent;
}

bool Outlook::closeWindow(const InspectorHandle& inspector) {
  if (ended_ || !inspector || !inspector->isOpen) return false;
  focus(inspector);
  if (!inspector->isOpen) return false;
  const ModelItemPtr item = inspector->item;
  bool cancel = false;
  item->close.emit(cancel);
  if (cancel) {
    pump();
    return false;
  }
  if (inspector->isOpen) {  // a Close handler may have closed it already
    if (!item->saved && !item->removed) {
      const int answer = askSaveChanges();
      if (answer == kIdCancel) {
        pump();
        return false;
      }
      if (answer == kIdYes) saveItem(item);
    }
    removeInspector(inspector);
  }
  pump();
  return true;
}

bool Outlook::openOptions() {
  if (ended_ || !hasExplorer_) return false;
  const bool opened = openOptionsDialog();
  pump();
  return opened;
}

void Outlook::postKeys(TextView keys) {
  if (ended_) return;
  std::weak_ptr<Outlook> weak = weak_from_this();
  queue_.post([weak, k = Text(keys)] {
    if (auto self = weak.lock(); self && !self->ended()) self->interpretKeys(k);
  });
}

void Outlook::interpretKeys(TextView keys) {
  for (const Key& key : parseKeys(keys)) {
    if (optionsDialog_.isOpen()) {
      if (key.shift && key.name == u"TAB") {
        optionsDialog_.focusOnTabs_ = true;
      } else if (key.name == u"END" && optionsDialog_.focusOnTabs_) {
        optionsDialog_.selectLastTab();
      } else if (key.name == u"ESC" || key.name == u"ESCAPE") {
        optionsDialog_.pressCancel();
      }
      continue;
    }
    InspectorHandle top = activeInspector();
    if (explorerFocused_ || !top || !top->isOpen || !top->item || top->item->sent) continue;
    const char16_t shortcut = accountsShortcut(options_.uiLanguage);
    if (key.alt && key.name.size() == 1 && shortcut != 0 &&
        text::foldCase(key.name[0]) == shortcut) {
      accountsShortcutPending_ = true;
      continue;
    }
    if (accountsShortcutPending_ && key.name.size() == 1 && key.name[0] >= u'1' &&
        key.name[0] <= u'9') {
      const std::size_t n = static_cast<std::size_t>(key.name[0] - u'0');
      if (n <= accounts_.size()) {
        chooseAccountFor(*top->item, accounts_[n - 1]);
        top->selectedAccountKey = accounts_[n - 1].key;
      }
    }
    accountsShortcutPending_ = false;
  }
}

// ---- The Options dialog

bool Outlook::showOptionsDialog() {
  if (optionsDialog_.isOpen()) return true;
  if (!openOptionsDialog()) return false;
  // Modal: the caller waits until the dialog closes; Outlook's messages run meanwhile.
  auto self = shared_from_this();
  while (optionsDialog_.isOpen() && !ended_) {
    pump();
    if (!optionsDialog_.isOpen() || ended_) break;
    if (!world_.whileModal || !world_.whileModal(*this)) optionsDialog_.pressCancel();
  }
  return true;
}

bool Outlook::openOptionsDialog() {
  if (ended_) return false;
  OptionsDialog& d = optionsDialog_;
  if (d.open_) return true;
  d.open_ = true;
  ++d.timesOpened_;
  d.pages_.clear();
  d.selected_ = 0;
  d.pageTab_ = -1;
  d.focusOnTabs_ = false;
  d.applyEnabled_ = false;
  d.page_.reset();
  optionsPagesAddEvent.emit(makePropertyPages(shared_from_this()));
  return true;
}

void Outlook::addOptionsPage(TextView progId, TextView title) {
  optionsDialog_.pages_.push_back(OptionsDialog::AddedPage{Text(progId), Text(title)});
}

std::vector<Text> OptionsDialog::tabs() const {
  std::vector<Text> titles = {u"Preferences", u"Mail Setup", u"Mail Format", u"Spelling",
                              u"Security",    u"Other",      u"Delegates"};
  for (const auto& p : pages_) titles.push_back(p.title);
  return titles;
}

bool OptionsDialog::selectTab(int index) {
  const int count = static_cast<int>(tabs().size());
  if (!open_ || index < 0 || index >= count) return false;
  selected_ = index;
  const int own = count - static_cast<int>(pages_.size());
  if (index < own || (page_ && pageTab_ == index)) return true;
  // Showing an add-in's tab creates its control.
  release();
  pageTab_ = index;
  page_ =
      outlook_->world().classes().createPage(pages_[static_cast<std::size_t>(index - own)].progId);
  applyEnabled_ = false;
  if (page_) page_->initProperties(makePropertyPageSite(outlook_->shared_from_this()));
  return true;
}

bool OptionsDialog::selectTab(TextView title) {
  const auto titles = tabs();
  for (std::size_t i = titles.size(); i-- > 0;) {
    if (text::equalsNoCase(titles[i], title)) return selectTab(static_cast<int>(i));
  }
  return false;
}

void OptionsDialog::pressOk() {
  if (!open_) return;
  if (auto page = page_; page && page->dirty()) page->apply();
  close();
}

void OptionsDialog::pressApply() {
  if (!open_) return;
  if (auto page = page_; page && page->dirty()) page->apply();
  applyEnabled_ = false;
}

void OptionsDialog::pressCancel() {
  if (open_) close();
}

void OptionsDialog::release() {
  std::shared_ptr<PropertyPage> page = std::move(page_);
  page_.reset();
  pageTab_ = -1;
  page.reset();  // the last release runs the control's Terminate
}

void OptionsDialog::close() {
  open_ = false;
  focusOnTabs_ = false;
  release();
}

// ---- COM add-ins and life

std::shared_ptr<SimComAddIn> Outlook::addComAddIn(TextView progId) {
  if (auto existing = comAddIn(progId)) return existing;
  auto addIn = std::make_shared<SimComAddIn>(Text(progId));
  addIn->faults = &world_.faults();
  comAddIns_.push_back(addIn);
  return addIn;
}

std::shared_ptr<SimComAddIn> Outlook::comAddIn(TextView progId) const {
  for (const auto& a : comAddIns_) {
    if (text::equalsNoCase(a->progId(), progId)) return a;
  }
  return nullptr;
}

void Outlook::requestQuit() {
  if (ended_) return;
  quitRequested_ = true;
  quitRequestedSignal.emit();
}

void Outlook::closeAllWindows() {
  if (optionsDialog_.isOpen()) optionsDialog_.pressCancel();
  const auto open = inspectors_;
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (!(*it)->isOpen) continue;
    bool ignored = false;
    (*it)->item->close.emit(ignored);
    removeInspector(*it);
  }
  hasExplorer_ = false;
  pump();
}

void Outlook::shutDown() {
  if (ended_) return;
  auto self = shared_from_this();  // the world lets go of us below
  closeAllWindows();
  ended_ = true;
  letGo();
  world_.outlookEnded(*this);
}

void Outlook::terminateProcess() {
  if (ended_) return;
  auto self = shared_from_this();
  ended_ = true;
  letGo();
  world_.outlookEnded(*this);
}

// An ended process holds nothing for others. The Options dialog's page holds the
// Application it got from its site, an add-in's published Object may too, and a message
// never processed may hold anything: each would keep this Outlook alive for good.
void Outlook::letGo() {
  if (optionsDialog_.isOpen()) optionsDialog_.close();  // the page's last release: Terminate
  for (const InspectorHandle& inspector : inspectors_) inspector->isOpen = false;
  inspectors_.clear();
  zOrder_.clear();
  hasExplorer_ = false;
  for (const auto& addIn : comAddIns_) {
    addIn->dropObject();
    addIn->setConnected(false);
  }
  // Dropping a message may release something whose end posts another.
  while (queue_.pending()) {
    MessageQueue dropped;
    std::swap(dropped, queue_);
  }
}

bool SimComAddIn::setObject(const DispatchPtr& object) {
  if (faults != nullptr && faults->shouldFail("COMAddIn.Object")) return false;
  object_ = object;
  return true;
}

bool SimComAddIn::setConnect(bool value) {
  if (faults != nullptr && faults->shouldFail("COMAddIn.Connect")) return false;
  connected_ = value;
  connectChanged.emit(value);
  return true;
}

}  // namespace korvanel::sim
