#include "win/com/event_sink.h"

#include <ocidl.h>

#include "win/com/bstr.h"
#include "win/com/com_object.h"
#include "win/com/guard.h"

namespace korvanel::win {
namespace {

class EventSink final : public ComObject<IDispatch> {
 public:
  EventSink(const IID& events, std::vector<EventHandler> handlers)
      : events_(events), handlers_(std::move(handlers)) {}

  // From now on no handler runs, even for an event already on its way.
  void disconnect() { live_ = false; }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    // A handler may end this connection, and the source then drops its reference.
    ComPtr<IDispatch> keepAlive(this);
    return guard(
        [&] {
          for (const EventHandler& handler : handlers_) {
            if (handler.id != id) continue;
            if (params == nullptr || params->cArgs != handler.argumentCount) {
              return DISP_E_BADPARAMCOUNT;
            }
            if (!live_) return S_OK;
            try {
              handler.run(EventArguments(*params));
            } catch (...) {
              // The handler's own failure stays here: the event itself was delivered.
            }
            return S_OK;
          }
          return S_OK;
        },
        S_OK);
  }

 protected:
  void* findInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
      return static_cast<IDispatch*>(this);
    }
    return nullptr;
  }

 private:
  const IID events_;
  const std::vector<EventHandler> handlers_;
  bool live_ = true;
};

}  // namespace

VARIANT* EventArguments::raw(UINT index) const {
  if (index >= params_.cArgs || params_.rgvarg == nullptr) return nullptr;
  // Last first.
  return &params_.rgvarg[params_.cArgs - 1 - index];
}

VARIANT* EventArguments::unwrapped(UINT index, bool* byReference) const {
  VARIANT* v = raw(index);
  // A variant by reference may itself hold a reference; two levels are as deep as sources go.
  for (int depth = 0; v != nullptr && v->vt == (VT_BYREF | VT_VARIANT) && depth < 2; ++depth) {
    v = v->pvarVal;
    if (byReference != nullptr) *byReference = true;
  }
  return v;
}

const VARIANT* EventArguments::value(UINT index) const { return unwrapped(index, nullptr); }

ComPtr<IDispatch> EventArguments::object(UINT index) const {
  const VARIANT* v = value(index);
  if (v == nullptr) return {};
  IUnknown* unknown = nullptr;
  switch (v->vt) {
    case VT_DISPATCH:
      return ComPtr<IDispatch>(v->pdispVal);
    case VT_DISPATCH | VT_BYREF:
      return v->ppdispVal != nullptr ? ComPtr<IDispatch>(*v->ppdispVal) : ComPtr<IDispatch>();
    case VT_UNKNOWN:
      unknown = v->punkVal;
      break;
    case VT_UNKNOWN | VT_BYREF:
      unknown = v->ppunkVal != nullptr ? *v->ppunkVal : nullptr;
      break;
    default:
      return {};
  }
  return ComPtr<IUnknown>(unknown).as<IDispatch>();
}

text::Text EventArguments::text(UINT index) const {
  const VARIANT* v = value(index);
  if (v == nullptr) return {};
  if (v->vt == VT_BSTR) return fromBstr(v->bstrVal);
  if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal != nullptr) return fromBstr(*v->pbstrVal);
  return {};
}

void EventArguments::inOutBoolean(UINT index, const std::function<void(bool&)>& change) const {
  bool byReference = false;
  VARIANT* v = unwrapped(index, &byReference);
  if (v == nullptr) return;
  VARIANT_BOOL* target = nullptr;
  VARIANT_BOOL copy = VARIANT_FALSE;
  if (v->vt == (VT_BOOL | VT_BYREF)) {
    target = v->pboolVal;
  } else if (v->vt == VT_BOOL && byReference) {
    target = &v->boolVal;  // the source's own variant, reached through its reference
  } else if (v->vt == VT_BOOL) {
    copy = v->boolVal;
    target = &copy;
  }
  if (target == nullptr) return;
  bool b = *target != VARIANT_FALSE;
  change(b);
  *target = b ? VARIANT_TRUE : VARIANT_FALSE;
}

platform::Connection adviseEvents(IUnknown* source, std::initializer_list<IID> eventInterfaces,
                                  std::vector<EventHandler> handlers) {
  if (source == nullptr) return {};
  try {
    ComPtr<IConnectionPointContainer> container =
        ComPtr<IUnknown>(source).as<IConnectionPointContainer>();
    if (!container) return {};
    for (const IID& events : eventInterfaces) {
      ComPtr<IConnectionPoint> point;
      if (FAILED(container->FindConnectionPoint(events, point.put())) || !point) continue;
      ComPtr<EventSink> sink = makeComObject<EventSink>(events, handlers);
      DWORD cookie = 0;
      if (FAILED(point->Advise(sink.get(), &cookie))) continue;
      return platform::Connection([point, sink, cookie] {
        sink->disconnect();
        point->Unadvise(cookie);
      });
    }
  } catch (...) {
  }
  return {};
}

}  // namespace korvanel::win
