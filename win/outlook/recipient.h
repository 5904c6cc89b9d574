// Outlook's Recipients, Recipient and AddressEntry over late binding.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::RecipientsPtr makeRecipients(ComPtr<IDispatch> recipients);
platform::RecipientPtr makeRecipient(ComPtr<IDispatch> recipient);

}  // namespace korvanel::win
