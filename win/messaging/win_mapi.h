// platform::Mapi over mapi32's HrGetOneProp and MAPIFreeBuffer. An item's MAPIOBJECT is
// handed over as a MapiComObject; values come back in platform::SPropValue's layout, in a
// buffer that MAPIFreeBuffer frees.
#pragma once

#include <unknwn.h>

#include "platform/mapi.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

class MapiComObject final : public platform::MapiObject {
 public:
  explicit MapiComObject(ComPtr<IUnknown> object) : object_(std::move(object)) {}
  IUnknown* get() const { return object_.get(); }

 private:
  ComPtr<IUnknown> object_;
};

class WinMapi final : public platform::Mapi {
 public:
  // E_INVALIDARG for an object that is not a MapiComObject or has no IMAPIProp.
  platform::HResult hrGetOneProp(platform::MapiObject* object, std::uint32_t propTag,
                                 platform::SPropValue** out) override;
  platform::HResult mapiFreeBuffer(void* buffer) override;
};

}  // namespace korvanel::win
