// CreateObject by ProgID, as a late-bound client creates a class: the ProgID's class
// identifier from the registry, then the object from whichever server the class has.
#pragma once

#include <oaidl.h>

#include "text/text.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// The new object's IDispatch; null when the ProgID is not registered or the object cannot be
// created.
ComPtr<IDispatch> createObject(text::TextView progId) noexcept;

}  // namespace korvanel::win
