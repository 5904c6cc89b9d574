// Pat Doe's machine with three identities (the aliases Sales and Support of Pat's mailbox, and
// the Help Desk shared mailbox) and the add-in connected, on Outlook 2003 or 2007: for the
// scenarios of the identity engine from arrival to the sent copy.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "addin/connect.h"
#include "addin/registration.h"
#include "profile/account_store.h"
#include "profile/profile_settings.h"
#include "sim/machine.h"
#include "sim/outlook_objects.h"

namespace korvanel::scenarios::engine {

using platform::Variant;
using sim::IncomingMessage;
using sim::ModelItem;
using sim::ModelItemPtr;
using sim::PropKey;
using text::Text;
using text::TextView;
namespace prop = sim::prop;

inline constexpr char16_t kProfileName[] = u"Outlook";
// The Exchange account as the Options page's Apply leaves it, in the form of an identity
// account's name: users run with it so until Outlook starts once more.
inline constexpr char16_t kExchangeAccount[] = u"EX [Pat Doe <pat@contoso.com>]";
inline constexpr char16_t kHelpDeskDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";
inline constexpr char16_t kSalesAccount[] = u"EX [Sales <sales@contoso.com>]";
inline constexpr char16_t kSupportAccount[] = u"EX [Support <support@contoso.com>]";
inline constexpr char16_t kHelpDeskAccount[] = u"EX MBX [Help Desk]";

class EngineFixture {
 public:
  // The machine, the profile and its identities; Outlook started with the add-in.
  // replyFormat < 0 leaves the setting unset.
  void startMachine(int version, int replyFormat = -1) {
    sim::MachineOptions options;
    options.version = version;
    machine = std::make_unique<sim::Machine>(options);
    machine->organisation().addMailbox(u"Help Desk", u"helpdesk", {u"SMTP:help@contoso.com"},
                                       kHelpDeskDn);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com",
                           u"smtp:support@contoso.com"};
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", kHelpDeskDn}};
    seed.exchangeAccountName = kExchangeAccount;
    ASSERT_NE(machine->setUpExchangeProfile(seed), nullptr);
    addIdentity(kSalesAccount, u"Sales", u"sales@contoso.com");
    addIdentity(kSupportAccount, u"Support", u"support@contoso.com");
    addIdentity(kHelpDeskAccount, u"Help Desk", kHelpDeskDn);
    for (const IdentitySeed& identity : moreIdentities) {
      addIdentity(identity.accountName, identity.displayName, identity.email);
    }
    for (const sim::MailAccountSeed& account : mailAccounts) {
      ASSERT_NE(sim::seedMailAccount(machine->registry(), kProfileName, account), 0u);
    }
    if (replyFormat >= 0) {
      profile::ProfileSettings settings(machine->registry());
      ASSERT_TRUE(settings.SaveReplyAddressFormat(kProfileName, text::toText(replyFormat)));
    }

    // The add-in with its own routes, each noting the context it runs in, so that a test can
    // call an operation directly with the connection's state.
    addin::EngineRoutes routes = addin::defaultEngineRoutes();
    addin::AddinContext** seen = &context;
    auto byId = [seen](addin::EngineRoutes::EntryIdRoute route) {
      return [seen, route](addin::AddinContext& ctx, TextView id) {
        *seen = &ctx;
        route(ctx, id);
      };
    };
    auto send = [seen](addin::EngineRoutes::SendRoute route) {
      return [seen, route](addin::AddinContext& ctx, const platform::ItemPtr& item) {
        *seen = &ctx;
        return route(ctx, item);
      };
    };
    routes.StampItem = byId(routes.StampItem);
    routes.StampItemCDO = byId(routes.StampItemCDO);
    routes.CompleteSend = send(routes.CompleteSend);
    routes.CompleteSendCDO = send(routes.CompleteSendCDO);
    addin::registerAddinClasses(machine->world().classes(), machine->services(), routes);

    outlook = machine->startOutlook();
    ASSERT_NE(outlook, nullptr);
    ASSERT_NE(connect(), nullptr);
    itemSends = 0;
    sendCounter = outlook->application()->onItemSend(
        [this](const platform::ItemPtr&, bool&) { ++itemSends; });
  }

  void addIdentity(TextView accountName, TextView displayName, TextView email) {
    profile::AccountStore store(machine->registry());
    const std::uint32_t id = store.GetNextAccountID(kProfileName);
    ASSERT_TRUE(
        store.CreateIdentityAccount(kProfileName, id, accountName, displayName, email, u"", u""));
  }

  addin::Connect* connect() { return dynamic_cast<addin::Connect*>(machine->addIn()); }
  const addin::SharedState& state() { return connect()->state(); }
  bool is2003() const { return machine->options().version < 12; }

  // The AccountStamp of the identity with this account name, as the add-in loaded it.
  Text stampOf(TextView accountName) {
    const addin::IdentityTable& table = state().IdentityTable;
    for (int i = table.IdFirst(); i <= table.IdLast(); ++i) {
      if (table.AccountName(i) == accountName) {
        return table.AccountKey(i) + u'\x0001' + table.Email(i);
      }
    }
    ADD_FAILURE() << "no identity " << text::toUtf8(accountName);
    return Text();
  }
  Text keyOf(TextView accountName) {
    const Text stamp = stampOf(accountName);
    return stamp.substr(0, stamp.find(u'\x0001'));
  }

  static Text accountNameOn(const ModelItem& item) { return item.namedText(prop::kAccountName); }
  static Text accountStampOn(const ModelItem& item) { return item.namedText(prop::kAccountStamp); }
  static bool hasAccountStamp(const ModelItem& item) {
    return item.props.has(PropKey::named(sim::kPsetidCommon, prop::kAccountStamp));
  }

  // The stored properties as one comparable list.
  using PropertySnapshot = std::vector<std::tuple<PropKey, std::uint16_t, Variant>>;
  static PropertySnapshot snapshot(const ModelItem& item) {
    PropertySnapshot all;
    for (const auto& [key, value] : item.props.all())
      all.emplace_back(key, value.type, value.value);
    return all;
  }
  // The snapshot without the account properties that the engine writes (the stamp, and on
  // Outlook 2007 the sending account's).
  static PropertySnapshot withoutAccountProperties(PropertySnapshot all) {
    std::erase_if(all, [](const auto& entry) {
      const PropKey& key = std::get<0>(entry);
      return key == PropKey::named(sim::kPsetidCommon, prop::kAccountName) ||
             key == PropKey::named(sim::kPsetidCommon, prop::kAccountStamp) ||
             key == PropKey::tag(prop::kPrimarySendAccount) ||
             key == PropKey::tag(prop::kNextSendAccount);
    });
    return all;
  }

  static IncomingMessage mailTo(TextView to, TextView subject) {
    IncomingMessage m;
    m.to = {Text(to)};
    m.subject = Text(subject);
    m.body = u"Please send a quote.";
    return m;
  }

  sim::ModelFolderPtr folder(long type) { return outlook->defaultFolder(type); }
  // The items of a default folder whose subject is this.
  std::vector<ModelItemPtr> itemsIn(long folderType, TextView subject) {
    std::vector<ModelItemPtr> found;
    if (auto f = folder(folderType)) {
      for (const auto& item : f->items) {
        if (item->text(prop::kSubject) == subject) found.push_back(item);
      }
    }
    return found;
  }
  std::vector<const sim::Transmission*> transmitted(TextView subject) {
    std::vector<const sim::Transmission*> found;
    for (const auto& t : machine->world().transmissions) {
      if (t.subject == subject) found.push_back(&t);
    }
    return found;
  }

  // A new message to Ann, its window open.
  sim::InspectorHandle newMessage(TextView subject) {
    sim::InspectorHandle window = outlook->newItem(platform::kOlMail);
    EXPECT_NE(window, nullptr);
    if (!window) return window;
    platform::ItemPtr item = sim::makeItem(outlook, window->item);
    item->setSubject(subject);
    item->setBody(u"Hello Ann.");
    item->recipients()->add(u"Ann <ann@fabrikam.com>");
    return window;
  }

  // The user selects a received message and replies; the reply's body is written and its
  // window open.
  sim::InspectorHandle replyTo(const ModelItemPtr& received, TextView body = u"Our quote.") {
    outlook->select({received});
    sim::InspectorHandle window = outlook->reply(received);
    EXPECT_NE(window, nullptr);
    if (window) sim::makeItem(outlook, window->item)->setBody(body);
    return window;
  }

  // Ordinary mail accounts the profile has besides Exchange, set before startMachine.
  std::vector<sim::MailAccountSeed> mailAccounts;
  // Identities after the three of every machine, in table order, set before startMachine.
  struct IdentitySeed {
    Text accountName;
    Text displayName;
    Text email;
  };
  std::vector<IdentitySeed> moreIdentities;

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  // The context of the connected add-in, once one of its routes has run.
  addin::AddinContext* context = nullptr;
  int itemSends = 0;
  platform::Connection sendCounter;
};

}  // namespace korvanel::scenarios::engine
