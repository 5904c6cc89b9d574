// CDO 1.21 and the profile-management library, served, and created by ProgID as the add-in
// creates them ("MAPI.Session", "ProfMan.Profiles", "ProfMan.PropertyBag").
#pragma once

#include "platform/services.h"
#include "win/served/served_outlook.h"

namespace korvanel::win::served {

#define KORVANEL_SERVED(Name, Ptr)             \
  class Name final : public Served<Ptr> {      \
   public:                                     \
    using Served::Served;                      \
    const MemberTable& table() const override; \
  }

KORVANEL_SERVED(ServedCdoSession, platform::CdoSessionPtr);
KORVANEL_SERVED(ServedCdoMessage, platform::CdoMessagePtr);
KORVANEL_SERVED(ServedCdoInfoStore, platform::CdoInfoStorePtr);
KORVANEL_SERVED(ServedCdoFields, platform::CdoFieldsPtr);
KORVANEL_SERVED(ServedCdoField, platform::CdoFieldPtr);
KORVANEL_SERVED(ServedProfiles, platform::ProfManProfilesPtr);
KORVANEL_SERVED(ServedProfile, platform::ProfManProfilePtr);
KORVANEL_SERVED(ServedServices, platform::ProfManServicesPtr);
KORVANEL_SERVED(ServedService, platform::ProfManServicePtr);
KORVANEL_SERVED(ServedProviders, platform::ProfManProvidersPtr);
KORVANEL_SERVED(ServedProvider, platform::ProfManProviderPtr);
KORVANEL_SERVED(ServedPropertyBag, platform::ProfManPropertyBagPtr);

#undef KORVANEL_SERVED

// The class objects of "MAPI.Session", "ProfMan.Profiles" and "ProfMan.PropertyBag",
// registered with COM and under HKEY_CLASSES_ROOT for as long as this object lives, and
// Outlook's Application class (which gives the running Outlook); each creates its object
// through the simulation's CreateObject (so CDO exists exactly where the simulated machine
// has it). CDO's ProgID is registered only when the machine has CDO
// installed, and removed otherwise, so that its absence is seen as on a machine without it.
class ServedClasses {
 public:
  ServedClasses(platform::ObjectFactory& objects, bool cdoInstalled);
  ~ServedClasses();
  ServedClasses(const ServedClasses&) = delete;
  ServedClasses& operator=(const ServedClasses&) = delete;

 private:
  struct Registration {
    Text progId;
    CLSID clsid;
    DWORD cookie;
  };
  std::vector<Registration> registrations_;
};

}  // namespace korvanel::win::served
