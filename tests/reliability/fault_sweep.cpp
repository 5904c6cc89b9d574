// The whole-product fault sweep: every scenario file and the demonstration on both Outlook
// versions, run again once for each platform call the run makes (by object, member and
// occurrence), with that call failing, and once with every call of it failing. After each
// run the promises of run_outcome.h must hold. Prints, per scenario, how many calls were
// swept and how many runs held; exit status 1 when any run broke a promise.
//
//   fault_sweep [--first N] [--sampled M] [--shard K/N] [--verbose] SCENARIO_FOLDER
//
// Occurrences 1 to N of each call are swept (default 3); of the occurrences after those, M
// are sampled evenly, the last included (default 2), which keeps the sweep within CI's time.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "run_outcome.h"
#include "tools/korvanel-sim/demo.h"
#include "tools/korvanel-sim/input_error.h"
#include "tools/korvanel-sim/scenario_parser.h"

namespace {

namespace fs = std::filesystem;
using korvanel::reliability::brokenPromises;
using korvanel::reliability::kUntold;
using korvanel::reliability::RunOptions;
using korvanel::reliability::RunOutcome;
using korvanel::reliability::runWatched;
using korvanel::tool::FaultSpec;
using korvanel::tool::Scenario;

struct Settings {
  int first = 3;
  int sampled = 2;
  int shard = 0;
  int shards = 1;
  // Names each run on standard error before it starts, and the anomalies of each run that held.
  bool verbose = false;
  std::string folder;
};

// The occurrences of a call made count times that the sweep fails.
std::vector<int> occurrences(int count, const Settings& settings) {
  std::set<int> chosen;
  for (int n = 1; n <= std::min(count, settings.first); ++n) chosen.insert(n);
  const int rest = count - settings.first;
  for (int k = 1; rest > 0 && k <= settings.sampled; ++k) {
    chosen.insert(settings.first + (rest * k + settings.sampled - 1) / settings.sampled);
  }
  return {chosen.begin(), chosen.end()};
}

// Failing the calls that show message boxes leaves the product no way to tell the user; the
// failure of some others the user sees on screen without being told: Outlook still open after
// the user agreed to its restart (Quit), the Options dialog still open after Korvanel's Esc
// (SendKeys; the user goes on in it, or closes it, and the restart follows).
bool tellingCall(const std::string& call) {
  return call == "Shell.messageBox" || call == "Shell.inputBox" || call == "Application.Quit" ||
         call == "Shell.sendKeys";
}

struct Tally {
  int calls = 0;  // distinct calls swept
  int made = 0;   // calls the run makes in all
  int runs = 0;
  int held = 0;
  int anomalous = 0;  // runs that held but that the simulation saw refuse something
  int untold = 0;     // runs that failed only for not telling the user
};

Tally sweep(const std::string& name, const Scenario& scenario, const Settings& settings,
            int& runIndex) {
  Tally tally;
  RunOptions counting;
  counting.countCalls = true;
  const RunOutcome baseline = runWatched(scenario, counting);
  const auto broken = brokenPromises(baseline, baseline, false);
  if (!broken.empty() || !baseline.anomalies.empty()) {
    std::cout << name << ": the run without faults already fails:\n";
    for (const std::string& b : broken) std::cout << "  " << b << '\n';
    for (const std::string& a : baseline.anomalies) std::cout << "  anomaly: " << a << '\n';
  }
  int shown = 0;
  for (const auto& [call, count] : baseline.calls) {
    ++tally.calls;
    tally.made += count;
    std::vector<int> ns = occurrences(count, settings);
    ns.push_back(0);  // always
    for (int n : ns) {
      if (runIndex++ % settings.shards != settings.shard) continue;
      if (settings.verbose) std::cerr << name << ": " << call << " " << n << std::endl;
      RunOptions options;
      options.fault = FaultSpec{call, n, "$.faults[0]"};
      const RunOutcome run = runWatched(scenario, options);
      const auto problems = brokenPromises(run, baseline, tellingCall(call));
      ++tally.runs;
      if (problems.empty()) {
        ++tally.held;
        if (!run.anomalies.empty()) ++tally.anomalous;
        if (settings.verbose) {
          for (const std::string& a : run.anomalies) std::cerr << "    anomaly: " << a << '\n';
        }
        continue;
      }
      if (std::all_of(problems.begin(), problems.end(),
                      [](const std::string& p) { return p.starts_with(kUntold); }))
        ++tally.untold;
      if (shown++ < 40) {
        std::cout << name << ": " << call << (n == 0 ? " always" : " call " + std::to_string(n))
                  << ":\n";
        for (const std::string& p : problems) std::cout << "    " << p << '\n';
      }
    }
  }
  return tally;
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--first" && i + 1 < args.size()) {
      settings.first = std::stoi(args[++i]);
    } else if (args[i] == "--sampled" && i + 1 < args.size()) {
      settings.sampled = std::stoi(args[++i]);
    } else if (args[i] == "--verbose") {
      settings.verbose = true;
    } else if (args[i] == "--shard" && i + 1 < args.size()) {
      const std::string s = args[++i];
      settings.shard = std::stoi(s.substr(0, s.find('/')));
      settings.shards = std::stoi(s.substr(s.find('/') + 1));
    } else {
      settings.folder = args[i];
    }
  }
  if (settings.folder.empty() || settings.shards < 1 || settings.shard >= settings.shards) {
    std::cerr << "usage: fault_sweep [--first N] [--sampled M] [--shard K/N] [--verbose] "
                 "SCENARIO_FOLDER\n";
    return 2;
  }

  std::vector<std::pair<std::string, Scenario>> scenarios;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(settings.folder)) {
    const std::string file = entry.path().filename().string();
    if (file.ends_with(".json") && !file.ends_with(".expect.json")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  try {
    for (const fs::path& f : files) {
      scenarios.emplace_back(f.stem().string(), korvanel::tool::readScenarioFile(f.string()));
    }
  } catch (const korvanel::tool::InputFailure& e) {
    std::cerr << "fault_sweep: " << e.error().line() << '\n';
    return 2;
  }
  scenarios.emplace_back("demonstration, Outlook 2007", korvanel::tool::demoScenario(12));
  scenarios.emplace_back("demonstration, Outlook 2003", korvanel::tool::demoScenario(11));

  std::cout << "Each call is failed on its occurrences 1 to " << settings.first << ", on "
            << settings.sampled << " sampled evenly after those (the last included), and always"
            << (settings.shards > 1 ? " (shard " + std::to_string(settings.shard + 1) + " of " +
                                          std::to_string(settings.shards) + ")"
                                    : std::string())
            << ".\n";
  int runIndex = 0;
  Tally total;
  for (const auto& [name, scenario] : scenarios) {
    const Tally t = sweep(name, scenario, settings, runIndex);
    std::cout << name << ": " << t.calls << " calls swept (" << t.made << " made), " << t.runs
              << " runs, " << t.held << " held";
    if (t.anomalous > 0) std::cout << ", " << t.anomalous << " of them with an anomaly";
    if (t.held < t.runs) {
      std::cout << ", " << t.runs - t.held << " failed";
      if (t.untold > 0) std::cout << " (" << t.untold << " only for not telling the user)";
    }
    std::cout << '\n';
    total.calls += t.calls;
    total.made += t.made;
    total.runs += t.runs;
    total.held += t.held;
    total.untold += t.untold;
  }
  std::cout << "In all: " << total.calls << " calls swept, " << total.runs << " runs, "
            << total.held << " held, " << total.runs - total.held << " failed (" << total.untold
            << " of them only for not telling the user what did not happen).\n";
  return total.held == total.runs ? 0 : 1;
}
