// Checks a trace against an expectation file: the story lines must contain the expected
// texts in order, and the trace must hold the expected part of it. Objects match when every
// expected field matches (other fields may be there too); arrays when they have the same
// length and match element by element; other values when equal. {"$absent": true} says the
// field must not be there, nor any registry key below it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace korvanel::scenarios {

// One line per difference; empty when the trace meets the expectation.
std::vector<std::string> traceMismatches(const nlohmann::json& expected,
                                         const nlohmann::json& actual,
                                         const std::string& path = "$");
std::vector<std::string> storyMismatches(const std::vector<std::string>& expected,
                                         const std::vector<std::string>& lines);

}  // namespace korvanel::scenarios
