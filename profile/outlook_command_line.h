// The command lines on which the product starts Outlook again: the program under
// %ProgramFiles%\Microsoft Office\Office<version>, then options, then the profile name in
// double quotes.
#pragma once

#include <optional>

#include "platform/shell.h"
#include "text/text.h"

namespace korvanel::profile {

using text::Text;
using text::TextView;

inline constexpr char16_t kProfileOption[] = u" /profile ";
// Extensions off, as the directory re-read starts Outlook.
inline constexpr char16_t kSafeProfileOption[] = u" /safe:3 /profile ";

// Whether a profile name can stand between double quotes on a command line as one
// argument: no double quote, no line break or NUL, no backslash that would escape the
// closing quote. A name that fails is never put on a command line.
bool isQuotableProfileName(TextView profileName);

// "\"%ProgramFiles%\Microsoft Office\Office<version>\Outlook.exe\"" + options + "\"name\"";
// nullopt when the name (or the program path) cannot be quoted safely.
std::optional<Text> OutlookCommandLine(platform::Shell& shell, int outlookVersion, TextView options,
                                       TextView profileName);

// Starts Outlook on the profile without waiting. False (and nothing started) when the
// command line cannot be built safely or the start fails.
bool startOutlook(platform::Shell& shell, int outlookVersion, TextView options,
                  TextView profileName, int windowStyle);

}  // namespace korvanel::profile
