// The texts of the page's message boxes and input box, word for word as users have always
// seen them. Lines are separated by a carriage return alone.
#pragma once

namespace korvanel::page {

inline constexpr char16_t kRestartQuestion[] =
    u"Outlook will be restarted to finish the configuration.\rRestart it now?";
inline constexpr char16_t kRefreshQuestion[] =
    u"Outlook will be restarted to re-read the e-mail addresses stored in the Active "
    u"Directory.\rYou should re-populate the list after restarting.\rContinue?";
// Followed by the identities, one a line, when an Apply could not save them all.
inline constexpr char16_t kIdentitiesNotSavedNotice[] =
    u"Korvanel could not save these identities; Outlook is not restarted:";
// The page could not learn the running add-in's profile, so it has nothing to read from or
// save to: said when the user's change or button would need it.
inline constexpr char16_t kNothingSavedNotice[] =
    u"Korvanel could not reach its add-in in this Outlook: identities can be neither read nor "
    u"saved.";
// The add-in could not tell the page the user's name, which every directory row carries.
inline constexpr char16_t kNoUserNameNotice[] =
    u"Korvanel could not learn the user's name from Outlook: no address is added.";
// The add-in could not be asked to start Outlook again: Outlook is left running.
inline constexpr char16_t kNotRestartedNotice[] =
    u"Korvanel could not restart Outlook.\rPlease restart it yourself to finish the "
    u"configuration.";
inline constexpr char16_t kDeleteSelectedQuestion[] =
    u"Are you sure you want to delete the selected item from the list?";
inline constexpr char16_t kDeleteAllQuestion[] =
    u"Are you sure you want to delete all items from the list?";
inline constexpr char16_t kImproperFolderNotice[] =
    u"You should select a non-default folder in the default mailbox";
inline constexpr char16_t kNoSharedMailboxesNotice[] =
    u"There are no shared mailboxes in the current profile or\ryou have insufficient rights on "
    u"the shared mailbox(es)";
// Followed by the primary address, a carriage return and kNoSmtpAddressesNoticeEnd.
inline constexpr char16_t kNoSmtpAddressesNotice[] =
    u"There are no SMTP addresses except the default one: ";
inline constexpr char16_t kNoSmtpAddressesNoticeEnd[] = u"in Active Directory";
inline constexpr char16_t kAddPrompt[] = u"Add new identity:";
inline constexpr char16_t kChangePrompt[] = u"Change selected identity:";

// Questions: Yes and No, exclamation icon, No as default. Notices: exclamation icon, OK.
inline constexpr long kQuestionStyle = 308;
inline constexpr long kNoticeStyle = 48;

}  // namespace korvanel::page
