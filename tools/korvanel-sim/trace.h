// The JSON trace of a run (`korvanel-sim run --json`): the story lines, every item in every
// folder at the end, what left through the transport, the message and input boxes, the
// keystrokes, the starts of Outlook, the registry, and anything the simulation saw go wrong.
// Fields are only ever added, never renamed: scripts read them.
#pragma once

#include <nlohmann/json.hpp>

#include "sim/machine.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {

nlohmann::ordered_json buildTrace(sim::Machine& machine, const Story& story);

}  // namespace korvanel::tool
