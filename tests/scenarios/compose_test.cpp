// Compose-time sender selection end to end: the add-in connected to the simulated Outlook
// 2003 and 2007 picks the identity's account in reply windows, leaves other windows alone,
// discards untouched new mail on close, and guards the accounts drop-down.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "addin/connect.h"
#include "addin/registration.h"
#include "addin/sender_resolution.h"
#include "profile/account_store.h"
#include "sim/machine.h"
#include "sim/outlook_app.h"

namespace korvanel::scenarios {
namespace {

using platform::kOlAppointment;
using platform::kOlMail;
using platform::kOlMeetingRequest;
using platform::kOlTask;
using platform::kOlTaskRequest;
using sim::InspectorHandle;
using sim::ModelItemPtr;
using sim::PropKey;
using text::Text;
using text::TextView;

constexpr char16_t kProfile[] = u"Outlook";
constexpr char16_t kHelpDeskDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";
constexpr char16_t kSalesAccount[] = u"EX [Sales <sales@contoso.com>]";
constexpr char16_t kSupportAccount[] = u"EX [Support <support@contoso.com>]";
constexpr char16_t kHelpDeskAccount[] = u"EX MBX [Help Desk]";
// As the Options page's Apply names it: the form of an identity account's name.
constexpr char16_t kExchangeAccount[] = u"EX [Pat Doe <pat@contoso.com>]";

Text accountKey(std::uint32_t id) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(id));
  return text::u16(buffer);
}

Text billingOf(const ModelItemPtr& item) {
  return item->props.getText(PropKey::named(sim::kPsetidCommon, sim::prop::kBilling));
}

class ComposeTest : public ::testing::TestWithParam<int> {
 protected:
  int version() const { return GetParam(); }
  bool is2003() const { return GetParam() < 12; }

  // Pat Doe's Exchange profile with the Help Desk mailbox opened beside Pat's own.
  void makeMachine(bool wordMail = false, long uiLanguage = 1033) {
    sim::MachineOptions options;
    options.version = version();
    options.wordMail = wordMail;
    options.uiLanguage = uiLanguage;
    machine = std::make_unique<sim::Machine>(options);
    machine->organisation().addMailbox(u"Help Desk", u"helpdesk", {u"SMTP:help@contoso.com"},
                                       kHelpDeskDn);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com",
                           u"smtp:support@contoso.com"};
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", kHelpDeskDn}};
    seed.exchangeAccountName = kExchangeAccount;
    ASSERT_NE(machine->setUpExchangeProfile(seed), nullptr);
    addin::registerAddinClasses(machine->world().classes(), machine->services());
  }

  // Identity accounts as the Options page writes them; the Exchange account is position 1,
  // so these are positions 2, 3 and 4.
  void addIdentities() {
    sales = addIdentity(kSalesAccount, u"Sales", u"sales@contoso.com");
    support = addIdentity(kSupportAccount, u"Support", u"support@contoso.com");
    helpDesk = addIdentity(kHelpDeskAccount, u"Help Desk", kHelpDeskDn);
  }

  Text addIdentity(TextView accountName, TextView display, TextView email) {
    profile::AccountStore store(machine->registry());
    const std::uint32_t id = store.GetNextAccountID(kProfile);
    EXPECT_TRUE(store.CreateIdentityAccount(kProfile, id, accountName, display, email, u"", u""));
    return accountKey(id);
  }

  void start() {
    outlook = machine->startOutlook();
    ASSERT_NE(outlook, nullptr);
    ASSERT_NE(connect(), nullptr);
    newInspectors = outlook->newInspectorEvent.connect(
        [this](const platform::InspectorPtr&) { ++windowsOpened; });
  }

  addin::Connect* connect() { return dynamic_cast<addin::Connect*>(machine->addIn()); }
  const addin::SharedState& state() { return connect()->state(); }

  ModelItemPtr receive(TextView to, TextView subject, TextView folder = u"Inbox") {
    sim::IncomingMessage m;
    m.to = {Text(to)};
    m.subject = Text(subject);
    return outlook->receive(m, folder);
  }

  static Text billing(const ModelItemPtr& item) { return billingOf(item); }
  static Text stampName(const ModelItemPtr& item) {
    return item->namedText(sim::prop::kAccountName);
  }

  std::vector<Text> keystrokes() const {
    std::vector<Text> out;
    for (const sim::KeysRecord& k : machine->shell().keys()) out.push_back(k.keys);
    return out;
  }
  std::vector<Text> messages() const {
    std::vector<Text> out;
    for (const sim::DialogRecord& d : machine->shell().dialogs()) out.push_back(d.text);
    return out;
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  platform::Connection newInspectors;
  int windowsOpened = 0;
  Text sales, support, helpDesk;
};

// ---- Sender selection

TEST_P(ComposeTest, ReplyFromAnOpenMessageSelectsTheIdentitysEntry) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"Support <support@contoso.com>", u"Quote");
  ASSERT_EQ(stampName(message), kSupportAccount);

  outlook->open(message);
  InspectorHandle reply = outlook->reply(message);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(billing(reply->item), addin::ProcessedMark);
  EXPECT_EQ(state().SenderKeys, u"3");
  // Position 3 is entry 3 of the drop-down on 2007 and entry 4 on 2003, whose list opens
  // with an extra entry: either way the Support account is chosen.
  EXPECT_EQ(reply->selectedAccountKey, support);
  EXPECT_EQ(outlook->sendingAccount(*reply->item)->name, kSupportAccount);
  EXPECT_TRUE(keystrokes().empty());
}

TEST_P(ComposeTest, ReplyFromTheMessageListTakesTheSelectedMessage) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"sales@contoso.com", u"Order");
  outlook->select({message});
  InspectorHandle reply = outlook->reply(message);
  EXPECT_EQ(state().SenderKeys, u"2");
  EXPECT_EQ(reply->selectedAccountKey, sales);
}

TEST_P(ComposeTest, ReplyInASharedMailboxTakesTheMailboxIdentityFromTheStore) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"help@contoso.com", u"Printer", u"Mailbox - Help Desk/Inbox");
  ASSERT_NE(message, nullptr);
  // A stamp naming another identity would win if the stamp were consulted.
  message->props.setText(PropKey::named(sim::kPsetidCommon, sim::prop::kAccountName),
                         kSalesAccount);
  outlook->select({message});
  InspectorHandle reply = outlook->reply(message);
  EXPECT_EQ(state().SenderKeys, u"4");
  EXPECT_EQ(reply->selectedAccountKey, helpDesk);
}

TEST_P(ComposeTest, AShortConversationIndexSkipsTheSearch) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"support@contoso.com", u"Quote");
  outlook->select({message});
  // Five bytes of index: ten characters, one short of what the search needs.
  sim::Outlook* o = outlook.get();
  platform::Connection cut = outlook->newInspectorEvent.connect([o](const platform::InspectorPtr&) {
    for (const auto& window : o->inspectors()) {
      if (!window->item->sent) {
        window->item->props.set(PropKey::tag(sim::prop::kConversationIndex), sim::kPtBinary,
                                platform::Variant(text::Bytes{1, 2, 3, 4, 5}));
      }
    }
  });
  InspectorHandle reply = outlook->reply(message);
  EXPECT_EQ(state().SenderKeys, u"1");
  EXPECT_NE(reply->selectedAccountKey, support);
  EXPECT_EQ(billing(reply->item), addin::ProcessedMark);
}

TEST_P(ComposeTest, ASecondActivationLeavesTheUsersChoice) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"support@contoso.com", u"Quote");
  outlook->select({message});
  InspectorHandle reply = outlook->reply(message);
  ASSERT_EQ(reply->selectedAccountKey, support);
  ASSERT_TRUE(outlook->chooseAccount(reply, kSalesAccount));
  ASSERT_EQ(reply->selectedAccountKey, sales);

  outlook->activateExplorer();
  outlook->activate(reply);
  EXPECT_EQ(reply->selectedAccountKey, sales);
  EXPECT_EQ(billing(reply->item), addin::ProcessedMark);
}

TEST_P(ComposeTest, ItemsNotNewOrMarkedBySomeoneElseAreLeftAlone) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"support@contoso.com", u"Quote");
  outlook->select({message});

  // BillingInformation filled by another program before the window is activated.
  sim::Outlook* o = outlook.get();
  platform::Connection mark =
      outlook->newInspectorEvent.connect([o](const platform::InspectorPtr&) {
        for (const auto& window : o->inspectors()) {
          if (!window->item->sent) {
            window->item->props.setText(PropKey::named(sim::kPsetidCommon, sim::prop::kBilling),
                                        u"Project 7");
          }
        }
      });
  InspectorHandle reply = outlook->reply(message);
  mark.reset();
  EXPECT_EQ(billing(reply->item), u"Project 7");
  EXPECT_TRUE(reply->selectedAccountKey.empty());

  // A saved draft opened again has an EntryID.
  ModelItemPtr draft = outlook->createItem(kOlMail);
  ASSERT_TRUE(outlook->saveItem(draft));
  InspectorHandle reopened = outlook->open(draft);
  EXPECT_TRUE(billing(draft).empty());
  EXPECT_TRUE(reopened->selectedAccountKey.empty());
}

TEST_P(ComposeTest, AReceivedMessageWhoseEntryIdCannotBeReadIsNotTakenForANewOne) {
  makeMachine();
  addIdentities();
  start();
  ModelItemPtr message = receive(u"support@contoso.com", u"Quote");
  ASSERT_TRUE(billing(message).empty());

  machine->faults().failAlways("MailItem.EntryID");
  InspectorHandle window = outlook->open(message);
  machine->faults().clear("MailItem.EntryID");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(billing(message).empty());
  EXPECT_TRUE(window->selectedAccountKey.empty());
  EXPECT_TRUE(keystrokes().empty());

  // A Sent that cannot be read does not keep a new reply from being handled.
  machine->faults().failAlways("MailItem.Sent");
  InspectorHandle reply = outlook->reply(message);
  machine->faults().clear("MailItem.Sent");
  EXPECT_EQ(billing(reply->item), addin::ProcessedMark);
}

TEST_P(ComposeTest, WithoutIdentitiesNothingIsTouchedOrHooked) {
  makeMachine();
  start();
  ModelItemPtr message = receive(u"support@contoso.com", u"Quote");
  outlook->select({message});
  const int before = windowsOpened;
  InspectorHandle reply = outlook->reply(message);
  outlook->newItem(kOlTask);
  EXPECT_TRUE(billing(reply->item).empty());
  EXPECT_TRUE(reply->selectedAccountKey.empty());
  EXPECT_EQ(outlook->standardBarResets, 0);
  EXPECT_EQ(windowsOpened - before, 2) << "no meeting window was borrowed";
  EXPECT_FALSE(state().SharedAccountsButton);
}

TEST_P(ComposeTest, OpeningAMessageCompletesAStampHeldBackForAReadReceipt) {
  makeMachine();
  addIdentities();
  start();
  sim::IncomingMessage m;
  m.to = {u"sales@contoso.com"};
  m.subject = u"Please confirm";
  m.readReceipt = true;
  ModelItemPtr message = outlook->receive(m);
  ASSERT_EQ(stampName(message), kSalesAccount);
  ASSERT_TRUE(message->namedText(sim::prop::kAccountStamp).empty());

  outlook->open(message);
  EXPECT_EQ(message->namedText(sim::prop::kAccountStamp), sales + u"\x0001" + u"sales@contoso.com");
  EXPECT_FALSE(message->props.get(PropKey::tag(sim::prop::kReadReceiptRequested)).toBool());
}

// ---- Keystrokes where the mail window has no drop-down (Word as editor on 2003)

// Outlook 2003 with Word as the mail editor and `count` address identities on Pat's
// Exchange account: identity k (from 1) is at position k + 1.
struct WordMail2003 {
  WordMail2003(long language, int count) {
    sim::MachineOptions options;
    options.version = 11;
    options.wordMail = true;
    options.uiLanguage = language;
    machine = std::make_unique<sim::Machine>(options);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com"};
    for (int k = 1; k <= count; ++k) seed.proxyAddresses.push_back(u"smtp:" + address(k));
    EXPECT_NE(machine->setUpExchangeProfile(seed), nullptr);
    addin::registerAddinClasses(machine->world().classes(), machine->services());
    profile::AccountStore store(machine->registry());
    for (int k = 1; k <= count; ++k) {
      const std::uint32_t id = store.GetNextAccountID(kProfile);
      const Text name = u"Desk " + text::toText(k);
      EXPECT_TRUE(store.CreateIdentityAccount(
          kProfile, id, u"EX [" + name + u" <" + address(k) + u">]", name, address(k), u"", u""));
      keys.push_back(accountKey(id));
    }
    outlook = machine->startOutlook();
    EXPECT_NE(outlook, nullptr);
  }

  static Text address(int k) { return u"desk" + text::toText(k) + u"@contoso.com"; }

  // A reply, from the message list, to a message sent to identity k.
  InspectorHandle replyTo(int k) {
    sim::IncomingMessage m;
    m.to = {address(k)};
    m.subject = u"Order";
    ModelItemPtr message = outlook->receive(m);
    outlook->select({message});
    return outlook->reply(message);
  }

  std::vector<Text> typed() const {
    std::vector<Text> out;
    for (const sim::KeysRecord& k : machine->shell().keys()) out.push_back(k.keys);
    return out;
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  std::vector<Text> keys;
};

TEST(ComposeKeystrokes, EnglishInterfaceTypesTheShortcutAndThePosition) {
  for (long language : {1033L, 0x0411L}) {
    SCOPED_TRACE(language);
    WordMail2003 w(language, 1);
    ASSERT_NE(w.outlook, nullptr);
    InspectorHandle reply = w.replyTo(1);
    if (language == 1033) {
      EXPECT_EQ(w.typed(), (std::vector<Text>{u"%n", u"2"}));
      EXPECT_EQ(reply->selectedAccountKey, w.keys[0]);
    } else {
      EXPECT_TRUE(w.typed().empty());
      EXPECT_TRUE(reply->selectedAccountKey.empty());
    }
  }
}

TEST(ComposeKeystrokes, OnlySingleDigitPositionsAreTyped) {
  // Positions 2 to 12. The accounts menu takes one digit: "10" or "12" would choose the
  // first account, so these replies keep the account Outlook gave them.
  WordMail2003 w(1033, 11);
  ASSERT_NE(w.outlook, nullptr);
  InspectorHandle ninth = w.replyTo(8);
  EXPECT_EQ(w.typed(), (std::vector<Text>{u"%n", u"9"}));
  EXPECT_EQ(ninth->selectedAccountKey, w.keys[7]);

  for (int k : {9, 11}) {
    SCOPED_TRACE(k);
    InspectorHandle reply = w.replyTo(k);
    EXPECT_EQ(billingOf(reply->item), addin::ProcessedMark);
    EXPECT_EQ(dynamic_cast<addin::Connect*>(w.machine->addIn())->state().SenderKeys,
              text::toText(k + 1));
    EXPECT_EQ(w.typed().size(), 2u) << "nothing more was typed";
    EXPECT_TRUE(reply->selectedAccountKey.empty());
  }
}

// ---- Closing new mail

TEST_P(ComposeTest, UntouchedNewMailClosesWithoutTheSaveQuestion) {
  makeMachine();
  addIdentities();
  start();
  InspectorHandle untouched = outlook->newItem(kOlMail);
  ASSERT_EQ(billing(untouched->item), addin::ProcessedMark);
  EXPECT_TRUE(outlook->closeWindow(untouched));
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(state().InspectorWrappers.empty());

  // With a recipient typed in, Outlook asks as usual.
  InspectorHandle addressed = outlook->newItem(kOlMail);
  sim::RecipientRecord ann;
  ann.text = ann.name = u"ann@fabrikam.com";
  addressed->item->recipients.push_back(ann);
  outlook->closeWindow(addressed);
  EXPECT_EQ(messages(), (std::vector<Text>{u"Do you want to save changes?"}));

  // A form changed a user property: not discarded, once.
  InspectorHandle formed = outlook->newItem(kOlMail);
  formed->item->customPropertyChange.emit(u"Approval");
  outlook->closeWindow(formed);
  EXPECT_EQ(messages().size(), 2u);
  InspectorHandle next = outlook->newItem(kOlMail);
  outlook->closeWindow(next);
  EXPECT_EQ(messages().size(), 2u) << "the flag went with the close that saw it";
  EXPECT_TRUE(state().InspectorWrappers.empty());
}

TEST_P(ComposeTest, ClosingAnUntouchedWindowNeverLetsAnotherBeDiscarded) {
  makeMachine();
  addIdentities();
  start();
  // A form sets a user property of the mail in one window; another window is opened and
  // closed untouched before it.
  InspectorHandle formed = outlook->newItem(kOlMail);
  formed->item->customPropertyChange.emit(u"Approval");
  InspectorHandle untouched = outlook->newItem(kOlMail);
  EXPECT_TRUE(outlook->closeWindow(untouched));
  EXPECT_TRUE(messages().empty());

  // The form's window still asks before its change is lost.
  machine->shell().answerMessageBox(platform::kIdCancel);
  EXPECT_FALSE(outlook->closeWindow(formed));
  EXPECT_EQ(messages(), (std::vector<Text>{u"Do you want to save changes?"}));
  EXPECT_TRUE(formed->isOpen);
  EXPECT_FALSE(formed->item->removed);
}

// ---- The account guard

TEST_P(ComposeTest, GuardRefusesIdentityAccountsWhereTheyCannotSend) {
  makeMachine();
  addIdentities();
  start();
  const Text refusedHelpDesk =
      u"Sorry, you cannot use account 'EX MBX [Help Desk]' to send this message.";
  const Text refusedSales =
      u"Sorry, you cannot use account 'EX [Sales <sales@contoso.com>]' to send this message.";

  InspectorHandle appointment = outlook->newItem(kOlAppointment);
  const Text before = appointment->selectedAccountKey;
  outlook->chooseAccount(appointment, kHelpDeskAccount);
  EXPECT_EQ(appointment->selectedAccountKey, before) << "the selection stays";
  outlook->chooseAccount(appointment, kSalesAccount);
  if (is2003()) {
    EXPECT_EQ(messages(), (std::vector<Text>{refusedHelpDesk, refusedSales}));
    EXPECT_EQ(appointment->selectedAccountKey, before);
  } else {
    EXPECT_EQ(messages(), (std::vector<Text>{refusedHelpDesk}));
    EXPECT_EQ(appointment->selectedAccountKey, sales);
  }
  // The Exchange account, named like an identity's since Apply, is the user's own.
  outlook->chooseAccount(appointment, kExchangeAccount);
  EXPECT_EQ(appointment->selectedAccountKey, accountKey(2));
  ASSERT_FALSE(machine->shell().dialogs().empty());
  EXPECT_EQ(machine->shell().dialogs()[0].title, u"Korvanel");
  EXPECT_EQ(machine->shell().dialogs()[0].style, 48);

  const std::size_t shown = messages().size();
  InspectorHandle task = outlook->newItem(kOlTaskRequest);
  outlook->chooseAccount(task, kSalesAccount);
  outlook->chooseAccount(task, kHelpDeskAccount);
  outlook->chooseAccount(task, kExchangeAccount);
  EXPECT_EQ(messages().size(), shown + 2);
  EXPECT_EQ(messages().back(), refusedHelpDesk);
  EXPECT_EQ(task->selectedAccountKey, accountKey(2)) << "the Exchange account was allowed";

  InspectorHandle meeting = outlook->newItem(kOlMeetingRequest);
  outlook->chooseAccount(meeting, kSalesAccount);
  EXPECT_EQ(messages().size(), shown + 2 + (is2003() ? 1 : 0));

  // Mail is never checked.
  InspectorHandle mail = outlook->newItem(kOlMail);
  outlook->chooseAccount(mail, kHelpDeskAccount);
  EXPECT_EQ(mail->selectedAccountKey, helpDesk);
  EXPECT_EQ(messages().size(), shown + 2 + (is2003() ? 1 : 0));
}

// The user who went to the message list and comes back to a task request's drop-down
// activates its window first: the guard is that window's again.
TEST_P(ComposeTest, GuardHoldsInAWindowTheUserComesBackTo) {
  makeMachine();
  addIdentities();
  start();
  InspectorHandle task = outlook->newItem(kOlTaskRequest);
  const Text before = task->selectedAccountKey;
  outlook->activateExplorer();
  outlook->chooseAccount(task, kHelpDeskAccount);
  EXPECT_EQ(messages(),
            std::vector<Text>{
                u"Sorry, you cannot use account 'EX MBX [Help Desk]' to send this message."});
  EXPECT_EQ(task->selectedAccountKey, before);
}

// A meeting sent from an address identity on Outlook 2007 reaches ItemSend as its request and
// leaves through the Exchange account with the identity as its reply-to.
TEST_P(ComposeTest, AMeetingFromAnAddressIdentityLeavesThroughExchange) {
  if (is2003()) GTEST_SKIP() << "Outlook 2003 refuses identity accounts for meetings";
  makeMachine();
  addIdentities();
  start();
  InspectorHandle meeting = outlook->newItem(kOlMeetingRequest);
  outlook->chooseAccount(meeting, kSalesAccount);
  sim::RecipientRecord ann;
  ann.text = u"ann@fabrikam.com";
  ann.type = platform::kOlTo;
  meeting->item->recipients.push_back(ann);
  outlook->pressSend(meeting);
  machine->runUntilIdle();
  ASSERT_EQ(machine->world().transmissions.size(), 1u);
  const sim::Transmission& sent = machine->world().transmissions[0];
  EXPECT_EQ(sent.account, kExchangeAccount);
  EXPECT_EQ(sent.replyTo, std::vector<Text>{u"Sales [smtp:<sales@contoso.com>]"});
  EXPECT_TRUE(machine->anomalies().empty());
  EXPECT_EQ(meeting->item->itemClass, kOlAppointment) << "the meeting stays in the calendar";
}

TEST_P(ComposeTest, TheFirstWindowWithoutADropDownBorrowsAMeetingWindowOnce) {
  makeMachine();
  addIdentities();
  start();
  InspectorHandle first = outlook->newItem(kOlTask);
  EXPECT_EQ(windowsOpened, 2) << "the task and the borrowed meeting window";
  EXPECT_TRUE(state().SharedAccountsButton);
  EXPECT_EQ(outlook->activeInspector(), first);
  EXPECT_EQ(outlook->inspectors().size(), 1u) << "the meeting window was closed";
  EXPECT_TRUE(outlook->folderByPath(u"Calendar")->items.empty()) << "and discarded";

  outlook->newItem(kOlTask);
  outlook->newItem(kOlAppointment);
  EXPECT_EQ(windowsOpened, 4) << "later windows reuse the shared hook";

  // The guard still hears the first task's choice with the flags of that window.
  outlook->activate(first);
  outlook->chooseAccount(first, kSalesAccount);
  EXPECT_EQ(messages().size(), 1u);
}

TEST_P(ComposeTest, AMeetingWindowIsBorrowedOnceAndNeverFromInsideABorrow) {
  makeMachine();
  addIdentities();
  start();
  // No window finds a drop-down, the borrowed meeting windows neither. Past five windows
  // no item can be created, only to keep borrows that never end from taking the test down.
  machine->faults().failAlways("CommandBars.FindControl");
  platform::Connection bound = outlook->newInspectorEvent.connect([this](const auto&) {
    if (windowsOpened >= 5) machine->faults().failAlways("Application.CreateItem");
  });
  InspectorHandle task = outlook->newItem(kOlTask);
  EXPECT_EQ(windowsOpened, 2) << "the task and one borrowed meeting window";
  EXPECT_EQ(outlook->inspectors().size(), 1u) << "the meeting window was closed";
  EXPECT_TRUE(outlook->folderByPath(u"Calendar")->items.empty());
  EXPECT_FALSE(state().SharedAccountsButton);

  // The same item activated again borrows no more.
  outlook->activateExplorer();
  outlook->activate(task);
  EXPECT_EQ(windowsOpened, 2);

  // Another item without a drop-down has its own one borrow.
  outlook->newItem(kOlAppointment);
  EXPECT_EQ(windowsOpened, 4);
  EXPECT_EQ(outlook->inspectors().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Outlook, ComposeTest, ::testing::Values(11, 12),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param < 12 ? "Outlook2003" : "Outlook2007";
                         });

}  // namespace
}  // namespace korvanel::scenarios
