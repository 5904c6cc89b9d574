#include "win/messaging/cdo_session.h"

#include "win/com/late_bound_object.h"
#include "win/messaging/cdo_message.h"

namespace korvanel::win {

namespace {

using platform::TextView;

class CdoSessionAdapter final : public platform::CdoSession, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;

  bool logon(TextView profileName, TextView password, bool showDialog, bool newSession) override {
    return run(u"Logon", {profileName, password, showDialog, newSession});
  }
  bool logoff() override { return run(u"Logoff"); }
  platform::Text name() override { return text(u"Name"); }
  platform::CdoMessagePtr getMessage(TextView entryId, TextView storeId) override {
    // Without a store the session looks in every store it has open.
    CallArguments args{entryId};
    if (!storeId.empty()) args.add(storeId);
    return makeCdoMessage(callObject(u"GetMessage", args));
  }
  platform::CdoInfoStorePtr getInfoStore(TextView storeId) override {
    // Without an id, the default store.
    CallArguments args;
    if (!storeId.empty()) args.add(storeId);
    return makeCdoInfoStore(callObject(u"GetInfoStore", args));
  }
};

}  // namespace

platform::CdoSessionPtr makeCdoSession(ComPtr<IDispatch> session) {
  return adapt<CdoSessionAdapter>(std::move(session));
}

}  // namespace korvanel::win
