#include "profile/account_store.h"

#include "profile/account_order.h"
#include "profile/profile_key.h"
#include "profile/property_decoder.h"

namespace korvanel::profile {

using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;

namespace {

constexpr char16_t kExchangeServiceName[] = u"MSEMS";
constexpr char16_t kNone[] = u"none";
constexpr char16_t kNextAccountIdValue[] = u"NextAccountID";
constexpr char16_t kExchangeDefaultName[] = u"Microsoft Exchange Server";
constexpr char16_t kExchangeDefaultNameSpanish[] = u"Servidor de Microsoft Exchange";

Text childPath(TextView parent, TextView child) {
  Text path(parent);
  path += u'\\';
  path += child;
  return path;
}

void appendEntry(Text& list, TextView entry, bool separate) {
  if (separate) list += u'\t';
  list += entry;
}

}  // namespace

AccountStore::AccountStore(platform::Registry& registry, AnsiCodePage codePage)
    : reg_(registry, std::move(codePage)) {}

Text AccountStore::GetClassDescription(TextView clsid) {
  if (clsid.empty()) return Text();
  RegKey key = reg_.RegOpenRead(kHkeyClassesRoot, childPath(u"CLSID", clsid));
  return reg_.RegQueryString(key.get(), u"");
}

AccountRecord AccountStore::ReadAccountRecord(TextView managerPath, TextView subkey) {
  AccountRecord record;
  RegKey key = reg_.RegOpenRead(kHkeyCurrentUser, childPath(managerPath, subkey));
  if (!key) return record;
  const RegHandle h = key.get();
  record.Subkey = Text(subkey);
  record.AccountName = reg_.RegQueryProperty(h, u"Account Name");
  record.DisplayName = reg_.RegQueryProperty(h, u"Display Name");
  record.Email = reg_.RegQueryProperty(h, u"Email");
  record.Organization = reg_.RegQueryProperty(h, u"Organization");
  record.Pop3Server = reg_.RegQueryProperty(h, u"POP3 Server");
  record.Pop3User = reg_.RegQueryProperty(h, u"POP3 User");
  record.ReplyEmail = reg_.RegQueryProperty(h, u"Reply Email");
  record.NewSignature = reg_.RegQueryProperty(h, u"New Signature");
  record.ReplyForwardSignature = reg_.RegQueryProperty(h, u"Reply-Forward Signature");
  record.ServiceName = reg_.RegQueryProperty(h, u"Service Name");
  record.SmtpServer = reg_.RegQueryProperty(h, u"SMTP Server");
  record.Clsid = reg_.RegQueryString(h, u"clsid");
  if (!record.Clsid.empty()) record.ClassDescription = GetClassDescription(record.Clsid);
  record.SmtpUseAuth = reg_.RegQueryDword(h, u"SMTP Use Auth");
  return record;
}

void AccountStore::LoadProfileSmtpAddresses(TextView profileName) {
  if (profileName.empty()) return;
  RegKey key = reg_.RegOpenRead(kHkeyCurrentUser, GlobalProfileSection(profileName));
  if (!key) return;
  Text list = reg_.RegQueryProperty(key.get(), u"101f6637", PropertyMode::kSmtp);
  if (list.empty()) list = reg_.RegQueryProperty(key.get(), u"101e6637", PropertyMode::kSmtp);
  key.reset();

  proxyAddresses_ = text::split(list, u"\t");
  exchangePrimarySmtp_.clear();
  // The list runs from the last stored entry to the first, so the first stored primary
  // address is the one that stays.
  for (const Text& entry : proxyAddresses_) {
    if (TextView(entry).starts_with(u"SMTP:"))
      exchangePrimarySmtp_ = text::trim(TextView(entry).substr(5));
  }
}

void AccountStore::EnumIdentityAccounts(TextView profileName) {
  lists_ = IdentityAccountLists();
  if (profileName.empty()) return;
  const Text managerPath = AccountManagerKey(profileName);
  RegKey manager = reg_.RegOpenRead(kHkeyCurrentUser, managerPath);
  if (!manager) return;

  const std::vector<std::uint32_t> order =
      decodeAccountOrder(reg_.queryValueAnsi(manager.get(), kAccountOrderValue).value_or(Bytes()));

  for (const Text& name : reg_.subkeyNames(manager.get())) {
    const AccountRecord record = ReadAccountRecord(managerPath, name);
    if (!record.ServiceName.empty()) {
      if (text::equalsNoCase(record.ServiceName, kExchangeServiceName)) {
        exchangeAccountKey_ = text::trim(record.Subkey);
        exchangeAccountName_ = text::trim(record.AccountName);
        exchangeStamp_ = exchangeAccountKey_ + u'\x01' + exchangePrimarySmtp_;
      }
      continue;
    }
    const bool isIdentity = text::findNoCase(record.ClassDescription, u"POP3") != TextView::npos &&
                            text::equalsNoCase(record.Pop3Server, kNone) &&
                            text::equalsNoCase(record.SmtpServer, kNone);
    if (!isIdentity) continue;

    const bool separate = !lists_.Combined.empty();
    appendEntry(lists_.Combined,
                record.Subkey + u'\x01' + record.Email + u'\x01' + record.DisplayName, separate);
    appendEntry(lists_.Subkeys, record.Subkey, separate);
    appendEntry(lists_.Emails, record.Email, separate);
    appendEntry(lists_.DisplayNames, record.DisplayName, separate);
    appendEntry(lists_.AccountNames, record.AccountName, separate);
    appendEntry(lists_.Positions, text::toText(accountPosition(order, record.Subkey)), separate);
    appendEntry(lists_.NewSignatures, record.NewSignature, separate);
    appendEntry(lists_.ReplySignatures, record.ReplyForwardSignature, separate);
  }
}

std::uint32_t AccountStore::GetNextAccountID(TextView profileName) {
  RegKey manager = reg_.RegOpenRead(kHkeyCurrentUser, AccountManagerKey(profileName));
  return reg_.RegQueryDword(manager.get(), kNextAccountIdValue);
}

bool AccountStore::CreateIdentityAccount(TextView profileName, std::uint32_t id,
                                         TextView accountName, TextView displayName, TextView email,
                                         TextView newSignature, TextView replySignature) {
  if (profileName.empty()) return false;
  const Text managerPath = AccountManagerKey(profileName);
  const Text path = AccountKeyPath(profileName, id);
  const Text newSig = text::trim(newSignature);
  const Text replySig = text::trim(replySignature);

  const bool written =
      reg_.RegWriteBinary(path, u"Account Name", TextValue(accountName)) &&
      reg_.RegWriteString(path, u"clsid", kPop3AccountClsid) &&
      reg_.RegWriteBinary(path, u"Display Name", TextValue(displayName)) &&
      reg_.RegWriteBinary(path, u"Email", TextValue(email)) &&
      reg_.RegWriteDword(path, u"POP3 Remember Passwd", 0) &&
      reg_.RegWriteBinary(path, u"POP3 Server", TextValue(kNone)) &&
      reg_.RegWriteBinary(path, u"POP3 User", TextValue(kNone)) &&
      reg_.RegWriteBinary(path, u"SMTP Server", TextValue(kNone)) &&
      reg_.RegWriteDword(path, u"Is Account Disabled", 1) &&
      (newSig.empty() || reg_.RegWriteBinary(path, u"New Signature", TextValue(newSig))) &&
      (replySig.empty() ||
       reg_.RegWriteBinary(path, u"Reply-Forward Signature", TextValue(replySig))) &&
      reg_.RegWriteDword(managerPath, kNextAccountIdValue, id + 1);

  // A profile without an order list gets none: Outlook keeps it, not the product. An
  // empty list is still a list, and the new account joins it.
  const std::optional<Bytes> order =
      written ? reg_.readBinaryIfPresent(managerPath, kAccountOrderValue) : std::nullopt;
  if (written && (!order || reg_.RegWriteBinary(managerPath, kAccountOrderValue,
                                                appendToAccountOrder(*order, id))))
    return true;
  // Half an account would show in Outlook's lists as a broken one: what was written goes.
  reg_.DeleteKeyTree(kHkeyCurrentUser, path);
  return false;
}

bool AccountStore::DeleteIdentityAccount(TextView profileName, std::uint32_t id) {
  return deleteAccountKey(profileName, AccountKeyName(id), id);
}

bool AccountStore::DeleteIdentityAccount(TextView profileName, TextView subkey) {
  return deleteAccountKey(profileName, subkey, AccountIdOf(subkey));
}

bool AccountStore::deleteAccountKey(TextView profileName, TextView subkey,
                                    std::optional<std::uint32_t> id) {
  // An empty or nested name would reach beyond the one account key.
  if (profileName.empty() || subkey.empty() || subkey.find(u'\\') != TextView::npos) return false;
  const Text managerPath = AccountManagerKey(profileName);
  // The order list and the key change together: the id leaves the list first, and comes
  // back when the key cannot be deleted, so the list never names a key that is gone.
  const std::optional<Bytes> order =
      id ? reg_.readBinaryIfPresent(managerPath, kAccountOrderValue) : std::nullopt;
  std::optional<Bytes> shortened = order;
  const bool listChanges = shortened && removeFromAccountOrder(*shortened, *id);
  if (listChanges && !reg_.RegWriteBinary(managerPath, kAccountOrderValue, *shortened))
    return false;
  if (reg_.DeleteKeyTree(kHkeyCurrentUser, childPath(managerPath, subkey))) return true;
  if (listChanges) reg_.RegWriteBinary(managerPath, kAccountOrderValue, *order);
  return false;
}

bool AccountStore::SetExchangeAccountName(TextView profileName, std::uint32_t id, TextView name,
                                          bool spanishUI) {
  if (profileName.empty()) return false;
  const Text accountName =
      name.empty() ? Text(spanishUI ? kExchangeDefaultNameSpanish : kExchangeDefaultName)
                   : text::trim(name);
  // Only an account that exists is renamed: a wrong id must not leave a stray key behind.
  RegKey key = RegKey::open(reg_.registry(), kHkeyCurrentUser, AccountKeyPath(profileName, id),
                            platform::kKeyWriteAll);
  if (!key) return false;
  const Bytes data = TextValue(accountName);
  return reg_.registry().setValue(key.get(), u"Account Name", platform::kRegBinary, data.data(),
                                  data.size()) == platform::kRegSuccess;
}

}  // namespace korvanel::profile
