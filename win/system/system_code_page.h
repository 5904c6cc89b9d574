// The system's ANSI code page, for the profile code's emulation of advapi32's "A" functions.
#pragma once

#include "profile/ansi_code_page.h"

namespace korvanel::win {

profile::AnsiCodePage systemCodePage();

}  // namespace korvanel::win
