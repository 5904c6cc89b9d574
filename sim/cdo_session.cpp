#include "sim/cdo_session.h"

#include <map>
#include <string>
#include <vector>

namespace korvanel::sim {

using platform::CdoFieldPtr;
using platform::CdoFieldsPtr;
using platform::CdoInfoStorePtr;
using platform::CdoMessagePtr;

namespace {

bool failing(FaultPlan* faults, const char* op) {
  return faults != nullptr && faults->shouldFail(op);
}

// What a Fields collection reads and writes: an opened message or a store.
class FieldTarget {
 public:
  virtual ~FieldTarget() = default;
  virtual bool usable() const = 0;
  virtual std::optional<PropValue> get(const PropKey& key) const = 0;
  virtual void set(const PropKey& key, std::uint16_t type, const Variant& value) = 0;
  virtual bool remove(const PropKey& key) = 0;
};
using FieldTargetPtr = std::shared_ptr<FieldTarget>;

// An opened message: changes wait here, in the order made, until Update.
class OpenMessage final : public FieldTarget {
 public:
  OpenMessage(ModelItemPtr item, MapiLogonPtr logon)
      : item_(std::move(item)), logon_(std::move(logon)) {}

  bool usable() const override { return logon_->active(); }

  std::optional<PropValue> get(const PropKey& key) const override {
    auto it = latest_.find(key);
    if (it != latest_.end()) return it->second;
    return item_->getProperty(key);
  }
  void set(const PropKey& key, std::uint16_t type, const Variant& value) override {
    changes_.push_back(Change{key, PropValue{type, value}});
    latest_[key] = PropValue{type, value};
  }
  bool remove(const PropKey& key) override {
    if (!get(key)) return false;
    changes_.push_back(Change{key, std::nullopt});
    latest_[key] = std::nullopt;
    return true;
  }

  bool save() {
    if (!usable()) return false;
    if (changes_.empty()) return true;
    for (const Change& c : changes_) {
      if (c.value) {
        item_->setProperty(c.key, c.value->type, c.value->value);
      } else {
        item_->deleteProperty(c.key);
      }
    }
    changes_.clear();
    latest_.clear();
    logon_->messageSaved(item_);
    return true;
  }

 private:
  struct Change {
    PropKey key;
    std::optional<PropValue> value;  // nullopt: deleted
  };
  ModelItemPtr item_;
  MapiLogonPtr logon_;
  std::vector<Change> changes_;
  std::map<PropKey, std::optional<PropValue>> latest_;
};

// A store's properties, written at once (an info store has no Update).
class StoreProperties final : public FieldTarget {
 public:
  StoreProperties(ModelStorePtr store, MapiLogonPtr logon)
      : store_(std::move(store)), logon_(std::move(logon)) {}
  bool usable() const override { return logon_->active(); }
  std::optional<PropValue> get(const PropKey& key) const override {
    if (const PropValue* v = store_->props.find(key)) return *v;
    return std::nullopt;
  }
  void set(const PropKey& key, std::uint16_t type, const Variant& value) override {
    store_->props.set(key, type, value);
  }
  bool remove(const PropKey& key) override { return store_->props.remove(key); }

 private:
  ModelStorePtr store_;
  MapiLogonPtr logon_;
};

// The MAPI type CDO gives a field added with this class (vbString, vbArray + vbString, ...).
std::uint16_t propertyTypeOf(long cdoClass) {
  switch (cdoClass) {
    case 2:
    case 3:
      return kPtLong;
    case 11:
      return kPtBoolean;
    case platform::kCdoArray:
    case platform::kCdoArray + platform::kCdoString:
      return kPtMvString8;
    default:
      return kPtString8;
  }
}

Text hexOf(const Bytes& bytes) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text out;
  for (std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

class CdoFieldImpl final : public platform::CdoField {
 public:
  CdoFieldImpl(FieldTargetPtr target, PropKey key, FaultPlan* faults)
      : target_(std::move(target)), key_(std::move(key)), faults_(faults) {}

  Variant value() override {
    if (failing(faults_, "CdoField.Value") || !target_->usable()) return Variant();
    auto v = target_->get(key_);
    if (!v) return Variant();
    if (v->value.isBytes()) return Variant(hexOf(v->value.toBytes()));
    return v->value;
  }
  bool setValue(const Variant& value) override {
    if (failing(faults_, "CdoField.SetValue") || !target_->usable()) return false;
    auto current = target_->get(key_);
    if (!current) return false;  // the field was deleted meanwhile
    target_->set(key_, current->type, value);
    return true;
  }
  bool deleteField() override {
    if (failing(faults_, "CdoField.Delete") || !target_->usable()) return false;
    return target_->remove(key_);
  }

 private:
  FieldTargetPtr target_;
  PropKey key_;
  FaultPlan* faults_;
};

class CdoFieldsImpl final : public platform::CdoFields {
 public:
  CdoFieldsImpl(FieldTargetPtr target, FaultPlan* faults)
      : target_(std::move(target)), faults_(faults) {}

  CdoFieldPtr itemByName(TextView name) override {
    if (failing(faults_, "CdoFields.Item") || !target_->usable()) return nullptr;
    auto key = parseCdoFieldName(name);
    if (!key) return nullptr;
    return existing(key->key);
  }
  CdoFieldPtr itemByTag(std::uint32_t propTag) override {
    if (failing(faults_, "CdoFields.Item") || !target_->usable()) return nullptr;
    return existing(PropKey::tag(propTag));
  }
  CdoFieldPtr addNamed(TextView name, long type, const Variant& value,
                       TextView propsetId) override {
    if (failing(faults_, "CdoFields.Add") || !target_->usable()) return nullptr;
    std::optional<TypedKey> key;
    if (!name.empty() && name.front() == u'{') {
      // The full field name "{set}name" also names the set.
      key = parseCdoFieldName(name);
      if (key) key->type = propertyTypeOf(type);
    } else {
      key = parseCdoAdd(name, type, propsetId);
    }
    if (!key) return nullptr;
    target_->set(key->key, key->type, value);
    return std::make_shared<CdoFieldImpl>(target_, key->key, faults_);
  }
  CdoFieldPtr addTag(std::uint32_t propTag, const Variant& value) override {
    if (failing(faults_, "CdoFields.Add") || !target_->usable()) return nullptr;
    const PropKey key = PropKey::tag(propTag);
    target_->set(key, static_cast<std::uint16_t>(propTag & 0xFFFF), value);
    return std::make_shared<CdoFieldImpl>(target_, key, faults_);
  }

 private:
  CdoFieldPtr existing(const PropKey& key) {
    if (!target_->get(key)) return nullptr;
    return std::make_shared<CdoFieldImpl>(target_, key, faults_);
  }

  FieldTargetPtr target_;
  FaultPlan* faults_;
};

class CdoMessageImpl final : public platform::CdoMessage {
 public:
  CdoMessageImpl(std::shared_ptr<OpenMessage> message, FaultPlan* faults)
      : message_(std::move(message)), faults_(faults) {}

  CdoFieldsPtr fields() override {
    if (failing(faults_, "CdoMessage.Fields") || !message_->usable()) return nullptr;
    return std::make_shared<CdoFieldsImpl>(message_, faults_);
  }
  bool update() override {
    if (failing(faults_, "CdoMessage.Update")) return false;
    return message_->save();
  }

 private:
  std::shared_ptr<OpenMessage> message_;
  FaultPlan* faults_;
};

class CdoInfoStoreImpl final : public platform::CdoInfoStore {
 public:
  CdoInfoStoreImpl(std::shared_ptr<StoreProperties> store, FaultPlan* faults)
      : store_(std::move(store)), faults_(faults) {}
  CdoFieldsPtr fields() override {
    if (failing(faults_, "CdoInfoStore.Fields") || !store_->usable()) return nullptr;
    return std::make_shared<CdoFieldsImpl>(store_, faults_);
  }

 private:
  std::shared_ptr<StoreProperties> store_;
  FaultPlan* faults_;
};

class CdoSessionImpl final : public platform::CdoSession {
 public:
  CdoSessionImpl(MapiLogonSource source, FaultPlan* faults)
      : source_(std::move(source)), faults_(faults) {}

  bool logon(TextView profileName, TextView, bool, bool) override {
    if (failing(faults_, "CdoSession.Logon")) return false;
    MapiLogonPtr logon = source_ ? source_() : nullptr;
    if (!logon || !logon->active()) return false;
    // Only Outlook's own profile can be reached: there is one MAPI logon in the process.
    if (!profileName.empty() && !text::equalsNoCase(profileName, logon->profileName())) {
      return false;
    }
    logon_ = std::move(logon);
    return true;
  }
  bool logoff() override {
    if (failing(faults_, "CdoSession.Logoff") || !logon_) return false;
    logon_.reset();
    return true;
  }
  Text name() override {
    if (failing(faults_, "CdoSession.Name") || !loggedOn()) return Text();
    return logon_->profileName();
  }
  CdoMessagePtr getMessage(TextView entryId, TextView storeId) override {
    if (failing(faults_, "CdoSession.GetMessage") || !loggedOn() || entryId.empty()) {
      return nullptr;
    }
    for (const ModelStorePtr& store : logon_->stores()) {
      if (!storeId.empty() && !text::equalsNoCase(store->storeId, storeId)) continue;
      if (ModelItemPtr item = store->findItem(entryId)) {
        return std::make_shared<CdoMessageImpl>(std::make_shared<OpenMessage>(item, logon_),
                                                faults_);
      }
    }
    return nullptr;
  }
  CdoInfoStorePtr getInfoStore(TextView storeId) override {
    if (failing(faults_, "CdoSession.GetInfoStore") || !loggedOn()) return nullptr;
    for (const ModelStorePtr& store : logon_->stores()) {
      // No id: the default store, which comes first.
      if (storeId.empty() || text::equalsNoCase(store->storeId, storeId)) {
        return std::make_shared<CdoInfoStoreImpl>(std::make_shared<StoreProperties>(store, logon_),
                                                  faults_);
      }
    }
    return nullptr;
  }

 private:
  bool loggedOn() const { return logon_ && logon_->active(); }

  MapiLogonSource source_;
  FaultPlan* faults_;
  MapiLogonPtr logon_;
};

}  // namespace

platform::CdoSessionPtr makeCdoSession(MapiLogonSource logonSource, FaultPlan* faults) {
  return std::make_shared<CdoSessionImpl>(std::move(logonSource), faults);
}

}  // namespace korvanel::sim
