// Items and what hangs off them: recipients, user properties, attachments, PropertyAccessor.
#include <algorithm>

#include "sim/outlook_headers.h"
#include "sim/outlook_objects.h"
#include "sim/outlook_recipients.h"

namespace korvanel::sim {

using namespace platform;

namespace {

bool isMailLike(long itemClass) {
  return itemClass == kOlMail || itemClass == kOlPost ||
         (itemClass >= kOlMeetingRequest && itemClass <= kOlMeetingResponseTentative) ||
         (itemClass >= kOlTaskRequest && itemClass <= kOlTaskRequestDecline);
}

class SimAddressEntry final : public AddressEntry {
 public:
  SimAddressEntry(OutlookPtr outlook, Text type)
      : outlook_(std::move(outlook)), type_(std::move(type)) {}
  Text type() override {
    if (outlook_->fails(u"AddressEntry", u"Type")) return Text();
    return type_;
  }
  long addressEntryUserType() override {
    if (outlook_->version() < 12 || outlook_->fails(u"AddressEntry", u"AddressEntryUserType"))
      return 0;
    return text::equalsNoCase(type_, u"SMTP") ? kOlSmtpAddressEntry : kOlExchangeUserAddressEntry;
  }

 private:
  OutlookRef outlook_;
  Text type_;
};

// A row of an item's recipients or reply recipients, or a recipient of its own (the
// namespace's current user).
class SimRecipient final : public Recipient {
 public:
  SimRecipient(OutlookPtr outlook, ModelItemPtr item, bool reply, std::size_t index)
      : outlook_(std::move(outlook)), item_(std::move(item)), reply_(reply), index_(index) {}
  SimRecipient(OutlookPtr outlook, RecipientRecord record)
      : outlook_(std::move(outlook)), own_(std::make_shared<RecipientRecord>(std::move(record))) {}

  Text name() override {
    const RecipientRecord* r = record(u"Name");
    return r ? r->name : Text();
  }
  Text address() override {
    const RecipientRecord* r = record(u"Address");
    return r && r->resolved ? r->address : Text();
  }
  long type() override {
    const RecipientRecord* r = record(u"Type");
    return r ? r->type : 0;
  }
  bool setType(long value) override {
    RecipientRecord* r = record(u"Type");
    if (!r) return false;
    r->type = value;
    if (item_) item_->saved = false;
    return true;
  }
  bool resolved() override {
    const RecipientRecord* r = record(u"Resolved");
    return r && r->resolved;
  }
  AddressEntryPtr addressEntry() override {
    const RecipientRecord* r = record(u"AddressEntry");
    if (!r || !r->resolved) return nullptr;
    return std::make_shared<SimAddressEntry>(outlook_, r->addressType);
  }

 private:
  RecipientRecord* record(TextView member) {
    if (outlook_->fails(u"Recipient", member)) return nullptr;
    if (own_) return own_.get();
    if (!item_ || item_->removed) return nullptr;
    auto& list = reply_ ? item_->replyRecipients : item_->recipients;
    return index_ < list.size() ? &list[index_] : nullptr;
  }

  OutlookRef outlook_;
  ModelItemPtr item_;
  bool reply_ = false;
  std::size_t index_ = 0;
  std::shared_ptr<RecipientRecord> own_;
};

class SimRecipients final : public Recipients {
 public:
  SimRecipients(OutlookPtr outlook, ModelItemPtr item, bool reply)
      : outlook_(std::move(outlook)), item_(std::move(item)), reply_(reply) {}

  long count() override {
    if (bad(u"Count")) return 0;
    return static_cast<long>(list().size());
  }
  RecipientPtr item(long index) override {
    if (bad(u"Item") || index < 1 || index > static_cast<long>(list().size())) return nullptr;
    return std::make_shared<SimRecipient>(outlook_, item_, reply_,
                                          static_cast<std::size_t>(index - 1));
  }
  RecipientPtr add(TextView text) override {
    if (bad(u"Add")) return nullptr;
    RecipientRecord r;
    r.text = Text(text);
    r.name = Text(text);
    list().push_back(std::move(r));
    item_->saved = false;
    return std::make_shared<SimRecipient>(outlook_, item_, reply_, list().size() - 1);
  }
  bool remove(long index) override {
    if (bad(u"Remove") || index < 1 || index > static_cast<long>(list().size())) return false;
    list().erase(list().begin() + (index - 1));
    item_->saved = false;
    return true;
  }
  bool resolveAll() override {
    if (bad(u"ResolveAll")) return false;
    bool all = true;
    for (auto& r : list()) all = resolveRecord(outlook_->world().organisation(), r) && all;
    return all;
  }

 private:
  bool bad(TextView member) {
    return item_->removed || outlook_->fails(reply_ ? u"ReplyRecipients" : u"Recipients", member);
  }
  std::vector<RecipientRecord>& list() {
    return reply_ ? item_->replyRecipients : item_->recipients;
  }

  OutlookRef outlook_;
  ModelItemPtr item_;
  bool reply_;
};

class SimUserProperty final : public UserProperty {
 public:
  SimUserProperty(OutlookPtr outlook, ModelItemPtr item, Text name)
      : outlook_(std::move(outlook)), item_(std::move(item)), name_(std::move(name)) {}

  Text name() override {
    const UserPropertyRecord* r = record(u"Name");
    return r ? r->name : Text();
  }
  Variant value() override {
    const UserPropertyRecord* r = record(u"Value");
    return r ? r->value : Variant();
  }
  bool setValue(const Variant& value) override {
    UserPropertyRecord* r = record(u"Value");
    if (!r) return false;
    r->value = value;
    item_->saved = false;
    item_->customPropertyChange.emit(name_);
    return true;
  }
  bool deleteProperty() override {
    if (!record(u"Delete")) return false;
    std::erase_if(item_->userProperties,
                  [&](const UserPropertyRecord& p) { return text::equalsNoCase(p.name, name_); });
    item_->saved = false;
    return true;
  }

 private:
  UserPropertyRecord* record(TextView member) {
    if (item_->removed || outlook_->fails(u"UserProperty", member)) return nullptr;
    for (auto& p : item_->userProperties) {
      if (text::equalsNoCase(p.name, name_)) return &p;
    }
    return nullptr;
  }

  OutlookRef outlook_;
  ModelItemPtr item_;
  Text name_;
};

class SimUserProperties final : public UserProperties {
 public:
  SimUserProperties(OutlookPtr outlook, ModelItemPtr item)
      : outlook_(std::move(outlook)), item_(std::move(item)) {}

  long count() override {
    if (bad(u"Count")) return 0;
    return static_cast<long>(item_->userProperties.size());
  }
  UserPropertyPtr item(long index) override {
    if (bad(u"Item") || index < 1 || index > static_cast<long>(item_->userProperties.size()))
      return nullptr;
    return std::make_shared<SimUserProperty>(
        outlook_, item_, item_->userProperties[static_cast<std::size_t>(index - 1)].name);
  }
  UserPropertyPtr add(TextView name, long type) override {
    if (bad(u"Add") || name.empty()) return nullptr;
    const bool exists =
        std::any_of(item_->userProperties.begin(), item_->userProperties.end(),
                    [&](const UserPropertyRecord& p) { return text::equalsNoCase(p.name, name); });
    if (!exists) {
      item_->userProperties.push_back(UserPropertyRecord{Text(name), type, Variant()});
      item_->saved = false;
    }
    return std::make_shared<SimUserProperty>(outlook_, item_, Text(name));
  }
  bool remove(long index) override {
    if (bad(u"Remove") || index < 1 || index > static_cast<long>(item_->userProperties.size()))
      return false;
    item_->userProperties.erase(item_->userProperties.begin() + (index - 1));
    item_->saved = false;
    return true;
  }

 private:
  bool bad(TextView member) { return item_->removed || outlook_->fails(u"UserProperties", member); }
  OutlookRef outlook_;
  ModelItemPtr item_;
};

class SimAttachments final : public Attachments {
 public:
  SimAttachments(OutlookPtr outlook, ModelItemPtr item)
      : outlook_(std::move(outlook)), item_(std::move(item)) {}
  long count() override {
    if (item_->removed || outlook_->fails(u"Attachments", u"Count")) return 0;
    return item_->attachmentCount;
  }

 private:
  OutlookRef outlook_;
  ModelItemPtr item_;
};

class SimPropertyAccessor final : public PropertyAccessor {
 public:
  SimPropertyAccessor(OutlookPtr outlook, ModelItemPtr item)
      : outlook_(std::move(outlook)), item_(std::move(item)) {}

  Variant getProperty(TextView schemaName) override {
    if (bad(u"GetProperty")) return Variant();
    auto key = parseSchemaName(schemaName);
    if (!key) return Variant();
    auto value = item_->getProperty(key->key);
    return value ? value->value : Variant();
  }
  bool setProperty(TextView schemaName, const Variant& value) override {
    if (bad(u"SetProperty")) return false;
    auto key = parseSchemaName(schemaName);
    if (!key || value.isEmpty()) return false;
    item_->setProperty(key->key, key->type, value);
    item_->saved = false;
    return true;
  }
  bool deleteProperty(TextView schemaName) override {
    if (bad(u"DeleteProperty")) return false;
    auto key = parseSchemaName(schemaName);
    if (!key) return false;
    item_->deleteProperty(key->key);  // deleting an absent property is no error
    item_->saved = false;
    return true;
  }
  std::vector<Variant> getProperties(const std::vector<Text>& schemaNames) override {
    if (bad(u"GetProperties")) return {};
    std::vector<Variant> values;
    for (const Text& name : schemaNames) {
      const auto key = parseSchemaName(name);
      const auto value = key ? item_->getProperty(key->key) : std::nullopt;
      values.push_back(value ? value->value : Variant());
    }
    return values;
  }
  bool setProperties(const std::vector<Text>& schemaNames,
                     const std::vector<Variant>& values) override {
    if (bad(u"SetProperties") || schemaNames.size() != values.size()) return false;
    bool all = true;
    for (std::size_t i = 0; i < schemaNames.size(); ++i) {
      const auto key = parseSchemaName(schemaNames[i]);
      if (!key || values[i].isEmpty()) {
        all = false;
        continue;
      }
      item_->setProperty(key->key, key->type, values[i]);
      item_->saved = false;
    }
    return all;
  }

 private:
  bool bad(TextView member) {
    return item_->removed || outlook_->fails(u"PropertyAccessor", member);
  }
  OutlookRef outlook_;
  ModelItemPtr item_;
};

class SimItem final : public Item {
 public:
  SimItem(OutlookPtr outlook, ModelItemPtr item)
      : outlook_(std::move(outlook)), item_(std::move(item)) {}

  const ModelItemPtr& model() const { return item_; }

  Text typeName() override { return typeNameOfClass(item_->itemClass); }
  long itemClass() override { return bad(u"Class") ? 0 : item_->itemClass; }

  Text entryId() override { return bad(u"EntryID") ? Text() : item_->entryId; }
  bool sent() override { return !bad(u"Sent") && item_->sent; }
  bool saved() override { return !bad(u"Saved") && item_->saved; }
  Text subject() override { return bad(u"Subject") ? Text() : item_->text(prop::kSubject); }
  bool setSubject(TextView value) override {
    return setText(u"Subject", PropKey::tag(prop::kSubject), value);
  }
  Text body() override { return bad(u"Body") ? Text() : item_->text(prop::kBody); }
  bool setBody(TextView value) override {
    return setText(u"Body", PropKey::tag(prop::kBody), value);
  }
  Text billingInformation() override {
    return bad(u"BillingInformation") ? Text() : item_->namedText(prop::kBilling);
  }
  bool setBillingInformation(TextView value) override {
    return setText(u"BillingInformation", PropKey::named(kPsetidCommon, prop::kBilling), value);
  }
  Text categories() override {
    return bad(u"Categories") ? Text() : text::join(item_->categories(), u", ");
  }
  bool setCategories(TextView value) override {
    if (bad(u"Categories")) return false;
    std::vector<Text> list;
    for (const Text& piece : text::split(value, u",")) {
      Text t = text::trim(piece);
      if (!t.empty()) list.push_back(std::move(t));
    }
    item_->setCategories(list);
    outlook_->memberChanged(*item_, u"Categories");
    return true;
  }
  Text conversationIndex() override {
    if (bad(u"ConversationIndex")) return Text();
    return hexOfBytes(item_->props.get(PropKey::tag(prop::kConversationIndex)).toBytes());
  }
  bool readReceiptRequested() override {
    return !bad(u"ReadReceiptRequested") &&
           item_->props.get(PropKey::tag(prop::kReadReceiptRequested)).toBool();
  }
  bool setReadReceiptRequested(bool value) override {
    if (bad(u"ReadReceiptRequested")) return false;
    item_->props.set(PropKey::tag(prop::kReadReceiptRequested), kPtBoolean, Variant(value));
    outlook_->memberChanged(*item_, u"ReadReceiptRequested");
    return true;
  }
  Text sentOnBehalfOfName() override {
    return bad(u"SentOnBehalfOfName") ? Text() : item_->text(prop::kSentRepresentingName);
  }
  bool setSentOnBehalfOfName(TextView value) override {
    if (bad(u"SentOnBehalfOfName")) return false;
    if (value.empty()) {
      item_->props.remove(PropKey::tag(prop::kSentRepresentingName));
      item_->props.remove(PropKey::tag(prop::kSentRepresentingEntryId));
      item_->props.remove(PropKey::tag(prop::kSentRepresentingEmail));
    } else {
      item_->props.setText(PropKey::tag(prop::kSentRepresentingName), value);
    }
    outlook_->memberChanged(*item_, u"SentOnBehalfOfName");
    return true;
  }
  AccountPtr sendUsingAccount() override;
  bool setSendUsingAccount(const AccountPtr& account) override;
  long meetingStatus() override {
    if (bad(u"MeetingStatus") || item_->itemClass != kOlAppointment) return 0;
    return item_->meetingStatus;
  }
  bool setMeetingStatus(long value) override {
    if (bad(u"MeetingStatus") || item_->itemClass != kOlAppointment) return false;
    item_->meetingStatus = value;
    outlook_->memberChanged(*item_, u"MeetingStatus");
    return true;
  }

  PropertyAccessorPtr propertyAccessor() override {
    if (outlook_->version() < 12 || bad(u"PropertyAccessor")) return nullptr;
    return std::make_shared<SimPropertyAccessor>(outlook_, item_);
  }
  RecipientsPtr recipients() override {
    if (bad(u"Recipients") || item_->itemClass == kOlContact) return nullptr;
    return std::make_shared<SimRecipients>(outlook_, item_, false);
  }
  RecipientsPtr replyRecipients() override {
    if (bad(u"ReplyRecipients") || !isMailLike(item_->itemClass)) return nullptr;
    return std::make_shared<SimRecipients>(outlook_, item_, true);
  }
  UserPropertiesPtr userProperties() override {
    if (bad(u"UserProperties")) return nullptr;
    return std::make_shared<SimUserProperties>(outlook_, item_);
  }
  AttachmentsPtr attachments() override {
    if (bad(u"Attachments")) return nullptr;
    return std::make_shared<SimAttachments>(outlook_, item_);
  }
  FolderPtr parent() override {
    if (bad(u"Parent")) return nullptr;
    auto folder = item_->parentFolder();
    return folder ? makeFolder(outlook_, folder) : nullptr;
  }
  MapiObjectPtr mapiObject() override {
    if (bad(u"MAPIOBJECT")) return nullptr;
    return std::make_shared<ModelMapiObject>(item_);
  }

  bool save() override { return !bad(u"Save") && outlook_->saveItem(item_); }
  bool close(long saveMode) override {
    return !bad(u"Close") && outlook_->closeItem(item_, saveMode);
  }
  bool deleteItem() override { return !bad(u"Delete") && outlook_->deleteItem(item_); }
  ItemPtr move(const FolderPtr& destination) override {
    if (bad(u"Move")) return nullptr;
    if (!outlook_->moveItem(item_, modelFolderOf(destination))) return nullptr;
    return makeItem(outlook_, item_);
  }
  bool send() override { return !bad(u"Send") && outlook_->sendItem(item_); }
  bool display() override { return !bad(u"Display") && outlook_->displayItem(item_) != nullptr; }
  InspectorPtr getInspector() override {
    if (bad(u"GetInspector")) return nullptr;
    auto inspector = outlook_->inspectorOf(*item_);
    return inspector ? makeInspector(outlook_, inspector) : nullptr;
  }

  Connection onRead(std::function<void()> handler) override {
    return connect(u"Read", item_->read, std::move(handler));
  }
  Connection onClose(std::function<void(bool&)> handler) override {
    return connect(u"Close", item_->close, std::move(handler));
  }
  Connection onCustomPropertyChange(std::function<void(const Text&)> handler) override {
    return connect(u"CustomPropertyChange", item_->customPropertyChange, std::move(handler));
  }
  Connection onPropertyChange(std::function<void(const Text&)> handler) override {
    return connect(u"PropertyChange", item_->propertyChange, std::move(handler));
  }
  Connection onOpen(std::function<void(bool&)> handler) override {
    return connect(u"Open", item_->open, std::move(handler));
  }

 private:
  bool bad(TextView member) { return item_->removed || outlook_->fails(typeName(), member); }

  bool setText(TextView member, const PropKey& key, TextView value) {
    if (bad(member)) return false;
    item_->props.setText(key, value);
    outlook_->memberChanged(*item_, member);
    return true;
  }

  template <typename... Args, typename Handler>
  Connection connect(TextView event, Signal<Args...>& signal, Handler handler) {
    if (outlook_->fails(typeName(), event)) return Connection();
    return signal.connect(std::move(handler));
  }

  OutlookRef outlook_;
  ModelItemPtr item_;
};

class SimAccount final : public Account {
 public:
  SimAccount(OutlookPtr outlook, Text key) : outlook_(std::move(outlook)), key_(std::move(key)) {}
  Text displayName() override {
    if (outlook_->fails(u"Account", u"DisplayName")) return Text();
    const Outlook::Account* a = outlook_->accountByKey(key_);
    return a ? a->name : Text();
  }
  const Text& key() const { return key_; }

 private:
  OutlookRef outlook_;
  Text key_;
};

AccountPtr SimItem::sendUsingAccount() {
  if (outlook_->version() < 12 || bad(u"SendUsingAccount")) return nullptr;
  const Outlook::Account* account = nullptr;
  if (item_->sent) {
    if (!item_->chosenAccountKey.empty()) {
      account = outlook_->accountByKey(item_->chosenAccountKey);
    } else if (item_->arrivalAccount.empty()) {
      account = outlook_->exchangeAccount();
    } else {
      account = outlook_->accountByName(item_->arrivalAccount);
    }
  } else {
    account = outlook_->accountNamedBy(*item_);
  }
  return account ? std::make_shared<SimAccount>(outlook_, account->key) : nullptr;
}

bool SimItem::setSendUsingAccount(const AccountPtr& account) {
  if (outlook_->version() < 12 || bad(u"SendUsingAccount")) return false;
  auto sim = std::dynamic_pointer_cast<SimAccount>(account);
  const Outlook::Account* a = sim ? outlook_->accountByKey(sim->key()) : nullptr;
  if (a == nullptr) return false;
  outlook_->chooseAccountFor(*item_, *a);
  outlook_->memberChanged(*item_, u"SendUsingAccount");
  return true;
}

}  // namespace

ItemPtr makeItem(const OutlookPtr& outlook, const ModelItemPtr& item) {
  if (!outlook || !item) return nullptr;
  return std::make_shared<SimItem>(outlook, item);
}

ModelItemPtr modelItemOf(const ItemPtr& item) {
  auto sim = std::dynamic_pointer_cast<SimItem>(item);
  return sim ? sim->model() : nullptr;
}

AccountPtr makeAccount(const OutlookPtr& outlook, TextView key) {
  return std::make_shared<SimAccount>(outlook, Text(key));
}

RecipientPtr makeStandaloneRecipient(const OutlookPtr& outlook, RecipientRecord record) {
  return std::make_shared<SimRecipient>(outlook, std::move(record));
}

}  // namespace korvanel::sim
