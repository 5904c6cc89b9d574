// Every scenario file with an expectation beside it (NAME.json and NAME.expect.json in
// tests/scenarios/files) is run as `korvanel-sim run NAME.json --json` runs it, and its story
// and trace are checked against the expectation.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/step_runner.h"
#include "tools/korvanel-sim/trace.h"
#include "trace_expectation.h"

namespace korvanel::scenarios {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> scenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(KORVANEL_SCENARIO_FILES)) {
    const std::string file = entry.path().filename().string();
    const std::string suffix = ".expect.json";
    if (file.size() > suffix.size() &&
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0) {
      names.push_back(file.substr(0, file.size() - suffix.size()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

nlohmann::json readJson(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return nlohmann::json::parse(text.str());
}

class ScenarioFile : public ::testing::TestWithParam<std::string> {};

TEST_P(ScenarioFile, MeetsItsExpectation) {
  const fs::path dir(KORVANEL_SCENARIO_FILES);
  const tool::Scenario scenario = tool::readScenarioFile((dir / (GetParam() + ".json")).string());
  const nlohmann::json expected = readJson(dir / (GetParam() + ".expect.json"));

  tool::Story story;
  tool::StepRunner runner(scenario, story);
  runner.runAll();
  // Through text, as a script reading `run --json` sees it.
  const nlohmann::json trace = nlohmann::json::parse(
      tool::buildTrace(runner.machine(), story, runner.accountNames()).dump());

  std::string all;
  for (const std::string& line : story.lines()) all += line + "\n";
  for (const std::string& m :
       storyMismatches(expected.value("story", std::vector<std::string>{}), story.lines())) {
    ADD_FAILURE() << m << "\n--- story:\n" << all;
  }
  for (const std::string& m :
       traceMismatches(expected.value("trace", nlohmann::json::object()), trace)) {
    ADD_FAILURE() << m;
  }
}

TEST(ScenarioFiles, EveryScenarioHasAnExpectation) {
  // A scenario without an expectation would silently go untested.
  std::size_t scenarios = 0;
  for (const auto& entry : fs::directory_iterator(KORVANEL_SCENARIO_FILES)) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() != ".json" || file.find(".expect.") != std::string::npos) continue;
    ++scenarios;
    EXPECT_TRUE(
        fs::exists(entry.path().parent_path() / (entry.path().stem().string() + ".expect.json")))
        << file;
  }
  EXPECT_GE(scenarios, 6u);
}

INSTANTIATE_TEST_SUITE_P(Files, ScenarioFile, ::testing::ValuesIn(scenarioNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace korvanel::scenarios
