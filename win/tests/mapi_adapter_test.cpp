// Extended MAPI through the Windows adapter: one property read from an item's MAPIOBJECT with
// mapi32's HrGetOneProp, over a message object written for the test.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "win/messaging/win_mapi.h"
#include "win/served/read_only_mapi_prop.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {
namespace {

constexpr std::uint32_t kTransportHeaders = 0x007D001E;

// A message's IMAPIProp with single-byte text properties.
class FakeMessage final : public served::ReadOnlyMapiProp {
 public:
  std::map<ULONG, std::string> texts;
  int getPropsCalls = 0;

 protected:
  void onGetProps() override { ++getPropsCalls; }
  bool readProp(ULONG tag, void* buffer, SPropValue& out) override {
    const auto it = texts.find(tag);
    return it != texts.end() && readText(tag, it->second, buffer, out);
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
