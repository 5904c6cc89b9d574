// Monitored folders, shared mailboxes, directory addresses and the lists' scroll extent.
#include "optionspage/page_messages.h"
#include "page_fixture.h"

namespace korvanel::page::testing {
namespace {

using ::testing::ElementsAre;

class FoldersDirectoryTest : public PageFixture {
 protected:
  void SetUp() override { seedProfile(); }
  std::vector<Text> messageTexts() const {
    std::vector<Text> out;
    for (const Box& b : shell.messages) out.push_back(b.text);
    return out;
  }
};

TEST_F(FoldersDirectoryTest, DefaultAndForeignFoldersAreRefusedAndThePickerOpensAgain) {
  open();
  app->ns->picks = {inbox, sent, calendar, archived, sub};
  page->cmdAddFolder_Click();
  EXPECT_EQ(app->ns->pickerShown, 5);
  ASSERT_EQ(shell.messages.size(), 4u);
  for (const Box& b : shell.messages) {
    EXPECT_EQ(b.text, kImproperFolderNotice);
    EXPECT_EQ(b.style, 48);
    EXPECT_EQ(b.title, u"Korvanel");
  }
  EXPECT_THAT(ui().List4.texts(), ElementsAre(u"Inbox\\Sub"));
  EXPECT_THAT(ui().List5.texts(), ElementsAre(u"E-SUB"));
  EXPECT_TRUE(page->dirty());

  // Junk E-mail and a folder of the user's own qualify; the same folder twice is two rows.
  app->ns->picks = {junk};
  page->cmdAddFolder_Click();
  app->ns->picks = {sub};
  page->cmdAddFolder_Click();
  app->ns->picks = {};
  page->cmdAddFolder_Click();  // cancelled at once
  EXPECT_THAT(ui().List4.texts(), ElementsAre(u"Inbox\\Sub", u"Junk E-mail", u"Inbox\\Sub"));
  EXPECT_THAT(ui().List5.texts(), ElementsAre(u"E-SUB", u"E-JUNK", u"E-SUB"));
  EXPECT_EQ(shell.messages.size(), 4u);

  page->clickList4(1);
  EXPECT_TRUE(ui().cmdDeleteFolder.enabled);
  shell.messageAnswers = {kIdYes};
  page->cmdDeleteFolder_Click();
  EXPECT_THAT(ui().List4.texts(), ElementsAre(u"Inbox\\Sub", u"Inbox\\Sub"));
  EXPECT_THAT(ui().List5.texts(), ElementsAre(u"E-SUB", u"E-SUB"));
  EXPECT_FALSE(ui().cmdDeleteFolder.enabled);

  page->apply();
  EXPECT_EQ(settings.LoadMonitoredFolders(kProfile), Text(u"E-SUB\tE-SUB\t") + u'\0');

  shell.messageAnswers = {kIdYes};
  page->cmdDeleteAllFolders_Click();
  EXPECT_EQ(shell.messages.back().text, kDeleteAllQuestion);
  EXPECT_EQ(ui().List4.ListCount() + ui().List5.ListCount(), 0);
  EXPECT_FALSE(ui().cmdDeleteAllFolders.enabled);
}

TEST_F(FoldersDirectoryTest, WithoutTheDefaultStoresRootEveryFolderIsRefused) {
  app->ns->defaults.erase(kOlFolderInbox);
  open();
  app->ns->picks = {projects, junk};
  page->cmdAddFolder_Click();
  EXPECT_EQ(shell.messages.size(), 2u);
  EXPECT_EQ(ui().List4.ListCount(), 0);
}

TEST_F(FoldersDirectoryTest, APathShowsAtMostTheLowest21Names) {
  open();
  FakeFolderPtr folder = projects;
  for (int i = 1; i <= 24; ++i)
    folder = folder->add(u"L" + text::toText(i), u"E-L" + text::toText(i));
  FolderPtr walker = folder;
  const Text path = page->GetFolderPath(walker);
  EXPECT_EQ(text::split(path, u"\\").size(), 21u);
  EXPECT_EQ(path.substr(0, 4), u"L4\\L");
  EXPECT_NE(walker, FolderPtr(folder));  // the variable was walked up the tree

  FolderPtr foreign = archived;
  EXPECT_EQ(page->GetFolderPath(foreign), u"Old");
}

TEST_F(FoldersDirectoryTest, SharedMailboxesAreAddedOnceAndTheirAbsenceIsTold) {
  connect->sSMBXs =
      u"Help Desk /o=Contoso/ou=Exchange/cn=helpdesk\x01 Sales Box /o=Contoso/ou=Exchange/cn=sales";
  open();
  page->cmdSharedMailboxes_Click();
  page->cmdSharedMailboxes_Click();
  EXPECT_THAT(ui().List1.texts(), ElementsAre(u"Help Desk /o=Contoso/ou=Exchange/cn=helpdesk",
                                              u"Sales Box /o=Contoso/ou=Exchange/cn=sales"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"", u""));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u"", u""));
  EXPECT_TRUE(shell.messages.empty());
  close();

  connect->sSMBXs.clear();
  open();
  page->cmdSharedMailboxes_Click();
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].text,
            u"There are no shared mailboxes in the current profile or\ryou have insufficient "
            u"rights on the shared mailbox(es)");
  EXPECT_EQ(shell.messages[0].style, 48);
}

TEST_F(FoldersDirectoryTest, DirectoryAddressesAreAddedOnceWithTheUsersName) {
  open();
  page->cmdPopulate_Click();
  page->cmdPopulate_Click();
  EXPECT_THAT(ui().List1.texts(),
              ElementsAre(u"Pat Doe <help@contoso.com>", u"Pat Doe <sales@contoso.com>"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"", u""));
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_TRUE(page->dirty());
}

TEST_F(FoldersDirectoryTest, NamesWithControlCharactersFromTheDirectoryAreRefused) {
  // A TAB would shift every account list at the next load, as a typed one would.
  connect->sSMBXs =
      u"Help\tDesk /o=Contoso/ou=Exchange/cn=helpdesk\x01"
      u"Sales Box /o=Contoso/ou=Exchange/cn=sales";
  connect->sUN = u"Pat\tDoe";
  open();
  page->cmdSharedMailboxes_Click();
  EXPECT_THAT(ui().List1.texts(), ElementsAre(u"Sales Box /o=Contoso/ou=Exchange/cn=sales"));
  page->cmdPopulate_Click();
  EXPECT_EQ(ui().List1.ListCount(), 1) << "the user's name holds a TAB";
  EXPECT_TRUE(shell.messages.empty()) << "the addresses are there, only not usable";
  close();

  connect->sUN = u"Pat Doe";
  connect->sSMBXs =
      u"Help\x02"
      u"Desk /o=Contoso/ou=Exchange/cn=helpdesk";
  open();
  page->cmdSharedMailboxes_Click();
  EXPECT_EQ(ui().List1.ListCount(), 0);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FoldersDirectoryTest, OnlyThePrimaryAddressGivesTheNotice) {
  reg.clear();
  sim::installOutlookRegistration(reg);
  seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"X400:c=US;a= ;p=Contoso;"};
  seedProfile();
  open();
  page->cmdPopulate_Click();
  EXPECT_THAT(messageTexts(), ElementsAre(u"There are no SMTP addresses except the default one: "
                                          u"pat@contoso.com\rin Active Directory"));
  EXPECT_EQ(ui().List1.ListCount(), 0);
}

// Without the add-in the page has no profile: the directory buttons change nothing, quit
// nothing, and each says why.
TEST_F(FoldersDirectoryTest, WithoutTheAddInTheDirectoryButtonsDoNothingAndSaySo) {
  withoutAddIn();
  open();
  page->cmdPopulate_Click();
  page->cmdRefresh_Click();
  EXPECT_THAT(messageTexts(), ElementsAre(kNothingSavedNotice, kNothingSavedNotice));
  EXPECT_EQ(ui().List1.ListCount(), 0);
  close();
  EXPECT_EQ(app->quitCalls, 0);
}

TEST_F(FoldersDirectoryTest, TheHorizontalExtentFollowsTheWidestRow) {
  open();
  EXPECT_EQ(ui().List1.horizontalExtent, 0);
  ui().List1.hWnd = 0x501;
  page->cmdPopulate_Click();
  const long widest = static_cast<long>(Text(u"Pat Doe <sales@contoso.com>").size());
  EXPECT_EQ(ui().List1.horizontalExtent, widest * FakeShell::kCharWidth + 17);
  EXPECT_EQ(shell.extents[0x501], ui().List1.horizontalExtent);
  EXPECT_EQ(page->font().name, u"MS Sans Serif");

  shell.messageAnswers = {kIdYes};
  page->cmdRemoveAll_Click();
  EXPECT_EQ(ui().List1.horizontalExtent, 0);
  EXPECT_EQ(shell.extents[0x501], 0);
}

}  // namespace
}  // namespace korvanel::page::testing
