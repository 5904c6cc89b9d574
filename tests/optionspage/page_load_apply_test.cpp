// The page's load, Apply and end over a seeded profile.
#include "optionspage/account_ids.h"
#include "optionspage/page_messages.h"
#include "page_fixture.h"

namespace korvanel::page::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class PageLoadApplyTest : public PageFixture {};

// The page cannot learn the profile without the add-in: nothing is read or written, and the
// user, whose change is not saved, is told so.
TEST_F(PageLoadApplyTest, WithoutTheAddInNothingIsReadOrWrittenAndTheUserIsTold) {
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  settings.SaveMonitoredFolders(kProfile, u"E-GONE\t");
  withoutAddIn();
  const Text before = reg.exportReg();

  open();
  EXPECT_EQ(ui().List1.ListCount(), 0);
  EXPECT_EQ(ui().List4.ListCount(), 0);
  EXPECT_EQ(ui().lblDefAddress.caption, u"");
  EXPECT_TRUE(ui().Option1[2].value);
  EXPECT_EQ(ui().Label4.at(0).caption, u"Korvanel ver. 1.0.1");
  EXPECT_FALSE(page->dirty());

  page->clickOption1(0);
  EXPECT_TRUE(page->dirty());
  page->apply();  // OK
  EXPECT_FALSE(page->dirty());
  close();

  EXPECT_EQ(reg.exportReg(), before);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text, kNothingSavedNotice);
  EXPECT_EQ(shell.messages[0].style, kNoticeStyle);
  EXPECT_EQ(app->quitCalls, 0);
}

TEST_F(PageLoadApplyTest, Outlook2003ShowsTheFoldersAndDropsThoseThatNoLongerOpen) {
  seedProfile();
  settings.SaveMonitoredFolders(kProfile, u"E-SUB\tE-GONE\tE-PROJ\t");
  open();
  for (TextView name :
       {u"Frame2", u"List4", u"cmdAddFolder", u"cmdDeleteFolder", u"cmdDeleteAllFolders"}) {
    EXPECT_TRUE(ui().find(name)->visible) << text::toUtf8(name);
  }
  EXPECT_THAT(ui().List4.texts(), ElementsAre(u"Inbox\\Sub", u"Projects"));
  EXPECT_THAT(ui().List5.texts(), ElementsAre(u"E-SUB", u"E-PROJ"));
  // Gone from the setting as soon as the page has loaded, before any Apply.
  EXPECT_EQ(settings.LoadMonitoredFolders(kProfile), Text(u"E-SUB\tE-PROJ\t") + u'\0');
  EXPECT_TRUE(ui().cmdDeleteAllFolders.enabled);
  EXPECT_FALSE(ui().cmdDeleteFolder.enabled);
}

TEST_F(PageLoadApplyTest, Outlook2007HidesTheFoldersAndNeverTouchesTheirSetting) {
  seedProfile();
  onOutlook2007();
  settings.SaveMonitoredFolders(kProfile, u"E-SUB\tE-GONE\t");
  const Text stored = settings.LoadMonitoredFolders(kProfile);
  open();
  for (TextView name :
       {u"Frame2", u"List4", u"cmdAddFolder", u"cmdDeleteFolder", u"cmdDeleteAllFolders"}) {
    EXPECT_FALSE(ui().find(name)->visible) << text::toUtf8(name);
  }
  EXPECT_EQ(ui().List4.ListCount(), 0);
  page->clickOption1(1);
  page->apply();
  EXPECT_EQ(settings.LoadMonitoredFolders(kProfile), stored);
  EXPECT_EQ(settings.LoadReplyAddressFormat(kProfile), Text(u"1") + u'\0');
}

TEST_F(PageLoadApplyTest, OneIdentityWithoutSignaturesIsOneRowInEachOfTheThreeLists) {
  seedProfile();
  const std::uint32_t id =
      seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  open();
  EXPECT_THAT(ui().List1.texts(), ElementsAre(u"Sales <sales@contoso.com>"));
  EXPECT_EQ(ui().List1.ItemData(0), static_cast<std::int32_t>(id));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u""));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u""));
  EXPECT_EQ(ui().lblDefAddress.caption, u"Pat Doe <pat@contoso.com>  (Default)");
  EXPECT_EQ(ui().lblDefAddress.toolTip, ui().lblDefAddress.caption);
  EXPECT_THAT(connect->reads, ElementsAre(u"sUN", u"sPN", u"sSMBXs"));
  EXPECT_FALSE(page->dirty());
  EXPECT_EQ(site->statusChanges, 0);
  EXPECT_EQ(page->mousePointer(), kPointerDefault);
}

TEST_F(PageLoadApplyTest, LoadShowsMailboxRowsSignaturesAndTheReplyFormat) {
  seedProfile();
  seedIdentity(u"EX MBX [Help Desk]", u"Help Desk", u"/o=Contoso/ou=Exchange/cn=helpdesk",
               u"Desk sig", u"");
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u" sales@contoso.com ", u"",
               u"Reply sig");
  seedIdentity(u"EX [ <nobody@contoso.com>]", u"  ", u"nobody@contoso.com");  // no name: hidden
  settings.SaveReplyAddressFormat(kProfile, u"0");
  open();
  EXPECT_THAT(ui().List1.texts(), ElementsAre(u"Help Desk /o=Contoso/ou=Exchange/cn=helpdesk",
                                              u"Sales <sales@contoso.com>"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"Desk sig", u""));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u"", u"Reply sig"));
  EXPECT_TRUE(ui().Option1[0].value);
  EXPECT_FALSE(ui().Option1[1].value);
  EXPECT_FALSE(ui().Option1[2].value);
  close();

  for (const char16_t* stored : {u"x", u"7", u""}) {
    settings.SaveReplyAddressFormat(kProfile, stored);
    open();
    EXPECT_TRUE(ui().Option1[2].value) << text::toUtf8(stored);
    EXPECT_FALSE(ui().Option1[0].value || ui().Option1[1].value);
    close();
  }
}

TEST_F(PageLoadApplyTest, ApplyWritesTheListInItsOrderWithIdsFromNextAccountID) {
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com", u"Sales sig",
               u"Sales reply");
  seedIdentity(u"EX MBX [Help Desk]", u"Help Desk", u"/o=Contoso/ou=Exchange/cn=helpdesk");
  // Ids 3 and 4 are taken; the next is 5.
  settings.SaveMonitoredFolders(kProfile, u"E-SUB\t");
  open();
  shell.inputAnswers = {Text(u"Info Team info@contoso.com")};
  page->cmdAdd_Click();
  page->clickList1(2);
  page->cmdMoveUp_Click();
  page->cmdMoveUp_Click();
  page->clickOption1(1);
  ASSERT_TRUE(page->dirty());
  page->apply();  // the restart question: No

  const auto accounts = identities();
  ASSERT_EQ(accounts.size(), 3u);
  EXPECT_EQ(accounts[0].Subkey, u"00000005");
  EXPECT_EQ(accounts[0].AccountName, u"EX [Info Team <info@contoso.com>]");
  EXPECT_EQ(accounts[0].DisplayName, u"Info Team");
  EXPECT_EQ(accounts[0].Email, u"info@contoso.com");
  EXPECT_EQ(accounts[1].Subkey, u"00000006");
  EXPECT_EQ(accounts[1].AccountName, u"EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(accounts[1].NewSignature, u"Sales sig");
  EXPECT_EQ(accounts[1].ReplyForwardSignature, u"Sales reply");
  EXPECT_EQ(accounts[2].Subkey, u"00000007");
  EXPECT_EQ(accounts[2].AccountName, u"EX MBX [Help Desk]");
  EXPECT_EQ(accounts[2].Email, u"/o=Contoso/ou=Exchange/cn=helpdesk");
  EXPECT_EQ(store.GetNextAccountID(kProfile), 8u);

  EXPECT_EQ(accountName(2), u"EX [Pat Doe <pat@contoso.com>]");
  EXPECT_EQ(settings.LoadReplyAddressFormat(kProfile), Text(u"1") + u'\0');
  EXPECT_EQ(settings.LoadMonitoredFolders(kProfile), Text(u"E-SUB\t") + u'\0');

  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text, kRestartQuestion);
  EXPECT_EQ(shell.messages[0].text,
            u"Outlook will be restarted to finish the configuration.\rRestart it now?");
  EXPECT_EQ(shell.messages[0].title, u"Korvanel");
  EXPECT_EQ(shell.messages[0].style, 308);
  EXPECT_THAT(shell.keys, ElementsAre(u"{Right}"));  // the input box's; no Esc
  EXPECT_FALSE(page->dirty());
  close();
  EXPECT_EQ(app->quitCalls, 0);
  EXPECT_FALSE(connect->isRestart.has_value());
}

// The order list as Outlook reads it: the ids of the accounts, in order.
std::vector<std::uint32_t> orderedIds(profile::AccountStore& store) {
  const auto bytes = store.primitives().RegReadBinary(profile::AccountManagerKey(kProfile),
                                                      u"{ED475418-B0D6-11D2-8C3B-00104B2A6676}");
  std::vector<std::uint32_t> ids;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    ids.push_back(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                  static_cast<std::uint32_t>(bytes[i + 3]) << 24);
  }
  return ids;
}

TEST_F(PageLoadApplyTest, AnIdentityThatCannotBeWrittenKeepsItsAccountAndNoRestartFollows) {
  seedProfile();
  const std::uint32_t sales =
      seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com", u"Sig");
  const std::uint32_t help =
      seedIdentity(u"EX MBX [Help Desk]", u"Help Desk", u"/o=Contoso/ou=Exchange/cn=helpdesk");
  open();
  page->clickList1(1);
  page->cmdMoveUp_Click();
  // The Help Desk row, now first, fails at its third value.
  faults.failOnCall("Registry.setValue", 3);
  shell.messageAnswers = {kIdYes};
  page->apply();

  const auto accounts = identities();
  ASSERT_EQ(accounts.size(), 2u) << "nothing lost, nothing twice";
  EXPECT_EQ(accounts[0].Subkey, profile::AccountKeyName(help)) << "the old account stays";
  EXPECT_EQ(accounts[0].AccountName, u"EX MBX [Help Desk]");
  EXPECT_EQ(accounts[1].AccountName, u"EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(accounts[1].NewSignature, u"Sig");
  // Written anew under the id the failed row left free: no half-written account is left.
  EXPECT_NE(sales, help + 1);
  EXPECT_EQ(accounts[1].Subkey, profile::AccountKeyName(help + 1));
  EXPECT_FALSE(AccountKeyExists(store.primitives(), kProfile, help + 2));
  EXPECT_THAT(orderedIds(store), UnorderedElementsAre(2u, help, help + 1));

  ASSERT_EQ(shell.messages.size(), 1u) << "told, and not asked to restart";
  EXPECT_EQ(shell.messages[0].text,
            Text(kIdentitiesNotSavedNotice) + u"\rHelp Desk /o=Contoso/ou=Exchange/cn=helpdesk");
  EXPECT_EQ(shell.messages[0].style, 48);
  EXPECT_TRUE(shell.keys.empty()) << "the dialog stays open";
  close();
  EXPECT_EQ(app->quitCalls, 0);
  EXPECT_FALSE(connect->isRestart.has_value());
}

TEST_F(PageLoadApplyTest, AnAccountThatCannotBeDeletedIsNotWrittenTwice) {
  seedProfile();
  const std::uint32_t sales =
      seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  seedIdentity(u"EX [Help <help@contoso.com>]", u"Help", u"help@contoso.com");
  open();
  page->clickOption1(0);
  // The first old account's key will not go.
  faults.failOnCall("Registry.deleteKey", 1);
  page->apply();

  const auto accounts = identities();
  ASSERT_EQ(accounts.size(), 2u) << "no identity shows twice";
  EXPECT_EQ(accounts[0].Subkey, profile::AccountKeyName(sales));
  EXPECT_EQ(accounts[0].AccountName, u"EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(accounts[1].AccountName, u"EX [Help <help@contoso.com>]");
  EXPECT_EQ(orderedIds(store).size(), 3u);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            Text(kIdentitiesNotSavedNotice) + u"\rSales <sales@contoso.com>");
  close();
  EXPECT_EQ(app->quitCalls, 0);
}

TEST_F(PageLoadApplyTest, TheAccountsDropDownFollowsTheRowsAfterApply) {
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  seedIdentity(u"EX MBX [Help Desk]", u"Help Desk", u"/o=Contoso/ou=Exchange/cn=helpdesk");
  open();
  page->clickList1(1);
  page->cmdMoveUp_Click();
  page->apply();
  // Help Desk written as 5, Sales as 6, in the rows' order behind the Exchange account.
  EXPECT_THAT(orderedIds(store), ElementsAre(2u, 5u, 6u));
  EXPECT_EQ(accountName(5), u"EX MBX [Help Desk]");
}

TEST_F(PageLoadApplyTest, AMailboxNameHoldingASlashIsSplitWhereItsNameEnds) {
  seedProfile();
  connect->sSMBXs = u"Sales / Support /o=Contoso/ou=Exchange/cn=salessupport";
  open();
  page->cmdSharedMailboxes_Click();
  page->apply();
  const auto accounts = identities();
  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_EQ(accounts[0].AccountName, u"EX MBX [Sales / Support]");
  EXPECT_EQ(accounts[0].DisplayName, u"Sales / Support");
  EXPECT_EQ(accounts[0].Email, u"/o=Contoso/ou=Exchange/cn=salessupport");
}

TEST_F(PageLoadApplyTest, ApplyKeepsTheIdentitiesWhenNextAccountIDIsMissing) {
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com", u"Sig");
  seedIdentity(u"EX MBX [Help Desk]", u"Help Desk", u"/o=Contoso/ou=Exchange/cn=helpdesk");
  ASSERT_TRUE(
      store.primitives().deleteValue(profile::AccountManagerKey(kProfile), u"NextAccountID"));
  open();
  page->clickOption1(0);
  page->apply();
  auto accounts = identities();
  ASSERT_EQ(accounts.size(), 2u);
  // The ids follow the highest key there (the old accounts 3 and 4 go only after).
  EXPECT_EQ(accounts[0].Subkey, u"00000005");
  EXPECT_EQ(accounts[0].AccountName, u"EX [Sales <sales@contoso.com>]");
  EXPECT_EQ(accounts[0].NewSignature, u"Sig");
  EXPECT_EQ(accounts[1].AccountName, u"EX MBX [Help Desk]");
  close();

  // A "NextAccountID" that names an existing account (the Exchange account) does not make
  // Apply overwrite it.
  ASSERT_TRUE(
      store.primitives().RegWriteDword(profile::AccountManagerKey(kProfile), u"NextAccountID", 2));
  open();
  page->clickOption1(1);
  page->apply();
  accounts = identities();
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].Subkey, u"00000007");
  const auto exchange = store.ReadAccountRecord(profile::AccountManagerKey(kProfile), u"00000002");
  EXPECT_EQ(exchange.ServiceName, u"MSEMS");
  EXPECT_EQ(exchange.Email, u"");
}

TEST_F(PageLoadApplyTest, ApplyOfACleanPageWritesAndAsksNothing) {
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  open();
  const Text before = reg.exportReg();
  page->apply();
  close();
  EXPECT_EQ(reg.exportReg(), before);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(PageLoadApplyTest, YesClosesTheDialogAndTheEndOfThePageQuitsOutlook) {
  seedProfile();
  open();
  page->clickOption1(0);
  shell.messageAnswers = {kIdYes};
  page->apply();
  EXPECT_EQ(shell.doEventsCalls, 1);
  EXPECT_THAT(shell.keys, ElementsAre(u"{Esc}"));
  EXPECT_EQ(app->quitCalls, 0);
  close();
  EXPECT_EQ(connect->isRestart, 1);
  EXPECT_EQ(app->quitCalls, 1);
}

TEST_F(PageLoadApplyTest, RefreshRemovesTheIdentitiesAndRestartsWithoutAsking) {
  seed.exchangeAccountName = u"EX [Pat Doe <pat@contoso.com>]";
  seedProfile();
  seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  open();
  shell.messageAnswers = {kIdNo};
  page->cmdRefresh_Click();
  EXPECT_EQ(ui().List1.ListCount(), 1);
  EXPECT_FALSE(page->dirty());

  shell.messageAnswers = {kIdYes};
  page->cmdRefresh_Click();
  ASSERT_EQ(shell.messages.size(), 2u);  // the refresh question twice, no restart question
  EXPECT_EQ(shell.messages[1].text, kRefreshQuestion);
  EXPECT_EQ(shell.messages[1].text.substr(0, 25), u"Outlook will be restarted");
  EXPECT_EQ(shell.messages[1].style, 308);
  EXPECT_EQ(ui().List1.ListCount(), 0);
  EXPECT_TRUE(identities().empty());
  EXPECT_EQ(accountName(2), u"Microsoft Exchange Server");
  EXPECT_THAT(shell.keys, ElementsAre(u"{Esc}"));
  close();
  EXPECT_EQ(connect->isRestart, 2);
  EXPECT_EQ(app->quitCalls, 1);
}

TEST_F(PageLoadApplyTest, ARestartRequestEndsWithItsOutlookProcess) {
  seedProfile();
  open();
  page->clickOption1(0);
  shell.messageAnswers = {kIdYes};
  page->apply();
  close();
  ASSERT_EQ(app->quitCalls, 1);

  // The next Outlook loads the library afresh: closing its dialog quits nothing.
  auto next = std::make_shared<FakeApplication>();
  next->addIns = app->addIns;
  site->app = next;
  open();
  close();
  EXPECT_EQ(next->quitCalls, 0);
}

TEST_F(PageLoadApplyTest, PageInfoCaptionAndLink) {
  seedProfile();
  open();
  Text helpFile = u"keep";
  long helpContext = 7;
  page->getPageInfo(helpFile, helpContext);
  EXPECT_EQ(helpFile, u"keep");
  EXPECT_EQ(helpContext, 7);
  EXPECT_EQ(page->Caption(), u"Outlook Property Page");
  page->Label1_Click();
  EXPECT_THAT(shell.executed, ElementsAre(kMakerWebAddress));
}

}  // namespace
}  // namespace korvanel::page::testing
