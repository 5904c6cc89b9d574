#include "win/served/served_mapi_prop.h"

#include "win/served/read_only_mapi_prop.h"
#include "win/served/served_stats.h"

namespace korvanel::win::served {

namespace {

platform::Mapi*& servedMapi() {
  static platform::Mapi* mapi = nullptr;
  return mapi;
}

class ServedMapiProp final : public ReadOnlyMapiProp {
 public:
  explicit ServedMapiProp(platform::MapiObjectPtr object) : object_(std::move(object)) {
    ++servedStats().liveObjects;
  }
  ~ServedMapiProp() override { --servedStats().liveObjects; }

 protected:
  void onGetProps() override {
    ++servedStats().calls["IMAPIProp.GetProps"];
    ++servedStats().totalCalls;
  }

  // One property, read through the simulation's MAPI into out (text kept in buffer's memory).
  bool readProp(ULONG tag, void* buffer, ::SPropValue& out) override {
    platform::Mapi* mapi = servedMapi();
    if (mapi == nullptr) return false;
    platform::SPropValue* value = nullptr;
    if (mapi->hrGetOneProp(object_.get(), tag, &value) != platform::kSOk || value == nullptr) {
      return false;
    }
    platform::MapiBuffer hold(*mapi, value);
    out.ulPropTag = value->ulPropTag;
    switch (PROP_TYPE(value->ulPropTag)) {
      case PT_STRING8:
        return readText(value->ulPropTag, value->Value.lpszA != nullptr ? value->Value.lpszA : "",
                        buffer, out);
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

 private:
  platform::MapiObjectPtr object_;
};

}  // namespace

void setServedMapi(platform::Mapi* mapi) { servedMapi() = mapi; }

ComPtr<IUnknown> serveMapiObject(platform::MapiObjectPtr object) {
  if (!object) return {};
  return makeComObject<ServedMapiProp, IUnknown>(std::move(object));
}

}  // namespace korvanel::win::served
