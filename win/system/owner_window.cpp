#include "win/system/owner_window.h"

namespace korvanel::win {

HWND activeOwnerWindow() noexcept {
  if (HWND active = GetActiveWindow()) return active;
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground != nullptr && GetWindowThreadProcessId(foreground, &process) != 0 &&
      process == GetCurrentProcessId()) {
    return foreground;
  }
  return nullptr;
}

}  // namespace korvanel::win
