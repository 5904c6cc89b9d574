// Office's COM add-in host inside one simulated Outlook process. It creates each add-in's
// object by ProgID (World::classes()), lists it in COMAddIns, and raises the host events in
// Outlook's order: OnConnection, then OnAddInsUpdate and OnStartupComplete for the add-ins
// still connected; at exit OnBeginShutdown and OnDisconnection, then the release of the
// object, whose last reference runs its Terminate. Afterwards Outlook itself ends, but only
// when the disconnected add-ins hold none of its objects: otherwise it stays in memory
// (recorded as an anomaly), its add-ins never released and no Outlook starting after it.
//
// Application.Quit while add-ins connect takes effect once the connection phase has
// completed (without the start-up events that follow it); otherwise it takes effect when
// Outlook next processes its messages. An add-in that sets its AddInInst's Connect to false
// is disconnected (OnDisconnection with ext_dm_UserClosed) and released once the call that
// did it has returned.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/addin_host.h"
#include "sim/outlook_app.h"

namespace korvanel::sim {

class AddInHost {
 public:
  // journal receives one line per host event ("Korvanel.Connect OnConnection"); ended is
  // called once Outlook has ended.
  AddInHost(std::shared_ptr<Outlook> outlook, std::function<void(TextView)> journal,
            std::function<void()> ended);
  ~AddInHost();
  AddInHost(const AddInHost&) = delete;
  AddInHost& operator=(const AddInHost&) = delete;

  // Loads and connects the add-ins in this order, then runs Outlook's queue once. Add-ins
  // that no class registration answers for are listed but not connected.
  void start(const std::vector<Text>& progIds);
  // The shut-down sequence and the end of Outlook; nothing when already done.
  void shutDown();

  const std::shared_ptr<Outlook>& outlook() const { return outlook_; }
  // The connected add-in's object; nullptr when it is not connected. Holding on to it keeps
  // the object from its Terminate, as a COM reference would.
  platform::AddIn* addIn(TextView progId) const;
  // Host events in order, "ProgID Event": OnConnection, OnAddInsUpdate, OnStartupComplete,
  // OnBeginShutdown, OnDisconnection, Release, Terminate.
  const std::vector<Text>& events() const { return events_; }
  // What Office would complain about: an add-in object that outlived its release.
  const std::vector<Text>& anomalies() const { return anomalies_; }
  bool connecting() const { return connecting_; }

 private:
  struct Loaded {
    Text progId;
    std::shared_ptr<SimComAddIn> entry;
    std::shared_ptr<platform::AddIn> object;
    platform::Connection connectWatch;
  };

  void record(const Loaded& addIn, TextView event);
  void onQuitRequested();
  void disconnect(Loaded& addIn, long removeMode);
  void release(Loaded& addIn);
  void dropUnconnected();

  std::shared_ptr<Outlook> outlook_;
  std::function<void(TextView)> journal_;
  std::function<void()> ended_;
  std::vector<std::unique_ptr<Loaded>> addIns_;
  std::vector<Text> events_;
  std::vector<Text> anomalies_;
  platform::Connection quitWatch_;
  bool connecting_ = false;
  bool quitPending_ = false;
  bool shuttingDown_ = false;
  bool done_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace korvanel::sim
