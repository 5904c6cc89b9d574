// One simulated machine, assembled: the registry, the world (the Exchange organisation,
// mail, creatable classes, faults), the shell and user interface, CreateObject, Extended
// MAPI, the Word editor, and the platform::Services handed to the product. Outlook starts
// here with its COM add-ins connected by the add-in host; a program start of Outlook's
// command line made while Outlook quits (a restart) starts a new Outlook, with the add-ins
// connected again, once the old one has ended. Everything that happens is recorded.
//
//   Machine machine({.version = 11});
//   machine.setUpExchangeProfile(seed);                  // mailbox + profile
//   addin::registerAddinClasses(machine.world().classes(), machine.services());
//   machine.shell().answerMessageBox(platform::kIdYes, u"Restart it now?");
//   auto outlook = machine.startOutlook();               // add-in connected, queue run
//   ... act through outlook->reply(...), outlook->openOptions(), ...
//   machine.runUntilIdle();                               // pending restarts happen here
//   machine.runs(), machine.shell().dialogs(), machine.journal() ...
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "platform/services.h"
#include "sim/addin_host.h"
#include "sim/object_factory.h"
#include "sim/outlook_profile_seed.h"
#include "sim/outlook_world.h"
#include "sim/sim_mapi.h"
#include "sim/sim_registry.h"
#include "sim/sim_shell.h"
#include "sim/word_editor.h"

namespace korvanel::sim {

struct MachineOptions {
  int version = 12;          // the Outlook installed: 11 (2003) or 12 (2007)
  bool cdoInstalled = true;  // CDO 1.21 (used only with Outlook 2003)
  long uiLanguage = 1033;    // Office's user-interface language
  bool wordMail = true;      // Outlook 2003 edits mail with Word
  Text userName = u"pat";
  Text appData = u"C:\\Documents and Settings\\pat\\Application Data";
  Text programFiles = u"C:\\Program Files";
  // COM add-ins registered for Outlook (HKLM\Software\Microsoft\Office\Outlook\Addins,
  // LoadBehavior 3); Outlook connects them, in this order, at each start.
  std::vector<Text> addIns = {u"Korvanel.Connect"};
  // The registry the machine runs on instead of its own in-memory one: the real registry
  // under Wine, when the simulation is served over COM to the real DLLs, which must see the
  // same keys. It must outlive the machine; registry faults do not apply to it.
  platform::Registry* registry = nullptr;
};

// One start of Outlook, by the test or by a command line.
struct OutlookRun {
  int number = 0;    // 1 for the first start
  Text commandLine;  // empty for a start made by the test
  Text profile;      // as asked; empty: the default profile
  bool safeMode = false;
  bool hidden = false;   // started with a hidden window (it still has its Explorer)
  bool started = false;  // false: Outlook did not start (outcome says why)
  bool ended = false;
  Text outcome;
  std::vector<Text> hostEvents;  // "Korvanel.Connect OnConnection", ...
};

class Machine final : private ShellHost {
 public:
  explicit Machine(MachineOptions options = {});
  // Add-ins still connected are released without the shut-down events, then a running
  // Outlook's process ends whatever it was doing (an open Options dialog lets go of its page).
  ~Machine() override;
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  const MachineOptions& options() const { return options_; }
  // The registry the machine runs on (options().registry, else its own in-memory one).
  platform::Registry& registry() { return registry_; }
  // The machine's own in-memory registry; what the machine runs on unless options().registry
  // was given.
  SimRegistry& simRegistry() { return simRegistry_; }
  bool runsOnSimRegistry() const { return &registry_ == &simRegistry_; }
  World& world() { return world_; }
  FaultPlan& faults() { return world_.faults(); }
  Organisation& organisation() { return world_.organisation(); }
  SimShell& shell() { return shell_; }
  FileSystem& files() { return shell_.files(); }
  SimObjectFactory& objects() { return objects_; }
  SimMapi& mapi() { return mapi_; }
  WordEditor& word() { return word_; }
  // What the product's deliverables are given.
  platform::Services& services() { return services_; }

  // Adds the profile's user to the organisation (when no mailbox has its distinguished
  // name yet) and writes the profile as Outlook's wizard leaves it. The user's mailbox.
  MailboxPtr setUpExchangeProfile(const OutlookProfileSeed& seed, TextView alias = u"pat");
  // Registers another COM add-in for Outlook (it connects from the next start on).
  bool registerAddIn(TextView progId);
  // Where Outlook.exe lies: "%ProgramFiles%\Microsoft Office\Office12\Outlook.exe".
  Text outlookPath() const;
  // Outlook's per-profile files in %AppData%\Microsoft\Outlook ("Outlook.srs", ...).
  Text outlookDataFolder() const;

  // Starts Outlook as the user does (the default profile unless one is given), connects the
  // add-ins and runs until idle. The Outlook running afterwards (nullptr if none: it did not
  // start, or it quit and nothing restarted it).
  std::shared_ptr<Outlook> startOutlook(TextView profile = {}, bool withExplorer = true);
  // Processes the running Outlook's messages and carries out pending program starts, until
  // nothing is left to do. A restart that keeps restarting stops after kMaxStartsPerRun
  // starts and is recorded as an anomaly. Called while a start is under way (from a modal
  // dialog the add-in opened as it connected), it only processes the messages.
  void runUntilIdle();
  // The user closes Outlook (File > Exit), then runUntilIdle.
  void quitOutlook();
  // The Outlook running now; nullptr when none.
  std::shared_ptr<Outlook> outlook() const { return world_.current(); }
  // The connected add-in object of the running Outlook; nullptr when not connected.
  platform::AddIn* addIn(TextView progId = u"Korvanel.Connect") const;

  // ---- The record.
  const std::vector<OutlookRun>& runs() const { return runs_; }
  // Command lines waiting for the running Outlook to end.
  std::size_t pendingStarts() const { return pending_.size(); }
  // The shell's journal, with host events and Outlook starts and ends in between.
  const std::vector<Text>& journal() const { return shell_.journal(); }
  // Everything the simulation saw go wrong on the product's side: transport anomalies,
  // Word, MAPI buffers, add-in objects that outlived their release, restart loops.
  std::vector<Text> anomalies() const;

  static constexpr int kMaxStartsPerRun = 16;

 private:
  struct Launch {
    Text commandLine;
    Text profile;
    bool safeMode = false;
    bool hidden = false;
  };

  // ShellHost
  bool post(std::function<void()> message) override;
  void pump() override;
  void deliverKey(const KeyStroke& key, KeyDelivery& delivery) override;
  bool startProgram(TextView commandLine, int windowStyle, ProcessRecord& record) override;

  std::shared_ptr<Outlook> launch(const Launch& request, bool withExplorer);
  void createOutlookFiles(TextView profile);

  MachineOptions options_;
  SimRegistry simRegistry_;
  platform::Registry& registry_;
  SimShell shell_;
  World world_;
  SimObjectFactory objects_;
  SimMapi mapi_;
  WordEditor word_;
  platform::Services services_;
  std::vector<OutlookRun> runs_;
  std::deque<Launch> pending_;
  std::vector<Text> anomalies_;
  std::vector<std::unique_ptr<AddInHost>> hosts_;  // one per Outlook run, the last current
  bool inRunUntilIdle_ = false;
};

}  // namespace korvanel::sim
