// Extended MAPI in the simulation: HrGetOneProp on an item's MAPIOBJECT reads the item's
// stored property (the same one the object model and CDO see); a single-byte string comes
// back in Windows-1252, the simulation's ANSI code page. Each successful read allocates one
// buffer that must be freed once with MAPIFreeBuffer; leaks and double frees are recorded.
//
// Failure injection: "Mapi.HrGetOneProp" (returns MAPI_E_CALL_FAILED, nothing allocated) and
// "Mapi.MAPIFreeBuffer" (returns MAPI_E_CALL_FAILED, the buffer stays allocated).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/mapi.h"
#include "sim/faults.h"
#include "text/text.h"

namespace korvanel::sim {

inline constexpr platform::HResult kMapiECallFailed = static_cast<platform::HResult>(0x80004005);
inline constexpr platform::HResult kMapiENoSupport = static_cast<platform::HResult>(0x80040102);

class SimMapi final : public platform::Mapi {
 public:
  // The fault plan, when given, must outlive this object.
  explicit SimMapi(FaultPlan* faults = nullptr) : faults_(faults) {}
  ~SimMapi() override;

  // Supports PT_STRING8, PT_LONG and PT_BOOLEAN tags (others: MAPI_E_NO_SUPPORT); an absent
  // property gives MAPI_E_NOT_FOUND; an object that is not an item's MAPIOBJECT, or a null
  // out, E_INVALIDARG.
  platform::HResult hrGetOneProp(platform::MapiObject* object, std::uint32_t propTag,
                                 platform::SPropValue** out) override;
  // E_INVALIDARG for a pointer MAPI did not hand out (or already freed).
  platform::HResult mapiFreeBuffer(void* buffer) override;

  void setFaultPlan(FaultPlan* faults) { faults_ = faults; }
  // Buffers handed out and not yet freed.
  std::size_t outstandingBuffers() const { return buffers_.size(); }
  // Misuse seen: frees of unknown pointers.
  const std::vector<text::Text>& anomalies() const { return anomalies_; }

 private:
  struct Buffer {
    platform::SPropValue value{};
    std::string text;  // what value.Value.lpszA points at
  };
  FaultPlan* faults_;
  std::map<const void*, std::unique_ptr<Buffer>> buffers_;
  std::vector<text::Text> anomalies_;
};

}  // namespace korvanel::sim
