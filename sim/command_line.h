// Windows command lines as the simulated machine starts programs from them: the program
// (quoted or not) and its arguments split as the C runtime splits them, and the reading of
// an Outlook command line ("...\Outlook.exe" /profile "Name" [/safe[:n]]).
#pragma once

#include <optional>
#include <vector>

#include "text/text.h"

namespace korvanel::sim {

using text::Text;
using text::TextView;

struct CommandLine {
  Text program;
  std::vector<Text> arguments;
};

// nullopt for an empty line or an unterminated quote around the program.
std::optional<CommandLine> parseCommandLine(TextView line);

struct OutlookArguments {
  Text profile;       // empty without /profile
  bool safe = false;  // /safe or /safe:n
  int safeLevel = 0;
  // Switches Outlook does not know or that lack their value; Outlook refuses to start on them.
  std::vector<Text> unknown;
};

// The arguments of an Outlook command line; unknown switches are collected, not dropped.
OutlookArguments readOutlookArguments(const std::vector<Text>& arguments);

}  // namespace korvanel::sim
