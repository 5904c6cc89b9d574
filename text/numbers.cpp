// Reading and writing the numbers that settings and account keys hold as text.
#include <cstdint>
#include <limits>

#include "text/text.h"

namespace korvanel::text {

std::optional<std::uint32_t> readHex(TextView s) {
  if (s.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : s) {
    std::uint32_t digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return std::nullopt;
    }
    if (value > (std::numeric_limits<std::uint32_t>::max() >> 4)) return std::nullopt;
    value = (value << 4) | digit;
  }
  return value;
}

std::optional<long> readInteger(TextView s) {
  s = trimNull(s);
  std::size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
    negative = s[i] == u'-';
    ++i;
  }
  // Accumulated as a magnitude in 64 bits and held to the 32-bit range, so the reading is
  // the same where long is 32-bit (Windows) and 64-bit (Linux).
  constexpr std::int64_t kMaxMagnitude = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  const std::size_t digitsStart = i;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + (s[i] - u'0');
    if (magnitude > kMaxMagnitude) return std::nullopt;
  }
  if (i == digitsStart) return std::nullopt;
  while (i < s.size() && s[i] == u' ') ++i;
  if (i != s.size()) return std::nullopt;
  if (!negative && magnitude == kMaxMagnitude) return std::nullopt;
  return static_cast<long>(negative ? -magnitude : magnitude);
}

Text toText(long long n) {
  // Built from the magnitude in unsigned arithmetic so the most negative value works too.
  unsigned long long magnitude =
      n < 0 ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  char16_t buffer[24];
  std::size_t pos = sizeof buffer / sizeof buffer[0];
  do {
    buffer[--pos] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) buffer[--pos] = u'-';
  return Text(buffer + pos, buffer + sizeof buffer / sizeof buffer[0]);
}

}  // namespace korvanel::text
