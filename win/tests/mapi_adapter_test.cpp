// Extended MAPI through the Windows adapter: one property read from an item's MAPIOBJECT with
// mapi32's HrGetOneProp, over a message object written for the test.
#include <gtest/gtest.h>
#include <mapiutil.h>
#include <mapix.h>

#include <cstring>
#include <map>
#include <string>

#include "win/com/com_object.h"
#include "win/messaging/win_mapi.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {
namespace {

constexpr IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr std::uint32_t kTransportHeaders = 0x007D001E;

// A message's IMAPIProp with single-byte text properties; GetProps answers as a message store
// does, with a PT_ERROR value and MAPI_W_ERRORS_RETURNED for a property it lacks.
class FakeMessage final : public ComObject<IMAPIProp> {
 public:
  std::map<ULONG, std::string> texts;
  int getPropsCalls = 0;

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
    ++getPropsCalls;
    if (tags == nullptr || count == nullptr || values == nullptr) return E_INVALIDARG;
    void* block = nullptr;
    if (FAILED(MAPIAllocateBuffer(sizeof(SPropValue) * tags->cValues, &block))) {
      return E_OUTOFMEMORY;
    }
    auto* out = static_cast<SPropValue*>(block);
    HRESULT result = S_OK;
    for (ULONG i = 0; i < tags->cValues; ++i) {
      const auto it = texts.find(tags->aulPropTag[i]);
      if (it == texts.end()) {
        out[i].ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tags->aulPropTag[i]));
        out[i].Value.err = MAPI_E_NOT_FOUND;
        result = MAPI_W_ERRORS_RETURNED;
        continue;
      }
      void* text = nullptr;
      MAPIAllocateMore(static_cast<ULONG>(it->second.size() + 1), block, &text);
      std::memcpy(text, it->second.c_str(), it->second.size() + 1);
      out[i].ulPropTag = it->first;
      out[i].Value.lpszA = static_cast<LPSTR>(text);
    }
    *count = tags->cValues;
    *values = out;
    return result;
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
};

// The item's MAPIOBJECT as Outlook's adapter hands it over: the object's IUnknown.
MapiComObject mapiObjectOf(IUnknown* object) { return MapiComObject(ComPtr<IUnknown>(object)); }

TEST(MapiAdapter, ATextPropertyComesBackInTheProductsLayoutAndIsFreedOnce) {
  auto message = makeComObject<FakeMessage>();
  message->texts[kTransportHeaders] = "  Received: by mx\r\nTo: sales@contoso.com  ";
  WinMapi mapi;
  MapiComObject object = mapiObjectOf(message.get());
  platform::SPropValue* value = nullptr;
  ASSERT_EQ(mapi.hrGetOneProp(&object, kTransportHeaders, &value), platform::kSOk);
  ASSERT_NE(value, nullptr);
  {
    platform::MapiBuffer owned(mapi, value);
    EXPECT_EQ(owned.get()->ulPropTag, kTransportHeaders);
    // Blanks, carriage returns and line feeds come back as stored: trimming is the reader's.
    EXPECT_STREQ(owned.get()->Value.lpszA, "  Received: by mx\r\nTo: sales@contoso.com  ");
  }
  EXPECT_EQ(message->getPropsCalls, 1);
}

TEST(MapiAdapter, AMissingPropertyIsNotFoundAndLeavesNothingToFree) {
  auto message = makeComObject<FakeMessage>();
  WinMapi mapi;
  MapiComObject object = mapiObjectOf(message.get());
  platform::SPropValue* value = reinterpret_cast<platform::SPropValue*>(&mapi);  // not null
  EXPECT_EQ(mapi.hrGetOneProp(&object, kTransportHeaders, &value), platform::kMapiENotFound);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(mapi.mapiFreeBuffer(nullptr), platform::kSOk);
}

TEST(MapiAdapter, AnObjectWithoutMapiPropertiesIsRefused) {
  WinMapi mapi;
  platform::SPropValue* value = nullptr;
  auto dispatchOnly = makeComObject<ScriptedObject>();
  MapiComObject notMapi = mapiObjectOf(static_cast<IDispatch*>(dispatchOnly.get()));
  EXPECT_EQ(mapi.hrGetOneProp(&notMapi, kTransportHeaders, &value), platform::kEInvalidArg);
  class Foreign final : public platform::MapiObject {};
  Foreign foreign;
  EXPECT_EQ(mapi.hrGetOneProp(&foreign, kTransportHeaders, &value), platform::kEInvalidArg);
  EXPECT_EQ(mapi.hrGetOneProp(nullptr, kTransportHeaders, &value), platform::kEInvalidArg);
  EXPECT_EQ(mapi.hrGetOneProp(&notMapi, kTransportHeaders, nullptr), platform::kEInvalidArg);
  EXPECT_EQ(value, nullptr);
}

}  // namespace
}  // namespace korvanel::win::testing
