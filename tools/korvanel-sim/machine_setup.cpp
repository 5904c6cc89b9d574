#include "tools/korvanel-sim/machine_setup.h"

#include <algorithm>

#include "addin/identity_text_forms.h"
#include "addin/registration.h"
#include "optionspage/registration.h"
#include "profile/account_store.h"
#include "profile/profile_settings.h"
#include "sim/outlook_profile_reader.h"
#include "sim/outlook_profile_seed.h"
#include "tools/korvanel-sim/registry_import.h"

namespace korvanel::tool {

namespace {

constexpr char16_t kMailboxPrefix[] = u"Mailbox - ";

Text primaryAddress(const std::vector<Text>& proxies) {
  for (const Text& p : proxies) {
    if (p.rfind(u"SMTP:", 0) == 0) return p.substr(5);
  }
  return Text();
}

Text localPart(TextView address) { return Text(address.substr(0, address.find(u'@'))); }

Text domainOf(TextView address) {
  const std::size_t at = address.find(u'@');
  return at == TextView::npos ? Text(u"contoso.com") : Text(address.substr(at + 1));
}

// The alias a distinguished name ends with ("/o=.../cn=helpdesk" gives "helpdesk").
Text aliasOfDn(TextView dn) {
  const std::size_t eq = dn.rfind(u'=');
  return eq == TextView::npos ? Text(dn) : Text(dn.substr(eq + 1));
}

Text withoutMailboxPrefix(TextView name) {
  const TextView prefix(kMailboxPrefix);
  return name.substr(0, prefix.size()) == prefix ? Text(name.substr(prefix.size())) : Text(name);
}

// The folder of this path in the store, made (with its missing parents) when absent.
sim::ModelFolderPtr ensureFolder(const sim::ModelStorePtr& store, TextView path) {
  if (!store || !store->root) return nullptr;
  sim::ModelFolderPtr folder = store->root;
  for (const Text& part : text::split(path, u"/")) {
    if (part.empty()) continue;
    sim::ModelFolderPtr child = folder->child(part);
    folder = child ? child : sim::addFolder(folder, part);
  }
  return folder;
}

void writeProfile(sim::Machine& machine, const Scenario& scenario, const ProfileSpec& p) {
  sim::Organisation& org = machine.organisation();
  const Text primary = primaryAddress(p.proxyAddresses);
  const Text alias = localPart(primary);
  const Text domain = domainOf(primary);

  sim::OutlookProfileSeed seed;
  seed.profileName = p.name;
  seed.userDisplayName = p.user;
  seed.mailboxDn =
      p.dn.empty() ? u"/o=" + org.name + u"/ou=Exchange/cn=Recipients/cn=" + alias : p.dn;
  seed.homeServer = org.server;
  seed.proxyAddresses = p.proxyAddresses;
  seed.unicodeSections = scenario.outlook >= 12;
  // The user's mailbox first, so the organisation lists it first.
  if (!org.findByDn(seed.mailboxDn))
    org.addMailbox(p.user, alias, p.proxyAddresses, seed.mailboxDn);
  for (const MailboxSpec& m : p.mailboxes) {
    if (!org.findByDn(m.dn)) {
      const Text mailboxAlias = aliasOfDn(m.dn);
      std::vector<Text> proxies = m.proxyAddresses;
      if (proxies.empty()) proxies = {u"SMTP:" + mailboxAlias + u"@" + domain};
      org.addMailbox(m.resolved, mailboxAlias, proxies, m.dn);
    }
    seed.additionalMailboxes.push_back({m.name, m.dn});
  }
  sim::MailboxPtr user = machine.setUpExchangeProfile(seed, alias);

  platform::Registry& registry = machine.registry();
  for (const AccountSpec& a : p.accounts) {
    sim::MailAccountSeed account;
    account.type = static_cast<sim::MailAccountSeed::Type>(a.type);
    account.accountName = a.name;
    account.displayName = p.user;
    account.email = a.email;
    account.pop3Server = a.pop3Server;
    account.smtpServer = a.smtpServer;
    sim::seedMailAccount(registry, p.name, account);
  }

  profile::AccountStore accounts(registry);
  for (const IdentitySpec& i : p.identities) {
    const std::uint32_t id = accounts.GetNextAccountID(p.name);
    if (id == 0) break;
    accounts.CreateIdentityAccount(p.name, id, identityAccountName(i), i.display, i.email, u"",
                                   u"");
  }

  profile::ProfileSettings settings(registry);
  if (p.replyFormat) settings.SaveReplyAddressFormat(p.name, text::toText(*p.replyFormat));
  if (!p.monitoredFolders.empty() && user) {
    Text folders;
    for (const Text& path : p.monitoredFolders) {
      if (sim::ModelFolderPtr folder = ensureFolder(user->store, path))
        folders += folder->entryId + u'\t';
    }
    settings.SaveMonitoredFolders(p.name, folders);
  }
}

// A saved registry names the mailboxes its profiles open; the organisation gets them back,
// the user's with the proxy list the profile keeps.
void rebuildOrganisation(sim::Machine& machine) {
  platform::Registry& registry = machine.registry();
  sim::Organisation& org = machine.organisation();
  platform::RegKey profiles = platform::RegKey::open(registry, platform::kHkeyCurrentUser,
                                                     sim::kProfilesKeyPath, platform::kKeyRead);
  if (!profiles) return;
  std::vector<Text> names;
  Text name;
  for (std::uint32_t i = 0; registry.enumKey(profiles.get(), i, &name) == platform::kRegSuccess;
       ++i) {
    names.push_back(name);
  }
  for (const Text& profileName : names) {
    const sim::ProfileSnapshot snapshot = sim::readProfile(registry, profileName);
    profile::AccountStore store(registry);
    store.LoadProfileSmtpAddresses(profileName);
    std::vector<Text> proxies = store.ProxyAddresses();
    std::reverse(proxies.begin(), proxies.end());  // read last stored first
    const Text domain = domainOf(primaryAddress(proxies));
    auto isExchange = [](const sim::ProfileSection& s) {
      return !s.dn.empty() && text::findNoCase(s.provider, u"Microsoft Exchange") != Text::npos;
    };
    // The user's own store section: the one named after the user, else the first.
    const sim::ProfileSection* userSection = nullptr;
    for (const sim::ProfileSection& s : snapshot.sections) {
      if (!isExchange(s)) continue;
      if (!userSection) userSection = &s;
      if (text::equalsNoCase(withoutMailboxPrefix(s.displayName), snapshot.unresolvedName)) {
        userSection = &s;
        break;
      }
    }
    for (const sim::ProfileSection& s : snapshot.sections) {
      if (!isExchange(s) || org.findByDn(s.dn)) continue;
      const Text alias = aliasOfDn(s.dn);
      std::vector<Text> addresses = {u"SMTP:" + alias + u"@" + domain};
      if (&s == userSection && !proxies.empty()) addresses = proxies;
      org.addMailbox(withoutMailboxPrefix(s.displayName), alias, addresses, s.dn);
    }
  }
}

}  // namespace

Text identityAccountName(const IdentitySpec& identity) {
  return identity.mailbox ? addin::mailboxAccountName(identity.display)
                          : addin::addressAccountName(identity.display, identity.email);
}

std::unique_ptr<sim::Machine> buildMachine(const Scenario& scenario, platform::Registry* registry) {
  sim::MachineOptions options;
  options.registry = registry;
  options.version = scenario.outlook;
  options.cdoInstalled = scenario.cdo;
  options.uiLanguage = scenario.uiLanguage;
  auto machine = std::make_unique<sim::Machine>(options);
  addin::registerAddinClasses(machine->world().classes(), machine->services());
  page::registerKorvanelPage(machine->world().classes(), machine->services());
  if (scenario.profile) {
    writeProfile(*machine, scenario, *scenario.profile);
  } else {
    mergeRegistry(machine->registry(), scenario.registry);
    rebuildOrganisation(*machine);
  }
  return machine;
}

}  // namespace korvanel::tool
