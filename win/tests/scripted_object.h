// A COM object whose IDispatch members are given by the test: the stand-in for Outlook's
// objects (Application, Explorers, Inspectors, the AddInInst) when the test plays the host.
#pragma once

#include <oaidl.h>

#include <functional>
#include <map>
#include <string>

#include "text/text.h"
#include "win/com/com_object.h"

namespace korvanel::win::testing {

class ScriptedObject final : public ComObject<IDispatch> {
 public:
  // get fills *result; put receives the value and the flags (PROPERTYPUT or PROPERTYPUTREF).
  using Get = std::function<HRESULT(VARIANT* result)>;
  using Put = std::function<HRESULT(WORD flags, const VARIANT& value)>;

  void member(text::TextView name, DISPID id, Get get, Put put = {}) {
    members_[text::fold(name)] = id;
    handlers_[id] = {std::move(get), std::move(put)};
  }

  // References held on this object, the test's own included.
  ULONG references() {
    AddRef();
    return Release();
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    const auto it = members_.find(text::fold(fromWide(names[0])));
    if (it == members_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = it->second;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    const auto it = handlers_.find(id);
    if (it == handlers_.end()) return DISP_E_MEMBERNOTFOUND;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!it->second.second || params == nullptr || params->cArgs != 1) {
        return DISP_E_MEMBERNOTFOUND;
      }
      return it->second.second(flags, params->rgvarg[0]);
    }
    if (!it->second.first || result == nullptr) return DISP_E_MEMBERNOTFOUND;
    return it->second.first(result);
  }

 protected:
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  static text::Text fromWide(const wchar_t* s) {
    return s == nullptr ? text::Text() : text::Text(s, s + std::wcslen(s));
  }

  std::map<text::Text, DISPID> members_;
  std::map<DISPID, std::pair<Get, Put>> handlers_;
};

}  // namespace korvanel::win::testing
