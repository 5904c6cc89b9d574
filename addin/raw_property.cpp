#include "addin/raw_property.h"

#include <cstring>
#include <string_view>

#include "platform/mapi.h"

namespace korvanel::addin {

text::Text PtrToStr(const char* address, const profile::AnsiCodePage& codePage) {
  if (address == nullptr) return text::Text();
  const std::string_view bytes(address, std::strlen(address));
  return text::trim(codePage.decode(bytes));
}

text::Text ReadRawStringProperty(AddinContext& ctx, platform::Item& item, std::uint32_t propTag) {
  try {
    platform::MapiObjectPtr object = item.mapiObject();
    if (!object) return text::Text();
    platform::Mapi& mapi = ctx.services.mapi;
    platform::SPropValue* value = nullptr;
    if (mapi.hrGetOneProp(object.get(), propTag, &value) != platform::kSOk) return text::Text();
    const platform::MapiBuffer buffer(mapi, value);
    if (!buffer) return text::Text();
    // Only a single-byte string's value field holds a text address; anything else (an error
    // value, another type) is not read as one.
    if ((value->ulPropTag & 0xFFFFu) != platform::kPtString8) return text::Text();
    return PtrToStr(value->Value.lpszA, ctx.codePage);
  } catch (...) {
    return text::Text();
  }
}

}  // namespace korvanel::addin
