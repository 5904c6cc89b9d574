// Runs a checked scenario on a simulated machine, step by step, as the user would act in
// Outlook, and tells the story. Between steps everything the product does by itself runs to
// completion (queued events, restarts); an Options dialog still open is cancelled unless the
// next step works in it, receives mail or processes messages. A dialog the product opens is
// modal: such steps run while its Execute waits for it to close.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "sim/machine.h"
#include "tools/korvanel-sim/machine_watch.h"
#include "tools/korvanel-sim/over_com.h"
#include "tools/korvanel-sim/page_user.h"
#include "tools/korvanel-sim/scenario.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {

// "call 2 of MailItem.Save", "every call of Registry.setValue".
std::string faultText(const FaultSpec& fault);

class StepRunner {
 public:
  // overCom, when given, runs the real add-in over COM against the served machine; it must
  // outlive the runner.
  StepRunner(const Scenario& scenario, Story& story, OverCom* overCom = nullptr);
  ~StepRunner();
  StepRunner(const StepRunner&) = delete;
  StepRunner& operator=(const StepRunner&) = delete;

  void runAll();

  sim::Machine& machine() { return *machine_; }
  // The windows the steps opened, by name (closed ones included).
  const std::map<Text, sim::InspectorHandle>& windows() const { return windows_; }
  // Called after each step has run to completion, with its number (from 1).
  void setStepObserver(std::function<void(std::size_t, const Step&)> observer) {
    observer_ = std::move(observer);
  }
  // Account names by folded key, as the Outlooks that ran knew them.
  const std::map<Text, Text>& accountNames() const { return watch_->accountNames(); }

 private:
  // Runs the next step and tells the observer.
  void runNext();
  // World::whileModal: runs the next step when it keeps the dialog open; false otherwise.
  bool actWhileModal();
  void run(std::size_t number, const Step& step);
  void start(const Step& step);
  void receive(std::size_t number, const Step& step);
  void select(const Step& step);
  void open(const Step& step);
  void respond(const Step& step);
  void newItem(const Step& step);
  void edit(const Step& step);
  void chooseAccount(const Step& step);
  void send(const Step& step);
  void close(const Step& step);
  void options(const Step& step);
  void pageAction(const PageAction& action);

  // The running Outlook, or nullptr after telling the story that none runs.
  std::shared_ptr<sim::Outlook> running();
  // The step's message, or nullptr after telling why it cannot be used.
  sim::ModelItemPtr message(const Text& id);
  // The step's open window, or nullptr after telling that it is closed.
  sim::InspectorHandle window(const Text& name);
  void settle();
  void cancelOpenOptions();
  void describeArrival(const sim::ModelItem& item);
  void describeWindowAccount(const Text& name, const sim::ModelInspector& window,
                             const sim::ModelItem* answered);
  // The page the open Options dialog shows, as the user works it; nullptr when none shows.
  std::unique_ptr<PageUser> pageUser();
  void describePage(bool full);
  void reportStampChanges();

  const Scenario& scenario_;
  Story& story_;
  OverCom* overCom_;
  std::unique_ptr<sim::Machine> machine_;
  std::unique_ptr<MachineWatch> watch_;
  std::map<Text, sim::ModelItemPtr> messages_;
  std::map<Text, sim::InspectorHandle> windows_;
  // The account name, stamp and read-receipt request last told of each message.
  std::map<Text, std::tuple<Text, Text, bool>> stamps_;
  std::function<void(std::size_t, const Step&)> observer_;
  std::size_t next_ = 0;  // the step to run next
  std::vector<Text> pageList_;
  int pageOption_ = -1;
};

}  // namespace korvanel::tool
