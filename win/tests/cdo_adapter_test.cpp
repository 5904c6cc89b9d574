// CDO through the Windows adapters: the session created by ProgID as CreateObject does, and
// every member the add-in uses, late-bound, against a CDO written for the test.
#include <gtest/gtest.h>

#include "win/messaging/cdo_session.h"
#include "win/system/win_object_factory.h"
#include "win/tests/fake_cdo.h"
#include "win/tests/registered_class.h"

namespace korvanel::win::testing {
namespace {

using platform::Variant;

// A class identifier of the test's own for "MAPI.Session".
constexpr CLSID kTestCdoClass = {
    0x6A1C3E20, 0x51B4, 0x4C0E, {0x9A, 0x41, 0x2F, 0x7D, 0x10, 0x3B, 0x88, 0x01}};

TEST(CdoAdapter, TheSessionExistsExactlyWhenMapiSessionIsRegistered) {
  WinObjectFactory factory;
  EXPECT_EQ(factory.createCdoSession(), nullptr);
  {
    // A ProgID whose class has no server behind it.
    RegisteredClass keyOnly(u"MAPI.Session", kTestCdoClass, nullptr);
    EXPECT_EQ(factory.createCdoSession(), nullptr);
  }
  FakeCdo cdo;
  {
    RegisteredClass installed(u"MAPI.Session", kTestCdoClass, [&] { return cdo.session(); });
    platform::CdoSessionPtr session = factory.createCdoSession();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->name(), u"");  // not logged on: the read fails
    EXPECT_TRUE(session->logon(u"", u"", false, false));
    EXPECT_EQ(session->name(), u"Outlook");
    EXPECT_TRUE(session->logoff());
    EXPECT_FALSE(session->logoff());
  }
  EXPECT_EQ(cdo.calls, std::vector<text::Text>{u"Logon(,,False,False)"});
  EXPECT_EQ(factory.createCdoSession(), nullptr);
}

class CdoMembers : public ::testing::Test {
 protected:
  FakeCdo cdo;
  platform::CdoSessionPtr session;
  ComPtr<IDispatch> sessionObject = cdo.session();

  void SetUp() override {
    session = makeCdoSession(sessionObject);
    ASSERT_NE(session, nullptr);
    ASSERT_TRUE(session->logon(u"", u"", false, false));
  }
};

TEST_F(CdoMembers, MessagesAndStoresAreFoundWithTheOptionalStoreLeftOutWhenEmpty) {
  EXPECT_NE(session->getMessage(u"m1"), nullptr);
  EXPECT_NE(session->getMessage(u"m1", u"s1"), nullptr);
  EXPECT_EQ(session->getMessage(u"nope"), nullptr);
  EXPECT_NE(session->getInfoStore(u"s1"), nullptr);
  EXPECT_NE(session->getInfoStore(u""), nullptr);
  EXPECT_EQ(cdo.calls, (std::vector<text::Text>{u"Logon(,,False,False)", u"GetMessage(m1)",
                                                u"GetMessage(m1,s1)", u"GetMessage(nope)",
                                                u"GetInfoStore(s1)", u"GetInfoStore()"}));
}

TEST_F(CdoMembers, FieldsAreReadWrittenAddedAndDeletedByNameAndByTag) {
  const text::Text stampName = u"{0820060000000000C000000000000046}0x8581";
  cdo.message->values[u"tag:125/30"] = Variant(u"Received: from x");  // 0x007D001E
  platform::CdoMessagePtr message = session->getMessage(u"m1");
  ASSERT_NE(message, nullptr);
  platform::CdoFieldsPtr fields = message->fields();
  ASSERT_NE(fields, nullptr);

  platform::CdoFieldPtr headers = fields->itemByTag(0x007D001E);
  ASSERT_NE(headers, nullptr);
  EXPECT_EQ(headers->value(), Variant(u"Received: from x"));
  EXPECT_EQ(fields->itemByName(stampName), nullptr);

  // Add(name, class, value, set) and Add(name, class, value) with the set in the name.
  ASSERT_NE(fields->addNamed(u"0x8581", platform::kCdoString,
                             Variant(u"00000003\x01"
                                     u"a@b"),
                             u"0820060000000000C000000000000046"),
            nullptr);
  platform::CdoFieldPtr keywords =
      fields->addNamed(u"{2903020000000000C000000000000046}Keywords", platform::kCdoArray,
                       Variant(std::vector<text::Text>{u"Received as: Sales"}), u"");
  ASSERT_NE(keywords, nullptr);
  EXPECT_EQ(keywords->value(), Variant(std::vector<text::Text>{u"Received as: Sales"}));
  // A tag from 0x80000000 on reaches CDO with the same bits.
  ASSERT_NE(fields->addTag(0x8000000B, Variant(true)), nullptr);
  EXPECT_EQ(cdo.message->adds,
            (std::vector<text::Text>{stampName + u" (4)",
                                     u"{2903020000000000C000000000000046}Keywords (3)",
                                     u"tag:32768/11 (2)"}));

  platform::CdoFieldPtr stamp = fields->itemByName(stampName);
  ASSERT_NE(stamp, nullptr);
  EXPECT_EQ(stamp->value(), Variant(u"00000003\x01"
                                    u"a@b"));
  EXPECT_TRUE(stamp->setValue(Variant(u"changed")));
  EXPECT_EQ(cdo.message->values[stampName], Variant(u"changed"));
  EXPECT_TRUE(stamp->deleteField());
  EXPECT_FALSE(stamp->deleteField());
  EXPECT_EQ(stamp->value(), Variant());  // gone: the read fails and gives nothing
  EXPECT_EQ(fields->itemByName(stampName), nullptr);

  EXPECT_TRUE(message->update());
  EXPECT_EQ(cdo.updates, 1);
}

TEST_F(CdoMembers, TheStoreOwnerIsReadFromTheInfoStoresFields) {
  cdo.store->values[u"tag:26140/30"] = Variant(u"Help Desk");  // 0x661C001E
  platform::CdoInfoStorePtr store = session->getInfoStore(u"s2");
  ASSERT_NE(store, nullptr);
  platform::CdoFieldsPtr fields = store->fields();
  ASSERT_NE(fields, nullptr);
  platform::CdoFieldPtr owner = fields->itemByTag(0x661C001E);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->value().toText(), u"Help Desk");
}

TEST(CdoAdapter, AnObjectWithoutTheMembersFailsQuietly) {
  auto empty = makeComObject<ScriptedObject>();
  platform::CdoSessionPtr session = makeCdoSession(ComPtr<IDispatch>(empty.get()));
  ASSERT_NE(session, nullptr);
  EXPECT_FALSE(session->logon(u"", u"", false, false));
  EXPECT_FALSE(session->logoff());
  EXPECT_EQ(session->name(), u"");
  EXPECT_EQ(session->getMessage(u"m1"), nullptr);
  EXPECT_EQ(session->getInfoStore(u""), nullptr);
  EXPECT_EQ(makeCdoSession(nullptr), nullptr);
  session.reset();
  EXPECT_EQ(empty->references(), 1u);  // the adapter let go of it
}

}  // namespace
}  // namespace korvanel::win::testing
