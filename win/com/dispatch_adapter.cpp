#include "win/com/dispatch_adapter.h"

#include "win/com/com_variant.h"
#include "win/com/late_bound.h"
#include "win/com/variant_conversion.h"

namespace korvanel::win {

using platform::Variant;

Variant DispatchAdapter::get(platform::TextView member) {
  try {
    ComVariant result;
    if (FAILED(getProperty(object_.get(), member, result.put()))) return Variant();
    return fromVariant(result.get());
  } catch (...) {
    return Variant();
  }
}

bool DispatchAdapter::put(platform::TextView member, const Variant& value) {
  try {
    ComVariant argument;
    if (!toVariant(value, argument.put())) return false;
    return SUCCEEDED(putProperty(object_.get(), member, argument.get()));
  } catch (...) {
    return false;
  }
}

Variant DispatchAdapter::call(platform::TextView member, const std::vector<Variant>& args) {
  try {
    // COM takes the arguments as a contiguous block; the owners clear them afterwards.
    std::vector<ComVariant> owned(args.size());
    std::vector<VARIANT> block;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (!toVariant(args[i], owned[i].put())) return Variant();
      block.push_back(owned[i].get());
    }
    ComVariant result;
    if (FAILED(callMethod(object_.get(), member, block, result.put()))) return Variant();
    return fromVariant(result.get());
  } catch (...) {
    return Variant();
  }
}

}  // namespace korvanel::win
