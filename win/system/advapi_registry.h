// The registry of the machine the DLL runs on, over advapi32's wide functions. Handles are
// HKEYs; the predefined roots map to Windows' own. Enumeration is sorted without regard to
// case as the interface promises (Windows itself keeps values in creation order).
#pragma once

#include "platform/registry.h"

namespace korvanel::win {

class AdvapiRegistry final : public platform::Registry {
 public:
  platform::RegStatus openKey(platform::RegHandle parent, platform::TextView subkey,
                              std::uint32_t access, platform::RegHandle* out) override;
  platform::RegStatus createKey(platform::RegHandle parent, platform::TextView subkey,
                                std::uint32_t access, platform::RegHandle* out,
                                bool* created) override;
  platform::RegStatus closeKey(platform::RegHandle key) override;
  platform::RegStatus queryValue(platform::RegHandle key, platform::TextView name,
                                 platform::RegValue* out) override;
  platform::RegStatus setValue(platform::RegHandle key, platform::TextView name,
                               std::uint32_t type, const std::uint8_t* data,
                               std::size_t size) override;
  platform::RegStatus deleteValue(platform::RegHandle key, platform::TextView name) override;
  platform::RegStatus deleteKey(platform::RegHandle parent, platform::TextView subkey) override;
  platform::RegStatus enumKey(platform::RegHandle key, std::uint32_t index,
                              platform::Text* name) override;
  platform::RegStatus enumValue(platform::RegHandle key, std::uint32_t index,
                                platform::Text* name, platform::RegValue* value) override;
};

}  // namespace korvanel::win
