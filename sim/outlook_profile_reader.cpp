#include "sim/outlook_profile_reader.h"

#include "sim/outlook_profile_seed.h"

namespace korvanel::sim {

using platform::kHkeyCurrentUser;
using platform::kKeyRead;
using platform::kKeyWriteAll;
using platform::kRegSuccess;
using platform::RegKey;
using platform::RegValue;

namespace {

constexpr char16_t kGlobalSection[] = u"13dbb0c8aa05101a9bb000aa002fc45a";
constexpr char16_t kAccountManager[] = u"9375CFF0413111d3B88A00104B2A6676";
constexpr char16_t kMailOrder[] = u"{ED475418-B0D6-11D2-8C3B-00104B2A6676}";

Text join(TextView a, TextView b) { return Text(a) + u"\\" + Text(b); }

Text profileKey(TextView profile) { return join(kProfilesKeyPath, profile); }

bool isAnsiPropertyName(TextView name) {
  return name.size() == 8 && (name[3] == u'e' || name[3] == u'E');
}

// A value as text: ANSI for MAPI property names of a single-byte type, else UTF-16LE; up to
// the first NUL.
Text readText(platform::Registry& registry, platform::RegHandle key, TextView name) {
  RegValue v;
  if (registry.queryValue(key, name, &v) != kRegSuccess) return Text();
  Text t;
  if (isAnsiPropertyName(name)) {
    t = text::fromWindows1252(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()));
  } else {
    t = text::fromUtf16leBytes(v.data);
  }
  return Text(text::trimNull(t));
}

Text readEither(platform::Registry& registry, platform::RegHandle key, TextView first,
                TextView second) {
  Text t = readText(registry, key, first);
  return t.empty() ? readText(registry, key, second) : t;
}

bool hasValue(platform::Registry& registry, platform::RegHandle key, TextView name) {
  RegValue v;
  return registry.queryValue(key, name, &v) == kRegSuccess && v.data.size() > 1;
}

std::vector<Text> subkeys(platform::Registry& registry, platform::RegHandle key) {
  std::vector<Text> names;
  Text name;
  for (std::uint32_t i = 0; registry.enumKey(key, i, &name) == kRegSuccess; ++i) names.push_back(name);
  return names;
}

Text hex8(std::uint32_t id) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text name(8, u'0');
  for (int i = 7; i >= 0; --i, id >>= 4) name[static_cast<std::size_t>(i)] = kDigits[id & 0xF];
  return name;
}

}  // namespace

Text defaultProfileName(platform::Registry& registry) {
  RegKey profiles = RegKey::open(registry, kHkeyCurrentUser, kProfilesKeyPath, kKeyRead);
  if (!profiles) return Text();
  Text name = readText(registry, profiles.get(), u"DefaultProfile");
  if (!name.empty()) return name;
  auto names = subkeys(registry, profiles.get());
  return names.empty() ? Text() : names.front();
}

bool profileExists(platform::Registry& registry, TextView profile) {
  return static_cast<bool>(RegKey::open(registry, kHkeyCurrentUser, profileKey(profile), kKeyRead));
}

ProfileSnapshot readProfile(platform::Registry& registry, TextView profile) {
  ProfileSnapshot snapshot;
  RegKey key = RegKey::open(registry, kHkeyCurrentUser, profileKey(profile), kKeyRead);
  if (!key) return snapshot;
  for (const Text& id : subkeys(registry, key.get())) {
    RegKey section = RegKey::open(registry, key.get(), id, kKeyRead);
    if (!section) continue;
    if (text::equalsNoCase(id, kGlobalSection)) {
      snapshot.unresolvedName = readEither(registry, section.get(), u"001e6607", u"001f6607");
      snapshot.hasProxyList = hasValue(registry, section.get(), u"101f6637") ||
                              hasValue(registry, section.get(), u"101e6637");
      continue;
    }
    ProfileSection s;
    s.id = id;
    s.provider = readEither(registry, section.get(), u"001f3006", u"001e3006");
    s.displayName = readEither(registry, section.get(), u"001f3001", u"001e3001");
    s.dn = readEither(registry, section.get(), u"001e660b", u"001f660b");
    s.pstPath = readEither(registry, section.get(), u"001f6700", u"001e6700");
    if (!s.provider.empty()) snapshot.sections.push_back(std::move(s));
  }
  return snapshot;
}

void completeFreshProfile(platform::Registry& registry, TextView profile, const Mailbox& user,
                          bool unicode, bool addStoreSection) {
  const Text base = profileKey(profile);
  RegKey global = RegKey::create(registry, kHkeyCurrentUser, join(base, kGlobalSection), kKeyWriteAll);
  if (global) {
    const Bytes list = multiValuedStrings(user.proxyAddresses, unicode);
    registry.setValue(global.get(), unicode ? u"101f6637" : u"101e6637", platform::kRegBinary,
                      list.data(), list.size());
  }
  if (!addStoreSection) return;
  // Section ids are GUIDs; one derived from the mailbox keeps runs reproducible.
  std::uint32_t h = 2166136261u;
  for (char16_t c : user.dn) h = (h ^ c) * 16777619u;
  const Text id = u"5f0e8a4c" + hex8(h) + u"b1d2c3e4" + hex8(h ^ 0xA5A5A5A5u);
  RegKey section = RegKey::create(registry, kHkeyCurrentUser, join(base, id), kKeyWriteAll);
  if (!section) return;
  auto putText = [&](TextView name, TextView value, bool ansi) {
    Bytes bytes;
    if (ansi) {
      std::string a = text::toWindows1252(value);
      bytes.assign(a.begin(), a.end());
      bytes.push_back(0);
    } else {
      bytes = text::toUtf16leBytes(Text(value) + u'\0');
    }
    registry.setValue(section.get(), name, platform::kRegBinary, bytes.data(), bytes.size());
  };
  putText(unicode ? u"001f3006" : u"001e3006", u"Microsoft Exchange Message Store", !unicode);
  putText(unicode ? u"001f3001" : u"001e3001", u"Mailbox - " + user.displayName, !unicode);
  putText(u"001e660b", user.dn, true);
}

std::vector<AccountEntry> readAccountsInOrder(platform::Registry& registry, TextView profile) {
  std::vector<AccountEntry> accounts;
  const Text managerPath = join(profileKey(profile), kAccountManager);
  RegKey manager = RegKey::open(registry, kHkeyCurrentUser, managerPath, kKeyRead);
  if (!manager) return accounts;
  RegValue order;
  if (registry.queryValue(manager.get(), kMailOrder, &order) != kRegSuccess) return accounts;
  for (std::size_t i = 0; i + 4 <= order.data.size(); i += 4) {
    const std::uint32_t id = static_cast<std::uint32_t>(order.data[i]) |
                             static_cast<std::uint32_t>(order.data[i + 1]) << 8 |
                             static_cast<std::uint32_t>(order.data[i + 2]) << 16 |
                             static_cast<std::uint32_t>(order.data[i + 3]) << 24;
    RegKey account = RegKey::open(registry, manager.get(), hex8(id), kKeyRead);
    if (!account) continue;
    AccountEntry a;
    a.key = hex8(id);
    a.name = readText(registry, account.get(), u"Account Name");
    a.email = readText(registry, account.get(), u"Email");
    a.serviceName = readText(registry, account.get(), u"Service Name");
    a.pop3Server = readText(registry, account.get(), u"POP3 Server");
    a.smtpServer = readText(registry, account.get(), u"SMTP Server");
    a.imapServer = readText(registry, account.get(), u"IMAP Server");
    a.httpServer = readText(registry, account.get(), u"HTTP Server URL");
    accounts.push_back(std::move(a));
  }
  return accounts;
}

}  // namespace korvanel::sim
