#include "profile/profile_reread.h"

#include <algorithm>
#include <limits>

#include "profile/outlook_command_line.h"
#include "profile/profile_key.h"
#include "profile/property_decoder.h"

namespace korvanel::profile {

namespace {

constexpr char16_t kProxyListUnicode[] = u"101f6637";
constexpr char16_t kProxyListAnsi[] = u"101e6637";
constexpr char16_t kHomeServerValue[] = u"001e6608";
constexpr char16_t kExchangeServiceName[] = u"MSEMS";
constexpr char16_t kExchangeServiceDisplayName[] = u"Microsoft Exchange";
constexpr char16_t kMessageTitle[] = u"Korvanel";

// The first profile whose name equals name without regard to case.
platform::ProfManProfilePtr findProfile(platform::ProfManProfiles& profiles, TextView name) {
  const long count = profiles.count();
  for (long i = 1; i <= count; ++i) {
    platform::ProfManProfilePtr profile = profiles.item(i);
    if (profile && text::equalsNoCase(profile->name(), name)) return profile;
  }
  return nullptr;
}

// The display name of the profile's Exchange global section: the user's mailbox.
Text exchangeMailboxOf(platform::ProfManProfile& profile) {
  platform::ProfManServicesPtr services = profile.services();
  if (!services) return Text();
  const long serviceCount = services->count();
  for (long s = 1; s <= serviceCount; ++s) {
    platform::ProfManServicePtr service = services->item(s);
    if (!service) continue;
    platform::ProfManProvidersPtr providers = service->providers();
    if (!providers) continue;
    const long providerCount = providers->count();
    for (long p = 1; p <= providerCount; ++p) {
      platform::ProfManProviderPtr provider = providers->item(p);
      if (!provider || !text::equalsNoCase(provider->uId(), kExchangeGlobalSectionUid)) continue;
      Text mailbox = provider->displayName();
      if (!mailbox.empty()) return mailbox;
    }
  }
  return Text();
}

void tellRereadImpossible(platform::Shell& shell, TextView profileName) {
  Text message =
      u"Sorry, Korvanel utilty can not re-read the e-mail addresses stored in the Active "
      u"Directory.\rYou should re-create Outlook profile '";
  message += profileName;
  message += u"' manually.";
  shell.messageBox(message, kMessageTitle, platform::kMbIconExclamation);
}

}  // namespace

bool CopyProfileSmtpAddresses(RegistryPrimitives& reg, TextView source, TextView target) {
  // The list the user's profile is read from afterwards: the first form, Unicode before
  // ANSI, that holds an SMTP address. A list without one would leave the user none.
  Bytes data;
  TextView nameRead;
  {
    RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, GlobalProfileSection(source));
    if (!key) return false;
    for (TextView name : {TextView(kProxyListUnicode), TextView(kProxyListAnsi)}) {
      Bytes candidate = reg.queryValueAnsi(key.get(), name).value_or(Bytes());
      if (decodeProperty(name, candidate, PropertyMode::kSmtp, reg.codePage()).empty()) continue;
      data = std::move(candidate);
      nameRead = name;
      break;
    }
  }
  if (nameRead.empty()) return false;

  platform::Registry& registry = reg.registry();
  RegKey key = RegKey::open(registry, platform::kHkeyCurrentUser, GlobalProfileSection(target),
                            platform::kKeyWriteAll);
  if (!key) return false;
  auto write = [&](TextView name, const Bytes& bytes) {
    return registry.setValue(key.get(), name, platform::kRegBinary, bytes.data(), bytes.size()) ==
           platform::kRegSuccess;
  };
  auto remove = [&](TextView name) {
    const platform::RegStatus status = registry.deleteValue(key.get(), name);
    return status == platform::kRegSuccess || status == platform::kRegFileNotFound;
  };

  if (nameRead == kProxyListUnicode) {
    // The Unicode list is read first: an ANSI one left behind is never read.
    if (!write(kProxyListUnicode, data)) return false;
    remove(kProxyListAnsi);
    return true;
  }
  // An ANSI list is read only when no Unicode one holds an address: the Unicode one goes
  // first, and comes back when the new list cannot be written.
  platform::RegValue unicode;
  const bool hadUnicode =
      registry.queryValue(key.get(), kProxyListUnicode, &unicode) == platform::kRegSuccess;
  if (!remove(kProxyListUnicode)) return false;
  if (write(kProxyListAnsi, data)) return true;
  if (hadUnicode) {
    registry.setValue(key.get(), kProxyListUnicode, unicode.type, unicode.data.data(),
                      unicode.data.size());
  }
  return false;
}

std::int16_t CreateTempExchangeProfile(platform::ObjectFactory& objects, TextView name,
                                       TextView mailbox, TextView server) {
  platform::ProfManProfilesPtr profiles = objects.createProfManProfiles();
  if (!profiles) return 0;
  platform::ProfManProfilePtr profile = profiles->add(name, false, false);
  if (!profile) return 0;
  platform::ProfManServicesPtr services = profile->services();
  if (!services) return 0;
  platform::ProfManServicePtr service =
      services->add(kExchangeServiceName, kExchangeServiceDisplayName, false);
  if (!service) return 0;
  platform::ProfManPropertyBagPtr bag = objects.createProfManPropertyBag();
  if (!bag) return 0;
  bag->add(kPrProfileUnresolvedName, platform::Variant(mailbox));
  bag->add(kPrProfileUnresolvedServer, platform::Variant(server));
  // A failure inside the configuration cannot be told from here; Outlook's start on the
  // profile is what fills it.
  service->configure(0, bag);
  bag.reset();
  const std::size_t length = text::trim(name).size();
  return static_cast<std::int16_t>(
      std::min<std::size_t>(length, std::numeric_limits<std::int16_t>::max()));
}

void DeleteProfile(platform::ObjectFactory& objects, TextView name) {
  platform::ProfManProfilesPtr profiles = objects.createProfManProfiles();
  if (!profiles) return;
  if (platform::ProfManProfilePtr profile = findProfile(*profiles, name)) profile->deleteProfile();
}

bool RereadProfileAddresses(platform::Services& services, RegistryPrimitives& reg,
                            TextView profileName, int outlookVersion) {
  platform::ProfManProfilesPtr profiles = services.objects.createProfManProfiles();
  if (!profiles) return false;
  platform::ProfManProfilePtr profile = findProfile(*profiles, profileName);
  if (!profile) return false;
  const Text mailbox = exchangeMailboxOf(*profile);
  if (mailbox.empty()) return false;

  Text server;
  {
    RegKey key = reg.RegOpenRead(platform::kHkeyCurrentUser, GlobalProfileSection(profileName));
    server = reg.RegQueryString(key.get(), kHomeServerValue);
  }

  const Text temp = Text(profileName) + kTempProfileSuffix;
  // A name that cannot be put on Outlook's command line is refused before anything is made.
  if (!isQuotableProfileName(temp)) {
    tellRereadImpossible(services.shell, profileName);
    return true;
  }
  if (CreateTempExchangeProfile(services.objects, temp, mailbox, server) <= 0) {
    // Whatever part of it was made goes again, so the next attempt starts clean.
    DeleteProfile(services.objects, temp);
    tellRereadImpossible(services.shell, profileName);
    return true;
  }
  if (!startOutlook(services.shell, outlookVersion, kSafeProfileOption, temp,
                    platform::kWindowHide)) {
    // No Outlook will ever finish the re-read: the temporary profile must not linger.
    DeleteProfile(services.objects, temp);
    return false;
  }
  return true;
}

}  // namespace korvanel::profile
