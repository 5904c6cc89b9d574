#include "win/com/late_bound_object.h"

#include <algorithm>

#include "win/com/variant_conversion.h"

namespace korvanel::win {

using platform::Variant;

bool Argument::build(VARIANT* out) const noexcept {
  switch (kind_) {
    case Kind::number:
      out->vt = VT_I4;
      out->lVal = static_cast<LONG>(number_);
      return true;
    case Kind::boolean:
      out->vt = VT_BOOL;
      out->boolVal = boolean_ ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case Kind::text: {
      BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(text_.size()));
      if (s == nullptr) return false;
      std::copy(text_.begin(), text_.end(), s);
      out->vt = VT_BSTR;
      out->bstrVal = s;
      return true;
    }
    case Kind::variant:
      try {
        return toVariant(*variant_, out);
      } catch (...) {
        return false;
      }
    case Kind::list:
      try {
        return toVariantArray(*list_, out);
      } catch (...) {
        return false;
      }
  }
  return false;
}

CallArguments::CallArguments(std::initializer_list<Argument> values) {
  for (const Argument& v : values) add(v);
}

CallArguments::~CallArguments() {
  for (VARIANT& v : values_) VariantClear(&v);
}

void CallArguments::push(VARIANT& v) {
  try {
    values_.push_back(v);
  } catch (...) {
    VariantClear(&v);
    complete_ = false;
  }
}

CallArguments& CallArguments::add(const Argument& value) {
  VARIANT v;
  VariantInit(&v);
  if (!value.build(&v)) complete_ = false;
  push(v);
  return *this;
}

CallArguments& CallArguments::addObject(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  if (object != nullptr) object->AddRef();
  push(v);
  return *this;
}

CallArguments& CallArguments::addMissing() {
  VARIANT v = missingArgument();
  push(v);
  return *this;
}

namespace {

// The object a result holds; null for anything else, Nothing included.
ComPtr<IDispatch> objectIn(const ComVariant& result) {
  const VARIANT& v = result.get();
  if (v.vt == VT_DISPATCH) return ComPtr<IDispatch>(v.pdispVal);
  if (v.vt == VT_UNKNOWN && v.punkVal != nullptr)
    return ComPtr<IUnknown>(v.punkVal).as<IDispatch>();
  return {};
}

}  // namespace

Variant LateBoundObject::value(text::TextView member, const CallArguments& args) noexcept {
  try {
    ComVariant result;
    if (!args.complete() || FAILED(object_.get(member, result.put(), args.get()))) return {};
    return fromVariant(result.get());
  } catch (...) {
    return {};
  }
}

text::Text LateBoundObject::text(text::TextView member, const CallArguments& args) noexcept {
  try {
    return value(member, args).toText();
  } catch (...) {
    return {};
  }
}

long LateBoundObject::number(text::TextView member, const CallArguments& args) noexcept {
  return value(member, args).toLong();
}

bool LateBoundObject::flag(text::TextView member, const CallArguments& args) noexcept {
  return value(member, args).toBool();
}

ComPtr<IDispatch> LateBoundObject::object(text::TextView member,
                                          const CallArguments& args) noexcept {
  try {
    ComVariant result;
    if (!args.complete() || FAILED(object_.get(member, result.put(), args.get()))) return {};
    return objectIn(result);
  } catch (...) {
    return {};
  }
}

ComPtr<IUnknown> LateBoundObject::unknown(text::TextView member) noexcept {
  try {
    ComVariant result;
    if (FAILED(object_.get(member, result.put()))) return {};
    const VARIANT& v = result.get();
    if (v.vt == VT_UNKNOWN) return ComPtr<IUnknown>(v.punkVal);
    if (v.vt == VT_DISPATCH) return ComPtr<IUnknown>(v.pdispVal);
    return {};
  } catch (...) {
    return {};
  }
}

bool LateBoundObject::set(text::TextView member, const Argument& value) noexcept {
  try {
    ComVariant argument;
    if (!value.build(argument.put())) return false;
    return SUCCEEDED(object_.put(member, argument.get()));
  } catch (...) {
    return false;
  }
}

bool LateBoundObject::setObject(text::TextView member, IDispatch* value) noexcept {
  try {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = value;  // borrowed for the call
    return SUCCEEDED(object_.putRef(member, argument));
  } catch (...) {
    return false;
  }
}

bool LateBoundObject::run(text::TextView member, const CallArguments& args) noexcept {
  try {
    ComVariant result;
    return args.complete() && SUCCEEDED(object_.call(member, args.get(), result.put()));
  } catch (...) {
    return false;
  }
}

Variant LateBoundObject::call(text::TextView member, const CallArguments& args) noexcept {
  try {
    ComVariant result;
    if (!args.complete() || FAILED(object_.call(member, args.get(), result.put()))) return {};
    return fromVariant(result.get());
  } catch (...) {
    return {};
  }
}

void LateBoundObject::callForResult(text::TextView member, const CallArguments& args,
                                    ComVariant& result) noexcept {
  HRESULT hr = E_FAIL;
  try {
    if (args.complete()) hr = object_.call(member, args.get(), result.put());
  } catch (...) {
    hr = E_FAIL;
  }
  if (FAILED(hr)) {
    VARIANT* failed = result.put();
    failed->vt = VT_ERROR;
    failed->scode = hr;
  }
}

ComPtr<IDispatch> LateBoundObject::callObject(text::TextView member,
                                              const CallArguments& args) noexcept {
  try {
    ComVariant result;
    if (!args.complete() || FAILED(object_.call(member, args.get(), result.put()))) return {};
    return objectIn(result);
  } catch (...) {
    return {};
  }
}

}  // namespace korvanel::win
