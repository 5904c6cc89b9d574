// The ANSI code page that the registry's "A" functions would convert through. The
// simulation uses Windows-1252; the Windows adapter passes the system code page.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace korvanel::profile {

struct AnsiCodePage {
  // Bytes of the code page to text; never throws.
  std::function<text::Text(std::string_view)> decode;
  // Text to bytes of the code page (unmappable characters as the code page's default).
  std::function<std::string(text::TextView)> encode;

  static AnsiCodePage windows1252();
};

}  // namespace korvanel::profile
