#include "addin/addin_context.h"

#include <utility>

namespace korvanel::addin {

AddinContext::AddinContext(platform::Services& services, EngineRoutes routes,
                           profile::AnsiCodePage codePage)
    : services(services),
      codePage(codePage),
      accounts(services.registry, codePage),
      settings(services.registry, codePage),
      routes(std::move(routes)) {}

const platform::ApplicationPtr& AddinContext::applicationByClass() {
  if (!state.ApplicationByClass)
    state.ApplicationByClass = services.objects.createOutlookApplication();
  return state.ApplicationByClass;
}

}  // namespace korvanel::addin
