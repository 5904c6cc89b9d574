// Keystrokes into the key presses and releases that type them.
#include "platform/key_events.h"

#include <gtest/gtest.h>

namespace korvanel::platform {
namespace {

// Enough of a US keyboard: letters, digits, "+" as Shift and "=".
std::optional<LayoutKey> usLayout(char16_t c) {
  if (c >= u'a' && c <= u'z') return LayoutKey{static_cast<std::uint16_t>(c - u'a' + 'A')};
  if (c >= u'A' && c <= u'Z') return LayoutKey{static_cast<std::uint16_t>(c), true};
  if (c >= u'0' && c <= u'9') return LayoutKey{static_cast<std::uint16_t>(c)};
  if (c == u'+') return LayoutKey{0xBB, true};
  return std::nullopt;
}

KeyEvent down(std::uint16_t vk, bool extended = false) { return {vk, 0, false, extended}; }
KeyEvent up(std::uint16_t vk, bool extended = false) { return {vk, 0, true, extended}; }

std::vector<KeyEvent> typed(TextView keys) {
  auto strokes = parseSendKeys(keys);
  EXPECT_TRUE(strokes.has_value()) << text::toUtf8(keys);
  return strokes ? keyEvents(*strokes, usLayout) : std::vector<KeyEvent>{};
}

TEST(KeyEvents, ModifiersGoDownBeforeTheKeyAndUpAfterIt) {
  // The accounts shortcut and a position, as the compose window gets them.
  EXPECT_EQ(typed(u"%n2"), (std::vector<KeyEvent>{down(kVkMenu), down('N'), up('N'), up(kVkMenu),
                                                  down('2'), up('2')}));
  // The Options dialog's tab row and its last tab.
  EXPECT_EQ(typed(u"+{TAB}{END}"),
            (std::vector<KeyEvent>{down(kVkShift), down(0x09), up(0x09), up(kVkShift),
                                   down(0x23, true), up(0x23, true)}));
  EXPECT_EQ(typed(u"{Esc}{Right}"),
            (std::vector<KeyEvent>{down(0x1B), up(0x1B), down(0x27, true), up(0x27, true)}));
}

TEST(KeyEvents, AGroupHoldsItsModifiersAcrossItsKeys) {
  EXPECT_EQ(typed(u"^+(ab)c"),
            (std::vector<KeyEvent>{down(kVkShift), down(kVkControl), down('A'), up('A'), down('B'),
                                   up('B'), up(kVkControl), up(kVkShift), down('C'), up('C')}));
}

TEST(KeyEvents, TheLayoutAddsTheModifiersACharacterNeeds) {
  EXPECT_EQ(typed(u"A{+}"), (std::vector<KeyEvent>{down(kVkShift), down('A'), up('A'), down(0xBB),
                                                   up(0xBB), up(kVkShift)}));
}

TEST(KeyEvents, ACharacterOffTheLayoutIsSentAsItself) {
  const std::vector<KeyEvent> events = typed(u"%é");
  EXPECT_EQ(events, (std::vector<KeyEvent>{down(kVkMenu), KeyEvent{0, u'é', false, false},
                                           KeyEvent{0, u'é', true, false}, up(kVkMenu)}));
  // Without a layout every character is.
  auto strokes = parseSendKeys(u"2");
  EXPECT_EQ(keyEvents(*strokes, {}), (std::vector<KeyEvent>{KeyEvent{0, u'2', false, false},
                                                            KeyEvent{0, u'2', true, false}}));
}

TEST(KeyEvents, EveryNamedKeyHasACodeThatNamesItBack) {
  for (TextView name : {u"TAB", u"END", u"ESC", u"RIGHT", u"ENTER", u"BACKSPACE", u"F10"}) {
    const std::uint16_t code = namedKeyCode(name);
    EXPECT_NE(code, 0) << text::toUtf8(name);
    EXPECT_EQ(namedKeyOf(code), name);
  }
  auto all = parseSendKeys(
      u"{BS}{BREAK}{CAPSLOCK}{DEL}{DOWN}{END}~{ESC}{HELP}{HOME}{INS}{LEFT}{NUMLOCK}{PGDN}{PGUP}"
      u"{PRTSC}{RIGHT}{SCROLLLOCK}{TAB}{UP}{F1}{F2}{F3}{F4}{F5}{F6}{F7}{F8}{F9}{F10}");
  ASSERT_TRUE(all);
  for (const KeyStroke& k : *all) EXPECT_NE(namedKeyCode(k.key), 0) << text::toUtf8(k.key);
  EXPECT_EQ(namedKeyCode(u"tab"), 0);  // canonical names only
  EXPECT_TRUE(namedKeyOf('N').empty());
}

}  // namespace
}  // namespace korvanel::platform
