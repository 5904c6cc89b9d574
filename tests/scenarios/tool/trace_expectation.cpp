#include "trace_expectation.h"

namespace korvanel::scenarios {

namespace {

bool isAbsentMarker(const nlohmann::json& v) {
  return v.is_object() && v.size() == 1 && v.contains("$absent") && v.at("$absent") == true;
}

}  // namespace

std::vector<std::string> traceMismatches(const nlohmann::json& expected,
                                         const nlohmann::json& actual, const std::string& path) {
  std::vector<std::string> out;
  auto add = [&](const std::vector<std::string>& more) {
    out.insert(out.end(), more.begin(), more.end());
  };
  if (expected.is_object()) {
    if (!actual.is_object()) return {path + ": expected an object, found " + actual.dump()};
    for (const auto& [key, value] : expected.items()) {
      const std::string at = path + "." + key;
      if (isAbsentMarker(value)) {
        for (const auto& [actualKey, ignored] : actual.items()) {
          if (actualKey == key || actualKey.rfind(key + "\\", 0) == 0)
            out.push_back(at + ": expected absent, found " + actualKey);
        }
        continue;
      }
      if (!actual.contains(key)) {
        out.push_back(at + ": missing");
        continue;
      }
      add(traceMismatches(value, actual.at(key), at));
    }
    return out;
  }
  if (expected.is_array()) {
    if (!actual.is_array() || actual.size() != expected.size()) {
      return {path + ": expected " + std::to_string(expected.size()) + " elements, found " +
              actual.dump()};
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
      add(traceMismatches(expected[i], actual[i], path + "[" + std::to_string(i) + "]"));
    }
    return out;
  }
  if (expected != actual)
    out.push_back(path + ": expected " + expected.dump() + ", found " + actual.dump());
  return out;
}

std::vector<std::string> storyMismatches(const std::vector<std::string>& expected,
                                         const std::vector<std::string>& lines) {
  std::size_t line = 0;
  std::size_t from = 0;
  for (const std::string& text : expected) {
    bool found = false;
    for (; line < lines.size(); ++line, from = 0) {
      const std::size_t at = lines[line].find(text, from);
      if (at != std::string::npos) {
        from = at + text.size();
        found = true;
        break;
      }
    }
    if (!found) return {"the story lacks, at this point or later: " + text};
  }
  return {};
}

}  // namespace korvanel::scenarios
