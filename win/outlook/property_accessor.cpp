#include "win/outlook/property_accessor.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

using platform::TextView;
using platform::Variant;

namespace {

// Outlook raises an error for a property the item lacks: that read gives an empty Variant.
class PropertyAccessorAdapter final : public platform::PropertyAccessor, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Variant getProperty(TextView schemaName) override { return call(u"GetProperty", {schemaName}); }
  bool setProperty(TextView schemaName, const Variant& value) override {
    return run(u"SetProperty", {schemaName, value});
  }
  bool deleteProperty(TextView schemaName) override { return run(u"DeleteProperty", {schemaName}); }
};

}  // namespace

platform::PropertyAccessorPtr makePropertyAccessor(ComPtr<IDispatch> accessor) {
  return adapt<PropertyAccessorAdapter>(std::move(accessor));
}

}  // namespace korvanel::win
