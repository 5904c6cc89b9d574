#include "win/tests/page_outlook.h"

#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "sim/outlook_profile_seed.h"
#include "sim/outlook_registration.h"
#include "win/com/com_registration.h"
#include "win/com/wide.h"

namespace korvanel::win::testing {
namespace {

using text::Text;
using text::TextView;

}  // namespace

HRESULT returnText(VARIANT* result, TextView s) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(toWide(s).c_str(), static_cast<UINT>(s.size()));
  return S_OK;
}

FakeOutlook::FakeOutlook(int version) {
  application->member(u"Version", 0x114, [version](VARIANT* r) {
    return returnText(r, version >= 12 ? u"12.0.6423.1000" : u"11.0.8169.0");
  });
  application->member(u"COMAddIns", 0x118,
                      [this](VARIANT* r) { return returnObject(r, addIns.get()); });
  application->member(u"LanguageSettings", 0x119,
                      [this](VARIANT* r) { return returnObject(r, language.get()); });
  application->member(u"Inspectors", 0x2104,
                      [this](VARIANT* r) { return returnObject(r, inspectors.get()); });
  application->member(u"Quit", 0x113, [this](VARIANT*) {
    ++quits;
    return S_OK;
  });
  language->member(u"LanguageID", 1, [](VARIANT* r) { return returnLong(r, 1033); });
  inspectors->member(u"Count", 0x50, [](VARIANT* r) { return returnLong(r, 0); });
  addIns->member(u"Item", 0, [this](VARIANT* r) {
    if (!addInLoaded) return DISP_E_BADINDEX;
    return returnObject(r, addIn.get());
  });
  addIn->member(u"Object", 7, [this](VARIANT* r) { return returnObject(r, connect.get()); });
  connect->member(u"sUN", 1, [](VARIANT* r) { return returnText(r, kPageUser); });
  connect->member(u"sPN", 2, [](VARIANT* r) { return returnText(r, kPageProfile); });
  connect->member(u"sSMBXs", 3, [this](VARIANT* r) { return returnText(r, sharedMailboxes); });
  connect->member(u"IsRestart", 4, nullptr, [this](WORD, const VARIANT& v) {
    isRestart = v.vt == VT_I2 ? v.iVal : v.vt == VT_I4 ? v.lVal : -1;
    return S_OK;
  });
}

bool seedPageProfile(platform::Registry& registry, const std::vector<Text>& proxyAddresses,
                     const std::vector<SeededIdentity>& identities) {
  removePageProfile(registry);
  if (!sim::installOutlookRegistration(registry)) return false;
  sim::OutlookProfileSeed seed;
  seed.profileName = kPageProfile;
  seed.userDisplayName = kPageUser;
  seed.proxyAddresses = proxyAddresses;
  if (!sim::seedOutlookProfile(registry, seed)) return false;
  profile::AccountStore store(registry);
  for (const SeededIdentity& identity : identities) {
    const Text accountName =
        identity.mailbox ? u"EX MBX [" + identity.displayName + u"]"
                         : u"EX [" + identity.displayName + u" <" + identity.address + u">]";
    if (!store.CreateIdentityAccount(kPageProfile, store.GetNextAccountID(kPageProfile),
                                     accountName, identity.displayName, identity.address, u"",
                                     u"")) {
      return false;
    }
  }
  return true;
}

void removePageProfile(platform::Registry& registry) {
  deleteKeyTree(registry, platform::kHkeyCurrentUser, profile::ProfileKeyPath(kPageProfile));
  deleteKeyTree(registry, platform::kHkeyClassesRoot, u"CLSID\\" + Text(sim::kPop3AccountClsid));
}

}  // namespace korvanel::win::testing
