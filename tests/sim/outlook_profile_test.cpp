// What Outlook opens for a profile, failure injection, and a restart.
#include <gtest/gtest.h>

#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

class OutlookProfile : public OutlookFixture {};

TEST_F(OutlookProfile, FoldersListEveryStoreWithTheEntryIdFormsOfItsKind) {
  auto outlook = start(12);
  auto app = outlook->application();
  EXPECT_EQ(app->version(), u"12.0.6423.1000");
  auto ns = app->getNamespace(u"MAPI");
  EXPECT_EQ(app->getNamespace(u"CDO"), nullptr);
  EXPECT_EQ(ns->currentProfileName(), u"Outlook");
  EXPECT_EQ(ns->currentUser()->name(), u"Pat Doe");

  auto folders = ns->folders();
  ASSERT_EQ(folders->count(), 3);
  auto own = folders->item(1);
  auto shared = folders->item(2);
  auto pub = folders->item(3);
  EXPECT_EQ(own->name(), u"Mailbox - Pat Doe");
  EXPECT_EQ(shared->name(), u"Mailbox - Help Desk");
  EXPECT_EQ(pub->name(), u"Public Folders");
  for (const auto& f : {own, shared}) {
    ASSERT_EQ(f->entryId().size(), 92u);
    EXPECT_EQ(f->entryId().substr(40, 4), u"0100");
    EXPECT_EQ(f->parent(), nullptr);
  }
  EXPECT_NE(pub->entryId().substr(40, 4), u"0100");
  EXPECT_NE(own->storeId(), shared->storeId());

  auto inbox = ns->getDefaultFolder(kOlFolderInbox);
  EXPECT_EQ(inbox->storeId(), own->storeId());
  EXPECT_EQ(inbox->parent()->entryId(), own->entryId());
  EXPECT_EQ(ns->getFolderFromID(inbox->entryId(), inbox->storeId())->name(), u"Inbox");
  EXPECT_EQ(ns->getFolderFromID(inbox->entryId(), shared->storeId()), nullptr);
  EXPECT_NE(ns->getDefaultFolder(kOlPublicFoldersAllPublicFolders), nullptr);
  EXPECT_NE(ns->getDefaultFolder(kOlFolderJunk), nullptr);
  EXPECT_EQ(ns->getDefaultFolder(99), nullptr);
  EXPECT_EQ(ns->getStoreFromID(shared->storeId())->displayName(), u"Mailbox - Help Desk");
}

TEST_F(OutlookProfile, Outlook2003LacksThe2007Members) {
  auto outlook = start(11);
  auto app = outlook->application();
  EXPECT_EQ(app->version(), u"11.0.8169.0");
  auto ns = app->getNamespace(u"MAPI");
  EXPECT_EQ(ns->currentProfileName(), u"");
  EXPECT_EQ(ns->accounts(), nullptr);
  EXPECT_EQ(ns->getStoreFromID(ns->getDefaultFolder(kOlFolderInbox)->storeId()), nullptr);
  EXPECT_EQ(app->languageId(kMsoLanguageIdUi), 1033);
}

TEST_F(OutlookProfile, AFreshProfileGetsTheUsersAddressesAndMailboxOnItsFirstStart) {
  seed.writeProxyAddresses = false;
  seed.additionalMailboxes.clear();
  start(12);
  const Text global = Text(u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                           u"Subsystem\\Profiles\\Outlook\\13dbb0c8aa05101a9bb000aa002fc45a");
  RegKey key = RegKey::open(registry, kHkeyCurrentUser, global, kKeyRead);
  ASSERT_TRUE(key);
  RegValue value;
  ASSERT_EQ(registry.queryValue(key.get(), u"101f6637", &value), kRegSuccess);
  EXPECT_EQ(value.data, multiValuedStrings(pat->proxyAddresses, true));
}

TEST_F(OutlookProfile, AnOperationToldToFailReturnsItsEmptyValueAndChangesNothing) {
  auto outlook = start(12);
  auto app = outlook->application();
  auto ns = app->getNamespace(u"MAPI");
  FaultPlan& faults = world.faults();

  auto item = app->createItem(kOlMailItem);
  faults.failOnce("MailItem.Save");
  EXPECT_FALSE(item->save());
  EXPECT_TRUE(item->entryId().empty());
  EXPECT_TRUE(item->save());
  EXPECT_FALSE(item->entryId().empty());

  faults.failOnCall("Recipients.Add", 2);
  EXPECT_NE(item->recipients()->add(u"a@b.com"), nullptr);
  EXPECT_EQ(item->recipients()->add(u"c@d.com"), nullptr);
  EXPECT_EQ(item->recipients()->count(), 1);

  faults.failAlways("NameSpace.GetDefaultFolder");
  EXPECT_EQ(ns->getDefaultFolder(kOlFolderInbox), nullptr);
  EXPECT_EQ(ns->getDefaultFolder(kOlFolderSentMail), nullptr);
  faults.clear("NameSpace.GetDefaultFolder");
  EXPECT_NE(ns->getDefaultFolder(kOlFolderInbox), nullptr);
  EXPECT_EQ(faults.failures("NameSpace.GetDefaultFolder"), 2);

  // A failed connection delivers nothing; the event itself still happens for others.
  faults.failOnce("Application.NewMailEx");
  int heard = 0;
  Connection failed = app->onNewMailEx([&](const Text&) { ++heard; });
  EXPECT_FALSE(failed.connected());
  outlook->receive(mailTo(u"pat@contoso.com", u"x"));
  EXPECT_EQ(heard, 0);

  faults.failOnce("PropertyAccessor.GetProperty");
  auto accessor = item->propertyAccessor();
  EXPECT_TRUE(accessor->getProperty(u"http://schemas.microsoft.com/mapi/proptag/0x0037001E").isEmpty());
}

TEST_F(OutlookProfile, ARestartSeesTheSameMailAndTheOldObjectsFail) {
  auto first = start(11);
  auto app = first->application();
  int quits = 0;
  Connection q = first->quitRequestedSignal.connect([&] { ++quits; });
  int stale = 0;
  Connection old = app->getNamespace(u"MAPI")->getDefaultFolder(kOlFolderInbox)->items()->onItemAdd(
      [&](const ItemPtr&) { ++stale; });
  auto kept = first->receive(mailTo(u"pat@contoso.com", u"Keep me"));
  EXPECT_EQ(stale, 1);
  auto inspector = first->open(kept);
  app->quit();
  EXPECT_TRUE(first->quitRequested());
  EXPECT_EQ(quits, 1);
  EXPECT_FALSE(first->ended()) << "the host ends Outlook once its add-ins are gone";
  first->shutDown();
  EXPECT_TRUE(first->ended());
  EXPECT_FALSE(inspector->isOpen);
  EXPECT_EQ(world.current(), nullptr);
  EXPECT_EQ(app->version(), u"");
  EXPECT_EQ(app->getNamespace(u"MAPI"), nullptr);

  auto second = start(12);
  EXPECT_EQ(world.current(), second);
  auto ns = second->application()->getNamespace(u"MAPI");
  auto again = ns->getItemFromID(kept->entryId);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->subject(), u"Keep me");
  // A connection made through the ended Outlook stays silent.
  int fresh = 0;
  Connection now = ns->getDefaultFolder(kOlFolderInbox)->items()->onItemAdd([&](const ItemPtr&) { ++fresh; });
  second->receive(mailTo(u"pat@contoso.com", u"After"));
  EXPECT_EQ(fresh, 1);
  EXPECT_EQ(stale, 1);
}

}  // namespace
}  // namespace korvanel::sim::testing
