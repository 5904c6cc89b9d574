// The window a message box or input box of the add-in belongs to: Outlook's window that is
// active, so the box is modal to it and comes up in front of it.
#pragma once

#include <windows.h>

namespace korvanel::win {

// The calling thread's active window; else the foreground window when it belongs to this
// process; else null (the box then has no owner).
HWND activeOwnerWindow() noexcept;

}  // namespace korvanel::win
