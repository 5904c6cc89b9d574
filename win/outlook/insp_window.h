// Outlook's item windows over late binding: the Inspectors collection (the source of
// NewInspector) and an Inspector with its Activate, Deactivate and Close.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::InspectorsPtr makeInspectors(ComPtr<IDispatch> inspectors);
platform::InspectorPtr makeInspector(ComPtr<IDispatch> inspector);

}  // namespace korvanel::win
