#include "profile/outlook_command_line.h"

namespace korvanel::profile {

namespace {

// A double quote would end the quoted argument; a line break or NUL would end the line.
constexpr TextView kUnquotable(u"\"\r\n\0", 4);

bool hasUnquotableCharacter(TextView s) { return s.find_first_of(kUnquotable) != TextView::npos; }

}  // namespace

bool isQuotableProfileName(TextView profileName) {
  if (text::trim(profileName).empty() || hasUnquotableCharacter(profileName)) return false;
  // A backslash before the closing quote would escape it for the program's argument parser.
  return profileName.back() != u'\\';
}

std::optional<Text> OutlookCommandLine(platform::Shell& shell, int outlookVersion, TextView options,
                                       TextView profileName) {
  if (!isQuotableProfileName(profileName)) return std::nullopt;
  Text program = shell.environmentVariable(u"ProgramFiles");
  program += u"\\Microsoft Office\\Office";
  program += text::toText(outlookVersion);
  program += u"\\Outlook.exe";
  if (hasUnquotableCharacter(program)) return std::nullopt;

  Text line;
  line.reserve(program.size() + options.size() + profileName.size() + 4);
  line += u'"';
  line += program;
  line += u'"';
  line += options;
  line += u'"';
  line += profileName;
  line += u'"';
  return line;
}

bool startOutlook(platform::Shell& shell, int outlookVersion, TextView options,
                  TextView profileName, int windowStyle) {
  const std::optional<Text> line = OutlookCommandLine(shell, outlookVersion, options, profileName);
  if (!line) return false;
  return shell.startProcess(*line, windowStyle);
}

}  // namespace korvanel::profile
