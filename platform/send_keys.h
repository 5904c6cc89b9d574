// The SendKeys notation, as the product writes keystrokes: "+" Shift, "^" Ctrl and "%" Alt
// apply to the next key or to a parenthesised group, "~" is Enter, "{NAME}" a named key
// ("{TAB}", "{END}", "{Esc}", "{Right}"), "{NAME n}" repeats it, "{+}" and its like are the
// literal character. Parsed into single keystrokes: the simulation delivers them one by one
// to whichever window has the focus, the Windows shell types them with SendInput.
#pragma once

#include <optional>
#include <vector>

#include "text/text.h"

namespace korvanel::platform {

using text::Text;
using text::TextView;

struct KeyStroke {
  // A character as typed ("n", "2", "+"), or a named key in its canonical upper-case name
  // ("TAB", "END", "ESC", "RIGHT", "ENTER").
  Text key;
  bool named = false;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;

  // The keystroke written back in the notation: "+{TAB}", "%n", "2".
  Text notation() const;
  // The character key c without modifiers other than those given (case ignored).
  bool isChar(char16_t c) const;
  bool isNamed(TextView name) const { return named && key == name; }
  bool plain() const { return !shift && !ctrl && !alt; }
  bool operator==(const KeyStroke&) const = default;
};

// nullopt when the text is not valid notation (an unknown key name, unbalanced braces or
// parentheses, a modifier with nothing after it), as SendKeys then fails without typing.
// A pure function of the text: any input at all gives a result, never an exception other
// than std::bad_alloc.
std::optional<std::vector<KeyStroke>> parseSendKeys(TextView keys);

}  // namespace korvanel::platform
