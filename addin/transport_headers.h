// Reading the recipient lists out of a message's transport header text (the raw
// "Name: value" lines that the server recorded, each ending in CR LF or a bare LF).
#pragma once

#include "text/text.h"

namespace korvanel::addin {

// The server's list of a message's recipients (the x-recipientlist property, or the value
// of an "X-RecipientList:" line), "a@x.com; b@y.com", as a RecipientList: one entry per
// ";"-separated piece, without the spaces and tabs around it; empty pieces are dropped.
text::Text serverRecipientList(text::TextView value);

// The addresses of the first "X-RecipientList:" line (header name in the first column,
// any letter case) as a RecipientList (see serverRecipientList). Empty when there is no
// such line. Continuation lines are not read.
text::Text GetXRecipientList(text::TextView headers);

// One RecipientList entry per recipient named by the "To:" and "Cc:" lines (header name in
// the first column, any letter case) and their continuation lines. A recipient ends at a
// comma outside double quotes, angle brackets and parenthesised comments; a "<" that no ">"
// closes on its line opens no brackets. A group gives its members ("Team: a@x.com,
// b@y.com;"). A continuation line folded with a tab after a whole recipient starts a new
// one; folded with spaces, or in the middle of a recipient, it continues the recipient. A
// line that begins with a blank always continues the header; any other line ends it when
// it holds a ":" outside quotes. Entries keep their text as written (usually with a leading
// blank); blank pieces are dropped. Empty when there is no such line.
text::Text GetToCcList(text::TextView headers);

}  // namespace korvanel::addin
