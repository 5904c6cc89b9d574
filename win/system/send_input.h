// Keystrokes in SendKeys notation typed into the keyboard input with SendInput, for whichever
// window has the keyboard focus when they are processed.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "platform/key_events.h"
#include "text/text.h"

namespace korvanel::win {

// The current keyboard layout's key for a character (VkKeyScan).
std::optional<platform::LayoutKey> layoutKeyOf(char16_t c) noexcept;

// The keyboard INPUT records of the presses and releases.
std::vector<INPUT> inputRecords(std::span<const platform::KeyEvent> events);

// Types the keys; false when the notation is invalid (nothing is typed) or SendInput took
// fewer records than given.
bool typeKeys(text::TextView keys) noexcept;

}  // namespace korvanel::win
