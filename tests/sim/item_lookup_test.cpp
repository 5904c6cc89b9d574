// Finding items by entry id (GetItemFromID, CDO GetMessage) as they arrive, move between
// folders and stores, are deleted, saved and sent: an id finds its item exactly while the
// item holds it, in its own store only, and never after the item has left or moved on.
#include <gtest/gtest.h>

#include "sim/object_factory.h"
#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

class ItemLookup : public OutlookFixture {
 protected:
  // The item GetItemFromID and CDO GetMessage find, checked to agree; nullptr when neither
  // finds one.
  ModelItemPtr lookUp(TextView entryId, TextView storeId = {}) {
    ModelItemPtr found = outlook->findItem(entryId, storeId);
    ItemPtr item = ns->getItemFromID(entryId, storeId);
    CdoMessagePtr message = cdo->getMessage(entryId, storeId);
    EXPECT_EQ(item != nullptr, found != nullptr) << "GetItemFromID";
    EXPECT_EQ(message != nullptr, found != nullptr) << "CDO GetMessage";
    if (found && item) {
      EXPECT_EQ(item->entryId(), found->entryId);
    }
    if (found && message) {
      CdoFieldPtr subject = message->fields()->itemByTag(prop::kSubject);
      EXPECT_EQ(subject ? subject->value().toText() : Text(), found->text(prop::kSubject));
    }
    return found;
  }

  static Text lower(const Text& s) {
    Text out = s;
    for (char16_t& c : out) {
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return out;
  }

  void startWithCdo() {
    outlook = start(11);
    ns = outlook->application()->getNamespace(u"MAPI");
    cdo = objects.createCdoSession();
    ASSERT_NE(cdo, nullptr);
    ASSERT_TRUE(cdo->logon(u"", u"", false, false));
  }

  SimObjectFactory objects{world};
  std::shared_ptr<Outlook> outlook;
  NameSpacePtr ns;
  CdoSessionPtr cdo;
};

TEST_F(ItemLookup, AnEntryIdFindsItsItemOnlyWhileTheItemHoldsIt) {
  ASSERT_NO_FATAL_FAILURE(startWithCdo());
  const ModelStorePtr patStore = pat->store;
  const ModelStorePtr helpStore = help->store;

  // A burst of deliveries to both mailboxes: each id finds its own item, in either case,
  // and only in its own store.
  std::vector<ModelItemPtr> mine;
  std::vector<ModelItemPtr> shared;
  for (int n = 0; n < 40; ++n) {
    const Text number = text::toText(n);
    mine.push_back(outlook->receive(mailTo(u"pat@contoso.com", u"Mine " + number)));
    shared.push_back(outlook->receive(mailTo(u"help@contoso.com", u"Shared " + number),
                                      u"Mailbox - Help Desk/Inbox"));
  }
  for (const auto& items : {mine, shared}) {
    for (const auto& item : items) {
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(lookUp(item->entryId), item);
      EXPECT_EQ(lookUp(lower(item->entryId)), item);
    }
  }
  EXPECT_EQ(lookUp(mine[3]->entryId, patStore->storeId), mine[3]);
  EXPECT_EQ(lookUp(mine[3]->entryId, helpStore->storeId), nullptr);
  EXPECT_EQ(lookUp(shared[3]->entryId, helpStore->storeId), shared[3]);
  EXPECT_EQ(lookUp(u""), nullptr);
  EXPECT_EQ(lookUp(mine[0]->entryId.substr(0, 60)), nullptr);
  EXPECT_EQ(lookUp(mine[0]->entryId + u"00"), nullptr);
  EXPECT_EQ(lookUp(patStore->root->entryId), nullptr) << "a folder's id names no item";

  // Moved to a folder of the same store, then to the other mailbox: the old ids find
  // nothing, the new one the same object, in the store it now lives in.
  const ModelItemPtr moved = mine[5];
  const Text firstId = moved->entryId;
  const ModelFolderPtr projects = addFolder(outlook->defaultFolder(kOlFolderInbox), u"Projects");
  ASSERT_TRUE(outlook->moveItem(moved, projects));
  const Text secondId = moved->entryId;
  EXPECT_NE(secondId, firstId);
  EXPECT_EQ(lookUp(firstId), nullptr);
  EXPECT_EQ(lookUp(secondId, patStore->storeId), moved);
  ASSERT_TRUE(outlook->moveItem(moved, helpStore->defaultFolder(kOlFolderInbox)));
  EXPECT_EQ(lookUp(secondId), nullptr);
  EXPECT_EQ(lookUp(moved->entryId, helpStore->storeId), moved);
  EXPECT_EQ(lookUp(moved->entryId, patStore->storeId), nullptr);
  EXPECT_EQ(patStore->findItem(moved->entryId), nullptr);
  EXPECT_TRUE(projects->items.empty());

  // Deleted: into Deleted Items under a new id, then for good.
  const ModelItemPtr deleted = mine[7];
  const Text inboxId = deleted->entryId;
  ASSERT_TRUE(outlook->deleteItem(deleted));
  const Text binId = deleted->entryId;
  EXPECT_EQ(lookUp(inboxId), nullptr);
  EXPECT_EQ(lookUp(binId), deleted);
  EXPECT_EQ(deleted->parentFolder(), outlook->defaultFolder(kOlFolderDeletedItems));
  ASSERT_TRUE(outlook->deleteItem(deleted));
  EXPECT_EQ(lookUp(binId), nullptr);
  EXPECT_EQ(lookUp(inboxId), nullptr);

  // Ids are never given twice: every item still in a folder is found by its id.
  for (const auto& store : {patStore, helpStore}) {
    for (const auto& folder : store->allFolders()) {
      for (const auto& item : folder->items) EXPECT_EQ(store->findItem(item->entryId), item);
    }
  }

  // A draft saved, then sent: the draft's id finds nothing once it has gone; the sent copy
  // and the copy delivered to the Help Desk are found by theirs.
  IncomingMessage fromHelp = mailTo(u"pat@contoso.com", u"Printer");
  fromHelp.from = u"Help Desk <help@contoso.com>";
  const ModelItemPtr question = outlook->receive(fromHelp);
  InspectorHandle window = outlook->reply(question);
  ASSERT_NE(window, nullptr);
  const ModelItemPtr reply = window->item;
  ASSERT_TRUE(outlook->saveItem(reply));
  const Text draftId = reply->entryId;
  EXPECT_EQ(lookUp(draftId), reply);
  const std::size_t helpInbox = helpStore->defaultFolder(kOlFolderInbox)->items.size();
  ASSERT_TRUE(outlook->pressSend(window));
  EXPECT_TRUE(reply->removed);
  EXPECT_EQ(lookUp(draftId), nullptr);
  const auto& sentItems = outlook->defaultFolder(kOlFolderSentMail)->items;
  ASSERT_EQ(sentItems.size(), 1u);
  EXPECT_EQ(lookUp(sentItems[0]->entryId, patStore->storeId), sentItems[0]);
  const auto& helpItems = helpStore->defaultFolder(kOlFolderInbox)->items;
  ASSERT_EQ(helpItems.size(), helpInbox + 1);
  EXPECT_EQ(lookUp(helpItems.back()->entryId, helpStore->storeId), helpItems.back());
}

}  // namespace
}  // namespace korvanel::sim::testing
