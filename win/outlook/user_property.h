// An item's UserProperties and UserProperty, and its Attachments, over late binding.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::UserPropertiesPtr makeUserProperties(ComPtr<IDispatch> properties);
platform::AttachmentsPtr makeAttachments(ComPtr<IDispatch> attachments);

}  // namespace korvanel::win
