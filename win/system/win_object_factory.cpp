#include "win/system/win_object_factory.h"

#include <objbase.h>

#include "win/com/com_ptr.h"
#include "win/messaging/cdo_session.h"
#include "win/messaging/profman_profiles.h"
#include "win/messaging/profman_property_bag.h"
#include "win/outlook/outlook_application.h"
#include "win/system/create_object.h"

namespace korvanel::win {

namespace {

// Outlook.Application.
constexpr CLSID kClsidOutlookApplication = {0x0006F03A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

platform::CdoSessionPtr WinObjectFactory::createCdoSession() {
  return makeCdoSession(createObject(u"MAPI.Session"));
}

platform::ProfManProfilesPtr WinObjectFactory::createProfManProfiles() {
  return makeProfManProfiles(createObject(u"ProfMan.Profiles"));
}

platform::ProfManPropertyBagPtr WinObjectFactory::createProfManPropertyBag() {
  return makeProfManPropertyBag(createObject(u"ProfMan.PropertyBag"));
}

platform::ApplicationPtr WinObjectFactory::createOutlookApplication() {
  try {
    ComPtr<IDispatch> application;
    if (FAILED(CoCreateInstance(kClsidOutlookApplication, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, application.putVoid()))) {
      return nullptr;
    }
    return makeApplication(std::move(application));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace korvanel::win
