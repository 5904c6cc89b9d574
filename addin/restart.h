// What the add-in does as it is released at Outlook's exit: start Outlook again (restart
// mode 1), re-read the user's addresses through a temporary profile (mode 2), or finish
// such a re-read (mode 3: remove the temporary profile's files, start Outlook on the base
// profile marked for a refresh).
#pragma once

#include <cstdint>

#include "addin/addin_context.h"
#include "platform/shell.h"
#include "text/text.h"

namespace korvanel::addin {

inline constexpr std::int16_t kRestartSameProfile = 1;
inline constexpr std::int16_t kRestartRereadAddresses = 2;
inline constexpr std::int16_t kRestartAfterReread = 3;

// AddinInstance_Terminate's work: nothing without a profile name (blanks only count as
// none), otherwise what RestartMode asks for.
void carryOutRestart(AddinContext& ctx);

// Whether a file name (no folder) belongs to the temporary profile: it starts with the
// profile name (dots read as blanks), ends in ".srs" or ".xml", compared without regard to
// case; every character of the name, '*' and '?' included, matches only itself.
bool isTempProfileFile(text::TextView fileName, text::TextView profileName);

// Deletes the temporary profile's *.srs and *.xml files directly in
// %AppData%\Microsoft\Outlook; nothing when AppData is not set. Returns how many went.
int deleteTempProfileFiles(platform::Shell& shell, text::TextView profileName);

}  // namespace korvanel::addin
