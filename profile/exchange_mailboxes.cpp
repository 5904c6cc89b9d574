#include "profile/exchange_mailboxes.h"

#include "profile/profile_key.h"

namespace korvanel::profile {

namespace {

constexpr char16_t kExchangeProvider[] = u"Microsoft Exchange";

void appendEntry(Text& list, TextView entry) {
  if (!list.empty()) list += u'\t';
  list += entry;
}

// A Unicode value first, its ANSI twin when that gives nothing.
Text propertyOrString(RegistryPrimitives& reg, RegHandle key, TextView unicodeName,
                      TextView ansiName) {
  Text value = reg.RegQueryProperty(key, unicodeName);
  if (value.empty()) value = reg.RegQueryString(key, ansiName);
  return value;
}

}  // namespace

MailboxLists LoadExchangeMailboxes(RegistryPrimitives& reg, TextView profileName) {
  MailboxLists lists;
  if (profileName.empty()) return lists;
  const Text profilePath = ProfileKeyPath(profileName);
  RegKey profileKey = reg.RegOpenRead(platform::kHkeyCurrentUser, profilePath);
  if (!profileKey) return lists;

  for (const Text& section : reg.subkeyNames(profileKey.get())) {
    RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, profilePath + u"\\" + section);
    if (!key) continue;
    const Text provider = propertyOrString(reg, key.get(), u"001f3006", u"001e3006");
    if (text::findNoCase(provider, kExchangeProvider) == Text::npos) continue;
    const Text name = propertyOrString(reg, key.get(), u"001f3001", u"001e3001");
    if (name.empty()) continue;
    // The distinguished name is stored as ANSI first.
    Text dn = reg.RegQueryString(key.get(), u"001e660b");
    if (dn.empty()) dn = reg.RegQueryProperty(key.get(), u"001f660b");
    if (dn.empty()) continue;
    appendEntry(lists.MailboxNameList, name);
    appendEntry(lists.MailboxDNList, dn);
  }
  return lists;
}

}  // namespace korvanel::profile
