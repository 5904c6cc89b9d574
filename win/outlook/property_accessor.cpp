#include "win/outlook/property_accessor.h"

#include "win/com/late_bound_object.h"
#include "win/com/variant_conversion.h"

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

  // An array of values, an error value where the item lacks one.
  std::vector<Variant> getProperties(const std::vector<platform::Text>& schemaNames) override {
    try {
      const std::vector<Variant> names(schemaNames.begin(), schemaNames.end());
      ComVariant result;
      callForResult(u"GetProperties", {names}, result);
      std::optional<std::vector<Variant>> values = fromVariantArray(result.get());
      if (!values || values->size() != schemaNames.size()) return {};
      return std::move(*values);
    } catch (...) {
      return {};
    }
  }
  // Outlook answers Null when every value was written, an error or an array of them when not.
  bool setProperties(const std::vector<platform::Text>& schemaNames,
                     const std::vector<Variant>& values) override {
    try {
      if (schemaNames.size() != values.size()) return false;
      const std::vector<Variant> names(schemaNames.begin(), schemaNames.end());
      ComVariant result;
      callForResult(u"SetProperties", {names, values}, result);
      return result.type() == VT_EMPTY || result.type() == VT_NULL;
    } catch (...) {
      return false;
    }
  }
};

}  // namespace

platform::PropertyAccessorPtr makePropertyAccessor(ComPtr<IDispatch> accessor) {
  return adapt<PropertyAccessorAdapter>(std::move(accessor));
}

}  // namespace korvanel::win
