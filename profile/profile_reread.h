// The re-read of the user's addresses from the directory: a temporary copy of the profile's
// Exchange service that Outlook fills when it starts on it once, whose fresh proxy list is
// then copied back into the user's profile. The profile manager library does the
// profile work.
#pragma once

#include <cstdint>

#include "platform/services.h"
#include "profile/registry_primitives.h"
#include "text/text.h"

namespace korvanel::profile {

// The temporary profile is the user's profile name followed by this.
inline constexpr char16_t kTempProfileSuffix[] = u"_delete_it";
// The uId of the Exchange service's global profile section, whose DisplayName is the
// mailbox name.
inline constexpr char16_t kExchangeGlobalSectionUid[] = u"13dbb0c8aa05101a9bb000aa002fc45a";
// The MAPI properties that configure an Exchange service without resolving it.
inline constexpr std::uint32_t kPrProfileUnresolvedName = 0x6607001E;
inline constexpr std::uint32_t kPrProfileUnresolvedServer = 0x6608001E;

// Copies the proxy list of the source profile's global section into the target's: the
// first of "101f6637" and "101e6637" that holds an SMTP address, under its own name; the
// other form goes from the target, so the new list is the one read there. True when the
// list was written; a source without an SMTP address leaves the target untouched, and so
// does a failure: the target keeps its old list, never one shadowed by the other form.
bool CopyProfileSmtpAddresses(RegistryPrimitives& reg, TextView source, TextView target);

// Creates profile name with an Exchange service configured from the unresolved mailbox
// and server names. Above 0 once the service was configured (the trimmed name's length);
// 0 when something before that failed.
std::int16_t CreateTempExchangeProfile(platform::ObjectFactory& objects, TextView name,
                                       TextView mailbox, TextView server);

// Deletes the first profile whose name equals name without regard to case.
void DeleteProfile(platform::ObjectFactory& objects, TextView name);

// Finds the profile's Exchange mailbox and server, creates the temporary profile and starts
// Outlook on it hidden, in safe mode, without waiting. When the temporary profile cannot be
// made (or its name cannot be put on a command line) the user is told to re-create the
// profile by hand. False when no Outlook was started and nothing was said: the profile
// manager, the profile or its Exchange service could not be had, or Outlook did not start.
bool RereadProfileAddresses(platform::Services& services, RegistryPrimitives& reg,
                            TextView profileName, int outlookVersion);

}  // namespace korvanel::profile
