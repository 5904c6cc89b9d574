// The decoding of registry values the product reads, over any bytes: profile texts (the
// reply address format, the monitored folders), account texts in both encodings, the
// account order list, and the multi-valued proxy lists (Unicode and ANSI). The bytes are
// decoded directly and also stored in a simulated profile, which the account enumeration
// and the settings loaders then read as they do at start-up. The data is copied into a
// buffer of exactly its size, so a read past it is an AddressSanitizer finding; libFuzzer's
// time limit catches decoding that grows faster than the input.
#include <cstring>
#include <vector>

#include "addin/identity_table.h"
#include "fuzz_check.h"
#include "profile/account_order.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "profile/profile_settings.h"
#include "profile/property_decoder.h"
#include "sim/sim_registry.h"

namespace {

namespace profile = korvanel::profile;
namespace platform = korvanel::platform;
namespace text = korvanel::text;
using korvanel::fuzz::require;
using text::Bytes;
using text::Text;
using text::TextView;

constexpr char16_t kProfile[] = u"Outlook";

void setValue(korvanel::sim::SimRegistry& registry, TextView path, TextView name,
              std::uint32_t type, const Bytes& data) {
  platform::RegHandle key = 0;
  bool created = false;
  if (registry.createKey(platform::kHkeyCurrentUser, path, platform::kKeyAllAccess, &key,
                         &created) != platform::kRegSuccess)
    return;
  registry.setValue(key, name, type, data.data(), data.size());
  registry.closeKey(key);
}

void decodeDirectly(const Bytes& data) {
  const profile::AnsiCodePage codePage = profile::AnsiCodePage::windows1252();
  for (TextView name : {u"101f6637", u"101e6637", u"001e3001", u"001f3001", u"Email"}) {
    for (auto mode :
         {profile::PropertyMode::kText, profile::PropertyMode::kId, profile::PropertyMode::kSmtp}) {
      const Text decoded = profile::decodeProperty(name, data, mode, codePage);
      if (mode == profile::PropertyMode::kId && !data.empty()) {
        require(decoded.size() == data.size() * 2, "an id gives two hex digits per byte");
      }
      if (mode == profile::PropertyMode::kSmtp && !decoded.empty()) {
        for (const Text& entry : text::split(decoded, u"\t")) {
          require(text::startsWithNoCase(entry, u"SMTP:"), "a proxy entry starts with SMTP:");
        }
      }
    }
  }

  const std::vector<std::uint32_t> order = profile::decodeAccountOrder(data);
  require(order.size() == data.size() / 4, "the order list has one id per whole group");
  const int position = profile::accountPosition(order, u"00000002");
  require(position >= 1 && position <= static_cast<int>(order.size()) + 1,
          "a position lies in the list");
  const Bytes appended = profile::appendToAccountOrder(data, 7);
  require(profile::decodeAccountOrder(appended).back() == 7, "an appended id comes last");
  if (!order.empty()) {
    Bytes shorter = data;
    require(profile::removeFromAccountOrder(shorter, order.front()), "a listed id is removed");
    for (std::uint32_t id : profile::decodeAccountOrder(shorter)) {
      require(id != order.front(), "every occurrence of a removed id goes");
    }
  }
  const int format = profile::replyAddressFormatOf(text::fromUtf16leBytes(data));
  require(format >= 0 && format <= 2, "a reply address format is 0, 1 or 2");
}

void decodeThroughTheProfile(const Bytes& data) {
  korvanel::sim::SimRegistry registry;
  const Text manager = profile::AccountManagerKey(kProfile);
  const Text global = profile::GlobalProfileSection(kProfile);
  const Text settings = profile::ProfileKeyPath(kProfile);
  setValue(registry, global, u"101f6637", platform::kRegBinary, data);
  setValue(registry, global, u"101e6637", platform::kRegBinary, data);
  setValue(registry, manager, profile::kAccountOrderValue, platform::kRegBinary, data);
  setValue(registry, settings, profile::kReplyAddressFormatValue, platform::kRegBinary, data);
  setValue(registry, settings, profile::kMonitoredFoldersValue, platform::kRegBinary, data);

  // The Exchange account, an identity account whose texts are the bytes, and an account
  // whose service name is the bytes.
  const Text exchange = manager + u"\\00000001";
  setValue(registry, exchange, u"Service Name", platform::kRegBinary, profile::TextValue(u"MSEMS"));
  setValue(registry, exchange, u"Account Name", platform::kRegBinary, data);
  const Text identity = manager + u"\\00000002";
  for (TextView name :
       {u"Account Name", u"Display Name", u"Email", u"New Signature", u"Reply-Forward Signature"}) {
    setValue(registry, identity, name, platform::kRegBinary, data);
  }
  for (TextView name : {u"POP3 Server", u"SMTP Server"}) {
    setValue(registry, identity, name, platform::kRegBinary, profile::TextValue(u"none"));
  }
  const Text clsid = profile::kPop3AccountClsid;
  setValue(registry, identity, u"clsid", platform::kRegSz, profile::TextValue(clsid));
  setValue(registry, manager + u"\\00000003", u"Service Name", platform::kRegBinary, data);
  setValue(registry, manager + u"\\00000003", u"SMTP Use Auth", platform::kRegDword, data);
  platform::RegHandle classes = 0;
  bool created = false;
  if (registry.createKey(platform::kHkeyClassesRoot, u"CLSID\\" + clsid, platform::kKeyAllAccess,
                         &classes, &created) == platform::kRegSuccess) {
    const Bytes description = profile::TextValue(u"POP3 account");
    registry.setValue(classes, u"", platform::kRegSz, description.data(), description.size());
    registry.closeKey(classes);
  }

  profile::AccountStore accounts(registry);
  accounts.LoadProfileSmtpAddresses(kProfile);
  accounts.EnumIdentityAccounts(kProfile);
  require(accounts.ExchangePrimarySmtp().find(u'\t') == Text::npos,
          "the primary address holds no TAB");
  const korvanel::addin::IdentityTable table =
      korvanel::addin::IdentityTable::fromAccountLists(accounts.IdentityLists());
  require(table.size() <= 1 + text::split(accounts.IdentityLists().Combined, u"\t").size(),
          "one identity row per listed account");

  profile::ProfileSettings stored(registry);
  (void)profile::replyAddressFormatOf(stored.LoadReplyAddressFormat(kProfile));
  (void)stored.LoadMonitoredFolders(kProfile);
  require(registry.openHandleCount() == 0, "every key opened is closed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes bytes(data, data + size);
  decodeDirectly(bytes);
  decodeThroughTheProfile(bytes);
  return 0;
}
