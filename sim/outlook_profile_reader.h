// What the simulated Outlook reads of a MAPI profile in the registry when it starts: the
// default profile, the Exchange and personal-folders sections that tell which stores to
// open, the accounts in the order list's order; and what it writes into a freshly
// configured Exchange profile on its first start (the user's addresses, the mailbox's store
// section).
#pragma once

#include <vector>

#include "platform/registry.h"
#include "sim/model.h"

namespace korvanel::sim {

inline constexpr char16_t kProfilesKeyPath[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

// The "DefaultProfile" value of the Profiles key, else the first profile; empty when none.
Text defaultProfileName(platform::Registry& registry);
bool profileExists(platform::Registry& registry, TextView profile);

struct ProfileSection {
  Text id;           // the section's subkey name
  Text provider;     // provider display name (3006)
  Text displayName;  // section display name (3001)
  Text dn;           // mailbox distinguished name (660b)
  Text pstPath;      // personal folders file path (6700)
};

struct ProfileSnapshot {
  Text unresolvedName;   // global section 6607: the mailbox as configured
  bool hasProxyList = false;
  std::vector<ProfileSection> sections;  // in the registry's subkey order
};

ProfileSnapshot readProfile(platform::Registry& registry, TextView profile);

// Fills the global section with the user's proxy addresses ("101f6637" Unicode on Outlook
// 2007, "101e6637" ANSI on 2003) and, when asked, adds the mailbox's store section.
void completeFreshProfile(platform::Registry& registry, TextView profile, const Mailbox& user,
                          bool unicode, bool addStoreSection);

struct AccountEntry {
  Text key;  // the account's subkey name
  Text name;
  Text email;
  Text serviceName;
  Text pop3Server;
  Text smtpServer;
  Text imapServer;
  Text httpServer;
};

// The accounts named by the mail account order list, in its order (ids whose key is missing
// are skipped).
std::vector<AccountEntry> readAccountsInOrder(platform::Registry& registry, TextView profile);

}  // namespace korvanel::sim
