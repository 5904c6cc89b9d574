// Outlook's items (MailItem, MeetingItem, TaskRequestItem, AppointmentItem, ...) over late
// binding, as one platform::Item; a member an item type lacks simply fails.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Null for a null object.
platform::ItemPtr makeItem(ComPtr<IDispatch> item);

}  // namespace korvanel::win
