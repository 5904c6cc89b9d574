// How korvanel-sim runs scenarios beyond the happy road: a saved registry as the starting
// point, scripted answers that stay with their action, dialogs left open, steps that find
// nothing to act on, and messages that arrive while Outlook is closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "sim/sim_registry.h"
#include "temp_files.h"
#include "tools/korvanel-sim/cli.h"
#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/step_runner.h"
#include "tools/korvanel-sim/trace.h"

namespace korvanel::tool {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

struct Outcome {
  std::string story;
  nlohmann::json trace;
};

Outcome runScenario(const std::string& json, const std::string& baseDir = ".") {
  const Scenario scenario = parseScenario(json, "test.json", baseDir);
  Story story;
  StepRunner runner(scenario, story);
  runner.runAll();
  Outcome r;
  for (const std::string& line : story.lines()) r.story += line + "\n";
  r.trace = nlohmann::json::parse(
      buildTrace(runner.machine(), story, runner.accountNames(), scenario.faults).dump());
  return r;
}

const nlohmann::json* message(const nlohmann::json& trace, const std::string& id) {
  for (const auto& m : trace["messages"]) {
    if (m["id"] == id) return &m;
  }
  return nullptr;
}

TEST(ScenarioRun, ASavedRegistryStartsTheNextScenarioWithWhatThePageWrote) {
  TempFiles files;
  const std::string first = files.write("first.json", R"({
    "outlook": 11,
    "profile": {"user": "Pat Doe", "proxy_addresses": ["SMTP:pat@contoso.com", "smtp:support@contoso.com"],
                "mailboxes": [{"name": "Mailbox - Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"}]},
    "steps": [
      {"do": "start"},
      {"do": "options", "actions": [{"click": "cmdAdd", "input": ["Support <support@contoso.com>"]},
                                    {"click": "cmdSharedMailboxes"},
                                    {"press": "OK", "answers": ["No"]}]},
      {"do": "quit"}
    ]})");
  const std::string saved = files.path("saved.reg");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(runCommandLine({"run", first, "--save-registry", saved}, out, err), kExitOk)
      << err.str();

  const std::string second = files.write("second.json", R"({
    "outlook": 11,
    "registry": "saved.reg",
    "steps": [
      {"do": "start"},
      {"do": "receive", "id": "m1", "to": ["Pat Doe <support@contoso.com>"], "subject": "Printer"},
      {"do": "receive", "id": "m2", "folder": "Mailbox - Help Desk/Inbox", "to": ["helpdesk@contoso.com"], "subject": "Reset"},
      {"do": "select", "id": "m2"},
      {"do": "reply", "id": "m2", "window": "c2"},
      {"do": "send", "window": "c2"}
    ]})");
  std::ostringstream json;
  ASSERT_EQ(runCommandLine({"run", second, "--json"}, json, err), kExitOk) << err.str();
  const nlohmann::json trace = nlohmann::json::parse(json.str());
  ASSERT_NE(message(trace, "m1"), nullptr);
  EXPECT_EQ((*message(trace, "m1"))["account_name"], "EX [Support <support@contoso.com>]");
  // The organisation came back from the profile: the shared mailbox, its store and its owner.
  ASSERT_EQ(trace["transmitted"].size(), 1u);
  EXPECT_EQ(trace["transmitted"][0]["sent_representing"], "Help Desk <helpdesk@contoso.com>");
  EXPECT_EQ(trace["anomalies"], nlohmann::json::array());
}

TEST(ScenarioRun, AnswersStayWithTheirActionAndUnansweredBoxesTakeTheirDefault) {
  const Outcome r = runScenario(R"({
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"},
                               {"display": "Support", "email": "support@contoso.com"}]},
    "steps": [
      {"do": "start"},
      {"do": "options", "actions": [
        {"select": 0},
        {"click": "cmdRemove", "answers": ["Yes", "Yes", "Yes"]},
        {"click": "cmdRemoveAll"},
        {"press": "Cancel"}]}
    ]})");
  const nlohmann::json& dialogs = r.trace["dialogs"];
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0]["answer"], "Yes");
  EXPECT_EQ(dialogs[0]["scripted"], true);
  // The two answers left over from cmdRemove do not answer cmdRemoveAll's question.
  EXPECT_EQ(dialogs[1]["answer"], "No");
  EXPECT_EQ(dialogs[1]["scripted"], false);
  EXPECT_THAT(r.story, HasSubstr("The identity list reads: Support <support@contoso.com>.\n"));
  EXPECT_THAT(r.story, HasSubstr("(no answer was given: the default button)"));
}

TEST(ScenarioRun, ADialogLeftOpenIsCancelledBeforeTheNextStep) {
  // Mail arriving leaves the dialog open; selecting a message in the Explorer does not.
  const Outcome r = runScenario(R"({
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}]},
    "steps": [
      {"do": "start"},
      {"do": "options", "actions": [{"click": "cmdAdd", "input": ["Support <support@contoso.com>"]}]},
      {"do": "receive", "id": "m1", "to": ["Sales <sales@contoso.com>"], "subject": "Quote"},
      {"do": "select", "id": "m1"}
    ]})");
  EXPECT_THAT(r.story, HasSubstr("Support <support@contoso.com>.\n3. m1 \"Quote\""));
  EXPECT_THAT(
      r.story,
      HasSubstr(
          "The Options dialog is still open and the next step does not use it: it is cancelled.\n"
          "4. The user selects m1."));
  EXPECT_EQ((*message(r.trace, "m1"))["account_name"], "EX [Sales <sales@contoso.com>]");
  // Cancel writes nothing: Support never became an account.
  for (const auto& [key, values] : r.trace["registry"].items()) {
    if (values.contains("Account Name")) {
      EXPECT_NE(values["Account Name"].value("text", ""), "EX [Support <support@contoso.com>]");
    }
  }
}

TEST(ScenarioRun, NamedCallsFailToReproduceACustomersOutlook) {
  // The shared mailbox's reply is parked in Deleted Items and sent again from there; that
  // Send fails, as it would on the customer's machine.
  const std::string steps = R"(
    "profile": {"mailboxes": [{"name": "Mailbox - Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"}],
                "identities": [{"mailbox": "Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"}]},
    "steps": [
      {"do": "start"},
      {"do": "receive", "id": "m1", "to": ["Pat Doe <pat@contoso.com>"], "subject": "Ticket"},
      {"do": "select", "id": "m1"},
      {"do": "reply", "id": "m1", "window": "c1"},
      {"do": "choose_account", "window": "c1", "account": "EX MBX [Help Desk]"},
      {"do": "send", "window": "c1"}
    ]})";
  const Outcome failing = runScenario(
      R"({"faults": [{"call": "MailItem.Send", "occurrence": 1}, {"call": "Registry.deleteKey", "occurrence": "always"}],)" +
      steps);
  EXPECT_THAT(
      failing.story,
      HasSubstr("Failing calls: call 1 of MailItem.Send and every call of Registry.deleteKey."));
  EXPECT_THAT(failing.story, HasSubstr("could not be sent"));
  EXPECT_THAT(
      failing.story,
      HasSubstr("The run never made every call of Registry.deleteKey: nothing failed for it."));
  EXPECT_EQ(failing.trace["transmitted"].size(), 0u);
  EXPECT_EQ(failing.trace["faults"], nlohmann::json::parse(R"([
      {"call": "MailItem.Send", "occurrence": 1, "failed": 1},
      {"call": "Registry.deleteKey", "occurrence": "always", "failed": 0}])"));

  const Outcome healthy = runScenario("{" + steps);
  EXPECT_EQ(healthy.trace["transmitted"].size(), 1u);
  EXPECT_THAT(healthy.story, ::testing::Not(HasSubstr("Failing calls")));
  EXPECT_FALSE(healthy.trace.contains("faults")) << "a trace without faults stays as it was";
}

TEST(ScenarioRun, AWindowWithoutTheAccountsDropDownBorrowsOneMeetingWindowOnly) {
  // No window's drop-down can be found: the meeting window shown to borrow one is
  // activated in turn and must not borrow again (it did, without end, until the stack
  // overflowed).
  const Outcome r = runScenario(R"({
    "faults": [{"call": "CommandBars.FindControl", "occurrence": "always"}],
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}]},
    "steps": [
      {"do": "start"},
      {"do": "receive", "id": "m1", "to": ["Sales <sales@contoso.com>"], "subject": "Quote"},
      {"do": "select", "id": "m1"},
      {"do": "reply", "id": "m1", "window": "c1"},
      {"do": "send", "window": "c1"}
    ]})");
  EXPECT_EQ(r.trace["transmitted"].size(), 1u);
  EXPECT_EQ(r.trace["anomalies"].size(), 0u) << r.trace["anomalies"];
}

TEST(ScenarioRun, StepsThatFindNothingToActOnSaySoAndTheRunGoesOn) {
  const Outcome r = runScenario(R"({
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}]},
    "steps": [
      {"do": "receive", "id": "m1", "to": ["Sales <sales@contoso.com>"], "subject": "Early"},
      {"do": "start"},
      {"do": "receive", "id": "m2", "to": ["a@b.com"], "folder": "Inbox/Nowhere", "subject": "Lost"},
      {"do": "reply", "id": "m1", "window": "c1"},
      {"do": "choose_account", "window": "c1", "account": "No Such Account"},
      {"do": "send", "window": "c1"},
      {"do": "send", "window": "c1"},
      {"do": "quit"},
      {"do": "select", "id": "m1"}
    ]})");
  // Mail that came while Outlook was closed raises no new-mail event when it starts.
  EXPECT_THAT(r.story, HasSubstr("Outlook is not running, so nothing stamps it."));
  EXPECT_EQ((*message(r.trace, "m1"))["account_name"], "");
  EXPECT_THAT(r.story,
              HasSubstr("There is no folder \"Inbox/Nowhere\": the message is not delivered."));
  EXPECT_THAT(r.story, HasSubstr("The drop-down has no account \"No Such Account\"."));
  EXPECT_THAT(
      r.story,
      HasSubstr("The accounts drop-down of c1 shows \"Microsoft Exchange Server\" (position 1): m1 "
                "carries no identity."));
  EXPECT_THAT(r.story, HasSubstr("Window c1 is not open: nothing happens."));
  EXPECT_THAT(r.story,
              HasSubstr("9. The user selects m1.\n   Outlook is not running: nothing happens."));
  EXPECT_EQ(r.trace["transmitted"].size(), 1u);
}

TEST(ScenarioRun, MonitoredFoldersAndAccountsOfTheProfile) {
  const std::string scenario = R"({
    "outlook": VERSION,
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}],
                "monitored_folders": ["Inbox/Projects"],
                "accounts": [{"name": "Home", "type": "pop3", "email": "pat@home.example",
                              "pop3_server": "pop.home.example", "smtp_server": "smtp.home.example"}]},
    "steps": [
      {"do": "start"},
      {"do": "receive", "id": "m1", "folder": "Inbox/Projects", "to": ["Sales <sales@contoso.com>"], "subject": "P"},
      {"do": "new", "window": "n1"},
      {"do": "choose_account", "window": "n1", "account": "Home"}
    ]})";
  auto with = [&](const char* version) {
    std::string s = scenario;
    s.replace(s.find("VERSION"), 7, version);
    return runScenario(s);
  };
  // Outlook 2003 watches the monitored folder; the POP3 account comes before the identity.
  const Outcome old = with("11");
  EXPECT_EQ((*message(old.trace, "m1"))["account_name"], "EX [Sales <sales@contoso.com>]");
  EXPECT_THAT(old.story, HasSubstr("account \"EX [Sales <sales@contoso.com>]\" at position 3"));
  EXPECT_THAT(old.story, HasSubstr("The accounts drop-down of n1 shows \"Home\" (position 2)."));
  // Outlook 2007 has no monitored folders.
  const Outcome now = with("12");
  EXPECT_EQ((*message(now.trace, "m1"))["account_name"], "");
  EXPECT_THAT(now.story,
              HasSubstr("Korvanel watches the Inbox, not Mailbox - Pat Doe/Inbox/Projects."));
  EXPECT_THAT(now.story, HasSubstr("Had Korvanel looked at it: row 0 (Sales <sales@contoso.com>)"));
}

TEST(ScenarioRun, MessagesOfTheTraceComeFromEveryMailboxInAStableOrder) {
  const std::string scenario = R"({
    "profile": {"user": "Pat Doe", "proxy_addresses": ["SMTP:pat@contoso.com"],
                "mailboxes": [{"name": "Mailbox - Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"}]},
    "steps": [
      {"do": "start"},
      {"do": "receive", "id": "m1", "to": ["Pat Doe <pat@contoso.com>"], "subject": "One"},
      {"do": "receive", "id": "m2", "folder": "Mailbox - Help Desk/Inbox", "to": ["helpdesk@contoso.com"], "subject": "Two"},
      {"do": "new", "kind": "mail", "window": "n1"},
      {"do": "edit", "window": "n1", "to": ["Help Desk <helpdesk@contoso.com>"], "subject": "Three"},
      {"do": "send", "window": "n1"}
    ]})";
  const Outcome a = runScenario(scenario);
  const Outcome b = runScenario(scenario);
  EXPECT_EQ(a.trace["messages"], b.trace["messages"]);
  std::vector<std::string> ids;
  for (const auto& m : a.trace["messages"]) ids.push_back(m["id"]);
  // Pat's mailbox first; the copy delivered to the Help Desk is named after what was sent.
  EXPECT_EQ(ids, (std::vector<std::string>{"m1", "n1", "m2", "n1@helpdesk"}));
  EXPECT_THAT(a.story, HasSubstr("Help Desk <helpdesk@contoso.com> receives \"Three\""));
}

TEST(ScenarioRun, TheRegistryOfTheTraceDecodesTextValues) {
  const Outcome r = runScenario(
      R"({"profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}],
                                            "reply_format": 1}, "steps": []})");
  const nlohmann::json& registry = r.trace["registry"];
  bool sawIdentity = false;
  for (const auto& [key, values] : registry.items()) {
    if (!values.contains("Account Name") ||
        values["Account Name"]["text"] != "EX [Sales <sales@contoso.com>]")
      continue;
    sawIdentity = true;
    EXPECT_EQ(values["Account Name"]["type"], "REG_BINARY");
    EXPECT_EQ(values["Account Name"]["hex"].get<std::string>().substr(0, 11), "45 00 58 00");
  }
  EXPECT_TRUE(sawIdentity);
  std::vector<std::string> keys;
  for (const auto& [key, values] : registry.items()) keys.push_back(key);
  EXPECT_THAT(
      keys,
      Contains(
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\Outlook\\Addins\\Korvanel.Connect"));
  EXPECT_EQ(
      registry["HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\Outlook\\Addins\\Korvanel.Connect"]
              ["LoadBehavior"]["value"],
      3);
}

// A machine served over COM that cannot load the real DLLs: served, it would show no add-in
// or no page, a story that differs from the Linux one for want of a regsvr32.
class UnloadableDlls final : public OverCom {
 public:
  explicit UnloadableDlls(int& served) : served_(served) {}
  std::string unavailable() override {
    return "Korvanel.KorvanelPage is not registered: register KorvanelPage.dll with regsvr32";
  }
  platform::Registry& registry() override { return registry_; }
  void serve(sim::Machine&) override { ++served_; }
  void unserve() override {}
  std::unique_ptr<platform::AddIn> createAddIn(platform::TextView) override { return nullptr; }
  std::unique_ptr<PageUser> pageUser(sim::OptionsDialog&) override { return nullptr; }

 private:
  int& served_;
  sim::SimRegistry registry_;
};

TEST(ScenarioRun, OverComARealDllThatCannotBeLoadedStopsTheRunBeforeAnyStep) {
  TempFiles files;
  const std::string scenario = files.write("s.json", R"({
    "profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}]},
    "steps": [{"do": "start"}, {"do": "options"}, {"do": "quit"}]})");
  int served = 0;
  std::ostringstream out;
  std::ostringstream err;
  const int code = runCommandLine({"run", scenario, "--json", "--over-com"}, out, err,
                                  [&served] { return std::make_unique<UnloadableDlls>(served); });
  EXPECT_EQ(code, kExitFailure);
  EXPECT_EQ(served, 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "korvanel-sim: cannot run over COM: Korvanel.KorvanelPage is not registered: register "
            "KorvanelPage.dll with regsvr32\n");
}

}  // namespace
}  // namespace korvanel::tool
