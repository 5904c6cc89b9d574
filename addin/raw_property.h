// Reading a single-byte string property of an Outlook item straight from its Extended MAPI
// object: on Outlook 2003 the only way to the transport message headers (0x007D001E).
#pragma once

#include <cstdint>

#include "addin/addin_context.h"
#include "platform/outlook.h"
#include "profile/ansi_code_page.h"
#include "text/text.h"

namespace korvanel::addin {

// The property's text through HrGetOneProp, converted from the ANSI code page and trimmed
// of blanks; empty when the item has no MAPI object, the property is absent or is not a
// single-byte string. The value MAPI allocated is always freed.
text::Text ReadRawStringProperty(AddinContext& ctx, platform::Item& item, std::uint32_t propTag);

// The NUL-terminated single-byte text at address, converted from the code page, with
// blanks removed at both ends; empty for a null address.
text::Text PtrToStr(const char* address, const profile::AnsiCodePage& codePage);

}  // namespace korvanel::addin
