#include "win/served/served_call.h"

#include "win/com/bstr.h"
#include "win/com/com_variant.h"
#include "win/com/variant_conversion.h"

namespace korvanel::win::served {

namespace {

const VARIANT* throughReference(const VARIANT* v) {
  while (v != nullptr && v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  return v;
}

bool isMissing(const VARIANT* v) {
  return v == nullptr || (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND);
}

}  // namespace

const VARIANT* Call::arg(std::size_t i) const {
  if (i >= args_.size()) return nullptr;
  const VARIANT* v = throughReference(args_[i]);
  return isMissing(v) ? nullptr : v;
}

long Call::longArg(std::size_t i, long otherwise) const {
  const VARIANT* v = arg(i);
  if (v == nullptr) return otherwise;
  ComVariant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(v), 0, VT_I4))) {
    return otherwise;
  }
  return converted.get().lVal;
}

bool Call::boolArg(std::size_t i, bool otherwise) const {
  const VARIANT* v = arg(i);
  if (v == nullptr) return otherwise;
  ComVariant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(v), 0, VT_BOOL))) {
    return otherwise;
  }
  return converted.get().boolVal != VARIANT_FALSE;
}

Text Call::textArg(std::size_t i) const {
  const VARIANT* v = arg(i);
  return v == nullptr ? Text() : fromVariant(*v).toText();
}

ComPtr<IDispatch> Call::objectArg(std::size_t i) const {
  const VARIANT* v = arg(i);
  if (v == nullptr) return {};
  if (v->vt == VT_DISPATCH) return ComPtr<IDispatch>(v->pdispVal);
  if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal != nullptr) {
    return ComPtr<IDispatch>(*v->ppdispVal);
  }
  if (v->vt == VT_UNKNOWN && v->punkVal != nullptr) {
    ComPtr<IDispatch> object;
    v->punkVal->QueryInterface(IID_IDispatch, object.putVoid());
    return object;
  }
  return {};
}

platform::Variant Call::variantArg(std::size_t i) const {
  const VARIANT* v = arg(i);
  return v == nullptr ? platform::Variant() : fromVariant(*v);
}

platform::Variant Call::valueAsVariant() const {
  const VARIANT* v = throughReference(value_);
  return v == nullptr ? platform::Variant() : fromVariant(*v);
}

ComPtr<IDispatch> Call::valueAsObject() const {
  const VARIANT* v = throughReference(value_);
  if (v == nullptr) return {};
  if (v->vt == VT_DISPATCH) return ComPtr<IDispatch>(v->pdispVal);
  if (v->vt == VT_UNKNOWN && v->punkVal != nullptr) {
    ComPtr<IDispatch> object;
    v->punkVal->QueryInterface(IID_IDispatch, object.putVoid());
    return object;
  }
  return {};
}

HRESULT Call::returns(TextView text) {
  if (result_ == nullptr) return S_OK;
  BSTR s = Bstr(text).detach();
  if (s == nullptr) return E_OUTOFMEMORY;
  result_->vt = VT_BSTR;
  result_->bstrVal = s;
  return S_OK;
}

HRESULT Call::returns(long number) {
  if (result_ == nullptr) return S_OK;
  result_->vt = VT_I4;
  result_->lVal = number;
  return S_OK;
}

HRESULT Call::returnsBool(bool value) {
  if (result_ == nullptr) return S_OK;
  result_->vt = VT_BOOL;
  result_->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Call::returns(ComPtr<IDispatch> object) {
  if (result_ == nullptr) return S_OK;
  result_->vt = VT_DISPATCH;
  result_->pdispVal = object.detach();
  return S_OK;
}

HRESULT Call::returnsUnknown(ComPtr<IUnknown> object) {
  if (result_ == nullptr) return S_OK;
  result_->vt = VT_UNKNOWN;
  result_->punkVal = object.detach();
  return S_OK;
}

HRESULT Call::returnsVariant(const platform::Variant& value) {
  if (result_ == nullptr) return S_OK;
  return toVariant(value, result_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT Call::returnsArray(const std::vector<platform::Variant>& values, SCODE emptyAs) {
  if (result_ == nullptr) return S_OK;
  return toVariantArray(values, result_, emptyAs) ? S_OK : E_OUTOFMEMORY;
}

HRESULT Call::returnsError(SCODE code) {
  if (result_ == nullptr) return S_OK;
  result_->vt = VT_ERROR;
  result_->scode = code;
  return S_OK;
}

HRESULT Call::returnsNull() {
  if (result_ != nullptr) result_->vt = VT_NULL;
  return S_OK;
}

}  // namespace korvanel::win::served
