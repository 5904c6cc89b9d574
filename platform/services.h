// What the product's deliverables get from their host besides the Outlook objects passed to
// them: the registry, the shell and UI services, Extended MAPI, and the factory of creatable
// COM objects. One Services value is handed to the add-in and to the Options page when they
// are created; the referenced objects outlive them. Single-threaded.
#pragma once

#include "platform/cdo.h"
#include "platform/mapi.h"
#include "platform/outlook.h"
#include "platform/profman.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace korvanel::platform {

// CreateObject for the classes the product creates. Each returns nullptr when the class is
// not registered (CDO not installed, the profile library missing) or cannot be created.
class ObjectFactory {
 public:
  virtual ~ObjectFactory() = default;
  // "MAPI.Session".
  virtual CdoSessionPtr createCdoSession() = 0;
  // "ProfMan.Profiles".
  virtual ProfManProfilesPtr createProfManProfiles() = 0;
  // "ProfMan.PropertyBag".
  virtual ProfManPropertyBagPtr createProfManPropertyBag() = 0;
  // Outlook's Application class {0006F03A-0000-0000-C000-000000000046}: inside Outlook's
  // process, the running Outlook.
  virtual ApplicationPtr createOutlookApplication() = 0;
};

struct Services {
  Registry& registry;
  Shell& shell;
  ObjectFactory& objects;
  Mapi& mapi;
};

}  // namespace korvanel::platform
