// Splitting and joining the TAB- and U+0001-separated lists kept in one text.
#include "text/text.h"

namespace korvanel::text {

std::vector<Text> split(TextView s, TextView separator) {
  std::vector<Text> pieces;
  if (s.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(s);
    return pieces;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t at = s.find(separator, start);
    if (at == TextView::npos) break;
    pieces.emplace_back(s.substr(start, at - start));
    start = at + separator.size();
  }
  pieces.emplace_back(s.substr(start));
  return pieces;
}

Text join(const std::vector<Text>& pieces, TextView separator) {
  std::size_t size = 0;
  for (const Text& piece : pieces) size += piece.size() + separator.size();
  Text out;
  out.reserve(size);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out.append(separator);
    out.append(pieces[i]);
  }
  return out;
}

Text replaceAll(TextView s, TextView from, TextView to) {
  if (from.empty()) return Text(s);
  Text out;
  out.reserve(s.size());
  std::size_t start = 0;
  while (true) {
    const std::size_t at = s.find(from, start);
    if (at == TextView::npos) break;
    out.append(s.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(s.substr(start));
  return out;
}

}  // namespace korvanel::text
