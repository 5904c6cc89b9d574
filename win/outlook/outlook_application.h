// Outlook's Application over late binding, with its events ItemSend, NewMailEx and
// OptionsPagesAdd.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::ApplicationPtr makeApplication(ComPtr<IDispatch> application);

}  // namespace korvanel::win
