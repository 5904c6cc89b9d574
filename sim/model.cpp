#include "sim/model.h"

#include <algorithm>

namespace korvanel::sim {

namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

Text hex(std::uint64_t value, int digits) {
  Text out;
  for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
  return out;
}

Text hexOfAnsi(TextView s) {
  Text out;
  for (unsigned char c : text::toWindows1252(s)) out += hex(c, 2);
  return out + u"00";
}

// A 16-byte provider uid made from a serial and a salt, so stores differ and runs repeat.
Text providerUid(std::uint32_t serial, std::uint32_t salt) {
  return hex(0x8A3B5C10u ^ salt, 8) + hex(serial, 8) + hex(0x4D2E0000u + salt, 8) +
         hex(0x1F60A7C3u ^ (serial * 2654435761u), 8);
}

ModelStorePtr makeStore(StoreKind kind, TextView displayName, Text uid, Text storeId) {
  auto store = std::make_shared<ModelStore>();
  store->kind = kind;
  store->displayName = Text(displayName);
  store->providerUid = std::move(uid);
  store->storeId = std::move(storeId);
  store->root = std::make_shared<ModelFolder>();
  store->root->name = store->displayName;
  store->root->store = store;
  return store;
}

Text folderEntryId(ModelStore& store) {
  const std::uint32_t n = ++store.nextId;
  switch (store.kind) {
    case StoreKind::kPersonalFolders:
      return u"00000000" + store.providerUid + hex(0x8000 + n * 32 + 2, 8);
    case StoreKind::kPublicFolders:
      return u"00000000" + store.providerUid + u"0300" + store.providerUid + hex(n, 12) + u"0000";
    case StoreKind::kExchangeMailbox:
      return u"00000000" + store.providerUid + u"0100" + store.providerUid + hex(n, 12) + u"0000";
  }
  return Text();
}

void addDefaultMailFolders(const ModelFolderPtr& root) {
  using namespace platform;
  addFolder(root, u"Calendar", kOlFolderCalendar, kOlAppointment);
  addFolder(root, u"Contacts", kOlFolderContacts, kOlContact);
  addFolder(root, u"Deleted Items", kOlFolderDeletedItems);
  addFolder(root, u"Drafts", kOlFolderDrafts);
  addFolder(root, u"Inbox", kOlFolderInbox);
  addFolder(root, u"Journal", kOlFolderJournal);
  addFolder(root, u"Junk E-mail", kOlFolderJunk);
  addFolder(root, u"Notes", kOlFolderNotes);
  addFolder(root, u"Outbox", kOlFolderOutbox);
  addFolder(root, u"Sent Items", kOlFolderSentMail);
  ModelFolderPtr sync = addFolder(root, u"Sync Issues", kOlFolderSyncIssues);
  addFolder(sync, u"Conflicts", kOlFolderConflicts);
  addFolder(sync, u"Local Failures", kOlFolderLocalFailures);
  addFolder(sync, u"Server Failures", kOlFolderServerFailures);
  addFolder(root, u"Tasks", kOlFolderTasks, kOlTask);
}

void collect(const ModelFolderPtr& folder, std::vector<ModelFolderPtr>& out) {
  out.push_back(folder);
  for (const auto& c : folder->children) collect(c, out);
}

bool hasSmtpPrefix(TextView proxy) { return text::startsWithNoCase(proxy, u"smtp:"); }

// FNV-1a over the folded code units: texts that equalsNoCase calls equal hash alike.
std::size_t noCaseHash(TextView s) {
  std::uint64_t h = 14695981039346656037ull;
  for (char16_t c : s) {
    h = (h ^ text::foldCase(c)) * 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

}  // namespace

Text typeNameOfClass(long itemClass) {
  using namespace platform;
  switch (itemClass) {
    case kOlAppointment:
      return u"AppointmentItem";
    case kOlContact:
      return u"ContactItem";
    case kOlMail:
      return u"MailItem";
    case kOlPost:
      return u"PostItem";
    case kOlReport:
      return u"ReportItem";
    case kOlTask:
      return u"TaskItem";
    case kOlTaskRequest:
      return u"TaskRequestItem";
    case kOlTaskRequestUpdate:
      return u"TaskRequestUpdateItem";
    case kOlTaskRequestAccept:
      return u"TaskRequestAcceptItem";
    case kOlTaskRequestDecline:
      return u"TaskRequestDeclineItem";
    case kOlMeetingRequest:
    case kOlMeetingCancellation:
    case kOlMeetingResponseNegative:
    case kOlMeetingResponsePositive:
    case kOlMeetingResponseTentative:
      return u"MeetingItem";
    default:
      return u"Item";
  }
}

// ---- ModelItem

std::optional<PropValue> ModelItem::getProperty(const PropKey& key) const {
  if (key == PropKey::tag(prop::kReplyRecipientNames)) {
    if (replyRecipients.empty()) return std::nullopt;
    std::vector<Text> names;
    for (const auto& r : replyRecipients) names.push_back(r.name);
    return PropValue{kPtString8, Variant(text::join(names, u";"))};
  }
  if (key == PropKey::tag(prop::kReplyRecipientEntries)) {
    if (replyRecipients.empty()) return std::nullopt;
    // A flat entry list: count, size, then per entry its size and a one-off-like body.
    Bytes bytes;
    auto put32 = [&bytes](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(static_cast<std::uint32_t>(replyRecipients.size()));
    put32(0);
    for (const auto& r : replyRecipients) {
      const Bytes body = text::toUtf16leBytes(r.name + u'\0' + r.address + u'\0');
      put32(static_cast<std::uint32_t>(body.size()));
      bytes.insert(bytes.end(), body.begin(), body.end());
      while (bytes.size() % 4 != 0) bytes.push_back(0);
    }
    return PropValue{kPtBinary, Variant(std::move(bytes))};
  }
  if (const PropValue* v = props.find(key)) return *v;
  return std::nullopt;
}

void ModelItem::setProperty(const PropKey& key, std::uint16_t type, const Variant& value) {
  if (key == PropKey::tag(prop::kReplyRecipientNames)) {
    replyRecipients.clear();
    for (const Text& piece : text::split(value.toText(), u";")) {
      if (text::trim(piece).empty()) continue;
      RecipientRecord r;
      r.text = piece;
      r.name = piece;
      replyRecipients.push_back(std::move(r));
    }
    return;
  }
  if (key == PropKey::tag(prop::kReplyRecipientEntries)) return;  // entries come with names
  props.set(key, type, value);
}

bool ModelItem::deleteProperty(const PropKey& key) {
  if (key == PropKey::tag(prop::kReplyRecipientNames) ||
      key == PropKey::tag(prop::kReplyRecipientEntries)) {
    const bool had = !replyRecipients.empty();
    replyRecipients.clear();
    return had;
  }
  return props.remove(key);
}

std::vector<Text> ModelItem::categories() const {
  return props.get(PropKey::named(kPsPublicStrings, prop::kKeywords)).toTextArray();
}

void ModelItem::setCategories(const std::vector<Text>& list) {
  const PropKey key = PropKey::named(kPsPublicStrings, prop::kKeywords);
  if (list.empty()) {
    props.remove(key);
  } else {
    props.set(key, kPtMvString8, Variant(list));
  }
}

// ---- Folders and stores

ModelFolderPtr ModelFolder::child(TextView childName) const {
  for (const auto& c : children) {
    if (text::equalsNoCase(c->name, childName)) return c;
  }
  return nullptr;
}

Text ModelFolder::path() const {
  std::vector<Text> names;
  for (const ModelFolder* f = this; f != nullptr;) {
    auto p = f->parent.lock();
    if (!p) break;  // the top folder is not part of the path
    names.push_back(f->name);
    f = p.get();
  }
  std::reverse(names.begin(), names.end());
  return text::join(names, u"/");
}

ModelFolderPtr addFolder(const ModelFolderPtr& parent, TextView name, long defaultType,
                         long defaultItemClass) {
  auto store = parent->store.lock();
  auto folder = std::make_shared<ModelFolder>();
  folder->name = Text(name);
  folder->defaultType = defaultType;
  folder->defaultItemClass = defaultItemClass;
  folder->store = parent->store;
  folder->parent = parent;
  if (store) folder->entryId = folderEntryId(*store);
  parent->children.push_back(folder);
  return folder;
}

Text newItemEntryId(ModelStore& store) {
  const std::uint32_t n = ++store.nextId;
  if (store.kind == StoreKind::kPersonalFolders) {
    return u"00000000" + store.providerUid + hex(0x200000 + n * 4 + 4, 8);
  }
  return u"00000000" + store.providerUid + u"0700" + store.providerUid + hex(1, 12) + u"0000" +
         store.providerUid + hex(n, 12) + u"0000";
}

ModelStorePtr makeExchangeMailboxStore(TextView displayName, TextView dn, std::uint32_t serial) {
  const Text uid = providerUid(serial, 0x0100);
  Text storeId = u"0000000038A1BB1005E5101AA1BB08002B2A56C20000454D534D44422E444C4C00000000" + uid +
                 hexOfAnsi(dn);
  auto store = makeStore(StoreKind::kExchangeMailbox, displayName, uid, std::move(storeId));
  store->root->entryId = folderEntryId(*store);
  addDefaultMailFolders(store->root);
  return store;
}

ModelStorePtr makePublicFoldersStore(std::uint32_t serial) {
  const Text uid = providerUid(serial, 0x0300);
  Text storeId = u"0000000038A1BB1005E5101AA1BB08002B2A56C20000454D534D44422E444C4C00000000" + uid +
                 hexOfAnsi(u"Public Folders");
  auto store = makeStore(StoreKind::kPublicFolders, u"Public Folders", uid, std::move(storeId));
  store->root->entryId = folderEntryId(*store);
  addFolder(store->root, u"Favorites");
  addFolder(store->root, u"All Public Folders", platform::kOlPublicFoldersAllPublicFolders);
  return store;
}

ModelStorePtr makePersonalFoldersStore(TextView displayName, TextView path, std::uint32_t serial) {
  const Text uid = providerUid(serial, 0x0700);
  Text storeId = u"0000000038A1BB1005E5101AA1BB08002B2A56C200006D737073742E646C6C00000000" + uid +
                 hexOfAnsi(path);
  auto store = makeStore(StoreKind::kPersonalFolders, displayName, uid, std::move(storeId));
  store->root->entryId = folderEntryId(*store);
  addFolder(store->root, u"Deleted Items", platform::kOlFolderDeletedItems);
  return store;
}

std::vector<ModelFolderPtr> ModelStore::allFolders() const {
  std::vector<ModelFolderPtr> out;
  if (root) collect(root, out);
  return out;
}

ModelFolderPtr ModelStore::defaultFolder(long type) const {
  if (type == 0) return nullptr;
  for (const auto& f : allFolders()) {
    if (f->defaultType == type) return f;
  }
  return nullptr;
}

ModelFolderPtr ModelStore::findFolder(TextView entryId) const {
  if (entryId.empty()) return nullptr;
  for (const auto& f : allFolders()) {
    if (text::equalsNoCase(f->entryId, entryId)) return f;
  }
  return nullptr;
}

ModelItemPtr ModelStore::findItem(TextView entryId) const {
  if (entryId.empty()) return nullptr;
  const auto [first, last] = itemsById_.equal_range(noCaseHash(entryId));
  for (auto it = first; it != last; ++it) {
    ModelItemPtr item = it->second.lock();
    if (item && text::equalsNoCase(item->entryId, entryId)) return item;
  }
  return nullptr;
}

bool placeItem(const ModelFolderPtr& folder, const ModelItemPtr& item) {
  auto store = folder ? folder->storeOf() : nullptr;
  if (!store || !item) return false;
  item->entryId = newItemEntryId(*store);
  item->folder = folder;
  folder->items.push_back(item);
  store->itemsById_.emplace(noCaseHash(item->entryId), item);
  return true;
}

void takeOutItem(const ModelItemPtr& item) {
  if (!item) return;
  auto folder = item->parentFolder();
  item->folder.reset();
  if (!folder) return;
  std::erase(folder->items, item);
  auto store = folder->storeOf();
  if (!store) return;
  auto& index = store->itemsById_;
  const auto [first, last] = index.equal_range(noCaseHash(item->entryId));
  for (auto it = first; it != last; ++it) {
    if (it->second.lock() == item) {
      index.erase(it);
      return;
    }
  }
}

ModelFolderPtr ModelStore::folderByPath(TextView path) const {
  ModelFolderPtr folder = root;
  for (const Text& piece : text::split(text::replaceAll(path, u"\\", u"/"), u"/")) {
    if (piece.empty()) continue;
    if (!folder) return nullptr;
    folder = folder->child(piece);
  }
  return folder;
}

// ---- Directory

Text Mailbox::primarySmtp() const {
  for (const Text& p : proxyAddresses) {
    if (p.rfind(u"SMTP:", 0) == 0) return text::trim(TextView(p).substr(5));
  }
  for (const Text& p : proxyAddresses) {
    if (hasSmtpPrefix(p)) return text::trim(TextView(p).substr(5));
  }
  return Text();
}

bool Mailbox::hasSmtp(TextView address) const {
  for (const Text& p : proxyAddresses) {
    if (hasSmtpPrefix(p) && text::equalsNoCase(text::trim(TextView(p).substr(5)), address)) {
      return true;
    }
  }
  return false;
}

Text Mailbox::senderText() const { return displayName + u" <" + primarySmtp() + u">"; }

MailboxPtr Organisation::addMailbox(TextView displayName, TextView alias,
                                    std::vector<Text> proxyAddresses, TextView dn) {
  auto mailbox = std::make_shared<Mailbox>();
  mailbox->displayName = Text(displayName);
  mailbox->alias = Text(alias);
  mailbox->dn =
      dn.empty() ? u"/o=" + name + u"/ou=Exchange/cn=Recipients/cn=" + Text(alias) : Text(dn);
  mailbox->proxyAddresses = std::move(proxyAddresses);
  mailbox->store =
      makeExchangeMailboxStore(u"Mailbox - " + mailbox->displayName, mailbox->dn, ++serial_);
  mailbox->store->mailbox = mailbox;
  mailbox->store->props.setText(PropKey::tag(prop::kMailboxOwnerName), mailbox->displayName);
  mailboxes_.push_back(mailbox);
  return mailbox;
}

MailboxPtr Organisation::findBySmtp(TextView address) const {
  for (const auto& m : mailboxes_) {
    if (m->hasSmtp(address)) return m;
  }
  return nullptr;
}

MailboxPtr Organisation::findByDn(TextView dn) const {
  for (const auto& m : mailboxes_) {
    if (text::equalsNoCase(m->dn, dn)) return m;
  }
  return nullptr;
}

MailboxPtr Organisation::find(TextView nameOrDn) const {
  const Text key = text::trim(nameOrDn);
  if (key.empty()) return nullptr;
  for (const auto& m : mailboxes_) {
    if (text::equalsNoCase(m->dn, key) || text::equalsNoCase(m->displayName, key) ||
        text::equalsNoCase(m->alias, key)) {
      return m;
    }
  }
  return nullptr;
}

// ---- Message queue

void MessageQueue::post(std::function<void()> message) {
  if (!message) return;
  messages_.push_back(std::move(message));
  if (posted) posted();
}

void MessageQueue::pump() {
  // A runaway chain of messages that keep posting more must not hang a test.
  constexpr int kMaxMessages = 100000;
  for (int n = 0; n < kMaxMessages && !messages_.empty(); ++n) {
    std::function<void()> message = std::move(messages_.front());
    messages_.pop_front();
    message();
  }
}

// ---- Creatable classes

void ClassRegistry::registerAddIn(TextView progId, AddInFactory factory) {
  addIns_[text::fold(progId)] = std::move(factory);
}

void ClassRegistry::registerPage(TextView progId, PageFactory factory) {
  pages_[text::fold(progId)] = std::move(factory);
}

std::shared_ptr<platform::AddIn> ClassRegistry::createAddIn(TextView progId) const {
  auto it = addIns_.find(text::fold(progId));
  if (it == addIns_.end() || !it->second) return nullptr;
  return platform::adoptWithTerminate(it->second());
}

std::shared_ptr<platform::PropertyPage> ClassRegistry::createPage(TextView progId) const {
  auto it = pages_.find(text::fold(progId));
  if (it == pages_.end() || !it->second) return nullptr;
  return platform::adoptWithTerminate(it->second());
}

bool ClassRegistry::hasAddIn(TextView progId) const {
  return addIns_.count(text::fold(progId)) > 0;
}
bool ClassRegistry::hasPage(TextView progId) const { return pages_.count(text::fold(progId)) > 0; }

}  // namespace korvanel::sim
