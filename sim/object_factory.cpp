#include "sim/object_factory.h"

#include "sim/cdo_session.h"
#include "sim/outlook_app.h"
#include "sim/profman_sim.h"

namespace korvanel::sim {

platform::CdoSessionPtr SimObjectFactory::createCdoSession() {
  if (fail("CreateObject.MAPI.Session") || !world_.cdoInstalled) return nullptr;
  auto running = world_.current();
  const int version = running ? running->version() : installedVersion;
  // CDO 1.21 is part of Outlook 2003's setup only.
  if (version >= 12) return nullptr;
  World* world = &world_;
  return makeCdoSession([world] { return outlookLogon(world->current()); }, &world_.faults());
}

platform::ProfManProfilesPtr SimObjectFactory::createProfManProfiles() {
  if (fail("CreateObject.ProfMan.Profiles") || !profManInstalled) return nullptr;
  return makeProfManProfiles(world_.registry(), &world_.faults());
}

platform::ProfManPropertyBagPtr SimObjectFactory::createProfManPropertyBag() {
  if (fail("CreateObject.ProfMan.PropertyBag") || !profManInstalled) return nullptr;
  return makeProfManPropertyBag(&world_.faults());
}

platform::ApplicationPtr SimObjectFactory::createOutlookApplication() {
  if (fail("CreateObject.Outlook.Application")) return nullptr;
  auto running = world_.current();
  if (!running || running->ended()) return nullptr;
  return running->application();
}

}  // namespace korvanel::sim
