// platform::ObjectFactory over COM: CDO's session and the profile-management objects are
// created by ProgID, as CreateObject does, and Outlook's Application by its class. A class
// that is not registered, or whose object cannot be created, gives nullptr.
#pragma once

#include "platform/services.h"

namespace korvanel::win {

class WinObjectFactory final : public platform::ObjectFactory {
 public:
  platform::CdoSessionPtr createCdoSession() override;
  platform::ProfManProfilesPtr createProfManProfiles() override;
  platform::ProfManPropertyBagPtr createProfManPropertyBag() override;
  platform::ApplicationPtr createOutlookApplication() override;
};

}  // namespace korvanel::win
