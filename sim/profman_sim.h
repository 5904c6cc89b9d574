// The profile-management library ("ProfMan.Profiles", "ProfMan.PropertyBag") over the
// simulated registry. A profile is a key under the Profiles key; a message service is a
// section holding its service name ("001e3d09"); a service's providers are the sections
// that name it by its uid ("01023d0c"), plus, for Exchange, the global profile section that
// points at it ("01023d15"). Adding the "MSEMS" service writes the Exchange sections as
// the profile wizard leaves them before the first logon; Configure stores the unresolved
// mailbox and server names (0x6607001E, 0x6608001E) in the global section. Outlook's first
// start on such a profile resolves them from the directory.
//
// Failure injection: "ProfManProfiles.Count", "ProfManProfiles.Item", "ProfManProfiles.Add",
// "ProfManProfile.Name", "ProfManProfile.Services", "ProfManProfile.Delete",
// "ProfManServices.Count", "ProfManServices.Item", "ProfManServices.Add",
// "ProfManService.Providers", "ProfManService.Configure", "ProfManProviders.Count",
// "ProfManProviders.Item", "ProfManProvider.uId", "ProfManProvider.DisplayName",
// "ProfManPropertyBag.Add".
#pragma once

#include "platform/profman.h"
#include "platform/registry.h"
#include "sim/faults.h"

namespace korvanel::sim {

// The registry and the fault plan (when given) must outlive every object handed out.
platform::ProfManProfilesPtr makeProfManProfiles(platform::Registry& registry, FaultPlan* faults);
platform::ProfManPropertyBagPtr makeProfManPropertyBag(FaultPlan* faults);

}  // namespace korvanel::sim
