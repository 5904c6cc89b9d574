// Calls on an IDispatch by member name or DISPID, the way a late-bound caller makes them.
// Every call returns the HRESULT of the call; nothing throws.
//
// A member name is looked up (GetIDsOfNames) once per interface: the DISPIDs are kept by the
// GUID of the interface the object's type information describes, so every object of that
// interface reuses them. A name an object does not know is remembered only by its LateBound
// holder (Outlook 2007 adds members to Outlook 2003's interfaces under the same GUIDs, and
// both may be met in one process). An object without type information is asked every time
// through the free functions; a LateBound holder keeps that object's names itself.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>

#include "text/text.h"
#include "win/com/com_ptr.h"
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
// Property set of an object (Set): DISPATCH_PROPERTYPUTREF, and a host that only takes a
// value is asked again with DISPATCH_PROPERTYPUT.
HRESULT putReference(IDispatch* object, DISPID id, const VARIANT& value);
// Method call (arguments first first); result may be null.
HRESULT callMethod(IDispatch* object, DISPID id, std::span<const VARIANT> args, VARIANT* result);
HRESULT callMethod(IDispatch* object, text::TextView name, std::span<const VARIANT> args,
                   VARIANT* result);
inline HRESULT callMethod(IDispatch* object, text::TextView name,
                          std::initializer_list<VARIANT> args, VARIANT* result) {
  return callMethod(object, name, std::span<const VARIANT>(args.begin(), args.size()), result);
}

// An optional argument left out: VT_ERROR with DISP_E_PARAMNOTFOUND.
VARIANT missingArgument();

// The number of GetIDsOfNames calls made through this file since the program started.
std::uint64_t memberNameLookups();

// The interface an object's IDispatch describes: the GUID of its type information; nullopt
// when the object gives none.
std::optional<GUID> dispatchInterface(IDispatch* object);
// That interface's name ("_MailItem"); empty when the object gives no type information.
text::Text dispatchInterfaceName(IDispatch* object);

// An object reached by late binding, with what its member lookups need: the interface its
// type information names (asked once) or, for an object without one, its own names.
class LateBound {
 public:
  LateBound() = default;
  explicit LateBound(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  IDispatch* get() const { return object_.get(); }
  const ComPtr<IDispatch>& object() const { return object_; }
  explicit operator bool() const { return static_cast<bool>(object_); }
  // Lets go of the object.
  void reset();

  HRESULT memberId(text::TextView name, DISPID* id);
  HRESULT get(text::TextView name, VARIANT* result, std::span<const VARIANT> args = {});
  HRESULT put(text::TextView name, const VARIANT& value);
  // Set, for a property that holds an object (see putReference).
  HRESULT putRef(text::TextView name, const VARIANT& value);
  HRESULT call(text::TextView name, std::span<const VARIANT> args, VARIANT* result);
  HRESULT call(text::TextView name, std::initializer_list<VARIANT> args, VARIANT* result) {
    return call(name, std::span<const VARIANT>(args.begin(), args.size()), result);
  }

 private:
  enum class Described { notAsked, byInterface, byItself };

  ComPtr<IDispatch> object_;
  Described described_ = Described::notAsked;
  GUID interface_ = {};
  // An object without type information: its names; any other: the names it lacks.
  std::map<text::Text, DISPID> ownIds_;
};

}  // namespace korvanel::win
