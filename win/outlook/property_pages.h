// The PropertyPages that Outlook's OptionsPagesAdd passes, over late binding.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::PropertyPagesPtr makePropertyPages(ComPtr<IDispatch> pages);

}  // namespace korvanel::win
