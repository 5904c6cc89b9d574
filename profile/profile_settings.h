// The product's own settings, kept as values of the profile's key: the reply address
// format, the monitored folders (both written by the Options page) and the refresh flag
// (the add-in's own).
#pragma once

#include "platform/registry.h"
#include "profile/ansi_code_page.h"
#include "profile/registry_primitives.h"
#include "text/text.h"

namespace korvanel::profile {

inline constexpr char16_t kReplyAddressFormatValue[] = u"replyaddressformat";
inline constexpr char16_t kMonitoredFoldersValue[] = u"monitoredfolders";
inline constexpr char16_t kRefreshFlagValue[] = u"Korvanel_refresh";
inline constexpr int kDefaultReplyAddressFormat = 2;

class ProfileSettings {
 public:
  explicit ProfileSettings(platform::Registry& registry,
                           AnsiCodePage codePage = AnsiCodePage::windows1252());

  // The stored text with its final U+0000; empty when absent. The four accessors below do
  // nothing (and the loaders return "") when the profile name is empty.
  Text LoadReplyAddressFormat(TextView profileName);
  bool SaveReplyAddressFormat(TextView profileName, TextView format);
  // Folder EntryIDs, each followed by a TAB, then the final U+0000.
  Text LoadMonitoredFolders(TextView profileName);
  bool SaveMonitoredFolders(TextView profileName, TextView folders);

  // "1" as REG_SZ while an address re-read waits for its refresh.
  bool SetRefreshFlag(TextView profileName);
  Text GetRefreshFlag(TextView profileName);
  bool ClearRefreshFlag(TextView profileName);

 private:
  RegistryPrimitives reg_;
};

// The reply address format a stored text stands for: its number when that is 0, 1 or 2,
// otherwise (absent, empty, not a number, out of range) 2.
int replyAddressFormatOf(TextView stored);

}  // namespace korvanel::profile
