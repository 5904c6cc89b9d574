// Editing the identity list by hand, and the buttons that follow the lists.
#include "optionspage/page_messages.h"
#include "page_fixture.h"

namespace korvanel::page::testing {
namespace {

using ::testing::ElementsAre;

constexpr char16_t kMailboxRow[] = u"Help Desk /o=Contoso/ou=Exchange/cn=helpdesk";

class IdentityEditingTest : public PageFixture {
 protected:
  void SetUp() override {
    seedProfile();
    salesId = seedIdentity(u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com",
                           u"Sales sig", u"Sales reply");
    deskId = seedIdentity(u"EX MBX [Help Desk]", u"Help Desk",
                          u"/o=Contoso/ou=Exchange/cn=helpdesk", u"Desk sig");
    open();
  }
  void type(std::initializer_list<std::optional<Text>> answers) {
    shell.inputAnswers.assign(answers.begin(), answers.end());
  }
  struct Buttons {
    bool change, remove, removeAll, up, down;
    bool operator==(const Buttons&) const = default;
  };
  Buttons buttons() {
    return {ui().cmdChange.enabled, ui().cmdRemove.enabled, ui().cmdRemoveAll.enabled,
            ui().cmdMoveUp.enabled, ui().cmdMoveDown.enabled};
  }
  std::uint32_t salesId = 0;
  std::uint32_t deskId = 0;
};

TEST_F(IdentityEditingTest, TheInputBoxComesBackWithTheRejectedTextUntilAnEntryPasses) {
  type({Text(u"team@contoso.com"), Text(u""), Text(u"Sales Team team@contoso.com")});
  page->cmdAdd_Click();
  ASSERT_EQ(shell.prompts.size(), 3u);
  EXPECT_EQ(shell.prompts[0], u"Add new identity:\r\r  Example:\rJohn Doe <john.doe@example.com>");
  EXPECT_THAT(shell.offered, ElementsAre(u"", u"team@contoso.com", u""));
  EXPECT_THAT(shell.keys, ElementsAre(u"{Right}", u"{Right}", u"{Right}"));
  EXPECT_THAT(ui().List1.texts(), ElementsAre(u"Sales <sales@contoso.com>", kMailboxRow,
                                              u"Sales Team <team@contoso.com>"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"Sales sig", u"Desk sig", u""));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u"Sales reply", u"", u""));
  EXPECT_EQ(ui().List1.ItemData(2), 0);
  EXPECT_TRUE(page->dirty());
  EXPECT_EQ(site->statusChanges, 1);
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(IdentityEditingTest, CancelAndDuplicatesChangeNothing) {
  type({Text(u"Bad"), std::nullopt});
  page->cmdAdd_Click();
  EXPECT_EQ(shell.prompts.size(), 2u);
  type({Text(u"SALES Sales@Contoso.COM")});
  page->cmdAdd_Click();
  EXPECT_EQ(ui().List1.ListCount(), 2);
  EXPECT_FALSE(page->dirty());
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(IdentityEditingTest, ChangeKeepsTheRowsAccountNumberAndSignatures) {
  page->clickList1(0);
  type({Text(u"Sales Dept sales@contoso.com")});
  page->cmdChange_Click();
  EXPECT_EQ(shell.prompts[0].substr(0, 26), u"Change selected identity:\r");
  EXPECT_THAT(shell.offered, ElementsAre(u"Sales <sales@contoso.com>"));
  EXPECT_EQ(ui().List1.List(0), u"Sales Dept <sales@contoso.com>");
  EXPECT_EQ(ui().List1.ItemData(0), static_cast<std::int32_t>(salesId));
  EXPECT_EQ(ui().List2.List(0), u"Sales sig");
  EXPECT_EQ(ui().List3.List(0), u"Sales reply");
  EXPECT_TRUE(page->dirty());

  // Only the letters' case: a duplicate of the row itself, so nothing changes.
  type({Text(u"SALES DEPT sales@contoso.com")});
  page->cmdChange_Click();
  EXPECT_EQ(ui().List1.List(0), u"Sales Dept <sales@contoso.com>");
}

TEST_F(IdentityEditingTest, RemoveTakesTheRowsSignaturesWithIt) {
  type({Text(u"Info info@contoso.com")});
  page->cmdAdd_Click();
  page->clickList1(1);
  shell.messageAnswers = {kIdNo};
  page->cmdRemove_Click();
  EXPECT_EQ(ui().List1.ListCount(), 3);
  shell.messageAnswers = {kIdYes};
  page->cmdRemove_Click();
  ASSERT_EQ(shell.messages.size(), 2u);
  EXPECT_EQ(shell.messages[1].text, kDeleteSelectedQuestion);
  EXPECT_EQ(shell.messages[1].style, 308);
  EXPECT_THAT(ui().List1.texts(),
              ElementsAre(u"Sales <sales@contoso.com>", u"Info <info@contoso.com>"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"Sales sig", u""));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u"Sales reply", u""));
  EXPECT_EQ(ui().List1.ListIndex(), -1);
  EXPECT_EQ(buttons(), (Buttons{false, false, true, false, false}));

  shell.messageAnswers = {kIdYes};
  page->cmdRemoveAll_Click();
  EXPECT_EQ(shell.messages.back().text, kDeleteAllQuestion);
  EXPECT_EQ(ui().List1.ListCount() + ui().List2.ListCount() + ui().List3.ListCount(), 0);
  EXPECT_EQ(buttons(), (Buttons{false, false, false, false, false}));
  const std::size_t asked = shell.messages.size();
  page->cmdRemoveAll_Click();  // nothing to remove: no question
  EXPECT_EQ(shell.messages.size(), asked);
}

TEST_F(IdentityEditingTest, MovingKeepsTheListsParallelWithTheirItemData) {
  type({Text(u"Info info@contoso.com")});
  page->cmdAdd_Click();
  page->clickList1(2);
  page->cmdMoveUp_Click();
  EXPECT_THAT(ui().List1.texts(),
              ElementsAre(u"Sales <sales@contoso.com>", u"Info <info@contoso.com>", kMailboxRow));
  EXPECT_EQ(ui().List1.ItemData(0), static_cast<std::int32_t>(salesId));
  EXPECT_EQ(ui().List1.ItemData(1), 0);
  EXPECT_EQ(ui().List1.ItemData(2), static_cast<std::int32_t>(deskId));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"Sales sig", u"", u"Desk sig"));
  EXPECT_THAT(ui().List3.texts(), ElementsAre(u"Sales reply", u"", u""));
  EXPECT_EQ(ui().List1.ListIndex(), 1);

  page->cmdMoveUp_Click();
  page->cmdMoveUp_Click();  // already first: nothing
  EXPECT_EQ(ui().List1.List(0), u"Info <info@contoso.com>");
  EXPECT_EQ(ui().List2.List(0), u"");
  EXPECT_EQ(ui().List1.ListIndex(), 0);
  EXPECT_EQ(buttons(), (Buttons{true, true, true, false, true}));

  page->cmdMoveDown_Click();
  page->cmdMoveDown_Click();
  page->cmdMoveDown_Click();  // already last: nothing
  EXPECT_THAT(ui().List1.texts(),
              ElementsAre(u"Sales <sales@contoso.com>", kMailboxRow, u"Info <info@contoso.com>"));
  EXPECT_THAT(ui().List2.texts(), ElementsAre(u"Sales sig", u"Desk sig", u""));
  EXPECT_EQ(ui().List1.ItemData(1), static_cast<std::int32_t>(deskId));
  EXPECT_EQ(buttons(), (Buttons{true, true, true, true, false}));
}

TEST_F(IdentityEditingTest, ButtonsFollowTheListsAndTheirSelection) {
  // Nothing selected.
  EXPECT_EQ(buttons(), (Buttons{false, false, true, false, false}));
  EXPECT_TRUE(ui().cmdAdd.enabled);
  EXPECT_TRUE(ui().cmdPopulate.enabled);
  // The first row, then the last, a mailbox row: Change is off for it.
  page->clickList1(0);
  EXPECT_EQ(buttons(), (Buttons{true, true, true, false, true}));
  page->clickList1(1);
  EXPECT_EQ(buttons(), (Buttons{false, true, true, true, false}));
  // A single row may be changed whatever its form.
  shell.messageAnswers = {kIdYes};
  page->cmdRemove_Click();
  page->clickList1(0);
  shell.messageAnswers = {kIdYes};
  page->cmdRemove_Click();
  type({Text(u"x") /* rejected */, std::nullopt});
  page->cmdAdd_Click();
  EXPECT_EQ(ui().List1.ListCount(), 0);
  EXPECT_EQ(buttons(), (Buttons{false, false, false, false, false}));
  module->sSMBXs = kMailboxRow;
  page->cmdSharedMailboxes_Click();
  page->clickList1(0);
  EXPECT_EQ(buttons(), (Buttons{true, true, true, false, false}));
}

}  // namespace
}  // namespace korvanel::page::testing
