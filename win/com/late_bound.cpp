#include "win/com/late_bound.h"

#include <algorithm>
#include <string>
#include <vector>

#include "win/com/guard.h"
#include "win/com/wide.h"

namespace korvanel::win {
namespace {

HRESULT invoke(IDispatch* object, DISPID id, WORD flags, std::span<const VARIANT> args,
               bool namedPut, VARIANT* result) {
  if (object == nullptr) return E_POINTER;
  return guard([&] {
    // IDispatch takes its arguments last first.
    std::vector<VARIANT> reversed(args.begin(), args.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (namedPut) {
      params.rgdispidNamedArgs = &putId;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      &exception, &badArgument);
    // An exception's texts are ours to free.
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
  });
}

}  // namespace

HRESULT memberId(IDispatch* object, text::TextView name, DISPID* id) {
  if (object == nullptr || id == nullptr) return E_POINTER;
  return guard([&] {
    std::wstring wide = toWide(name);
    LPOLESTR names[] = {wide.data()};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
  });
}

HRESULT getProperty(IDispatch* object, DISPID id, VARIANT* result,
                    std::span<const VARIANT> args) {
  return invoke(object, id, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, false, result);
}

HRESULT getProperty(IDispatch* object, text::TextView name, VARIANT* result,
                    std::span<const VARIANT> args) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(object, name, &id);
  return FAILED(hr) ? hr : getProperty(object, id, result, args);
}

HRESULT putProperty(IDispatch* object, DISPID id, const VARIANT& value) {
  const std::span<const VARIANT> args(&value, 1);
  HRESULT hr = invoke(object, id, DISPATCH_PROPERTYPUT, args, true, nullptr);
  if (FAILED(hr) && (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN)) {
    hr = invoke(object, id, DISPATCH_PROPERTYPUTREF, args, true, nullptr);
  }
  return hr;
}

HRESULT putProperty(IDispatch* object, text::TextView name, const VARIANT& value) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(object, name, &id);
  return FAILED(hr) ? hr : putProperty(object, id, value);
}

HRESULT callMethod(IDispatch* object, text::TextView name, std::span<const VARIANT> args,
                   VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(object, name, &id);
  return FAILED(hr) ? hr : invoke(object, id, DISPATCH_METHOD, args, false, result);
}

}  // namespace korvanel::win
