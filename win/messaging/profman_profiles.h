// The profile-management library's Profiles ("ProfMan.Profiles") and Profile over late
// binding. Collections are 1-based, as the library counts.
#pragma once

#include <oaidl.h>

#include "platform/profman.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::ProfManProfilesPtr makeProfManProfiles(ComPtr<IDispatch> profiles);
platform::ProfManProfilePtr makeProfManProfile(ComPtr<IDispatch> profile);

}  // namespace korvanel::win
