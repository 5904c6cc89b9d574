// The simulated machine a scenario starts on: the Outlook version, CDO and UI language, the
// add-in and the Options page registered as Outlook creates them, and the profile written
// as Outlook's wizard and the Options page leave it (or a saved registry merged in, with the
// Exchange organisation rebuilt from the profiles it holds).
#pragma once

#include <memory>

#include "sim/machine.h"
#include "tools/korvanel-sim/scenario.h"

namespace korvanel::tool {

// The machine, with nothing started yet, on the given registry (else its own in-memory one).
// Setting up never fails: a profile write that did not take shows later as an Outlook that
// does not start or an identity that is missing.
std::unique_ptr<sim::Machine> buildMachine(const Scenario& scenario,
                                           platform::Registry* registry = nullptr);

// The account name an identity of the scenario gets, as the Options page names it.
Text identityAccountName(const IdentitySpec& identity);

}  // namespace korvanel::tool
