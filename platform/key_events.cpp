#include "platform/key_events.h"

#include <array>

namespace korvanel::platform {

namespace {

struct NamedKey {
  TextView name;
  std::uint16_t code;
  bool extended;
};

// The canonical names of platform/send_keys.h and their virtual keys.
constexpr std::array<NamedKey, 30> kNamedKeys{{
    {u"BACKSPACE", 0x08, false}, {u"BREAK", 0x03, true},  {u"CAPSLOCK", 0x14, false},
    {u"DELETE", 0x2E, true},     {u"DOWN", 0x28, true},   {u"END", 0x23, true},
    {u"ENTER", 0x0D, false},     {u"ESC", 0x1B, false},   {u"HELP", 0x2F, false},
    {u"HOME", 0x24, true},       {u"INSERT", 0x2D, true}, {u"LEFT", 0x25, true},
    {u"NUMLOCK", 0x90, true},    {u"PGDN", 0x22, true},   {u"PGUP", 0x21, true},
    {u"PRTSC", 0x2C, true},      {u"RIGHT", 0x27, true},  {u"SCROLLLOCK", 0x91, false},
    {u"TAB", 0x09, false},       {u"UP", 0x26, true},     {u"F1", 0x70, false},
    {u"F2", 0x71, false},        {u"F3", 0x72, false},    {u"F4", 0x73, false},
    {u"F5", 0x74, false},        {u"F6", 0x75, false},    {u"F7", 0x76, false},
    {u"F8", 0x77, false},        {u"F9", 0x78, false},    {u"F10", 0x79, false},
}};

const NamedKey* findNamed(TextView name) {
  for (const NamedKey& k : kNamedKeys) {
    if (k.name == name) return &k;
  }
  return nullptr;
}

// The modifiers held down, pressed and released in a fixed order.
class Modifiers {
 public:
  explicit Modifiers(std::vector<KeyEvent>& out) : out_(out) {}

  void hold(bool shift, bool ctrl, bool alt) {
    // Released first, so that a key never sees a modifier it was not written with.
    set(2, alt, kVkMenu, false);
    set(1, ctrl, kVkControl, false);
    set(0, shift, kVkShift, false);
    set(0, shift, kVkShift, true);
    set(1, ctrl, kVkControl, true);
    set(2, alt, kVkMenu, true);
  }
  void releaseAll() { hold(false, false, false); }

 private:
  // With pressing, presses the modifier when wanted and not held; otherwise releases it when
  // held and not wanted.
  void set(int i, bool wanted, std::uint16_t code, bool pressing) {
    if (pressing && wanted && !held_[i]) {
      out_.push_back(KeyEvent{code, 0, false, false});
      held_[i] = true;
    } else if (!pressing && !wanted && held_[i]) {
      out_.push_back(KeyEvent{code, 0, true, false});
      held_[i] = false;
    }
  }

  std::vector<KeyEvent>& out_;
  std::array<bool, 3> held_{};
};

}  // namespace

std::uint16_t namedKeyCode(TextView canonicalName) {
  const NamedKey* k = findNamed(canonicalName);
  return k != nullptr ? k->code : 0;
}

TextView namedKeyOf(std::uint16_t virtualKey) {
  for (const NamedKey& k : kNamedKeys) {
    if (k.code == virtualKey) return k.name;
  }
  return {};
}

std::vector<KeyEvent> keyEvents(std::span<const KeyStroke> strokes, const KeyboardLayout& layout) {
  std::vector<KeyEvent> out;
  Modifiers modifiers(out);
  for (const KeyStroke& stroke : strokes) {
    KeyEvent press;
    bool shift = stroke.shift, ctrl = stroke.ctrl, alt = stroke.alt;
    if (stroke.named) {
      const NamedKey* k = findNamed(stroke.key);
      if (k == nullptr) continue;  // not a name the parser gives
      press.virtualKey = k->code;
      press.extended = k->extended;
    } else if (stroke.key.size() == 1) {
      const std::optional<LayoutKey> onLayout = layout ? layout(stroke.key[0]) : std::nullopt;
      if (onLayout && onLayout->virtualKey != 0) {
        press.virtualKey = onLayout->virtualKey;
        shift = shift || onLayout->shift;
        ctrl = ctrl || onLayout->ctrl;
        alt = alt || onLayout->alt;
      } else {
        press.character = stroke.key[0];
      }
    } else {
      continue;
    }
    modifiers.hold(shift, ctrl, alt);
    out.push_back(press);
    press.up = true;
    out.push_back(press);
  }
  modifiers.releaseAll();
  return out;
}

}  // namespace korvanel::platform
