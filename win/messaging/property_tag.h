// A MAPI property tag as CDO and the profile-management library take it: a Long, so the tags
// from 0x80000000 on are passed as negative numbers with the same bits.
#pragma once

#include <cstdint>

namespace korvanel::win {

inline long propertyTagArgument(std::uint32_t propTag) {
  return static_cast<long>(static_cast<std::int32_t>(propTag));
}

}  // namespace korvanel::win
