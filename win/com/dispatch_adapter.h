// platform::Dispatch over a COM object's IDispatch: members reached by name, as the Options
// page reaches the add-in's published object.
#pragma once

#include <oaidl.h>

#include "platform/dispatch.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

class DispatchAdapter final : public platform::Dispatch {
 public:
  explicit DispatchAdapter(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  platform::Variant get(platform::TextView member) override;
  bool put(platform::TextView member, const platform::Variant& value) override;
  platform::Variant call(platform::TextView member,
                         const std::vector<platform::Variant>& args) override;

  IDispatch* comObject() const { return object_.get(); }

 private:
  ComPtr<IDispatch> object_;
};

}  // namespace korvanel::win
