// Case-insensitive comparison. Addresses and names are compared on every arriving and
// outgoing message, so folding is one table lookup per code unit, with ASCII handled
// without touching the table at all.
#include <array>
#include <cstdint>

#include "text/text.h"

namespace korvanel::text {
namespace {

struct CaseRun {
  std::uint16_t first;
  std::uint16_t last;
  std::int32_t delta;
  std::uint16_t stride;
};

#include "text/case_ranges.inc"

// Two-level table: the high byte picks a page of 256 deltas (modulo 2^16); every page with
// no mapping shares page 0, which is all zeros.
template <std::size_t kPages>
struct CaseTable {
  std::array<std::uint8_t, 256> page{};
  std::array<std::array<std::uint16_t, 256>, kPages> delta{};
};

template <std::size_t N>
constexpr std::size_t pagesNeeded(const CaseRun (&runs)[N]) {
  std::array<bool, 256> used{};
  std::size_t count = 1;
  for (const CaseRun& run : runs) {
    for (std::uint32_t c = run.first; c <= run.last; c += run.stride) {
      if (!used[c >> 8]) {
        used[c >> 8] = true;
        ++count;
      }
    }
  }
  return count;
}

template <std::size_t kPages, std::size_t N>
constexpr CaseTable<kPages> buildTable(const CaseRun (&runs)[N]) {
  CaseTable<kPages> table{};
  std::size_t next = 1;
  for (const CaseRun& run : runs) {
    for (std::uint32_t c = run.first; c <= run.last; c += run.stride) {
      std::uint8_t& page = table.page[c >> 8];
      if (page == 0) page = static_cast<std::uint8_t>(next++);
      table.delta[page][c & 0xFF] = static_cast<std::uint16_t>(run.delta);
    }
  }
  return table;
}

constexpr auto kFoldTable = buildTable<pagesNeeded(kFoldRuns)>(kFoldRuns);
constexpr auto kUpperTable = buildTable<pagesNeeded(kUpperRuns)>(kUpperRuns);

template <typename Table>
inline char16_t lookup(const Table& table, char16_t c) {
  return static_cast<char16_t>(c + table.delta[table.page[c >> 8]][c & 0xFF]);
}

inline char16_t fold1(char16_t c) {
  if (c < 0x80) return static_cast<char16_t>(static_cast<unsigned>(c - u'A') < 26u ? c + 32 : c);
  return lookup(kFoldTable, c);
}

// Upper case of the folded form: a function of the fold class, so ordering by it never
// separates two texts that equalsNoCase calls equal.
inline char16_t sortKey(char16_t folded) {
  if (folded < 0x80) {
    return static_cast<char16_t>(static_cast<unsigned>(folded - u'a') < 26u ? folded - 32 : folded);
  }
  return lookup(kUpperTable, folded);
}

inline bool equalUnits(char16_t a, char16_t b) { return a == b || fold1(a) == fold1(b); }

}  // namespace

char16_t foldCase(char16_t c) { return fold1(c); }

Text fold(TextView s) {
  Text out(s.size(), u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = fold1(s[i]);
  return out;
}

bool equalsNoCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!equalUnits(a[i], b[i])) return false;
  }
  return true;
}

bool startsWithNoCase(TextView s, TextView prefix) {
  return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(TextView s, TextView suffix) {
  return s.size() >= suffix.size() && equalsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

std::size_t findNoCase(TextView haystack, TextView needle, std::size_t from) {
  if (from > haystack.size() || needle.size() > haystack.size() - from) return TextView::npos;
  if (needle.empty()) return from;
  const char16_t first = fold1(needle[0]);
  const std::size_t lastStart = haystack.size() - needle.size();
  for (std::size_t i = from; i <= lastStart; ++i) {
    if (fold1(haystack[i]) != first) continue;
    if (equalsNoCase(haystack.substr(i + 1, needle.size() - 1), needle.substr(1))) return i;
  }
  return TextView::npos;
}

int compareNoCase(TextView a, TextView b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  // The upper-case order decides; the folded units only break ties between distinct fold
  // classes that share an upper case (such as dotless i and i).
  int tie = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t fa = fold1(a[i]);
    const char16_t fb = fold1(b[i]);
    if (fa == fb) continue;
    const char16_t ka = sortKey(fa);
    const char16_t kb = sortKey(fb);
    if (ka != kb) return ka < kb ? -1 : 1;
    if (tie == 0) tie = fa < fb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return tie;
}

}  // namespace korvanel::text
