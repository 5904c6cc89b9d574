// Small conveniences over a CDO message's fields, as the Outlook 2003 path of the identity
// engine reads, deletes and adds them. Every call fails quietly: a missing field reads as
// an empty value and deleting it does nothing.
#pragma once

#include <cstdint>

#include "platform/cdo.h"
#include "text/text.h"

namespace korvanel::addin {

// The field's value; empty when the message lacks it.
platform::Variant cdoFieldValue(platform::CdoFields& fields, text::TextView name);
platform::Variant cdoFieldValue(platform::CdoFields& fields, std::uint32_t propTag);
// The value as text ("" for a missing field or an array).
text::Text cdoFieldText(platform::CdoFields& fields, text::TextView name);

// Deletes the field; false when it was not there or the delete failed.
bool deleteCdoField(platform::CdoFields& fields, text::TextView name);
bool deleteCdoField(platform::CdoFields& fields, std::uint32_t propTag);

// Adds a string-typed named property of the common set: Add(id, 8, value, set).
bool addCommonTextField(platform::CdoFields& fields, text::TextView id, text::TextView value);

}  // namespace korvanel::addin
