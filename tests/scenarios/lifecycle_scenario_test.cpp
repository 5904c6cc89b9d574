// The add-in's start, its published object and the routing of Outlook's events, through the
// simulated add-in host, on Outlook 2003 and 2007.
#include <gtest/gtest.h>

#include <optional>

#include "addin/out_addin.h"
#include "lifecycle_fixture.h"

namespace korvanel::scenarios {
namespace {

class LifecycleTest : public LifecycleFixture, public ::testing::TestWithParam<int> {
 protected:
  int version() const { return GetParam(); }
  bool is2003() const { return GetParam() < 12; }
};

sim::IncomingMessage mailTo(TextView to) {
  sim::IncomingMessage m;
  m.to = {Text(to)};
  m.subject = u"Hi";
  return m;
}

const std::vector<Text> kDefaultHooks = {
    u"ItemSend",      u"NewMailEx",        u"OptionsPagesAdd",    u"ItemAdd Deleted Items",
    u"ItemAdd Inbox", u"ItemChange Inbox", u"ItemAdd Sent Items", u"NewInspector"};

TEST_P(LifecycleTest, NormalStartBuildsTheStateAndHooksInOrder) {
  makeMachine(options(version()), {{u"Help Desk", kHelpDn}});
  addIdentity(u"Sales", u"sales@contoso.com");
  registerAddin();
  ASSERT_TRUE(machine->startOutlook());
  addin::Connect* addIn = connect();
  ASSERT_NE(addIn, nullptr);

  EXPECT_EQ(*hookLog, kDefaultHooks);
  const addin::SharedState& s = addIn->state();
  EXPECT_EQ(s.OutlookVersion, version());
  EXPECT_EQ(static_cast<bool>(s.CdoSession), is2003());
  EXPECT_TRUE(s.MapiNamespace);
  EXPECT_TRUE(s.OutlookApp);
  EXPECT_EQ(s.SenderKeys, u"1");
  EXPECT_EQ(s.UILanguage, 1033);
  EXPECT_TRUE(s.Language.IsEnglishUI);
  EXPECT_EQ(s.ProfileName, kProfile);
  EXPECT_EQ(s.CurrentUserName, u"Pat Doe");
  EXPECT_TRUE(s.BaseProfileName.empty());
  EXPECT_EQ(s.RestartMode, 0);
  EXPECT_EQ(s.DefaultStoreID, pat->store->storeId);
  EXPECT_EQ(s.ReplyAddressFormat, 2);
  ASSERT_EQ(s.IdentityTable.IdLast(), 0);
  EXPECT_EQ(s.IdentityTable.Email(0), u"sales@contoso.com");
  EXPECT_EQ(s.IdentityTable.AccountIndex(0), u"2");
  EXPECT_EQ(s.ExchangeAccountKey, u"00000002");
  EXPECT_EQ(s.ExchangePrimarySmtp, u"pat@contoso.com");
  EXPECT_EQ(s.ExchangeStamp, u"00000002\x0001pat@contoso.com");
  ASSERT_EQ(s.Mailboxes.MbxLast(), 1);
  EXPECT_EQ(s.Mailboxes.MailboxNames(1), u"Mailbox - Help Desk");
  EXPECT_EQ(s.Mailboxes.MailboxResolvedNames(1), u"Help Desk");
  EXPECT_TRUE(s.AccessibleMailboxes.empty());  // built only when the page asks
  // With identities present the Exchange account is named after the user.
  EXPECT_EQ(accountName(u"00000002"), u"Pat Doe <pat@contoso.com>");

  const platform::DispatchPtr object = published();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->get(u"sUN").toText(), u"Pat Doe");
  EXPECT_EQ(object->get(u"SPN").toText(), kProfile);  // late binding ignores case
  EXPECT_TRUE(machine->shell().dialogs().empty());
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_P(LifecycleTest, WithoutIdentitiesTheExchangeAccountKeepsItsName) {
  makeMachine(options(version()));
  registerAddin();
  ASSERT_TRUE(machine->startOutlook());
  ASSERT_NE(connect(), nullptr);
  EXPECT_EQ(connect()->state().IdentityTable.IdLast(), -1);
  EXPECT_EQ(accountName(u"00000002"), u"Microsoft Exchange Server");
}

TEST_P(LifecycleTest, StartWithoutWindowsOnlyPublishesTheObject) {
  makeMachine(options(version()));
  auto routes = std::make_shared<RouteLog>();
  registerAddin(routes);
  ASSERT_TRUE(machine->startOutlook({}, /*withExplorer=*/false));

  EXPECT_TRUE(hookLog->empty());
  const platform::DispatchPtr object = published();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->get(u"sPN").toText(), u"");
  EXPECT_EQ(object->get(u"sSMBXs").toText(), u"");
  EXPECT_EQ(object->get(u"sUN").toText(), u"");

  // Mail arrives: nobody listens.
  machine->outlook()->receive(mailTo(u"sales@contoso.com"));
  EXPECT_TRUE(routes->calls.empty());

  // Even asked to restart, an add-in that never loaded its settings starts nothing at exit.
  EXPECT_TRUE(object->put(u"IsRestart", Variant(1L)));
  machine->quitOutlook();
  EXPECT_EQ(machine->runs().size(), 1u);
  EXPECT_TRUE(machine->shell().processes().empty());
  EXPECT_EQ(machine->outlook(), nullptr);
}

TEST_P(LifecycleTest, MissingCdoUnloadsOnOutlook2003Only) {
  makeMachine(options(version(), /*cdo=*/false));
  auto routes = std::make_shared<RouteLog>();
  registerAddin(routes);
  std::shared_ptr<sim::Outlook> outlook = machine->startOutlook();
  ASSERT_TRUE(outlook);

  const auto& dialogs = machine->shell().dialogs();
  if (!is2003()) {
    EXPECT_TRUE(dialogs.empty());
    EXPECT_NE(connect(), nullptr);
    return;
  }
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].text,
            u"Collaboration Data Objects not installed.\r\nPlease install CDO before you use the "
            u"Korvanel");
  EXPECT_EQ(dialogs[0].title, u"Korvanel");
  EXPECT_EQ(dialogs[0].style, 64);
  EXPECT_EQ(machine->addIn(), nullptr);  // unloaded

  // Nothing stayed hooked: arrivals, sends, new windows and the Options dialog pass by.
  outlook->receive(mailTo(u"sales@contoso.com"));
  sim::InspectorHandle mail = outlook->newItem(platform::kOlMail);
  outlook->pressSend(mail);
  outlook->openOptions();
  for (const Text& tab : outlook->optionsDialog().tabs()) EXPECT_NE(tab, u"Korvanel");
  EXPECT_TRUE(routes->calls.empty());
  EXPECT_EQ(dialogs.size(), 1u);
}

TEST_P(LifecycleTest, AccessibleMailboxesFollowTheNamespace) {
  const std::vector<std::vector<std::pair<Text, Text>>> profiles = {
      {}, {{u"Help Desk", kHelpDn}}, {{u"Help Desk", kHelpDn}, {u"Sales Team", kTeamDn}}};
  const std::vector<Text> expected = {
      u"", u"Help Desk " + Text(kHelpDn),
      u"Help Desk " + Text(kHelpDn) + u"\x0001" + u"Sales Team " + Text(kTeamDn)};
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    makeMachine(options(version()), profiles[i]);
    registerAddin();
    ASSERT_TRUE(machine->startOutlook());
    const platform::DispatchPtr object = published();
    ASSERT_NE(object, nullptr);
    // The page reads sUN, sPN and sSMBXs, in this order.
    EXPECT_EQ(object->get(u"sUN").toText(), u"Pat Doe");
    EXPECT_EQ(object->get(u"sPN").toText(), kProfile);
    EXPECT_EQ(object->get(u"sSMBXs").toText(), expected[i]) << i;
    EXPECT_EQ(connect()->sSMBXs(), expected[i]) << i;
  }
}

TEST_P(LifecycleTest, SendingRoutesMailAndTaskRequestsByVersion) {
  makeMachine(options(version()));
  auto routes = std::make_shared<RouteLog>();
  registerAddin(routes);
  std::shared_ptr<sim::Outlook> outlook = machine->startOutlook();
  ASSERT_TRUE(outlook);

  for (long itemClass : {platform::kOlMail, platform::kOlTaskRequest}) {
    routes->calls.clear();
    sim::InspectorHandle window = outlook->newItem(itemClass);
    ASSERT_TRUE(window);
    sim::RecipientRecord ann;
    ann.text = u"Ann <ann@fabrikam.com>";
    window->item->recipients.push_back(ann);
    outlook->pressSend(window);
    std::vector<Text> sends;
    for (const Text& call : routes->calls)
      if (call.starts_with(u"Complete")) sends.push_back(call);
    std::vector<Text> expected;
    if (itemClass == platform::kOlMail)
      expected = {is2003() ? u"CompleteSendCDO MailItem" : u"CompleteSend MailItem"};
    else if (!is2003())
      expected = {u"CompleteTaskSend TaskRequestItem"};
    EXPECT_EQ(sends, expected) << itemClass;
  }
}

TEST_P(LifecycleTest, ItemSendCancelComesFromTheSendProcessing) {
  makeMachine(options(version()));
  auto routes = std::make_shared<RouteLog>();
  routes->cancel = true;
  registerAddin(routes);
  std::shared_ptr<sim::Outlook> outlook = machine->startOutlook();
  sim::InspectorHandle window = outlook->newItem(platform::kOlMail);
  outlook->pressSend(window);
  EXPECT_TRUE(window->isOpen);
  EXPECT_FALSE(window->item->sent);
  EXPECT_TRUE(machine->world().transmissions.empty());
}

TEST_P(LifecycleTest, ReplyAddressFormatReading) {
  const std::vector<std::pair<std::optional<Text>, int>> cases = {
      {u"1", 1},  {u"0", 0}, {u"2", 2}, {u"3", 2},
      {u"-1", 2}, {u"x", 2}, {u"", 2},  {std::nullopt, 2}};
  for (const auto& [stored, expected] : cases) {
    makeMachine(options(version()));
    if (stored)
      profile::ProfileSettings(machine->registry()).SaveReplyAddressFormat(kProfile, *stored);
    registerAddin();
    ASSERT_TRUE(machine->startOutlook());
    EXPECT_EQ(connect()->state().ReplyAddressFormat, expected)
        << text::toUtf8(stored.value_or(u"(none)"));
  }
}

TEST_P(LifecycleTest, MonitoredFoldersTakeNineSlotsOnOutlook2003Only) {
  makeMachine(options(version()));
  sim::ModelFolderPtr inbox = pat->store->defaultFolder(platform::kOlFolderInbox);
  std::vector<sim::ModelFolderPtr> folders;
  for (int i = 1; i <= 10; ++i) folders.push_back(sim::addFolder(inbox, u"F" + text::toText(i)));
  // Empty pieces take no slot; an entry that opens no folder takes one all the same. The
  // non-empty entries are F1, a stale one, F2 ... F10: the first nine reach F8.
  Text stored = u"\t" + folders[0]->entryId + u"\t\tSTALE0000\t";
  for (std::size_t i = 1; i < folders.size(); ++i) stored += folders[i]->entryId + u"\t";
  ASSERT_TRUE(profile::ProfileSettings(machine->registry()).SaveMonitoredFolders(kProfile, stored));
  auto routes = std::make_shared<RouteLog>();
  registerAddin(routes);
  std::shared_ptr<sim::Outlook> outlook = machine->startOutlook();
  ASSERT_TRUE(outlook);

  std::vector<Text> expected(kDefaultHooks.begin(), kDefaultHooks.begin() + 3);
  if (is2003()) {
    for (int i = 1; i <= 8; ++i) expected.push_back(u"ItemAdd F" + text::toText(i));
  }
  expected.insert(expected.end(), kDefaultHooks.begin() + 3, kDefaultHooks.end());
  EXPECT_EQ(*hookLog, expected);

  // Mail arriving in a watched folder is stamped like the Inbox's; F9 is not watched.
  routes->calls.clear();
  sim::ModelItemPtr inF8 = outlook->receive(mailTo(u"sales@contoso.com"), u"Inbox/F8");
  sim::ModelItemPtr inF9 = outlook->receive(mailTo(u"sales@contoso.com"), u"Inbox/F9");
  ASSERT_TRUE(inF8 && inF9);
  if (is2003()) {
    EXPECT_EQ(routes->calls, std::vector<Text>{u"StampItemCDO " + inF8->entryId});
  } else {
    EXPECT_TRUE(routes->calls.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Outlook, LifecycleTest, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios
