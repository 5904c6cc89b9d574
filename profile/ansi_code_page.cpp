#include "profile/ansi_code_page.h"

namespace korvanel::profile {

AnsiCodePage AnsiCodePage::windows1252() {
  return AnsiCodePage{[](std::string_view s) { return text::fromWindows1252(s); },
                      [](text::TextView s) { return text::toWindows1252(s); }};
}

}  // namespace korvanel::profile
