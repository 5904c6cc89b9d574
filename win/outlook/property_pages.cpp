#include "win/outlook/property_pages.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

namespace {

class PropertyPagesAdapter final : public platform::PropertyPages, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  // Add(Page, Title): Page is a VARIANT, here the ProgID of the page's control.
  bool add(platform::TextView progId, platform::TextView title) override {
    return run(u"Add", {progId, title});
  }
};

}  // namespace

platform::PropertyPagesPtr makePropertyPages(ComPtr<IDispatch> pages) {
  return adapt<PropertyPagesAdapter>(std::move(pages));
}

}  // namespace korvanel::win
