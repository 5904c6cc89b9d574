#include "tools/korvanel-sim/cli.h"

#include <fstream>
#include <optional>

#include "tools/korvanel-sim/demo.h"
#include "tools/korvanel-sim/explain.h"
#include "tools/korvanel-sim/input_error.h"
#include "tools/korvanel-sim/message_file.h"
#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/step_runner.h"
#include "tools/korvanel-sim/trace.h"

namespace korvanel::tool {

namespace {

constexpr char kUsage[] = R"(korvanel-sim: Korvanel inside a simulated Outlook 2003/2007

Usage:
  korvanel-sim demo
      Runs the built-in demonstration and prints its story.
  korvanel-sim run SCENARIO.json [--json] [--save-registry FILE.reg]
      Runs a scenario; prints its story, or the JSON trace with --json.
  korvanel-sim explain --identities IDS.json MESSAGE [--json]
      Shows how an arriving message is matched to an identity.
  korvanel-sim --help
  korvanel-sim COMMAND --help

Bad input gives one line on standard error and exit status 2; see README.md for the
scenario file and the trace.
)";

constexpr char kDemoHelp[] = R"(Usage: korvanel-sim demo

Runs the built-in demonstration: Pat Doe, who also receives mail as sales@contoso.com and
support@contoso.com and works in the shared Help Desk mailbox, on Outlook 2007 and then on
Outlook 2003. Messages arrive and are stamped, Pat replies and sends, the sent copies are
restamped; then Pat adds an identity on the Options page and Outlook restarts. Prints the
story: which identity each message was stamped with and why, which account each reply
window selected, what each recipient received, what happened to each sent copy.
)";

constexpr char kRunHelp[] =
    R"(Usage: korvanel-sim run SCENARIO.json [--json] [--save-registry FILE.reg] [--over-com]

Runs the scenario's steps in a simulated Outlook with the real Korvanel add-in and Options
page, and prints the story.
  --json                     print the JSON trace instead (events, messages, transmitted,
                             dialogs, keystrokes, outlook_starts, registry, anomalies)
  --save-registry FILE.reg   write the simulated registry at the end, in regedit's format
                             (a scenario can start from it with "registry": "FILE.reg")
  --over-com                 (korvanel-sim.exe, the Windows build) the real Korvanel.dll
                             and KorvanelPage.dll, loaded through COM, against the
                             simulation served as COM objects; the story and trace are the
                             same as without. It needs both DLLs registered (regsvr32)
                             and a display: without either nothing runs, and one line
                             says what is missing (status 1)

The whole scenario is checked before anything runs: an unknown field or step, a wrong
type, an unreadable file, or a message id or window that no earlier step made gives one
line on standard error naming the file, the JSON path and what was expected (status 2).
)";

constexpr char kExplainHelp[] =
    R"(Usage: korvanel-sim explain --identities IDS.json MESSAGE [--json]

Shows how Korvanel matches an arriving message to one of the user's identities: the
recipient list read from the To and Cc header lines, the filter (X-RecipientList), the
addresses and display names parsed from them, and the identity chosen with the rule that
chose it.
  IDS.json   an array of identities in table order:
             [{"display": "Sales", "email": "sales@contoso.com"}, ...]
             (optional "account_name", default "EX [display <email>]")
  MESSAGE    a file holding an RFC 5322 message or only its header block
  --json     print {"list", "filter", "addresses", "names", "match", "identity", ...}
)";

struct UsageError {
  std::string message;
};

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

int demo(const std::vector<std::string>& args, std::ostream& out) {
  if (!args.empty()) throw UsageError{"demo takes no arguments, found \"" + args.front() + "\""};
  runDemo().print(out);
  return kExitOk;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const OverComFactory& overCom) {
  std::optional<std::string> scenarioFile;
  std::optional<std::string> registryFile;
  bool json = false;
  bool overComRequested = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--over-com") {
      if (!overCom) {
        throw UsageError{"--over-com needs the Windows build of the tool (korvanel-sim.exe)"};
      }
      overComRequested = true;
    } else if (a == "--save-registry") {
      if (i + 1 >= args.size()) throw UsageError{"--save-registry needs a file name (FILE.reg)"};
      registryFile = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError{"unknown option \"" + a +
                       "\" for run; expected --json, --save-registry FILE.reg or --over-com"};
    } else if (scenarioFile) {
      throw UsageError{"run takes one scenario file, found a second: \"" + a + "\""};
    } else {
      scenarioFile = a;
    }
  }
  if (!scenarioFile) throw UsageError{"run needs a scenario file (SCENARIO.json)"};
  if (overComRequested && registryFile) {
    throw UsageError{"--save-registry cannot be used with --over-com (the registry is Wine's)"};
  }

  const Scenario scenario = readScenarioFile(*scenarioFile);
  if (registryFile) {
    // Checked now, so that a run is never thrown away for want of a place to save it.
    std::ofstream probe(*registryFile, std::ios::app | std::ios::binary);
    if (!probe)
      failInput(*registryFile, "",
                "cannot be written; expected a file name for the saved registry");
  }

  std::unique_ptr<OverCom> served = overComRequested ? overCom() : nullptr;
  if (served) {
    if (const std::string why = served->unavailable(); !why.empty()) {
      err << "korvanel-sim: cannot run over COM: " << why << '\n';
      return kExitFailure;
    }
  }
  Story story;
  StepRunner runner(scenario, story, served.get());
  runner.runAll();
  if (json) {
    out << buildTrace(runner.machine(), story, runner.accountNames(), scenario.faults)
               .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
        << '\n';
  } else {
    story.print(out);
  }
  if (registryFile) {
    std::string error;
    if (!runner.machine().simRegistry().saveFile(*registryFile, &error)) {
      failInput(*registryFile, "",
                "cannot be written" + (error.empty() ? std::string() : ": " + error));
    }
  }
  return kExitOk;
}

int explain(const std::vector<std::string>& args, std::ostream& out) {
  std::optional<std::string> identitiesFile;
  std::optional<std::string> messageFile;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--identities") {
      if (i + 1 >= args.size()) throw UsageError{"--identities needs a file name (IDS.json)"};
      identitiesFile = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError{"unknown option \"" + a +
                       "\" for explain; expected --identities IDS.json or --json"};
    } else if (messageFile) {
      throw UsageError{"explain takes one message file, found a second: \"" + a + "\""};
    } else {
      messageFile = a;
    }
  }
  if (!identitiesFile) throw UsageError{"explain needs --identities IDS.json"};
  if (!messageFile) throw UsageError{"explain needs a message file (MESSAGE)"};

  const addin::IdentityTable table = readIdentityFile(*identitiesFile);
  const Text headers = readMessageHeaders(*messageFile);
  const MessageExplanation e = explainMessage(table, headers);
  if (json) {
    out << explanationJson(table, e).dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
        << '\n';
  } else {
    for (const std::string& line : explanationLines(table, e, *messageFile)) out << line << '\n';
  }
  return kExitOk;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const OverComFactory& overCom) {
  try {
    if (args.empty()) throw UsageError{"no command given; expected demo, run or explain"};
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
      out << kUsage;
      return kExitOk;
    }
    if (command == "demo") {
      if (wantsHelp(rest)) return out << kDemoHelp, kExitOk;
      return demo(rest, out);
    }
    if (command == "run") {
      if (wantsHelp(rest)) return out << kRunHelp, kExitOk;
      return run(rest, out, err, overCom);
    }
    if (command == "explain") {
      if (wantsHelp(rest)) return out << kExplainHelp, kExitOk;
      return explain(rest, out);
    }
    throw UsageError{"unknown command \"" + command + "\"; expected demo, run or explain"};
  } catch (const UsageError& e) {
    err << "korvanel-sim: " << e.message << " (korvanel-sim --help shows the usage)\n";
    return kExitBadInput;
  } catch (const InputFailure& e) {
    err << "korvanel-sim: " << e.error().line() << '\n';
    return kExitBadInput;
  } catch (const std::exception& e) {
    err << "korvanel-sim: internal error: " << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace korvanel::tool
