#include "profile/account_store.h"

#include <gtest/gtest.h>

#include "profile/account_order.h"
#include "profile/profile_key.h"
#include "registry_test_support.h"
#include "sim/outlook_profile_seed.h"
#include "sim/outlook_registration.h"
#include "sim/sim_registry.h"

namespace korvanel::profile {
namespace {

using namespace testing;
using platform::kHkeyClassesRoot;

constexpr char16_t kProfile[] = u"Outlook";
constexpr char16_t kImapClsid[] = u"{ED475412-B0D6-11D2-8C3B-00104B2A6676}";

class AccountStoreTest : public ::testing::Test {
 protected:
  AccountStoreTest() {
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com",
                           u"X400:c=US;a= ;p=Contoso;o=Exchange;s=Doe;g=Pat;"};
    sim::installOutlookRegistration(reg);
    writeValue(reg, Text(u"CLSID\\") + kImapClsid, u"", platform::kRegSz,
               wide(u"IMAP4 Account Manager"), kHkeyClassesRoot);
  }
  void TearDown() override { EXPECT_EQ(reg.openHandleCount(), 0u); }

  void seedProfile() { ASSERT_TRUE(sim::seedOutlookProfile(reg, seed)); }

  // An account written by hand, as some other program or an older version left it.
  void writeAccount(TextView subkey, TextView clsid, TextView pop3, TextView smtp,
                    TextView service = u"") {
    const Text path = AccountManagerKey(kProfile) + u"\\" + Text(subkey);
    writeValue(reg, path, u"Account Name", platform::kRegBinary, wide(u"Acct " + Text(subkey)));
    writeValue(reg, path, u"clsid", platform::kRegSz, wide(clsid));
    writeValue(reg, path, u"Email", platform::kRegBinary, wide(Text(subkey) + u"@x.com"));
    writeValue(reg, path, u"POP3 Server", platform::kRegBinary, wide(pop3));
    writeValue(reg, path, u"SMTP Server", platform::kRegBinary, wide(smtp));
    if (!service.empty()) {
      writeValue(reg, path, u"Service Name", platform::kRegBinary, wide(service));
    }
  }

  Bytes orderList() {
    auto v = readValue(reg, AccountManagerKey(kProfile), kAccountOrderValue);
    return v ? v->data : Bytes{0xEE};
  }

  Bytes accountValue(std::uint32_t id, TextView name) {
    auto v = readValue(reg, AccountKeyPath(kProfile, id), name);
    return v ? v->data : Bytes{0xEE};
  }

  void createThree() {
    const std::uint32_t first = store.GetNextAccountID(kProfile);
    ASSERT_EQ(first, 3u);
    ASSERT_TRUE(store.CreateIdentityAccount(kProfile, first, u"EX [Sales <sales@contoso.com>]",
                                            u"Sales", u"sales@contoso.com", u"  Regards ", u""));
    ASSERT_TRUE(store.CreateIdentityAccount(kProfile, store.GetNextAccountID(kProfile),
                                            u"EX [Help <help@contoso.com>]", u"Help",
                                            u"help@contoso.com", u"", u"Reply sig"));
    ASSERT_TRUE(store.CreateIdentityAccount(
        kProfile, store.GetNextAccountID(kProfile), u"EX MBX [Help Desk]", u"Help Desk",
        u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk", u"", u""));
  }

  sim::FaultPlan faults;
  sim::SimRegistry reg{&faults};
  sim::OutlookProfileSeed seed;
  AccountStore store{reg};
};

TEST_F(AccountStoreTest, ProxyListComesFromTheUnicodeSection) {
  seedProfile();
  store.LoadProfileSmtpAddresses(kProfile);
  EXPECT_EQ(store.ProxyAddresses(),
            (std::vector<Text>{u"smtp:sales@contoso.com", u"SMTP:pat@contoso.com"}));
  EXPECT_EQ(store.ExchangePrimarySmtp(), u"pat@contoso.com");
}

TEST_F(AccountStoreTest, ProxyListComesFromTheAnsiSection) {
  seed.unicodeSections = false;
  seed.proxyAddresses = {u"SMTP:ren\u00e9@contoso.com", u"smtp:b@contoso.com"};
  seedProfile();
  ASSERT_TRUE(readValue(reg, GlobalProfileSection(kProfile), u"101e6637"));
  store.LoadProfileSmtpAddresses(kProfile);
  EXPECT_EQ(store.ProxyAddresses(),
            (std::vector<Text>{u"smtp:b@contoso.com", u"SMTP:ren\u00e9@contoso.com"}));
  EXPECT_EQ(store.ExchangePrimarySmtp(), u"ren\u00e9@contoso.com");
}

TEST_F(AccountStoreTest, FirstStoredPrimaryAddressWins) {
  seed.proxyAddresses = {u"SMTP:first@contoso.com", u"SMTP:second@contoso.com"};
  seedProfile();
  store.LoadProfileSmtpAddresses(kProfile);
  EXPECT_EQ(store.ExchangePrimarySmtp(), u"first@contoso.com");
}

TEST_F(AccountStoreTest, EmptyUnicodeListFallsBackToTheAnsiOne) {
  seed.unicodeSections = false;
  seedProfile();
  writeValue(reg, GlobalProfileSection(kProfile), u"101f6637", platform::kRegBinary, {});
  store.LoadProfileSmtpAddresses(kProfile);
  EXPECT_EQ(store.ExchangePrimarySmtp(), u"pat@contoso.com");
  EXPECT_EQ(store.ProxyAddresses().size(), 2u);
}

TEST_F(AccountStoreTest, AMissingSectionKeepsWhatWasLoaded) {
  seedProfile();
  store.LoadProfileSmtpAddresses(kProfile);
  store.LoadProfileSmtpAddresses(u"Nobody");
  EXPECT_EQ(store.ExchangePrimarySmtp(), u"pat@contoso.com");
}

TEST_F(AccountStoreTest, ClassifiesIdentityExchangeAndOtherAccounts) {
  seedProfile();
  writeAccount(u"00000010", kPop3AccountClsid, u"pop.fabrikam.com", u"none");  // real POP3
  writeAccount(u"00000011", kPop3AccountClsid, u"NONE", u"none");              // identity
  writeAccount(u"00000012", kPop3AccountClsid, u"none", u"none", u"CONTAB");   // other service
  writeAccount(u"00000013", kImapClsid, u"none", u"none");                     // not POP3
  writeAccount(u"00000014", u"", u"none", u"none");                            // no class

  store.LoadProfileSmtpAddresses(kProfile);
  store.EnumIdentityAccounts(kProfile);
  EXPECT_EQ(store.IdentityLists().Subkeys, u"00000011");
  EXPECT_EQ(store.IdentityLists().Positions, u"1");  // not in the order list
  EXPECT_EQ(store.ExchangeAccountKey(), u"00000002");
  EXPECT_EQ(store.ExchangeAccountName(), u"Microsoft Exchange Server");
  EXPECT_EQ(store.ExchangeStamp(), u"00000002\x01pat@contoso.com");
}

TEST_F(AccountStoreTest, OutlooksOwnAccountsKeepTheirPlacesBeforeTheIdentities) {
  seedProfile();
  sim::MailAccountSeed pop3;
  pop3.accountName = u"Fabrikam";
  pop3.email = u"pat@fabrikam.com";
  pop3.pop3Server = u"pop.fabrikam.com";
  pop3.smtpServer = u"none";
  ASSERT_EQ(sim::seedMailAccount(reg, kProfile, pop3), 3u);
  sim::MailAccountSeed imap = pop3;
  imap.type = sim::MailAccountSeed::Type::kImap;
  imap.pop3Server = u"none";
  ASSERT_EQ(sim::seedMailAccount(reg, kProfile, imap), 4u);
  ASSERT_EQ(store.GetNextAccountID(kProfile), 5u);
  ASSERT_TRUE(
      store.CreateIdentityAccount(kProfile, 5, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));

  store.EnumIdentityAccounts(kProfile);
  EXPECT_EQ(store.IdentityLists().Subkeys, u"00000005");
  EXPECT_EQ(store.IdentityLists().Positions, u"4");
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}));
}

TEST_F(AccountStoreTest, ReadsAnAccountKeyIntoItsRecord) {
  seedProfile();
  const Text path = AccountManagerKey(kProfile) + u"\\00000011";
  writeAccount(u"00000011", kPop3AccountClsid, u"none", u"none");
  writeValue(reg, path, u"Display Name", platform::kRegBinary, {});
  writeValue(reg, path, u"SMTP Use Auth", platform::kRegDword, {1, 0, 0, 0});

  const AccountRecord r = store.ReadAccountRecord(AccountManagerKey(kProfile), u"00000011");
  EXPECT_EQ(r.Subkey, u"00000011");
  EXPECT_EQ(r.AccountName, u"Acct 00000011");
  EXPECT_EQ(r.DisplayName, u"(not defined for this account)");
  EXPECT_EQ(r.Email, u"00000011@x.com");
  EXPECT_EQ(r.Organization, u"");
  EXPECT_EQ(r.Clsid, kPop3AccountClsid);
  EXPECT_EQ(r.ClassDescription, sim::kPop3AccountDescription);
  EXPECT_EQ(r.SmtpUseAuth, 1u);

  const AccountRecord missing = store.ReadAccountRecord(AccountManagerKey(kProfile), u"0000ffff");
  EXPECT_EQ(missing.Subkey, u"");
  EXPECT_EQ(missing.AccountName, u"");
}

TEST_F(AccountStoreTest, CreatedAccountsHaveTheirExactValues) {
  seedProfile();
  createThree();
  EXPECT_EQ(accountValue(3, u"Account Name"), wide(u"EX [Sales <sales@contoso.com>]"));
  EXPECT_EQ(accountValue(3, u"clsid"), text::toUtf16leBytes(kPop3AccountClsid));  // no NUL
  EXPECT_EQ(accountValue(3, u"Display Name"), wide(u"Sales"));
  EXPECT_EQ(accountValue(3, u"Email"), wide(u"sales@contoso.com"));
  EXPECT_EQ(accountValue(3, u"POP3 Server"), wide(u"none"));
  EXPECT_EQ(accountValue(3, u"POP3 User"), wide(u"none"));
  EXPECT_EQ(accountValue(3, u"SMTP Server"), wide(u"none"));
  EXPECT_EQ(accountValue(3, u"POP3 Remember Passwd"), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(accountValue(3, u"Is Account Disabled"), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(accountValue(3, u"New Signature"), wide(u"Regards"));
  EXPECT_FALSE(readValue(reg, AccountKeyPath(kProfile, 3), u"Reply-Forward Signature"));
  EXPECT_FALSE(readValue(reg, AccountKeyPath(kProfile, 4), u"New Signature"));
  EXPECT_EQ(accountValue(4, u"Reply-Forward Signature"), wide(u"Reply sig"));

  EXPECT_EQ(store.GetNextAccountID(kProfile), 6u);
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}));
}

TEST_F(AccountStoreTest, IdTwentySixIsKey0000001a) {
  seedProfile();
  ASSERT_TRUE(
      store.CreateIdentityAccount(kProfile, 26, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));
  EXPECT_TRUE(keyExists(reg, AccountManagerKey(kProfile) + u"\\0000001a"));
  EXPECT_EQ(store.GetNextAccountID(kProfile), 27u);
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 0x1A, 0, 0, 0}));
}

TEST_F(AccountStoreTest, EnumerationGivesTheEightListsInCreationOrder) {
  seedProfile();
  createThree();
  store.LoadProfileSmtpAddresses(kProfile);
  store.EnumIdentityAccounts(kProfile);
  const IdentityAccountLists& l = store.IdentityLists();
  EXPECT_EQ(l.Combined,
            u"00000003\x01sales@contoso.com\x01Sales\t"
            u"00000004\x01help@contoso.com\x01Help\t"
            u"00000005\x01/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk\x01Help Desk");
  EXPECT_EQ(l.Subkeys, u"00000003\t00000004\t00000005");
  EXPECT_EQ(
      l.Emails,
      u"sales@contoso.com\thelp@contoso.com\t/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk");
  EXPECT_EQ(l.DisplayNames, u"Sales\tHelp\tHelp Desk");
  EXPECT_EQ(l.AccountNames,
            u"EX [Sales <sales@contoso.com>]\tEX [Help <help@contoso.com>]\tEX MBX [Help Desk]");
  EXPECT_EQ(l.Positions, u"2\t3\t4");
  EXPECT_EQ(l.NewSignatures, u"Regards\t\t");
  EXPECT_EQ(l.ReplySignatures, u"\tReply sig\t");
  EXPECT_EQ(*l.list(6), l.Positions);
  EXPECT_EQ(l.list(9), nullptr);
  EXPECT_EQ(store.ExchangeStamp(), u"00000002\x01pat@contoso.com");

  const IdentityAccountLists first = l;
  store.EnumIdentityAccounts(kProfile);
  EXPECT_EQ(store.IdentityLists(), first);
}

TEST_F(AccountStoreTest, DeletingAnAccountRemovesItsKeyAndOrderEntry) {
  seedProfile();
  createThree();
  ASSERT_TRUE(store.DeleteIdentityAccount(kProfile, std::uint32_t{4}));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 4)));
  // The last id takes the freed place.
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 5, 0, 0, 0}));

  store.EnumIdentityAccounts(kProfile);
  EXPECT_EQ(store.IdentityLists().Subkeys, u"00000003\t00000005");
  EXPECT_EQ(store.IdentityLists().Positions, u"2\t3");
  // Deleting what is gone changes nothing and is no failure.
  EXPECT_TRUE(store.DeleteIdentityAccount(kProfile, std::uint32_t{4}));
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 5, 0, 0, 0}));
}

TEST_F(AccountStoreTest, DeletingTheOnlyListedIdWritesTheEmptyList) {
  seedProfile();
  ASSERT_TRUE(
      writeValue(reg, AccountManagerKey(kProfile), kAccountOrderValue, platform::kRegBinary, {}));
  ASSERT_TRUE(
      store.CreateIdentityAccount(kProfile, 3, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));
  ASSERT_EQ(orderList(), (Bytes{3, 0, 0, 0}));
  ASSERT_TRUE(store.DeleteIdentityAccount(kProfile, std::uint32_t{3}));
  EXPECT_EQ(orderList(), Bytes{});
  // The next account joins the (empty) list.
  ASSERT_TRUE(
      store.CreateIdentityAccount(kProfile, 4, u"EX [B <b@x.com>]", u"B", u"b@x.com", u"", u""));
  EXPECT_EQ(orderList(), (Bytes{4, 0, 0, 0}));
}

TEST_F(AccountStoreTest, AProfileWithoutOrderListGetsNone) {
  seedProfile();
  const Text manager = AccountManagerKey(kProfile);
  RegKey key = RegKey::open(reg, platform::kHkeyCurrentUser, manager, platform::kKeyWriteAll);
  ASSERT_EQ(reg.deleteValue(key.get(), kAccountOrderValue), platform::kRegSuccess);
  key.reset();
  ASSERT_TRUE(
      store.CreateIdentityAccount(kProfile, 3, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));
  EXPECT_FALSE(readValue(reg, manager, kAccountOrderValue));
  EXPECT_TRUE(store.DeleteIdentityAccount(kProfile, std::uint32_t{3}));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 3)));
}

TEST_F(AccountStoreTest, AStrayIdentityKeyIsDeletedUnderItsOwnName) {
  seedProfile();
  // Another account sits at 00000000; an identity-like account has a name that is no id.
  writeAccount(u"00000000", kPop3AccountClsid, u"pop.fabrikam.com", u"smtp.fabrikam.com");
  writeAccount(u"abc", kPop3AccountClsid, u"none", u"none");
  writeAccount(u"0000007", kPop3AccountClsid, u"none", u"none");
  const Bytes before = orderList();

  store.EnumIdentityAccounts(kProfile);
  ASSERT_EQ(store.IdentityLists().Subkeys, u"0000007\tabc");
  for (const Text& subkey : text::split(store.IdentityLists().Subkeys, u"\t")) {
    EXPECT_TRUE(store.DeleteIdentityAccount(kProfile, subkey));
  }
  EXPECT_FALSE(keyExists(reg, AccountManagerKey(kProfile) + u"\\abc"));
  EXPECT_FALSE(keyExists(reg, AccountManagerKey(kProfile) + u"\\0000007"));
  EXPECT_TRUE(keyExists(reg, AccountManagerKey(kProfile) + u"\\00000000"));
  EXPECT_TRUE(keyExists(reg, AccountKeyPath(kProfile, 7)) == false);
  EXPECT_EQ(orderList(), before);

  EXPECT_FALSE(store.DeleteIdentityAccount(kProfile, u""));
  EXPECT_FALSE(store.DeleteIdentityAccount(kProfile, u"00000000\\x"));
  EXPECT_TRUE(keyExists(reg, AccountManagerKey(kProfile)));
}

TEST_F(AccountStoreTest, ExchangeAccountNameIsWrittenOnlyIntoAnExistingAccount) {
  seedProfile();
  EXPECT_TRUE(store.SetExchangeAccountName(kProfile, 2, u" Pat Doe <pat@contoso.com> ", false));
  EXPECT_EQ(accountValue(2, u"Account Name"), wide(u"Pat Doe <pat@contoso.com>"));
  EXPECT_TRUE(store.SetExchangeAccountName(kProfile, 2, u"", false));
  EXPECT_EQ(accountValue(2, u"Account Name"), wide(u"Microsoft Exchange Server"));
  EXPECT_TRUE(store.SetExchangeAccountName(kProfile, 2, u"", true));
  EXPECT_EQ(accountValue(2, u"Account Name"), wide(u"Servidor de Microsoft Exchange"));

  EXPECT_FALSE(store.SetExchangeAccountName(kProfile, 0, u"Someone", false));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 0)));
}

TEST_F(AccountStoreTest, AFailedWriteKeepsTheAccountOutOfTheOrderList) {
  seedProfile();
  faults.failOnCall("Registry.setValue", 3);  // "Display Name"
  EXPECT_FALSE(
      store.CreateIdentityAccount(kProfile, 3, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));
  EXPECT_EQ(store.GetNextAccountID(kProfile), 3u);
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0}));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 3))) << "no half-written account";

  // The order list that cannot take the new id: the whole account goes again.
  faults.failOnCall("Registry.setValue", 11);
  EXPECT_FALSE(
      store.CreateIdentityAccount(kProfile, 3, u"EX [A <a@x.com>]", u"A", u"a@x.com", u"", u""));
  EXPECT_EQ(faults.failures("Registry.setValue"), 2);
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0}));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 3)));
}

TEST_F(AccountStoreTest, AKeyThatCannotBeDeletedStaysListed) {
  seedProfile();
  createThree();
  faults.failAlways("Registry.deleteKey");
  EXPECT_FALSE(store.DeleteIdentityAccount(kProfile, std::uint32_t{4}));
  faults.clearAll();
  EXPECT_TRUE(keyExists(reg, AccountKeyPath(kProfile, 4)));
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}));

  // An order list that cannot be written keeps the key too: the list never names a key
  // that is gone.
  faults.failOnce("Registry.setValue");
  EXPECT_FALSE(store.DeleteIdentityAccount(kProfile, std::uint32_t{4}));
  EXPECT_TRUE(keyExists(reg, AccountKeyPath(kProfile, 4)));
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}));

  EXPECT_TRUE(store.DeleteIdentityAccount(kProfile, std::uint32_t{4}));
  EXPECT_FALSE(keyExists(reg, AccountKeyPath(kProfile, 4)));
  EXPECT_EQ(orderList(), (Bytes{2, 0, 0, 0, 3, 0, 0, 0, 5, 0, 0, 0}));
}

TEST_F(AccountStoreTest, NothingHappensWithoutAProfileName) {
  seedProfile();
  store.EnumIdentityAccounts(kProfile);
  store.EnumIdentityAccounts(u"");
  EXPECT_EQ(store.IdentityLists(), IdentityAccountLists());
  EXPECT_FALSE(store.CreateIdentityAccount(u"", 3, u"n", u"d", u"e", u"", u""));
  EXPECT_FALSE(store.DeleteIdentityAccount(u"", std::uint32_t{2}));
  EXPECT_TRUE(keyExists(reg, AccountKeyPath(kProfile, 2)));
}

}  // namespace
}  // namespace korvanel::profile
