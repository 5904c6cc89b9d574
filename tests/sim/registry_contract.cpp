// The behaviour of platform::Registry that the product relies on, as advapi32 has it.
#include "tests/sim/registry_contract.h"

namespace korvanel::testing {
namespace {

using platform::kKeyAllAccess;
using platform::kKeyQueryValue;
using platform::kKeyRead;
using platform::kRegAccessDenied;
using platform::kRegFileNotFound;
using platform::kRegNoMoreItems;
using platform::kRegSuccess;
using platform::RegKey;

TEST_P(RegistryContract, CreateMakesMissingParentsAndTellsWhetherItCreated) {
  RegHandle h = 0;
  bool created = false;
  ASSERT_EQ(reg().createKey(base(), u"a\\b\\c", kKeyAllAccess, &h, &created), kRegSuccess);
  EXPECT_TRUE(created);
  EXPECT_EQ(reg().closeKey(h), kRegSuccess);
  ASSERT_EQ(reg().createKey(base(), u"A\\B\\C", kKeyAllAccess, &h, &created), kRegSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(reg().closeKey(h), kRegSuccess);
  EXPECT_TRUE(open(u"a\\b"));
  EXPECT_EQ(subkeyNames(base()), std::vector<Text>{u"a"});
}

TEST_P(RegistryContract, OpenOfAMissingKeyFailsWithNoHandle) {
  RegHandle h = 123;
  EXPECT_EQ(reg().openKey(base(), u"missing", kKeyRead, &h), kRegFileNotFound);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(reg().openKey(base(), u"missing\\deeper", kKeyRead, &h), kRegFileNotFound);
  EXPECT_NE(reg().openKey(base(), u"\\leading", kKeyRead, &h), kRegSuccess);
  EXPECT_EQ(h, 0u);
}

TEST_P(RegistryContract, NamesIgnoreCaseAndKeepTheCaseOfCreation) {
  RegKey key = create(u"MixedCase");
  ASSERT_TRUE(key);
  EXPECT_TRUE(open(u"mixedcase"));
  EXPECT_TRUE(open(u"MIXEDCASE"));
  RegKey again = create(u"MIXEDCASE");
  EXPECT_EQ(subkeyNames(base()), std::vector<Text>{u"MixedCase"});

  ASSERT_EQ(set(reg(), key.get(), u"Account Name", sz(u"x")), kRegSuccess);
  ASSERT_EQ(set(reg(), key.get(), u"ACCOUNT NAME", dword(5)), kRegSuccess);
  EXPECT_EQ(valueNames(key.get()), std::vector<Text>{u"Account Name"});
  RegValue v;
  ASSERT_EQ(reg().queryValue(key.get(), u"account name", &v), kRegSuccess);
  EXPECT_TRUE(sameValue(v, dword(5)));

  ASSERT_TRUE(create(u"ÉLODIE"));
  EXPECT_TRUE(open(u"élodie"));
}

TEST_P(RegistryContract, ValuesKeepTheirTypeAndBytesExactly) {
  RegKey key = create(u"values");
  const std::vector<std::pair<Text, RegValue>> cases = {
      {u"", sz(u"default")},
      {u"text", sz(u"Élodie <e@x>")},
      {u"no nul", raw(platform::kRegSz, {0x41, 0x00, 0x42, 0x00})},
      {u"odd", raw(platform::kRegSz, {0x41, 0x00, 0x42})},
      {u"dword", dword(0x12345678)},
      {u"binary", raw(platform::kRegBinary, {0x31, 0x00, 0x00, 0x00})},
      {u"empty", raw(platform::kRegBinary, {})},
      {u"none", raw(platform::kRegNone, {1, 2})},
  };
  for (const auto& [name, value] : cases) {
    ASSERT_EQ(set(reg(), key.get(), name, value), kRegSuccess) << text::toUtf8(name);
  }
  for (const auto& [name, value] : cases) {
    RegValue got;
    ASSERT_EQ(reg().queryValue(key.get(), name, &got), kRegSuccess) << text::toUtf8(name);
    EXPECT_TRUE(sameValue(got, value)) << text::toUtf8(name);
  }
  EXPECT_EQ(reg().queryValue(key.get(), u"absent", nullptr), kRegFileNotFound);
  EXPECT_EQ(reg().queryValue(key.get(), u"text", nullptr), kRegSuccess);

  EXPECT_EQ(reg().deleteValue(key.get(), u"TEXT"), kRegSuccess);
  EXPECT_EQ(reg().queryValue(key.get(), u"text", nullptr), kRegFileNotFound);
  EXPECT_EQ(reg().deleteValue(key.get(), u"text"), kRegFileNotFound);
}

TEST_P(RegistryContract, EnumerationIsSortedWithoutRegardToCase) {
  RegKey key = create(u"sorted");
  for (TextView name : {u"b", u"A", u"_under", u"C", u"00000002", u"0000000a"}) {
    RegKey sub = RegKey::create(reg(), key.get(), name, kKeyAllAccess);
    ASSERT_TRUE(sub);
    ASSERT_EQ(set(reg(), key.get(), name, dword(1)), kRegSuccess);
  }
  const std::vector<Text> expected = {u"00000002", u"0000000a", u"A", u"b", u"C", u"_under"};
  EXPECT_EQ(subkeyNames(key.get()), expected);
  EXPECT_EQ(valueNames(key.get()), expected);

  Text name = u"stale";
  EXPECT_EQ(reg().enumKey(key.get(), 6, &name), kRegNoMoreItems);
  RegValue value;
  EXPECT_EQ(reg().enumValue(key.get(), 6, &name, &value), kRegNoMoreItems);
  ASSERT_EQ(reg().enumValue(key.get(), 2, &name, &value), kRegSuccess);
  EXPECT_EQ(name, u"A");
  EXPECT_TRUE(sameValue(value, dword(1)));
}

TEST_P(RegistryContract, DeleteKeyRefusesAKeyWithSubkeys) {
  ASSERT_TRUE(create(u"tree\\leaf"));
  EXPECT_EQ(reg().deleteKey(base(), u"tree"), kRegAccessDenied);
  EXPECT_TRUE(open(u"tree\\leaf"));
  EXPECT_EQ(reg().deleteKey(base(), u"TREE\\LEAF"), kRegSuccess);
  EXPECT_FALSE(open(u"tree\\leaf"));
  EXPECT_EQ(reg().deleteKey(base(), u"tree"), kRegSuccess);
  EXPECT_EQ(reg().deleteKey(base(), u"tree"), kRegFileNotFound);
  EXPECT_TRUE(subkeyNames(base()).empty());
}

TEST_P(RegistryContract, AHandleToADeletedKeyFailsButCanBeClosed) {
  RegHandle key = 0;
  ASSERT_EQ(reg().createKey(base(), u"doomed", kKeyAllAccess, &key, nullptr), kRegSuccess);
  ASSERT_EQ(set(reg(), key, u"v", dword(1)), kRegSuccess);
  ASSERT_EQ(reg().deleteKey(base(), u"doomed"), kRegSuccess);
  EXPECT_NE(reg().queryValue(key, u"v", nullptr), kRegSuccess);
  EXPECT_NE(set(reg(), key, u"w", dword(2)), kRegSuccess);
  RegHandle child = 0;
  EXPECT_NE(reg().createKey(key, u"child", kKeyAllAccess, &child, nullptr), kRegSuccess);
  EXPECT_EQ(child, 0u);

  // A new key of the same name is another key; the old handle does not reach it.
  RegKey reborn = create(u"doomed");
  ASSERT_EQ(set(reg(), reborn.get(), u"v", dword(3)), kRegSuccess);
  EXPECT_NE(reg().queryValue(key, u"v", nullptr), kRegSuccess);
  EXPECT_EQ(reg().closeKey(key), kRegSuccess);
  EXPECT_NE(reg().closeKey(key), kRegSuccess);  // already closed
  EXPECT_EQ(reg().closeKey(0), kRegSuccess);
  EXPECT_EQ(reg().closeKey(platform::kHkeyCurrentUser), kRegSuccess);
}

TEST_P(RegistryContract, EachOpenIsItsOwnHandle) {
  RegKey first = create(u"shared");
  RegKey second = open(u"shared");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  first.reset();
  EXPECT_EQ(set(reg(), second.get(), u"still", dword(1)), kRegSuccess);
}

TEST_P(RegistryContract, AccessRightsOfTheHandleAreEnforced) {
  ASSERT_TRUE(create(u"guarded"));
  RegKey queryOnly = open(u"guarded", kKeyQueryValue);
  ASSERT_TRUE(queryOnly);
  EXPECT_EQ(set(reg(), queryOnly.get(), u"v", dword(1)), kRegAccessDenied);
  EXPECT_EQ(reg().queryValue(queryOnly.get(), u"v", nullptr), kRegFileNotFound);

  RegKey readable = open(u"guarded", kKeyRead);
  EXPECT_EQ(set(reg(), readable.get(), u"v", dword(1)), kRegAccessDenied);
  {
    RegKey writable = open(u"guarded", platform::kKeyWriteAll);
    ASSERT_EQ(set(reg(), writable.get(), u"v", dword(1)), kRegSuccess);
  }
  EXPECT_EQ(reg().deleteValue(readable.get(), u"v"), kRegAccessDenied);
  EXPECT_EQ(reg().queryValue(readable.get(), u"v", nullptr), kRegSuccess);
  Text name;
  EXPECT_EQ(reg().enumValue(readable.get(), 0, &name, nullptr), kRegSuccess);
}

TEST_P(RegistryContract, DefaultValueIsTheEmptyName) {
  RegKey key = create(u"CLSID\\{ED475411-B0D6-11D2-8C3B-00104B2A6676}");
  ASSERT_EQ(set(reg(), key.get(), u"", sz(u"POP3 Account")), kRegSuccess);
  RegKey reader = open(u"clsid\\{ed475411-b0d6-11d2-8c3b-00104b2a6676}", kKeyRead);
  RegValue v;
  ASSERT_EQ(reg().queryValue(reader.get(), u"", &v), kRegSuccess);
  EXPECT_TRUE(sameValue(v, sz(u"POP3 Account")));
  EXPECT_EQ(valueNames(reader.get()), std::vector<Text>{u""});
}

}  // namespace
}  // namespace korvanel::testing
