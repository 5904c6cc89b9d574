// Watches the simulated machine while a scenario runs and tells the story of what Outlook
// and Korvanel did by themselves: Outlook starting and ending, Korvanel connecting with its
// identities, message and input boxes with their answers, keystrokes, programs started and
// files deleted (in the order they happened), then what left through the transport, items
// parked in Deleted Items, the sent copies, and anything the simulation saw go wrong.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/event.h"
#include "sim/machine.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {

class MachineWatch {
 public:
  MachineWatch(sim::Machine& machine, Story& story);
  MachineWatch(const MachineWatch&) = delete;
  MachineWatch& operator=(const MachineWatch&) = delete;

  // Adds the details of everything that happened since the last call to the story.
  void report();

  // "Outlook 2007" for the machine's version.
  std::string outlookName() const;
  // The names Outlook gave the accounts, by folded account key, as the last Outlook that
  // ran read them (the registry may have renamed them since).
  const std::map<Text, Text>& accountNames() const { return accountNames_; }
  // The user opened the Options dialog: not worth telling as Korvanel's doing.
  void userOpenedOptions();

 private:
  void reportJournal();
  void reportConnection();
  void reportOptionsDialog();
  int currentRun() const;
  void reportTransmissions();
  void reportParked();
  void reportSentCopies();
  void reportAnomalies();
  void labelNewItems();
  void flushKeys();

  sim::Machine& machine_;
  Story& story_;
  std::size_t journal_ = 0;
  std::size_t dialogs_ = 0;
  std::size_t keys_ = 0;
  std::size_t processes_ = 0;
  std::size_t deleted_ = 0;
  std::size_t executes_ = 0;
  std::size_t transmissions_ = 0;
  std::vector<std::string> pendingKeys_;
  int describedRun_ = 0;
  int optionsRun_ = 0;  // the Outlook run whose dialog openings are counted
  int optionsOpened_ = 0;
  std::set<std::string> anomalies_;
  std::set<const sim::ModelItem*> sentCopies_;
  std::set<const sim::ModelItem*> knownItems_;
  std::vector<sim::ModelItemPtr> parked_;
  std::string lastSender_;  // the label of the last item sent, for its delivered copies
  int generated_ = 0;
  std::vector<platform::Connection> watches_;
  std::map<Text, Text> accountNames_;
};

}  // namespace korvanel::tool
