// The SendKeys-notation parser over any text. Beyond not crashing: the keystrokes of valid
// notation, written back in the notation, parse to the same keystrokes.
#include "fuzz_check.h"
#include "platform/send_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace platform = korvanel::platform;
  const korvanel::text::Text keys = korvanel::text::fromUtf8(korvanel::fuzz::bytesOf(data, size));
  const auto strokes = platform::parseSendKeys(keys);
  if (!strokes) return 0;
  korvanel::text::Text written;
  for (const platform::KeyStroke& stroke : *strokes) written += stroke.notation();
  const auto again = platform::parseSendKeys(written);
  korvanel::fuzz::require(again.has_value(), "written keystrokes are valid notation");
  korvanel::fuzz::require(*again == *strokes, "written keystrokes parse to the same keystrokes");
  return 0;
}
