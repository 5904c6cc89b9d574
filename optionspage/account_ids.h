// Where the page's Apply gets the ids of the identity accounts it writes when the profile's
// "NextAccountID" cannot be trusted (absent, or naming a key that exists already).
#pragma once

#include <cstdint>

#include "profile/registry_primitives.h"

namespace korvanel::page {

// True when the profile has an account key for this id.
bool AccountKeyExists(profile::RegistryPrimitives& reg, text::TextView profileName,
                      std::uint32_t id);
// The id after the highest account key of the profile (keys that are not eight hex digits
// count for nothing); 0 when the account manager key cannot be read or no id is left.
std::uint32_t IdAfterHighestAccount(profile::RegistryPrimitives& reg, text::TextView profileName);

}  // namespace korvanel::page
