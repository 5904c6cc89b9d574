// Outlook's Application over late binding, with its Explorers, Inspectors and COMAddIns.
// This is the part of the object model that connecting the add-in needs; the members whose
// objects have no adapter here yet (the namespace, windows, items, events) give their empty
// value, as a failing call does.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::ApplicationPtr makeApplication(ComPtr<IDispatch> application);

}  // namespace korvanel::win
