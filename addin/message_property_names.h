// The names under which the identity engine reaches a message's MAPI properties: the
// PropertyAccessor schema names of Outlook 2007, the CDO field names and Add arguments of
// Outlook 2003, and the bare property tags. Both paths name the same stored properties.
#pragma once

#include <cstdint>

namespace korvanel::addin {

// Markers in BillingInformation (named property 0x8535 of the common set).
inline constexpr char16_t kSendItNow[] = u"Send it now";
inline constexpr char16_t kDeleteItNow[] = u"Delete it now";
// Categories that Outlook rules add to received mail; they do not travel with a reply.
inline constexpr char16_t kReceivedAsPrefix[] = u"Received as:";
// Set on a re-send item met among new mail.
inline constexpr char16_t kResendTagProperty[] = u"KorvanelTag1";

namespace schema {
// Account name (0x8580) and AccountStamp (0x8581) of the common property set.
inline constexpr char16_t kAccountName[] =
    u"http://schemas.microsoft.com/mapi/id/{00062008-0000-0000-C000-000000000046}/8580001E";
inline constexpr char16_t kAccountStamp[] =
    u"http://schemas.microsoft.com/mapi/id/{00062008-0000-0000-C000-000000000046}/8581001E";
// The recipient list the server recorded.
inline constexpr char16_t kXRecipientList[] =
    u"http://schemas.microsoft.com/mapi/string/{00020386-0000-0000-C000-000000000046}/"
    u"x-recipientlist";
inline constexpr char16_t kTransportHeaders[] =
    u"http://schemas.microsoft.com/mapi/proptag/0x007D001E";
inline constexpr char16_t kReadReceiptRequested[] =
    u"http://schemas.microsoft.com/mapi/proptag/0x0029000B";
// Primary and next send account.
inline constexpr char16_t kPrimarySendAccount[] =
    u"http://schemas.microsoft.com/mapi/proptag/0x0E28001E";
inline constexpr char16_t kNextSendAccount[] =
    u"http://schemas.microsoft.com/mapi/proptag/0x0E29001E";
}  // namespace schema

namespace cdo {
inline constexpr char16_t kAccountName[] = u"{0820060000000000C000000000000046}0x8580";
inline constexpr char16_t kAccountStamp[] = u"{0820060000000000C000000000000046}0x8581";
inline constexpr char16_t kBilling[] = u"{0820060000000000C000000000000046}0x8535";
inline constexpr char16_t kXRecipientList[] = u"{8603020000000000C000000000000046}x-recipientlist";
inline constexpr char16_t kKeywords[] = u"{2903020000000000C000000000000046}Keywords";
// Arguments of Fields.Add for the named properties of the common set.
inline constexpr char16_t kCommonSet[] = u"0820060000000000C000000000000046";
inline constexpr char16_t kAccountNameId[] = u"0x8580";
inline constexpr char16_t kAccountStampId[] = u"0x8581";
inline constexpr char16_t kBillingId[] = u"0x8535";
}  // namespace cdo

namespace tag {
inline constexpr std::uint32_t kTransportHeaders = 0x007D001E;
inline constexpr std::uint32_t kReadReceiptRequested = 0x0029000B;
inline constexpr std::uint32_t kSentRepresentingEntryId = 0x00410102;
inline constexpr std::uint32_t kSentRepresentingName = 0x0042001E;
inline constexpr std::uint32_t kSentRepresentingEmail = 0x0065001E;
inline constexpr std::uint32_t kReplyRecipientEntries = 0x004F0102;
inline constexpr std::uint32_t kReplyRecipientNames = 0x0050001E;
inline constexpr std::uint32_t kNextSendAccount = 0x0E29001E;
inline constexpr std::uint32_t kNextSendAccountUnicode = 0x0E29001F;
}  // namespace tag

}  // namespace korvanel::addin
