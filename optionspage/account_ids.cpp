#include "optionspage/account_ids.h"

#include <algorithm>
#include <limits>

#include "profile/profile_key.h"

namespace korvanel::page {

using platform::kHkeyCurrentUser;

bool AccountKeyExists(profile::RegistryPrimitives& reg, text::TextView profileName,
                      std::uint32_t id) {
  return static_cast<bool>(
      reg.RegOpenRead(kHkeyCurrentUser, profile::AccountKeyPath(profileName, id)));
}

std::uint32_t IdAfterHighestAccount(profile::RegistryPrimitives& reg, text::TextView profileName) {
  platform::RegKey manager =
      reg.RegOpenRead(kHkeyCurrentUser, profile::AccountManagerKey(profileName));
  if (!manager) return 0;
  std::uint32_t highest = 0;
  for (const text::Text& name : reg.subkeyNames(manager.get())) {
    if (auto id = profile::AccountIdOf(name)) highest = std::max(highest, *id);
  }
  if (highest == std::numeric_limits<std::uint32_t>::max()) return 0;
  return highest + 1;
}

}  // namespace korvanel::page
