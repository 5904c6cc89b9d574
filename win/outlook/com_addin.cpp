#include "win/outlook/com_addin.h"

#include "win/com/com_variant.h"
#include "win/com/dispatch_adapter.h"
#include "win/com/late_bound.h"
#include "win/com/late_bound_object.h"
#include "win/com/variant_conversion.h"

namespace korvanel::win {

namespace {

bool sameObject(IUnknown* a, IUnknown* b) {
  if (a == nullptr || b == nullptr) return false;
  ComPtr<IUnknown> ia, ib;
  return SUCCEEDED(a->QueryInterface(IID_IUnknown, ia.putVoid())) &&
         SUCCEEDED(b->QueryInterface(IID_IUnknown, ib.putVoid())) && ia.get() == ib.get();
}

class ComAddInsAdapter final : public platform::COMAddIns, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::COMAddInPtr item(platform::TextView progId) override {
    try {
      ComPtr<IDispatch> addIn = callObject(u"Item", {progId});
      return addIn ? std::make_shared<ComAddInAdapter>(std::move(addIn)) : nullptr;
    } catch (...) {
      return nullptr;
    }
  }
};

}  // namespace

platform::COMAddInsPtr makeComAddIns(ComPtr<IDispatch> addIns) {
  return adapt<ComAddInsAdapter>(std::move(addIns));
}

platform::Text ComAddInAdapter::progId() {
  try {
    ComVariant value;
    if (FAILED(getProperty(addIn_.get(), u"ProgId", value.put()))) return {};
    return fromVariant(value.get()).toText();
  } catch (...) {
    return {};
  }
}

platform::DispatchPtr ComAddInAdapter::object() {
  try {
    ComVariant value;
    if (FAILED(getProperty(addIn_.get(), kDispidComAddInObject, value.put())) ||
        value.type() != VT_DISPATCH || value.get().pdispVal == nullptr) {
      return nullptr;
    }
    IDispatch* published = value.get().pdispVal;
    if (self_ && sameObject(published, selfCom_)) return self_;
    return std::make_shared<DispatchAdapter>(ComPtr<IDispatch>(published));
  } catch (...) {
    return nullptr;
  }
}

bool ComAddInAdapter::setObject(const platform::DispatchPtr& object) {
  try {
    IDispatch* com = nullptr;
    if (object == nullptr) {
      com = nullptr;
    } else if (object == self_ && selfCom_ != nullptr) {
      com = selfCom_;
    } else if (const auto* adapter = dynamic_cast<const DispatchAdapter*>(object.get())) {
      com = adapter->comObject();
    } else {
      return false;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = com;  // borrowed: the host takes its own reference
    return SUCCEEDED(putProperty(addIn_.get(), kDispidComAddInObject, value));
  } catch (...) {
    return false;
  }
}

bool ComAddInAdapter::connect() {
  try {
    ComVariant value;
    if (FAILED(getProperty(addIn_.get(), u"Connect", value.put()))) return false;
    return fromVariant(value.get()).toBool();
  } catch (...) {
    return false;
  }
}

bool ComAddInAdapter::setConnect(bool connect) {
  try {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = connect ? VARIANT_TRUE : VARIANT_FALSE;
    return SUCCEEDED(putProperty(addIn_.get(), u"Connect", value));
  } catch (...) {
    return false;
  }
}

}  // namespace korvanel::win
