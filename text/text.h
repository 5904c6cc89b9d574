// The text type of the whole product and the helpers every module needs.
// Text is UTF-16 code units, exactly what Windows and the registry hold; "without regard
// to case" folds ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanel::text {

using Text = std::u16string;
using TextView = std::u16string_view;
using Bytes = std::vector<std::uint8_t>;

// Literal helper for code that wants an ASCII literal as Text: u16("abc"). The bytes are
// read as UTF-8, so a non-ASCII literal works too.
Text u16(std::string_view ascii);

// Removes leading and trailing U+0020 only (a TAB stays).
Text trim(TextView s);

// Case folding of one code unit and of a whole text: Unicode simple case folding over the
// whole Basic Multilingual Plane (so "ÉLODIE" folds like "élodie", "ИВАН" like "иван").
// A surrogate is left as it is.
char16_t foldCase(char16_t c);
Text fold(TextView s);

bool equalsNoCase(TextView a, TextView b);
bool startsWithNoCase(TextView s, TextView prefix);
bool endsWithNoCase(TextView s, TextView suffix);
// Position of the first occurrence of needle at or after from, ignoring case; npos if none.
std::size_t findNoCase(TextView haystack, TextView needle, std::size_t from = 0);
// Three-way comparison without regard to case, in the order Windows sorts registry names
// (by upper case, so "_" sorts after the letters); 0 exactly when equalsNoCase.
int compareNoCase(TextView a, TextView b);
// Ordering for containers keyed without regard to case.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(TextView a, TextView b) const { return compareNoCase(a, b) < 0; }
};

// An empty text yields no pieces; a non-empty one yields every piece, empty ones included.
std::vector<Text> split(TextView s, TextView separator);
Text join(const std::vector<Text>& pieces, TextView separator);
// Replaces every occurrence of from (exact case) by to; an empty from changes nothing.
Text replaceAll(TextView s, TextView from, TextView to);

// The text up to, not including, its first U+0000 (the whole text when there is none).
TextView trimNull(TextView s);

// Reads a hexadecimal number ("1A", "0x1a" not accepted); nullopt when any character is not
// a hex digit, the text is empty, or the value does not fit.
std::optional<std::uint32_t> readHex(TextView s);

// The integer value of a stored text, as settings are read: the text is read up to its first
// U+0000 (a stored setting ends with one), then optional spaces, an optional sign, decimal
// digits and optional spaces. nullopt means "not a number": no digit ("", "x", "-"), anything
// else around the digits ("1x", "1 2"), or a value outside the 32-bit range (the same on every
// platform, although long is 64-bit on Linux). The caller applies its own range: "3" gives 3.
std::optional<long> readInteger(TextView s);

// Decimal text of a number.
Text toText(long long n);

// Code-page conversions at the edges. Invalid UTF-8 bytes become U+FFFD; unpaired
// surrogates become U+FFFD in UTF-8.
Text fromUtf8(std::string_view s);
std::string toUtf8(TextView s);
Bytes toUtf16leBytes(TextView s);
// An odd trailing byte is ignored.
Text fromUtf16leBytes(const std::uint8_t* data, std::size_t size);
Text fromUtf16leBytes(const Bytes& bytes);
// Windows-1252 (the simulation's ANSI code page). Unmappable characters become '?'.
Text fromWindows1252(std::string_view s);
std::string toWindows1252(TextView s);

}  // namespace korvanel::text
