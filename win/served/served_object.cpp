#include "win/served/served_object.h"

#include <olectl.h>

#include <algorithm>

#include "win/com/bstr.h"
#include "win/com/guard.h"
#include "win/com/wide.h"
#include "win/served/served_stats.h"
#include "win/served/served_type_info.h"

namespace korvanel::win::served {

ServedStats& servedStats() {
  static ServedStats stats;
  return stats;
}

namespace {

// The stable GUID of a served interface: its name hashed (FNV-1a) into a fixed family.
GUID guidOf(TextView name) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (char16_t c : name) {
    h ^= static_cast<std::uint64_t>(c);
    h *= 0x100000001b3ULL;
  }
  GUID g = {0x4b565300, 0x5345, 0x5256, {}};  // "KVS", "SE", "RV"
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<unsigned char>(h >> (8 * i));
  return g;
}

}  // namespace

MemberTable::MemberTable(Text library, Text interfaceName, std::vector<MemberEntry> members,
                         std::vector<EventSourceEntry> events)
    : interfaceName_(std::move(interfaceName)),
      interfaceNameUtf8_(
          text::toUtf8(library == u"Outlook" ? interfaceName_ : library + u"." + interfaceName_)),
      guid_(guidOf(library + u"." + interfaceName_)),
      members_(std::move(members)),
      events_(std::move(events)) {
  for (std::size_t i = 0; i < members_.size(); ++i) {
    byName_.emplace(text::fold(members_[i].name), i);
    byId_.emplace(members_[i].id, i);
  }
  typeInfo_ = makeTypeInfo(*this);
}

const MemberEntry* MemberTable::byName(TextView name) const {
  const auto it = byName_.find(text::fold(name));
  return it == byName_.end() ? nullptr : &members_[it->second];
}

const MemberEntry* MemberTable::byId(DISPID id) const {
  auto it = byId_.find(id);
  // A collection's default member is its Item.
  if (it == byId_.end() && id == DISPID_VALUE) {
    if (const MemberEntry* item = byName(u"Item")) return item;
  }
  return it == byId_.end() ? nullptr : &members_[it->second];
}

// ---- EventPoint

EventPoint::EventPoint(ServedObject& owner, const EventSourceEntry& source)
    : owner_(owner), source_(source) {}

EventPoint::~EventPoint() {
  servedStats().advisedSinks -= static_cast<long>(sinks_.size());
  connections_.clear();
  sinks_.clear();
}

STDMETHODIMP EventPoint::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

// The point lives inside its object: its references are the object's.
STDMETHODIMP_(ULONG) EventPoint::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) EventPoint::Release() { return owner_.Release(); }

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = source_.iid;
  return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<IConnectionPointContainer*>(&owner_);
  owner_.AddRef();
  return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  return guard([&] {
    // Outlook asks the sink for the event interface; a sink that only answers IDispatch is
    // accepted as well, as Outlook's own dispatch sinks are called through it.
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(source_.iid, dispatch.putVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid()))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    const bool first = sinks_.empty();
    sinks_.push_back(Sink{nextCookie_, dispatch});
    ++servedStats().advisedSinks;
    *cookie = nextCookie_++;
    if (first) connections_ = source_.connect(owner_, *this);
    return S_OK;
  });
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie) {
  const auto it =
      std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Held until the end of this call: releasing a sink may release this object's last holder.
  ComPtr<IUnknown> self(static_cast<IConnectionPoint*>(this));
  ComPtr<IDispatch> sink = std::move(it->dispatch);
  sinks_.erase(it);
  --servedStats().advisedSinks;
  if (sinks_.empty()) connections_.clear();
  return S_OK;
}

STDMETHODIMP EventPoint::EnumConnections(IEnumConnections** out) {
  if (out != nullptr) *out = nullptr;
  return E_NOTIMPL;
}

void EventPoint::fire(DISPID id, std::vector<VARIANT>& args) {
  // Sinks advised or unadvised while an event runs: the ones advised when it was raised
  // that are still advised hear it.
  ComPtr<IUnknown> self(static_cast<IConnectionPoint*>(this));
  ServedStats& stats = servedStats();
  const std::uint64_t callsBefore = stats.totalCalls;
  const std::vector<Sink> snapshot = sinks_;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  for (const Sink& s : snapshot) {
    const bool live = std::any_of(sinks_.begin(), sinks_.end(),
                                  [&](const Sink& l) { return l.cookie == s.cookie; });
    if (!live) continue;
    DISPPARAMS params = {};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    VARIANT result;
    VariantInit(&result);
    s.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                       &exception, &badArgument);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  stats.callsInEvents[owner_.table().interfaceNameUtf8() + " event " + std::to_string(id)] +=
      stats.totalCalls - callsBefore;
}

// ---- ServedObject

ServedObject::ServedObject() { ++servedStats().liveObjects; }

ServedObject::~ServedObject() {
  points_.clear();
  --servedStats().liveObjects;
}

ServedObject* ServedObject::from(IUnknown* object) {
  if (object == nullptr) return nullptr;
  void* served = nullptr;
  if (FAILED(object->QueryInterface(kIidServedObject, &served)) || served == nullptr) {
    return nullptr;
  }
  // Asked for itself, a served object hands out no reference.
  return static_cast<ServedObject*>(served);
}

STDMETHODIMP ServedObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == kIidServedObject) {
    *out = this;
    return S_OK;
  }
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == table().guid()) {
    *out = static_cast<IDispatch*>(this);
  } else if (iid == IID_IConnectionPointContainer && !table().events().empty()) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ServedObject::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) ServedObject::Release() {
  const ULONG n = --references_;
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP ServedObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP ServedObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  ITypeInfo* info = table().typeInfo();
  info->AddRef();
  *out = info;
  return S_OK;
}

STDMETHODIMP ServedObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  return guard([&] {
    const MemberTable& t = table();
    const Text name = fromWide(names[0]);
    ServedStats& stats = servedStats();
    ++stats.lookups[t.interfaceNameUtf8() + "." + text::toUtf8(text::fold(name))];
    ++stats.totalLookups;
    const MemberEntry* m = t.byName(name);
    HRESULT hr = S_OK;
    ids[0] = m != nullptr ? m->id : DISPID_UNKNOWN;
    if (m == nullptr) hr = DISP_E_UNKNOWNNAME;
    // Further names are the member's parameters: their DISPIDs are their positions.
    for (UINT i = 1; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (m == nullptr) continue;
      const Text param = text::fold(fromWide(names[i]));
      for (std::size_t p = 0; p < m->params.size(); ++p) {
        if (text::fold(m->params[p]) == param) ids[i] = static_cast<DISPID>(p);
      }
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  });
}

STDMETHODIMP ServedObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO*, UINT*) {
  return guard([&] {
    const MemberTable& t = table();
    const MemberEntry* m = t.byId(id);
    if (m == nullptr) return DISP_E_MEMBERNOTFOUND;
    ServedStats& stats = servedStats();
    ++stats.calls[t.interfaceNameUtf8() + "." + text::toUtf8(m->name)];
    ++stats.totalCalls;
    if (result != nullptr) VariantInit(result);

    // Held while the member runs: the call may release the caller's last other reference.
    ComPtr<IDispatch> self = dispatch();
    const UINT argCount = params != nullptr ? params->cArgs : 0;
    const UINT namedCount = params != nullptr ? params->cNamedArgs : 0;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;

    const VARIANT* value = nullptr;
    std::vector<const VARIANT*> args;
    // Named arguments come first in rgvarg; the positional ones follow, last first.
    for (UINT i = 0; i < namedCount; ++i) {
      const DISPID named = params->rgdispidNamedArgs[i];
      if (named == DISPID_PROPERTYPUT) {
        value = &params->rgvarg[i];
        continue;
      }
      if (named < 0 || named > 64) return DISP_E_PARAMNOTFOUND;
      if (args.size() <= static_cast<std::size_t>(named)) args.resize(named + 1, nullptr);
      args[named] = &params->rgvarg[i];
    }
    const UINT positional = argCount - namedCount;
    if (args.size() < positional) args.resize(positional, nullptr);
    for (UINT i = 0; i < positional; ++i) args[i] = &params->rgvarg[argCount - 1 - i];
    if (put && value == nullptr && !args.empty()) {
      // A put without the named DISPID_PROPERTYPUT: the last argument is the value.
      value = args.back();
      args.pop_back();
    }

    Call call(flags, std::move(args), put ? value : nullptr, put ? nullptr : result);
    if (put) {
      if (!m->put || value == nullptr) return DISP_E_MEMBERNOTFOUND;
      return m->put(*this, call);
    }
    if (!m->get) return DISP_E_MEMBERNOTFOUND;
    return m->get(*this, call);
  });
}

STDMETHODIMP ServedObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (out != nullptr) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ServedObject::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return guard([&] {
    for (const auto& p : points_) {
      if (p->iid() == iid) {
        *out = p.get();
        p->AddRef();
        return S_OK;
      }
    }
    for (const EventSourceEntry& source : table().events()) {
      if (source.iid == iid) {
        points_.push_back(std::make_unique<EventPoint>(*this, source));
        *out = points_.back().get();
        AddRef();
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  });
}

// ---- EventArgs

EventArgs::~EventArgs() {
  for (VARIANT& v : args_) VariantClear(&v);
}

EventArgs& EventArgs::object(ComPtr<IDispatch> object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object.detach();
  args_.push_back(v);
  return *this;
}

EventArgs& EventArgs::text(TextView text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = Bstr(text).detach();
  args_.push_back(v);
  return *this;
}

EventArgs& EventArgs::inOutBool(bool value) {
  flags_.push_back(std::make_unique<VARIANT_BOOL>(value ? VARIANT_TRUE : VARIANT_FALSE));
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_BOOL;
  v.pboolVal = flags_.back().get();
  args_.push_back(v);
  return *this;
}

}  // namespace korvanel::win::served
