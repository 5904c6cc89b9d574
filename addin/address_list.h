// Turning a RecipientList into bare addresses and the display names written with them.
#pragma once

#include <vector>

#include "text/text.h"

namespace korvanel::addin {

// One address read from a recipient entry, with the display name written before it
// (empty when there is none). Both are views into the parsed list or the filter.
struct ParsedAddress {
  text::TextView address;
  text::TextView name;
};

// The addresses of list, one per entry that holds an "@", in list order. An entry is read
// as: text up to the nearest space, quote, apostrophe or "<" before the first "@" is the
// display name (trimmed, surrounding quotes and apostrophes removed); the address runs
// from there to the first space, quote, apostrophe or ">" after the "@". A comma is not a
// delimiter. With a non-empty filter (a RecipientList), only addresses equal to a filter
// entry without regard to case are kept; if none is, the filter entries themselves are the
// result, without names. The views stay valid as long as list and filter do.
std::vector<ParsedAddress> parseAddressEntries(text::TextView list, text::TextView filter);

// The same as RecipientLists: returns the addresses and appends the parallel list of
// display names to names (one entry per address, empty names included).
text::Text ParseAddressList(text::TextView list, text::Text& names, text::TextView filter);

}  // namespace korvanel::addin
