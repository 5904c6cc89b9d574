#include "win/served/served_mapi_prop.h"

#include <mapiutil.h>
#include <mapix.h>

#include <cstring>

#include "win/com/com_object.h"
#include "win/served/served_stats.h"

namespace korvanel::win::served {

namespace {

constexpr IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

platform::Mapi*& servedMapi() {
  static platform::Mapi* mapi = nullptr;
  return mapi;
}

class ServedMapiProp final : public ComObject<IMAPIProp> {
 public:
  explicit ServedMapiProp(platform::MapiObjectPtr object) : object_(std::move(object)) {
    ++servedStats().liveObjects;
  }
  ~ServedMapiProp() override { --servedStats().liveObjects; }

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
    if (tags == nullptr || count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    ++servedStats().calls["IMAPIProp.GetProps"];
    ++servedStats().totalCalls;
    void* buffer = nullptr;
    if (FAILED(MAPIAllocateBuffer(sizeof(::SPropValue) * tags->cValues, &buffer))) {
      return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    auto* out = static_cast<::SPropValue*>(buffer);
    bool errors = false;
    for (ULONG i = 0; i < tags->cValues; ++i) {
      const ULONG tag = tags->aulPropTag[i];
      out[i] = ::SPropValue{};
      if (!read(tag, buffer, out[i])) {
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
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == kIidMapiProp ? static_cast<IMAPIProp*>(this) : nullptr;
  }

 private:
  // One property, read through the simulation's MAPI into out (text kept in buffer's memory).
  bool read(ULONG tag, void* buffer, ::SPropValue& out) {
    platform::Mapi* mapi = servedMapi();
    if (mapi == nullptr) return false;
    platform::SPropValue* value = nullptr;
    if (mapi->hrGetOneProp(object_.get(), tag, &value) != platform::kSOk || value == nullptr) {
      return false;
    }
    platform::MapiBuffer hold(*mapi, value);
    out.ulPropTag = value->ulPropTag;
    switch (PROP_TYPE(value->ulPropTag)) {
      case PT_STRING8: {
        const char* source = value->Value.lpszA != nullptr ? value->Value.lpszA : "";
        const std::size_t size = std::strlen(source) + 1;
        void* text = nullptr;
        if (FAILED(MAPIAllocateMore(static_cast<ULONG>(size), buffer, &text))) return false;
        std::memcpy(text, source, size);
        out.Value.lpszA = static_cast<LPSTR>(text);
        return true;
      }
      case PT_BOOLEAN:
        out.Value.b = value->Value.b;
        return true;
      case PT_LONG:
        out.Value.l = value->Value.l;
        return true;
      default:
        return false;
    }
  }

  platform::MapiObjectPtr object_;
};

}  // namespace

void setServedMapi(platform::Mapi* mapi) { servedMapi() = mapi; }

ComPtr<IUnknown> serveMapiObject(platform::MapiObjectPtr object) {
  if (!object) return {};
  return makeComObject<ServedMapiProp, IUnknown>(std::move(object));
}

}  // namespace korvanel::win::served
