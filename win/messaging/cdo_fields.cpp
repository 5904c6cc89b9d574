#include "win/messaging/cdo_fields.h"

#include "win/com/late_bound_object.h"
#include "win/messaging/property_tag.h"

namespace korvanel::win {

namespace {

using platform::TextView;
using platform::Variant;

class CdoFieldsAdapter final : public platform::CdoFields, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;

  platform::CdoFieldPtr itemByName(TextView name) override {
    return makeCdoField(object(u"Item", {name}));
  }
  platform::CdoFieldPtr itemByTag(std::uint32_t propTag) override {
    return makeCdoField(object(u"Item", {propertyTagArgument(propTag)}));
  }
  platform::CdoFieldPtr addNamed(TextView name, long type, const Variant& value,
                                 TextView propsetId) override {
    // A name of the form "{set}name" carries its set: the set argument is then left out.
    CallArguments args{name, type, value};
    if (!propsetId.empty()) args.add(propsetId);
    return makeCdoField(callObject(u"Add", args));
  }
  platform::CdoFieldPtr addTag(std::uint32_t propTag, const Variant& value) override {
    return makeCdoField(callObject(u"Add", {propertyTagArgument(propTag), value}));
  }
};

class CdoFieldAdapter final : public platform::CdoField, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Variant value() override { return LateBoundObject::value(u"Value"); }
  bool setValue(const Variant& value) override { return set(u"Value", value); }
  bool deleteField() override { return run(u"Delete"); }
};

}  // namespace

platform::CdoFieldsPtr makeCdoFields(ComPtr<IDispatch> fields) {
  return adapt<CdoFieldsAdapter>(std::move(fields));
}

platform::CdoFieldPtr makeCdoField(ComPtr<IDispatch> field) {
  return adapt<CdoFieldAdapter>(std::move(field));
}

}  // namespace korvanel::win
