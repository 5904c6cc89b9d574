// Keystrokes as the key presses and releases that type them on a Windows keyboard, in
// Windows' virtual-key codes: what the Windows shell hands to SendInput, and the table a
// window that receives them reads them back with.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/send_keys.h"

namespace korvanel::platform {

inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkControl = 0x11;
inline constexpr std::uint16_t kVkMenu = 0x12;  // Alt

// The key of the keyboard layout that types a character, and the modifiers it needs there
// (what VkKeyScan answers: "A" is Shift with key 0x41 on most layouts).
struct LayoutKey {
  std::uint16_t virtualKey = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};
// nullopt when no key of the layout types the character.
using KeyboardLayout = std::function<std::optional<LayoutKey>(char16_t)>;

// One press or release. A character that no key of the layout types is sent as itself
// (virtualKey 0, character set: Windows' Unicode packet).
struct KeyEvent {
  std::uint16_t virtualKey = 0;
  char16_t character = 0;
  bool up = false;
  // The cursor and editing keys that exist twice on a keyboard are the extended ones.
  bool extended = false;
  bool operator==(const KeyEvent&) const = default;
};

// The virtual-key code of a named key in its canonical name ("TAB" gives 0x09); 0 for none.
std::uint16_t namedKeyCode(TextView canonicalName);
// The canonical name of a named key's code (0x09 gives "TAB"); empty for any other code.
TextView namedKeyOf(std::uint16_t virtualKey);

// The presses and releases that type the keystrokes in order. The modifiers a key needs (its
// own and its layout's) go down before it and come up once a following key no longer needs
// them, or after the last key: a group such as "+(ab)" holds Shift across both keys.
std::vector<KeyEvent> keyEvents(std::span<const KeyStroke> strokes, const KeyboardLayout& layout);

}  // namespace korvanel::platform
