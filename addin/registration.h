// How a host creates the add-in's classes by ProgID. The simulated host registers them in
// its class registry; the Windows DLL's class factory calls createConnect.
#pragma once

#include <memory>
#include <utility>

#include "addin/connect.h"
#include "addin/engine_routes.h"
#include "platform/addin_host.h"
#include "platform/services.h"

namespace korvanel::addin {

inline constexpr char16_t kConnectProgId[] = u"Korvanel.Connect";
// The Options page's control, which the add-in adds to Outlook's Options dialog.
inline constexpr char16_t kPageProgId[] = u"Korvanel.KorvanelPage";

// A new Connect over these services (which must outlive it).
std::unique_ptr<platform::AddIn> createConnect(platform::Services& services,
                                               EngineRoutes routes = defaultEngineRoutes());

// Registers "Korvanel.Connect" with any class registry that offers
// registerAddIn(progId, factory) where factory returns std::unique_ptr<platform::AddIn>.
template <typename ClassRegistry>
void registerAddinClasses(ClassRegistry& classes, platform::Services& services,
                          EngineRoutes routes = defaultEngineRoutes()) {
  classes.registerAddIn(kConnectProgId, [&services, routes = std::move(routes)]() {
    return createConnect(services, routes);
  });
}

}  // namespace korvanel::addin
