#include "tools/korvanel-sim/demo.h"

#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/step_runner.h"

namespace korvanel::tool {

namespace {

constexpr std::string_view kDemo = R"json({
  "outlook": 12,
  "profile": {
    "name": "Outlook",
    "user": "Pat Doe",
    "proxy_addresses": ["SMTP:pat@contoso.com", "smtp:sales@contoso.com", "smtp:support@contoso.com"],
    "mailboxes": [{"name": "Mailbox - Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk",
                   "resolved": "Help Desk"}],
    "identities": [{"display": "Sales", "email": "sales@contoso.com"},
                   {"display": "Support", "email": "support@contoso.com"},
                   {"mailbox": "Help Desk", "dn": "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"}]
  },
  "steps": [
    {"do": "start"},
    {"do": "receive", "id": "m1", "from": "Ann Lee <ann@fabrikam.com>", "subject": "Quote for 40 chairs",
     "to": ["Sales <sales@contoso.com>"]},
    {"do": "select", "id": "m1"},
    {"do": "reply", "id": "m1", "window": "r1"},
    {"do": "edit", "window": "r1", "body": "Dear Ann, our quote is attached."},
    {"do": "send", "window": "r1"},
    {"do": "receive", "id": "m2", "read_receipt": true,
     "headers": "From: Bob Stone <bob@northwind.com>\nTo: \"Pat Doe\" <support@contoso.com>\nSubject: Printer on floor 3\nDisposition-Notification-To: bob@northwind.com\n"},
    {"do": "open", "id": "m2", "window": "w2"},
    {"do": "reply", "id": "m2", "window": "r2"},
    {"do": "send", "window": "r2"},
    {"do": "receive", "id": "m3", "folder": "Mailbox - Help Desk/Inbox", "from": "Carl Diaz <carl@northwind.com>",
     "subject": "Password reset", "to": ["Help Desk <helpdesk@contoso.com>"]},
    {"do": "select", "id": "m3"},
    {"do": "reply", "id": "m3", "window": "r3"},
    {"do": "send", "window": "r3"},
    {"do": "options", "actions": [{"click": "cmdAdd", "input": ["Sales Team <team@contoso.com>"]},
                                  {"press": "OK", "answers": ["Yes"]}]},
    {"do": "receive", "id": "m4", "from": "Ann Lee <ann@fabrikam.com>", "subject": "Delivery date",
     "to": ["Sales Team <team@contoso.com>"]},
    {"do": "select", "id": "m4"},
    {"do": "reply", "id": "m4", "window": "r4"},
    {"do": "send", "window": "r4"},
    {"do": "quit"}
  ]
})json";

}  // namespace

std::string_view demoScenarioText() { return kDemo; }

Scenario demoScenario(int outlookVersion) {
  Scenario s = parseScenario(kDemo, "(the demonstration)", ".");
  s.outlook = outlookVersion;
  return s;
}

Story runDemo() {
  Story story;
  story.heading("Korvanel demonstration.");
  story.heading(
      "Pat Doe's Exchange mailbox (pat@contoso.com) also receives mail for sales@contoso.com and");
  story.heading(
      "support@contoso.com, and Pat works in the shared mailbox Help Desk. Korvanel knows three");
  story.heading(
      "identities: Sales, Support and Help Desk. Every reply should leave from the identity at");
  story.heading("which the answered message arrived, without Pat choosing it.");
  for (int version : {12, 11}) {
    story.heading("");
    story.heading(version >= 12 ? "== Outlook 2007 ==" : "== Outlook 2003 ==");
    const Scenario scenario = demoScenario(version);
    StepRunner runner(scenario, story);
    runner.runAll();
  }
  return story;
}

}  // namespace korvanel::tool
