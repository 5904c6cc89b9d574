// Outlook 2007's Accounts and Account over late binding.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::AccountsPtr makeAccounts(ComPtr<IDispatch> accounts);
platform::AccountPtr makeAccount(ComPtr<IDispatch> account);

}  // namespace korvanel::win
