#include "profile/profile_settings.h"

#include "profile/profile_key.h"

namespace korvanel::profile {

ProfileSettings::ProfileSettings(platform::Registry& registry, AnsiCodePage codePage)
    : reg_(registry, std::move(codePage)) {}

Text ProfileSettings::LoadReplyAddressFormat(TextView profileName) {
  if (profileName.empty()) return Text();
  return text::fromUtf16leBytes(
      reg_.RegReadBinary(ProfileKeyPath(profileName), kReplyAddressFormatValue));
}

bool ProfileSettings::SaveReplyAddressFormat(TextView profileName, TextView format) {
  if (profileName.empty()) return false;
  return reg_.RegWriteBinary(ProfileKeyPath(profileName), kReplyAddressFormatValue,
                             ProfileText(format));
}

Text ProfileSettings::LoadMonitoredFolders(TextView profileName) {
  if (profileName.empty()) return Text();
  return text::fromUtf16leBytes(
      reg_.RegReadBinary(ProfileKeyPath(profileName), kMonitoredFoldersValue));
}

bool ProfileSettings::SaveMonitoredFolders(TextView profileName, TextView folders) {
  if (profileName.empty()) return false;
  return reg_.RegWriteBinary(ProfileKeyPath(profileName), kMonitoredFoldersValue,
                             ProfileText(folders));
}

bool ProfileSettings::SetRefreshFlag(TextView profileName) {
  return reg_.RegWriteString(ProfileKeyPath(profileName), kRefreshFlagValue, u"1");
}

Text ProfileSettings::GetRefreshFlag(TextView profileName) {
  RegKey key = reg_.RegOpenRead(platform::kHkeyCurrentUser, ProfileKeyPath(profileName));
  return reg_.RegQueryString(key.get(), kRefreshFlagValue);
}

bool ProfileSettings::ClearRefreshFlag(TextView profileName) {
  return reg_.deleteValue(ProfileKeyPath(profileName), kRefreshFlagValue);
}

int replyAddressFormatOf(TextView stored) {
  const std::optional<long> n = text::readInteger(stored);
  if (!n || *n < 0 || *n > 2) return kDefaultReplyAddressFormat;
  return static_cast<int>(*n);
}

}  // namespace korvanel::profile
