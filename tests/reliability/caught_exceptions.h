// Every exception caught anywhere in the process, as the C++ runtime begins its catch. The
// product catches only at its entry points, as the last line of defence, so a catch during a
// run means an exception reached one: the host would have seen an error there.
#pragma once

#include <string>
#include <vector>

namespace korvanel::reliability {

// The type names of the exceptions caught since the last call, oldest first; clears them.
std::vector<std::string> takeCaughtExceptions();

}  // namespace korvanel::reliability
