// Walks the pieces of a text between separators as views into it, without copying, for
// the hot paths that read every arriving message's headers and recipients. Same pieces as
// text::split: an empty text has none, a non-empty one has every piece, empty ones included.
#pragma once

#include "text/text.h"

namespace korvanel::addin {

class PieceReader {
 public:
  // An empty separator gives the whole text as one piece. Both views must outlive the reader.
  PieceReader(text::TextView s, text::TextView separator)
      : rest_(s), separator_(separator), done_(s.empty()) {}

  // The next piece, or false when there is none left.
  bool next(text::TextView& piece) {
    if (done_) return false;
    const std::size_t at = separator_.empty() ? text::TextView::npos : rest_.find(separator_);
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

}  // namespace korvanel::addin
