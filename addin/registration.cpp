#include "addin/registration.h"

namespace korvanel::addin {

std::unique_ptr<platform::AddIn> createConnect(platform::Services& services, EngineRoutes routes) {
  return std::make_unique<Connect>(services, std::move(routes));
}

}  // namespace korvanel::addin
