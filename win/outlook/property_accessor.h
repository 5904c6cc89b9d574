// Outlook 2007's PropertyAccessor over late binding: an item's MAPI properties by schema name.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::PropertyAccessorPtr makePropertyAccessor(ComPtr<IDispatch> accessor);

}  // namespace korvanel::win
