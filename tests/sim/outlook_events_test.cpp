// When and in which order the simulated Outlook raises its events.
#include <gtest/gtest.h>

#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

class OutlookEvents : public OutlookFixture {
 protected:
  std::vector<Text> log;
};

TEST_F(OutlookEvents, NewMailToTheDefaultInboxRaisesNewMailExAndItemAddAfterwards) {
  auto outlook = start(12);
  auto app = outlook->application();
  auto ns = app->getNamespace(u"MAPI");
  auto inbox = ns->getDefaultFolder(kOlFolderInbox)->items();
  Connection c1 = app->onNewMailEx([&](const Text& ids) { log.push_back(u"NewMailEx " + ids); });
  Connection c2 =
      inbox->onItemAdd([&](const ItemPtr& item) { log.push_back(u"ItemAdd " + item->entryId()); });

  auto folder = outlook->folderByPath(u"Inbox");
  auto item = world.deliver(folder, mailTo(u"pat@contoso.com", u"One"));
  EXPECT_TRUE(log.empty()) << "raised inside the delivery";
  outlook->pump();
  EXPECT_EQ(log, (std::vector<Text>{u"NewMailEx " + item->entryId, u"ItemAdd " + item->entryId}));

  // Mail for the shared mailbox raises neither.
  log.clear();
  outlook->receive(mailTo(u"help@contoso.com", u"Two"), u"Mailbox - Help Desk/Inbox");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(help->store->defaultFolder(kOlFolderInbox)->items.size(), 1u);

  // A released connection hears nothing more.
  c2.reset();
  outlook->receive(mailTo(u"pat@contoso.com", u"Three"));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind(u"NewMailEx ", 0), 0u);
}

TEST_F(OutlookEvents, DeleteReachesDeletedItemsItemAddOnlyWhenMessagesArePumped) {
  auto outlook = start(11);
  auto ns = outlook->application()->getNamespace(u"MAPI");
  auto deleted = ns->getDefaultFolder(kOlFolderDeletedItems);
  auto model = outlook->receive(mailTo(u"pat@contoso.com", u"Old"));
  auto item = makeItem(outlook, model);
  const Text before = item->entryId();
  ItemPtr added;
  Connection c = deleted->items()->onItemAdd([&](const ItemPtr& i) { added = i; });

  ASSERT_TRUE(item->deleteItem());
  EXPECT_EQ(added, nullptr);
  EXPECT_EQ(item->parent()->entryId(), deleted->entryId());
  EXPECT_NE(item->entryId(), before);  // a moved message has a new entry id
  outlook->pump();
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->entryId(), item->entryId());

  // Deleting it from Deleted Items removes it for good; no further ItemAdd.
  added.reset();
  EXPECT_TRUE(item->deleteItem());
  outlook->pump();
  EXPECT_EQ(added, nullptr);
  EXPECT_TRUE(outlook->folderByPath(u"Deleted Items")->items.empty());
  EXPECT_TRUE(item->subject().empty()) << "a removed item's members fail";
}

TEST_F(OutlookEvents, OpeningWindowsRaisesNewInspectorThenReadThenActivate) {
  auto outlook = start(12);
  auto app = outlook->application();
  auto inspectors = app->inspectors();
  std::vector<Connection> hooks;
  Connection c = inspectors->onNewInspector([&](const InspectorPtr& inspector) {
    auto item = inspector->currentItem();
    log.push_back(u"NewInspector " + item->subject());
    // A handler hooks the new window and its item, as the add-in's wrappers do.
    hooks.push_back(
        inspector->onActivate([&, s = item->subject()] { log.push_back(u"Activate " + s); }));
    hooks.push_back(
        inspector->onDeactivate([&, s = item->subject()] { log.push_back(u"Deactivate " + s); }));
    hooks.push_back(inspector->onClose([&, s = item->subject()] {
      log.push_back(u"Close " + s + u" count " + text::toText(app->inspectors()->count()));
    }));
    hooks.push_back(item->onRead([&, s = item->subject()] { log.push_back(u"Read " + s); }));
    hooks.push_back(
        item->onClose([&, s = item->subject()](bool&) { log.push_back(u"ItemClose " + s); }));
  });

  auto first = outlook->receive(mailTo(u"pat@contoso.com", u"A"));
  auto a = outlook->open(first);
  EXPECT_EQ(log, (std::vector<Text>{u"NewInspector A", u"Read A", u"Activate A"}));
  log.clear();
  auto b = outlook->newItem(kOlMail);
  EXPECT_EQ(log, (std::vector<Text>{u"NewInspector ", u"Deactivate A", u"Activate "}));
  EXPECT_EQ(app->activeInspector()->currentItem()->entryId(), u"");
  log.clear();
  outlook->activate(a);
  EXPECT_EQ(log, (std::vector<Text>{u"Deactivate ", u"Activate A"}));
  log.clear();
  EXPECT_TRUE(outlook->closeWindow(a));
  // The closing window still counts; the window below becomes active.
  EXPECT_EQ(log, (std::vector<Text>{u"ItemClose A", u"Close A count 2", u"Activate "}));
  EXPECT_EQ(app->inspectors()->count(), 1);
}

TEST_F(OutlookEvents, CancellingCloseKeepsTheWindowAndDiscardClosesWithoutAsking) {
  auto outlook = start(12);
  auto inspector = outlook->newItem(kOlMail);
  auto item = makeItem(outlook, inspector->item);
  bool cancel = true;
  Connection c = item->onClose([&](bool& cancelArg) { cancelArg = cancel; });
  EXPECT_FALSE(outlook->closeWindow(inspector));
  EXPECT_TRUE(inspector->isOpen);

  // Closing with discard from code: nothing is asked (no shell is needed) and nothing saved.
  cancel = false;
  item->setSubject(u"Draft");
  EXPECT_FALSE(item->saved());
  EXPECT_TRUE(item->close(kOlDiscard));
  EXPECT_FALSE(inspector->isOpen);
  EXPECT_TRUE(outlook->folderByPath(u"Drafts")->items.empty());
  EXPECT_EQ(outlook->application()->activeInspector(), nullptr);
}

TEST_F(OutlookEvents, SaveOfANewItemAddsItToDraftsAndChangesLaterRaiseItemChange) {
  auto outlook = start(12);
  auto ns = outlook->application()->getNamespace(u"MAPI");
  auto item = outlook->application()->createItem(kOlMailItem);
  std::vector<Text> props;
  Connection pc = item->onPropertyChange([&](const Text& name) { props.push_back(name); });
  item->setSubject(u"Plan");
  item->setBillingInformation(u"KVX100");
  EXPECT_EQ(props, (std::vector<Text>{u"Subject", u"BillingInformation"}));
  EXPECT_TRUE(item->entryId().empty());
  EXPECT_EQ(item->parent(), nullptr);

  int adds = 0;
  int changes = 0;
  auto drafts = ns->getDefaultFolder(kOlFolderDrafts)->items();
  Connection a = drafts->onItemAdd([&](const ItemPtr&) { ++adds; });
  Connection ch = drafts->onItemChange([&](const ItemPtr&) { ++changes; });
  ASSERT_TRUE(item->save());
  EXPECT_TRUE(item->saved());
  EXPECT_EQ(item->entryId().size(), 140u);
  outlook->pump();
  EXPECT_EQ(adds, 1);
  item->setSubject(u"Plan B");
  item->save();
  outlook->pump();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ns->getItemFromID(item->entryId())->subject(), u"Plan B");
}

TEST_F(OutlookEvents, ToolsOptionsRaisesOptionsPagesAddAndTheTabKeysShowTheLastPage) {
  struct Page final : PropertyPage {
    explicit Page(std::vector<Text>& log) : log(log) {}
    void initProperties(const PropertyPageSitePtr& s) override {
      site = s;
      log.push_back(u"load " + s->application()->version());
    }
    void apply() override { log.push_back(u"apply"); }
    bool dirty() override { return isDirty; }
    void getPageInfo(Text&, long&) override {}
    void onTerminate() override { log.push_back(u"terminate"); }
    std::vector<Text>& log;
    PropertyPageSitePtr site;
    bool isDirty = false;
  };
  Page* page = nullptr;
  world.classes().registerPage(u"Korvanel.KorvanelPage", [&] {
    auto p = std::make_unique<Page>(log);
    page = p.get();
    return p;
  });
  auto outlook = start(11);
  auto app = outlook->application();
  Connection c = app->onOptionsPagesAdd([&](const PropertyPagesPtr& pages) {
    log.push_back(u"OptionsPagesAdd");
    EXPECT_TRUE(pages->add(u"Korvanel.KorvanelPage", u"Korvanel"));
  });

  Connection mail = app->onNewMailEx([&](const Text&) { log.push_back(u"NewMailEx"); });

  // As the add-in does it: keys queued before Execute reach the dialog when messages run.
  // Execute is modal: it returns once the dialog has closed; Outlook's events arrive and the
  // user acts meanwhile.
  auto control = app->activeExplorer()->commandBars()->findControl(kOptionsCommandId);
  ASSERT_NE(control, nullptr);
  OptionsDialog& dialog = outlook->optionsDialog();
  int rounds = 0;
  world.whileModal = [&](Outlook& shown) {
    EXPECT_EQ(&shown, outlook.get());
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(dialog.tabs().back(), u"Korvanel");
    EXPECT_EQ(dialog.selectedTab(), static_cast<int>(dialog.tabs().size()) - 1);
    if (++rounds == 1) {
      world.deliver(shown.defaultFolder(kOlFolderInbox), mailTo(u"pat@contoso.com", u"Hi"));
      return true;
    }
    // OK applies only a dirty page; the page ends with the dialog.
    page->isDirty = true;
    page->site->onStatusChange();
    EXPECT_TRUE(dialog.applyEnabled());
    dialog.pressOk();
    return true;
  };
  outlook->postKeys(u"+{TAB}");
  outlook->postKeys(u"{END}");
  ASSERT_TRUE(control->execute());
  EXPECT_FALSE(dialog.isOpen());
  EXPECT_EQ(rounds, 2);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(log, (std::vector<Text>{u"OptionsPagesAdd", u"load 11.0.8169.0", u"NewMailEx", u"apply",
                                    u"terminate"}));

  // Nobody acting in it, the modal dialog is cancelled: no Apply.
  log.clear();
  world.whileModal = nullptr;
  outlook->postKeys(u"+{TAB}");
  outlook->postKeys(u"{END}");
  page = nullptr;
  ASSERT_TRUE(control->execute());
  EXPECT_FALSE(dialog.isOpen());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(log, (std::vector<Text>{u"OptionsPagesAdd", u"load 11.0.8169.0", u"terminate"}));

  // Esc from the keyboard cancels: no Apply.
  log.clear();
  ASSERT_TRUE(outlook->openOptions());
  ASSERT_TRUE(dialog.selectTab(u"Korvanel"));
  page->isDirty = true;
  outlook->postKeys(u"{Esc}");
  outlook->pump();
  EXPECT_FALSE(dialog.isOpen());
  EXPECT_EQ(log, (std::vector<Text>{u"OptionsPagesAdd", u"load 11.0.8169.0", u"terminate"}));
  EXPECT_EQ(dialog.timesOpened(), 3);
}

}  // namespace
}  // namespace korvanel::sim::testing
