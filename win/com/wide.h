// Text at the Win32 boundary: wchar_t is 16 bits on Windows, so conversion is a copy of
// code units (no reinterpretation of one character type as another).
#pragma once

#include <string>

#include "text/text.h"

namespace korvanel::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");

inline std::wstring toWide(text::TextView s) { return std::wstring(s.begin(), s.end()); }

inline text::Text fromWide(const wchar_t* s, std::size_t length) {
  return text::Text(s, s + length);
}

inline text::Text fromWide(const wchar_t* s) {
  return s == nullptr ? text::Text() : fromWide(s, std::char_traits<wchar_t>::length(s));
}

}  // namespace korvanel::win
