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

// The entries of a filter (a RecipientList of bare addresses), each without the spaces and
// tabs around it: the server writes its list as "a@x.com; b@y.com".
std::vector<text::TextView> filterEntriesOf(text::TextView filter);

// The addresses of list, one per entry that holds an "@", in list order. Spaces and tabs are
// both blanks. An address in angle brackets (outside quotes and comments) is the entry's
// address, and the text before the "<" its display name (trimmed, surrounding quotes and
// apostrophes removed). Otherwise the text up to the nearest blank, quote, "<" or opening
// apostrophe before the first "@" is the display name, and the address runs from there to
// the first blank, quote, apostrophe or ">" after the "@" (an apostrophe inside the local
// part, as in o'brien@x.com, belongs to it). A comma is not a delimiter. With a non-empty
// filter, only addresses equal to a filter entry without regard to case are kept; if none
// is, the filter entries themselves are the result, without names. The views stay valid as
// long as list and filter do.
std::vector<ParsedAddress> parseAddressEntries(text::TextView list, text::TextView filter);

// The same as RecipientLists: returns the addresses and appends the parallel list of
// display names to names (one entry per address, empty names included).
text::Text ParseAddressList(text::TextView list, text::Text& names, text::TextView filter);

}  // namespace korvanel::addin
