// Calls on an IDispatch by member name or DISPID, the way a late-bound caller makes them.
// Every call returns the HRESULT of the call; nothing throws.
#pragma once

#include <oaidl.h>

#include <initializer_list>
#include <span>

#include "text/text.h"
#include "win/com/com_variant.h"

namespace korvanel::win {

HRESULT memberId(IDispatch* object, text::TextView name, DISPID* id);

// Property get (with optional arguments, first argument first).
HRESULT getProperty(IDispatch* object, DISPID id, VARIANT* result,
                    std::span<const VARIANT> args = {});
HRESULT getProperty(IDispatch* object, text::TextView name, VARIANT* result,
                    std::span<const VARIANT> args = {});
// Property let; for an object value, a host that only takes a reference (Set) is asked
// again with DISPATCH_PROPERTYPUTREF.
HRESULT putProperty(IDispatch* object, DISPID id, const VARIANT& value);
HRESULT putProperty(IDispatch* object, text::TextView name, const VARIANT& value);
// Method call (arguments first first); result may be null.
HRESULT callMethod(IDispatch* object, text::TextView name, std::span<const VARIANT> args,
                   VARIANT* result);
inline HRESULT callMethod(IDispatch* object, text::TextView name,
                          std::initializer_list<VARIANT> args, VARIANT* result) {
  return callMethod(object, name, std::span<const VARIANT>(args.begin(), args.size()), result);
}

}  // namespace korvanel::win
