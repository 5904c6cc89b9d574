// An IMAPIProp that only reads, as a message's MAPIOBJECT is read through mapi32's
// HrGetOneProp: GetProps answers each tag through readProp into one MAPIAllocateBuffer block,
// a tag it lacks as a PT_ERROR value with MAPI_W_ERRORS_RETURNED, as a message store does;
// every other member answers MAPI_E_NO_SUPPORT. The served items' MAPIOBJECT and the tests'
// message objects are written on it.
#pragma once

#include <mapiutil.h>
#include <mapix.h>

#include <cstring>
#include <string_view>

#include "win/com/com_object.h"

namespace korvanel::win::served {

inline constexpr IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class ReadOnlyMapiProp : public ComObject<IMAPIProp> {
 public:
  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
    if (tags == nullptr || count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    onGetProps();
    void* buffer = nullptr;
    if (FAILED(MAPIAllocateBuffer(sizeof(::SPropValue) * tags->cValues, &buffer))) {
      return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    auto* out = static_cast<::SPropValue*>(buffer);
    bool errors = false;
    for (ULONG i = 0; i < tags->cValues; ++i) {
      const ULONG tag = tags->aulPropTag[i];
      out[i] = ::SPropValue{};
      if (!readProp(tag, buffer, out[i])) {
        out[i].ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tag));
        out[i].Value.err = MAPI_E_NOT_FOUND;
        errors = true;
      }
    }
    *count = tags->cValues;
    *values = out;
    return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
  }

  STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetPropList(ULONG, LPSPropTagArray*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                      LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                         LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override {
    return MAPI_E_NO_SUPPORT;
  }

 protected:
  // One property into out; false when the object lacks it. Memory that out points to is
  // taken from buffer with MAPIAllocateMore, so that one MAPIFreeBuffer frees it all.
  virtual bool readProp(ULONG tag, void* buffer, ::SPropValue& out) = 0;
  // Each GetProps call, before it is answered.
  virtual void onGetProps() {}

  // out as the single-byte text, copied into buffer's memory.
  static bool readText(ULONG tag, std::string_view text, void* buffer, ::SPropValue& out) {
    void* copy = nullptr;
    if (FAILED(MAPIAllocateMore(static_cast<ULONG>(text.size() + 1), buffer, &copy))) return false;
    std::memcpy(copy, text.data(), text.size());
    static_cast<char*>(copy)[text.size()] = '\0';
    out.ulPropTag = tag;
    out.Value.lpszA = static_cast<LPSTR>(copy);
    return true;
  }

  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == kIidMapiProp ? static_cast<IMAPIProp*>(this) : nullptr;
  }
};

}  // namespace korvanel::win::served
