#include "tools/korvanel-sim/step_runner.h"

#include <algorithm>

#include "addin/identity_text_forms.h"
#include "sim/outlook_recipients.h"
#include "tools/korvanel-sim/explain.h"
#include "tools/korvanel-sim/machine_setup.h"
#include "tools/korvanel-sim/model_view.h"
#include "tools/korvanel-sim/observed_addin.h"

namespace korvanel::tool {

namespace {

using K = Step::Kind;

// Steps that leave an open Options dialog open: working in it, and what happens by itself.
bool keepsOptionsOpen(Step::Kind kind) {
  return kind == K::kOptions || kind == K::kReceive || kind == K::kPump;
}

std::string listText(const std::vector<std::string>& items) {
  return items.empty() ? "nobody" : joinAnd(items);
}

std::vector<std::string> plainAll(const std::vector<Text>& texts) {
  std::vector<std::string> out;
  for (const Text& t : texts) out.push_back(plain(t));
  return out;
}

// The folder of a path when Outlook is not running: a store's name first, else the first
// mailbox's folder of that path.
sim::ModelFolderPtr folderWithoutOutlook(sim::Machine& machine, TextView path) {
  const std::size_t slash = path.find(u'/');
  for (const sim::ModelStorePtr& store : allStores(machine)) {
    if (slash != TextView::npos && text::equalsNoCase(path.substr(0, slash), store->displayName)) {
      return store->folderByPath(path.substr(slash + 1));
    }
  }
  const auto& mailboxes = machine.organisation().mailboxes();
  return mailboxes.empty() || !mailboxes.front()->store
             ? nullptr
             : mailboxes.front()->store->folderByPath(path);
}

}  // namespace

std::string faultText(const FaultSpec& fault) {
  if (fault.occurrence == 0) return "every call of " + fault.call;
  return "call " + std::to_string(fault.occurrence) + " of " + fault.call;
}

StepRunner::StepRunner(const Scenario& scenario, Story& story, OverCom* overCom)
    : scenario_(scenario),
      story_(story),
      overCom_(overCom),
      machine_(buildMachine(scenario, overCom ? &overCom->registry() : nullptr)) {
  if (overCom_) {
    sim::Machine* machine = machine_.get();
    machine_->world().classes().registerAddIn(
        u"Korvanel.Connect", [overCom, machine]() -> std::unique_ptr<platform::AddIn> {
          std::unique_ptr<platform::AddIn> addIn = overCom->createAddIn(u"Korvanel.Connect");
          if (!addIn) return nullptr;
          return std::make_unique<ObservedAddIn>(std::move(addIn), *machine);
        });
    overCom_->serve(*machine_);
  }
  watch_ = std::make_unique<MachineWatch>(*machine_, story_);
  // A dialog the product opens is modal: the steps that keep it open run while it is.
  machine_->world().whileModal = [this](sim::Outlook&) { return actWhileModal(); };
  // Calls are counted from the first step on: setting up the machine is not Outlook's doing.
  for (const FaultSpec& f : scenario_.faults) {
    if (f.occurrence == 0) {
      machine_->faults().failAlways(f.call);
    } else {
      machine_->faults().failOnCall(f.call, f.occurrence);
    }
  }
}

StepRunner::~StepRunner() {
  // Nothing of the scenario is left to run in a dialog that opens from here on.
  machine_->world().whileModal = nullptr;
  // The watch holds connections to the machine's folders: it goes first.
  watch_.reset();
  if (overCom_) {
    // The add-in over COM lets go while the machine is still served (its Terminate may
    // still show a box or read the registry); whatever happens now is told to nobody.
    machine_->quitOutlook();
    overCom_->unserve();
  }
  machine_.reset();
}

void StepRunner::runAll() {
  if (!scenario_.faults.empty()) {
    std::vector<std::string> named;
    for (const FaultSpec& f : scenario_.faults) named.push_back(faultText(f));
    story_.heading("Failing calls: " + joinAnd(named) + ".");
  }
  while (next_ < scenario_.steps.size()) runNext();
  for (const FaultSpec& f : scenario_.faults) {
    if (machine_->faults().failures(f.call) == 0) {
      story_.heading("The run never made " + faultText(f) + ": nothing failed for it.");
    }
  }
}

void StepRunner::runNext() {
  const std::size_t i = next_++;
  run(i + 1, scenario_.steps[i]);
  if (observer_) observer_(i + 1, scenario_.steps[i]);
}

bool StepRunner::actWhileModal() {
  // What happened up to the dialog's opening is told before anything done in it.
  watch_->report();
  if (next_ >= scenario_.steps.size() || !keepsOptionsOpen(scenario_.steps[next_].kind)) {
    story_.detail(
        "The Options dialog is still open and the next step does not use it: it is cancelled.");
    return false;
  }
  runNext();
  return true;
}

void StepRunner::settle() {
  machine_->runUntilIdle();
  watch_->report();
  reportStampChanges();
}

void StepRunner::cancelOpenOptions() {
  auto outlook = machine_->outlook();
  if (!outlook || !outlook->optionsDialog().isOpen()) return;
  outlook->optionsDialog().pressCancel();
  story_.detail(
      "The Options dialog is still open and the next step does not use it: it is cancelled.");
  settle();
}

std::shared_ptr<sim::Outlook> StepRunner::running() {
  auto outlook = machine_->outlook();
  if (!outlook) story_.detail("Outlook is not running: nothing happens.");
  return outlook;
}

sim::ModelItemPtr StepRunner::message(const Text& id) {
  auto it = messages_.find(id);
  sim::ModelItemPtr item = it == messages_.end() ? nullptr : it->second;
  if (!item) {
    story_.detail(plain(id) + " never arrived: nothing happens.");
    return nullptr;
  }
  if (item->removed || !item->parentFolder()) {
    story_.detail(plain(id) + " is no longer in any folder: nothing happens.");
    return nullptr;
  }
  return item;
}

sim::InspectorHandle StepRunner::window(const Text& name) {
  auto it = windows_.find(name);
  sim::InspectorHandle w = it == windows_.end() ? nullptr : it->second;
  if (!w || !w->isOpen) {
    story_.detail("Window " + plain(name) + " is not open: nothing happens.");
    return nullptr;
  }
  return w;
}

void StepRunner::run(std::size_t number, const Step& step) {
  if (!keepsOptionsOpen(step.kind)) cancelOpenOptions();
  switch (step.kind) {
    case K::kStart:
      story_.step(number, "The user starts Outlook" +
                              (step.profile.empty() ? std::string()
                                                    : " on profile " + quote(step.profile)) +
                              (step.windows ? std::string() : " without a window") + ".");
      start(step);
      break;
    case K::kReceive:
      receive(number, step);
      return;  // tells its own step line
    case K::kSelect:
      story_.step(number, "The user selects " + plain(step.id) + ".");
      select(step);
      break;
    case K::kOpen:
      story_.step(number,
                  "The user opens " + plain(step.id) + " in window " + plain(step.window) + ".");
      open(step);
      break;
    case K::kReply:
    case K::kReplyAll:
    case K::kForward: {
      const char* verb = step.kind == K::kReply      ? "replies to "
                         : step.kind == K::kReplyAll ? "replies to all of "
                                                     : "forwards ";
      story_.step(number, std::string("The user ") + verb + plain(step.id) + " in window " +
                              plain(step.window) + ".");
      respond(step);
      break;
    }
    case K::kNew:
      story_.step(number, "The user opens a new " + itemKind(step.itemClass) + " in window " +
                              plain(step.window) + ".");
      newItem(step);
      break;
    case K::kEdit: {
      std::vector<std::string> typed;
      if (step.to) typed.push_back("To: " + listText(plainAll(*step.to)));
      if (step.cc) typed.push_back("Cc: " + listText(plainAll(*step.cc)));
      if (step.editSubject) typed.push_back("the subject " + quote(*step.editSubject));
      if (step.editBody) typed.push_back("the body");
      story_.step(number, "The user types into " + plain(step.window) + ": " +
                              (typed.empty() ? std::string("nothing") : joinAnd(typed)) + ".");
      edit(step);
      break;
    }
    case K::kChooseAccount:
      story_.step(number, "The user picks " + quote(step.account) +
                              " in the accounts drop-down of " + plain(step.window) + ".");
      chooseAccount(step);
      break;
    case K::kSend:
      story_.step(number, "The user presses Send in " + plain(step.window) + ".");
      send(step);
      break;
    case K::kClose:
      story_.step(number,
                  "The user closes " + plain(step.window) +
                      (step.answer ? ", answering " + answerName(step.answer) + " if asked to save"
                                   : std::string()) +
                      ".");
      close(step);
      break;
    case K::kOptions: {
      auto outlook = machine_->outlook();
      const bool open = outlook && outlook->optionsDialog().isOpen();
      story_.step(number, open ? "The user works in the Options dialog that is open."
                               : "The user opens Tools > Options.");
      options(step);
      break;
    }
    case K::kPump:
      story_.step(number, "Outlook processes its pending window messages.");
      if (auto outlook = running()) outlook->pump();
      break;
    case K::kQuit:
      story_.step(number, "The user quits Outlook.");
      if (running()) machine_->quitOutlook();
      break;
  }
  settle();
}

// ---- Steps

void StepRunner::start(const Step& step) {
  if (machine_->outlook()) {
    story_.detail("Outlook is already running.");
    return;
  }
  machine_->startOutlook(step.profile, step.windows);
}

void StepRunner::receive(std::size_t number, const Step& step) {
  sim::IncomingMessage m;
  m.from = step.from;
  m.to = step.to.value_or(std::vector<Text>{});
  m.cc = step.cc.value_or(std::vector<Text>{});
  m.subject = step.subject;
  m.body = step.body;
  m.headers = step.headers;
  m.buildHeaders = step.buildHeaders;
  m.xRecipientList = step.xRecipientList;
  m.readReceipt = step.readReceipt;
  m.account = step.account;
  m.label = step.id;

  auto outlook = machine_->outlook();
  sim::ModelFolderPtr folder =
      outlook ? outlook->folderByPath(step.folder) : folderWithoutOutlook(*machine_, step.folder);
  std::vector<std::string> to = plainAll(m.to);
  for (const Text& c : m.cc) to.push_back(plain(c) + " (Cc)");
  story_.step(number, plain(step.id) + " " + quote(step.subject) + " from " + plain(step.from) +
                          " arrives in " + (folder ? folderPlace(folder) : plain(step.folder)) +
                          ", addressed to " + listText(to) +
                          (step.readReceipt ? ", asking for a read receipt" : "") + ".");
  if (!folder) {
    story_.detail("There is no folder " + quote(step.folder) + ": the message is not delivered.");
    settle();
    return;
  }
  sim::ModelItemPtr item = machine_->world().deliver(folder, m);
  messages_[step.id] = item;
  machine_->runUntilIdle();
  watch_->report();
  if (item) describeArrival(*item);
  reportStampChanges();
}

void StepRunner::describeArrival(const sim::ModelItem& item) {
  const Text name = accountNameOf(item);
  const Text stamp = accountStampOf(item);
  stamps_[item.label] = {name, stamp, readReceiptOf(item)};
  auto outlook = machine_->outlook();
  const addin::SharedState* korvanel = connectedKorvanel(*machine_);
  if (!name.empty() && !stamp.empty()) {
    story_.detail("Korvanel stamps it " + quote(name) + " (" + stampText(stamp) + ").");
  } else if (!name.empty()) {
    story_.detail("Korvanel writes only the account name " + quote(name) +
                  ": the sender asked for a read receipt, so the stamp is completed when the "
                  "message is opened.");
  } else if (!outlook) {
    story_.detail("Outlook is not running, so nothing stamps it.");
    return;
  } else if (!korvanel) {
    story_.detail("Korvanel is not connected, so nothing stamps it.");
    return;
  } else {
    story_.detail("Korvanel leaves it unstamped.");
  }
  if (!korvanel) return;
  const addin::IdentityTable& table = korvanel->IdentityTable;
  const MatchInputs inputs = matchInputs(
      item.text(sim::prop::kTransportHeaders),
      item.props.getText(sim::PropKey::named(sim::kPsInternetHeaders, sim::prop::kRecipientList)),
      recipientPairs(item));
  const MatchExplanation e = explainMatch(table, inputs);
  const std::string source = "; the list is read from " + inputs.source + ".";
  if (!name.empty() || e.match < 0) {
    story_.more("Why: " + e.rule + source);
  } else {
    story_.more("Had Korvanel looked at it: " + e.rule + source);
  }
  if (!name.empty()) return;
  // Say what kept an arrival from being looked at, or from being stamped.
  const sim::ModelFolderPtr folder = item.parentFolder();
  const sim::ModelStorePtr store = folder ? folder->storeOf() : nullptr;
  if (store && store != outlook->defaultStore()) {
    story_.more(
        "Outlook raises no new-mail event for another mailbox's folder, so Korvanel does not look "
        "at it; "
        "a reply written in " +
        plain(store->displayName) + " still gets that mailbox's identity.");
  } else if (folder && folder != outlook->defaultFolder(platform::kOlFolderInbox)) {
    story_.more("Korvanel watches the Inbox" +
                std::string(outlook->version() < 12 ? " and the monitored folders" : "") +
                ", not " + folderPlace(folder) + ".");
  } else if (e.match >= 0 && outlook->version() >= 12 && !item.arrivalAccount.empty() &&
             !text::equalsNoCase(item.arrivalAccount, korvanel->ExchangeAccountName)) {
    story_.more("It was not stamped because it came in through " + quote(item.arrivalAccount) +
                ": on Outlook 2007 only mail from the Exchange account is stamped.");
  }
}

void StepRunner::reportStampChanges() {
  for (const auto& [id, item] : messages_) {
    auto known = stamps_.find(id);
    if (!item || known == stamps_.end()) continue;
    const std::tuple<Text, Text, bool> now{accountNameOf(*item), accountStampOf(*item),
                                           readReceiptOf(*item)};
    if (now == known->second) continue;
    const auto& [name, stamp, receipt] = now;
    std::string line = plain(id) + " is now stamped " +
                       (name.empty() ? std::string("with no account name") : quote(name));
    if (!stamp.empty()) line += " (" + stampText(stamp) + ")";
    if (std::get<2>(known->second) && !receipt) line += ", and its read-receipt request is cleared";
    story_.detail(line + ".");
    known->second = now;
  }
}

void StepRunner::select(const Step& step) {
  auto outlook = running();
  sim::ModelItemPtr item = outlook ? message(step.id) : nullptr;
  if (!item) return;
  if (!outlook->hasExplorer()) {
    story_.detail("Outlook has no Explorer window: nothing is selected.");
    return;
  }
  outlook->select({item});
  story_.detail(plain(step.id) + " is selected in " + folderPlace(item->parentFolder()) + ".");
}

void StepRunner::open(const Step& step) {
  auto outlook = running();
  sim::ModelItemPtr item = outlook ? message(step.id) : nullptr;
  if (!item) return;
  windows_[step.window] = outlook->open(item);
}

void StepRunner::respond(const Step& step) {
  auto outlook = running();
  sim::ModelItemPtr original = outlook ? message(step.id) : nullptr;
  if (!original) return;
  // From the message's open window when there is one, else from the message list.
  if (sim::InspectorHandle from = outlook->inspectorOf(*original)) {
    story_.detail("From the open window of " + plain(step.id) + ".");
    outlook->activate(from);
  } else if (!outlook->hasExplorer()) {
    story_.detail("Outlook has no Explorer window: nothing is selected.");
  } else {
    const auto& selection = outlook->selection();
    if (std::find(selection.begin(), selection.end(), original) == selection.end()) {
      outlook->select({original});
    }
    story_.detail("From the message list: " + plain(step.id) + " is selected in " +
                  folderPlace(original->parentFolder()) + ".");
  }
  sim::InspectorHandle w = step.kind == K::kReply      ? outlook->reply(original)
                           : step.kind == K::kReplyAll ? outlook->replyAll(original)
                                                       : outlook->forward(original);
  if (!w) {
    story_.detail("Outlook opens no window.");
    return;
  }
  w->item->label = step.window;
  windows_[step.window] = w;
  machine_->runUntilIdle();
  watch_->report();
  std::vector<std::string> to = recipientsShown(*machine_, *w->item, platform::kOlTo);
  for (const std::string& c : recipientsShown(*machine_, *w->item, platform::kOlCC))
    to.push_back(c + " (Cc)");
  story_.detail(plain(step.window) + " is " + quote(subjectOf(*w->item)) + " to " + listText(to) +
                ".");
  if (w->isOpen) describeWindowAccount(step.window, *w, original.get());
}

void StepRunner::newItem(const Step& step) {
  auto outlook = running();
  if (!outlook) return;
  sim::InspectorHandle w = outlook->newItem(step.itemClass);
  if (!w) {
    story_.detail("Outlook opens no window.");
    return;
  }
  w->item->label = step.window;
  windows_[step.window] = w;
  machine_->runUntilIdle();
  watch_->report();
  if (w->isOpen) describeWindowAccount(step.window, *w, nullptr);
}

void StepRunner::describeWindowAccount(const Text& name, const sim::ModelInspector& w,
                                       const sim::ModelItem* answered) {
  auto outlook = machine_->outlook();
  if (!outlook) return;
  const sim::Outlook::Account* account = accountOfKey(*outlook, w.selectedAccountKey);
  if (!account) account = outlook->accountNamedBy(*w.item);
  const std::string who = "The accounts drop-down of " + plain(name);
  if (!account) {
    const sim::Outlook::Account* fallback = outlook->sendingAccount(*w.item);
    std::string line = who + " stays on the default account" +
                       (fallback ? " " + accountShown(*outlook, *fallback) : std::string());
    if (answered && accountNameOf(*answered).empty())
      line += ": " + plain(answered->label) + " carries no identity";
    story_.detail(line + ".");
    return;
  }
  std::string line = who + " shows " + accountShown(*outlook, *account);
  const bool identity =
      addin::isAddressAccountName(account->name) || addin::isMailboxAccountName(account->name);
  const sim::ModelFolderPtr current = outlook->currentFolder();
  const sim::ModelStorePtr store = current ? current->storeOf() : nullptr;
  if (identity && answered && text::equalsNoCase(accountNameOf(*answered), account->name)) {
    line += ": the identity " + plain(answered->label) + " was received at";
  } else if (addin::isMailboxAccountName(account->name) && store &&
             store != outlook->defaultStore()) {
    line += ": the identity of " + plain(store->displayName) + ", where the user is working";
  } else if (!identity && answered && accountNameOf(*answered).empty()) {
    line += ": " + plain(answered->label) + " carries no identity";
  }
  story_.detail(line + ".");
}

void StepRunner::edit(const Step& step) {
  auto outlook = running();
  sim::InspectorHandle w = outlook ? window(step.window) : nullptr;
  if (!w) return;
  outlook->focus(w);
  if (!w->isOpen) return;
  sim::ModelItem& item = *w->item;
  auto setRecipients = [&](const std::optional<std::vector<Text>>& texts, long type) {
    if (!texts) return;
    std::erase_if(item.recipients,
                  [type](const sim::RecipientRecord& r) { return r.type == type; });
    for (const Text& t : *texts) {
      sim::RecipientRecord r;
      r.text = t;
      r.name = t;
      r.type = type;
      sim::resolveRecord(machine_->organisation(), r);
      item.recipients.push_back(std::move(r));
    }
    outlook->memberChanged(item, type == platform::kOlTo ? u"To" : u"CC");
  };
  setRecipients(step.to, platform::kOlTo);
  setRecipients(step.cc, platform::kOlCC);
  if (step.editSubject) {
    item.props.setText(sim::PropKey::tag(sim::prop::kSubject), *step.editSubject);
    outlook->memberChanged(item, u"Subject");
  }
  if (step.editBody) {
    item.props.setText(sim::PropKey::tag(sim::prop::kBody), *step.editBody);
    outlook->memberChanged(item, u"Body");
  }
}

void StepRunner::chooseAccount(const Step& step) {
  auto outlook = running();
  sim::InspectorHandle w = outlook ? window(step.window) : nullptr;
  if (!w) return;
  if (!outlook->chooseAccount(w, step.account)) {
    story_.detail("The drop-down has no account " + quote(step.account) + ".");
    return;
  }
  machine_->runUntilIdle();
  watch_->report();
  if (w->isOpen) describeWindowAccount(step.window, *w, nullptr);
}

void StepRunner::send(const Step& step) {
  auto outlook = running();
  sim::InspectorHandle w = outlook ? window(step.window) : nullptr;
  if (!w) return;
  outlook->pressSend(w);
  machine_->runUntilIdle();
  watch_->report();
  if (w->isOpen) story_.detail(plain(step.window) + " is still open: the message was not sent.");
}

void StepRunner::close(const Step& step) {
  auto outlook = running();
  sim::InspectorHandle w = outlook ? window(step.window) : nullptr;
  if (!w) return;
  if (step.answer) machine_->shell().answerMessageBox(step.answer);
  outlook->closeWindow(w);
  machine_->shell().clearAnswers();
  machine_->runUntilIdle();
  watch_->report();
  if (w->isOpen) story_.detail(plain(step.window) + " stays open.");
}

// ---- The Options dialog

std::unique_ptr<PageUser> StepRunner::pageUser() {
  auto outlook = machine_->outlook();
  if (!outlook || !outlook->optionsDialog().isOpen()) return nullptr;
  sim::OptionsDialog& dialog = outlook->optionsDialog();
  return overCom_ ? overCom_->pageUser(dialog) : modelPageUser(dialog);
}

void StepRunner::describePage(bool full) {
  std::unique_ptr<PageUser> page = pageUser();
  if (!page) return;
  const std::vector<Text> list = page->rows(u"List1");
  const int option = page->chosenOption();
  if (full || list != pageList_) {
    story_.detail(list.empty() ? std::string("The identity list is empty.")
                               : "The identity list reads: " + joinAnd(plainAll(list)) + ".");
  }
  if (full || option != pageOption_) {
    story_.detail("The reply-to format selected is " +
                  (option < 0 ? std::string("none")
                              : quote(addin::ReplyToEntry(u"Name", u"address", option))) +
                  ".");
  }
  if (full && page->shown(u"List4")) {
    const std::vector<Text> folders = page->rows(u"List4");
    story_.detail(folders.empty() ? std::string("No folder is monitored besides the Inbox.")
                                  : "Monitored folders: " + joinAnd(plainAll(folders)) + ".");
  }
  pageList_ = list;
  pageOption_ = option;
}

void StepRunner::options(const Step& step) {
  auto outlook = running();
  if (!outlook) return;
  sim::OptionsDialog& dialog = outlook->optionsDialog();
  const bool alreadyOpen = dialog.isOpen();
  if (!alreadyOpen) {
    const bool opened = outlook->openOptions();
    watch_->userOpenedOptions();
    if (!opened) {
      story_.detail("The Options dialog does not open.");
      return;
    }
  }
  if (!dialog.page() && !dialog.selectTab(u"Korvanel")) {
    story_.detail("The dialog has no Korvanel tab.");
  }
  machine_->runUntilIdle();
  watch_->report();
  if (dialog.page()) {
    if (!alreadyOpen) story_.detail("Korvanel's tab shows.");
    describePage(true);
  }
  for (const PageAction& action : step.actions) pageAction(action);
}

void StepRunner::pageAction(const PageAction& action) {
  auto outlook = machine_->outlook();
  sim::OptionsDialog* dialog = outlook ? &outlook->optionsDialog() : nullptr;
  std::unique_ptr<PageUser> page = pageUser();
  std::string what;
  switch (action.kind) {
    case PageAction::Kind::kClick:
      what = "clicks " + plain(action.control);
      break;
    case PageAction::Kind::kSelect:
      what = "selects row " + std::to_string(action.index) + " of " + plain(action.list);
      break;
    case PageAction::Kind::kOption:
      what = "selects the reply-to format option " + std::to_string(action.index);
      break;
    case PageAction::Kind::kPress:
      what = "presses " + plain(action.control);
      break;
  }
  if (!dialog || !dialog->isOpen() || (!page && action.kind != PageAction::Kind::kPress)) {
    story_.detail("The user " + what + ", but Korvanel's page is not showing: nothing happens.");
    return;
  }
  story_.detail("The user " + what + ".");

  sim::SimShell& shell = machine_->shell();
  for (int answer : action.answers) shell.answerMessageBox(answer);
  for (const auto& input : action.input) {
    if (input) {
      shell.answerInputBox(*input);
    } else {
      shell.cancelInputBox();
    }
  }
  for (const auto& path : action.folders) {
    sim::ModelFolderPtr folder = path ? outlook->folderByPath(*path) : nullptr;
    if (path && !folder)
      story_.detail("There is no folder " + quote(*path) + " to pick: the picker is cancelled.");
    outlook->answerPickFolder(folder);
  }
  const int pickCallsBefore = outlook->pickFolderCalls;

  switch (action.kind) {
    case PageAction::Kind::kClick:
      if (page->exists(action.control) &&
          (!page->shown(action.control) || !page->enabled(action.control))) {
        story_.detail(plain(action.control) +
                      (page->shown(action.control) ? " is disabled" : " is not shown") +
                      ": nothing happens.");
        break;
      }
      page->click(action.control);
      break;
    case PageAction::Kind::kSelect: {
      const std::vector<Text> rows = page->rows(action.list);
      if (action.index < 0 || action.index >= static_cast<long>(rows.size())) {
        story_.detail(plain(action.list) + " has no row " + std::to_string(action.index) +
                      ": nothing is selected.");
        break;
      }
      page->select(action.list, action.index);
      story_.detail("Row " + std::to_string(action.index) + " is " +
                    quote(page->rows(action.list)[static_cast<std::size_t>(action.index)]) + ".");
      break;
    }
    case PageAction::Kind::kOption:
      page->chooseOption(static_cast<int>(action.index));
      break;
    case PageAction::Kind::kPress:
      if (page) {
        page->press(action.control);
      } else if (action.control == u"OK") {
        dialog->pressOk();
      } else if (action.control == u"Apply") {
        dialog->pressApply();
      } else {
        dialog->pressCancel();
      }
      break;
  }
  machine_->runUntilIdle();

  // What this action's script did not use must not answer a later action's boxes.
  shell.clearAnswers();
  if (auto still = machine_->outlook(); still == outlook) {
    for (int left =
             static_cast<int>(action.folders.size()) - (outlook->pickFolderCalls - pickCallsBefore);
         left > 0; --left) {
      outlook->nextPickAnswer();
    }
  }
  watch_->report();
  describePage(false);
}

}  // namespace korvanel::tool
