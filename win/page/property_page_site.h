// platform::PropertyPageSite over the PropertyPageSite that Outlook's Options dialog gives
// the page through its client site. Both members are reached by name, as a late-bound caller
// reaches them, so a site that numbers them otherwise still works.
#pragma once

#include <oaidl.h>

#include "platform/addin_host.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

class PropertyPageSiteAdapter final : public platform::PropertyPageSite {
 public:
  explicit PropertyPageSiteAdapter(ComPtr<IDispatch> site) : site_(std::move(site)) {}

  // The site's Application; nullptr when it has none.
  platform::ApplicationPtr application() override;
  void onStatusChange() override;

 private:
  ComPtr<IDispatch> site_;
};

}  // namespace korvanel::win
