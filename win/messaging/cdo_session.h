// CDO 1.21's Session ("MAPI.Session") over late binding.
#pragma once

#include <oaidl.h>

#include "platform/cdo.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::CdoSessionPtr makeCdoSession(ComPtr<IDispatch> session);

}  // namespace korvanel::win
