// Extended MAPI as the product uses it: one property read from an item's MAPIOBJECT with
// HrGetOneProp, and MAPIFreeBuffer. The value layout is MAPI's SPropValue; a single-byte
// string property (type 0x001E) points at NUL-terminated text in the ANSI code page
// (Shell::ansiCodePage). Single-threaded.
#pragma once

#include <cstdint>
#include <memory>

namespace korvanel::platform {

// An item's MAPIOBJECT (the message's IUnknown). Opaque: only Mapi reads it.
class MapiObject {
 public:
  virtual ~MapiObject() = default;
};
using MapiObjectPtr = std::shared_ptr<MapiObject>;

using HResult = long;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kMapiENotFound = static_cast<HResult>(0x8004010F);
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057);

inline constexpr std::uint32_t kPtString8 = 0x001E;

struct SPropValue {
  std::uint32_t ulPropTag;
  std::uint32_t dwAlignPad;
  union {
    const char* lpszA;  // PT_STRING8: NUL-terminated single-byte text
    std::int64_t li;
    std::int32_t l;
    std::uint16_t b;
  } Value;
};

class Mapi {
 public:
  virtual ~Mapi() = default;
  // On kSOk, *out receives a value allocated by MAPI that the caller frees with
  // mapiFreeBuffer; on any other result *out is left null and nothing is to be freed.
  virtual HResult hrGetOneProp(MapiObject* object, std::uint32_t propTag, SPropValue** out) = 0;
  virtual HResult mapiFreeBuffer(void* buffer) = 0;
};

// Frees a MAPI buffer when it goes out of scope.
class MapiBuffer {
 public:
  MapiBuffer() = default;
  MapiBuffer(Mapi& mapi, SPropValue* value) : mapi_(&mapi), value_(value) {}
  MapiBuffer(const MapiBuffer&) = delete;
  MapiBuffer& operator=(const MapiBuffer&) = delete;
  ~MapiBuffer() {
    if (value_ != nullptr && mapi_ != nullptr) mapi_->mapiFreeBuffer(value_);
  }
  const SPropValue* get() const { return value_; }
  explicit operator bool() const { return value_ != nullptr; }

 private:
  Mapi* mapi_ = nullptr;
  SPropValue* value_ = nullptr;
};

}  // namespace korvanel::platform
