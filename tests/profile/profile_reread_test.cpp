#include "profile/profile_reread.h"

#include <gtest/gtest.h>

#include "profile/account_store.h"
#include "profile/exchange_mailboxes.h"
#include "profile/outlook_command_line.h"
#include "profile/profile_key.h"
#include "registry_test_support.h"
#include "sim/machine.h"
#include "sim/outlook_profile_seed.h"

namespace korvanel::profile {
namespace {

using namespace testing;

constexpr char16_t kUserDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=pat";
constexpr char16_t kHelpDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";

sim::MachineOptions withoutAddIns() {
  sim::MachineOptions options;
  options.addIns.clear();
  return options;
}

class ProfileRereadTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(machine.simRegistry().openHandleCount(), 0u); }

  void seedProfile(TextView name, bool unicode = true, bool withList = true) {
    sim::OutlookProfileSeed seed;
    seed.profileName = Text(name);
    seed.unicodeSections = unicode;
    seed.writeProxyAddresses = withList;
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", kHelpDn}};
    ASSERT_TRUE(sim::seedOutlookProfile(registry, seed));
  }

  std::optional<platform::RegValue> globalValue(TextView profile, TextView name) {
    return readValue(registry, GlobalProfileSection(profile), name);
  }
  bool profileExists(TextView profile) { return keyExists(registry, ProfileKeyPath(profile)); }
  Text globalText(TextView profile, TextView name) {
    RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, GlobalProfileSection(profile));
    return reg.RegQueryString(key.get(), name);
  }
  const std::vector<sim::ProcessRecord>& starts() { return machine.shell().processes(); }
  const std::vector<sim::DialogRecord>& boxes() { return machine.shell().dialogs(); }

  sim::Machine machine{withoutAddIns()};
  sim::SimRegistry& registry = machine.simRegistry();
  RegistryPrimitives reg{registry};
};

TEST_F(ProfileRereadTest, ExchangeMailboxesInSubkeyOrderFromUnicodeAndAnsiSections) {
  for (bool unicode : {true, false}) {
    const Text name = unicode ? u"Unicode" : u"Ansi";
    seedProfile(name, unicode);
    const MailboxLists lists = LoadExchangeMailboxes(reg, name);
    EXPECT_EQ(lists.MailboxNameList, u"Mailbox - Pat Doe\tMailbox - Help Desk") << unicode;
    EXPECT_EQ(lists.MailboxDNList, Text(kUserDn) + u"\t" + kHelpDn) << unicode;
  }
  EXPECT_EQ(LoadExchangeMailboxes(reg, u""), MailboxLists{});
  EXPECT_EQ(LoadExchangeMailboxes(reg, u"No such profile"), MailboxLists{});
}

TEST_F(ProfileRereadTest, ExchangeMailboxesNeedTheProviderAndBothNames) {
  const Text profileKey = ProfileKeyPath(u"P");
  // "Microsoft Exchange" anywhere, in any case, counts.
  writeValue(registry, profileKey + u"\\a1", u"001f3006", platform::kRegBinary,
             wide(u"Connector for MICROSOFT EXCHANGE stores"));
  writeValue(registry, profileKey + u"\\a1", u"001f3001", platform::kRegBinary, wide(u"Shared"));
  writeValue(registry, profileKey + u"\\a1", u"001f660b", platform::kRegBinary, wide(u"/o=X/cn=s"));
  // A name without a distinguished name adds nothing to either list.
  writeValue(registry, profileKey + u"\\a2", u"001f3006", platform::kRegBinary,
             wide(u"Microsoft Exchange Message Store"));
  writeValue(registry, profileKey + u"\\a2", u"001f3001", platform::kRegBinary, wide(u"No DN"));
  // Not an Exchange section.
  writeValue(registry, profileKey + u"\\a3", u"001f3006", platform::kRegBinary,
             wide(u"Personal Folders"));
  writeValue(registry, profileKey + u"\\a3", u"001f3001", platform::kRegBinary, wide(u"PST"));
  writeValue(registry, profileKey + u"\\a3", u"001f660b", platform::kRegBinary, wide(u"/o=X/cn=p"));

  const MailboxLists lists = LoadExchangeMailboxes(reg, u"P");
  EXPECT_EQ(lists.MailboxNameList, u"Shared");
  EXPECT_EQ(lists.MailboxDNList, u"/o=X/cn=s");
}

TEST_F(ProfileRereadTest, CopyReplacesTheTargetListInEitherForm) {
  seedProfile(u"Outlook", /*unicode=*/false);
  seedProfile(u"Outlook_delete_it", /*unicode=*/true);
  const Bytes fresh = globalValue(u"Outlook_delete_it", u"101f6637")->data;

  EXPECT_TRUE(CopyProfileSmtpAddresses(reg, u"Outlook_delete_it", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, fresh);
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->type, platform::kRegBinary);
  EXPECT_FALSE(globalValue(u"Outlook", u"101e6637"));

  // Back the other way: the ANSI list goes under its own name and the Unicode one leaves.
  seedProfile(u"Old", /*unicode=*/false);
  const Bytes ansi = globalValue(u"Old", u"101e6637")->data;
  EXPECT_TRUE(CopyProfileSmtpAddresses(reg, u"Old", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101e6637")->data, ansi);
  EXPECT_FALSE(globalValue(u"Outlook", u"101f6637"));
}

TEST_F(ProfileRereadTest, CopyWithoutASourceListOrTargetChangesNothing) {
  seedProfile(u"Outlook");
  seedProfile(u"Empty", true, /*withList=*/false);
  const Bytes before = globalValue(u"Outlook", u"101f6637")->data;
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Empty", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);

  // A single byte is no list either.
  writeValue(registry, GlobalProfileSection(u"Empty"), u"101f6637", platform::kRegBinary, {0});
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Empty", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);

  // A target profile that does not exist is not created.
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Outlook", u"Gone"));
  EXPECT_FALSE(keyExists(registry, GlobalProfileSection(u"Gone")));
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Gone", u"Outlook"));
}

TEST_F(ProfileRereadTest, CopyTakesOnlyAListThatHoldsAnSmtpAddress) {
  seedProfile(u"Outlook");
  seedProfile(u"Temp");
  const Text source = GlobalProfileSection(u"Temp");
  const Bytes before = globalValue(u"Outlook", u"101f6637")->data;
  const Bytes x500Only = sim::multiValuedStrings({u"X500:/o=Contoso/cn=pat"}, true);

  // Neither form holds an SMTP address: the user's list stays as it is.
  writeValue(registry, source, u"101f6637", platform::kRegBinary, x500Only);
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Temp", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);

  // The ANSI form holds one: it is the list copied, and the Unicode one leaves the target.
  const Bytes ansi =
      sim::multiValuedStrings({u"SMTP:pat@contoso.com", u"smtp:new@contoso.com"}, false);
  writeValue(registry, source, u"101e6637", platform::kRegBinary, ansi);
  EXPECT_TRUE(CopyProfileSmtpAddresses(reg, u"Temp", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101e6637")->data, ansi);
  EXPECT_FALSE(globalValue(u"Outlook", u"101f6637"));
}

TEST_F(ProfileRereadTest, AFailedCopyLeavesTheOldListWholeAndNeverShadowed) {
  seedProfile(u"Outlook");  // Unicode list
  seedProfile(u"Temp", /*unicode=*/false);
  const Bytes before = globalValue(u"Outlook", u"101f6637")->data;
  auto readList = [&] {
    profile::AccountStore store(registry);
    store.LoadProfileSmtpAddresses(u"Outlook");
    return store.ProxyAddresses();
  };
  const std::vector<Text> oldList = readList();

  // The Unicode list, read first, cannot go: the ANSI one is not written beside it.
  machine.faults().failOnce("Registry.deleteValue");
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Temp", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);
  EXPECT_FALSE(globalValue(u"Outlook", u"101e6637"));

  // The ANSI list cannot be written: the Unicode one comes back.
  machine.faults().failOnce("Registry.setValue");
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Temp", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);
  EXPECT_EQ(readList(), oldList);

  // A Unicode list whose write fails leaves the old one.
  seedProfile(u"Fresh");
  machine.faults().failOnce("Registry.setValue");
  EXPECT_FALSE(CopyProfileSmtpAddresses(reg, u"Fresh", u"Outlook"));
  EXPECT_EQ(globalValue(u"Outlook", u"101f6637")->data, before);
}

TEST_F(ProfileRereadTest, CommandLinesQuoteTheProfileOrRefuseIt) {
  platform::Shell& shell = machine.shell();
  EXPECT_EQ(OutlookCommandLine(shell, 12, kSafeProfileOption, u"Outlook_delete_it"),
            Text(u"\"C:\\Program Files\\Microsoft Office\\Office12\\Outlook.exe\" /safe:3 "
                 u"/profile \"Outlook_delete_it\""));
  EXPECT_EQ(OutlookCommandLine(shell, 11, kProfileOption, u"My profile"),
            Text(u"\"C:\\Program Files\\Microsoft Office\\Office11\\Outlook.exe\" /profile "
                 u"\"My profile\""));
  // Whatever would end the quoted argument (or the line) never reaches a command line.
  for (TextView bad : {TextView(u"a\" /safe \"b"), TextView(u"\""), TextView(u"a\r\nb"),
                       TextView(u"ends\\"), TextView(u"  "), TextView(u"a\0b", 3)}) {
    EXPECT_FALSE(isQuotableProfileName(bad)) << text::toUtf8(bad);
    EXPECT_FALSE(startOutlook(shell, 12, kProfileOption, bad, platform::kWindowNormalFocus));
  }
  EXPECT_TRUE(starts().empty());
  // Nor does a program path that would break the quoting.
  machine.shell().setEnvironmentVariable(u"ProgramFiles", u"C:\\x\" /evil \"");
  EXPECT_FALSE(OutlookCommandLine(shell, 12, kProfileOption, u"Outlook"));
}

TEST_F(ProfileRereadTest, TemporaryProfileIsConfiguredFromMailboxAndServer) {
  platform::ObjectFactory& objects = machine.objects();
  EXPECT_EQ(CreateTempExchangeProfile(objects, u" Outlook_delete_it ", u"Pat Doe", u"EXCH01"), 17);
  EXPECT_EQ(globalText(u" Outlook_delete_it ", u"001e6607"), u"Pat Doe");
  EXPECT_EQ(globalText(u" Outlook_delete_it ", u"001e6608"), u"EXCH01");

  // An existing name, a service or property bag that cannot be made give 0.
  EXPECT_EQ(CreateTempExchangeProfile(objects, u" Outlook_delete_it ", u"Pat Doe", u"X"), 0);
  machine.faults().failOnce("ProfManServices.Add");
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"B", u"Pat Doe", u"X"), 0);
  machine.faults().failOnce("CreateObject.ProfMan.PropertyBag");
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"C", u"Pat Doe", u"X"), 0);
  machine.faults().failOnce("CreateObject.ProfMan.Profiles");
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"D", u"Pat Doe", u"X"), 0);
  // A configuration that fails cannot be told from here.
  machine.faults().failOnce("ProfManService.Configure");
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"E", u"Pat Doe", u"X"), 1);
}

TEST_F(ProfileRereadTest, DeleteProfileFindsTheNameWithoutCase) {
  seedProfile(u"Other");
  seedProfile(u"Outlook_delete_it");
  DeleteProfile(machine.objects(), u"OUTLOOK_DELETE_IT");
  EXPECT_FALSE(profileExists(u"Outlook_delete_it"));
  EXPECT_TRUE(profileExists(u"Other"));
  DeleteProfile(machine.objects(), u"Missing");
  EXPECT_TRUE(profileExists(u"Other"));
}

TEST_F(ProfileRereadTest, RereadStartsHiddenSafeOutlookOnTheTemporaryProfile) {
  seedProfile(u"Outlook");
  RereadProfileAddresses(machine.services(), reg, u"outlook", 12);

  ASSERT_TRUE(profileExists(u"outlook_delete_it"));
  EXPECT_EQ(globalText(u"outlook_delete_it", u"001e6607"), u"Pat Doe");
  EXPECT_EQ(globalText(u"outlook_delete_it", u"001e6608"), u"EXCH01");
  ASSERT_EQ(starts().size(), 1u);
  EXPECT_EQ(starts()[0].commandLine,
            u"\"C:\\Program Files\\Microsoft Office\\Office12\\Outlook.exe\" /safe:3 /profile "
            u"\"outlook_delete_it\"");
  EXPECT_EQ(starts()[0].windowStyle, platform::kWindowHide);
  EXPECT_TRUE(boxes().empty());
}

TEST_F(ProfileRereadTest, RereadWithoutExchangeIsSilentAndFailuresAreTold) {
  // No Exchange service: nothing at all.
  writeValue(registry, ProfileKeyPath(u"Plain") + u"\\0a0b", u"001e3d09", platform::kRegBinary,
             {'M', 'S', 'P', 'S', 'T', 0});
  RereadProfileAddresses(machine.services(), reg, u"Plain", 11);
  RereadProfileAddresses(machine.services(), reg, u"Missing", 11);
  EXPECT_TRUE(starts().empty());
  EXPECT_TRUE(boxes().empty());
  EXPECT_FALSE(profileExists(u"Plain_delete_it"));

  // The temporary profile cannot be made: the half-made one goes, the user is told.
  seedProfile(u"Work");
  machine.faults().failOnce("ProfManServices.Add");
  RereadProfileAddresses(machine.services(), reg, u"Work", 11);
  EXPECT_FALSE(profileExists(u"Work_delete_it"));
  EXPECT_TRUE(starts().empty());
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text,
            u"Sorry, Korvanel utilty can not re-read the e-mail addresses stored in the Active "
            u"Directory.\rYou should re-create Outlook profile 'Work' manually.");
  EXPECT_EQ(boxes()[0].title, u"Korvanel");
  EXPECT_EQ(boxes()[0].style, 48);

  // Outlook does not start: no temporary profile is left waiting for it.
  machine.faults().failOnce("Shell.startProcess");
  RereadProfileAddresses(machine.services(), reg, u"Work", 11);
  EXPECT_FALSE(profileExists(u"Work_delete_it"));
  EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(ProfileRereadTest, RereadRefusesAProfileNameThatCannotBeQuoted) {
  const Text name = u"Pat \" /safe \"x";
  seedProfile(name);
  RereadProfileAddresses(machine.services(), reg, name, 12);
  EXPECT_TRUE(starts().empty());
  EXPECT_FALSE(profileExists(name + u"_delete_it"));
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_NE(boxes()[0].text.find(u"'" + name + u"'"), Text::npos);
}

}  // namespace
}  // namespace korvanel::profile
