// The SendKeys-notation parser over any text. Beyond not crashing: the keystrokes of valid
// notation, written back in the notation, parse to the same keystrokes.
#include "fuzz_check.h"
#include "sim/send_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace sim = korvanel::sim;
  const korvanel::text::Text keys = korvanel::text::fromUtf8(korvanel::fuzz::bytesOf(data, size));
  const auto strokes = sim::parseSendKeys(keys);
  if (!strokes) return 0;
  korvanel::text::Text written;
  for (const sim::KeyStroke& stroke : *strokes) written += stroke.notation();
  const auto again = sim::parseSendKeys(written);
  korvanel::fuzz::require(again.has_value(), "written keystrokes are valid notation");
  korvanel::fuzz::require(*again == *strokes, "written keystrokes parse to the same keystrokes");
  return 0;
}
