#include "tools/korvanel-sim/machine_watch.h"

#include "addin/identity_text_forms.h"
#include "tools/korvanel-sim/model_view.h"

namespace korvanel::tool {

namespace {

bool startsWith(TextView s, TextView prefix) { return s.substr(0, prefix.size()) == prefix; }

// The N of "(run N)" in a journal line; 0 when there is none.
int runNumberIn(TextView line) {
  const std::size_t at = line.find(u"(run ");
  if (at == TextView::npos) return 0;
  int n = 0;
  for (std::size_t i = at + 5; i < line.size() && line[i] >= u'0' && line[i] <= u'9' && n < 100000;
       ++i) {
    n = n * 10 + (line[i] - u'0');
  }
  return n;
}

std::string dialogLine(const sim::DialogRecord& d) {
  const bool korvanel = d.title == u"Korvanel";
  const std::string who = korvanel ? "Korvanel" : "Outlook";
  std::string line;
  if (d.kind == sim::DialogRecord::Kind::kInputBox) {
    line = who + "'s input box " + quote(d.text) +
           (d.offered.empty() ? std::string() : " (offering " + quote(d.offered) + ")") + ": " +
           (d.input ? quote(*d.input) + " is entered." : std::string("cancelled."));
  } else {
    const bool question = (d.style & 0xF) == 3 || (d.style & 0xF) == 4;
    line = who + (question ? " asks: " : " says: ") + quote(d.text) +
           " Answer: " + answerName(d.answer) + ".";
  }
  if (!korvanel && !d.title.empty() && d.title != u"Microsoft Office Outlook") {
    line += " (title " + quote(d.title) + ")";
  }
  if (!d.scripted)
    line += " (no answer was given: " +
            std::string(d.kind == sim::DialogRecord::Kind::kInputBox ? "Cancel"
                                                                     : "the default button") +
            ")";
  return line;
}

}  // namespace

MachineWatch::MachineWatch(sim::Machine& machine, Story& story) : machine_(machine), story_(story) {
  // Items parked for a re-send pass through Deleted Items within one step; they are seen as
  // they arrive there.
  for (const sim::MailboxPtr& m : machine_.organisation().mailboxes()) {
    sim::ModelFolderPtr deleted =
        m->store ? m->store->defaultFolder(platform::kOlFolderDeletedItems) : nullptr;
    if (!deleted) continue;
    watches_.push_back(deleted->itemAdd.connect([this](const sim::ModelItemPtr& item) {
      if (item && text::equalsNoCase(billingOf(*item), u"Send it now")) parked_.push_back(item);
    }));
  }
  for (const sim::ModelStorePtr& store : allStores(machine_)) {
    for (const auto& [folder, item] : itemsOf(store)) {
      knownItems_.insert(item.get());
      if (folder->defaultType == platform::kOlFolderSentMail) sentCopies_.insert(item.get());
    }
  }
}

std::string MachineWatch::outlookName() const {
  return machine_.options().version >= 12 ? "Outlook 2007" : "Outlook 2003";
}

void MachineWatch::report() {
  if (auto outlook = machine_.outlook()) {
    for (const sim::Outlook::Account& a : outlook->accounts())
      accountNames_[text::fold(a.key)] = a.name;
  }
  reportJournal();
  reportConnection();
  reportOptionsDialog();
  reportParked();
  reportTransmissions();
  labelNewItems();
  reportSentCopies();
  reportAnomalies();
}

void MachineWatch::flushKeys() {
  if (pendingKeys_.empty()) return;
  story_.detail("Korvanel types " + joinAnd(pendingKeys_) + ".");
  pendingKeys_.clear();
}

void MachineWatch::reportJournal() {
  const sim::SimShell& shell = machine_.shell();
  const std::vector<Text>& journal = shell.journal();
  for (; journal_ < journal.size(); ++journal_) {
    const Text& line = journal[journal_];
    if (startsWith(line, u"SendKeys ")) {
      if (keys_ < shell.keys().size()) pendingKeys_.push_back(keysText(shell.keys()[keys_++].keys));
      continue;
    }
    if (startsWith(line, u"Key ")) continue;  // keystrokes reaching windows: told by their effect
    flushKeys();
    if (startsWith(line, u"MessageBox [") || startsWith(line, u"InputBox [")) {
      if (dialogs_ < shell.dialogs().size()) story_.detail(dialogLine(shell.dialogs()[dialogs_++]));
    } else if (startsWith(line, u"StartProcess ")) {
      if (processes_ < shell.processes().size()) {
        const sim::ProcessRecord& p = shell.processes()[processes_++];
        story_.detail("Korvanel runs: " + plain(p.commandLine) + " (" + plain(p.outcome) + ").");
      }
    } else if (startsWith(line, u"DeleteFile ")) {
      if (deleted_ < shell.deletedFiles().size()) {
        story_.detail("Korvanel deletes " + plain(shell.deletedFiles()[deleted_++]) + ".");
      }
    } else if (startsWith(line, u"ShellExecute ")) {
      if (executes_ < shell.shellExecutes().size()) {
        story_.detail("Korvanel opens " + plain(shell.shellExecutes()[executes_++].file) + ".");
      }
    } else if (startsWith(line, u"Outlook ended (run ")) {
      story_.detail("Outlook ends (run " + std::to_string(runNumberIn(line)) + ").");
    } else if (startsWith(line, u"Outlook did not start")) {
      story_.detail(plain(line) + ".");
    } else if (startsWith(line, u"Outlook ") && line.find(u" started (run ") != Text::npos) {
      const int n = runNumberIn(line);
      const auto& runs = machine_.runs();
      if (n < 1 || static_cast<std::size_t>(n) > runs.size()) continue;
      const sim::OutlookRun& run = runs[static_cast<std::size_t>(n - 1)];
      std::string s =
          outlookName() + " starts on profile " + quote(run.profile) + " (run " + std::to_string(n);
      if (run.safeMode) s += ", safe mode";
      if (run.hidden) s += ", hidden window";
      s += ")";
      if (!run.commandLine.empty()) s += " from the command line: " + plain(run.commandLine);
      story_.detail(s + (run.commandLine.empty() ? "." : ""));
      // The run still going at the end is described as it starts, so what Korvanel does at
      // its start-up (a dialog it opens, keys it types) follows in order.
      if (static_cast<std::size_t>(n) == runs.size() && machine_.outlook() && !run.ended) {
        reportConnection();
        reportOptionsDialog();
      }
    } else if (startsWith(line, u"Host: ") && line.find(u"not loaded") != Text::npos) {
      story_.detail("Outlook: " + plain(TextView(line).substr(6)) + ".");
    }
  }
  flushKeys();
}

void MachineWatch::reportConnection() {
  const auto outlook = machine_.outlook();
  const auto& runs = machine_.runs();
  if (!outlook || runs.empty() || runs.back().ended || !runs.back().started) return;
  const int run = runs.back().number;
  if (run == describedRun_) return;
  describedRun_ = run;
  const addin::SharedState* korvanel = connectedKorvanel(machine_);
  if (!korvanel) {
    story_.detail("Korvanel is not connected to this Outlook.");
    return;
  }
  const addin::SharedState& s = *korvanel;
  const addin::IdentityTable& table = s.IdentityTable;
  if (table.empty()) {
    story_.detail(
        "Korvanel connects. The profile has no identities, so it leaves every message alone.");
    return;
  }
  story_.detail("Korvanel connects. Its identities, in matching order:");
  for (int i = table.IdFirst(); i <= table.IdLast(); ++i) {
    const bool mailbox = addin::isMailboxAccountName(table.AccountName(i));
    std::string row = "row " + std::to_string(i) + ": " + plain(table.DisplayName(i)) +
                      (mailbox ? " (shared mailbox " + plain(table.Email(i)) + ")"
                               : " <" + plain(table.Email(i)) + ">") +
                      ", account " + quote(table.AccountName(i)) + " at position " +
                      plain(table.AccountIndex(i));
    story_.more(row);
  }
  story_.detail("Mail leaves through the Exchange account " + quote(s.ExchangeAccountName) + " (" +
                stampText(s.ExchangeStamp) +
                "); the identity becomes the reply-to address, written " +
                quote(addin::ReplyToEntry(u"Name", u"address", s.ReplyAddressFormat)) + ".");
}

int MachineWatch::currentRun() const {
  const auto& runs = machine_.runs();
  return machine_.outlook() && !runs.empty() ? runs.back().number : 0;
}

void MachineWatch::userOpenedOptions() {
  const auto outlook = machine_.outlook();
  optionsRun_ = currentRun();
  optionsOpened_ = outlook ? outlook->optionsDialog().timesOpened() : 0;
}

void MachineWatch::reportOptionsDialog() {
  const auto outlook = machine_.outlook();
  if (!outlook) return;
  const int run = currentRun();
  const int opened = outlook->optionsDialog().timesOpened();
  if (run != optionsRun_) optionsOpened_ = 0;
  optionsRun_ = run;
  if (opened > optionsOpened_ && outlook->optionsDialog().isOpen()) {
    story_.detail("Korvanel opens Tools > Options on its page.");
  }
  optionsOpened_ = opened;
}

void MachineWatch::reportParked() {
  for (const sim::ModelItemPtr& item : parked_) {
    const std::string name = item->label.empty() ? quote(subjectOf(*item)) : plain(item->label);
    story_.detail("Korvanel parks " + name + " in Deleted Items (\"Send it now\"" +
                  (item->text(sim::prop::kSentRepresentingName).empty()
                       ? std::string()
                       : ", on behalf of " + quote(item->text(sim::prop::kSentRepresentingName))) +
                  ") and sends it again from there.");
  }
  parked_.clear();
}

void MachineWatch::reportTransmissions() {
  const auto& all = machine_.world().transmissions;
  for (; transmissions_ < all.size(); ++transmissions_) {
    const sim::Transmission& t = all[transmissions_];
    std::vector<std::string> to;
    for (const Text& r : t.to) to.push_back(plain(r));
    for (const Text& r : t.cc) to.push_back(plain(r) + " (Cc)");
    std::string line =
        joinAnd(to) + (to.size() == 1 ? " receives " : " receive ") + quote(t.subject);
    if (t.sentRepresenting.empty()) {
      line += " from " + plain(t.sender);
    } else {
      line +=
          " from " + plain(t.sentRepresenting) + ", sent by " + plain(t.sender) + " on its behalf";
    }
    std::vector<std::string> replyTo;
    for (const Text& r : t.replyTo) replyTo.push_back(plain(r));
    line += replyTo.empty() ? ", no reply-to" : ", reply-to " + joinAnd(replyTo);
    story_.detail(line + "; it left through " + quote(t.account) + ".");
  }
}

void MachineWatch::labelNewItems() {
  for (const sim::ModelStorePtr& store : allStores(machine_)) {
    for (const auto& [folder, item] : itemsOf(store)) {
      if (!knownItems_.insert(item.get()).second) continue;
      if (folder->defaultType == platform::kOlFolderSentMail && !item->label.empty()) {
        lastSender_ = text::toUtf8(item->label);
      }
    }
  }
  // Copies delivered to mailboxes of the organisation are named after what was sent.
  for (const sim::ModelStorePtr& store : allStores(machine_)) {
    for (const auto& [folder, item] : itemsOf(store)) {
      if (!item->label.empty()) continue;
      const sim::MailboxPtr owner = store->mailbox.lock();
      if (!lastSender_.empty() && owner) {
        item->label = text::fromUtf8(lastSender_) + u"@" + owner->alias;
      } else {
        item->label = u"item" + text::toText(++generated_);
      }
    }
  }
}

void MachineWatch::reportSentCopies() {
  for (const sim::ModelStorePtr& store : allStores(machine_)) {
    sim::ModelFolderPtr sent = store->defaultFolder(platform::kOlFolderSentMail);
    if (!sent) continue;
    for (const sim::ModelItemPtr& item : sent->items) {
      if (!sentCopies_.insert(item.get()).second) continue;
      const Text name = accountNameOf(*item);
      const Text stamp = accountStampOf(*item);
      std::string line = "The sent copy of " + plain(item->label) + " in " + folderPlace(sent);
      line += name.empty() ? " carries no account name" : " carries " + quote(name);
      if (!stamp.empty()) line += " (" + stampText(stamp) + ")";
      std::vector<std::string> replyTo;
      for (const sim::RecipientRecord& r : item->replyRecipients) {
        replyTo.push_back(plain(r.text.empty() ? r.name : r.text));
      }
      line += replyTo.empty() ? " and no reply-to." : " and the reply-to " + joinAnd(replyTo) + ".";
      story_.detail(line);
    }
  }
}

void MachineWatch::reportAnomalies() {
  for (const Text& a : machine_.anomalies()) {
    if (anomalies_.insert(text::toUtf8(a)).second) story_.detail("PROBLEM: " + plain(a) + ".");
  }
}

}  // namespace korvanel::tool
