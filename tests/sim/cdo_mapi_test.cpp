// CDO 1.21 and Extended MAPI over the simulated Outlook's stored properties: what CDO writes
// the object model reads (and the other way round), changes wait for Update, the session
// lives with Outlook's logon, and raw reads come back in the ANSI code page.
#include <cstring>

#include "sim/object_factory.h"
#include "sim/outlook_objects.h"
#include "sim/sim_mapi.h"
#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

constexpr char16_t kAccountNameField[] = u"{0820060000000000C000000000000046}0x8580";
constexpr char16_t kKeywordsField[] = u"{2903020000000000C000000000000046}Keywords";
constexpr char16_t kRecipientListField[] = u"{8603020000000000C000000000000046}x-recipientlist";
constexpr char16_t kCommonSet[] = u"0820060000000000C000000000000046";
constexpr char16_t kAccountNameSchema[] =
    u"http://schemas.microsoft.com/mapi/id/{00062008-0000-0000-C000-000000000046}/8580001E";

class CdoAndMapi : public OutlookFixture {
 protected:
  CdoSessionPtr logOn() {
    auto session = objects.createCdoSession();
    if (session) {
      EXPECT_TRUE(session->logon(u"", u"", false, false));
    }
    return session;
  }
  SimObjectFactory objects{world};
};

TEST_F(CdoAndMapi, FieldsAndThePropertyAccessorSeeOneStoredProperty) {
  auto outlook = start(11);
  IncomingMessage message = mailTo(u"Sales <sales@contoso.com>", u"Quote");
  message.xRecipientList = u"sales@contoso.com";
  message.readReceipt = true;
  ModelItemPtr model = outlook->receive(message);
  auto session = logOn();
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->name(), u"Outlook");

  auto cdo = session->getMessage(model->entryId);
  ASSERT_NE(cdo, nullptr);
  auto fields = cdo->fields();
  EXPECT_EQ(fields->itemByName(kRecipientListField)->value().toText(), u"sales@contoso.com");
  EXPECT_EQ(fields->itemByTag(0x0037001E)->value().toText(), u"Quote");
  EXPECT_EQ(fields->itemByName(kAccountNameField), nullptr);

  // Named properties by id and by name, an array, and a Boolean by tag.
  ASSERT_NE(fields->addNamed(u"0x8580", platform::kCdoString,
                             Variant(u"EX [Sales <sales@contoso.com>]"), kCommonSet),
            nullptr);
  ASSERT_NE(fields->addNamed(kKeywordsField, platform::kCdoArray,
                             Variant(std::vector<Text>{u"Received as: Sales", u"Red"}), u""),
            nullptr);
  EXPECT_TRUE(fields->itemByTag(0x0029000B)->setValue(Variant(false)));
  EXPECT_TRUE(cdo->update());

  auto item = makeItem(outlook, model);
  EXPECT_EQ(item->categories(), u"Received as: Sales, Red");
  EXPECT_FALSE(item->readReceiptRequested());
  session->logoff();
  outlook->shutDown();

  // The same message on Outlook 2007: the PropertyAccessor reads what CDO wrote...
  auto later = start(12);
  auto again = later->application()->getNamespace(u"MAPI")->getItemFromID(model->entryId);
  ASSERT_NE(again, nullptr);
  auto accessor = again->propertyAccessor();
  EXPECT_EQ(accessor->getProperty(kAccountNameSchema).toText(), u"EX [Sales <sales@contoso.com>]");
  // ...and writes what CDO reads on Outlook 2003.
  EXPECT_TRUE(accessor->setProperty(kAccountNameSchema, Variant(u"EX MBX [Help Desk]")));
  later->shutDown();
  start(11);
  auto reread = logOn()->getMessage(model->entryId);
  EXPECT_EQ(reread->fields()->itemByName(kAccountNameField)->value().toText(),
            u"EX MBX [Help Desk]");
}

TEST_F(CdoAndMapi, ChangesReachTheStoreOnlyOnUpdate) {
  auto outlook = start(11);
  ModelItemPtr model = outlook->receive(mailTo(u"pat@contoso.com", u"Hello"));
  model->replyRecipients.push_back(RecipientRecord{u"Old", u"Old", u"old@x.com", u"SMTP", 1, true});
  auto session = logOn();
  int changes = 0;
  Connection watch = outlook->application()
                         ->getNamespace(u"MAPI")
                         ->getDefaultFolder(platform::kOlFolderInbox)
                         ->items()
                         ->onItemChange([&](const ItemPtr&) { ++changes; });

  auto cdo = session->getMessage(model->entryId);
  auto fields = cdo->fields();
  fields->addTag(0x0042001E, Variant(u"Help Desk"));
  EXPECT_TRUE(fields->itemByTag(0x0050001E)->deleteField());
  fields->addTag(0x0050001E, Variant(u"Sales [smtp:<sales@contoso.com>]"));
  // The opened message sees its own changes, the store does not yet.
  EXPECT_EQ(fields->itemByTag(0x0042001E)->value().toText(), u"Help Desk");
  EXPECT_FALSE(model->props.has(PropKey::tag(0x0042001E)));
  ASSERT_EQ(model->replyRecipients.size(), 1u);
  EXPECT_EQ(model->replyRecipients[0].name, u"Old");

  EXPECT_TRUE(cdo->update());
  EXPECT_EQ(model->text(0x0042001E), u"Help Desk");
  ASSERT_EQ(model->replyRecipients.size(), 1u);
  EXPECT_EQ(model->replyRecipients[0].name, u"Sales [smtp:<sales@contoso.com>]");
  EXPECT_FALSE(model->replyRecipients[0].resolved);
  EXPECT_EQ(changes, 0) << "the store's notification reaches Outlook through its queue";
  outlook->pump();
  EXPECT_EQ(changes, 1);

  // A message released without Update loses its changes.
  session->getMessage(model->entryId)->fields()->addTag(0x0042001E, Variant(u"Lost"));
  EXPECT_EQ(model->text(0x0042001E), u"Help Desk");
}

TEST_F(CdoAndMapi, TheInfoStoreGivesItsOwnersName) {
  auto outlook = start(11);
  auto session = logOn();
  for (const ModelStorePtr& store : outlook->stores()) {
    if (store->kind != StoreKind::kExchangeMailbox) continue;
    auto infoStore = session->getInfoStore(store->storeId);
    ASSERT_NE(infoStore, nullptr);
    const Text owner = infoStore->fields()->itemByTag(0x661C001E)->value().toText();
    EXPECT_TRUE(owner == u"Pat Doe" || owner == u"Help Desk") << text::toUtf8(owner);
  }
  EXPECT_EQ(session->getInfoStore(u"00DEADBEEF"), nullptr);
}

TEST_F(CdoAndMapi, TheSessionExistsOnlyWhereCdoDoesAndLivesWithOutlooksLogon) {
  auto v12 = start(12);
  EXPECT_EQ(objects.createCdoSession(), nullptr) << "CDO 1.21 is part of Outlook 2003 only";
  v12->shutDown();

  world.cdoInstalled = false;
  auto v11 = start(11);
  EXPECT_EQ(objects.createCdoSession(), nullptr);
  world.cdoInstalled = true;

  auto session = objects.createCdoSession();
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->name(), Text()) << "not logged on";
  EXPECT_FALSE(session->logon(u"Another profile", u"", false, false));
  EXPECT_TRUE(session->logon(u"OUTLOOK", u"", false, false));
  ModelItemPtr model = v11->receive(mailTo(u"pat@contoso.com", u"Hi"));
  auto cdo = session->getMessage(model->entryId);
  ASSERT_NE(cdo, nullptr);
  EXPECT_EQ(session->getMessage(u""), nullptr);
  EXPECT_EQ(session->getMessage(model->entryId, u"0000BADSTORE"), nullptr);

  v11->shutDown();
  EXPECT_EQ(session->name(), Text());
  EXPECT_EQ(session->getMessage(model->entryId), nullptr);
  EXPECT_EQ(cdo->fields(), nullptr);
  EXPECT_FALSE(cdo->update());
  EXPECT_FALSE(session->logon(u"", u"", false, false)) << "no Outlook, no logon to attach to";
}

TEST_F(CdoAndMapi, FailingCallsChangeNothing) {
  auto outlook = start(11);
  ModelItemPtr model = outlook->receive(mailTo(u"pat@contoso.com", u"Hi"));
  auto session = logOn();
  auto cdo = session->getMessage(model->entryId);
  cdo->fields()->addNamed(u"0x8580", platform::kCdoString, Variant(u"EX [x]"), kCommonSet);

  world.faults().failOnce("CdoMessage.Update");
  EXPECT_FALSE(cdo->update());
  EXPECT_TRUE(model->namedText(prop::kAccountName).empty());
  EXPECT_TRUE(cdo->update()) << "the changes were kept for the next Update";
  EXPECT_EQ(model->namedText(prop::kAccountName), u"EX [x]");

  world.faults().failOnce("CdoFields.Item");
  EXPECT_EQ(cdo->fields()->itemByName(kAccountNameField), nullptr);
  world.faults().failOnce("CdoField.Delete");
  auto field = cdo->fields()->itemByName(kAccountNameField);
  EXPECT_FALSE(field->deleteField());
  EXPECT_TRUE(field->deleteField());
  EXPECT_TRUE(cdo->update());
  EXPECT_TRUE(model->namedText(prop::kAccountName).empty());

  world.faults().failOnce("CreateObject.MAPI.Session");
  EXPECT_EQ(objects.createCdoSession(), nullptr);
  world.faults().failOnce("CdoSession.GetMessage");
  EXPECT_EQ(session->getMessage(model->entryId), nullptr);
}

TEST_F(CdoAndMapi, HrGetOnePropGivesAnsiTextInOneBufferToFree) {
  auto outlook = start(11);
  IncomingMessage message = mailTo(u"pat@contoso.com", u"Hi");
  message.headers = u"  Subject: caf\u00e9 \u0416\r\nTo: pat@contoso.com\r\n  ";
  auto item = makeItem(outlook, outlook->receive(message));
  auto object = item->mapiObject();
  ASSERT_NE(object, nullptr);

  SimMapi mapi(&world.faults());
  platform::SPropValue* value = nullptr;
  ASSERT_EQ(mapi.hrGetOneProp(object.get(), 0x007D001E, &value), platform::kSOk);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->ulPropTag, 0x007D001Eu);
  // Windows-1252: "é" is one byte, a character outside the code page becomes '?'.
  EXPECT_STREQ(value->Value.lpszA, "  Subject: caf\xe9 ?\r\nTo: pat@contoso.com\r\n  ");
  EXPECT_EQ(mapi.outstandingBuffers(), 1u);
  EXPECT_EQ(mapi.mapiFreeBuffer(value), platform::kSOk);
  EXPECT_EQ(mapi.outstandingBuffers(), 0u);
  EXPECT_EQ(mapi.mapiFreeBuffer(value), platform::kEInvalidArg);
  EXPECT_EQ(mapi.anomalies().size(), 1u);

  // Absent property, foreign object, failure: nothing to free.
  value = reinterpret_cast<platform::SPropValue*>(0x1);
  EXPECT_EQ(mapi.hrGetOneProp(object.get(), 0x3FFF001E, &value), platform::kMapiENotFound);
  EXPECT_EQ(value, nullptr);
  struct Other : platform::MapiObject {
  } other;
  EXPECT_EQ(mapi.hrGetOneProp(&other, 0x007D001E, &value), platform::kEInvalidArg);
  world.faults().failOnce("Mapi.HrGetOneProp");
  EXPECT_NE(mapi.hrGetOneProp(object.get(), 0x007D001E, &value), platform::kSOk);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(mapi.outstandingBuffers(), 0u);

  // The MapiBuffer guard frees exactly once.
  {
    platform::SPropValue* raw = nullptr;
    ASSERT_EQ(mapi.hrGetOneProp(object.get(), 0x0037001E, &raw), platform::kSOk);
    platform::MapiBuffer guard(mapi, raw);
    EXPECT_EQ(std::strcmp(guard.get()->Value.lpszA, "Hi"), 0);
  }
  EXPECT_EQ(mapi.outstandingBuffers(), 0u);
  EXPECT_TRUE(mapi.anomalies().size() == 1u);
}

}  // namespace
}  // namespace korvanel::sim::testing
