// korvanel-sim.exe: the tool built for Windows, whose `run --over-com` loads the real
// Korvanel.dll through COM against the simulation served in this process.
#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/korvanel-sim/cli.h"
#include "win/served/served_machine.h"

int main(int argc, char** argv) {
  // The story and the trace are UTF-8 with LF line ends, byte for byte as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  // One single-threaded apartment, as Outlook's user-interface thread is.
  if (FAILED(CoInitialize(nullptr))) {
    std::cerr << "korvanel-sim: COM cannot be initialised\n";
    return korvanel::tool::kExitFailure;
  }
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const int status = korvanel::tool::runCommandLine(args, std::cout, std::cerr, [] {
    return std::make_unique<korvanel::win::served::ServedMachine>();
  });
  std::cout.flush();
  CoUninitialize();
  return status;
}
