// platform::ObjectFactory over CoCreateInstance. Outlook's Application is wrapped by
// outlook_application.h; the CDO session and the profile-manager objects have no adapter yet
// and are reported as not installed (nullptr), as the contract allows.
#pragma once

#include "platform/services.h"

namespace korvanel::win {

class WinObjectFactory final : public platform::ObjectFactory {
 public:
  platform::CdoSessionPtr createCdoSession() override { return nullptr; }
  platform::ProfManProfilesPtr createProfManProfiles() override { return nullptr; }
  platform::ProfManPropertyBagPtr createProfManPropertyBag() override { return nullptr; }
  platform::ApplicationPtr createOutlookApplication() override;
};

}  // namespace korvanel::win
