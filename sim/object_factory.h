// CreateObject on the simulated machine: the classes the product creates by ProgID. CDO 1.21
// ("MAPI.Session") exists only where Outlook 2003 runs with CDO installed
// (World::cdoInstalled); its session attaches to the running Outlook's logon. The
// profile-management library works on the world's registry. Outlook's Application class
// gives the running Outlook.
//
// Failure injection: "CreateObject.MAPI.Session", "CreateObject.ProfMan.Profiles",
// "CreateObject.ProfMan.PropertyBag", "CreateObject.Outlook.Application".
#pragma once

#include "platform/services.h"
#include "sim/outlook_world.h"

namespace korvanel::sim {

class SimObjectFactory final : public platform::ObjectFactory {
 public:
  // The world must outlive the factory and the objects it creates.
  explicit SimObjectFactory(World& world) : world_(world) {}

  platform::CdoSessionPtr createCdoSession() override;
  platform::ProfManProfilesPtr createProfManProfiles() override;
  platform::ProfManPropertyBagPtr createProfManPropertyBag() override;
  platform::ApplicationPtr createOutlookApplication() override;

  // The Outlook version installed on the machine; CDO is looked for only with 11. The
  // running Outlook's own version decides while one runs.
  int installedVersion = 12;
  // The profile-management library is registered.
  bool profManInstalled = true;

 private:
  bool fail(const char* op) { return world_.faults().shouldFail(op); }
  World& world_;
};

}  // namespace korvanel::sim
