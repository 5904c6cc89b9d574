// Contract tests of platform::Registry, parameterised by a factory so the same suite can run
// over the simulated registry and over the advapi32 adapter. Each test works below a scratch
// key of HKEY_CURRENT_USER that the fixture creates and removes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "text/text.h"

namespace korvanel::testing {

using platform::RegHandle;
using platform::Registry;
using platform::RegStatus;
using platform::RegValue;
using text::Text;
using text::TextView;

struct RegistryFactory {
  std::string name;
  std::function<std::unique_ptr<Registry>()> make;
};
inline std::ostream& operator<<(std::ostream& os, const RegistryFactory& f) { return os << f.name; }

inline bool sameValue(const RegValue& a, const RegValue& b) {
  return a.type == b.type && a.data == b.data;
}

inline RegValue sz(TextView s) { return {platform::kRegSz, text::toUtf16leBytes(Text(s) + u'\0')}; }
inline RegValue dword(std::uint32_t n) {
  return {platform::kRegDword,
          {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
           static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}
inline RegValue raw(std::uint32_t type, std::vector<std::uint8_t> data) {
  return {type, std::move(data)};
}

inline RegStatus set(Registry& r, RegHandle key, TextView name, const RegValue& v) {
  return r.setValue(key, name, v.type, v.data.data(), v.data.size());
}

// Every key below (and including) a key, parents first, with its values, all in enumeration
// order and as named by the registry: comparing two snapshots compares names with their
// case, order, types and bytes.
struct KeySnapshot {
  Text path;
  std::vector<std::pair<Text, RegValue>> values;
};

inline bool operator==(const KeySnapshot& a, const KeySnapshot& b) {
  if (a.path != b.path || a.values.size() != b.values.size()) return false;
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    if (a.values[i].first != b.values[i].first ||
        !sameValue(a.values[i].second, b.values[i].second)) {
      return false;
    }
  }
  return true;
}

inline std::ostream& operator<<(std::ostream& os, const KeySnapshot& k) {
  os << "[" << text::toUtf8(k.path) << "]";
  for (const auto& [name, value] : k.values) {
    os << " \"" << text::toUtf8(name) << "\"=" << value.type << ":" << value.data.size() << "b";
  }
  return os;
}

inline void snapshotInto(Registry& r, RegHandle key, const Text& path,
                         std::vector<KeySnapshot>* out) {
  KeySnapshot snap{path, {}};
  Text name;
  RegValue value;
  for (std::uint32_t i = 0; r.enumValue(key, i, &name, &value) == platform::kRegSuccess; ++i) {
    snap.values.emplace_back(name, value);
  }
  out->push_back(std::move(snap));
  std::vector<Text> children;
  for (std::uint32_t i = 0; r.enumKey(key, i, &name) == platform::kRegSuccess; ++i) {
    children.push_back(name);
  }
  for (const Text& child : children) {
    platform::RegKey sub = platform::RegKey::open(r, key, child, platform::kKeyRead);
    if (sub) snapshotInto(r, sub.get(), path + u'\\' + child, out);
  }
}

inline std::vector<KeySnapshot> snapshot(Registry& r, RegHandle key, const Text& path) {
  std::vector<KeySnapshot> out;
  snapshotInto(r, key, path, &out);
  return out;
}

// Deletes a key and everything below it, through the interface only.
inline void deleteTree(Registry& r, RegHandle parent, TextView subkey) {
  {
    platform::RegKey key = platform::RegKey::open(r, parent, subkey, platform::kKeyAllAccess);
    if (!key) return;
    std::vector<Text> names;
    Text name;
    for (std::uint32_t i = 0; r.enumKey(key.get(), i, &name) == platform::kRegSuccess; ++i) {
      names.push_back(name);
    }
    for (const Text& child : names) deleteTree(r, key.get(), child);
  }
  r.deleteKey(parent, subkey);
}

class RegistryContract : public ::testing::TestWithParam<RegistryFactory> {
 protected:
  static constexpr TextView kScratch = u"Software\\KorvanelRegistryContract";

  void SetUp() override {
    registry_ = GetParam().make();
    ASSERT_NE(registry_, nullptr);
    deleteTree(*registry_, platform::kHkeyCurrentUser, kScratch);
    ASSERT_EQ(registry_->createKey(platform::kHkeyCurrentUser, kScratch, platform::kKeyAllAccess,
                                   &base_, nullptr),
              platform::kRegSuccess);
  }
  void TearDown() override {
    if (registry_ == nullptr) return;
    registry_->closeKey(base_);
    deleteTree(*registry_, platform::kHkeyCurrentUser, kScratch);
  }

  Registry& reg() { return *registry_; }
  RegHandle base() const { return base_; }

  // Opens or creates below the scratch key; an empty RegKey on failure.
  platform::RegKey open(TextView path, std::uint32_t access = platform::kKeyAllAccess) {
    return platform::RegKey::open(*registry_, base_, path, access);
  }
  platform::RegKey create(TextView path, std::uint32_t access = platform::kKeyAllAccess) {
    return platform::RegKey::create(*registry_, base_, path, access);
  }
  std::vector<Text> subkeyNames(RegHandle key) {
    std::vector<Text> names;
    Text name;
    for (std::uint32_t i = 0; registry_->enumKey(key, i, &name) == platform::kRegSuccess; ++i) {
      names.push_back(name);
    }
    return names;
  }
  std::vector<Text> valueNames(RegHandle key) {
    std::vector<Text> names;
    Text name;
    for (std::uint32_t i = 0; registry_->enumValue(key, i, &name, nullptr) == platform::kRegSuccess;
         ++i) {
      names.push_back(name);
    }
    return names;
  }

 private:
  std::unique_ptr<Registry> registry_;
  RegHandle base_ = 0;
};

}  // namespace korvanel::testing
