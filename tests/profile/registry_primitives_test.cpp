#include "profile/registry_primitives.h"

#include <gtest/gtest.h>

#include "registry_test_support.h"
#include "sim/sim_registry.h"

namespace korvanel::profile {
namespace {

using platform::kHkeyCurrentUser;
using namespace testing;
using namespace std::literals;

constexpr char16_t kKey[] = u"Software\\Test";

class RegistryPrimitivesTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(reg.openHandleCount(), 0u); }

  sim::FaultPlan faults;
  sim::SimRegistry reg{&faults};
  RegistryPrimitives prims{reg};
};

TEST_F(RegistryPrimitivesTest, StringsAreWrittenAnsiWithoutTheirNul) {
  EXPECT_TRUE(prims.RegWriteString(kKey, u"flag", u"1"));
  auto v = readValue(reg, kKey, u"flag");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->type, platform::kRegSz);
  EXPECT_EQ(v->data, (Bytes{0x31, 0x00}));

  // Through the code page: the euro sign survives, Cyrillic does not.
  EXPECT_TRUE(prims.RegSetKeyValue(kHkeyCurrentUser, u"\\Software\\Test", u"s", u"\u20ac\u0416"));
  EXPECT_EQ(readValue(reg, kKey, u"s")->data, (Bytes{0xAC, 0x20, '?', 0x00}));

  EXPECT_TRUE(prims.RegSetKeyValue(kHkeyCurrentUser, kKey, u"d", std::uint32_t{0x01020304}));
  EXPECT_EQ(readValue(reg, kKey, u"d")->data, (Bytes{4, 3, 2, 1}));

  EXPECT_FALSE(prims.RegSetKeyValue(kHkeyCurrentUser, u"", u"x", u"1"));
  EXPECT_FALSE(prims.RegSetKeyValue(kHkeyCurrentUser, u"\\", u"x", u"1"));
}

TEST_F(RegistryPrimitivesTest, AFailedSetIsReportedNotTakenForSuccess) {
  faults.failOnce("Registry.setValue");
  EXPECT_FALSE(prims.RegWriteString(kKey, u"flag", u"1"));
  EXPECT_FALSE(readValue(reg, kKey, u"flag"));
}

TEST_F(RegistryPrimitivesTest, QueryStringReadsAnsiUpToTheFirstNulWithin260Bytes) {
  RegKey none;
  EXPECT_EQ(prims.RegQueryString(none.get(), u"x"), u"");

  writeValue(reg, kKey, u"sz", platform::kRegSz, wide(u"Caf\u00e9\0tail"sv));
  writeValue(reg, kKey, u"bin", platform::kRegBinary, Bytes{'a', 'b', 0, 'c'});
  writeValue(reg, kKey, u"max", platform::kRegBinary, Bytes(260, 'x'));
  writeValue(reg, kKey, u"over", platform::kRegBinary, Bytes(261, 'x'));
  writeValue(reg, kKey, u"longsz", platform::kRegSz, wide(Text(300, u'y')));
  RegKey key = prims.RegOpenRead(kHkeyCurrentUser, kKey);
  ASSERT_TRUE(key);
  EXPECT_EQ(prims.RegQueryString(key.get(), u"sz"), u"Caf\u00e9");
  EXPECT_EQ(prims.RegQueryString(key.get(), u"bin"), u"ab");
  EXPECT_EQ(prims.RegQueryString(key.get(), u"max"), Text(260, u'x'));
  EXPECT_EQ(prims.RegQueryString(key.get(), u"over"), u"");
  EXPECT_EQ(prims.RegQueryString(key.get(), u"longsz"), u"");
  EXPECT_EQ(prims.RegQueryString(key.get(), u"missing"), u"");
}

TEST_F(RegistryPrimitivesTest, QueryDwordTakesAtMostFourBytes) {
  writeValue(reg, kKey, u"d", platform::kRegDword, Bytes{0x1B, 0, 0, 0});
  writeValue(reg, kKey, u"short", platform::kRegBinary, Bytes{0x34, 0x12});
  writeValue(reg, kKey, u"long", platform::kRegBinary, Bytes{1, 0, 0, 0, 0});
  RegKey key = prims.RegOpenRead(kHkeyCurrentUser, kKey);
  EXPECT_EQ(prims.RegQueryDword(key.get(), u"d"), 27u);
  EXPECT_EQ(prims.RegQueryDword(key.get(), u"short"), 0x1234u);
  EXPECT_EQ(prims.RegQueryDword(key.get(), u"long"), 0u);
  EXPECT_EQ(prims.RegQueryDword(key.get(), u"missing"), 0u);
  EXPECT_EQ(prims.RegQueryDword(0, u"d"), 0u);
}

TEST_F(RegistryPrimitivesTest, ReadBinaryCreatesTheKeyAndTellsAbsentFromEmpty) {
  EXPECT_TRUE(prims.RegReadBinary(u"Software\\New", u"v").empty());
  EXPECT_TRUE(keyExists(reg, u"Software\\New"));
  EXPECT_FALSE(prims.readBinaryIfPresent(u"Software\\New", u"v"));
  EXPECT_FALSE(prims.readBinaryIfPresent(u"Software\\Other", u"v"));
  EXPECT_FALSE(keyExists(reg, u"Software\\Other"));

  EXPECT_TRUE(prims.RegWriteBinary(u"Software\\New", u"v", {}));
  ASSERT_TRUE(prims.readBinaryIfPresent(u"Software\\New", u"v"));
  EXPECT_TRUE(prims.readBinaryIfPresent(u"Software\\New", u"v")->empty());
  EXPECT_TRUE(prims.RegWriteBinary(u"Software\\New", u"v", {1, 2, 3}));
  EXPECT_EQ(prims.RegReadBinary(u"Software\\New", u"v"), (Bytes{1, 2, 3}));
}

TEST_F(RegistryPrimitivesTest, QueryPropertyReadsThroughTheRegistry) {
  writeValue(reg, kKey, u"Account Name", platform::kRegBinary, wide(u"Sales"));
  writeValue(reg, kKey, u"Empty", platform::kRegBinary, {});
  RegKey key = prims.RegOpenRead(kHkeyCurrentUser, kKey);
  EXPECT_EQ(prims.RegQueryProperty(key.get(), u"Account Name"), u"Sales");
  EXPECT_EQ(prims.RegQueryProperty(key.get(), u"Empty"), u"(not defined for this account)");
  EXPECT_EQ(prims.RegQueryProperty(key.get(), u"Missing"), u"");
}

TEST_F(RegistryPrimitivesTest, DeleteKeyTreeRemovesTheKeyAndEverythingBelow) {
  writeValue(reg, u"Software\\Tree\\A\\A1\\A11", u"v", platform::kRegDword, {1, 0, 0, 0});
  writeValue(reg, u"Software\\Tree\\A\\A2", u"v", platform::kRegDword, {1, 0, 0, 0});
  writeValue(reg, u"Software\\Tree\\B", u"v", platform::kRegDword, {1, 0, 0, 0});

  EXPECT_TRUE(prims.DeleteKeyTree(kHkeyCurrentUser, u"Software\\Tree\\A\\"));
  EXPECT_FALSE(keyExists(reg, u"Software\\Tree\\A"));
  EXPECT_TRUE(keyExists(reg, u"Software\\Tree\\B"));
  // Gone already: nothing left to delete.
  EXPECT_TRUE(prims.DeleteKeyTree(kHkeyCurrentUser, u"Software\\Tree\\A"));

  EXPECT_FALSE(prims.DeleteKeyTree(kHkeyCurrentUser, u""));
  EXPECT_FALSE(prims.DeleteKeyTree(kHkeyCurrentUser, u"\\"));
  EXPECT_TRUE(keyExists(reg, u"Software\\Tree\\B"));

  faults.failAlways("Registry.deleteKey");
  EXPECT_FALSE(prims.DeleteKeyTree(kHkeyCurrentUser, u"Software\\Tree"));
  faults.clearAll();
  EXPECT_TRUE(prims.DeleteKeyTree(kHkeyCurrentUser, u"Software"));
  EXPECT_FALSE(keyExists(reg, u"Software"));
}

TEST_F(RegistryPrimitivesTest, SubkeyNamesSkipAnIndexThatFails) {
  for (const char16_t* name : {u"00000001", u"00000002", u"00000003"}) {
    writeValue(reg, Text(kKey) + u"\\" + name, u"v", platform::kRegDword, {1, 0, 0, 0});
  }
  RegKey key = prims.RegOpenRead(kHkeyCurrentUser, kKey);
  EXPECT_EQ(prims.subkeyNames(key.get()),
            (std::vector<Text>{u"00000001", u"00000002", u"00000003"}));
  faults.failOnCall("Registry.enumKey", 2);
  EXPECT_EQ(prims.subkeyNames(key.get()), (std::vector<Text>{u"00000001", u"00000003"}));
  faults.failAlways("Registry.enumKey");
  EXPECT_TRUE(prims.subkeyNames(key.get()).empty());
}

}  // namespace
}  // namespace korvanel::profile
