// korvanel-sim's scenario reader over any file bytes: a bad scenario is refused with an
// InputFailure and nothing else; a sound one (of a modest number of steps) is then run and
// traced, as `korvanel-sim run --json` would, so what the reader lets through is shown to be
// runnable. Files a scenario names resolve against the scenario files of the tests.
#include "fuzz_check.h"
#include "tools/korvanel-sim/input_error.h"
#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/step_runner.h"
#include "tools/korvanel-sim/story.h"
#include "tools/korvanel-sim/trace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace tool = korvanel::tool;
  constexpr std::size_t kMostStepsRun = 40;
  tool::Scenario scenario;
  try {
    scenario = tool::parseScenario(korvanel::fuzz::bytesOf(data, size), "fuzz.json",
                                   KORVANEL_SCENARIO_FILES);
  } catch (const tool::InputFailure& e) {
    korvanel::fuzz::require(!e.error().message.empty(), "a refusal says what was expected");
    return 0;
  }
  if (scenario.steps.size() > kMostStepsRun) return 0;
  tool::Story story;
  tool::StepRunner runner(scenario, story);
  runner.runAll();
  (void)tool::buildTrace(runner.machine(), story, runner.accountNames())
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return 0;
}
