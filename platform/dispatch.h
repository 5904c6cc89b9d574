// A late-bound object: members reached by name only, as the Options page reaches the
// add-in's published object ("sUN", "sPN", "sSMBXs", "IsRestart", "PrepareAccessibleMBX").
// Unknown members and failures give an empty Variant / false. Single-threaded.
#pragma once

#include <memory>
#include <vector>

#include "platform/variant.h"

namespace korvanel::platform {

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Property get.
  virtual Variant get(TextView member) = 0;
  // Property let; false when the member is unknown or the call fails.
  virtual bool put(TextView member, const Variant& value) = 0;
  // Method call; the method's result, empty for a method without one or on failure.
  virtual Variant call(TextView member, const std::vector<Variant>& args) = 0;
};

using DispatchPtr = std::shared_ptr<Dispatch>;

}  // namespace korvanel::platform
