#include "sim/outlook_profile_seed.h"

#include <algorithm>
#include <string>

namespace korvanel::sim {

using platform::kHkeyCurrentUser;
using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSuccess;
using platform::RegKey;

namespace {

constexpr char16_t kProfilesPath[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
constexpr char16_t kAccountManager[] = u"9375CFF0413111d3B88A00104B2A6676";
constexpr char16_t kGlobalSection[] = u"13dbb0c8aa05101a9bb000aa002fc45a";
constexpr char16_t kMailOrder[] = u"{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
constexpr char16_t kAddressBookOrder[] = u"{ED475419-B0D6-11D2-8C3B-00104B2A6676}";
// Accounts that stand for a MAPI service (Exchange, the Outlook Address Book).
constexpr char16_t kMapiServiceClsid[] = u"{ED475410-B0D6-11D2-8C3B-00104B2A6676}";
constexpr std::uint32_t kAddressBookAccountId = 1;

Bytes le32(std::uint32_t v) {
  return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

Bytes unicodeText(TextView s) {
  Text t(s);
  t += u'\0';
  return text::toUtf16leBytes(t);
}

Bytes ansiText(TextView s) {
  std::string a = text::toWindows1252(s);
  a += '\0';
  return Bytes(a.begin(), a.end());
}

Text hex8(std::uint32_t id) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text name(8, u'0');
  for (int i = 7; i >= 0; --i, id >>= 4) name[static_cast<std::size_t>(i)] = kDigits[id & 0xF];
  return name;
}

// Section ids are random GUIDs in a real profile; fixed ones keep runs reproducible.
Text sectionId(std::uint32_t n) {
  return u"8f3c2a10d41e4b7a9c05" + hex8(0x5ec70000u + n) + u"0000";
}

Bytes sectionIdBytes(TextView id) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < id.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(text::readHex(id.substr(i, 2)).value_or(0)));
  }
  return bytes;
}

Text path(TextView a, TextView b) {
  Text p(a);
  p += u'\\';
  p += b;
  return p;
}

// Writes into one key, remembering whether every write worked.
class KeyWriter {
 public:
  KeyWriter(platform::Registry& registry, TextView keyPath)
      : registry_(registry),
        key_(RegKey::create(registry, kHkeyCurrentUser, keyPath, platform::kKeyWriteAll)),
        ok_(static_cast<bool>(key_)) {}

  KeyWriter& binary(TextView name, const Bytes& data) { return set(name, kRegBinary, data); }
  KeyWriter& dword(TextView name, std::uint32_t v) { return set(name, kRegDword, le32(v)); }
  KeyWriter& regSz(TextView name, TextView s) {
    return set(name, platform::kRegSz, unicodeText(s));
  }
  // A MAPI string property, named by type and id: "001f"/"001e" + id.
  KeyWriter& mapiString(TextView id, TextView s, bool unicode) {
    return binary((unicode ? Text(u"001f") : Text(u"001e")) + Text(id),
                  unicode ? unicodeText(s) : ansiText(s));
  }
  bool ok() const { return ok_; }

 private:
  KeyWriter& set(TextView name, std::uint32_t type, const Bytes& data) {
    if (key_)
      ok_ = registry_.setValue(key_.get(), name, type, data.data(), data.size()) == kRegSuccess &&
            ok_;
    return *this;
  }

  platform::Registry& registry_;
  RegKey key_;
  bool ok_;
};

}  // namespace

Bytes multiValuedStrings(const std::vector<Text>& strings, bool unicode) {
  Bytes header = le32(static_cast<std::uint32_t>(strings.size()));
  Bytes body;
  const std::size_t headerSize = 4 + 4 * strings.size();
  for (const Text& s : strings) {
    const Bytes one = unicode ? unicodeText(s) : ansiText(s);
    const Bytes offset = le32(static_cast<std::uint32_t>(headerSize + body.size()));
    header.insert(header.end(), offset.begin(), offset.end());
    body.insert(body.end(), one.begin(), one.end());
  }
  header.insert(header.end(), body.begin(), body.end());
  return header;
}

TextView accountClsid(MailAccountSeed::Type type) {
  switch (type) {
    case MailAccountSeed::Type::kPop3:
      return u"{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
    case MailAccountSeed::Type::kImap:
      return u"{ED475412-B0D6-11D2-8C3B-00104B2A6676}";
    case MailAccountSeed::Type::kHttp:
      return u"{ED475414-B0D6-11D2-8C3B-00104B2A6676}";
  }
  return u"";
}

bool seedOutlookProfile(platform::Registry& registry, const OutlookProfileSeed& seed) {
  const Text profileKey = path(kProfilesPath, seed.profileName);
  const bool u = seed.unicodeSections;
  bool ok = KeyWriter(registry, profileKey).ok();

  const Text serviceSection = sectionId(0);
  KeyWriter global(registry, path(profileKey, kGlobalSection));
  global.binary(u"001e6608", ansiText(seed.homeServer))
      .mapiString(u"3001", seed.userDisplayName, u)
      .binary(u"001e6607", ansiText(seed.userDisplayName))
      .binary(u"01023d15", sectionIdBytes(serviceSection));
  if (seed.writeProxyAddresses) {
    global.binary(u ? u"101f6637" : u"101e6637", multiValuedStrings(seed.proxyAddresses, u));
  }
  ok = global.ok() && ok;

  // The service's own section and its transport: Exchange sections without a mailbox.
  ok = KeyWriter(registry, path(profileKey, serviceSection))
           .mapiString(u"3006", u"Microsoft Exchange Server", u)
           .mapiString(u"3001", u"Microsoft Exchange Server", u)
           .binary(u"001e3d09", ansiText(u"MSEMS"))
           .ok() &&
       ok;
  ok = KeyWriter(registry, path(profileKey, sectionId(1)))
           .mapiString(u"3006", u"Microsoft Exchange Transport", u)
           .mapiString(u"3001", u"Microsoft Exchange Transport", u)
           .ok() &&
       ok;

  std::vector<MailboxSection> stores;
  stores.push_back({u"Mailbox - " + seed.userDisplayName, seed.mailboxDn});
  stores.insert(stores.end(), seed.additionalMailboxes.begin(), seed.additionalMailboxes.end());
  for (std::size_t i = 0; i < stores.size(); ++i) {
    ok = KeyWriter(registry, path(profileKey, sectionId(static_cast<std::uint32_t>(2 + i))))
             .mapiString(u"3006", u"Microsoft Exchange Message Store", u)
             .mapiString(u"3001", stores[i].displayName, u)
             .binary(u"001e660b", ansiText(stores[i].distinguishedName))
             .ok() &&
         ok;
  }

  // The account manager: the Outlook Address Book and the Exchange account; only mail
  // accounts are in the mail order list.
  const Text manager = path(profileKey, kAccountManager);
  ok = KeyWriter(registry, path(manager, hex8(kAddressBookAccountId)))
           .binary(u"Account Name", unicodeText(u"Outlook Address Book"))
           .regSz(u"clsid", kMapiServiceClsid)
           .binary(u"Service Name", unicodeText(u"CONTAB"))
           .ok() &&
       ok;
  ok = KeyWriter(registry, path(manager, hex8(seed.exchangeAccountId)))
           .binary(u"Account Name", unicodeText(seed.exchangeAccountName))
           .regSz(u"clsid", kMapiServiceClsid)
           .binary(u"Service Name", unicodeText(u"MSEMS"))
           .binary(u"Service UID", sectionIdBytes(serviceSection))
           .ok() &&
       ok;
  ok = KeyWriter(registry, manager)
           .dword(u"NextAccountID", std::max(seed.exchangeAccountId, kAddressBookAccountId) + 1)
           .binary(kMailOrder, le32(seed.exchangeAccountId))
           .binary(kAddressBookOrder, le32(kAddressBookAccountId))
           .ok() &&
       ok;
  return ok;
}

std::uint32_t seedMailAccount(platform::Registry& registry, TextView profileName,
                              const MailAccountSeed& account) {
  const Text manager = path(path(kProfilesPath, profileName), kAccountManager);
  RegKey managerKey = RegKey::open(registry, kHkeyCurrentUser, manager, platform::kKeyAllAccess);
  if (!managerKey) return 0;
  platform::RegValue next;
  if (registry.queryValue(managerKey.get(), u"NextAccountID", &next) != kRegSuccess ||
      next.data.size() != 4) {
    return 0;
  }
  const std::uint32_t id = static_cast<std::uint32_t>(next.data[0]) | next.data[1] << 8 |
                           next.data[2] << 16 | static_cast<std::uint32_t>(next.data[3]) << 24;

  KeyWriter writer(registry, path(manager, hex8(id)));
  writer.binary(u"Account Name", unicodeText(account.accountName))
      .regSz(u"clsid", accountClsid(account.type))
      .binary(u"Display Name", unicodeText(account.displayName))
      .binary(u"Email", unicodeText(account.email));
  switch (account.type) {
    case MailAccountSeed::Type::kPop3:
      writer.binary(u"POP3 Server", unicodeText(account.pop3Server))
          .binary(u"POP3 User", unicodeText(account.email))
          .binary(u"SMTP Server", unicodeText(account.smtpServer));
      break;
    case MailAccountSeed::Type::kImap:
      writer.binary(u"IMAP Server", unicodeText(account.pop3Server))
          .binary(u"IMAP User", unicodeText(account.email))
          .binary(u"SMTP Server", unicodeText(account.smtpServer));
      break;
    case MailAccountSeed::Type::kHttp:
      writer.binary(u"HTTP Server URL", unicodeText(account.pop3Server));
      break;
  }
  if (!writer.ok()) return 0;

  platform::RegValue order;
  Bytes list;
  if (registry.queryValue(managerKey.get(), kMailOrder, &order) == kRegSuccess) list = order.data;
  const Bytes idBytes = le32(id);
  list.insert(list.end(), idBytes.begin(), idBytes.end());
  const Bytes nextBytes = le32(id + 1);
  registry.setValue(managerKey.get(), u"NextAccountID", kRegDword, nextBytes.data(),
                    nextBytes.size());
  registry.setValue(managerKey.get(), kMailOrder, kRegBinary, list.data(), list.size());
  return id;
}

}  // namespace korvanel::sim
