// What the page's library keeps between openings of the Options dialog inside one Outlook
// process: the copies of the add-in's members, the Outlook version, the default store's root,
// the Spanish-UI flag, the profile's accounts as last read, and the two restart requests.
// Each load sets again what it reads, the restart requests included: a request is carried
// out when the page that took it ends (Outlook quits then), so no later load inherits one.
#pragma once

#include "platform/registry.h"
#include "profile/account_store.h"
#include "profile/profile_settings.h"

namespace korvanel::page {

using text::Text;

struct PageModule {
  explicit PageModule(platform::Registry& registry) : accounts(registry), settings(registry) {}

  Text sUN;
  Text sPN;
  Text sSMBXs;
  int OutlookVersion = 0;
  Text RootEntryID;
  Text RootStoreID;
  bool IsSpanishUI = false;
  // ExchangePrimarySmtp, the proxy list, IdentityAccountLists and ExchangeAccountKey.
  profile::AccountStore accounts;
  profile::ProfileSettings settings;
  bool RestartRequested = false;
  bool ReReadRequested = false;
};

}  // namespace korvanel::page
