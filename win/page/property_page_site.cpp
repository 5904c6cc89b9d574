#include "win/page/property_page_site.h"

#include "win/com/com_variant.h"
#include "win/com/late_bound.h"
#include "win/outlook/outlook_application.h"

namespace korvanel::win {

platform::ApplicationPtr PropertyPageSiteAdapter::application() {
  try {
    ComVariant value;
    if (FAILED(getProperty(site_.get(), u"Application", value.put())) ||
        value.type() != VT_DISPATCH) {
      return nullptr;
    }
    return makeApplication(ComPtr<IDispatch>(value.get().pdispVal));
  } catch (...) {
    return nullptr;
  }
}

void PropertyPageSiteAdapter::onStatusChange() {
  try {
    callMethod(site_.get(), u"OnStatusChange", {}, nullptr);
  } catch (...) {
  }
}

}  // namespace korvanel::win
