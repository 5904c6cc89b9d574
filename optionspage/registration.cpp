#include "optionspage/registration.h"

#include "optionspage/korvanel_page.h"

namespace korvanel::page {

PageFactory korvanelPageFactory(platform::Services& services) {
  auto module = std::make_shared<PageModule>(services.registry);
  return [&services, module]() -> std::unique_ptr<platform::PropertyPage> {
    return std::make_unique<KorvanelPage>(services, module);
  };
}

}  // namespace korvanel::page
