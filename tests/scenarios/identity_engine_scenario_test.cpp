// The identity engine end to end, with the add-in connected to the simulated Outlook 2003
// and 2007: arrival, reply, the parked re-send, the sent copy, Deleted Items.
#include <gtest/gtest.h>

#include "addin/stamp_item.h"
#include "identity_engine_fixture.h"

namespace korvanel::scenarios::engine {
namespace {

class IdentityEngine : public EngineFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { startMachine(GetParam()); }
};

TEST_P(IdentityEngine, MessageToAnAliasIsStampedAndStampingAgainChangesNothing) {
  IncomingMessage message = mailTo(u"Sales <sales@contoso.com>", u"Quote");
  message.cc = {u"Pat Doe <pat@contoso.com>"};
  const ModelItemPtr received = outlook->receive(message);
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(accountNameOn(*received), kSalesAccount);
  EXPECT_EQ(accountStampOn(*received), stampOf(kSalesAccount));

  // Mail to the user's own address matches no identity and is left alone.
  const ModelItemPtr own = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Hello"));
  EXPECT_FALSE(hasAccountStamp(*own));
  EXPECT_EQ(accountNameOn(*own), u"");

  // NewMailEx and ItemAdd have each stamped it once already; a third run keeps every value.
  ASSERT_NE(context, nullptr);
  const PropertySnapshot before = snapshot(*received);
  if (is2003()) {
    addin::StampItemCDO(*context, received->entryId);
  } else {
    addin::StampItem(*context, received->entryId);
  }
  EXPECT_TRUE(snapshot(*received) == before);
  EXPECT_TRUE(machine->anomalies().empty());
}

// Outlook reports each arrival twice; the twin report of a message already stamped is known
// by its entry id and touches nothing, but one that follows a failed stamping stamps it.
TEST_P(IdentityEngine, TheTwinReportOfAStampedArrivalIsSkippedUnlessTheFirstFailed) {
  // A call failing in the first stamping, none for the first run.
  const std::vector<std::string> failures =
      is2003() ? std::vector<std::string>{"", "CdoMessage.Update"}
               : std::vector<std::string>{"", "MailItem.Save", "MailItem.SendUsingAccount",
                                          "Account.DisplayName", "PropertyAccessor.GetProperties"};
  for (const std::string& failure : failures) {
    SCOPED_TRACE(failure);
    const bool firstFails = !failure.empty();
    if (firstFails) machine->faults().failOnce(failure);
    machine->faults().startCounting();
    const ModelItemPtr received = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Twice"));
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(accountNameOn(*received), kSalesAccount);
    EXPECT_EQ(accountStampOn(*received), stampOf(kSalesAccount));
    const auto& calls = machine->faults().calls();
    const auto lookups = calls.find("NameSpace.GetItemFromID");
    EXPECT_EQ(lookups == calls.end() ? 0 : lookups->second, firstFails ? 2 : 1);
  }

  // Mail for nobody in particular is looked at once too; later reports are dealt with afresh.
  machine->faults().startCounting();
  const ModelItemPtr own = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Hello"));
  EXPECT_EQ(machine->faults().calls().at("NameSpace.GetItemFromID"), is2003() ? 2 : 1);
  if (is2003()) {
    addin::StampItemCDO(*context, own->entryId);
  } else {
    addin::StampItem(*context, own->entryId);
  }
  EXPECT_EQ(machine->faults().calls().at("NameSpace.GetItemFromID"), is2003() ? 3 : 2);
  EXPECT_FALSE(hasAccountStamp(*own));
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(IdentityEngine, ReplyLeavesThroughExchangeWithTheIdentityAsOnlyReplyTo) {
  const ModelItemPtr received = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Quote"));
  sim::InspectorHandle window = replyTo(received);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(outlook->pressSend(window));

  const auto sent = transmitted(u"RE: Quote");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->account, kExchangeAccount);
  EXPECT_EQ(sent[0]->sender, u"Pat Doe <pat@contoso.com>");
  EXPECT_EQ(sent[0]->sentRepresenting, u"");
  EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{u"Sales [smtp:<sales@contoso.com>]"});
  EXPECT_EQ(sent[0]->to, std::vector<Text>{u"Ann <ann@fabrikam.com>"});
  // Outlook 2003 parks every identity reply in Deleted Items and sends it again from there.
  EXPECT_EQ(itemSends, is2003() ? 2 : 1);
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"RE: Quote").empty());
  EXPECT_TRUE(itemsIn(platform::kOlFolderDrafts, u"RE: Quote").empty());

  // The sent copy is the identity's again: no reply-to, the identity's stamp.
  const auto copies = itemsIn(platform::kOlFolderSentMail, u"RE: Quote");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(copies[0]->replyRecipients.empty());
  EXPECT_EQ(accountNameOn(*copies[0]), kSalesAccount);
  EXPECT_EQ(accountStampOn(*copies[0]), stampOf(kSalesAccount));
  EXPECT_EQ(copies[0]->text(prop::kBody), u"Our quote.");
  EXPECT_FALSE(text::equalsNoCase(copies[0]->namedText(prop::kBilling), u"Send it now"));
  EXPECT_FALSE(state().SkipNextSend);
  EXPECT_TRUE(machine->anomalies().empty());
  EXPECT_TRUE(machine->shell().dialogs().empty());
}

TEST_P(IdentityEngine, SharedMailboxReplyIsParkedAndSentOnTheMailboxsBehalf) {
  const ModelItemPtr received = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Ticket"));
  sim::InspectorHandle window = replyTo(received, u"Fixed.");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(outlook->chooseAccount(window, kHelpDeskAccount));
  EXPECT_TRUE(outlook->pressSend(window));

  const auto sent = transmitted(u"RE: Ticket");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]->account, kExchangeAccount);
  EXPECT_EQ(sent[0]->sentRepresenting, u"Help Desk <help@contoso.com>");
  EXPECT_EQ(sent[0]->sender, u"Pat Doe <pat@contoso.com>");
  EXPECT_TRUE(sent[0]->replyTo.empty());
  EXPECT_EQ(itemSends, 2) << "parked, then sent from Deleted Items";
  EXPECT_FALSE(window->isOpen);
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"RE: Ticket").empty());

  const auto copies = itemsIn(platform::kOlFolderSentMail, u"RE: Ticket");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(accountNameOn(*copies[0]), kHelpDeskAccount);
  EXPECT_EQ(accountStampOn(*copies[0]), stampOf(kHelpDeskAccount));
  EXPECT_EQ(copies[0]->text(prop::kBody), u"Fixed.");
  EXPECT_EQ(copies[0]->namedText(prop::kBilling), u"");
  EXPECT_FALSE(state().SkipNextSend);
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(IdentityEngine, ReadReceiptHoldsBackTheStampUntilTheMessageIsRead) {
  IncomingMessage message = mailTo(u"Support <support@contoso.com>", u"Receipt please");
  message.readReceipt = true;
  const ModelItemPtr received = outlook->receive(message);
  EXPECT_EQ(accountNameOn(*received), kSupportAccount);
  EXPECT_FALSE(hasAccountStamp(*received));
  EXPECT_TRUE(received->props.get(PropKey::tag(prop::kReadReceiptRequested)).toBool());

  outlook->open(received);
  EXPECT_EQ(accountStampOn(*received), stampOf(kSupportAccount));
  EXPECT_FALSE(received->props.get(PropKey::tag(prop::kReadReceiptRequested)).toBool());
  if (!is2003()) {
    EXPECT_EQ(received->chosenAccountKey, keyOf(kSupportAccount));
  }
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(IdentityEngine, ReceivedAsCategoriesDoNotTravelWithTheReply) {
  const ModelItemPtr received = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Colours"));
  sim::InspectorHandle window = replyTo(received);
  ASSERT_NE(window, nullptr);
  sim::makeItem(outlook, window->item)
      ->setCategories(u"Received as: Sales, Red, RECEIVED AS:Support, Blue");
  EXPECT_TRUE(outlook->pressSend(window));

  const auto copies = itemsIn(platform::kOlFolderSentMail, u"RE: Colours");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0]->categories(), (std::vector<Text>{u"Red", u"Blue"}));
}

TEST_P(IdentityEngine, ItemMarkedDeleteItNowIsDeletedOthersStayInDeletedItems) {
  const ModelItemPtr doomed = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Doomed"));
  const ModelItemPtr kept = outlook->receive(mailTo(u"Pat Doe <pat@contoso.com>", u"Kept"));
  sim::makeItem(outlook, doomed)->setBillingInformation(u"delete IT now");
  sim::makeItem(outlook, kept)->setBillingInformation(u"Delete it later");
  sim::makeItem(outlook, doomed)->deleteItem();
  sim::makeItem(outlook, kept)->deleteItem();
  outlook->pump();
  EXPECT_TRUE(doomed->removed);
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"Doomed").empty());
  EXPECT_EQ(itemsIn(platform::kOlFolderDeletedItems, u"Kept").size(), 1u);
  EXPECT_TRUE(machine->world().transmissions.empty());
}

TEST_P(IdentityEngine, UnsentResendItemAmongNewMailIsTaggedAndSentFromDeletedItems) {
  IncomingMessage message = mailTo(u"Ann <ann@fabrikam.com>", u"Left behind");
  message.sent = false;
  message.billing = u"SEND IT NOW";
  const ModelItemPtr item = outlook->receive(message);
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(item->userProperties.size(), 1u);
  EXPECT_EQ(item->userProperties[0].name, u"KorvanelTag1");
  EXPECT_EQ(item->userProperties[0].value.toText(), u"1");
  EXPECT_EQ(transmitted(u"Left behind").size(), 1u);
  EXPECT_TRUE(itemsIn(platform::kOlFolderDeletedItems, u"Left behind").empty());
  EXPECT_FALSE(state().SkipNextSend);
}

INSTANTIATE_TEST_SUITE_P(Outlook, IdentityEngine, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

// Each reply address format, on both versions: a fresh machine per setting, which Outlook
// reads when it starts.
TEST(IdentityEngineReplyFormats, EachFormatGivesTheIdentityAsOnlyReplyTo) {
  const Text expected[] = {u"Sales <sales@contoso.com>", u"Sales [smtp:sales@contoso.com]",
                           u"Sales [smtp:<sales@contoso.com>]"};
  for (int version : {11, 12}) {
    for (int format = 0; format <= 2; ++format) {
      SCOPED_TRACE("Outlook " + std::to_string(version) + ", format " + std::to_string(format));
      EngineFixture run;
      run.startMachine(version, format);
      const ModelItemPtr received =
          run.outlook->receive(EngineFixture::mailTo(u"Sales <sales@contoso.com>", u"Quote"));
      sim::InspectorHandle window = run.replyTo(received);
      ASSERT_NE(window, nullptr);
      EXPECT_TRUE(run.outlook->pressSend(window));
      const auto sent = run.transmitted(u"RE: Quote");
      ASSERT_EQ(sent.size(), 1u);
      EXPECT_EQ(sent[0]->account, kExchangeAccount);
      EXPECT_EQ(sent[0]->replyTo, std::vector<Text>{expected[format]});
      const auto copies = run.itemsIn(platform::kOlFolderSentMail, u"RE: Quote");
      ASSERT_EQ(copies.size(), 1u);
      EXPECT_EQ(EngineFixture::accountNameOn(*copies[0]), kSalesAccount);
      EXPECT_TRUE(copies[0]->replyRecipients.empty());
      EXPECT_TRUE(run.machine->anomalies().empty());
    }
  }
}

}  // namespace
}  // namespace korvanel::scenarios::engine
