// Reading the recipient lists out of a message's transport header text (the raw
// "Name: value" lines that the server recorded, separated by CR LF).
#pragma once

#include "text/text.h"

namespace korvanel::addin {

// The addresses of the first "X-RecipientList:" line (header name in the first column,
// any letter case) as a RecipientList: the value trimmed, every ";" turned into an entry
// separator. Empty when there is no such line. Continuation lines are not read.
text::Text GetXRecipientList(text::TextView headers);

// One RecipientList entry per recipient named by the "To:" and "Cc:" lines (header name in
// the first column, any letter case) and their continuation lines. A recipient ends at a
// comma outside double quotes, angle brackets and parenthesised comments, and at a tab that
// folds a continuation line; a continuation folded with spaces continues the recipient.
// A line holding a ":" ends the header. Entries keep their text as written (usually with a
// leading space); blank pieces are dropped. Empty when there is no such line.
text::Text GetToCcList(text::TextView headers);

}  // namespace korvanel::addin
