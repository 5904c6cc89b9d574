// What one run of a scenario left behind, watched step by step, and the promises every run
// keeps whatever platform call failed under it: no exception out of the product, no message
// lost, no identity account lost or half written, and the user told whenever something
// asked for did not happen. Shared by the fault sweep and the random stories.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/korvanel-sim/scenario.h"

namespace korvanel::reliability {

struct RunOutcome {
  std::string exception;  // what escaped the run; empty when nothing did
  // Exceptions caught inside the run ("step N: type"): each reached an entry point's last
  // line of defence, where Outlook would have seen an error.
  std::vector<std::string> caught;
  std::vector<std::string> anomalies;
  // Messages that existed or were composed and are now in no folder, in no open window,
  // were not transmitted and were not closed by the user.
  std::vector<std::string> lost;
  // Identity accounts ("profile | account name | address | display name").
  std::set<std::string> identitiesAtStart;
  std::set<std::string> identitiesAtEnd;
  // Account keys written during the run that lack a value every identity account has.
  std::vector<std::string> halfWritten;
  // Sends that neither left nor stayed in their window, without a notice.
  std::vector<std::string> untoldSends;
  int notices = 0;  // message boxes titled "Korvanel" with an OK button alone
  int outlookStarts = 0;
  // What the user saw fail without Korvanel's word: Outlook not starting, an Options dialog
  // without Korvanel's page (whose actions then did nothing).
  int failedStarts = 0;
  int pagesMissing = 0;
  std::size_t transmitted = 0;
  // Sent items: each transmitted compose window's subject, for the stories' checks.
  std::vector<std::string> sentWithoutCopy;  // transmitted, no copy in Sent Items, no notice
  std::vector<std::string> stampMismatches;  // arrivals stamped otherwise than explain says
  // Platform calls made during the steps, by name, when counted.
  std::map<std::string, int> calls;
};

struct RunOptions {
  std::optional<tool::FaultSpec> fault;
  bool countCalls = false;
  bool checkStamps = false;  // compare every arrival's stamp with what explain answers
};

RunOutcome runWatched(const tool::Scenario& scenario, const RunOptions& options = {});

// Starts each broken promise to tell the user.
inline constexpr char kUntold[] = "untold: ";

// What broke the promises in run, compared with the same scenario run without a fault
// (baseline). toldCanFail: the failing call is the one that shows messages, so the user
// cannot be told, or one whose failure the user sees on screen without a word.
std::vector<std::string> brokenPromises(const RunOutcome& run, const RunOutcome& baseline,
                                        bool toldCanFail);

}  // namespace korvanel::reliability
