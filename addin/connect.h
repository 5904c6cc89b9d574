// Connect: the add-in's one entry point. Outlook's add-in host creates it (ProgID
// "Korvanel.Connect"), connects it, and releases it at exit; Connect creates the OutAddIn
// that does the work, publishes itself to the host as the add-in's Object (the Options page
// reaches it by member name through COMAddIns), and, when released, carries out the
// restart of Outlook that the page or a profile re-read asked for.
//
// Host events (platform::AddIn):
//   onConnection      AddinInstance_OnConnection: publishes object() first, always; with
//                     no Explorer and no Inspector nothing else happens. Otherwise creates
//                     OutAddIn and runs InitAddIn; on Outlook 2003 without CDO shows the
//                     notice once, sets the AddInInst's Connect to false and releases.
//   onDisconnection   AddinInstance_OnDisconnection: ReleaseAddIn lets go of every object
//                     of Outlook (Outlook does not end while one is held), then OutAddIn goes.
//   onTerminate       AddinInstance_Terminate: the restart of restart_mode (see restart.h).
//   the others        nothing.
//
// Published members (also by name, case-insensitively, through object()):
//   sUN                   get: the current user's display name
//   sPN                   get: the profile name; "" until the settings are loaded
//   sSMBXs                get: the accessible additional mailboxes, rebuilt on each read
//   IsRestart             let: the restart mode for termination (1 restart, 2 re-read)
//   PrepareAccessibleMBX  method: rebuilds the accessible mailboxes
//
// No member lets an exception escape. Single-threaded (Outlook's UI thread).
#pragma once

#include <cstdint>
#include <memory>

#include "addin/addin_context.h"
#include "addin/engine_routes.h"
#include "platform/addin_host.h"
#include "platform/dispatch.h"
#include "platform/services.h"
#include "profile/ansi_code_page.h"
#include "text/text.h"

namespace korvanel::addin {

class OutAddIn;

class Connect final : public platform::AddIn {
 public:
  explicit Connect(platform::Services& services, EngineRoutes routes = defaultEngineRoutes(),
                   profile::AnsiCodePage codePage = profile::AnsiCodePage::windows1252());
  ~Connect() override;
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  void onConnection(const platform::ApplicationPtr& application, long connectMode,
                    const platform::COMAddInPtr& addInInst) override;
  void onDisconnection(long removeMode) override;
  void onAddInsUpdate() override {}
  void onStartupComplete() override {}
  void onBeginShutdown() override {}
  void onTerminate() override;

  text::Text sUN();
  text::Text sPN();
  text::Text sSMBXs();
  void IsRestart(std::int16_t mode);
  void PrepareAccessibleMBX();

  // The late-bound object published as the AddInInst's Object. It answers from this
  // Connect's state, and with empty values once the Connect is gone.
  platform::DispatchPtr object() const { return object_; }

  // The shared state, read-only, for whoever hosts the add-in and wants to show it.
  const SharedState& state() const { return context_->state; }

 private:
  void releaseOutAddIn();

  std::shared_ptr<AddinContext> context_;
  std::shared_ptr<OutAddIn> outAddIn_;
  platform::DispatchPtr object_;
};

}  // namespace korvanel::addin
