// What Outlook's own setup leaves in the registry and the product reads: the class
// registrations of HKEY_CLASSES_ROOT. The Outlook simulation writes them at install time.
#pragma once

#include "platform/registry.h"

namespace korvanel::sim {

// The class of a POP3 mail account, as an account key's "clsid" names it.
inline constexpr char16_t kPop3AccountClsid[] = u"{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
// Its description (model: the product only needs it to contain "POP3").
inline constexpr char16_t kPop3AccountDescription[] = u"POP3 Account";

// Writes HKEY_CLASSES_ROOT\CLSID\{POP3 class} with the description as its default value
// (REG_SZ). True when everything was written.
bool installOutlookRegistration(platform::Registry& registry);

}  // namespace korvanel::sim
