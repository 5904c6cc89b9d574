// The profile-management library ("ProfMan.Profiles", "ProfMan.PropertyBag", created through
// ObjectFactory) as the product uses it to build and delete the temporary re-read profile.
// Collections are 1-based. Failures give nullptr / empty text / 0 / false. Single-threaded.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/variant.h"

namespace korvanel::platform {

class ProfManProfiles;
class ProfManProfile;
class ProfManServices;
class ProfManService;
class ProfManProviders;
class ProfManProvider;
class ProfManPropertyBag;
using ProfManProfilesPtr = std::shared_ptr<ProfManProfiles>;
using ProfManProfilePtr = std::shared_ptr<ProfManProfile>;
using ProfManServicesPtr = std::shared_ptr<ProfManServices>;
using ProfManServicePtr = std::shared_ptr<ProfManService>;
using ProfManProvidersPtr = std::shared_ptr<ProfManProviders>;
using ProfManProviderPtr = std::shared_ptr<ProfManProvider>;
using ProfManPropertyBagPtr = std::shared_ptr<ProfManPropertyBag>;

class ProfManProfiles {
 public:
  virtual ~ProfManProfiles() = default;
  virtual long count() = 0;
  virtual ProfManProfilePtr item(long index) = 0;
  // Creates a profile; nullptr when it cannot (for instance, the name exists).
  virtual ProfManProfilePtr add(TextView name, bool showDialog, bool setDefault) = 0;
};

class ProfManProfile {
 public:
  virtual ~ProfManProfile() = default;
  virtual Text name() = 0;
  virtual ProfManServicesPtr services() = 0;
  // Deletes the profile and everything under its key.
  virtual bool deleteProfile() = 0;
};

class ProfManServices {
 public:
  virtual ~ProfManServices() = default;
  virtual long count() = 0;
  virtual ProfManServicePtr item(long index) = 0;
  // ("MSEMS", "Microsoft Exchange", false) adds an Exchange service and its sections.
  virtual ProfManServicePtr add(TextView serviceName, TextView displayName, bool showDialog) = 0;
};

class ProfManService {
 public:
  virtual ~ProfManService() = default;
  virtual ProfManProvidersPtr providers() = 0;
  // Configures the service from the bag without user interface (0x6607001E unresolved
  // mailbox name, 0x6608001E unresolved server name).
  virtual bool configure(long flags, const ProfManPropertyBagPtr& bag) = 0;
};

class ProfManProviders {
 public:
  virtual ~ProfManProviders() = default;
  virtual long count() = 0;
  virtual ProfManProviderPtr item(long index) = 0;
};

class ProfManProvider {
 public:
  virtual ~ProfManProvider() = default;
  // The provider's profile section id, 32 hexadecimal digits.
  virtual Text uId() = 0;
  virtual Text displayName() = 0;
};

class ProfManPropertyBag {
 public:
  virtual ~ProfManPropertyBag() = default;
  virtual bool add(std::uint32_t propTag, const Variant& value) = 0;
};

}  // namespace korvanel::platform
