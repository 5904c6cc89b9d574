// Writes MAPI profiles into a registry the way Outlook 2003/2007 leave them after the
// profile wizard: the profile key, the Exchange service's sections (global section with the
// home server and the user's proxy addresses, one store section per mailbox), and the
// account manager with the Exchange account, "NextAccountID" and the account order list.
// Used by tests and the Outlook simulation to start from a realistic profile.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/registry.h"
#include "text/text.h"

namespace korvanel::sim {

using text::Bytes;
using text::Text;
using text::TextView;

struct MailboxSection {
  Text displayName;        // "Mailbox - Help Desk"
  Text distinguishedName;  // "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk"
};

struct OutlookProfileSeed {
  Text profileName = u"Outlook";
  Text userDisplayName = u"Pat Doe";
  Text mailboxDn = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=pat";
  Text homeServer = u"EXCH01";
  // As the directory stores them, first to last, with their "SMTP:"/"smtp:"/"X400:"
  // prefixes; the upper-case "SMTP:" entry is the primary address.
  std::vector<Text> proxyAddresses = {u"SMTP:pat@contoso.com"};
  // Unicode sections ("001f"/"101f" values) as Outlook 2007 writes them; false gives the
  // ANSI forms ("001e"/"101e").
  bool unicodeSections = true;
  // False leaves the proxy list out of the global section (a profile not yet started).
  bool writeProxyAddresses = true;
  std::uint32_t exchangeAccountId = 2;
  Text exchangeAccountName = u"Microsoft Exchange Server";
  // Mailboxes opened besides the user's own, each with its store section.
  std::vector<MailboxSection> additionalMailboxes;
};

// Writes the profile. False when any write failed.
bool seedOutlookProfile(platform::Registry& registry, const OutlookProfileSeed& seed);

struct MailAccountSeed {
  enum class Type { kPop3, kImap, kHttp };
  Type type = Type::kPop3;
  Text accountName;
  Text displayName;
  Text email;
  Text pop3Server;  // also the IMAP server for kImap
  Text smtpServer;
};

// Adds an ordinary mail account as Outlook's account wizard does: the key named from
// "NextAccountID", which goes up by one, and the id appended to the order list. Returns
// the id, 0 when the profile has no account manager key.
std::uint32_t seedMailAccount(platform::Registry& registry, TextView profileName,
                              const MailAccountSeed& account);

// The class id Outlook registers for each account type.
TextView accountClsid(MailAccountSeed::Type type);

// A multi-valued MAPI string as profile sections hold it: a 4-byte count, a 4-byte offset
// per string (from the start of the value), then the strings, each with its NUL (one byte
// for ANSI in Windows-1252, one code unit for Unicode).
Bytes multiValuedStrings(const std::vector<Text>& strings, bool unicode);

}  // namespace korvanel::sim
