// A message as a file: an RFC 5322 message or only its header block, with CRLF or LF line
// ends. What the tool needs of it is the header block as a server records it in the
// transport headers (CRLF line ends) and a few field values.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

// The header block of the message bytes: everything before the first empty line, every
// line end made CRLF (a lone LF or CR is read as CRLF), ending with CRLF. Bytes that are
// not UTF-8 are read as Windows-1252.
Text headerBlock(std::string_view message);

// Reads a message file's header block; an unreadable file is an InputFailure naming it.
Text readMessageHeaders(const std::string& path);

// The value of the first header field of that name (any letter case), its continuation
// lines unfolded, trimmed; empty when there is none.
Text headerField(TextView headers, TextView name);

}  // namespace korvanel::tool
