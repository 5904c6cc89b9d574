// Between COM's VARIANT and the product's platform::Variant, for late-bound members.
#pragma once

#include <oaidl.h>

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

}  // namespace korvanel::win
