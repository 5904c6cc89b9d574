// A simulated machine with Pat Doe's Exchange profile and the add-in registered, for the
// scenarios of the add-in's start, its event routing and its restarts. The hub's routes can
// be replaced by recording ones, and the order of event subscriptions is recorded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "addin/connect.h"
#include "addin/registration.h"
#include "hook_recorder.h"
#include "optionspage/registration.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "profile/profile_settings.h"
#include "sim/machine.h"
#include "sim/outlook_objects.h"

namespace korvanel::scenarios {

using platform::Variant;

inline constexpr char16_t kProfile[] = u"Outlook";
inline constexpr char16_t kHelpDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";
inline constexpr char16_t kTeamDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=salesteam";

// What reached the hub's routes, one line each ("StampItem <id>", "CompleteSend MailItem").
struct RouteLog {
  std::vector<Text> calls;
  bool cancel = false;  // what the send routes answer
};

inline addin::EngineRoutes recordingRoutes(const std::shared_ptr<RouteLog>& log) {
  addin::EngineRoutes r;
  auto byId = [log](const char16_t* name) {
    return [log, name](addin::AddinContext&, TextView id) {
      log->calls.push_back(Text(name) + u" " + Text(id));
    };
  };
  auto send = [log](const char16_t* name) {
    return [log, name](addin::AddinContext&, const platform::ItemPtr& item) {
      log->calls.push_back(Text(name) + u" " + (item ? item->typeName() : Text()));
      return log->cancel;
    };
  };
  auto byItem = [log](const char16_t* name) {
    return [log, name](addin::AddinContext&, const platform::ItemPtr& item) {
      log->calls.push_back(Text(name) + u" " + (item ? item->typeName() : Text()));
    };
  };
  r.StampItem = byId(u"StampItem");
  r.StampItemCDO = byId(u"StampItemCDO");
  r.CompleteSend = send(u"CompleteSend");
  r.CompleteTaskSend = send(u"CompleteTaskSend");
  r.CompleteSendCDO = send(u"CompleteSendCDO");
  r.RestampSentItem = byItem(u"RestampSentItem");
  r.RestampSentItemCDO = byItem(u"RestampSentItemCDO");
  r.ResendParkedItem = byItem(u"ResendParkedItem");
  r.colInsp_NewInspector = [log](addin::AddinContext&, const platform::InspectorPtr&) {
    log->calls.push_back(u"NewInspector");
  };
  return r;
}

inline sim::MachineOptions options(int version, bool cdoInstalled = true) {
  sim::MachineOptions o;
  o.version = version;
  o.cdoInstalled = cdoInstalled;
  return o;
}

class LifecycleFixture {
 protected:
  ~LifecycleFixture() {
    // An Options dialog left open holds its page, which holds Outlook: close it, as Outlook
    // would at exit, so that the machine goes away whole.
    if (machine) {
      if (std::shared_ptr<sim::Outlook> outlook = machine->outlook()) {
        if (outlook->optionsDialog().isOpen()) outlook->optionsDialog().pressCancel();
      }
    }
  }

  // Builds the machine and Pat's profile; additional mailboxes as (display name, alias, dn).
  void makeMachine(sim::MachineOptions options,
                   const std::vector<std::pair<Text, Text>>& mailboxes = {}) {
    machine = std::make_unique<sim::Machine>(std::move(options));
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com"};
    for (const auto& [name, dn] : mailboxes) {
      const Text alias = dn.substr(dn.rfind(u'=') + 1);
      machine->organisation().addMailbox(name, alias, {u"SMTP:" + alias + u"@contoso.com"}, dn);
      seed.additionalMailboxes.push_back({u"Mailbox - " + name, dn});
    }
    pat = machine->setUpExchangeProfile(seed);
    ASSERT_NE(pat, nullptr);
  }

  // The add-in as the host creates it; with a log, the hub routes only to the log.
  void registerAddin(std::shared_ptr<RouteLog> routeLog = nullptr) {
    platform::Services& services = machine->services();
    const HookLog hooks = hookLog;
    addin::EngineRoutes routes =
        routeLog ? recordingRoutes(routeLog) : addin::defaultEngineRoutes();
    machine->world().classes().registerAddIn(addin::kConnectProgId, [&services, hooks, routes] {
      return std::make_unique<RecordingAddIn>(addin::createConnect(services, routes), hooks);
    });
    page::registerKorvanelPage(machine->world().classes(), services);
  }

  std::uint32_t addIdentity(TextView name, TextView email) {
    profile::AccountStore store(machine->registry());
    const std::uint32_t id = store.GetNextAccountID(kProfile);
    EXPECT_TRUE(store.CreateIdentityAccount(
        kProfile, id, u"EX [" + Text(name) + u" <" + Text(email) + u">]", name, email, u"", u""));
    return id;
  }

  addin::Connect* connect() {
    auto* recording = dynamic_cast<RecordingAddIn*>(machine->addIn());
    return recording ? dynamic_cast<addin::Connect*>(&recording->inner()) : nullptr;
  }

  // The add-in's Object as the Options page reaches it.
  platform::DispatchPtr published() {
    std::shared_ptr<sim::Outlook> outlook = machine->outlook();
    if (!outlook) return nullptr;
    platform::COMAddInsPtr addIns = outlook->application()->comAddIns();
    platform::COMAddInPtr entry = addIns ? addIns->item(addin::kConnectProgId) : nullptr;
    return entry ? entry->object() : nullptr;
  }

  Text accountName(TextView key) {
    profile::AccountStore store(machine->registry());
    return store.ReadAccountRecord(profile::AccountManagerKey(kProfile), key).AccountName;
  }

  std::unique_ptr<sim::Machine> machine;
  sim::OutlookProfileSeed seed;
  sim::MailboxPtr pat;
  HookLog hookLog = std::make_shared<std::vector<Text>>();
};

}  // namespace korvanel::scenarios
