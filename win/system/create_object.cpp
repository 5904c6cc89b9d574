#include "win/system/create_object.h"

#include <objbase.h>

#include "win/com/wide.h"

namespace korvanel::win {

ComPtr<IDispatch> createObject(text::TextView progId) noexcept {
  try {
    CLSID clsid = {};
    if (FAILED(CLSIDFromProgID(toWide(progId).c_str(), &clsid))) return {};
    ComPtr<IDispatch> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, object.putVoid()))) {
      return {};
    }
    return object;
  } catch (...) {
    return {};
  }
}

}  // namespace korvanel::win
