#include "profile/profile_reread.h"

#include <gtest/gtest.h>

#include "profile/exchange_mailboxes.h"
#include "profile/outlook_command_line.h"
#include "profile/profile_key.h"
#include "registry_test_support.h"
#include "reread_fakes.h"
#include "sim/outlook_profile_seed.h"
#include "sim/sim_registry.h"

namespace korvanel::profile {
namespace {

using namespace testing;

constexpr char16_t kUserDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=pat";
constexpr char16_t kHelpDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";

class NoMapi final : public platform::Mapi {
 public:
  platform::HResult hrGetOneProp(platform::MapiObject*, std::uint32_t,
                                 platform::SPropValue**) override {
    return platform::kMapiENotFound;
  }
  platform::HResult mapiFreeBuffer(void*) override { return platform::kSOk; }
};

class ProfileRereadTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(registry.openHandleCount(), 0u); }

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

  // The profile manager's image of a profile with an Exchange service.
  void addExchangeProfile(TextView name, TextView mailbox) {
    objects.state.profiles.push_back(
        {Text(name),
         {{u"MSEMS",
           {{u"0a0b0c0d0e0f10111213141516171819", u"Microsoft Exchange Transport"},
            {Text(kExchangeGlobalSectionUid), Text(mailbox)}},
           {},
           true}}});
  }

  sim::SimRegistry registry;
  RegistryPrimitives reg{registry};
  RecordingShell shell;
  FakeObjects objects;
  NoMapi mapi;
  platform::Services services{registry, shell, objects, mapi};
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

TEST_F(ProfileRereadTest, CommandLinesQuoteTheProfileOrRefuseIt) {
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
  EXPECT_TRUE(shell.starts.empty());
  // Nor does a program path that would break the quoting.
  shell.environment[u"ProgramFiles"] = u"C:\\x\" /evil \"";
  EXPECT_FALSE(OutlookCommandLine(shell, 12, kProfileOption, u"Outlook"));
}

TEST_F(ProfileRereadTest, TemporaryProfileIsConfiguredFromMailboxAndServer) {
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"  Outlook_delete_it ", u"Pat Doe", u"EXCH01"), 17);
  const auto* temp = objects.state.find(u"  Outlook_delete_it ");
  ASSERT_NE(temp, nullptr);
  ASSERT_EQ(temp->services.size(), 1u);
  EXPECT_EQ(temp->services[0].name, u"MSEMS");
  EXPECT_TRUE(temp->services[0].configured);
  const std::vector<std::pair<std::uint32_t, Text>> expected = {{0x6607001E, u"Pat Doe"},
                                                                {0x6608001E, u"EXCH01"}};
  EXPECT_EQ(temp->services[0].configuredWith, expected);

  // An existing name, a missing service or property bag, or no library at all give 0.
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"  Outlook_delete_it ", u"Pat Doe", u"X"), 0);
  objects.state.failServiceAdd = true;
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"B", u"Pat Doe", u"X"), 0);
  objects.state.failServiceAdd = false;
  objects.state.failBag = true;
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"C", u"Pat Doe", u"X"), 0);
  objects.profManInstalled = false;
  EXPECT_EQ(CreateTempExchangeProfile(objects, u"D", u"Pat Doe", u"X"), 0);
}

TEST_F(ProfileRereadTest, DeleteProfileTakesTheFirstNameMatchWithoutCase) {
  objects.state.profiles = {{u"Other", {}}, {u"OUTLOOK_DELETE_IT", {}}, {u"Outlook_delete_it", {}}};
  DeleteProfile(objects, u"outlook_delete_it");
  EXPECT_EQ(objects.state.deleted, std::vector<Text>{u"OUTLOOK_DELETE_IT"});
  EXPECT_EQ(objects.state.profiles.size(), 2u);
  DeleteProfile(objects, u"Missing");
  EXPECT_EQ(objects.state.profiles.size(), 2u);
}

TEST_F(ProfileRereadTest, RereadStartsHiddenSafeOutlookOnTheTemporaryProfile) {
  seedProfile(u"Outlook");
  addExchangeProfile(u"OUTLOOK", u"Pat Doe");
  RereadProfileAddresses(services, reg, u"Outlook", 12);

  const auto* temp = objects.state.find(u"Outlook_delete_it");
  ASSERT_NE(temp, nullptr);
  const std::vector<std::pair<std::uint32_t, Text>> expected = {{0x6607001E, u"Pat Doe"},
                                                                {0x6608001E, u"EXCH01"}};
  EXPECT_EQ(temp->services.at(0).configuredWith, expected);
  ASSERT_EQ(shell.starts.size(), 1u);
  EXPECT_EQ(shell.starts[0].commandLine,
            u"\"C:\\Program Files\\Microsoft Office\\Office12\\Outlook.exe\" /safe:3 /profile "
            u"\"Outlook_delete_it\"");
  EXPECT_EQ(shell.starts[0].windowStyle, platform::kWindowHide);
  EXPECT_TRUE(shell.boxes.empty());
}

TEST_F(ProfileRereadTest, RereadWithoutExchangeIsSilentAndFailuresAreTold) {
  // No Exchange provider: nothing at all.
  objects.state.profiles.push_back({u"Outlook", {{u"MSPST", {{u"ff", u"Personal"}}, {}, true}}});
  RereadProfileAddresses(services, reg, u"Outlook", 11);
  EXPECT_TRUE(shell.starts.empty());
  EXPECT_TRUE(shell.boxes.empty());
  EXPECT_EQ(objects.state.profiles.size(), 1u);

  // The temporary profile cannot be made: the half-made one goes, the user is told.
  addExchangeProfile(u"Work", u"Pat Doe");
  objects.state.failServiceAdd = true;
  RereadProfileAddresses(services, reg, u"Work", 11);
  EXPECT_FALSE(objects.state.find(u"Work_delete_it"));
  EXPECT_TRUE(shell.starts.empty());
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].text,
            u"Sorry, Korvanel utilty can not re-read the e-mail addresses stored in the Active "
            u"Directory.\rYou should re-create Outlook profile 'Work' manually.");
  EXPECT_EQ(shell.boxes[0].title, u"Korvanel");
  EXPECT_EQ(shell.boxes[0].style, 48);
  objects.state.failServiceAdd = false;

  // Outlook does not start: no temporary profile is left waiting for it.
  shell.startSucceeds = false;
  RereadProfileAddresses(services, reg, u"Work", 11);
  EXPECT_EQ(shell.starts.size(), 1u);
  EXPECT_FALSE(objects.state.find(u"Work_delete_it"));
}

TEST_F(ProfileRereadTest, RereadRefusesAProfileNameThatCannotBeQuoted) {
  addExchangeProfile(u"Pat \" /safe \"x", u"Pat Doe");
  RereadProfileAddresses(services, reg, u"Pat \" /safe \"x", 12);
  EXPECT_TRUE(shell.starts.empty());
  EXPECT_EQ(objects.state.profiles.size(), 1u);  // nothing was created
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_NE(shell.boxes[0].text.find(u"'Pat \" /safe \"x'"), Text::npos);
}

}  // namespace
}  // namespace korvanel::profile
