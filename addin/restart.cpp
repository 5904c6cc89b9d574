#include "addin/restart.h"

#include "profile/outlook_command_line.h"
#include "profile/profile_reread.h"

namespace korvanel::addin {

namespace {

constexpr char16_t kOutlookDataFolder[] = u"\\Microsoft\\Outlook";
constexpr char16_t kTempProfileExtensions[][5] = {u".srs", u".xml"};

// Outlook names a profile's files after the profile with its dots turned into blanks.
text::Text profileFilePrefix(text::TextView profileName) {
  return text::replaceAll(profileName, u".", u" ");
}

// Outlook is ending and the user asked for it to come back. When it cannot, the user is told
// to start it: otherwise the configuration waits, unseen, for a start nobody makes.
constexpr char16_t kNotRestartedNotice[] =
    u"Korvanel could not start Outlook again.\rPlease start it yourself to finish the "
    u"configuration.";

void tellNotRestarted(AddinContext& ctx) {
  ctx.services.shell.messageBox(kNotRestartedNotice, kAddinTitle, platform::kMbIconExclamation);
}

// Marks the profile for the refresh and starts Outlook on it. A name that cannot stand on a
// command line starts nothing, and then no mark is left behind either: the user's own next
// start must not open the Options dialog for a restart that never happened. False when no
// Outlook was started.
bool restartOn(AddinContext& ctx, text::TextView profileName) {
  platform::Shell& shell = ctx.services.shell;
  if (!profile::OutlookCommandLine(shell, ctx.state.OutlookVersion, profile::kProfileOption,
                                   profileName))
    return false;
  ctx.settings.SetRefreshFlag(profileName);
  return profile::startOutlook(shell, ctx.state.OutlookVersion, profile::kProfileOption,
                               profileName, platform::kWindowNormalFocus);
}

}  // namespace

bool isTempProfileFile(text::TextView fileName, text::TextView profileName) {
  // Only names of files directly in the folder.
  if (fileName.find_first_of(u"\\/") != text::TextView::npos) return false;
  const text::Text prefix = profileFilePrefix(profileName);
  for (const char16_t* extension : kTempProfileExtensions) {
    const text::TextView ext(extension);
    // The prefix and the extension may not share characters: "P*.srs" needs both whole.
    if (fileName.size() < prefix.size() + ext.size()) continue;
    if (text::startsWithNoCase(fileName, prefix) && text::endsWithNoCase(fileName, ext))
      return true;
  }
  return false;
}

int deleteTempProfileFiles(platform::Shell& shell, text::TextView profileName) {
  const text::Text appData = shell.environmentVariable(u"AppData");
  // Without AppData the folder would be one below the current drive's root, which is not
  // Outlook's: nothing is deleted there.
  if (appData.empty()) return 0;
  const text::Text folder = appData + kOutlookDataFolder;
  int deleted = 0;
  for (const text::Text& name : shell.listFiles(folder)) {
    if (!isTempProfileFile(name, profileName)) continue;
    if (shell.deleteFile(folder + u"\\" + name)) ++deleted;
  }
  return deleted;
}

void carryOutRestart(AddinContext& ctx) {
  SharedState& state = ctx.state;
  if (text::trim(state.ProfileName).empty()) return;
  switch (state.RestartMode) {
    case kRestartAfterReread:
      deleteTempProfileFiles(ctx.services.shell, state.ProfileName);
      if (!state.BaseProfileName.empty() && !restartOn(ctx, state.BaseProfileName))
        tellNotRestarted(ctx);
      break;
    case kRestartRereadAddresses:
      if (!profile::RereadProfileAddresses(ctx.services, ctx.accounts.primitives(),
                                           state.ProfileName, state.OutlookVersion))
        tellNotRestarted(ctx);
      break;
    case kRestartSameProfile:
      if (!restartOn(ctx, state.ProfileName)) tellNotRestarted(ctx);
      break;
    default:
      break;
  }
}

}  // namespace korvanel::addin
