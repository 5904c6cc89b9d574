// The exports of Korvanel.dll.
#include <windows.h>
#include <initguid.h>  // defines LIBID_Korvanel here
#include <olectl.h>

#include "win/system/advapi_registry.h"
#include "win/com/com_registration.h"
#include "win/com/com_server.h"
#include "win/com/guard.h"
#include "win/korvanel/addin_registration.h"
#include "win/korvanel/connect_object.h"
#include "win/korvanel/internal_classes.h"
#include "win/com/module.h"
#include "win/com/wide.h"

namespace korvanel::win {
namespace {

const ServerClass kClasses[] = {
    {&__uuidof(Connect), L"Korvanel.Connect", false, &createInstance<ConnectObject>},
    {&__uuidof(OutAddIn), L"Korvanel.OutAddIn", false, &createInstance<OutAddInObject>},
    {&__uuidof(clsInspWrap), L"Korvanel.clsInspWrap", false, &createInstance<InspWrapObject>},
};

const ServerDescription kServer = {&LIBID_Korvanel, 1, 0, kClasses};

}  // namespace
}  // namespace korvanel::win

using namespace korvanel::win;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    setModuleHandle(module);
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return getClassObject(kServer, clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return canUnloadNow(); }

STDAPI DllRegisterServer() {
  return guard([] {
    AdvapiRegistry registry;
    const HRESULT hr = registerServer(registry, kServer, fromWide(modulePath().c_str()));
    if (FAILED(hr)) return hr;
    return registerOutlookAddin(registry);
  }, SELFREG_E_CLASS);
}

STDAPI DllUnregisterServer() {
  return guard([] {
    AdvapiRegistry registry;
    const HRESULT addin = unregisterOutlookAddin(registry);
    const HRESULT server = unregisterServer(registry, kServer, fromWide(modulePath().c_str()));
    return FAILED(server) ? server : addin;
  }, SELFREG_E_CLASS);
}
