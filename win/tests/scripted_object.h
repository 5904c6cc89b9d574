// A COM object whose IDispatch members are given by the test: the stand-in for Outlook's
// objects (Application, Explorers, Inspectors, items, the AddInInst) when the test plays the
// host. It can describe itself with a type information, and raise events through connection
// points as Outlook does.
#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "text/text.h"
#include "win/com/com_object.h"
#include "win/com/com_ptr.h"

namespace korvanel::win::testing {

// One connection point: the sinks advised on it, and fire() to raise an event on them.
class ScriptedConnectionPoint final : public ComObject<IConnectionPoint> {
 public:
  ScriptedConnectionPoint(const IID& events, IConnectionPointContainer* container)
      : events_(events), container_(container) {}

  std::size_t sinkCount() const { return sinks_.size(); }

  // Calls Invoke on every sink advised when the event starts, as a source that does not look
  // again between sinks; the last result is returned.
  HRESULT fire(DISPID id, DISPPARAMS& params) {
    std::vector<ComPtr<IDispatch>> snapshot;
    for (const auto& [cookie, sink] : sinks_) snapshot.push_back(sink);
    HRESULT hr = S_OK;
    const IID none = {};  // IID_NULL
    for (const ComPtr<IDispatch>& sink : snapshot) {
      hr = sink->Invoke(id, none, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
    return hr;
  }

  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    *iid = events_;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override {
    *out = container_;
    container_->AddRef();
    return S_OK;
  }
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    ComPtr<IDispatch> events;
    if (sink == nullptr || FAILED(sink->QueryInterface(events_, events.putVoid()))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_[*cookie] = events;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
  }
  STDMETHODIMP EnumConnections(IEnumConnections** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }

 protected:
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_IConnectionPoint ? static_cast<IConnectionPoint*>(this)
                                                              : nullptr;
  }

 private:
  const IID events_;
  IConnectionPointContainer* container_;  // the owner, which outlives its points' use here
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD nextCookie_ = 1;
};

class ScriptedObject final : public ComObject<IDispatch, IConnectionPointContainer> {
 public:
  // get fills *result; put receives the value and the flags (PROPERTYPUT or PROPERTYPUTREF);
  // call receives the arguments (last first, as Invoke does) and may fill *result (which may
  // be null).
  using Get = std::function<HRESULT(VARIANT* result)>;
  using Put = std::function<HRESULT(WORD flags, const VARIANT& value)>;
  using Call = std::function<HRESULT(const DISPPARAMS& params, VARIANT* result)>;

  ~ScriptedObject() override {
    // The points point back at this object; they are released with it.
    for (auto& [iid, point] : points_) point.reset();
  }

  void member(text::TextView name, DISPID id, Get get, Put put = {}) {
    members_[text::fold(name)] = id;
    handlers_[id] = {std::move(get), std::move(put)};
  }
  void method(text::TextView name, DISPID id, Call call) {
    members_[text::fold(name)] = id;
    calls_[id] = std::move(call);
  }
  // The type information GetTypeInfo(0) gives (none by default).
  void describe(ComPtr<ITypeInfo> info) { typeInfo_ = std::move(info); }
  // The events of this interface are raised through this point (made on first use).
  ScriptedConnectionPoint& events(const IID& iid) {
    ComPtr<ScriptedConnectionPoint>& point = points_[key(iid)];
    if (!point) point = makeComObject<ScriptedConnectionPoint>(iid, this);
    return *point.get();
  }

  // References held on this object, the test's own included.
  ULONG references() {
    AddRef();
    return Release();
  }
  // GetIDsOfNames calls answered so far.
  int nameLookups() const { return nameLookups_; }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = typeInfo_ ? 1 : 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    *out = nullptr;
    if (index != 0 || !typeInfo_) return DISP_E_BADINDEX;
    *out = ComPtr<ITypeInfo>(typeInfo_).detach();
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ++nameLookups_;
    if (count != 1) return DISP_E_UNKNOWNNAME;
    const auto it = members_.find(text::fold(fromWide(names[0])));
    if (it == members_.end()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = it->second;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (const auto call = calls_.find(id); call != calls_.end()) {
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
      DISPPARAMS none = {};
      return call->second(params != nullptr ? *params : none, result);
    }
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

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    *out = nullptr;
    const auto it = points_.find(key(iid));
    if (it == points_.end()) return CONNECT_E_NOCONNECTION;
    *out = ComPtr<IConnectionPoint>(it->second.get()).detach();
    return S_OK;
  }

 protected:
  void* findInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    if (iid == IID_IConnectionPointContainer && !points_.empty()) {
      return static_cast<IConnectionPointContainer*>(this);
    }
    return nullptr;
  }

 private:
  static text::Text fromWide(const wchar_t* s) {
    return s == nullptr ? text::Text() : text::Text(s, s + std::wcslen(s));
  }
  static std::string key(const IID& iid) {
    return std::string(reinterpret_cast<const char*>(&iid), sizeof(IID));
  }

  std::map<text::Text, DISPID> members_;
  std::map<DISPID, std::pair<Get, Put>> handlers_;
  std::map<DISPID, Call> calls_;
  std::map<std::string, ComPtr<ScriptedConnectionPoint>> points_;
  ComPtr<ITypeInfo> typeInfo_;
  int nameLookups_ = 0;
};

// What a scripted member answers: an object (with a reference for the caller; null is
// Nothing), a number, a text.
inline HRESULT returnObject(VARIANT* result, IDispatch* object) {
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  if (object != nullptr) object->AddRef();
  return S_OK;
}

inline HRESULT returnLong(VARIANT* result, long n) {
  result->vt = VT_I4;
  result->lVal = n;
  return S_OK;
}

inline HRESULT returnText(VARIANT* result, const wchar_t* s) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocString(s);
  return S_OK;
}

}  // namespace korvanel::win::testing
