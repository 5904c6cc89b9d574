// The checks an identity typed into the input box must pass: a display name, a blank and an
// SMTP address (angle brackets optional), rewritten into the list's form "Name <address>".
#pragma once

#include <optional>

#include "text/text.h"

namespace korvanel::page {

using text::Text;
using text::TextView;

inline constexpr short kInputValid = 1;
inline constexpr short kInputCancelled = 0;
inline constexpr short kInputInvalid = -1;

// kInputCancelled for a cancelled box (nullopt), kInputInvalid for an empty or failing entry,
// kInputValid when s was an identity; s is then rewritten as name + " <" + address + ">".
// The split is at the last blank: the name may hold blanks, the address cannot.
short ValidateInput(std::optional<Text>& s);
// Trims sEmail in place; true when it is at least five characters long with its first "@"
// and its first "." neither first nor last.
bool ValidateSMTPEmail(Text& sEmail);
// A TAB or U+0001 inside an identity would split the account lists the page and the add-in
// read back at TAB and U+0001: no identity row, typed or taken from the directory or the
// mailbox list, may hold a control character.
bool hasControlCharacter(TextView s);
// False when the display name holds "/", "\", "@", "<" or ">".
bool ValidateDN(const Text& sDN);

}  // namespace korvanel::page
