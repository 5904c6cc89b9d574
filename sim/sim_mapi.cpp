#include "sim/sim_mapi.h"

#include "sim/model.h"

namespace korvanel::sim {

using platform::HResult;
using platform::kEInvalidArg;
using platform::kMapiENotFound;
using platform::kSOk;

SimMapi::~SimMapi() = default;

HResult SimMapi::hrGetOneProp(platform::MapiObject* object, std::uint32_t propTag,
                              platform::SPropValue** out) {
  if (out != nullptr) *out = nullptr;
  if (faults_ != nullptr && faults_->shouldFail("Mapi.HrGetOneProp")) return kMapiECallFailed;
  auto* mapiObject = dynamic_cast<ModelMapiObject*>(object);
  if (mapiObject == nullptr || !mapiObject->item || out == nullptr) return kEInvalidArg;

  const std::uint16_t type = static_cast<std::uint16_t>(propTag & 0xFFFF);
  if (type != kPtString8 && type != kPtLong && type != kPtBoolean) return kMapiENoSupport;
  auto stored = mapiObject->item->getProperty(PropKey::tag(propTag));
  if (!stored) return kMapiENotFound;

  auto buffer = std::make_unique<Buffer>();
  buffer->value.ulPropTag = propTag;
  const Variant& v = stored->value;
  if (type == kPtString8) {
    if (!v.isText()) return kMapiENotFound;
    // MAPI converts to the ANSI code page; the NUL ends the text.
    buffer->text = text::toWindows1252(v.toText());
    buffer->value.Value.lpszA = buffer->text.c_str();
  } else if (type == kPtLong) {
    if (!v.isLong() && !v.isBool()) return kMapiENotFound;
    buffer->value.Value.l = static_cast<std::int32_t>(v.toLong());
  } else {
    if (!v.isLong() && !v.isBool()) return kMapiENotFound;
    buffer->value.Value.b = v.toBool() ? 1 : 0;
  }
  platform::SPropValue* result = &buffer->value;
  buffers_.emplace(result, std::move(buffer));
  *out = result;
  return kSOk;
}

HResult SimMapi::mapiFreeBuffer(void* buffer) {
  if (buffer == nullptr) return kSOk;  // as MAPIFreeBuffer(NULL)
  if (faults_ != nullptr && faults_->shouldFail("Mapi.MAPIFreeBuffer")) return kMapiECallFailed;
  auto it = buffers_.find(buffer);
  if (it == buffers_.end()) {
    anomalies_.push_back(u"MAPIFreeBuffer of a pointer MAPI did not hand out or already freed");
    return kEInvalidArg;
  }
  buffers_.erase(it);
  return kSOk;
}

}  // namespace korvanel::sim
