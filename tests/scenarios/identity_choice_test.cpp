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
