// The profile's accounts as the product sees them: Outlook's account keys, the identity
// accounts the product keeps among them, the Exchange account and the user's own addresses.
// One AccountStore per deliverable holds what the last load and enumeration found.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/registry.h"
#include "profile/account_record.h"
#include "profile/ansi_code_page.h"
#include "profile/identity_account_lists.h"
#include "profile/registry_primitives.h"
#include "text/text.h"

namespace korvanel::profile {

// The class of the accounts the product creates (a POP3 account).
inline constexpr char16_t kPop3AccountClsid[] = u"{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
// Names the product gives its identity accounts start with these (compared without case).
inline constexpr char16_t kIdentityAccountPrefix[] = u"EX [";
inline constexpr char16_t kMailboxAccountPrefix[] = u"EX MBX";

class AccountStore {
 public:
  explicit AccountStore(platform::Registry& registry,
                        AnsiCodePage codePage = AnsiCodePage::windows1252());

  RegistryPrimitives& primitives() { return reg_; }

  // The default value of HKEY_CLASSES_ROOT\CLSID\<clsid>; empty when none or clsid is empty.
  Text GetClassDescription(TextView clsid);
  // The account key managerPath\subkey; an empty record when it cannot be opened.
  AccountRecord ReadAccountRecord(TextView managerPath, TextView subkey);

  // Reads the user's proxy addresses from the global profile section. When the section
  // cannot be opened, the earlier values stay.
  void LoadProfileSmtpAddresses(TextView profileName);
  // Sorts the profile's accounts into the identity lists and the Exchange account values
  // (which keep their earlier values when no Exchange account is found). Uses the
  // ExchangePrimarySmtp of the last LoadProfileSmtpAddresses.
  void EnumIdentityAccounts(TextView profileName);

  // "NextAccountID" of the account manager key; 0 when absent.
  std::uint32_t GetNextAccountID(TextView profileName);
  // Writes the identity account of id, raises "NextAccountID" to id + 1 and appends id to
  // the order list (when the profile has one). Stops at the first write that fails and
  // then removes the key it began, so an account is written whole or not at all and never
  // enters the order list half-written. True when all was written.
  bool CreateIdentityAccount(TextView profileName, std::uint32_t id, TextView accountName,
                             TextView displayName, TextView email, TextView newSignature,
                             TextView replySignature);
  // Deletes the account key of id and every occurrence of id in the order list, together:
  // false, with key and list as they were, when either cannot be changed.
  bool DeleteIdentityAccount(TextView profileName, std::uint32_t id);
  // Deletes the account key exactly as enumerated (list 2's entry); its id leaves the order
  // list only when the name is eight hex digits. Prefer this to the id form for keys that
  // came from the enumeration: no other account's key is ever touched.
  bool DeleteIdentityAccount(TextView profileName, TextView subkey);
  bool DeleteKeyTree(RegHandle root, TextView path) { return reg_.DeleteKeyTree(root, path); }
  // Writes the trimmed name as the "Account Name" of the existing account key of id; an
  // empty name gives Outlook's default name for the UI language. Never creates a key.
  bool SetExchangeAccountName(TextView profileName, std::uint32_t id, TextView name,
                              bool spanishUI);

  // The proxy list, each entry with its "SMTP:"/"smtp:" prefix, the last stored first.
  const std::vector<Text>& ProxyAddresses() const { return proxyAddresses_; }
  const Text& ExchangePrimarySmtp() const { return exchangePrimarySmtp_; }
  const IdentityAccountLists& IdentityLists() const { return lists_; }
  const Text& ExchangeAccountKey() const { return exchangeAccountKey_; }
  const Text& ExchangeAccountName() const { return exchangeAccountName_; }
  // ExchangeAccountKey U+0001 ExchangePrimarySmtp.
  const Text& ExchangeStamp() const { return exchangeStamp_; }

 private:
  bool deleteAccountKey(TextView profileName, TextView subkey, std::optional<std::uint32_t> id);

  RegistryPrimitives reg_;
  std::vector<Text> proxyAddresses_;
  Text exchangePrimarySmtp_;
  IdentityAccountLists lists_;
  Text exchangeAccountKey_;
  Text exchangeAccountName_;
  Text exchangeStamp_;
};

}  // namespace korvanel::profile
