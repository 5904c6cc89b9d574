// Outlook's "MAPI" NameSpace over late binding: the session's folders, items, stores and
// accounts by entry id.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::NameSpacePtr makeNameSpace(ComPtr<IDispatch> nameSpace);

}  // namespace korvanel::win
