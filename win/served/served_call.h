// One late-bound call of a served member, as the served object sees it: the arguments in
// declaration order (named arguments put in their places, missing ones absent), the value a
// property put brings, and the result to fill. Readers never fail: an absent or unreadable
// argument reads as the empty value.
#pragma once

#include <oaidl.h>

#include <vector>

#include "platform/variant.h"
#include "win/com/com_ptr.h"

namespace korvanel::win::served {

using platform::Text;
using platform::TextView;

class Call {
 public:
  Call(WORD flags, std::vector<const VARIANT*> args, const VARIANT* value, VARIANT* result)
      : flags_(flags), args_(std::move(args)), value_(value), result_(result) {}

  bool isPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
  bool isPutRef() const { return (flags_ & DISPATCH_PROPERTYPUTREF) != 0; }

  // The i-th argument (0-based), read through VT_BYREF; null when missing.
  const VARIANT* arg(std::size_t i) const;
  bool has(std::size_t i) const { return arg(i) != nullptr; }
  long longArg(std::size_t i, long otherwise = 0) const;
  bool boolArg(std::size_t i, bool otherwise = false) const;
  Text textArg(std::size_t i) const;
  ComPtr<IDispatch> objectArg(std::size_t i) const;
  platform::Variant variantArg(std::size_t i) const;

  // The value of a property put; null for any other call.
  const VARIANT* value() const { return value_; }
  platform::Variant valueAsVariant() const;
  ComPtr<IDispatch> valueAsObject() const;

  // Results. An object result of nullptr gives Nothing (VT_DISPATCH, null), as Outlook does.
  HRESULT returns(TextView text);
  HRESULT returns(long number);
  HRESULT returnsBool(bool value);
  HRESULT returns(ComPtr<IDispatch> object);
  HRESULT returnsUnknown(ComPtr<IUnknown> object);
  HRESULT returnsVariant(const platform::Variant& value);
  // An array of values (VT_ARRAY | VT_VARIANT), each empty one an error value with this code.
  HRESULT returnsArray(const std::vector<platform::Variant>& values, SCODE emptyAs);
  // An error value (VT_ERROR) as a method's answer, the call itself succeeding.
  HRESULT returnsError(SCODE code);
  HRESULT returnsNull();
  HRESULT returnsNothing() { return S_OK; }
  // A method that reports failure as Outlook does: an error the caller sees as failed.
  static HRESULT failed() { return E_FAIL; }

 private:
  WORD flags_;
  std::vector<const VARIANT*> args_;
  const VARIANT* value_;
  VARIANT* result_;
};

}  // namespace korvanel::win::served
