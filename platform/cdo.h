// Collaboration Data Objects 1.21 as the product uses it on Outlook 2003: a session
// ("MAPI.Session", created through ObjectFactory, nullptr when CDO is not installed) that
// shares Outlook's logon and reaches the same stored properties as the object model.
//
// Fields are addressed by name or by property tag:
//  "{0820060000000000C000000000000046}0x8580"         named property 0x8580 of the set whose
//                                                      GUID is written in CDO's byte order
//  "{8603020000000000C000000000000046}x-recipientlist" string-named property
//  0x0050001E                                          property tag
// Fields::add with a name "0x8580", a type (8 text, 8192 array of texts), a value and a set
// identifier "0820060000000000C000000000000046" creates a named property; with a tag it
// creates that property. Changes reach the store on Message::update.
// Failures give nullptr / empty Variant / empty text / false. Single-threaded.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/variant.h"

namespace korvanel::platform {

class CdoSession;
class CdoMessage;
class CdoInfoStore;
class CdoFields;
class CdoField;
using CdoSessionPtr = std::shared_ptr<CdoSession>;
using CdoMessagePtr = std::shared_ptr<CdoMessage>;
using CdoInfoStorePtr = std::shared_ptr<CdoInfoStore>;
using CdoFieldsPtr = std::shared_ptr<CdoFields>;
using CdoFieldPtr = std::shared_ptr<CdoField>;

inline constexpr long kCdoString = 8;
inline constexpr long kCdoArray = 8192;

class CdoSession {
 public:
  virtual ~CdoSession() = default;
  // With an empty profile, no dialog and no new session: attaches to Outlook's logon.
  virtual bool logon(TextView profileName, TextView password, bool showDialog,
                     bool newSession) = 0;
  virtual bool logoff() = 0;
  // The profile name; empty when not logged on.
  virtual Text name() = 0;
  virtual CdoMessagePtr getMessage(TextView entryId, TextView storeId = {}) = 0;
  virtual CdoInfoStorePtr getInfoStore(TextView storeId) = 0;
};

class CdoMessage {
 public:
  virtual ~CdoMessage() = default;
  virtual CdoFieldsPtr fields() = 0;
  // Writes the changed fields to the store.
  virtual bool update() = 0;
};

class CdoInfoStore {
 public:
  virtual ~CdoInfoStore() = default;
  // The store's fields (0x661C001E: the mailbox owner's display name).
  virtual CdoFieldsPtr fields() = 0;
};

class CdoFields {
 public:
  virtual ~CdoFields() = default;
  // nullptr when the message lacks the property.
  virtual CdoFieldPtr itemByName(TextView name) = 0;
  virtual CdoFieldPtr itemByTag(std::uint32_t propTag) = 0;
  virtual CdoFieldPtr addNamed(TextView name, long type, const Variant& value,
                               TextView propsetId) = 0;
  virtual CdoFieldPtr addTag(std::uint32_t propTag, const Variant& value) = 0;
};

class CdoField {
 public:
  virtual ~CdoField() = default;
  virtual Variant value() = 0;
  virtual bool setValue(const Variant& value) = 0;
  virtual bool deleteField() = 0;
};

}  // namespace korvanel::platform
