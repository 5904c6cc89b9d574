// CDO 1.21's Message and InfoStore over late binding: the two objects whose Fields the
// product reads and writes.
#pragma once

#include <oaidl.h>

#include "platform/cdo.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::CdoMessagePtr makeCdoMessage(ComPtr<IDispatch> message);
platform::CdoInfoStorePtr makeCdoInfoStore(ComPtr<IDispatch> store);

}  // namespace korvanel::win
