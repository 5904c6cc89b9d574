#include "sim/machine.h"

#include <algorithm>

#include "sim/command_line.h"
#include "sim/outlook_registration.h"

namespace korvanel::sim {

namespace {

constexpr char16_t kOutlookAddInsKey[] = u"Software\\Microsoft\\Office\\Outlook\\Addins";

Text printableCommand(TextView s) { return u"\"" + Text(s) + u"\""; }

std::uint32_t dwordOf(const platform::RegValue& v) {
  if (v.type != platform::kRegDword || v.data.size() != 4) return 0;
  return static_cast<std::uint32_t>(v.data[0]) | static_cast<std::uint32_t>(v.data[1]) << 8 |
         static_cast<std::uint32_t>(v.data[2]) << 16 | static_cast<std::uint32_t>(v.data[3]) << 24;
}

// The add-ins Outlook loads at start-up: registered for all users or for this one, with the
// load-at-start-up bits of LoadBehavior (3) set.
std::vector<Text> registeredAddIns(platform::Registry& registry) {
  std::vector<Text> out;
  for (platform::RegHandle root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    platform::RegKey key =
        platform::RegKey::open(registry, root, kOutlookAddInsKey, platform::kKeyRead);
    if (!key) continue;
    Text name;
    for (std::uint32_t i = 0; registry.enumKey(key.get(), i, &name) == platform::kRegSuccess; ++i) {
      platform::RegKey addIn =
          platform::RegKey::open(registry, key.get(), name, platform::kKeyRead);
      platform::RegValue behaviour;
      if (!addIn ||
          registry.queryValue(addIn.get(), u"LoadBehavior", &behaviour) != platform::kRegSuccess ||
          (dwordOf(behaviour) & 3) != 3) {
        continue;
      }
      bool known = false;
      for (const Text& p : out) known = known || text::equalsNoCase(p, name);
      if (!known) out.push_back(name);
    }
  }
  return out;
}

}  // namespace

Machine::Machine(MachineOptions options)
    : options_(std::move(options)),
      registry_(options_.registry != nullptr ? *options_.registry : simRegistry_),
      world_(registry_),
      objects_(world_),
      mapi_(&world_.faults()),
      word_(&world_.faults()),
      services_{registry_, shell_, objects_, mapi_} {
  simRegistry_.setFaultPlan(&world_.faults());
  shell_.setFaultPlan(&world_.faults());
  shell_.setHost(this);
  world_.shell = &shell_;
  world_.cdoInstalled = options_.cdoInstalled;
  objects_.installedVersion = options_.version;
  word_.install(world_);
  shell_.setEnvironmentVariable(u"AppData", options_.appData);
  shell_.setEnvironmentVariable(u"ProgramFiles", options_.programFiles);
  shell_.setEnvironmentVariable(u"USERNAME", options_.userName);
  shell_.files().write(outlookPath());
  installOutlookRegistration(registry_);
  for (const Text& progId : options_.addIns) registerAddIn(progId);
}

Machine::~Machine() {
  // Add-ins still connected are released without further ado; their Terminate must not
  // start anything on a machine that is going away.
  shell_.setHost(nullptr);
  hosts_.clear();
  // Then Outlook's process ends, in whatever state it is (an Options dialog open, a quit
  // pending): its dialog's page holds the Application and would keep Outlook, and with it
  // the page, alive for good. The page's Terminate runs here, while the services it was
  // given still exist.
  if (auto running = world_.current()) running->terminateProcess();
}

Text Machine::outlookPath() const {
  return options_.programFiles + u"\\Microsoft Office\\Office" + text::toText(options_.version) +
         u"\\Outlook.exe";
}

Text Machine::outlookDataFolder() const { return options_.appData + u"\\Microsoft\\Outlook"; }

bool Machine::registerAddIn(TextView progId) {
  platform::RegKey key = platform::RegKey::create(registry_, platform::kHkeyLocalMachine,
                                                  Text(kOutlookAddInsKey) + u"\\" + Text(progId),
                                                  platform::kKeyAllAccess);
  if (!key) return false;
  const std::uint8_t behaviour[4] = {3, 0, 0, 0};
  const Bytes name = text::toUtf16leBytes(Text(progId) + u'\0');
  return registry_.setValue(key.get(), u"LoadBehavior", platform::kRegDword, behaviour, 4) ==
             platform::kRegSuccess &&
         registry_.setValue(key.get(), u"FriendlyName", platform::kRegSz, name.data(),
                            name.size()) == platform::kRegSuccess;
}

MailboxPtr Machine::setUpExchangeProfile(const OutlookProfileSeed& seed, TextView alias) {
  MailboxPtr user = organisation().findByDn(seed.mailboxDn);
  if (!user) {
    user =
        organisation().addMailbox(seed.userDisplayName, alias, seed.proxyAddresses, seed.mailboxDn);
  }
  if (!seedOutlookProfile(registry_, seed)) return nullptr;
  return user;
}

void Machine::createOutlookFiles(TextView profile) {
  // Outlook keeps its send/receive settings and navigation pane per profile, named after
  // it with its dots turned into blanks.
  const Text base = outlookDataFolder() + u"\\" + text::replaceAll(profile, u".", u" ");
  for (TextView extension : {TextView(u".srs"), TextView(u".xml")}) {
    const Text path = base + Text(extension);
    if (!shell_.files().exists(path)) shell_.files().write(path, Bytes{0});
  }
}

std::shared_ptr<Outlook> Machine::launch(const Launch& request, bool withExplorer) {
  // Hosts of Outlooks that have ended have nothing left to do.
  std::erase_if(hosts_, [](const std::unique_ptr<AddInHost>& h) {
    return !h->outlook() || h->outlook()->ended();
  });

  OutlookRun run;
  run.number = static_cast<int>(runs_.size()) + 1;
  run.commandLine = request.commandLine;
  run.profile = request.profile;
  run.safeMode = request.safeMode;
  run.hidden = request.hidden;

  OutlookOptions o;
  o.version = options_.version;
  o.profile = request.profile;
  o.withExplorer = withExplorer;  // a hidden start still has its (hidden) Explorer
  o.uiLanguage = options_.uiLanguage;
  o.wordMail = options_.wordMail;
  std::shared_ptr<Outlook> outlook = world_.startOutlook(o);
  if (!outlook) {
    run.outcome = world_.current() ? u"another Outlook is still running"
                                   : u"no such profile: \"" + request.profile + u"\"";
    shell_.note(u"Outlook did not start (run " + text::toText(run.number) + u"): " + run.outcome);
    runs_.push_back(std::move(run));
    return nullptr;
  }
  run.started = true;
  run.profile = outlook->profileName();
  run.outcome = u"started";
  runs_.push_back(std::move(run));
  const std::size_t index = runs_.size() - 1;
  shell_.note(u"Outlook " + text::toText(options_.version) + u" started (run " +
              text::toText(runs_[index].number) + u") on profile \"" + outlook->profileName() +
              u"\"" + (request.safeMode ? Text(u", safe mode") : Text()) +
              (request.hidden ? Text(u", hidden") : Text()));
  createOutlookFiles(outlook->profileName());

  auto host = std::make_unique<AddInHost>(
      outlook,
      [this, index](TextView line) {
        runs_[index].hostEvents.emplace_back(line);
        shell_.note(u"Host: " + Text(line));
      },
      [this, index] {
        runs_[index].ended = true;
        shell_.note(u"Outlook ended (run " + text::toText(runs_[index].number) + u")");
      });
  AddInHost* raw = host.get();
  hosts_.push_back(std::move(host));
  raw->start(registeredAddIns(registry_));
  for (const Text& a : raw->anomalies()) anomalies_.push_back(a);
  return outlook;
}

std::shared_ptr<Outlook> Machine::startOutlook(TextView profile, bool withExplorer) {
  Launch request;
  request.profile = Text(profile);
  launch(request, withExplorer);
  runUntilIdle();
  return world_.current();
}

void Machine::runUntilIdle() {
  if (inRunUntilIdle_) {
    // Called from inside a start (a modal dialog the add-in opened while it connects): the
    // messages run; the outer call carries out what waits for this Outlook to end.
    if (auto running = world_.current()) running->pump();
    return;
  }
  inRunUntilIdle_ = true;
  int starts = 0;
  for (;;) {
    if (auto running = world_.current()) {
      running->pump();
      if (world_.current()) break;  // still running: idle
      continue;                     // it ended: start what waits for it
    }
    if (pending_.empty()) break;
    if (++starts > kMaxStartsPerRun) {
      anomalies_.push_back(u"Outlook kept restarting: " + text::toText(kMaxStartsPerRun) +
                           u" starts in a row; the rest were dropped");
      pending_.clear();
      break;
    }
    Launch next = std::move(pending_.front());
    pending_.pop_front();
    launch(next, /*withExplorer=*/true);
  }
  for (const auto& h : hosts_) {
    for (const Text& a : h->anomalies()) {
      if (std::find(anomalies_.begin(), anomalies_.end(), a) == anomalies_.end()) {
        anomalies_.push_back(a);
      }
    }
  }
  inRunUntilIdle_ = false;
}

void Machine::quitOutlook() {
  if (auto running = world_.current()) running->requestQuit();
  runUntilIdle();
}

platform::AddIn* Machine::addIn(TextView progId) const {
  if (hosts_.empty() || !world_.current()) return nullptr;
  const auto& host = hosts_.back();
  return host->outlook() == world_.current() ? host->addIn(progId) : nullptr;
}

std::vector<Text> Machine::anomalies() const {
  std::vector<Text> out = world_.anomalies;
  out.insert(out.end(), anomalies_.begin(), anomalies_.end());
  for (const auto& h : hosts_) {
    for (const Text& a : h->anomalies()) {
      if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    }
  }
  out.insert(out.end(), word_.anomalies().begin(), word_.anomalies().end());
  out.insert(out.end(), mapi_.anomalies().begin(), mapi_.anomalies().end());
  if (mapi_.outstandingBuffers() > 0) {
    out.push_back(text::toText(static_cast<long long>(mapi_.outstandingBuffers())) +
                  u" MAPI buffers were not freed");
  }
  return out;
}

// ---- ShellHost

bool Machine::post(std::function<void()> message) {
  auto running = world_.current();
  if (!running) return false;
  running->queue().post(std::move(message));
  return true;
}

void Machine::pump() {
  if (auto running = world_.current()) running->pump();
}

void Machine::deliverKey(const KeyStroke& key, KeyDelivery& delivery) {
  auto running = world_.current();
  if (!running) return;
  // Outlook's focused window interprets it (the Options dialog, else the compose window).
  running->postKeys(key.notation());
  delivery.target = u"Outlook";
}

bool Machine::startProgram(TextView commandLine, int windowStyle, ProcessRecord& record) {
  auto parsed = parseCommandLine(commandLine);
  if (!parsed || !shell_.files().exists(parsed->program)) {
    record.outcome = u"no such program";
    return false;
  }
  if (!text::equalsNoCase(parsed->program, outlookPath())) {
    record.outcome = u"started";
    return true;
  }
  const OutlookArguments args = readOutlookArguments(parsed->arguments);
  if (!args.unknown.empty()) {
    record.outcome = u"Outlook refused its command line (" + text::join(args.unknown, u" ") + u")";
    anomalies_.push_back(u"Outlook started with a command line it refuses: " +
                         printableCommand(commandLine));
    return true;
  }
  Launch request;
  request.commandLine = Text(commandLine);
  request.profile = args.profile;
  request.safeMode = args.safe;
  request.hidden = windowStyle == platform::kWindowHide;
  auto running = world_.current();
  if (running && !running->quitRequested()) {
    // A second Outlook.exe hands over to the running one, which keeps its profile.
    record.outcome = u"handed to the running Outlook";
    return true;
  }
  pending_.push_back(std::move(request));
  record.outcome = running ? u"Outlook starts once the running one has ended" : u"Outlook starts";
  return true;
}

}  // namespace korvanel::sim
