// The text input box: a modal dialog with the prompt, an edit control offering a default
// text (selected, so typing replaces it), OK and Cancel, owned by the active window.
#pragma once

#include <windows.h>

#include <optional>

#include "text/text.h"

namespace korvanel::win {

// The dialog's controls, for whoever answers it (a test, a hook).
inline constexpr int kInputBoxPromptId = 100;
inline constexpr int kInputBoxEditId = 101;

// The text in the edit control when OK was pressed; nullopt on Cancel, on closing the box or
// when it cannot be shown.
std::optional<text::Text> showInputBox(HWND owner, text::TextView prompt, text::TextView title,
                                       text::TextView defaultText) noexcept;

}  // namespace korvanel::win
