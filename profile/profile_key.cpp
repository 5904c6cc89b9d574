#include "profile/profile_key.h"

namespace korvanel::profile {

Text ProfileKeyPath(TextView profileName) {
  Text path = kProfilesPath;
  if (!profileName.empty()) {
    path += u'\\';
    path += profileName;
  }
  return path;
}

Text AccountManagerKey(TextView profileName) {
  return ProfileKeyPath(profileName) + u'\\' + kAccountManagerSection;
}

Text GlobalProfileSection(TextView profileName) {
  return ProfileKeyPath(profileName) + u'\\' + kGlobalProfileSection;
}

Text AccountKeyName(std::uint32_t id) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text name(8, u'0');
  for (int i = 7; i >= 0; --i) {
    name[static_cast<std::size_t>(i)] = kDigits[id & 0xF];
    id >>= 4;
  }
  return name;
}

std::optional<std::uint32_t> AccountIdOf(TextView keyName) {
  if (keyName.size() != 8) return std::nullopt;
  return text::readHex(keyName);
}

Text AccountKeyPath(TextView profileName, std::uint32_t id) {
  return AccountManagerKey(profileName) + u'\\' + AccountKeyName(id);
}

Bytes TextValue(TextView s) {
  Text withNull(s);
  withNull += u'\0';
  return text::toUtf16leBytes(withNull);
}

Bytes ProfileText(TextView s) { return TextValue(text::trim(s)); }

}  // namespace korvanel::profile
