// CDO 1.21's Fields collection and Field over late binding. Fields are reached by name
// ("{set}name" or "0x8580" with a set) or by property tag, passed as CDO's Long.
#pragma once

#include <oaidl.h>

#include "platform/cdo.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::CdoFieldsPtr makeCdoFields(ComPtr<IDispatch> fields);
platform::CdoFieldPtr makeCdoField(ComPtr<IDispatch> field);

}  // namespace korvanel::win
