#include "profile/registry_primitives.h"

#include "profile/property_decoder.h"

namespace korvanel::profile {

using platform::kHkeyCurrentUser;
using platform::kRegSuccess;

namespace {

// RegQueryValueExA's buffer in the string reader.
constexpr std::size_t kStringBufferBytes = 260;
// An enumeration that keeps failing is given up rather than walked for ever.
constexpr int kMaxEnumFailures = 16;
// Windows nests keys at most 512 deep; deeper data is not a registry the product knows.
constexpr int kMaxKeyDepth = 512;

bool isStringType(std::uint32_t type) {
  return type == platform::kRegSz || type == platform::kRegExpandSz ||
         type == platform::kRegMultiSz;
}

Bytes dwordBytes(std::uint32_t value) {
  return Bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
               static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

RegistryPrimitives::RegistryPrimitives(platform::Registry& registry, AnsiCodePage codePage)
    : registry_(registry), codePage_(std::move(codePage)) {}

RegKey RegistryPrimitives::RegOpenRead(RegHandle root, TextView path) {
  return RegKey::open(registry_, root, path, platform::kKeyRead);
}

std::optional<Bytes> RegistryPrimitives::queryValueAnsi(RegHandle key, TextView name) {
  if (key == 0) return std::nullopt;
  platform::RegValue value;
  if (registry_.queryValue(key, name, &value) != kRegSuccess) return std::nullopt;
  if (!isStringType(value.type)) return std::move(value.data);
  const std::string ansi = codePage_.encode(text::fromUtf16leBytes(value.data));
  return Bytes(ansi.begin(), ansi.end());
}

std::uint32_t RegistryPrimitives::RegQueryDword(RegHandle key, TextView name) {
  const std::optional<Bytes> data = queryValueAnsi(key, name);
  if (!data || data->size() > 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data->size(); ++i) value |= std::uint32_t{(*data)[i]} << (8 * i);
  return value;
}

Text RegistryPrimitives::RegQueryString(RegHandle key, TextView name) {
  const std::optional<Bytes> data = queryValueAnsi(key, name);
  if (!data || data->size() > kStringBufferBytes) return Text();
  std::size_t length = 0;
  while (length < data->size() && (*data)[length] != 0) ++length;
  return codePage_.decode(std::string_view(reinterpret_cast<const char*>(data->data()), length));
}

Bytes RegistryPrimitives::RegReadBinary(TextView path, TextView name) {
  RegKey key = RegKey::create(registry_, kHkeyCurrentUser, path, platform::kKeyQueryValue);
  return queryValueAnsi(key.get(), name).value_or(Bytes());
}

std::optional<Bytes> RegistryPrimitives::readBinaryIfPresent(TextView path, TextView name) {
  RegKey key = RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyQueryValue);
  return queryValueAnsi(key.get(), name);
}

bool RegistryPrimitives::RegWriteBinary(TextView path, TextView name, const Bytes& data) {
  RegKey key = RegKey::create(registry_, kHkeyCurrentUser, path, platform::kKeyWriteAll);
  if (!key) return false;
  return registry_.setValue(key.get(), name, platform::kRegBinary, data.data(), data.size()) ==
         kRegSuccess;
}

bool RegistryPrimitives::RegWriteDword(TextView path, TextView name, std::uint32_t value) {
  RegKey key = RegKey::create(registry_, kHkeyCurrentUser, path, platform::kKeyWriteAll);
  if (!key) return false;
  const Bytes data = dwordBytes(value);
  return registry_.setValue(key.get(), name, platform::kRegDword, data.data(), data.size()) ==
         kRegSuccess;
}

bool RegistryPrimitives::RegWriteString(TextView path, TextView name, TextView value) {
  return RegSetKeyValue(kHkeyCurrentUser, path, name, value);
}

bool RegistryPrimitives::RegSetKeyValue(RegHandle root, TextView path, TextView name,
                                        TextView value) {
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  if (path.empty()) return false;
  RegKey key = RegKey::create(registry_, root, path, platform::kKeyAllAccess);
  if (!key) return false;
  // What RegSetValueExA stores for REG_SZ: the text as the code page renders it; the byte
  // count is the character count, so no NUL goes with it.
  const Bytes data = text::toUtf16leBytes(codePage_.decode(codePage_.encode(value)));
  return registry_.setValue(key.get(), name, platform::kRegSz, data.data(), data.size()) ==
         kRegSuccess;
}

bool RegistryPrimitives::RegSetKeyValue(RegHandle root, TextView path, TextView name,
                                        std::uint32_t value) {
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  if (path.empty()) return false;
  RegKey key = RegKey::create(registry_, root, path, platform::kKeyAllAccess);
  if (!key) return false;
  const Bytes data = dwordBytes(value);
  return registry_.setValue(key.get(), name, platform::kRegDword, data.data(), data.size()) ==
         kRegSuccess;
}

bool RegistryPrimitives::deleteValue(TextView path, TextView name) {
  RegKey key = RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyWriteAll);
  if (!key) return false;
  const platform::RegStatus status = registry_.deleteValue(key.get(), name);
  return status == kRegSuccess || status == platform::kRegFileNotFound;
}

Text RegistryPrimitives::RegQueryProperty(RegHandle key, TextView name, PropertyMode mode) {
  const std::optional<Bytes> data = queryValueAnsi(key, name);
  if (!data) return Text();
  return decodeProperty(name, *data, mode, codePage_);
}

std::vector<Text> RegistryPrimitives::subkeyNames(RegHandle key) {
  std::vector<Text> names;
  if (key == 0) return names;
  int failures = 0;
  for (std::uint32_t index = 0; failures < kMaxEnumFailures; ++index) {
    Text name;
    const platform::RegStatus status = registry_.enumKey(key, index, &name);
    if (status == platform::kRegNoMoreItems) break;
    if (status != kRegSuccess && status != platform::kRegMoreData) {
      ++failures;
      continue;
    }
    failures = 0;
    names.push_back(TrimNull(name));
  }
  return names;
}

bool RegistryPrimitives::DeleteKeyTree(RegHandle root, TextView path) {
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  // An empty path would name the root itself: never delete everything below a root.
  if (path.empty()) return false;
  DeleteSubKeys(root, path, 0);
  const std::size_t slash = path.rfind(u'\\');
  if (slash == TextView::npos) {
    registry_.deleteKey(root, path);
  } else {
    RegKey parent = RegKey::open(registry_, root, path.substr(0, slash), platform::kKeyWriteAll);
    if (parent) registry_.deleteKey(parent.get(), path.substr(slash + 1));
  }
  return !RegOpenRead(root, path);
}

void RegistryPrimitives::DeleteSubKeys(RegHandle root, TextView path, int depth) {
  if (depth > kMaxKeyDepth) return;
  RegKey key = RegKey::open(registry_, root, path, platform::kKeyWriteAll);
  if (!key) return;
  // Collect first: deleting while enumerating would shift the indices.
  std::vector<Text> names;
  for (std::uint32_t index = 0;; ++index) {
    Text name;
    if (registry_.enumKey(key.get(), index, &name) != kRegSuccess) break;
    names.push_back(TrimNull(name));
  }
  for (const Text& name : names) {
    Text child(path);
    child += u'\\';
    child += name;
    DeleteSubKeys(root, child, depth + 1);
    registry_.deleteKey(key.get(), name);
  }
}

}  // namespace korvanel::profile
