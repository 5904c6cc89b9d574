#include "win/system/system_code_page.h"

#include <windows.h>

#include <climits>
#include <string>

#include "win/com/wide.h"

namespace korvanel::win {

profile::AnsiCodePage systemCodePage() {
  profile::AnsiCodePage page;
  page.decode = [](std::string_view bytes) -> text::Text {
    try {
      if (bytes.empty() || bytes.size() > INT_MAX) return {};
      const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0);
      if (n <= 0) return {};
      std::wstring wide(static_cast<std::size_t>(n), L'\0');
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
      return fromWide(wide.data(), wide.size());
    } catch (...) {
      return {};
    }
  };
  page.encode = [](text::TextView s) -> std::string {
    try {
      if (s.empty() || s.size() > INT_MAX) return {};
      const std::wstring wide = toWide(s);
      const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
      if (n <= 0) return {};
      std::string bytes(static_cast<std::size_t>(n), '\0');
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                          nullptr, nullptr);
      return bytes;
    } catch (...) {
      return {};
    }
  };
  return page;
}

}  // namespace korvanel::win
