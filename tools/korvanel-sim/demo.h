// The built-in demonstration: Pat Doe, who also receives mail as sales@ and support@ and
// works in the shared Help Desk mailbox, on Outlook 2007 and then on Outlook 2003. Mail
// arrives, Pat replies and sends, the sent copies are restamped; then Pat adds an identity on
// the Options page and Outlook restarts with it. Written as an ordinary scenario, so it is
// also the example of the scenario format.
#pragma once

#include <string_view>

#include "tools/korvanel-sim/scenario.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {

// The demonstration's scenario for one Outlook version (11 or 12).
Scenario demoScenario(int outlookVersion);
// Its JSON text.
std::string_view demoScenarioText();

// Runs the demonstration on both versions; the story of both.
Story runDemo();

}  // namespace korvanel::tool
