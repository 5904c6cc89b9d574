// Random user stories checked against the promises of run_outcome.h and more: no anomaly,
// every sent mail in Sent Items (or kept with a notice), and every arrival stamped as
// `explain` answers for its headers and the identities Korvanel holds at that moment.
//
//   random_stories [--count N] [--seed S] [--steps K] [--keep FOLDER]
//
// Runs N stories (default 50) with the seeds S, S+1, ... (default 1). A story that breaks a
// promise is printed with its seed and, with --keep, written to FOLDER as story-SEED.json, a
// scenario file that `korvanel-sim run` replays. Exit status 1 when any story failed.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "run_outcome.h"
#include "story_generator.h"
#include "tools/korvanel-sim/scenario_parser.h"

int main(int argc, char** argv) {
  using namespace korvanel::reliability;
  int count = 50;
  int steps = 30;
  std::uint64_t seed = 1;
  std::string keep;
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--count") {
      count = std::stoi(args[i + 1]);
    } else if (args[i] == "--seed") {
      seed = std::stoull(args[i + 1]);
    } else if (args[i] == "--steps") {
      steps = std::stoi(args[i + 1]);
    } else if (args[i] == "--keep") {
      keep = args[i + 1];
    } else {
      std::cerr << "usage: random_stories [--count N] [--seed S] [--steps K] [--keep FOLDER]\n";
      return 2;
    }
  }
  if (args.size() % 2 != 0) {
    std::cerr << "usage: random_stories [--count N] [--seed S] [--steps K] [--keep FOLDER]\n";
    return 2;
  }

  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t s = seed + static_cast<std::uint64_t>(i);
    const std::string json = randomStory(s, steps);
    const std::string name = "story-" + std::to_string(s) + ".json";
    RunOptions options;
    options.checkStamps = true;
    const RunOutcome run = runWatched(korvanel::tool::parseScenario(json, name, "."), options);
    std::vector<std::string> broken = brokenPromises(run, run, false);
    for (const std::string& a : run.anomalies) broken.push_back("anomaly: " + a);
    for (const std::string& m : run.sentWithoutCopy)
      broken.push_back("sent without a copy in Sent Items: " + m);
    for (const std::string& m : run.stampMismatches) broken.push_back("stamp: " + m);
    if (broken.empty()) continue;
    ++failed;
    std::cout << "seed " << s << ":\n";
    for (const std::string& b : broken) std::cout << "    " << b << '\n';
    if (!keep.empty()) {
      std::filesystem::create_directories(keep);
      std::ofstream(std::filesystem::path(keep) / name) << json << '\n';
    }
  }
  std::cout << count << " random stories of " << steps << " steps from seed " << seed << ": "
            << count - failed << " held, " << failed << " failed.\n";
  return failed == 0 ? 0 : 1;
}
