#include "win/system/send_input.h"

namespace korvanel::win {

std::optional<platform::LayoutKey> layoutKeyOf(char16_t c) noexcept {
  const SHORT scan = VkKeyScanW(static_cast<WCHAR>(c));
  if (scan == -1) return std::nullopt;
  const unsigned shiftState = (static_cast<unsigned>(scan) >> 8) & 0xFF;
  platform::LayoutKey key;
  key.virtualKey = static_cast<std::uint16_t>(scan & 0xFF);
  key.shift = (shiftState & 1) != 0;
  key.ctrl = (shiftState & 2) != 0;
  key.alt = (shiftState & 4) != 0;
  return key;
}

std::vector<INPUT> inputRecords(std::span<const platform::KeyEvent> events) {
  std::vector<INPUT> records;
  records.reserve(events.size());
  for (const platform::KeyEvent& e : events) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    if (e.virtualKey == 0) {
      input.ki.wScan = static_cast<WORD>(e.character);
      input.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
      input.ki.wVk = e.virtualKey;
      // Programs that read scan codes (and Wine's own translation) want them too.
      input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(e.virtualKey, 0 /* MAPVK_VK_TO_VSC */));
      if (e.extended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if (e.up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    records.push_back(input);
  }
  return records;
}

bool typeKeys(text::TextView keys) noexcept {
  try {
    const auto strokes = platform::parseSendKeys(keys);
    if (!strokes) return false;
    std::vector<INPUT> records = inputRecords(platform::keyEvents(*strokes, layoutKeyOf));
    if (records.empty()) return true;
    const UINT sent = SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
    return sent == records.size();
  } catch (...) {
    return false;
  }
}

}  // namespace korvanel::win
