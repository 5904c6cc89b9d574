// Small helpers for the profile tests: read back what the store wrote, as bytes.
#pragma once

#include <optional>

#include "platform/registry.h"
#include "sim/sim_registry.h"
#include "text/text.h"

namespace korvanel::profile::testing {

using text::Bytes;
using text::Text;
using text::TextView;

inline std::optional<platform::RegValue> readValue(
    platform::Registry& reg, TextView path, TextView name,
    platform::RegHandle root = platform::kHkeyCurrentUser) {
  platform::RegKey key = platform::RegKey::open(reg, root, path, platform::kKeyRead);
  platform::RegValue value;
  if (!key || reg.queryValue(key.get(), name, &value) != platform::kRegSuccess) return std::nullopt;
  return value;
}

inline bool keyExists(platform::Registry& reg, TextView path,
                      platform::RegHandle root = platform::kHkeyCurrentUser) {
  return static_cast<bool>(platform::RegKey::open(reg, root, path, platform::kKeyRead));
}

inline bool writeValue(platform::Registry& reg, TextView path, TextView name, std::uint32_t type,
                       const Bytes& data, platform::RegHandle root = platform::kHkeyCurrentUser) {
  platform::RegKey key = platform::RegKey::create(reg, root, path, platform::kKeyWriteAll);
  return key &&
         reg.setValue(key.get(), name, type, data.data(), data.size()) == platform::kRegSuccess;
}

// UTF-16LE with a terminating NUL, as Outlook stores its account texts.
inline Bytes wide(TextView s) {
  Text t(s);
  t += u'\0';
  return text::toUtf16leBytes(t);
}

}  // namespace korvanel::profile::testing
