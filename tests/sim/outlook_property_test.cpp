// The three ways a property is named reach the same stored value.
#include <gtest/gtest.h>

#include "sim/model.h"
#include "tests/sim/outlook_fixture.h"

namespace korvanel::sim::testing {
namespace {

constexpr char16_t kAccountNameSchema[] =
    u"http://schemas.microsoft.com/mapi/id/{00062008-0000-0000-C000-000000000046}/8580001E";
constexpr char16_t kRecipientListSchema[] =
    u"http://schemas.microsoft.com/mapi/string/{00020386-0000-0000-C000-000000000046}/"
    u"x-recipientlist";

TEST(PropertyNames, GuidTextAndCdoByteOrderAreTheSameSet) {
  auto common = Guid::parse(u"{00062008-0000-0000-C000-000000000046}");
  ASSERT_TRUE(common);
  EXPECT_EQ(*common, kPsetidCommon);
  EXPECT_EQ(kPsetidCommon.toCdoText(), u"0820060000000000C000000000000046");
  EXPECT_EQ(Guid::parseCdo(u"8603020000000000C000000000000046"), kPsInternetHeaders);
  EXPECT_EQ(kPsPublicStrings.toText(), u"{00020329-0000-0000-C000-000000000046}");
  EXPECT_FALSE(Guid::parse(u"{00062008-0000-0000-C000-00000000004}"));
  EXPECT_FALSE(Guid::parseCdo(u"0820060000000000C00000000000004G"));
}

TEST(PropertyNames, SchemaNamesCdoFieldsAndCdoAddNameOneProperty) {
  const auto byId = parseSchemaName(kAccountNameSchema);
  const auto byField = parseCdoFieldName(u"{0820060000000000C000000000000046}0x8580");
  const auto byAdd = parseCdoAdd(u"0x8580", 8, u"0820060000000000C000000000000046");
  ASSERT_TRUE(byId && byField && byAdd);
  EXPECT_EQ(byId->key, byField->key);
  EXPECT_EQ(byId->key, byAdd->key);
  EXPECT_EQ(byId->type, kPtString8);

  const auto headers = parseSchemaName(u"http://schemas.microsoft.com/mapi/proptag/0x007D001E");
  ASSERT_TRUE(headers);
  EXPECT_EQ(headers->key, PropKey::tag(prop::kTransportHeaders));
  // The string form of a tagged property is the same property.
  EXPECT_EQ(PropKey::tag(0x0E29001F), PropKey::tag(prop::kNextSendAccount));

  const auto list = parseSchemaName(kRecipientListSchema);
  const auto listField = parseCdoFieldName(u"{8603020000000000C000000000000046}x-recipientlist");
  ASSERT_TRUE(list && listField);
  EXPECT_EQ(list->key, listField->key);
  EXPECT_EQ(parseCdoFieldName(u"{2903020000000000C000000000000046}Keywords")->key,
            PropKey::named(kPsPublicStrings, u"keywords"));

  EXPECT_FALSE(parseSchemaName(u"http://schemas.microsoft.com/mapi/id/{bad}/8580001E"));
  EXPECT_FALSE(parseSchemaName(u"urn:schemas:httpmail:subject"));
  EXPECT_FALSE(parseCdoFieldName(u"0x8580"));
}

TEST(ModelItem, ReplyRecipientPropertiesAreTheReplyRecipients) {
  ModelItem item(kOlMail);
  item.setProperty(PropKey::tag(prop::kReplyRecipientNames), kPtString8,
                   Variant(u"Sales [smtp:<sales@contoso.com>];Help Desk"));
  ASSERT_EQ(item.replyRecipients.size(), 2u);
  EXPECT_FALSE(item.replyRecipients[0].resolved);
  EXPECT_EQ(item.getProperty(PropKey::tag(prop::kReplyRecipientNames))->value.toText(),
            u"Sales [smtp:<sales@contoso.com>];Help Desk");
  EXPECT_TRUE(item.getProperty(PropKey::tag(prop::kReplyRecipientEntries)).has_value());
  EXPECT_TRUE(item.deleteProperty(PropKey::tag(prop::kReplyRecipientEntries)));
  EXPECT_TRUE(item.replyRecipients.empty());
  EXPECT_FALSE(item.getProperty(PropKey::tag(prop::kReplyRecipientNames)).has_value());
}

class SharedProperties : public OutlookFixture {};

TEST_F(SharedProperties, MembersPropertyAccessorAndStoredPropertiesAgree) {
  auto outlook = start(12);
  auto model = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Quote"));
  ASSERT_NE(model, nullptr);
  auto item = makeItem(outlook, model);
  auto accessor = item->propertyAccessor();
  ASSERT_NE(accessor, nullptr);

  // Written through the accessor, read as a CDO field would address it.
  EXPECT_TRUE(
      accessor->setProperty(kAccountNameSchema, Variant(u"EX [Sales <sales@contoso.com>]")));
  const auto field = parseCdoFieldName(u"{0820060000000000C000000000000046}0x8580");
  EXPECT_EQ(model->getProperty(field->key)->value.toText(), u"EX [Sales <sales@contoso.com>]");

  // BillingInformation is named property 0x8535; Categories the Keywords strings.
  EXPECT_TRUE(item->setBillingInformation(u"Send it now"));
  EXPECT_EQ(accessor
                ->getProperty(u"http://schemas.microsoft.com/mapi/id/"
                              u"{00062008-0000-0000-C000-000000000046}/8535001E")
                .toText(),
            u"Send it now");
  EXPECT_TRUE(item->setCategories(u"Received as: Sales, Red"));
  EXPECT_EQ(model->categories(), (std::vector<Text>{u"Received as: Sales", u"Red"}));
  model->setCategories({u"Red"});
  EXPECT_EQ(item->categories(), u"Red");

  // The transport headers the delivery wrote, by proptag.
  const Text headers =
      accessor->getProperty(u"http://schemas.microsoft.com/mapi/proptag/0x007D001E").toText();
  EXPECT_NE(headers.find(u"To: Sales <sales@contoso.com>\r\n"), Text::npos);

  // An absent property reads as nothing; deleting it is no error.
  EXPECT_TRUE(accessor->getProperty(kRecipientListSchema).isEmpty());
  EXPECT_TRUE(accessor->deleteProperty(kRecipientListSchema));
  EXPECT_FALSE(accessor->setProperty(u"not a schema name", Variant(u"x")));
}

TEST_F(SharedProperties, SeveralPropertiesInOneCall) {
  auto outlook = start(12);
  auto model = outlook->receive(mailTo(u"Sales <sales@contoso.com>", u"Quote"));
  auto accessor = makeItem(outlook, model)->propertyAccessor();
  ASSERT_NE(accessor, nullptr);
  const Text headers = u"http://schemas.microsoft.com/mapi/proptag/0x007D001E";

  EXPECT_TRUE(accessor->setProperties({kAccountNameSchema, kRecipientListSchema},
                                      {Variant(u"EX [Sales <sales@contoso.com>]"), Variant(u"x")}));
  const std::vector<Variant> read =
      accessor->getProperties({kAccountNameSchema, u"not a schema name", headers});
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].toText(), u"EX [Sales <sales@contoso.com>]");
  EXPECT_TRUE(read[1].isEmpty());
  EXPECT_NE(read[2].toText().find(u"To: Sales <sales@contoso.com>"), Text::npos);

  // A name that is none, or one value too few, is refused; the rest of a call is written.
  EXPECT_FALSE(accessor->setProperties({u"not a schema name", kAccountNameSchema},
                                       {Variant(u"a"), Variant(u"b")}));
  EXPECT_EQ(accessor->getProperty(kAccountNameSchema).toText(), u"b");
  EXPECT_FALSE(accessor->setProperties({kAccountNameSchema}, {}));
  EXPECT_EQ(accessor->getProperty(kAccountNameSchema).toText(), u"b");

  // A failing call reads nothing and writes nothing.
  world.faults().failOnce("PropertyAccessor.GetProperties");
  EXPECT_TRUE(accessor->getProperties({kAccountNameSchema}).empty());
  world.faults().failOnce("PropertyAccessor.SetProperties");
  EXPECT_FALSE(accessor->setProperties({kAccountNameSchema}, {Variant(u"c")}));
  EXPECT_EQ(accessor->getProperty(kAccountNameSchema).toText(), u"b");
}

TEST_F(SharedProperties, PropertyAccessorIsOutlook2007Only) {
  auto outlook = start(11);
  auto item = makeItem(outlook, outlook->receive(mailTo(u"pat@contoso.com", u"Hello")));
  EXPECT_EQ(item->propertyAccessor(), nullptr);
  EXPECT_EQ(item->sendUsingAccount(), nullptr);
  EXPECT_FALSE(item->subject().empty());
}

}  // namespace
}  // namespace korvanel::sim::testing
