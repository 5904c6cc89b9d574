// What the page's library keeps between openings of the Options dialog inside one Outlook
// process: the copies of the add-in's members, the Outlook version, the default store's root,
// the Spanish-UI flag, the profile's accounts as last read, and the two restart requests.
// Each load sets again what it reads; only the restart requests carry over, and a new Outlook
// process (the library loaded afresh) starts them at false.
#pragma once

#include <memory>

#include "platform/outlook.h"
#include "profile/account_store.h"
#include "profile/profile_settings.h"

namespace korvanel::page {

using text::Text;

struct PageModule {
  explicit PageModule(platform::Registry& registry) : accounts(registry), settings(registry) {}

  // Called at each load with the Outlook it runs in: another Outlook than the last one means
  // another process, in which the library starts afresh.
  void enterProcess(const platform::ApplicationPtr& application) {
    if (process.expired() || process.lock() != application) {
      RestartRequested = false;
      ReReadRequested = false;
    }
    process = application;
  }

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

 private:
  std::weak_ptr<platform::Application> process;
};

}  // namespace korvanel::page
