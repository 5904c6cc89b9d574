// Trimming as the stored settings and account values need it.
#include "text/text.h"

namespace korvanel::text {

Text trim(TextView s) {
  const std::size_t first = s.find_first_not_of(u' ');
  if (first == TextView::npos) return Text();
  const std::size_t last = s.find_last_not_of(u' ');
  return Text(s.substr(first, last - first + 1));
}

TextView trimNull(TextView s) {
  const std::size_t nul = s.find(u'\0');
  return nul == TextView::npos ? s : s.substr(0, nul);
}

}  // namespace korvanel::text
