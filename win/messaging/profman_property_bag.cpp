#include "win/messaging/profman_property_bag.h"

#include "win/com/late_bound_object.h"
#include "win/messaging/property_tag.h"

namespace korvanel::win {

namespace {

class PropertyBagAdapter final : public platform::ProfManPropertyBag, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  bool add(std::uint32_t propTag, const platform::Variant& value) override {
    return run(u"Add", {propertyTagArgument(propTag), value});
  }
};

}  // namespace

platform::ProfManPropertyBagPtr makeProfManPropertyBag(ComPtr<IDispatch> bag) {
  return adapt<PropertyBagAdapter>(std::move(bag));
}

}  // namespace korvanel::win
