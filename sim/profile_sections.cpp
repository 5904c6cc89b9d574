#include "sim/profile_sections.h"

namespace korvanel::sim {

using platform::kHkeyCurrentUser;
using platform::kRegSuccess;
using platform::RegKey;

namespace {

Text hex8(std::uint32_t v) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text out(8, u'0');
  for (int i = 7; i >= 0; --i, v >>= 4) out[static_cast<std::size_t>(i)] = kDigits[v & 0xF];
  return out;
}

std::uint32_t hashOf(TextView s) {
  std::uint32_t h = 2166136261u;
  for (char16_t c : text::fold(s)) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

}  // namespace

Text ProfileSections::profilePath(TextView profileName) {
  return Text(kProfilesPath) + u"\\" + Text(profileName);
}

Text ProfileSections::sectionPath(TextView profileName, TextView section) {
  return profilePath(profileName) + u"\\" + Text(section);
}

std::vector<Text> ProfileSections::subkeys(TextView path) {
  std::vector<Text> out;
  RegKey key = RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyRead);
  if (!key) return out;
  Text name;
  for (std::uint32_t i = 0; registry_.enumKey(key.get(), i, &name) == kRegSuccess; ++i) {
    out.push_back(name);
  }
  return out;
}

bool ProfileSections::keyExists(TextView path) {
  return static_cast<bool>(RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyRead));
}

std::optional<Bytes> ProfileSections::readValue(TextView path, TextView name) {
  RegKey key = RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyRead);
  if (!key) return std::nullopt;
  platform::RegValue value;
  if (registry_.queryValue(key.get(), name, &value) != kRegSuccess) return std::nullopt;
  return value.data;
}

bool ProfileSections::writeValue(TextView path, TextView name, std::uint32_t type,
                                 const Bytes& data) {
  RegKey key = RegKey::create(registry_, kHkeyCurrentUser, path, platform::kKeyAllAccess);
  if (!key) return false;
  return registry_.setValue(key.get(), name, type, data.data(), data.size()) == kRegSuccess;
}

bool ProfileSections::writeBinary(TextView path, TextView name, const Bytes& data) {
  return writeValue(path, name, platform::kRegBinary, data);
}

bool ProfileSections::deleteValue(TextView path, TextView name) {
  RegKey key = RegKey::open(registry_, kHkeyCurrentUser, path, platform::kKeyAllAccess);
  return key && registry_.deleteValue(key.get(), name) == kRegSuccess;
}

bool ProfileSections::deleteTree(TextView path) {
  // Children first: the registry deletes only keys without subkeys.
  for (const Text& child : subkeys(path)) {
    if (!deleteTree(Text(path) + u"\\" + child)) return false;
  }
  return registry_.deleteKey(kHkeyCurrentUser, path) == kRegSuccess;
}

Text ProfileSections::readString(TextView sectionPath, TextView id) {
  if (auto w = readValue(sectionPath, u"001f" + Text(id))) {
    return Text(text::trimNull(text::fromUtf16leBytes(*w)));
  }
  if (auto a = readValue(sectionPath, u"001e" + Text(id))) {
    const std::string bytes(a->begin(), a->end());
    return Text(text::trimNull(text::fromWindows1252(bytes)));
  }
  return Text();
}

bool ProfileSections::writeString(TextView sectionPath, TextView id, TextView value, bool unicode) {
  return writeBinary(sectionPath, (unicode ? u"001f" : u"001e") + Text(id),
                     unicode ? unicodeZ(value) : ansiZ(value));
}

Bytes ProfileSections::ansiZ(TextView s) {
  std::string a = text::toWindows1252(s);
  a += '\0';
  return Bytes(a.begin(), a.end());
}

Bytes ProfileSections::unicodeZ(TextView s) {
  Text t(s);
  t += u'\0';
  return text::toUtf16leBytes(t);
}

Bytes ProfileSections::le32(std::uint32_t v) {
  return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

Bytes ProfileSections::sectionIdBytes(TextView id) {
  if (id.size() != 32) return {};
  Bytes bytes;
  for (std::size_t i = 0; i < 32; i += 2) {
    auto b = text::readHex(id.substr(i, 2));
    if (!b) return {};
    bytes.push_back(static_cast<std::uint8_t>(*b));
  }
  return bytes;
}

Text ProfileSections::newSectionId(TextView profileName) {
  // Real section ids are random GUIDs; these repeat from run to run.
  const std::uint32_t salt = hashOf(profileName);
  for (std::uint32_t n = 1;; ++n) {
    Text id = u"5b0a7e21" + hex8(salt) + hex8(0x3c900000u + n) + u"c4d2e6f8";
    if (!keyExists(sectionPath(profileName, id))) return id;
  }
}

}  // namespace korvanel::sim
