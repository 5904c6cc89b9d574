// The identity engine when Outlook, CDO, MAPI or the shell fail under it: a parked message
// whose re-send fails, and a sweep of failing platform calls over arrival and sending.
#include <gtest/gtest.h>

#include <string>

#include "identity_engine_fixture.h"

namespace korvanel::scenarios::engine {
namespace {

class ParkedResend : public EngineFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { startMachine(GetParam()); }

  // A reply from the shared mailbox identity, which both versions park for re-send.
  sim::InspectorHandle mailboxReply() {
    const ModelItemPtr received = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Ticket"));
    sim::InspectorHandle window = replyTo(received, u"Fixed.");
    EXPECT_TRUE(outlook->chooseAccount(window, kHelpDeskAccount));
    return window;
  }

  const sim::DialogRecord* lastNotice() {
    const auto& dialogs = machine->shell().dialogs();
    return dialogs.empty() ? nullptr : &dialogs.back();
  }
};

TEST_P(ParkedResend, FailedResendGoesBackToDraftsWithANotice) {
  sim::InspectorHandle window = mailboxReply();
  const ModelItemPtr reply = window->item;
  machine->faults().failOnce("MailItem.Send");  // the add-in's Send from Deleted Items
  outlook->pressSend(window);

  EXPECT_TRUE(transmitted(u"RE: Ticket").empty());
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"RE: Ticket").empty());
  const auto drafts = itemsIn(platform::kOlFolderDrafts, u"RE: Ticket");
  ASSERT_EQ(drafts.size(), 1u);
  EXPECT_EQ(drafts[0]->namedText(prop::kBilling), u"");
  EXPECT_EQ(drafts[0]->text(prop::kBody), u"Fixed.");
  const sim::DialogRecord* notice = lastNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->title, u"Korvanel");
  EXPECT_EQ(notice->style, 48);
  EXPECT_NE(notice->text.find(u"\"RE: Ticket\" could not be sent"), Text::npos);
  EXPECT_NE(notice->text.find(u"Drafts"), Text::npos);
  EXPECT_FALSE(state().SkipNextSend);

  // The flag did not outlive the failed Send: the next reply is completed as usual.
  const ModelItemPtr quote = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Quote"));
  sim::InspectorHandle next = replyTo(quote);
  EXPECT_TRUE(outlook->pressSend(next));
  const auto sent = transmitted(u"RE: Quote");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Sales [smtp:<sales@contoso.com>]"});

  // Sent again from Drafts, the message goes on the mailbox's behalf.
  sim::InspectorHandle again = outlook->open(drafts[0]);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(outlook->pressSend(again));
  const auto resent = transmitted(u"RE: Ticket");
  ASSERT_EQ(resent.size(), 1u);
  EXPECT_EQ(resent[0]->sentRepresenting, u"Help Desk <help@contoso.com>");
  EXPECT_EQ(resent[0]->account, kExchangeAccount);
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(ParkedResend, WhenDraftsCannotTakeItTheNoticeSaysWhereItIs) {
  sim::InspectorHandle window = mailboxReply();
  machine->faults().failOnce("MailItem.Send");
  machine->faults().failAlways("MailItem.Move");
  outlook->pressSend(window);
  machine->faults().clearAll();

  const auto deleted = itemsIn(platform::kOlFolderDeletedItems, u"RE: Ticket");
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0]->namedText(prop::kBilling), u"");
  const sim::DialogRecord* notice = lastNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_NE(notice->text.find(u"Deleted Items"), Text::npos);
  EXPECT_NE(notice->text.find(u"before you empty it"), Text::npos);
  EXPECT_FALSE(state().SkipNextSend);
}

TEST_P(ParkedResend, ParkingThatCannotBeSavedKeepsTheWindowOpen) {
  sim::InspectorHandle window = mailboxReply();
  // Outlook 2007 saves the parked item itself; Outlook 2003 writes the marker through CDO.
  machine->faults().failAlways(is2003() ? "CdoMessage.Update" : "MailItem.Save");
  outlook->pressSend(window);
  machine->faults().clearAll();

  EXPECT_TRUE(window->isOpen);
  EXPECT_FALSE(window->item->removed);
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"RE: Ticket").empty());
  EXPECT_TRUE(transmitted(u"RE: Ticket").empty());
  const sim::DialogRecord* notice = lastNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->title, u"Korvanel");
  EXPECT_NE(notice->text.find(u"still open"), Text::npos);

  // The user sends again once the store works: the message leaves on the mailbox's behalf.
  EXPECT_TRUE(outlook->pressSend(window));
  const auto sent = transmitted(u"RE: Ticket");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->sentRepresenting, u"Help Desk <help@contoso.com>");
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(ParkedResend, MessageThatCannotBeCompletedKeepsItsStamp) {
  sim::InspectorHandle window = mailboxReply();
  // Outlook 2003 cannot add the sender represented; Outlook 2007 cannot write the stamp.
  machine->faults().failOnCall(is2003() ? "CdoFields.Add" : "PropertyAccessor.SetProperty",
                               is2003() ? 1 : 2);
  outlook->pressSend(window);
  machine->faults().clearAll();

  EXPECT_TRUE(window->isOpen);
  EXPECT_TRUE(transmitted(u"RE: Ticket").empty());
  EXPECT_EQ(accountNameOn(*window->item), kHelpDeskAccount);
  EXPECT_EQ(accountStampOn(*window->item), stampOf(kHelpDeskAccount));
  EXPECT_EQ(window->item->text(prop::kSentRepresentingName), u"");
}

INSTANTIATE_TEST_SUITE_P(Outlook, ParkedResend, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

// ---- The sweep.

const char* const kFaultyCalls[] = {
    "MailItem.Save",
    "MailItem.Delete",
    "MailItem.Send",
    "MailItem.Close",
    "MailItem.Move",
    "MailItem.PropertyAccessor",
    "MailItem.ReplyRecipients",
    "MailItem.Recipients",
    "MailItem.BillingInformation",
    "MailItem.SentOnBehalfOfName",
    "MailItem.Categories",
    "MailItem.EntryID",
    "MailItem.Sent",
    "MailItem.SendUsingAccount",
    "MailItem.UserProperties",
    "MailItem.Parent",
    "MailItem.GetInspector",
    "MailItem.ReadReceiptRequested",
    "MailItem.MAPIOBJECT",
    "MailItem.Subject",
    "PropertyAccessor.GetProperty",
    "PropertyAccessor.SetProperty",
    "PropertyAccessor.DeleteProperty",
    "PropertyAccessor.GetProperties",
    "PropertyAccessor.SetProperties",
    "ReplyRecipients.Add",
    "ReplyRecipients.Remove",
    "ReplyRecipients.ResolveAll",
    "ReplyRecipients.Count",
    "ReplyRecipients.Item",
    "Recipients.Count",
    "Recipients.Item",
    "Recipients.ResolveAll",
    "Recipient.Name",
    "Recipient.Address",
    "Recipient.AddressEntry",
    "AddressEntry.Type",
    "AddressEntry.AddressEntryUserType",
    "NameSpace.GetItemFromID",
    "NameSpace.GetDefaultFolder",
    "NameSpace.Accounts",
    "Account.DisplayName",
    "Folder.EntryID",
    "Folder.Name",
    "Inspector.IsWordMail",
    "Inspector.WordEditor",
    "CdoSession.GetMessage",
    "CdoMessage.Fields",
    "CdoMessage.Update",
    "CdoFields.Item",
    "CdoFields.Add",
    "CdoField.Value",
    "CdoField.SetValue",
    "CdoField.Delete",
    "Mapi.HrGetOneProp",
    "Mapi.MAPIFreeBuffer",
    "Shell.doEvents",
    "Shell.messageBox",
    "Shell.sleep",
    "WordDocument.Application",
    "WordDocument.Close",
    "WordApplication.Quit",
    "WordApplication.Windows",
    "WordApplication.CustomizationContext",
};

enum class Mode { kOnce, kAlways };

class FaultSweep : public EngineFixture {
 public:
  void inject(const char* op, Mode mode) {
    if (mode == Mode::kOnce) {
      machine->faults().failOnce(op);
    } else {
      machine->faults().failAlways(op);
    }
  }

  // The reply is not lost: it left once, or the user still has it (its window open, or
  // saved anywhere but Deleted Items), with what the user wrote.
  void expectReplyKept(const ModelItemPtr& reply, TextView subject, TextView body) {
    const auto sent = transmitted(subject);
    ASSERT_LE(sent.size(), 1u);
    if (sent.size() == 1) {
      EXPECT_EQ(sent[0]->to, std::vector<Text>{u"Ann <ann@fabrikam.com>"});
      for (const auto& copy : itemsIn(platform::kOlFolderSentMail, subject)) {
        EXPECT_EQ(copy->text(prop::kBody), body);
      }
      return;
    }
    ASSERT_FALSE(reply->removed) << "neither sent nor kept";
    const sim::InspectorHandle window = outlook->inspectorOf(*reply);
    const bool open = window && window->isOpen;
    const sim::ModelFolderPtr where = reply->parentFolder();
    EXPECT_TRUE(open || where) << "closed without being saved";
    EXPECT_NE(where, folder(platform::kOlFolderDeletedItems)) << "left in Deleted Items";
    EXPECT_EQ(reply->text(prop::kBody), body);
    ASSERT_EQ(reply->recipients.size(), 1u);
    EXPECT_EQ(reply->recipients[0].address, u"ann@fabrikam.com");
  }
};

TEST(IdentityEngineFaults, ArrivalNeverLosesTheMessageOrTouchesOtherProperties) {
  for (int version : {11, 12}) {
    for (Mode mode : {Mode::kOnce, Mode::kAlways}) {
      for (const char* op : kFaultyCalls) {
        SCOPED_TRACE(std::string(op) + (mode == Mode::kOnce ? " once" : " always") + ", Outlook " +
                     std::to_string(version));
        FaultSweep run;
        run.startMachine(version);
        IncomingMessage message = EngineFixture::mailTo(u"Sales <sales@contoso.com>", u"Quote");
        message.readReceipt = true;
        const ModelItemPtr item =
            run.machine->world().deliver(run.folder(platform::kOlFolderInbox), message);
        ASSERT_NE(item, nullptr);
        const auto before = EngineFixture::snapshot(*item);
        run.inject(op, mode);
        run.outlook->pump();
        // Opening it completes the held-back stamp. (The compose-time sender selection takes
        // a message whose EntryID cannot be read for a new one, so that fault stops here.)
        if (std::string(op) == "MailItem.EntryID") run.machine->faults().clearAll();
        run.outlook->open(item);
        run.machine->faults().clearAll();

        EXPECT_FALSE(item->removed);
        EXPECT_EQ(item->parentFolder(), run.folder(platform::kOlFolderInbox));
        auto after = EngineFixture::snapshot(*item);
        // Completing the stamp clears the receipt request.
        std::erase_if(after, [](const auto& entry) {
          return std::get<0>(entry) == PropKey::tag(prop::kReadReceiptRequested);
        });
        auto expected = EngineFixture::withoutAccountProperties(before);
        std::erase_if(expected, [](const auto& entry) {
          return std::get<0>(entry) == PropKey::tag(prop::kReadReceiptRequested);
        });
        EXPECT_TRUE(EngineFixture::withoutAccountProperties(after) == expected);
        EXPECT_FALSE(run.state().SkipNextSend);
      }
    }
  }
}

TEST(IdentityEngineFaults, SendingNeverLosesTheReplyOrTouchesTheAnsweredMessage) {
  for (int version : {11, 12}) {
    for (bool mailbox : {false, true}) {
      for (Mode mode : {Mode::kOnce, Mode::kAlways}) {
        for (const char* op : kFaultyCalls) {
          SCOPED_TRACE(std::string(op) + (mode == Mode::kOnce ? " once" : " always") +
                       (mailbox ? ", mailbox reply" : ", alias reply") + ", Outlook " +
                       std::to_string(version));
          FaultSweep run;
          run.startMachine(version);
          const ModelItemPtr received = run.outlook->receive(EngineFixture::mailTo(
              mailbox ? u"Pat Doe <pat@contoso.com>" : u"Sales <sales@contoso.com>", u"Quote"));
          sim::InspectorHandle window = run.replyTo(received, u"Our quote.");
          ASSERT_NE(window, nullptr);
          if (mailbox) {
            ASSERT_TRUE(run.outlook->chooseAccount(window, kHelpDeskAccount));
          }
          const ModelItemPtr reply = window->item;
          const auto answered = EngineFixture::snapshot(*received);

          run.inject(op, mode);
          run.outlook->pressSend(window);
          run.machine->faults().clearAll();
          run.outlook->pump();

          run.expectReplyKept(reply, u"RE: Quote", u"Our quote.");
          EXPECT_TRUE(EngineFixture::snapshot(*received) == answered);
          EXPECT_FALSE(run.state().SkipNextSend);
          // What the simulated Outlook refused or Word asked. On Outlook 2003 a message whose
          // CDO message cannot be had is sent unchanged, and Outlook refuses the identity
          // account it points at, keeping the message; without its customisation context
          // set, Word asks about its template when it quits.
          for (const Text& anomaly : run.machine->anomalies()) {
            const bool refusedOn2003 =
                version < 12 && anomaly.find(u"which cannot transmit") != Text::npos;
            const bool wordAsked = std::string(op) == "WordApplication.CustomizationContext";
            EXPECT_TRUE(refusedOn2003 || wordAsked) << text::toUtf8(anomaly);
          }
        }
      }
    }
  }
}

// The calls with which a send reads and changes the message.
const char* const kSendingCalls[] = {
    "MailItem.PropertyAccessor",
    "MailItem.ReplyRecipients",
    "MailItem.SentOnBehalfOfName",
    "MailItem.BillingInformation",
    "MailItem.Save",
    "PropertyAccessor.GetProperty",
    "PropertyAccessor.SetProperty",
    "ReplyRecipients.Add",
    "ReplyRecipients.Remove",
    "ReplyRecipients.Count",
    "CdoMessage.Update",
    "CdoFields.Item",
    "CdoFields.Add",
    "CdoField.Value",
    "CdoField.Delete",
};

// Whatever failed under the first Send, the message that leaves, at the first Send or at the
// user's next, leaves from the identity it was written as: the alias as the only reply-to,
// the shared mailbox as the sender represented, never a mix of them or the user's own address.
TEST(IdentityEngineFaults, SendPressedAgainLeavesFromTheSameIdentity) {
  for (int version : {11, 12}) {
    for (bool mailbox : {false, true}) {
      for (int nth : {0, 1, 2, 3}) {
        for (const char* op : kSendingCalls) {
          SCOPED_TRACE(std::string(op) +
                       (nth == 0 ? " always" : " on call " + std::to_string(nth)) +
                       (mailbox ? ", mailbox reply" : ", alias reply") + ", Outlook " +
                       std::to_string(version));
          FaultSweep run;
          run.startMachine(version);
          const ModelItemPtr received = run.outlook->receive(EngineFixture::mailTo(
              mailbox ? u"Pat Doe <pat@contoso.com>" : u"Sales <sales@contoso.com>", u"Quote"));
          sim::InspectorHandle window = run.replyTo(received, u"Our quote.");
          ASSERT_NE(window, nullptr);
          if (mailbox) {
            ASSERT_TRUE(run.outlook->chooseAccount(window, kHelpDeskAccount));
          } else {
            // A reply-to of the user's own, which the identity's replaces.
            sim::makeItem(run.outlook, window->item)
                ->replyRecipients()
                ->add(u"Pat <pat@contoso.com>");
          }

          if (nth == 0) {
            run.machine->faults().failAlways(op);
          } else {
            run.machine->faults().failOnCall(op, nth);
          }
          run.outlook->pressSend(window);
          run.machine->faults().clearAll();
          run.outlook->pump();
          if (run.transmitted(u"RE: Quote").empty() && window->isOpen) {
            run.outlook->pressSend(window);
            run.outlook->pump();
          }

          const auto sent = run.transmitted(u"RE: Quote");
          ASSERT_LE(sent.size(), 1u);
          if (sent.empty()) continue;
          EXPECT_EQ(sent[0]->sender, u"Pat Doe <pat@contoso.com>");
          if (mailbox) {
            EXPECT_EQ(sent[0]->sentRepresenting, u"Help Desk <help@contoso.com>");
            EXPECT_TRUE(sent[0]->replyTo.empty());
          } else {
            EXPECT_EQ(sent[0]->sentRepresenting, u"");
            EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Sales [smtp:<sales@contoso.com>]"});
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvanel::scenarios::engine
