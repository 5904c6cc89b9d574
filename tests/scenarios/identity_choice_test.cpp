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

INSTANTIATE_TEST_SUITE_P(Outlook, IdentityChoice, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios::engine
