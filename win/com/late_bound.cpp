#include "win/com/late_bound.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "win/com/bstr.h"
#include "win/com/guard.h"
#include "win/com/wide.h"

namespace korvanel::win {
namespace {

std::uint64_t gLookups = 0;

// The DISPIDs of every interface met so far, by interface and folded name (names are
// case-insensitive, as GetIDsOfNames is).
struct InterfaceMember {
  GUID interfaceId;
  text::Text name;
  bool operator<(const InterfaceMember& other) const {
    const int order = std::memcmp(&interfaceId, &other.interfaceId, sizeof(GUID));
    return order != 0 ? order < 0 : name < other.name;
  }
};

std::map<InterfaceMember, DISPID>& interfaceIds() {
  static std::map<InterfaceMember, DISPID> ids;
  return ids;
}

// GetIDsOfNames itself, counted.
HRESULT askObject(IDispatch* object, text::TextView name, DISPID* id) {
  ++gLookups;
  std::wstring wide = toWide(name);
  LPOLESTR names[] = {wide.data()};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

// Looks key up in ids first, and keeps what the object answers; an unknown name is kept as
// such only when rememberUnknown.
template <class Key>
HRESULT lookUp(std::map<Key, DISPID>& ids, Key key, IDispatch* object, text::TextView name,
               DISPID* id, bool rememberUnknown) {
  if (const auto known = ids.find(key); known != ids.end()) {
    *id = known->second;
    return *id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  const HRESULT hr = askObject(object, name, id);
  if (SUCCEEDED(hr) && *id != DISPID_UNKNOWN) {
    ids.emplace(std::move(key), *id);
  } else if (hr == DISP_E_UNKNOWNNAME && rememberUnknown) {
    ids.emplace(std::move(key), DISPID_UNKNOWN);
  }
  return hr;
}

HRESULT lookUpByInterface(const GUID& interfaceId, IDispatch* object, text::TextView name,
                          DISPID* id) {
  // A name one object of the interface lacks may be known to another: Outlook 2007 adds
  // members to the interfaces of Outlook 2003 under the same identifiers.
  return lookUp(interfaceIds(), InterfaceMember{interfaceId, text::fold(name)}, object, name, id,
                false);
}

ComPtr<ITypeInfo> typeInfo(IDispatch* object) {
  UINT count = 0;
  if (FAILED(object->GetTypeInfoCount(&count)) || count == 0) return {};
  ComPtr<ITypeInfo> info;
  if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()))) return {};
  return info;
}

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

bool isObject(const VARIANT& value) { return value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN; }

}  // namespace

std::uint64_t memberNameLookups() { return gLookups; }

std::optional<GUID> dispatchInterface(IDispatch* object) {
  if (object == nullptr) return std::nullopt;
  ComPtr<ITypeInfo> info = typeInfo(object);
  TYPEATTR* attributes = nullptr;
  if (!info || FAILED(info->GetTypeAttr(&attributes)) || attributes == nullptr) {
    return std::nullopt;
  }
  const GUID id = attributes->guid;
  info->ReleaseTypeAttr(attributes);
  // A type without a GUID cannot tell one interface from another.
  if (id == GUID_NULL) return std::nullopt;
  return id;
}

text::Text dispatchInterfaceName(IDispatch* object) {
  if (object == nullptr) return {};
  ComPtr<ITypeInfo> info = typeInfo(object);
  Bstr name;
  if (!info ||
      FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr))) {
    return {};
  }
  return fromBstr(name.get());
}

HRESULT memberId(IDispatch* object, text::TextView name, DISPID* id) {
  if (object == nullptr || id == nullptr) return E_POINTER;
  return guard([&] {
    if (const std::optional<GUID> interfaceId = dispatchInterface(object)) {
      return lookUpByInterface(*interfaceId, object, name, id);
    }
    return askObject(object, name, id);
  });
}

HRESULT getProperty(IDispatch* object, DISPID id, VARIANT* result, std::span<const VARIANT> args) {
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
  if (FAILED(hr) && isObject(value)) {
    hr = invoke(object, id, DISPATCH_PROPERTYPUTREF, args, true, nullptr);
  }
  return hr;
}

HRESULT putProperty(IDispatch* object, text::TextView name, const VARIANT& value) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(object, name, &id);
  return FAILED(hr) ? hr : putProperty(object, id, value);
}

HRESULT putReference(IDispatch* object, DISPID id, const VARIANT& value) {
  const std::span<const VARIANT> args(&value, 1);
  HRESULT hr = invoke(object, id, DISPATCH_PROPERTYPUTREF, args, true, nullptr);
  if (FAILED(hr)) hr = invoke(object, id, DISPATCH_PROPERTYPUT, args, true, nullptr);
  return hr;
}

HRESULT callMethod(IDispatch* object, DISPID id, std::span<const VARIANT> args, VARIANT* result) {
  return invoke(object, id, DISPATCH_METHOD, args, false, result);
}

HRESULT callMethod(IDispatch* object, text::TextView name, std::span<const VARIANT> args,
                   VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(object, name, &id);
  return FAILED(hr) ? hr : callMethod(object, id, args, result);
}

VARIANT missingArgument() {
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  return missing;
}

void LateBound::reset() {
  object_.reset();
  described_ = Described::notAsked;
  ownIds_.clear();
}

HRESULT LateBound::memberId(text::TextView name, DISPID* id) {
  if (!object_ || id == nullptr) return E_POINTER;
  return guard([&] {
    if (described_ == Described::notAsked) {
      const std::optional<GUID> interfaceId = dispatchInterface(object_.get());
      described_ = interfaceId ? Described::byInterface : Described::byItself;
      if (interfaceId) interface_ = *interfaceId;
    }
    text::Text folded = text::fold(name);
    if (described_ == Described::byItself) {
      return lookUp(ownIds_, std::move(folded), object_.get(), name, id, true);
    }
    // The names this object lacks are its own to remember.
    if (ownIds_.count(folded) != 0) {
      *id = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    const HRESULT hr = lookUpByInterface(interface_, object_.get(), name, id);
    if (hr == DISP_E_UNKNOWNNAME) ownIds_.emplace(std::move(folded), DISPID_UNKNOWN);
    return hr;
  });
}

HRESULT LateBound::get(text::TextView name, VARIANT* result, std::span<const VARIANT> args) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(name, &id);
  return FAILED(hr) ? hr : getProperty(object_.get(), id, result, args);
}

HRESULT LateBound::put(text::TextView name, const VARIANT& value) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(name, &id);
  return FAILED(hr) ? hr : putProperty(object_.get(), id, value);
}

HRESULT LateBound::putRef(text::TextView name, const VARIANT& value) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(name, &id);
  return FAILED(hr) ? hr : putReference(object_.get(), id, value);
}

HRESULT LateBound::call(text::TextView name, std::span<const VARIANT> args, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = memberId(name, &id);
  return FAILED(hr) ? hr : callMethod(object_.get(), id, args, result);
}

}  // namespace korvanel::win
