// Between COM's VARIANT and the product's platform::Variant, for late-bound members.
#pragma once

#include <oaidl.h>

#include <optional>
#include <vector>

#include "platform/variant.h"

namespace korvanel::win {

// Empty, VT_NULL, objects and anything without a text form give an empty Variant; Booleans
// stay Booleans; integer types that fit 32 bits become long; a one-dimensional byte array
// becomes Bytes and any other one-dimensional array a text list; every other scalar its
// text. A VT_BYREF value is read through its reference.
platform::Variant fromVariant(const VARIANT& value);

// Writes value into *out (which must be initialised; it is cleared first). False when it
// cannot be built (out of memory), leaving *out empty.
bool toVariant(const platform::Variant& value, VARIANT* out);

// Several values as one array argument (VT_ARRAY | VT_VARIANT), as Outlook's methods that
// take many at once want them; an empty Variant in the list becomes, when errorForEmpty is
// not S_OK, an error value (VT_ERROR) with that code. Same contract as toVariant.
bool toVariantArray(const std::vector<platform::Variant>& values, VARIANT* out,
                    SCODE errorForEmpty = S_OK);
// The elements of a one-dimensional array, each read as fromVariant reads a value (an error
// value reads as empty); nullopt for anything but an array.
std::optional<std::vector<platform::Variant>> fromVariantArray(const VARIANT& value);

}  // namespace korvanel::win
