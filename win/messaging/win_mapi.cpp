#include "win/messaging/win_mapi.h"

#include <mapix.h>
#include <mapiutil.h>

#include <cstring>
#include <new>

namespace korvanel::win {

namespace {

// IMAPIProp's identifier, spelt out: mapiguid.h would define every MAPI GUID here.
constexpr IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Frees a MAPI buffer on scope exit.
struct MapiAllocation {
  void* p = nullptr;
  ~MapiAllocation() {
    if (p != nullptr) MAPIFreeBuffer(p);
  }
};

}  // namespace

platform::HResult WinMapi::hrGetOneProp(platform::MapiObject* object, std::uint32_t propTag,
                                        platform::SPropValue** out) {
  if (out == nullptr) return platform::kEInvalidArg;
  *out = nullptr;
  const auto* com = dynamic_cast<MapiComObject*>(object);
  if (com == nullptr || com->get() == nullptr) return platform::kEInvalidArg;
  ComPtr<IMAPIProp> prop;
  if (FAILED(com->get()->QueryInterface(kIidMapiProp, prop.putVoid()))) {
    return platform::kEInvalidArg;
  }
  MapiAllocation value;
  const HRESULT hr = HrGetOneProp(prop.get(), propTag, reinterpret_cast<LPSPropValue*>(&value.p));
  if (FAILED(hr) || value.p == nullptr) return FAILED(hr) ? hr : E_FAIL;
  const auto* got = static_cast<const ::SPropValue*>(value.p);

  // MAPI's SPropValue has the product's layout only on 32-bit Windows (its union is wider
  // on 64-bit), so the value is copied into a MAPI buffer of the product's layout, which
  // MAPIFreeBuffer frees with everything hanging off it.
  MapiAllocation copy;
  if (FAILED(MAPIAllocateBuffer(sizeof(platform::SPropValue), &copy.p))) return E_OUTOFMEMORY;
  auto* result = new (copy.p) platform::SPropValue{};
  result->ulPropTag = got->ulPropTag;
  switch (PROP_TYPE(got->ulPropTag)) {
    case PT_STRING8: {
      const char* source = got->Value.lpszA != nullptr ? got->Value.lpszA : "";
      const std::size_t size = std::strlen(source) + 1;
      void* text = nullptr;
      if (FAILED(MAPIAllocateMore(static_cast<ULONG>(size), copy.p, &text))) {
        return E_OUTOFMEMORY;
      }
      std::memcpy(text, source, size);
      result->Value.lpszA = static_cast<const char*>(text);
      break;
    }
    case PT_BOOLEAN:
      result->Value.b = got->Value.b;
      break;
    case PT_I8:
      result->Value.li = got->Value.li.QuadPart;
      break;
    default:  // PT_LONG, PT_ERROR and the other 32-bit scalars
      result->Value.l = got->Value.l;
      break;
  }
  *out = result;
  copy.p = nullptr;
  return hr;
}

platform::HResult WinMapi::mapiFreeBuffer(void* buffer) {
  return buffer == nullptr ? platform::kSOk
                           : static_cast<platform::HResult>(MAPIFreeBuffer(buffer));
}

}  // namespace korvanel::win
