// The assembled machine and its add-in host: the host events in Outlook's order, Quit
// during the connection, restarts by command line (a new Outlook with the add-in connected
// again), keystrokes and dialogs through the running Outlook, Outlook's files, faults.
#include "sim/machine.h"

#include <gtest/gtest.h>

#include "sim/outlook_objects.h"

namespace korvanel::sim {
namespace {

using platform::ApplicationPtr;
using platform::COMAddInPtr;

constexpr char16_t kProgId[] = u"Korvanel.Connect";

IncomingMessage mailToPat() {
  IncomingMessage m;
  m.to = {u"pat@contoso.com"};
  m.subject = u"Hello";
  return m;
}

// What the test's add-in does at each host event; every event is logged.
struct AddInScript {
  std::vector<Text> log;
  std::function<void(const ApplicationPtr&, const COMAddInPtr&)> connection;
  std::function<void()> startupComplete;
  std::function<void()> terminate;
  int instances = 0;
};

class ScriptedAddIn final : public platform::AddIn {
 public:
  explicit ScriptedAddIn(AddInScript& script) : script_(script) { ++script_.instances; }
  void onConnection(const ApplicationPtr& app, long mode, const COMAddInPtr& inst) override {
    script_.log.push_back(u"OnConnection " + text::toText(mode));
    inst->setObject(object_);
    if (script_.connection) script_.connection(app, inst);
  }
  void onDisconnection(long mode) override {
    script_.log.push_back(u"OnDisconnection " + text::toText(mode));
  }
  void onAddInsUpdate() override { script_.log.push_back(u"OnAddInsUpdate"); }
  void onStartupComplete() override {
    script_.log.push_back(u"OnStartupComplete");
    if (script_.startupComplete) script_.startupComplete();
  }
  void onBeginShutdown() override { script_.log.push_back(u"OnBeginShutdown"); }
  void onTerminate() override {
    script_.log.push_back(u"Terminate");
    if (script_.terminate) script_.terminate();
  }

 private:
  struct Published final : platform::Dispatch {
    Variant get(TextView member) override { return Variant(Text(member)); }
    bool put(TextView, const Variant&) override { return true; }
    Variant call(TextView, const std::vector<Variant>&) override { return Variant(); }
  };
  AddInScript& script_;
  platform::DispatchPtr object_ = std::make_shared<Published>();
};

class MachineTest : public ::testing::Test {
 protected:
  explicit MachineTest(MachineOptions options = {}) : machine(std::move(options)) {
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com"};
    EXPECT_NE(machine.setUpExchangeProfile(seed), nullptr);
    OutlookProfileSeed other = seed;
    other.profileName = u"Pat2";
    EXPECT_NE(machine.setUpExchangeProfile(other), nullptr);
    machine.world().classes().registerAddIn(
        kProgId, [this] { return std::make_unique<ScriptedAddIn>(script); });
  }

  // The add-in's Terminate runs when the machine goes; the test's locals are gone by then.
  ~MachineTest() override {
    script.connection = nullptr;
    script.startupComplete = nullptr;
    script.terminate = nullptr;
  }

  // The Outlook command line the product builds.
  Text commandLine(TextView profile, TextView switches = u"") {
    return u"\"" + machine.outlookPath() + u"\"" + Text(switches) + u" /profile \"" +
           Text(profile) + u"\"";
  }

  OutlookProfileSeed seed;
  AddInScript script;
  Machine machine;
};

TEST_F(MachineTest, TheHostRaisesItsEventsInOutlooksOrder) {
  auto outlook = machine.startOutlook();
  ASSERT_NE(outlook, nullptr);
  EXPECT_EQ(outlook->profileName(), u"Outlook");
  EXPECT_EQ(script.log,
            (std::vector<Text>{u"OnConnection 1", u"OnAddInsUpdate", u"OnStartupComplete"}));
  EXPECT_NE(machine.addIn(kProgId), nullptr);
  // The page reaches the add-in's object through COMAddIns.
  auto entry = outlook->application()->comAddIns()->item(u"korvanel.connect");
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(entry->object(), nullptr);
  EXPECT_EQ(entry->object()->get(u"sPN").toText(), u"sPN");

  machine.quitOutlook();
  EXPECT_EQ(machine.outlook(), nullptr);
  EXPECT_EQ(script.log,
            (std::vector<Text>{u"OnConnection 1", u"OnAddInsUpdate", u"OnStartupComplete",
                               u"OnBeginShutdown", u"OnDisconnection 0", u"Terminate"}));
  ASSERT_EQ(machine.runs().size(), 1u);
  const OutlookRun& run = machine.runs()[0];
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(
      run.hostEvents,
      (std::vector<Text>{u"Korvanel.Connect OnConnection", u"Korvanel.Connect OnAddInsUpdate",
                         u"Korvanel.Connect OnStartupComplete", u"Korvanel.Connect OnBeginShutdown",
                         u"Korvanel.Connect OnDisconnection", u"Korvanel.Connect Release",
                         u"Korvanel.Connect Terminate"}));
  EXPECT_EQ(entry->object(), nullptr) << "Office drops the published object";
  EXPECT_TRUE(machine.anomalies().empty());
}

TEST_F(MachineTest, QuitDuringTheConnectionCompletesTheConnectionFirst) {
  script.connection = [this](const ApplicationPtr& app, const COMAddInPtr&) {
    app->quit();
    script.log.push_back(u"still connecting");
  };
  EXPECT_EQ(machine.startOutlook(), nullptr);
  EXPECT_EQ(script.log,
            (std::vector<Text>{u"OnConnection 1", u"still connecting", u"OnBeginShutdown",
                               u"OnDisconnection 0", u"Terminate"}));
  EXPECT_TRUE(machine.runs().back().ended);
}

TEST_F(MachineTest, AnAddInThatUnloadsItselfIsDisconnectedAndReleased) {
  script.connection = [](const ApplicationPtr&, const COMAddInPtr& inst) {
    inst->setConnect(false);
  };
  auto outlook = machine.startOutlook();
  ASSERT_NE(outlook, nullptr) << "Outlook runs on without it";
  EXPECT_EQ(script.log, (std::vector<Text>{u"OnConnection 1", u"OnDisconnection 1", u"Terminate"}));
  EXPECT_EQ(machine.addIn(kProgId), nullptr);
  EXPECT_FALSE(outlook->application()->comAddIns()->item(kProgId)->connect());
  machine.quitOutlook();
  EXPECT_EQ(script.log.size(), 3u) << "nothing more for an unloaded add-in";

  // Unloading later, from an event, waits until that event has returned.
  script = AddInScript();
  COMAddInPtr held;
  script.connection = [&](const ApplicationPtr&, const COMAddInPtr& inst) { held = inst; };
  outlook = machine.startOutlook();
  held->setConnect(false);
  EXPECT_EQ(script.log.back(), u"OnStartupComplete");
  outlook->pump();
  EXPECT_EQ(script.log.back(), u"Terminate");
}

TEST_F(MachineTest, ARestartStartsANewOutlookWithTheAddInConnectedAgain) {
  int restarts = 0;
  script.terminate = [&] {
    if (restarts++ == 0) {
      EXPECT_TRUE(machine.shell().startProcess(commandLine(u"Pat2"), platform::kWindowNormalFocus));
    }
  };
  machine.startOutlook();
  machine.outlook()->application()->quit();
  EXPECT_EQ(machine.runs().size(), 1u) << "the new Outlook waits for the old one to end";
  machine.runUntilIdle();

  ASSERT_EQ(machine.runs().size(), 2u);
  const OutlookRun& second = machine.runs()[1];
  EXPECT_TRUE(second.started);
  EXPECT_EQ(second.profile, u"Pat2");
  EXPECT_EQ(second.commandLine, commandLine(u"Pat2"));
  EXPECT_FALSE(second.safeMode);
  ASSERT_NE(machine.outlook(), nullptr);
  EXPECT_EQ(machine.outlook()->profileName(), u"Pat2");
  EXPECT_EQ(script.instances, 2);
  EXPECT_EQ(second.hostEvents.front(), u"Korvanel.Connect OnConnection");
  EXPECT_EQ(second.hostEvents.back(), u"Korvanel.Connect OnStartupComplete");
  EXPECT_EQ(machine.shell().processes().back().outcome,
            u"Outlook starts once the running one has ended");
}

TEST_F(MachineTest, AReReadCycleRunsThroughAHiddenSafeModeStart) {
  // Run 1 restarts on a temporary profile in safe mode with a hidden window; that run
  // quits while connecting and restarts on the base profile (run 3), which stays.
  int connections = 0;
  script.connection = [&](const ApplicationPtr& app, const COMAddInPtr&) {
    if (++connections == 2) app->quit();
  };
  int terminations = 0;
  script.terminate = [&] {
    ++terminations;
    if (terminations == 1) {
      machine.shell().startProcess(commandLine(u"Pat2", u" /safe:3"), platform::kWindowHide);
    } else if (terminations == 2) {
      machine.shell().startProcess(commandLine(u"Outlook"), platform::kWindowNormalFocus);
    }
  };
  machine.startOutlook();
  machine.quitOutlook();
  ASSERT_EQ(machine.runs().size(), 3u);
  EXPECT_TRUE(machine.runs()[1].safeMode);
  EXPECT_TRUE(machine.runs()[1].hidden);
  EXPECT_TRUE(machine.runs()[1].ended);
  EXPECT_EQ(machine.runs()[2].profile, u"Outlook");
  ASSERT_NE(machine.outlook(), nullptr);
  EXPECT_TRUE(machine.outlook()->hasExplorer());
  EXPECT_EQ(script.instances, 3);
}

TEST_F(MachineTest, StartsThatCannotHappenAreRecordedAsSuch) {
  machine.startOutlook();
  // Outlook 2003's path on a machine with 2007.
  const Text wrongVersion =
      u"\"C:\\Program Files\\Microsoft Office\\Office11\\Outlook.exe\" /profile \"Outlook\"";
  EXPECT_FALSE(machine.shell().startProcess(wrongVersion, 1));
  // A second Outlook while the first runs on hands over to it.
  EXPECT_TRUE(machine.shell().startProcess(commandLine(u"Pat2"), 1));
  EXPECT_EQ(machine.shell().processes().back().outcome, u"handed to the running Outlook");
  machine.world().faults().failOnce("Shell.startProcess");
  EXPECT_FALSE(machine.shell().startProcess(commandLine(u"Pat2"), 1));
  machine.runUntilIdle();
  EXPECT_EQ(machine.runs().size(), 1u);
  EXPECT_EQ(machine.pendingStarts(), 0u);

  // An unquoted profile name with a blank is a command line Outlook refuses.
  script.terminate = [&] {
    machine.shell().startProcess(u"\"" + machine.outlookPath() + u"\" /profile Pat Doe", 1);
  };
  machine.quitOutlook();
  EXPECT_EQ(machine.runs().size(), 1u);
  ASSERT_EQ(machine.anomalies().size(), 1u);

  // A profile that does not exist: Outlook does not start.
  EXPECT_EQ(machine.startOutlook(u"Nobody"), nullptr);
  EXPECT_FALSE(machine.runs().back().started);
}

TEST_F(MachineTest, ARestartLoopIsCutShort) {
  script.terminate = [&] { machine.shell().startProcess(commandLine(u"Outlook"), 1); };
  script.connection = [](const ApplicationPtr& app, const COMAddInPtr&) { app->quit(); };
  machine.startOutlook();
  EXPECT_EQ(machine.runs().size(), static_cast<std::size_t>(Machine::kMaxStartsPerRun) + 1);
  EXPECT_EQ(machine.outlook(), nullptr);
  EXPECT_EQ(machine.anomalies().size(), 1u);
}

TEST_F(MachineTest, KeystrokesAndDialogsGoThroughTheRunningOutlook) {
  auto outlook = machine.startOutlook();
  ASSERT_TRUE(outlook->openOptions());
  OptionsDialog& dialog = outlook->optionsDialog();
  EXPECT_EQ(dialog.selectedTab(), 0);
  machine.shell().sendKeys(u"+{TAB}", false);
  machine.shell().sendKeys(u"{END}", false);
  EXPECT_EQ(dialog.selectedTab(), 0) << "keys wait for the messages to be processed";
  machine.shell().doEvents();
  EXPECT_EQ(dialog.selectedTab(), static_cast<int>(dialog.tabs().size()) - 1);
  machine.shell().sendKeys(u"{Esc}", true);
  EXPECT_FALSE(dialog.isOpen());

  // A Right sent before an input box opens reaches the box, not Outlook.
  machine.shell().typeIntoInputBox(u" <pat@contoso.com>");
  machine.shell().sendKeys(u"{Right}", false);
  EXPECT_EQ(machine.shell().inputBox(u"Change selected identity:", u"Korvanel", u"Pat"),
            Text(u"Pat <pat@contoso.com>"));
  EXPECT_EQ(machine.shell().keyDeliveries().back().target, u"InputBox");

  // Outlook's own question goes through the same script.
  machine.shell().answerMessageBox(platform::kIdNo, u"save changes");
  auto window = outlook->newItem(platform::kOlMail);
  window->item->props.setText(PropKey::tag(prop::kSubject), u"Draft");
  window->item->saved = false;
  outlook->closeWindow(window);
  EXPECT_TRUE(machine.shell().scriptProblems().empty());
}

TEST_F(MachineTest, TheAccountsShortcutAndADigitSelectTheAccountInTheComposeWindow) {
  MailAccountSeed account;
  account.accountName = u"EX [Sales <sales@contoso.com>]";
  account.displayName = u"Sales";
  account.email = u"sales@contoso.com";
  account.pop3Server = u"none";
  account.smtpServer = u"none";
  ASSERT_NE(seedMailAccount(machine.registry(), u"Outlook", account), 0u);
  auto outlook = machine.startOutlook();
  auto window = outlook->newItem(platform::kOlMail);
  machine.shell().sendKeys(u"%n", false);
  machine.shell().sendKeys(u"2", false);
  machine.shell().doEvents();
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
}

TEST_F(MachineTest, OutlookKeepsItsFilesPerProfileAndTheMessagePumpDeliversEvents) {
  auto outlook = machine.startOutlook();
  const Text folder = machine.outlookDataFolder();
  EXPECT_EQ(machine.shell().listFiles(folder), (std::vector<Text>{u"Outlook.srs", u"Outlook.xml"}));
  EXPECT_EQ(machine.shell().environmentVariable(u"AppData") + u"\\Microsoft\\Outlook", folder);

  auto app = outlook->application();
  auto ns = app->getNamespace(u"MAPI");
  int added = 0;
  platform::Connection c = ns->getDefaultFolder(platform::kOlFolderDeletedItems)
                               ->items()
                               ->onItemAdd([&](const platform::ItemPtr&) { ++added; });
  auto item = makeItem(outlook, outlook->receive(mailToPat()));
  ASSERT_TRUE(item->deleteItem());
  EXPECT_EQ(added, 0);
  machine.shell().doEvents();
  EXPECT_EQ(added, 1);
}

class Outlook2003Machine : public MachineTest {
 protected:
  Outlook2003Machine() : MachineTest(MachineOptions{.version = 11}) {}
};

TEST_F(Outlook2003Machine, CdoAndWordComeWithOutlook2003) {
  auto outlook = machine.startOutlook();
  ASSERT_NE(outlook, nullptr);
  EXPECT_EQ(outlook->versionText(), u"11.0.8169.0");
  auto session = machine.services().objects.createCdoSession();
  ASSERT_NE(session, nullptr);
  EXPECT_TRUE(session->logon(u"", u"", false, false));
  EXPECT_EQ(session->name(), u"Outlook");
  auto window = outlook->reply(outlook->receive(mailToPat()));
  auto document = makeInspector(outlook, window)->wordEditor();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->application()->windowsCount(), 1);
  EXPECT_EQ(machine.services().objects.createOutlookApplication()->version(), u"11.0.8169.0");
  EXPECT_TRUE(machine.shell().startProcess(commandLine(u"Pat2"), 1) == true);
}

}  // namespace
}  // namespace korvanel::sim
