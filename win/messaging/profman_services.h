// A profile's message services and their providers, as the profile-management library
// gives them, over late binding.
#pragma once

#include <oaidl.h>

#include "platform/profman.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

// Each is null for a null object.
platform::ProfManServicesPtr makeProfManServices(ComPtr<IDispatch> services);
platform::ProfManServicePtr makeProfManService(ComPtr<IDispatch> service);
platform::ProfManProvidersPtr makeProfManProviders(ComPtr<IDispatch> providers);
platform::ProfManProviderPtr makeProfManProvider(ComPtr<IDispatch> provider);

}  // namespace korvanel::win
