#include "win/outlook/user_property.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

using platform::Text;
using platform::TextView;
using platform::Variant;

namespace {

class UserPropertyAdapter final : public platform::UserProperty, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text name() override { return text(u"Name"); }
  Variant value() override { return LateBoundObject::value(u"Value"); }
  bool setValue(const Variant& value) override { return set(u"Value", value); }
  bool deleteProperty() override { return run(u"Delete"); }
};

class UserPropertiesAdapter final : public platform::UserProperties, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::UserPropertyPtr item(long index) override {
    return adapt<UserPropertyAdapter>(object(u"Item", {index}));
  }
  platform::UserPropertyPtr add(TextView name, long type) override {
    return adapt<UserPropertyAdapter>(callObject(u"Add", {name, type}));
  }
  bool remove(long index) override { return run(u"Remove", {index}); }
};

class AttachmentsAdapter final : public platform::Attachments, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
};

}  // namespace

platform::UserPropertiesPtr makeUserProperties(ComPtr<IDispatch> properties) {
  return adapt<UserPropertiesAdapter>(std::move(properties));
}

platform::AttachmentsPtr makeAttachments(ComPtr<IDispatch> attachments) {
  return adapt<AttachmentsAdapter>(std::move(attachments));
}

}  // namespace korvanel::win
