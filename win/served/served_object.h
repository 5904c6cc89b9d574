// A simulated object served through COM: IDispatch over its class's member table (names
// without regard to case, named arguments, PROPERTYPUT and PROPERTYPUTREF alike), type
// information that names Outlook's interface, and real connection points for the event
// interfaces it sources. Served objects count themselves and every call made on them
// (served_stats.h). Everything runs on the one thread of the served Outlook.
#pragma once

#include <oaidl.h>
#include <ocidl.h>

#include <memory>
#include <vector>

#include "win/com/com_ptr.h"
#include "win/served/member_table.h"

namespace korvanel::win::served {

// {6B1E4C0A-3D52-4F7E-9A41-2C8D5E7F1B93}: asks a served object for itself, so that an object
// the add-in hands back (Move's destination, SendUsingAccount) is known again.
inline constexpr IID kIidServedObject = {
    0x6b1e4c0a, 0x3d52, 0x4f7e, {0x9a, 0x41, 0x2c, 0x8d, 0x5e, 0x7f, 0x1b, 0x93}};

class ServedObject;

// One connection point: the sinks advised on one event interface of one object. While it
// has sinks, the object's platform events are connected and fired into them.
class EventPoint final : public IConnectionPoint {
 public:
  EventPoint(ServedObject& owner, const EventSourceEntry& source);
  ~EventPoint();
  EventPoint(const EventPoint&) = delete;
  EventPoint& operator=(const EventPoint&) = delete;

  const IID& iid() const { return source_.iid; }
  // Calls every sink's Invoke(id) with the arguments given first first (they travel last
  // first). A VT_BYREF argument is written back by the sinks.
  void fire(DISPID id, std::vector<VARIANT>& args);
  std::size_t sinkCount() const { return sinks_.size(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> dispatch;
  };
  ServedObject& owner_;
  const EventSourceEntry& source_;
  std::vector<Sink> sinks_;
  std::vector<platform::Connection> connections_;
  DWORD nextCookie_ = 1;
};

class ServedObject : public IDispatch, public IConnectionPointContainer {
 public:
  ServedObject();
  virtual ~ServedObject();
  ServedObject(const ServedObject&) = delete;
  ServedObject& operator=(const ServedObject&) = delete;

  virtual const MemberTable& table() const = 0;
  // The served object behind a COM pointer the add-in hands back; null for any other object.
  static ServedObject* from(IUnknown* object);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* badArgument) override;

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // This object as IDispatch, with a new reference.
  ComPtr<IDispatch> dispatch() { return ComPtr<IDispatch>(static_cast<IDispatch*>(this)); }

 private:
  ULONG references_ = 1;
  std::vector<std::unique_ptr<EventPoint>> points_;
};

// A new served object of class T, as IDispatch; nothing when the platform object is nullptr.
template <class T, class P>
ComPtr<IDispatch> serve(P platformObject) {
  if (!platformObject) return {};
  auto* object = new T(std::move(platformObject));
  return ComPtr<IDispatch>::attach(static_cast<IDispatch*>(object));
}

// The served object of class T behind a COM pointer; null for anything else.
template <class T>
T* servedAs(IUnknown* object) {
  return dynamic_cast<T*>(ServedObject::from(object));
}

// Event arguments, first first: objects, texts, and in/out Booleans (VT_BYREF|VT_BOOL) whose
// final value is read back after the event.
class EventArgs {
 public:
  EventArgs() = default;
  EventArgs(const EventArgs&) = delete;
  EventArgs& operator=(const EventArgs&) = delete;
  ~EventArgs();

  EventArgs& object(ComPtr<IDispatch> object);
  EventArgs& text(TextView text);
  // An in/out Boolean starting at value; its index for flag().
  EventArgs& inOutBool(bool value);
  bool flag(std::size_t index) const { return *flags_.at(index) != VARIANT_FALSE; }

  void fire(EventPoint& point, DISPID id) { point.fire(id, args_); }

 private:
  std::vector<VARIANT> args_;
  std::vector<std::unique_ptr<VARIANT_BOOL>> flags_;
};

}  // namespace korvanel::win::served
