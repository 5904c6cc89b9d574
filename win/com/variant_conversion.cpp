#include "win/com/variant_conversion.h"

#include <oleauto.h>

#include <cstring>
#include <optional>
#include <type_traits>

#include "win/com/bstr.h"
#include "win/com/com_variant.h"

namespace korvanel::win {

using platform::Variant;
using text::Text;

namespace {

// The text form of a scalar VARIANT; nullopt when it has none.
std::optional<Text> textOf(const VARIANT& value) {
  ComVariant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL,
                               VT_BSTR))) {
    return std::nullopt;
  }
  return fromBstr(converted.get().bstrVal);
}

// The index range of a one-dimensional array; nullopt for anything else.
struct Bounds {
  LONG lower = 0;
  LONG upper = -1;
};
std::optional<Bounds> boundsOf(SAFEARRAY* array) {
  Bounds bounds;
  if (array == nullptr || SafeArrayGetDim(array) != 1 ||
      FAILED(SafeArrayGetLBound(array, 1, &bounds.lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &bounds.upper))) {
    return std::nullopt;
  }
  return bounds;
}

// The elements of a one-dimensional array of variants or strings, each read as fromVariant
// reads a value; nullopt for any other array.
std::optional<std::vector<Variant>> elementsOf(SAFEARRAY* array, VARTYPE element) {
  if (element != VT_VARIANT && element != VT_BSTR) return std::nullopt;
  const std::optional<Bounds> bounds = boundsOf(array);
  if (!bounds) return std::nullopt;
  std::vector<Variant> values;
  for (LONG i = bounds->lower; i <= bounds->upper; ++i) {
    ComVariant item;
    VARIANT* slot = item.put();
    HRESULT hr = E_FAIL;
    if (element == VT_VARIANT) {
      hr = SafeArrayGetElement(array, &i, slot);
    } else {
      BSTR s = nullptr;
      hr = SafeArrayGetElement(array, &i, &s);
      if (SUCCEEDED(hr)) {
        slot->vt = VT_BSTR;
        slot->bstrVal = s;
      }
    }
    values.push_back(SUCCEEDED(hr) ? fromVariant(item.get()) : Variant());
  }
  return values;
}

Variant fromArray(SAFEARRAY* array, VARTYPE element) {
  const std::optional<Bounds> bounds = boundsOf(array);
  if (!bounds) return Variant();
  if (element == VT_UI1 || element == VT_I1) {
    const std::size_t count = bounds->upper < bounds->lower
                                  ? 0
                                  : static_cast<std::size_t>(bounds->upper - bounds->lower) + 1;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) return Variant();
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    text::Bytes out(bytes, bytes + count);
    SafeArrayUnaccessData(array);
    return Variant(std::move(out));
  }
  // Any other array is a text list, an element that cannot be read an empty entry.
  std::vector<Text> list;
  for (const Variant& value : elementsOf(array, element).value_or(std::vector<Variant>{})) {
    list.push_back(value.toText());
  }
  return Variant(std::move(list));
}

}  // namespace

Variant fromVariant(const VARIANT& value) {
  if (value.vt & VT_BYREF) {
    ComVariant direct;
    if (FAILED(VariantCopyInd(direct.put(), const_cast<VARIANT*>(&value)))) return Variant();
    return fromVariant(direct.get());
  }
  if (value.vt & VT_ARRAY) return fromArray(value.parray, value.vt & VT_TYPEMASK);
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_ERROR:
      return Variant();
    case VT_BOOL:
      return Variant(value.boolVal != VARIANT_FALSE);
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2: {
      ComVariant converted;
      if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(&value), 0, VT_I4)))
        return Variant();
      return Variant(static_cast<long>(converted.get().lVal));
    }
    case VT_BSTR:
      return Variant(fromBstr(value.bstrVal));
    default:
      // Wider or fractional numbers, dates, currency: their text, as a late-bound string
      // conversion would give.
      if (std::optional<Text> t = textOf(value)) return Variant(std::move(*t));
      return Variant();
  }
}

bool toVariant(const Variant& value, VARIANT* out) {
  VariantClear(out);
  return std::visit(
      [out](const auto& v) -> bool {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return true;
        } else if constexpr (std::is_same_v<T, bool>) {
          out->vt = VT_BOOL;
          out->boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
          return true;
        } else if constexpr (std::is_same_v<T, long>) {
          out->vt = VT_I4;
          out->lVal = static_cast<LONG>(v);
          return true;
        } else if constexpr (std::is_same_v<T, Text>) {
          Bstr s(v);
          if (s.get() == nullptr && !v.empty()) return false;
          out->vt = VT_BSTR;
          out->bstrVal = s.detach();
          return true;
        } else if constexpr (std::is_same_v<T, text::Bytes>) {
          SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(v.size()));
          if (array == nullptr) return false;
          void* data = nullptr;
          if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            return false;
          }
          if (!v.empty()) std::memcpy(data, v.data(), v.size());
          SafeArrayUnaccessData(array);
          out->vt = VT_ARRAY | VT_UI1;
          out->parray = array;
          return true;
        } else {
          SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(v.size()));
          if (array == nullptr) return false;
          for (LONG i = 0; i < static_cast<LONG>(v.size()); ++i) {
            Bstr s(v[static_cast<std::size_t>(i)]);
            // SafeArrayPutElement copies the string.
            if (FAILED(SafeArrayPutElement(array, &i, s.get()))) {
              SafeArrayDestroy(array);
              return false;
            }
          }
          out->vt = VT_ARRAY | VT_BSTR;
          out->parray = array;
          return true;
        }
      },
      value.value());
}

bool toVariantArray(const std::vector<Variant>& values, VARIANT* out, SCODE errorForEmpty) {
  VariantClear(out);
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
  if (array == nullptr) return false;
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
    const Variant& value = values[static_cast<std::size_t>(i)];
    ComVariant element;
    if (value.isEmpty() && errorForEmpty != S_OK) {
      VARIANT* slot = element.put();
      slot->vt = VT_ERROR;
      slot->scode = errorForEmpty;
    } else if (!toVariant(value, element.put())) {
      SafeArrayDestroy(array);
      return false;
    }
    // SafeArrayPutElement copies the element.
    if (FAILED(SafeArrayPutElement(array, &i, const_cast<VARIANT*>(&element.get())))) {
      SafeArrayDestroy(array);
      return false;
    }
  }
  out->vt = VT_ARRAY | VT_VARIANT;
  out->parray = array;
  return true;
}

std::optional<std::vector<Variant>> fromVariantArray(const VARIANT& value) {
  if (value.vt & VT_BYREF) {
    ComVariant direct;
    if (FAILED(VariantCopyInd(direct.put(), const_cast<VARIANT*>(&value)))) return std::nullopt;
    return fromVariantArray(direct.get());
  }
  if (!(value.vt & VT_ARRAY)) return std::nullopt;
  return elementsOf(value.parray, value.vt & VT_TYPEMASK);
}

}  // namespace korvanel::win
