// The simulated registry: the contract suite, then what only the simulation has (exact
// statuses, fault injection, handle accounting, the Outlook registration).
#include "sim/outlook_registration.h"
#include "sim/sim_registry.h"
#include "tests/sim/registry_contract.h"

namespace korvanel::testing {
namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::kRegAccessDenied;
using platform::kRegFileNotFound;
using platform::kRegInvalidHandle;
using platform::kRegSuccess;
using platform::RegKey;
using sim::FaultPlan;
using sim::SimRegistry;

INSTANTIATE_TEST_SUITE_P(Sim, RegistryContract,
                         ::testing::Values(RegistryFactory{
                             "SimRegistry", [] { return std::make_unique<SimRegistry>(); }}),
                         [](const auto& info) { return info.param.name; });

class SimRegistryTest : public ::testing::Test {
 protected:
  SimRegistryTest() : reg(&faults) {}

  RegHandle create(TextView path) {
    RegHandle h = 0;
    EXPECT_EQ(reg.createKey(kHkeyCurrentUser, path, kKeyAllAccess, &h, nullptr), kRegSuccess);
    return h;
  }
  std::vector<KeySnapshot> everything() {
    std::vector<KeySnapshot> all;
    for (RegHandle root : {kHkeyClassesRoot, kHkeyCurrentUser, platform::kHkeyLocalMachine}) {
      auto part = snapshot(reg, root, toText(root));
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }
  static Text toText(RegHandle h) { return text::toText(static_cast<long long>(h)); }

  FaultPlan faults;
  SimRegistry reg;
};

TEST_F(SimRegistryTest, StatusesAreThoseOfWindows) {
  RegHandle h = create(u"k");
  ASSERT_EQ(reg.deleteKey(kHkeyCurrentUser, u"k"), kRegSuccess);
  EXPECT_EQ(reg.queryValue(h, u"v", nullptr), sim::kRegKeyDeleted);
  EXPECT_EQ(reg.enumKey(h, 0, nullptr), sim::kRegKeyDeleted);
  EXPECT_EQ(reg.closeKey(h), kRegSuccess);
  EXPECT_EQ(reg.closeKey(h), kRegInvalidHandle);
  EXPECT_EQ(reg.queryValue(0x4242, u"v", nullptr), kRegInvalidHandle);
  EXPECT_EQ(reg.queryValue(0, u"v", nullptr), kRegInvalidHandle);
  EXPECT_EQ(reg.openKey(kHkeyCurrentUser, u"a\\\\b", kKeyRead, &h), sim::kRegBadPathname);
  EXPECT_EQ(reg.createKey(kHkeyCurrentUser, u"\\a", kKeyRead, &h, nullptr), sim::kRegBadPathname);
  EXPECT_EQ(reg.createKey(kHkeyCurrentUser, Text(256, u'x'), kKeyRead, &h, nullptr),
            platform::kRegInvalidParameter);
  EXPECT_EQ(reg.deleteKey(kHkeyCurrentUser, u""), kRegAccessDenied);  // a root stays
  h = create(u"self");
  EXPECT_EQ(reg.deleteKey(h, u""), kRegSuccess);  // the handle's own key
  EXPECT_EQ(reg.queryValue(h, u"", nullptr), sim::kRegKeyDeleted);
  reg.closeKey(h);
  EXPECT_EQ(reg.openHandleCount(), 0u);
}

TEST_F(SimRegistryTest, NamesEndAtANulAsTheWideApiSeesThem) {
  RegHandle h = create(Text(u"key\0junk", 8));
  const RegValue v = dword(7);
  ASSERT_EQ(reg.setValue(h, Text(u"name\0junk", 9), v.type, v.data.data(), 4), kRegSuccess);
  RegValue got;
  EXPECT_EQ(reg.queryValue(h, u"name", &got), kRegSuccess);
  EXPECT_EQ(reg.closeKey(h), kRegSuccess);
  EXPECT_EQ(reg.openKey(kHkeyCurrentUser, u"key\\", kKeyRead, &h), kRegSuccess);
  reg.closeKey(h);
}

TEST_F(SimRegistryTest, AFailingCallChangesNothingAndTheNextOneWorks) {
  RegHandle key = create(u"base");
  ASSERT_EQ(set(reg, key, u"kept", dword(1)), kRegSuccess);
  RegHandle sub = create(u"base\\sub");
  const auto before = everything();
  const std::size_t handles = reg.openHandleCount();

  struct Op {
    const char* name;
    std::function<RegStatus()> call;
  };
  RegHandle out = 99;
  bool created = true;
  Text name = u"x";
  RegValue value = dword(5);
  const std::vector<Op> ops = {
      {"openKey", [&] { return reg.openKey(key, u"sub", kKeyRead, &out); }},
      {"createKey", [&] { return reg.createKey(key, u"new", kKeyAllAccess, &out, &created); }},
      {"closeKey", [&] { return reg.closeKey(sub); }},
      {"queryValue", [&] { return reg.queryValue(key, u"kept", &value); }},
      {"setValue", [&] { return set(reg, key, u"kept", dword(2)); }},
      {"deleteValue", [&] { return reg.deleteValue(key, u"kept"); }},
      {"deleteKey", [&] { return reg.deleteKey(key, u"sub"); }},
      {"enumKey", [&] { return reg.enumKey(key, 0, &name); }},
      {"enumValue", [&] { return reg.enumValue(key, 0, &name, &value); }},
  };
  for (const Op& op : ops) {
    const std::string full = std::string("Registry.") + op.name;
    faults.failOnce(full);
    EXPECT_EQ(op.call(), kRegAccessDenied) << full;
    EXPECT_EQ(faults.failures(full), 1) << full;
    EXPECT_EQ(everything(), before) << full;
    EXPECT_EQ(reg.openHandleCount(), handles) << full;
  }
  // Outputs of a failed call are empty.
  EXPECT_EQ(out, 0u);
  EXPECT_FALSE(created);
  EXPECT_TRUE(name.empty());
  EXPECT_EQ(value.type, platform::kRegNone);

  faults.failOnCall("Registry.setValue", 2);
  reg.setFaultStatus(platform::kRegInvalidParameter);
  EXPECT_EQ(set(reg, key, u"a", dword(1)), kRegSuccess);
  EXPECT_EQ(set(reg, key, u"b", dword(1)), platform::kRegInvalidParameter);
  EXPECT_EQ(set(reg, key, u"c", dword(1)), kRegSuccess);
  EXPECT_EQ(reg.queryValue(key, u"b", nullptr), kRegFileNotFound);
  reg.closeKey(sub);
  reg.closeKey(key);
}

TEST_F(SimRegistryTest, HandlesAreCountedUntilClosed) {
  {
    RegKey a = RegKey::create(reg, kHkeyCurrentUser, u"Software\\X", kKeyAllAccess);
    RegKey b = RegKey::open(reg, kHkeyCurrentUser, u"software\\x", kKeyRead);
    RegKey missing = RegKey::open(reg, kHkeyCurrentUser, u"Software\\Y", kKeyRead);
    EXPECT_EQ(reg.openHandleCount(), 2u);
  }
  EXPECT_EQ(reg.openHandleCount(), 0u);
}

TEST_F(SimRegistryTest, ClearDropsEverythingAndOldHandlesSeeADeletedKey) {
  RegHandle h = create(u"Software\\X");
  ASSERT_EQ(set(reg, h, u"v", dword(1)), kRegSuccess);
  reg.clear();
  EXPECT_EQ(reg.queryValue(h, u"v", nullptr), sim::kRegKeyDeleted);
  EXPECT_EQ(reg.closeKey(h), kRegSuccess);
  EXPECT_EQ(reg.enumKey(kHkeyCurrentUser, 0, nullptr), platform::kRegNoMoreItems);
}

TEST_F(SimRegistryTest, OutlookRegistrationDescribesThePop3AccountClass) {
  ASSERT_TRUE(sim::installOutlookRegistration(reg));
  RegKey key = RegKey::open(reg, kHkeyClassesRoot, u"CLSID\\{ED475411-B0D6-11D2-8C3B-00104B2A6676}",
                            kKeyRead);
  ASSERT_TRUE(key);
  RegValue v;
  ASSERT_EQ(reg.queryValue(key.get(), u"", &v), kRegSuccess);
  EXPECT_EQ(v.type, platform::kRegSz);
  const Text description = text::fromUtf16leBytes(v.data);
  EXPECT_EQ(description.back(), u'\0');
  EXPECT_NE(text::findNoCase(description, u"pop3"), Text::npos);

  faults.failOnce("Registry.setValue");
  SimRegistry other(&faults);
  EXPECT_FALSE(sim::installOutlookRegistration(other));
  EXPECT_EQ(other.openHandleCount(), 0u);
}

}  // namespace
}  // namespace korvanel::testing
