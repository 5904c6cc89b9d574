// The Options page end to end: Outlook's Options dialog creates it, it reaches the running
// add-in through COMAddIns, the user edits, Apply writes the profile, and the restart it asks
// for brings up an Outlook whose add-in works with the new identities.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "addin/connect.h"
#include "addin/registration.h"
#include "optionspage/korvanel_page.h"
#include "optionspage/page_messages.h"
#include "optionspage/registration.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "profile/profile_settings.h"
#include "sim/machine.h"

namespace korvanel::scenarios {
namespace {

using page::KorvanelPage;
using platform::kIdNo;
using platform::kIdYes;
using ::testing::ElementsAre;
using text::Text;
using text::TextView;

constexpr char16_t kProfile[] = u"Outlook";
constexpr char16_t kHelpDeskDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";

class OptionsPageScenario : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { makeMachine(1033); }
  // The dialog holds its page and the page Outlook's Application, as in Outlook itself: an
  // Options dialog left open at the end of a test is closed, as Outlook closes it at exit.
  void TearDown() override {
    if (auto outlook = machine ? machine->outlook() : nullptr) {
      outlook->optionsDialog().pressCancel();
      machine->runUntilIdle();
    }
  }

  void makeMachine(long uiLanguage) {
    sim::MachineOptions options;
    options.version = GetParam();
    options.uiLanguage = uiLanguage;
    machine = std::make_unique<sim::Machine>(options);
    machine->organisation().addMailbox(u"Help Desk", u"helpdesk", {u"SMTP:helpdesk@contoso.com"},
                                       kHelpDeskDn);
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com",
                           u"smtp:help@contoso.com"};
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", kHelpDeskDn}};
    ASSERT_NE(machine->setUpExchangeProfile(seed), nullptr);
    addin::registerAddinClasses(machine->world().classes(), machine->services());
    page::registerKorvanelPage(machine->world().classes(), machine->services());
  }

  std::uint32_t addIdentity(TextView accountName, TextView name, TextView email) {
    profile::AccountStore store(machine->registry());
    const std::uint32_t id = store.GetNextAccountID(kProfile);
    EXPECT_TRUE(store.CreateIdentityAccount(kProfile, id, accountName, name, email, u"", u""));
    return id;
  }

  std::shared_ptr<sim::Outlook> start() {
    auto outlook = machine->startOutlook();
    EXPECT_NE(outlook, nullptr);
    return outlook;
  }

  // Tools > Options, then the add-in's tab (the last one).
  KorvanelPage* showPage(sim::Outlook& outlook) {
    if (!outlook.optionsDialog().isOpen()) outlook.openOptions();
    sim::OptionsDialog& dialog = outlook.optionsDialog();
    EXPECT_EQ(dialog.tabs().back(), u"Korvanel");
    dialog.selectLastTab();
    return dynamic_cast<KorvanelPage*>(dialog.page().get());
  }

  addin::Connect* connect() { return dynamic_cast<addin::Connect*>(machine->addIn()); }

  std::vector<profile::AccountRecord> identities() {
    profile::AccountStore reader(machine->registry());
    reader.EnumIdentityAccounts(kProfile);
    std::vector<profile::AccountRecord> out;
    for (const Text& key : text::split(reader.IdentityLists().Subkeys, u"\t")) {
      out.push_back(reader.ReadAccountRecord(profile::AccountManagerKey(kProfile), key));
    }
    return out;
  }

  Text exchangeAccountName() {
    profile::AccountStore reader(machine->registry());
    return reader.ReadAccountRecord(profile::AccountManagerKey(kProfile), u"00000002").AccountName;
  }

  std::vector<Text> boxTexts() const {
    std::vector<Text> out;
    for (const auto& d : machine->shell().dialogs()) out.push_back(d.text);
    return out;
  }

  bool is2003() const { return GetParam() < 12; }

  std::unique_ptr<sim::Machine> machine;
  sim::OutlookProfileSeed seed;
};

TEST_P(OptionsPageScenario, LoadsFromTheRunningAddInAndOkOnACleanPageWritesNothing) {
  const std::uint32_t id =
      addIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  auto outlook = start();
  const Text before = machine->simRegistry().exportReg();

  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  const page::PageLayout& ui = page->layout();
  EXPECT_THAT(ui.List1.texts(), ElementsAre(u"Sales <sales@contoso.com>"));
  EXPECT_EQ(ui.List1.ItemData(0), static_cast<std::int32_t>(id));
  EXPECT_THAT(ui.List2.texts(), ElementsAre(u""));
  EXPECT_THAT(ui.List3.texts(), ElementsAre(u""));
  EXPECT_EQ(ui.lblDefAddress.caption, u"Pat Doe <pat@contoso.com>  (Default)");
  EXPECT_EQ(ui.Frame2.visible, is2003());
  EXPECT_EQ(ui.cmdAddFolder.visible, is2003());
  EXPECT_EQ(page->module().OutlookVersion, GetParam());
  EXPECT_EQ(page->module().sSMBXs, Text(u"Help Desk ") + kHelpDeskDn);

  outlook->optionsDialog().pressOk();
  machine->runUntilIdle();
  EXPECT_FALSE(outlook->optionsDialog().isOpen());
  EXPECT_TRUE(machine->shell().dialogs().empty());
  EXPECT_EQ(machine->simRegistry().exportReg(), before);
  EXPECT_EQ(machine->outlook(), outlook);
}

TEST_P(OptionsPageScenario, WithoutTheAddInsObjectThePageEditsNothingAndSaysSo) {
  addIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  auto outlook = start();
  outlook->comAddIn(u"Korvanel.Connect")->setObject(nullptr);
  const Text before = machine->simRegistry().exportReg();

  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->layout().List1.ListCount(), 0);
  EXPECT_EQ(page->layout().lblDefAddress.caption, u"");
  EXPECT_TRUE(page->layout().Option1[2].value);
  page->clickOption1(0);
  EXPECT_TRUE(outlook->optionsDialog().applyEnabled());
  outlook->optionsDialog().pressOk();
  machine->runUntilIdle();
  ASSERT_EQ(machine->shell().dialogs().size(), 1u);
  EXPECT_EQ(machine->shell().dialogs()[0].text, page::kNothingSavedNotice);
  EXPECT_EQ(machine->simRegistry().exportReg(), before);
  EXPECT_EQ(machine->outlook(), outlook);
}

TEST_P(OptionsPageScenario, AnsweringNoKeepsOutlookRunningWithTheSettingsWritten) {
  auto outlook = start();
  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  machine->shell().typeIntoInputBox(u"Sales Team sales@contoso.com", page::kAddPrompt);
  page->cmdAdd_Click();
  page->clickOption1(0);
  machine->shell().answerMessageBox(kIdNo, u"Restart it now?");
  outlook->optionsDialog().pressApply();
  EXPECT_TRUE(outlook->optionsDialog().isOpen());
  outlook->optionsDialog().pressOk();  // clean again: closes without asking
  machine->runUntilIdle();

  EXPECT_TRUE(machine->shell().scriptProblems().empty());
  ASSERT_EQ(identities().size(), 1u);
  EXPECT_EQ(identities()[0].AccountName, u"EX [Sales Team <sales@contoso.com>]");
  EXPECT_EQ(exchangeAccountName(), u"EX [Pat Doe <pat@contoso.com>]");
  EXPECT_EQ(machine->outlook(), outlook);
  EXPECT_EQ(machine->runs().size(), 1u);
}

// The add-in cannot be asked for the restart the user agreed to: Outlook, which nothing
// would start again, stays, with the identities saved, and the user is told to restart it.
TEST_P(OptionsPageScenario, AnAddInThatCannotBeAskedToRestartLeavesOutlookRunningAndSaysSo) {
  auto outlook = start();
  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  machine->shell().typeIntoInputBox(u"Sales Team sales@contoso.com", page::kAddPrompt);
  page->cmdAdd_Click();
  machine->faults().failAlways("COMAddIns.Item");
  machine->shell().answerMessageBox(kIdYes, u"Restart it now?");
  outlook->optionsDialog().pressOk();
  machine->runUntilIdle();

  ASSERT_EQ(identities().size(), 1u);
  EXPECT_EQ(machine->outlook(), outlook);
  EXPECT_FALSE(outlook->ended());
  ASSERT_FALSE(machine->shell().dialogs().empty());
  EXPECT_EQ(machine->shell().dialogs().back().text, page::kNotRestartedNotice);
  EXPECT_EQ(machine->shell().dialogs().back().style, page::kNoticeStyle);
}

TEST_P(OptionsPageScenario, ApplyRestartsOutlookAndTheNewAddInWorksWithTheNewIdentities) {
  addIdentity(u"EX [Old <old@contoso.com>]", u"Old", u"old@contoso.com");
  auto outlook = start();
  sim::ModelFolderPtr inbox = outlook->folderByPath(u"Inbox");
  ASSERT_NE(inbox, nullptr);
  sim::addFolder(inbox, u"Sub");

  // Three compose windows are open while the user works in the Options dialog.
  std::vector<Text> closed;
  std::vector<platform::Connection> watches;
  std::vector<sim::InspectorHandle> windows;
  for (int i = 1; i <= 3; ++i) {
    windows.push_back(outlook->newItem(platform::kOlMail));
    windows.back()->item->label = u"draft " + text::toText(i);
    watches.push_back(windows.back()->close.connect(
        [&closed, label = windows.back()->item->label] { closed.push_back(label); }));
  }

  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  sim::SimShell& shell = machine->shell();
  // The first entry lacks its address; the box offers it again with the caret at its end,
  // so what the user types next is added to it.
  shell.answerInputBox(u"Info Desk", page::kAddPrompt);
  shell.typeIntoInputBox(u" <info@contoso.com>", page::kAddPrompt);
  page->cmdAdd_Click();
  page->cmdPopulate_Click();         // Pat Doe <help@...>, Pat Doe <sales@...>
  page->cmdSharedMailboxes_Click();  // Help Desk /o=...
  page->clickList1(0);               // Old: removed
  shell.answerMessageBox(kIdYes, page::kDeleteSelectedQuestion);
  page->cmdRemove_Click();
  page->clickOption1(1);
  if (is2003()) {
    outlook->answerPickFolder(inbox);  // refused
    outlook->answerPickFolder(outlook->folderByPath(u"Inbox/Sub"));
    shell.answerMessageBox(platform::kIdOk, page::kImproperFolderNotice);
    page->cmdAddFolder_Click();
    EXPECT_THAT(page->layout().List4.texts(), ElementsAre(u"Inbox\\Sub"));
  }
  EXPECT_THAT(page->layout().List1.texts(),
              ElementsAre(u"Info Desk <info@contoso.com>", u"Pat Doe <help@contoso.com>",
                          u"Pat Doe <sales@contoso.com>", Text(u"Help Desk ") + kHelpDeskDn));

  // The restarted add-in brings the page up again in Outlook's modal dialog; the user looks
  // at it and cancels.
  int listedAgain = -1;
  bool option1Again = false;
  machine->world().whileModal = [&](sim::Outlook& shown) {
    if (auto* again = dynamic_cast<KorvanelPage*>(shown.optionsDialog().page().get())) {
      listedAgain = again->layout().List1.ListCount();
      option1Again = again->layout().Option1[1].value;
    }
    return false;
  };

  // Apply, Yes: the Esc the page sends closes the dialog, which ends the page.
  shell.answerMessageBox(kIdYes, u"Restart it now?");
  outlook->optionsDialog().pressApply();
  machine->runUntilIdle();
  EXPECT_TRUE(shell.scriptProblems().empty());
  const auto& keys = shell.keyDeliveries();
  EXPECT_EQ(
      std::count_if(keys.begin(), keys.end(),
                    [](const sim::KeyDelivery& k) { return text::equalsNoCase(k.key, u"{Esc}"); }),
      1);
  EXPECT_FALSE(outlook->optionsDialog().isOpen());
  EXPECT_EQ(shell.unusedAnswers(), 0u);

  // Every window was saved and closed, the last first, before Outlook quit.
  EXPECT_THAT(closed, ElementsAre(u"draft 3", u"draft 2", u"draft 1"));
  for (const auto& w : windows) EXPECT_TRUE(w->item->saved);

  // The profile holds the identities in list order, ids from "NextAccountID".
  const auto accounts = identities();
  ASSERT_EQ(accounts.size(), 4u);
  EXPECT_EQ(accounts[0].Subkey, u"00000004");
  EXPECT_EQ(accounts[0].AccountName, u"EX [Info Desk <info@contoso.com>]");
  EXPECT_EQ(accounts[1].AccountName, u"EX [Pat Doe <help@contoso.com>]");
  EXPECT_EQ(accounts[2].AccountName, u"EX [Pat Doe <sales@contoso.com>]");
  EXPECT_EQ(accounts[3].Subkey, u"00000007");
  EXPECT_EQ(accounts[3].AccountName, u"EX MBX [Help Desk]");
  EXPECT_EQ(accounts[3].Email, kHelpDeskDn);
  // Apply named the Exchange account "EX [...]"; the restarted add-in names it again.
  EXPECT_EQ(exchangeAccountName(), u"Pat Doe <pat@contoso.com>");
  profile::ProfileSettings settings(machine->registry());
  EXPECT_EQ(settings.LoadReplyAddressFormat(kProfile), Text(u"1") + u'\0');

  // A new Outlook runs, and its add-in has read the new identities.
  ASSERT_EQ(machine->runs().size(), 2u);
  auto restarted = machine->outlook();
  ASSERT_NE(restarted, nullptr);
  EXPECT_NE(restarted, outlook);
  ASSERT_NE(connect(), nullptr);
  const addin::IdentityTable& table = connect()->state().IdentityTable;
  ASSERT_EQ(table.IdLast(), 3);
  EXPECT_EQ(table.Email(0), u"info@contoso.com");
  EXPECT_EQ(table.AccountName(3), u"EX MBX [Help Desk]");
  EXPECT_NE(restarted->accountByName(u"EX [Info Desk <info@contoso.com>]"), nullptr);
  if (is2003()) {
    const Text subId = restarted->folderByPath(u"Inbox/Sub")->entryId;
    EXPECT_EQ(settings.LoadMonitoredFolders(kProfile), subId + u"\t" + u'\0');
  }
  // The refresh brought the page up again, showing what was written.
  EXPECT_EQ(listedAgain, 4);
  EXPECT_TRUE(option1Again);
  EXPECT_FALSE(restarted->optionsDialog().isOpen());
  EXPECT_EQ(machine->outlook(), restarted);
  EXPECT_TRUE(machine->anomalies().empty()) << text::toUtf8(machine->anomalies().front());
}

TEST_P(OptionsPageScenario, RefreshEmptiesTheListAndRereadsTheDirectoryWithoutAsking) {
  addIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  auto outlook = start();
  ASSERT_EQ(exchangeAccountName(), u"Pat Doe <pat@contoso.com>");  // the add-in's name
  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  machine->shell().answerMessageBox(kIdYes, u"re-read the e-mail addresses");
  page->cmdRefresh_Click();
  machine->runUntilIdle();

  EXPECT_THAT(boxTexts(), ElementsAre(page::kRefreshQuestion));
  EXPECT_TRUE(identities().empty());
  EXPECT_EQ(exchangeAccountName(), u"Microsoft Exchange Server");
  // The re-read runs Outlook on the temporary profile before the user's own again.
  ASSERT_GE(machine->runs().size(), 2u);
  EXPECT_EQ(machine->runs()[1].profile, u"Outlook_delete_it");
  EXPECT_TRUE(machine->runs()[1].safeMode);
}

TEST_P(OptionsPageScenario, TheExchangeAccountGetsItsSpanishDefaultName) {
  makeMachine(0x0C0A);
  addIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com");
  auto outlook = start();
  KorvanelPage* page = showPage(*outlook);
  ASSERT_NE(page, nullptr);
  page->clickList1(0);
  machine->shell().answerMessageBox(kIdYes, page::kDeleteSelectedQuestion);
  page->cmdRemove_Click();
  machine->shell().answerMessageBox(kIdNo, u"Restart it now?");
  outlook->optionsDialog().pressOk();
  machine->runUntilIdle();
  EXPECT_TRUE(identities().empty());
  EXPECT_EQ(exchangeAccountName(), u"Servidor de Microsoft Exchange");
}

INSTANTIATE_TEST_SUITE_P(Outlook, OptionsPageScenario, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios
