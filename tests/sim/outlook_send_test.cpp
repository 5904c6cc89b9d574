// Sending, the accounts drop-down and the Accounts collection of the simulated Outlook.
#include <gtest/gtest.h>

#include "sim/outlook_headers.h"
#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

class OutlookSending : public OutlookFixture {
 protected:
  static Text stampOf(const ModelItem& item) { return item.namedText(prop::kAccountStamp); }
};

TEST_F(OutlookSending, AReplyLeavesThroughTheExchangeAccountAndItsCopyLandsInSentItems) {
  auto outlook = start(12);
  auto app = outlook->application();
  IncomingMessage incoming = mailTo(u"Sales <sales@contoso.com>", u"Quote");
  auto received = outlook->receive(incoming);
  ASSERT_EQ(received->senderAddress, u"ann@fabrikam.com");
  EXPECT_EQ(makeItem(outlook, received)->sendUsingAccount()->displayName(), u"Microsoft Exchange Server");

  auto window = outlook->reply(received);
  auto reply = makeItem(outlook, window->item);
  EXPECT_EQ(reply->subject(), u"RE: Quote");
  EXPECT_TRUE(reply->entryId().empty());
  EXPECT_FALSE(reply->sent());
  // The answered message's index is a prefix of the reply's, 10 hex digits longer.
  const Text parentIndex = makeItem(outlook, received)->conversationIndex();
  EXPECT_EQ(parentIndex.size(), 44u);
  EXPECT_EQ(reply->conversationIndex().substr(0, 44), parentIndex);
  EXPECT_EQ(reply->conversationIndex().size(), 54u);
  ASSERT_EQ(reply->recipients()->count(), 1);

  // A reply-to recipient entered as text, and one left as a bare name through the stored
  // property, as CDO leaves it: both resolve at sending.
  reply->replyRecipients()->add(u"Sales [smtp:<sales@contoso.com>]");
  ASSERT_TRUE(reply->replyRecipients()->resolveAll());
  auto rr = reply->replyRecipients()->item(1);
  EXPECT_EQ(rr->name(), u"Sales");
  EXPECT_EQ(rr->address(), u"<sales@contoso.com>");
  EXPECT_EQ(rr->addressEntry()->addressEntryUserType(), kOlSmtpAddressEntry);

  int sends = 0;
  Connection c = app->onItemSend([&](const ItemPtr& item, bool& cancel) {
    ++sends;
    EXPECT_EQ(item->typeName(), u"MailItem");
    cancel = sends == 1;  // the first attempt is cancelled
  });
  ItemPtr sentCopy;
  Connection s = app->getNamespace(u"MAPI")->getDefaultFolder(kOlFolderSentMail)->items()->onItemAdd(
      [&](const ItemPtr& item) { sentCopy = item; });

  EXPECT_TRUE(outlook->pressSend(window));
  EXPECT_TRUE(window->isOpen) << "a cancelled send leaves the window open";
  EXPECT_TRUE(world.transmissions.empty());
  EXPECT_TRUE(outlook->pressSend(window));
  EXPECT_FALSE(window->isOpen);
  ASSERT_EQ(world.transmissions.size(), 1u);
  const Transmission& t = world.transmissions[0];
  EXPECT_EQ(t.account, u"Microsoft Exchange Server");
  EXPECT_EQ(t.sender, u"Pat Doe <pat@contoso.com>");
  EXPECT_EQ(t.sentRepresenting, u"");
  EXPECT_EQ(t.replyTo, (std::vector<Text>{u"Sales [smtp:<sales@contoso.com>]"}));
  EXPECT_EQ(t.to, (std::vector<Text>{u"Ann <ann@fabrikam.com>"}));
  EXPECT_EQ(t.subject, u"RE: Quote");
  ASSERT_NE(sentCopy, nullptr);
  EXPECT_TRUE(sentCopy->sent());
  EXPECT_EQ(sentCopy->subject(), u"RE: Quote");
  EXPECT_EQ(sentCopy->replyRecipients()->count(), 1);
  EXPECT_EQ(sentCopy->sendUsingAccount()->displayName(), u"Microsoft Exchange Server");
  EXPECT_TRUE(world.anomalies.empty());
}

TEST_F(OutlookSending, MailToTheOrganisationIsDeliveredWithHeadersAndOnBehalfOfAMailbox) {
  world.internalXRecipientList = true;
  auto outlook = start(12);
  auto app = outlook->application();
  std::vector<Text> newMail;
  Connection c = app->onNewMailEx([&](const Text& ids) { newMail.push_back(ids); });

  auto item = app->createItem(kOlMailItem);
  item->recipients()->add(u"Help Desk");
  item->recipients()->add(u"Sales <sales@contoso.com>")->setType(kOlCC);
  item->setSubject(u"Rota");
  item->setSentOnBehalfOfName(help->dn);
  ASSERT_TRUE(item->send());
  outlook->pump();

  ASSERT_EQ(world.transmissions.size(), 1u);
  EXPECT_EQ(world.transmissions[0].sentRepresenting, u"Help Desk <help@contoso.com>");
  EXPECT_EQ(world.transmissions[0].to, (std::vector<Text>{u"Help Desk <help@contoso.com>"}));
  EXPECT_EQ(world.transmissions[0].cc, (std::vector<Text>{u"Sales <sales@contoso.com>"}));
  // Pat's own address: a copy arrives in Pat's Inbox, announced; the Help Desk's copy is not.
  ASSERT_EQ(newMail.size(), 1u);
  auto own = outlook->findItem(newMail[0]);
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(own->sent);
  EXPECT_EQ(own->text(prop::kSentRepresentingName), u"Help Desk");
  const Text headers = own->text(prop::kTransportHeaders);
  EXPECT_NE(headers.find(u"To: Help Desk <help@contoso.com>\r\n"), Text::npos);
  EXPECT_NE(headers.find(u"Cc: Sales <sales@contoso.com>\r\n"), Text::npos);
  EXPECT_NE(headers.find(u"X-RecipientList: help@contoso.com;sales@contoso.com\r\n"), Text::npos);
  ASSERT_EQ(help->store->defaultFolder(kOlFolderInbox)->items.size(), 1u);
  EXPECT_EQ(outlook->folderByPath(u"Sent Items")->items.size(), 1u);
}

TEST_F(OutlookSending, SendingThroughAnAccountWithoutServersIsRefusedAndReported) {
  addIdentityAccount(u"EX [Sales <sales@contoso.com>]", u"sales@contoso.com");
  auto outlook = start(12);
  auto window = outlook->newItem(kOlMail);
  auto item = makeItem(outlook, window->item);
  item->recipients()->add(u"ann@fabrikam.com");
  ASSERT_TRUE(outlook->chooseAccount(window, u"EX [Sales <sales@contoso.com>]"));
  EXPECT_FALSE(outlook->pressSend(window));
  EXPECT_TRUE(world.transmissions.empty());
  ASSERT_EQ(world.anomalies.size(), 1u);
  EXPECT_TRUE(window->isOpen);
}

TEST_F(OutlookSending, SendingFromDeletedItemsMovesTheCopyToSentItems) {
  auto outlook = start(11);
  auto item = outlook->application()->createItem(kOlMailItem);
  item->recipients()->add(u"Ann <ann@fabrikam.com>");
  item->setBillingInformation(u"Send it now");
  item->save();
  item->deleteItem();
  outlook->pump();
  EXPECT_EQ(outlook->folderByPath(u"Deleted Items")->items.size(), 1u);
  ASSERT_TRUE(item->send());
  outlook->pump();
  EXPECT_TRUE(outlook->folderByPath(u"Deleted Items")->items.empty());
  ASSERT_EQ(outlook->folderByPath(u"Sent Items")->items.size(), 1u);
  EXPECT_EQ(outlook->folderByPath(u"Sent Items")->items[0]->namedText(prop::kBilling), u"Send it now");
}

// The drop-down lists the accounts in order; Outlook 2003 puts one entry before them.
class AccountsDropDown : public OutlookSending, public ::testing::WithParamInterface<int> {};

TEST_P(AccountsDropDown, EntryNumbersAndExecuteSelectTheAccount) {
  const int version = GetParam();
  addIdentityAccount(u"EX [Sales <sales@contoso.com>]", u"sales@contoso.com");
  addIdentityAccount(u"EX MBX [Help Desk]", help->dn);
  auto outlook = start(version, /*wordMail=*/false);
  auto window = outlook->newItem(kOlMail);
  auto inspector = makeInspector(outlook, window);
  auto dropDown = inspector->commandBars()->findControl(kAccountsControlId);
  ASSERT_NE(dropDown, nullptr);
  auto entries = dropDown->controls();
  const long lead = version < 12 ? 1 : 0;
  ASSERT_EQ(entries->count(), 3 + lead);
  EXPECT_EQ(entries->item(1 + lead)->caption(), u"&1 Microsoft Exchange Server");
  EXPECT_EQ(entries->item(2 + lead)->caption(), u"&2 EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(entries->item(3 + lead)->caption(), u"&3 EX MBX [Help Desk]");

  // Entry of account 2: its name and stamp on the item.
  ASSERT_TRUE(entries->item(2 + lead)->execute());
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(stampOf(*window->item), u"00000003\x0001sales@contoso.com");
  EXPECT_EQ(window->item->props.has(PropKey::tag(prop::kPrimarySendAccount)), version >= 12);
  if (version >= 12) {
    EXPECT_EQ(makeItem(outlook, window->item)->sendUsingAccount()->displayName(),
              u"EX [Sales <sales@contoso.com>]");
  }

  // A Click handler on the first entry hears a click on any entry and can refuse it.
  Text clicked;
  Connection c = entries->item(1)->onClick([&](const CommandBarControlPtr& ctrl, bool& cancelDefault) {
    clicked = ctrl->caption();
    cancelDefault = true;
  });
  ASSERT_TRUE(outlook->chooseAccount(window, u"EX MBX [Help Desk]"));
  EXPECT_EQ(clicked, u"&3 EX MBX [Help Desk]");
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
  c.reset();
  ASSERT_TRUE(outlook->chooseAccount(window, u"EX MBX [Help Desk]"));
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX MBX [Help Desk]");

  // Entries past the end do nothing; the Standard bar can be reset.
  EXPECT_EQ(entries->item(5 + lead), nullptr);
  EXPECT_TRUE(inspector->commandBars()->item(u"Standard")->reset());
  EXPECT_EQ(outlook->standardBarResets, 1);
}

INSTANTIATE_TEST_SUITE_P(Versions, AccountsDropDown, ::testing::Values(11, 12));

TEST_F(OutlookSending, WordMailOn2003HasNoDropDownButTheShortcutAndADigitChooseTheAccount) {
  addIdentityAccount(u"EX [Sales <sales@contoso.com>]", u"sales@contoso.com");
  auto outlook = start(11);
  auto window = outlook->newItem(kOlMail);
  auto inspector = makeInspector(outlook, window);
  EXPECT_TRUE(inspector->isWordMail());
  EXPECT_EQ(inspector->commandBars()->findControl(kAccountsControlId), nullptr);
  // Tasks have no drop-down; a meeting has one.
  EXPECT_EQ(makeInspector(outlook, outlook->newItem(kOlTask))->commandBars()->findControl(kAccountsControlId),
            nullptr);
  auto meeting = outlook->application()->createItem(kOlAppointmentItem);
  meeting->setMeetingStatus(kOlMeeting);
  meeting->display();
  EXPECT_NE(meeting->getInspector()->commandBars()->findControl(kAccountsControlId), nullptr);
  meeting->close(kOlDiscard);

  outlook->activate(window);
  outlook->postKeys(u"%n");
  outlook->postKeys(u"2");
  EXPECT_TRUE(window->item->namedText(prop::kAccountName).empty()) << "keys act when messages run";
  outlook->pump();
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX [Sales <sales@contoso.com>]");

  // Another language's shortcut does nothing in an English Outlook.
  outlook->postKeys(u"%u");
  outlook->postKeys(u"1");
  outlook->pump();
  EXPECT_EQ(window->item->namedText(prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
}

TEST_F(OutlookSending, AccountsComeFromTheOrderListAndNewOnesAppearAfterARestart) {
  addIdentityAccount(u"EX [Sales <sales@contoso.com>]", u"sales@contoso.com");
  auto outlook = start(12);
  auto accounts = outlook->application()->getNamespace(u"MAPI")->accounts();
  ASSERT_EQ(accounts->count(), 2);
  EXPECT_EQ(accounts->item(1)->displayName(), u"Microsoft Exchange Server");

  addIdentityAccount(u"EX [Help <help@contoso.com>]", u"help@contoso.com");
  EXPECT_EQ(accounts->count(), 2) << "read at start-up";
  outlook->shutDown();
  EXPECT_EQ(accounts->count(), 0) << "an ended Outlook answers nothing";

  auto next = start(12);
  auto again = next->application()->getNamespace(u"MAPI")->accounts();
  ASSERT_EQ(again->count(), 3);
  EXPECT_EQ(again->item(3)->displayName(), u"EX [Help <help@contoso.com>]");
  EXPECT_EQ(world.startOutlook(OutlookOptions{}), nullptr) << "one Outlook at a time";
}

}  // namespace
}  // namespace korvanel::sim::testing
