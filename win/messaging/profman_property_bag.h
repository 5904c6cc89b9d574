// The profile-management library's PropertyBag ("ProfMan.PropertyBag") over late binding:
// the properties a service's Configure takes.
#pragma once

#include <oaidl.h>

#include "platform/profman.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::ProfManPropertyBagPtr makeProfManPropertyBag(ComPtr<IDispatch> bag);

}  // namespace korvanel::win
