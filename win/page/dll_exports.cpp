// The exports of KorvanelPage.dll.
#include <initguid.h>  // defines LIBID_Korvanel here
#include <olectl.h>
#include <windows.h>

#include "win/com/com_registration.h"
#include "win/com/com_server.h"
#include "win/com/guard.h"
#include "win/com/module.h"
#include "win/com/wide.h"
#include "win/page/page_object.h"
#include "win/system/advapi_registry.h"

namespace korvanel::win {
namespace {

const ServerClass kClasses[] = {
    {&__uuidof(KorvanelPage), L"Korvanel.KorvanelPage", true, &createInstance<KorvanelPageObject>,
     kPageMiscStatus},
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
  return guard(
      [] {
        AdvapiRegistry registry;
        return registerServer(registry, kServer, fromWide(modulePath().c_str()));
      },
      SELFREG_E_CLASS);
}

STDAPI DllUnregisterServer() {
  return guard(
      [] {
        AdvapiRegistry registry;
        return unregisterServer(registry, kServer, fromWide(modulePath().c_str()));
      },
      SELFREG_E_CLASS);
}
