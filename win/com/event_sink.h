// Connection-point events turned into handlers: a sink of one dispinterface, advised on an
// event source, that calls the handler of each DISPID it knows with the event's arguments.
//
// The sink follows what event sources do: arguments arrive last first in rgvarg; [in,out]
// Booleans arrive as VT_BYREF|VT_BOOL (or a VT_BYREF|VT_VARIANT wrapping one) and are
// written back through the reference; a DISPID without a handler (newer hosts raise more
// events on the same interface) is answered S_OK; an event with the wrong number of
// arguments reaches no handler. A handler may end its own connection while it runs; it is
// called exactly while its Connection is held. Nothing a handler throws reaches the source.
#pragma once

#include <oaidl.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/event.h"
#include "text/text.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// The arguments of one event, read in declaration order (0 is the first declared).
class EventArguments {
 public:
  explicit EventArguments(DISPPARAMS& params) : params_(params) {}

  UINT count() const { return params_.cArgs; }
  // The argument's own value, through any byref and variant wrapping; null out of range.
  const VARIANT* value(UINT index) const;
  // An object argument (VT_DISPATCH, or VT_UNKNOWN that has IDispatch); null otherwise.
  ComPtr<IDispatch> object(UINT index) const;
  // A text argument; "" when it is none.
  text::Text text(UINT index) const;
  // An [in,out] Boolean: read it, let change run on it, write it back. An argument passed
  // by value is read and the change is lost, as it is for the source.
  void inOutBoolean(UINT index, const std::function<void(bool& value)>& change) const;

 private:
  VARIANT* raw(UINT index) const;
  // Through any variant references; byReference tells whether there was one.
  VARIANT* unwrapped(UINT index, bool* byReference) const;

  DISPPARAMS& params_;
};

struct EventHandler {
  DISPID id;
  UINT argumentCount;
  std::function<void(const EventArguments& arguments)> run;
};

// Advises a sink with these handlers on source for the first of eventInterfaces that source
// has a connection point for. The Connection unadvises; it is empty when no interface could
// be advised.
platform::Connection adviseEvents(IUnknown* source, std::initializer_list<IID> eventInterfaces,
                                  std::vector<EventHandler> handlers);

// The same for one event; never throws.
template <class Run>
platform::Connection adviseEvent(IUnknown* source, std::initializer_list<IID> eventInterfaces,
                                 DISPID id, UINT argumentCount, Run run) noexcept {
  try {
    return adviseEvents(source, eventInterfaces, {EventHandler{id, argumentCount, std::move(run)}});
  } catch (...) {
    return {};
  }
}

}  // namespace korvanel::win
