// The command line of korvanel-sim: `demo`, `run`, `explain` and their help. A bad command
// line or a bad input file gives one line on the error stream and exit status 2, before
// anything runs; a finished run gives 0.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/korvanel-sim/over_com.h"

namespace korvanel::tool {

inline constexpr int kExitOk = 0;
// Something went wrong inside the tool itself, or a run over COM cannot load a real DLL.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitBadInput = 2;  // the command line or an input file

// args without the program name. overCom, in the Windows build, makes `run --over-com` work.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const OverComFactory& overCom = {});

}  // namespace korvanel::tool
