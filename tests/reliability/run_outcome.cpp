#include "run_outcome.h"

#include <algorithm>
#include <exception>

#include "addin/shared_state.h"
#include "caught_exceptions.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "profile/registry_primitives.h"
#include "sim/machine.h"
#include "tools/korvanel-sim/explain.h"
#include "tools/korvanel-sim/model_view.h"
#include "tools/korvanel-sim/step_runner.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::reliability {

namespace {

using text::Text;
using text::TextView;
namespace prop = sim::prop;

// The values every identity account is written with, whatever its signatures.
constexpr const char16_t* kIdentityValues[] = {
    u"Account Name",       u"clsid",     u"Display Name", u"Email",
    u"POP3 Server",        u"POP3 User", u"SMTP Server",  u"POP3 Remember Passwd",
    u"Is Account Disabled"};

std::string u8(TextView s) { return text::toUtf8(s); }

// Reads the registry as it stands, without the fault plan: the watch is no part of the run.
class QuietRegistry {
 public:
  explicit QuietRegistry(sim::Machine& machine) : machine_(machine) {
    machine_.simRegistry().setFaultPlan(nullptr);
  }
  ~QuietRegistry() { machine_.simRegistry().setFaultPlan(&machine_.faults()); }
  QuietRegistry(const QuietRegistry&) = delete;
  QuietRegistry& operator=(const QuietRegistry&) = delete;

 private:
  sim::Machine& machine_;
};

std::vector<Text> profileNames(profile::RegistryPrimitives& reg) {
  const platform::RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, profile::kProfilesPath);
  if (!key) return {};
  return reg.subkeyNames(key.get());
}

std::set<std::string> identityAccounts(sim::Machine& machine) {
  QuietRegistry quiet(machine);
  std::set<std::string> out;
  profile::AccountStore store(machine.registry());
  for (const Text& name : profileNames(store.primitives())) {
    store.EnumIdentityAccounts(name);
    const profile::IdentityAccountLists& lists = store.IdentityLists();
    if (lists.Combined.empty()) continue;
    const auto names = text::split(lists.AccountNames, u"\t");
    const auto emails = text::split(lists.Emails, u"\t");
    const auto displays = text::split(lists.DisplayNames, u"\t");
    for (std::size_t i = 0; i < names.size(); ++i) {
      out.insert(u8(name) + " | " + u8(names[i]) + " | " +
                 (i < emails.size() ? u8(emails[i]) : "") + " | " +
                 (i < displays.size() ? u8(displays[i]) : ""));
    }
  }
  return out;
}

// Every account key of every profile, as "profile\key".
std::set<std::string> accountKeys(sim::Machine& machine) {
  QuietRegistry quiet(machine);
  std::set<std::string> out;
  profile::RegistryPrimitives reg(machine.registry());
  for (const Text& name : profileNames(reg)) {
    const platform::RegKey manager =
        reg.RegOpenRead(platform::kHkeyCurrentUser, profile::AccountManagerKey(name));
    if (!manager) continue;
    for (const Text& key : reg.subkeyNames(manager.get())) out.insert(u8(name) + "\\" + u8(key));
  }
  return out;
}

std::vector<std::string> halfWrittenKeys(sim::Machine& machine,
                                         const std::set<std::string>& before) {
  std::vector<std::string> out;
  const std::set<std::string> after = accountKeys(machine);
  QuietRegistry quiet(machine);
  profile::RegistryPrimitives reg(machine.registry());
  for (const std::string& k : after) {
    if (before.count(k) != 0) continue;
    const std::size_t slash = k.find('\\');
    const Text path = profile::AccountManagerKey(text::fromUtf8(k.substr(0, slash))) + u"\\" +
                      text::fromUtf8(k.substr(slash + 1));
    const platform::RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, path);
    std::string missing;
    for (const char16_t* value : kIdentityValues) {
      if (!key || !reg.queryValueAnsi(key.get(), value)) missing += " \"" + u8(value) + "\"";
    }
    if (!missing.empty()) out.push_back(k + " lacks" + missing);
  }
  return out;
}

// Korvanel's notices: its message boxes with an OK button alone. A question (Yes and No) asks
// the user something; it tells nothing of what failed.
int noticeCount(sim::Machine& machine) {
  int n = 0;
  for (const sim::DialogRecord& d : machine.shell().dialogs()) {
    if (d.kind == sim::DialogRecord::Kind::kMessageBox && d.title == u"Korvanel" &&
        (d.style & 0xF) == 0)
      ++n;
  }
  return n;
}

std::string describe(const sim::ModelItem& item) {
  return (item.label.empty() ? std::string("an item") : u8(item.label)) + " \"" +
         u8(item.text(prop::kSubject)) + "\"";
}

class Watch {
 public:
  Watch(tool::StepRunner& runner, RunOutcome& out, const RunOptions& options)
      : runner_(runner), machine_(runner.machine()), out_(out), options_(options) {
    out_.identitiesAtStart = identityAccounts(machine_);
    keysAtStart_ = accountKeys(machine_);
    runner_.setStepObserver(
        [this](std::size_t number, const tool::Step& step) { afterStep(number, step); });
  }

  void beforeStep(const tool::Step& step) {
    // Outlook ending (quit, or a restart the user agreed to) closes its windows, as the user
    // closing them would.
    outlookBefore_ = machine_.outlook();
    openBefore_.clear();
    for (const auto& [name, w] : runner_.windows()) {
      if (w && w->isOpen && w->item) openBefore_.push_back(w->item.get());
    }
    if (step.kind != tool::Step::Kind::kSend) return;
    const auto w = runner_.windows().find(step.window);
    sendWindowOpen_ = w != runner_.windows().end() && w->second && w->second->isOpen;
    transmittedBefore_ = machine_.world().transmissions.size();
    noticesBefore_ = noticeCount(machine_);
  }

  void afterStep(std::size_t number, const tool::Step& step) {
    for (const std::string& type : takeCaughtExceptions())
      out_.caught.push_back("step " + std::to_string(number) + ": " + type);
    collect();
    const auto& windows = runner_.windows();
    const auto w = windows.find(step.window);
    const sim::InspectorHandle window = w == windows.end() ? nullptr : w->second;
    if (step.kind == tool::Step::Kind::kClose && window && !window->isOpen) {
      closedByUser_.insert(window->item.get());
    }
    if (machine_.outlook() != outlookBefore_)
      closedByUser_.insert(openBefore_.begin(), openBefore_.end());
    if (step.kind == tool::Step::Kind::kSend && sendWindowOpen_ && window && !window->isOpen &&
        !window->item->transmitted && machine_.world().transmissions.size() == transmittedBefore_ &&
        noticeCount(machine_) == noticesBefore_ && !window->item->removed &&
        !window->item->parentFolder()) {
      out_.untoldSends.push_back("step " + std::to_string(number) + ": " + describe(*window->item));
    }
    if (step.kind == tool::Step::Kind::kReceive && options_.checkStamps) checkStamp(number, step);
    if (number < stepsLeft_.size()) beforeStep(stepsLeft_[number]);
  }

  void setSteps(const std::vector<tool::Step>& steps) {
    stepsLeft_ = steps;
    if (!steps.empty()) beforeStep(steps.front());
  }

  void finish() {
    collect();
    machine_.faults().clearAll();
    out_.notices = noticeCount(machine_);
    for (const sim::ModelItemPtr& item : seen_) {
      if (item->transmitted || closedByUser_.count(item.get()) != 0) continue;
      if (!item->removed && item->parentFolder()) continue;
      const auto window = isOpenSomewhere(*item);
      if (window) continue;
      out_.lost.push_back(describe(*item));
    }
    for (const auto& [name, w] : runner_.windows()) {
      if (w && w->item && w->item->transmitted && !hasSentCopy(*w->item) && out_.notices == 0)
        out_.sentWithoutCopy.push_back(describe(*w->item));
    }
    out_.identitiesAtEnd = identityAccounts(machine_);
    out_.halfWritten = halfWrittenKeys(machine_, keysAtStart_);
    out_.outlookStarts = static_cast<int>(machine_.runs().size());
    for (const sim::OutlookRun& run : machine_.runs()) {
      if (!run.started) ++out_.failedStarts;
    }
    out_.transmitted = machine_.world().transmissions.size();
    for (const Text& a : machine_.anomalies()) out_.anomalies.push_back(u8(a));
  }

 private:
  bool isOpenSomewhere(const sim::ModelItem& item) {
    for (const auto& [name, w] : runner_.windows()) {
      if (w && w->isOpen && w->item.get() == &item) return true;
    }
    auto outlook = machine_.outlook();
    if (!outlook) return false;
    for (const sim::InspectorHandle& w : outlook->inspectors()) {
      if (w && w->isOpen && w->item.get() == &item) return true;
    }
    return false;
  }

  // A copy with the subject, marked sent, in some store's Sent Items.
  bool hasSentCopy(const sim::ModelItem& item) {
    const Text subject = item.text(prop::kSubject);
    for (const sim::ModelStorePtr& store : tool::allStores(machine_)) {
      const sim::ModelFolderPtr sent = store->defaultFolder(platform::kOlFolderSentMail);
      for (const auto& [folder, copy] : tool::itemsOf(store)) {
        if (folder == sent && copy->sent && copy->text(prop::kSubject) == subject) return true;
      }
    }
    return false;
  }

  void collect() {
    for (const sim::ModelStorePtr& store : tool::allStores(machine_)) {
      for (const auto& [folder, item] : tool::itemsOf(store)) remember(item);
    }
    for (const auto& [name, w] : runner_.windows()) {
      if (w && w->item) remember(w->item);
    }
  }

  void remember(const sim::ModelItemPtr& item) {
    if (std::find(seen_.begin(), seen_.end(), item) == seen_.end()) seen_.push_back(item);
  }

  // The stamp an arrival got is the one explain gives for its headers and the identities
  // Korvanel holds at that moment (an arrival Korvanel did not stamp is left alone).
  void checkStamp(std::size_t number, const tool::Step& step) {
    const addin::SharedState* korvanel = tool::connectedKorvanel(machine_);
    if (!korvanel) return;
    for (const sim::ModelItemPtr& item : seen_) {
      if (item->label != step.id) continue;
      const Text name = tool::accountNameOf(*item);
      if (name.empty()) return;
      const addin::IdentityTable& table = korvanel->IdentityTable;
      const tool::MatchExplanation e = tool::explainMatch(
          table, tool::matchInputs(item->text(prop::kTransportHeaders),
                                   item->props.getText(sim::PropKey::named(sim::kPsInternetHeaders,
                                                                           prop::kRecipientList)),
                                   tool::recipientPairs(*item)));
      const Text expected = e.match < 0 ? Text() : table.AccountName(e.match);
      if (!text::equalsNoCase(expected, name)) {
        out_.stampMismatches.push_back("step " + std::to_string(number) + ": " + describe(*item) +
                                       " stamped \"" + u8(name) + "\", explain says \"" +
                                       u8(expected) + "\"");
      }
      return;
    }
  }

  tool::StepRunner& runner_;
  sim::Machine& machine_;
  RunOutcome& out_;
  const RunOptions& options_;
  std::set<std::string> keysAtStart_;
  std::vector<sim::ModelItemPtr> seen_;
  std::set<const sim::ModelItem*> closedByUser_;
  std::vector<tool::Step> stepsLeft_;
  std::shared_ptr<sim::Outlook> outlookBefore_;
  std::vector<const sim::ModelItem*> openBefore_;
  bool sendWindowOpen_ = false;  // a Send pressed in a closed window does nothing
  std::size_t transmittedBefore_ = 0;
  int noticesBefore_ = 0;
};

}  // namespace

RunOutcome runWatched(const tool::Scenario& scenario, const RunOptions& options) {
  RunOutcome out;
  tool::Scenario s = scenario;
  if (options.fault) s.faults.push_back(*options.fault);
  takeCaughtExceptions();
  try {
    tool::Story story;
    tool::StepRunner runner(s, story);
    Watch watch(runner, out, options);
    watch.setSteps(s.steps);
    if (options.countCalls) runner.machine().faults().startCounting();
    runner.runAll();
    if (options.countCalls) out.calls = runner.machine().faults().calls();
    watch.finish();
    for (const std::string& line : story.lines()) {
      if (line.ends_with("The dialog has no Korvanel tab.") ||
          line.ends_with("The Options dialog does not open."))
        ++out.pagesMissing;
    }
  } catch (const std::exception& e) {
    out.exception = e.what();
  } catch (...) {
    out.exception = "an exception that is not a std::exception";
  }
  return out;
}

std::vector<std::string> brokenPromises(const RunOutcome& run, const RunOutcome& baseline,
                                        bool toldCanFail) {
  std::vector<std::string> broken;
  if (!run.exception.empty()) broken.push_back("exception: " + run.exception);
  for (const std::string& c : run.caught)
    broken.push_back("exception caught at an entry point, " + c);
  for (const std::string& m : run.lost) broken.push_back("message lost: " + m);
  for (const std::string& k : run.halfWritten) broken.push_back("half-written account key " + k);
  // An identity account that was there and that the scenario keeps must still be there.
  for (const std::string& a : run.identitiesAtStart) {
    if (baseline.identitiesAtEnd.count(a) != 0 && run.identitiesAtEnd.count(a) == 0)
      broken.push_back("identity account lost: " + a);
  }
  if (toldCanFail) return broken;
  for (const std::string& s : run.untoldSends)
    broken.push_back(std::string(kUntold) +
                     "a send neither left nor stayed open, and no notice said so: " + s);
  // Outlook that did not start, or an Options dialog without Korvanel's page, the user sees;
  // what the user asked of them was never in Korvanel's hands.
  const bool moreNotices = run.notices > baseline.notices ||
                           run.failedStarts > baseline.failedStarts ||
                           run.pagesMissing > baseline.pagesMissing;
  if (run.identitiesAtEnd != baseline.identitiesAtEnd && !moreNotices)
    broken.push_back(std::string(kUntold) +
                     "the identity accounts differ from what the user set, and no notice said so");
  if (run.outlookStarts < baseline.outlookStarts && !moreNotices)
    broken.push_back(std::string(kUntold) + "Outlook restarted fewer times than asked (" +
                     std::to_string(run.outlookStarts) + " of " +
                     std::to_string(baseline.outlookStarts) + "), and no notice said so");
  return broken;
}

}  // namespace korvanel::reliability
