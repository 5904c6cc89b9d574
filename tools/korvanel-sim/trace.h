// The JSON trace of a run (`korvanel-sim run --json`): the story lines, every item in every
// folder at the end, what left through the transport, the message and input boxes, the
// keystrokes, the starts of Outlook, the registry, and anything the simulation saw go wrong.
// Fields are only ever added, never renamed: scripts read them.
#pragma once

#include <map>
#include <nlohmann/json.hpp>

#include "sim/machine.h"
#include "tools/korvanel-sim/scenario.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {

// accountNames: account names by folded account key, as Outlook knew them while it ran
// (an item's send_using_account is named from them, else from the registry). faults: the
// scenario's failing calls, traced (with how often each failed) only when there are any.
nlohmann::ordered_json buildTrace(sim::Machine& machine, const Story& story,
                                  const std::map<text::Text, text::Text>& accountNames = {},
                                  const std::vector<FaultSpec>& faults = {});

}  // namespace korvanel::tool
