#include "win/messaging/cdo_message.h"

#include "win/com/late_bound_object.h"
#include "win/messaging/cdo_fields.h"

namespace korvanel::win {

namespace {

class CdoMessageAdapter final : public platform::CdoMessage, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::CdoFieldsPtr fields() override { return makeCdoFields(object(u"Fields")); }
  bool update() override { return run(u"Update"); }
};

class CdoInfoStoreAdapter final : public platform::CdoInfoStore, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::CdoFieldsPtr fields() override { return makeCdoFields(object(u"Fields")); }
};

}  // namespace

platform::CdoMessagePtr makeCdoMessage(ComPtr<IDispatch> message) {
  return adapt<CdoMessageAdapter>(std::move(message));
}

platform::CdoInfoStorePtr makeCdoInfoStore(ComPtr<IDispatch> store) {
  return adapt<CdoInfoStoreAdapter>(std::move(store));
}

}  // namespace korvanel::win
