// A class registered in the test process under a ProgID, the way a local server registers its
// running classes: CLSIDFromProgID finds the ProgID's key under HKLM\Software\Classes and
// CoCreateInstance reaches the class object registered with CoRegisterClassObject. Both are
// undone when the registration ends.
#pragma once

#include <objbase.h>

#include <functional>
#include <string>

#include "text/text.h"
#include "win/com/com_object.h"
#include "win/com/wide.h"

namespace korvanel::win::testing {

class RegisteredClass {
 public:
  using Make = std::function<ComPtr<IDispatch>()>;

  // With a null make only the ProgID's key is written: the class has no server.
  RegisteredClass(text::TextView progId, const CLSID& clsid, Make make)
      : key_(L"Software\\Classes\\" + toWide(progId)) {
    wchar_t clsidText[40] = {};
    StringFromGUID2(clsid, clsidText, 40);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key_ + L"\\CLSID").c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText),
                     static_cast<DWORD>((wcslen(clsidText) + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
    if (make) {
      ComPtr<IClassFactory> factory = makeComObject<Factory, IClassFactory>(std::move(make));
      CoRegisterClassObject(clsid, factory.get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                            &cookie_);
    }
  }
  RegisteredClass(const RegisteredClass&) = delete;
  RegisteredClass& operator=(const RegisteredClass&) = delete;
  ~RegisteredClass() {
    if (cookie_ != 0) CoRevokeClassObject(cookie_);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (key_ + L"\\CLSID").c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_.c_str());
  }

 private:
  class Factory final : public ComObject<IClassFactory> {
   public:
    explicit Factory(Make make) : make_(std::move(make)) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
      if (out == nullptr) return E_POINTER;
      *out = nullptr;
      if (outer != nullptr) return CLASS_E_NOAGGREGATION;
      ComPtr<IDispatch> object = make_();
      return object ? object->QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

   protected:
    void* findInterface(REFIID iid) override {
      return iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this)
                                                             : nullptr;
    }

   private:
    Make make_;
  };

  std::wstring key_;
  DWORD cookie_ = 0;
};

}  // namespace korvanel::win::testing
