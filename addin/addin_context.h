// Everything one connection of the add-in works with: the host's services, the shared
// state, the profile store the state is loaded from, and the routes of the event hub. One
// AddinContext per Connect; the parts of the add-in take it by reference. Single-threaded.
#pragma once

#include <functional>

#include "addin/engine_routes.h"
#include "addin/event_sink.h"
#include "addin/shared_state.h"
#include "platform/outlook.h"
#include "platform/services.h"
#include "profile/account_store.h"
#include "profile/ansi_code_page.h"
#include "profile/profile_settings.h"

namespace korvanel::addin {

// The add-in's name as the user sees it: message-box titles, the Options tab.
inline constexpr char16_t kAddinTitle[] = u"Korvanel";

struct AddinContext {
  AddinContext(platform::Services& services, EngineRoutes routes,
               profile::AnsiCodePage codePage = profile::AnsiCodePage::windows1252());
  AddinContext(const AddinContext&) = delete;
  AddinContext& operator=(const AddinContext&) = delete;

  platform::Services& services;
  // The code page single-byte texts (registry "A" reads, PT_STRING8 properties) are in.
  profile::AnsiCodePage codePage;
  // The profile's accounts and the product's settings, over services.registry.
  profile::AccountStore accounts;
  profile::ProfileSettings settings;
  SharedState state;
  EngineRoutes routes;

  // The most recently opened item window, whose Close the inspector tracking receives.
  // Set by the tracking; OutAddIn drops it when it is destroyed.
  EventSink<platform::Inspector> objInsp;
  // Set while OutAddIn exists: releases the add-in's hold on Outlook (ReleaseAddIn), for
  // the inspector tracking when the last window of an Outlook without Explorer closes.
  std::function<void()> releaseAddIn;

  // ApplicationByClass, created on first use; nullptr when it cannot be created.
  const platform::ApplicationPtr& applicationByClass();
};

}  // namespace korvanel::addin
