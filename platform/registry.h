// The Windows registry as the product uses it: advapi32's wide functions, one handle type,
// raw typed values and Windows status codes. Implemented by sim/ (in memory) and win/
// (advapi32). No call throws; failures are status codes. Single-threaded.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "text/text.h"

namespace korvanel::platform {

using text::Text;
using text::TextView;

// A key handle. The predefined roots have the values Windows gives them; 0 is no key.
using RegHandle = std::uintptr_t;
inline constexpr RegHandle kHkeyClassesRoot = 0x80000000u;
inline constexpr RegHandle kHkeyCurrentUser = 0x80000001u;
inline constexpr RegHandle kHkeyLocalMachine = 0x80000002u;

// Status codes, as Windows numbers them.
using RegStatus = long;
inline constexpr RegStatus kRegSuccess = 0;
inline constexpr RegStatus kRegFileNotFound = 2;
inline constexpr RegStatus kRegAccessDenied = 5;
inline constexpr RegStatus kRegInvalidHandle = 6;
inline constexpr RegStatus kRegInvalidParameter = 87;
inline constexpr RegStatus kRegMoreData = 234;
inline constexpr RegStatus kRegNoMoreItems = 259;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights the product asks for.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyWriteAll = 0x3F;

// A value as Windows stores it: REG_SZ is UTF-16LE with its NUL (when the writer stored
// one), REG_DWORD 4 little-endian bytes, REG_BINARY the bytes as given.
struct RegValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key. *out is 0 on failure.
  virtual RegStatus openKey(RegHandle parent, TextView subkey, std::uint32_t access,
                            RegHandle* out) = 0;
  // Opens a key, creating it and any missing parents. *created tells which (may be null).
  virtual RegStatus createKey(RegHandle parent, TextView subkey, std::uint32_t access,
                              RegHandle* out, bool* created) = 0;
  // Closing a predefined root or 0 does nothing.
  virtual RegStatus closeKey(RegHandle key) = 0;

  // The empty name is the key's default value.
  virtual RegStatus queryValue(RegHandle key, TextView name, RegValue* out) = 0;
  virtual RegStatus setValue(RegHandle key, TextView name, std::uint32_t type,
                             const std::uint8_t* data, std::size_t size) = 0;
  virtual RegStatus deleteValue(RegHandle key, TextView name) = 0;
  // Deletes a subkey that has no subkeys of its own (as RegDeleteKeyW).
  virtual RegStatus deleteKey(RegHandle parent, TextView subkey) = 0;

  // The index-th subkey / value, sorted without regard to case; kRegNoMoreItems past the end.
  virtual RegStatus enumKey(RegHandle key, std::uint32_t index, Text* name) = 0;
  virtual RegStatus enumValue(RegHandle key, std::uint32_t index, Text* name,
                              RegValue* value) = 0;
};

// Owns an open key and closes it on destruction.
class RegKey {
 public:
  RegKey() = default;
  RegKey(Registry& registry, RegHandle handle) : registry_(&registry), handle_(handle) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept
      : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)) {}
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      reset();
      registry_ = other.registry_;
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  ~RegKey() { reset(); }

  static RegKey open(Registry& registry, RegHandle parent, TextView subkey,
                     std::uint32_t access) {
    RegHandle h = 0;
    if (registry.openKey(parent, subkey, access, &h) != kRegSuccess) h = 0;
    return RegKey(registry, h);
  }
  static RegKey create(Registry& registry, RegHandle parent, TextView subkey,
                       std::uint32_t access) {
    RegHandle h = 0;
    if (registry.createKey(parent, subkey, access, &h, nullptr) != kRegSuccess) h = 0;
    return RegKey(registry, h);
  }

  RegHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  void reset() {
    if (handle_ != 0 && registry_ != nullptr) registry_->closeKey(handle_);
    handle_ = 0;
  }

 private:
  Registry* registry_ = nullptr;
  RegHandle handle_ = 0;
};

}  // namespace korvanel::platform
