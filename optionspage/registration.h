// How a host makes the page's class creatable by its ProgID without optionspage/ knowing the
// host: the factory makes a new page each time Outlook's Options dialog shows its tab, all
// pages of one loaded library sharing one PageModule.
#pragma once

#include <functional>
#include <memory>

#include "platform/addin_host.h"
#include "platform/services.h"

namespace korvanel::page {

inline constexpr char16_t kPageProgId[] = u"Korvanel.KorvanelPage";

using PageFactory = std::function<std::unique_ptr<platform::PropertyPage>()>;

// The class factory of one loaded library; services must outlive it.
PageFactory korvanelPageFactory(platform::Services& services);

// Registers the class with anything that has registerPage(progId, factory), such as the
// simulation's ClassRegistry.
template <typename ClassRegistry>
void registerKorvanelPage(ClassRegistry& classes, platform::Services& services) {
  classes.registerPage(kPageProgId, korvanelPageFactory(services));
}

}  // namespace korvanel::page
