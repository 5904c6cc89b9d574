// Decoding of the MAPI property values that Outlook keeps in a profile's sections (and of
// the account values stored the same way), from the bytes of the value.
#pragma once

#include "profile/ansi_code_page.h"
#include "profile/registry_primitives.h"
#include "text/text.h"

namespace korvanel::profile {

// What a value that exists but holds no bytes reads as.
inline constexpr char16_t kNotDefined[] = u"(not defined for this account)";

// A property value is ANSI when the fourth character of its name is "e" ("001e3001",
// "101e6637"); otherwise UTF-16LE. The registry type does not matter.
bool isAnsiPropertyName(TextView name);

// The text of a value's bytes in the given mode. No bytes give kNotDefined, except in
// kSmtp mode, where they (like a header whose count or string offsets do not fit the
// data) give the empty text.
Text decodeProperty(TextView name, const Bytes& data, PropertyMode mode,
                    const AnsiCodePage& codePage);

}  // namespace korvanel::profile
