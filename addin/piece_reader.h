// Walks the pieces of a text between separators as views into it, without copying, for
// the hot paths that read every arriving message's headers and recipients. Same pieces as
// text::split: an empty text has none, a non-empty one has every piece, empty ones included.
#pragma once

#include <cstring>

#include "text/text.h"

namespace korvanel::addin {

// Position of the first code unit c at or after from, or npos. Header blocks run to
// kilobytes and are read on every arriving message, so an ASCII unit is looked for with
// memchr on its byte and then checked as a whole unit, whatever the byte order.
inline std::size_t findUnit(text::TextView s, char16_t c, std::size_t from = 0) {
  if (from >= s.size()) return text::TextView::npos;
  if (c == 0 || c >= 0x80) return s.find(c, from);
  const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t end = s.size() * sizeof(char16_t);
  std::size_t at = from * sizeof(char16_t);
  while (at < end) {
    const void* hit = std::memchr(bytes + at, static_cast<int>(c), end - at);
    if (hit == nullptr) return text::TextView::npos;
    const std::size_t offset =
        static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - bytes);
    const std::size_t unit = offset / sizeof(char16_t);
    if (s[unit] == c) return unit;
    at = offset + 1;
  }
  return text::TextView::npos;
}

class PieceReader {
 public:
  // An empty separator gives the whole text as one piece. Both views must outlive the reader.
  PieceReader(text::TextView s, text::TextView separator)
      : rest_(s), separator_(separator), done_(s.empty()) {}

  // The next piece, or false when there is none left.
  bool next(text::TextView& piece) {
    if (done_) return false;
    const std::size_t at = findSeparator();
    if (at == text::TextView::npos) {
      piece = rest_;
      done_ = true;
      return true;
    }
    piece = rest_.substr(0, at);
    rest_.remove_prefix(at + separator_.size());
    return true;
  }

 private:
  std::size_t findSeparator() const {
    if (separator_.empty()) return text::TextView::npos;
    for (std::size_t at = findUnit(rest_, separator_[0]); at != text::TextView::npos;
         at = findUnit(rest_, separator_[0], at + 1)) {
      if (rest_.substr(at, separator_.size()) == separator_) return at;
    }
    return text::TextView::npos;
  }

  text::TextView rest_;
  text::TextView separator_;
  bool done_;
};

// The text without leading and trailing U+0020, as a view into it.
inline text::TextView trimView(text::TextView s) {
  const std::size_t first = s.find_first_not_of(u' ');
  if (first == text::TextView::npos) return {};
  return s.substr(first, s.find_last_not_of(u' ') - first + 1);
}

// Mail separates the words of its header values with spaces and tabs alike.
inline bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The text without leading and trailing spaces and tabs, as a view into it.
inline text::TextView trimBlanks(text::TextView s) {
  constexpr text::TextView kBlanks = u" \t";
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == text::TextView::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace korvanel::addin
