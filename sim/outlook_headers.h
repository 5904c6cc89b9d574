// Transport headers and conversation indexes as Exchange and Outlook write them.
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.h"

namespace korvanel::sim {

// "From:", "To:", "Cc:" (each further address folded onto a continuation line that starts
// with a TAB, as Exchange writes long address lines), "Subject:", and "X-RecipientList:"
// when given; CRLF line ends.
text::Text buildTransportHeaders(text::TextView from, const std::vector<text::Text>& to,
                                 const std::vector<text::Text>& cc, text::TextView subject,
                                 text::TextView xRecipientList);

// A new 22-byte conversation index (header byte, 5 bytes of time, 16-byte GUID).
text::Bytes freshConversationIndex(std::uint32_t serial);
// A reply's index: the answered one plus a 5-byte child block.
text::Bytes childConversationIndex(const text::Bytes& parent, std::uint32_t serial);

text::Text hexOfBytes(const text::Bytes& bytes);
// Pairs of hexadecimal digits; stops at the first pair that is not hexadecimal.
text::Bytes bytesOfHex(text::TextView hex);

}  // namespace korvanel::sim
