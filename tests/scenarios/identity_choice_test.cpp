// Which identity a message is answered from, on both Outlook versions, where the reading of
// its recipients or the finding of its identity again could go wrong: the server's recipient
// list written with blanks, identities that share an address.
#include <gtest/gtest.h>

#include "identity_engine_fixture.h"

namespace korvanel::scenarios::engine {
namespace {

class IdentityChoice : public EngineFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { startMachine(GetParam()); }
};

TEST_P(IdentityChoice, ServerRecipientListWrittenWithBlanksFindsTheBlindCopiedIdentity) {
  // Sales was blind-copied: only the server's list names it, as "a; b".
  IncomingMessage message = mailTo(u"Carl <carl@fabrikam.com>", u"Blind copy");
  message.xRecipientList = u"pat@contoso.com; sales@contoso.com";
  const ModelItemPtr received = outlook->receive(message);
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(accountNameOn(*received), kSalesAccount);
  EXPECT_EQ(accountStampOn(*received), stampOf(kSalesAccount));
  EXPECT_TRUE(machine->anomalies().empty());
}

// The fixture's Exchange account carries the name Apply gives it, "EX [Pat Doe <...>]".
TEST_P(IdentityChoice, PlainMessageThroughTheRenamedExchangeAccountIsNoIdentitys) {
  sim::InspectorHandle chosen = newMessage(u"Chosen");
  ASSERT_TRUE(outlook->chooseAccount(chosen, kExchangeAccount));
  sim::makeItem(outlook, chosen->item)->replyRecipients()->add(u"Team <team@contoso.com>");
  EXPECT_TRUE(outlook->pressSend(chosen));
  // A draft that carries no account of its own goes through the default one, the same.
  sim::InspectorHandle draft = newMessage(u"Draft");
  draft->item->props.remove(PropKey::named(sim::kPsetidCommon, prop::kAccountName));
  draft->item->props.remove(PropKey::named(sim::kPsetidCommon, prop::kAccountStamp));
  EXPECT_TRUE(outlook->pressSend(draft));

  for (const char16_t* subject : {u"Chosen", u"Draft"}) {
    SCOPED_TRACE(text::toUtf8(subject));
    const auto sent = transmitted(subject);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]->account, kExchangeAccount);
    EXPECT_EQ(sent[0]->sentRepresenting, u"");
    EXPECT_EQ(itemsIn(platform::kOlFolderSentMail, subject).size(), 1u);
  }
  // The user's own reply-to stays, on the copy too; none is added.
  EXPECT_EQ(transmitted(u"Chosen")[0]->replyTo, std::vector<Text>{u"Team <team@contoso.com>"});
  EXPECT_EQ(itemsIn(platform::kOlFolderSentMail, u"Chosen")[0]->replyRecipients.size(), 1u);
  EXPECT_TRUE(transmitted(u"Draft")[0]->replyTo.empty());
  EXPECT_EQ(itemSends, 2) << "neither was parked";
  EXPECT_TRUE(machine->shell().dialogs().empty());
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(IdentityChoice, NewMessageIsNoReplyToTheSelectedMessage) {
  IncomingMessage message = mailTo(u"Sales <sales@contoso.com>", u"Receipt please");
  message.readReceipt = true;
  const ModelItemPtr selected = outlook->receive(message);
  outlook->select({selected});
  sim::InspectorHandle window = newMessage(u"Unrelated");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(state().SenderKeys, u"1");
  EXPECT_NE(window->selectedAccountKey, keyOf(kSalesAccount));
  // Nobody opened the selected message: its stamp and receipt request wait.
  EXPECT_FALSE(hasAccountStamp(*selected));
  EXPECT_TRUE(selected->props.get(PropKey::tag(prop::kReadReceiptRequested)).toBool());

  // A reply to it, written from the message list, is one.
  replyTo(selected);
  EXPECT_EQ(state().SenderKeys, u"2");
  EXPECT_EQ(accountStampOn(*selected), stampOf(kSalesAccount));
}

TEST_P(IdentityChoice, AmongOpenMessagesOfAConversationTheParentIsAnswered) {
  // Ann wrote to Support; her follow-up in the same conversation went to Sales.
  const Text first = u"01D9A0B1C2D3E4F5A6B7C8D9E0F1A2B3C4D5E6F7A8B9";
  IncomingMessage opening = mailTo(u"Support <support@contoso.com>", u"Chairs");
  opening.conversationIndex = first;
  IncomingMessage followUp = mailTo(u"Sales <sales@contoso.com>", u"RE: Chairs");
  followUp.conversationIndex = first + u"0000A1B2C3";
  const ModelItemPtr ancestor = outlook->receive(opening);
  const ModelItemPtr parent = outlook->receive(followUp);
  outlook->open(ancestor);
  outlook->open(parent);
  sim::InspectorHandle reply = outlook->reply(parent);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(state().SenderKeys, u"2");
  EXPECT_EQ(reply->selectedAccountKey, keyOf(kSalesAccount));
}

constexpr char16_t kSalesTeamAccount[] = u"EX [Sales Team <sales@contoso.com>]";

// A second identity on the Sales address, told apart by its display name.
class SharedAddress : public EngineFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    moreIdentities = {{kSalesTeamAccount, u"Sales Team", u"sales@contoso.com"}};
    startMachine(GetParam());
  }
};

TEST_P(SharedAddress, ReplyLeavesAsTheIdentityTheMessageArrivedAt) {
  const ModelItemPtr received =
      outlook->receive(mailTo(u"Sales Team <sales@contoso.com>", u"Team quote"));
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(accountNameOn(*received), kSalesTeamAccount);
  sim::InspectorHandle window = replyTo(received);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(outlook->pressSend(window));

  const auto sent = transmitted(u"RE: Team quote");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Sales Team [smtp:<sales@contoso.com>]"});
  const auto copies = itemsIn(platform::kOlFolderSentMail, u"RE: Team quote");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(accountNameOn(*copies[0]), kSalesTeamAccount);
  EXPECT_EQ(accountStampOn(*copies[0]), stampOf(kSalesTeamAccount));
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(SharedAddress, HeldBackStampIsCompletedWithTheIdentityNamed) {
  IncomingMessage message = mailTo(u"Sales Team <sales@contoso.com>", u"Receipt please");
  message.readReceipt = true;
  const ModelItemPtr received = outlook->receive(message);
  EXPECT_EQ(accountNameOn(*received), kSalesTeamAccount);
  EXPECT_FALSE(hasAccountStamp(*received));
  outlook->open(received);
  EXPECT_EQ(accountStampOn(*received), stampOf(kSalesTeamAccount));
  if (!is2003()) {
    EXPECT_EQ(received->chosenAccountKey, keyOf(kSalesTeamAccount));
  }
}

INSTANTIATE_TEST_SUITE_P(Outlook, SharedAddress, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

INSTANTIATE_TEST_SUITE_P(Outlook, IdentityChoice, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios::engine
