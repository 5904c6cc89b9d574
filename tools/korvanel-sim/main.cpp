// korvanel-sim: Korvanel's add-in and Options page running inside the simulated Outlook.
#include <iostream>
#include <string>
#include <vector>

#include "tools/korvanel-sim/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return korvanel::tool::runCommandLine(args, std::cout, std::cerr);
}
