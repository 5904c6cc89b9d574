// The identity engine's boundaries on both Outlook versions: which arrivals are stamped, which
// sends are left alone, which sent copies are not restamped, and Word's editor at parking.
#include <gtest/gtest.h>

#include "identity_engine_fixture.h"

namespace korvanel::scenarios::engine {
namespace {

constexpr char16_t kHomeAccount[] = u"Home";

class EngineCases : public EngineFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    sim::MailAccountSeed home;
    home.accountName = kHomeAccount;
    home.displayName = u"Pat at home";
    home.email = u"pat@home.example";
    home.pop3Server = u"pop.home.example";
    home.smtpServer = u"smtp.home.example";
    mailAccounts = {home};
    startMachine(GetParam());
  }
};

TEST_P(EngineCases, OtherAccountsAndMeetingRequestsByVersion) {
  // Outlook 2007 answers from an identity only what came in through Exchange; Outlook 2003
  // cannot tell the arrival account and stamps every mail item.
  IncomingMessage viaHome = mailTo(u"Sales <sales@contoso.com>", u"Via home");
  viaHome.account = kHomeAccount;
  const ModelItemPtr home = outlook->receive(viaHome);
  EXPECT_EQ(accountNameOn(*home), is2003() ? Text(kSalesAccount) : Text());

  // Meeting requests are stamped on Outlook 2007 only.
  IncomingMessage invitation = mailTo(u"Support <support@contoso.com>", u"Meeting");
  invitation.itemClass = platform::kOlMeetingRequest;
  const ModelItemPtr meeting = outlook->receive(invitation);
  EXPECT_EQ(accountNameOn(*meeting), is2003() ? Text() : Text(kSupportAccount));
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(EngineCases, MessageWithoutIdentityLeavesUnchangedButForItsCategories) {
  sim::InspectorHandle window = newMessage(u"Plain");
  platform::ItemPtr item = sim::makeItem(outlook, window->item);
  item->setCategories(u"Received as: Sales, Green");
  item->replyRecipients()->add(u"Team <team@contoso.com>");
  EXPECT_TRUE(outlook->pressSend(window));

  const auto sent = transmitted(u"Plain");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->account, kExchangeAccount);
  EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Team <team@contoso.com>"});
  EXPECT_EQ(itemSends, 1);
  const auto copies = itemsIn(platform::kOlFolderSentMail, u"Plain");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0]->categories(), std::vector<Text>{u"Green"});
  EXPECT_EQ(copies[0]->replyRecipients.size(), 1u);
}

TEST_P(EngineCases, SendOnBehalfOfAThirdPersonKeepsItsReplyRecipients) {
  const ModelItemPtr received = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Boss"));
  sim::InspectorHandle window = replyTo(received);
  platform::ItemPtr item = sim::makeItem(outlook, window->item);
  item->setSentOnBehalfOfName(u"Lee Boss");
  item->replyRecipients()->add(u"Assistant <assistant@contoso.com>");
  EXPECT_TRUE(outlook->pressSend(window));

  const auto sent = transmitted(u"RE: Boss");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->account, kExchangeAccount);
  EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Assistant <assistant@contoso.com>"});
  EXPECT_EQ(sent[0]->sentRepresenting, u"Lee Boss");
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(EngineCases, SkipNextSendLetsExactlyOneSendThroughUntouched) {
  outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Wake"));
  ASSERT_NE(context, nullptr);
  context->state.SkipNextSend = true;
  sim::InspectorHandle first = newMessage(u"First");
  sim::makeItem(outlook, first->item)->setCategories(u"Received as: Sales");
  EXPECT_TRUE(outlook->pressSend(first));
  EXPECT_FALSE(state().SkipNextSend);
  sim::InspectorHandle second = newMessage(u"Second");
  sim::makeItem(outlook, second->item)->setCategories(u"Received as: Sales");
  EXPECT_TRUE(outlook->pressSend(second));

  ASSERT_EQ(itemsIn(platform::kOlFolderSentMail, u"First").size(), 1u);
  ASSERT_EQ(itemsIn(platform::kOlFolderSentMail, u"Second").size(), 1u);
  EXPECT_EQ(itemsIn(platform::kOlFolderSentMail, u"First")[0]->categories(),
            std::vector<Text>{u"Received as: Sales"});
  EXPECT_TRUE(itemsIn(platform::kOlFolderSentMail, u"Second")[0]->categories().empty());
}

TEST_P(EngineCases, SentCopiesOutsideThePatternAreNotRestamped) {
  // Sent through another account with an identity as reply-to.
  sim::InspectorHandle viaHome = newMessage(u"From home");
  sim::makeItem(outlook, viaHome->item)->replyRecipients()->add(u"Sales <sales@contoso.com>");
  ASSERT_TRUE(outlook->chooseAccount(viaHome, kHomeAccount));
  EXPECT_TRUE(outlook->pressSend(viaHome));
  // Two reply recipients.
  sim::InspectorHandle two = newMessage(u"Two");
  platform::RecipientsPtr replyTo = sim::makeItem(outlook, two->item)->replyRecipients();
  replyTo->add(u"Sales <sales@contoso.com>");
  replyTo->add(u"Support <support@contoso.com>");
  EXPECT_TRUE(outlook->pressSend(two));

  const auto home = itemsIn(platform::kOlFolderSentMail, u"From home");
  ASSERT_EQ(home.size(), 1u);
  EXPECT_EQ(transmitted(u"From home")[0]->account, kHomeAccount);
  EXPECT_EQ(home[0]->replyRecipients.size(), 1u);
  EXPECT_EQ(accountNameOn(*home[0]), kHomeAccount);
  const auto copies = itemsIn(platform::kOlFolderSentMail, u"Two");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0]->replyRecipients.size(), 2u);
  EXPECT_NE(accountNameOn(*copies[0]), kSalesAccount);
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(EngineCases, ParkingClosesWordsDocumentAndQuitsWordOnlyWhenItWasTheLast) {
  if (!is2003()) GTEST_SKIP() << "only Outlook 2003 closes the Word editor when parking";
  for (int userWindows : {0, 1}) {
    SCOPED_TRACE(userWindows);
    machine->word().setUserWindows(userWindows);
    const int quitsBefore = machine->word().quits();
    const int closedBefore = machine->word().documentsClosed();
    const ModelItemPtr received = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Word"));
    sim::InspectorHandle window = replyTo(received);
    EXPECT_TRUE(outlook->pressSend(window));
    EXPECT_EQ(machine->word().quits() - quitsBefore, userWindows == 0 ? 1 : 0);
    EXPECT_EQ(machine->word().documentsClosed() - closedBefore, userWindows == 0 ? 0 : 1);
    EXPECT_EQ(machine->word().userWindows(), userWindows);
  }
  EXPECT_EQ(transmitted(u"RE: Word").size(), 2u);
  EXPECT_TRUE(machine->anomalies().empty());
}

INSTANTIATE_TEST_SUITE_P(Outlook, EngineCases, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios::engine
