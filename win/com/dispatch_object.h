// A COM object whose IDispatch is its dual interface Dual, answered from Dual's description
// in the type library embedded in this DLL (resource TYPELIB 1), so late-bound callers reach
// the same methods as vtable callers, by name.
#pragma once

#include <oaidl.h>

#include "win/com/com_object.h"
#include "win/com/guard.h"

namespace korvanel::win {

// Dual's type information, loaded from this DLL's type library on first use; null when the
// library cannot be read.
ComPtr<ITypeInfo> embeddedTypeInfo(REFIID iid);

template <class Dual, class... Others>
class DispatchObject : public ComObject<Dual, Others...> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return guard([&] {
      ITypeInfo* info = typeInfo();
      if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
      info->AddRef();
      *out = info;
      return S_OK;
    });
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                             DISPID* ids) override {
    return guard([&] {
      ITypeInfo* info = typeInfo();
      if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
      return DispGetIDsOfNames(info, names, count, ids);
    });
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* badArgument) override {
    return guard([&] {
      ITypeInfo* info = typeInfo();
      if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
      return DispInvoke(static_cast<Dual*>(this), info, id, flags, params, result, exception,
                        badArgument);
    });
  }

 protected:
  void* findDispatch(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Dual)) {
      return static_cast<Dual*>(this);
    }
    return nullptr;
  }

 private:
  ITypeInfo* typeInfo() {
    if (!typeInfo_) typeInfo_ = embeddedTypeInfo(__uuidof(Dual));
    return typeInfo_.get();
  }

  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace korvanel::win
