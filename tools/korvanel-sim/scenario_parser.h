// Reads and checks a scenario file completely before anything runs: unknown fields and
// steps, wrong types and ranges, unreadable message or registry files, and message ids or
// windows that no earlier step made are InputFailures naming the file, the JSON path and
// what was expected.
#pragma once

#include <string>
#include <string_view>

#include "tools/korvanel-sim/scenario.h"

namespace korvanel::tool {

// The scenario of a file; files it names ("eml", "registry") are read relative to its
// folder.
Scenario readScenarioFile(const std::string& path);

// The scenario of JSON text: file names it in messages, baseDir resolves the files it names.
Scenario parseScenario(std::string_view json, const std::string& file, const std::string& baseDir);

}  // namespace korvanel::tool
