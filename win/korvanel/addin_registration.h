// Outlook's registration of the add-in for all users:
// HKEY_LOCAL_MACHINE\Software\Microsoft\Office\Outlook\Addins\Korvanel.Connect.
#pragma once

#include <windows.h>

#include "platform/registry.h"

namespace korvanel::win {

inline constexpr platform::TextView kOutlookAddinKey =
    u"Software\\Microsoft\\Office\\Outlook\\Addins\\Korvanel.Connect";

// Writes FriendlyName, Description and LoadBehavior 3 (load at start-up).
HRESULT registerOutlookAddin(platform::Registry& registry);
// Removes the add-in's key; success when it is not there.
HRESULT unregisterOutlookAddin(platform::Registry& registry);

}  // namespace korvanel::win
