// What `run --over-com` needs from the Windows build: the real registry the simulated machine
// runs on (the DLL reads and writes the same keys), the simulation served as COM objects, and
// the add-in of a ProgID created from its registered DLL and called through COM. The Linux
// tool has none; the Windows one passes a factory of it to runCommandLine.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/addin_host.h"
#include "platform/registry.h"
#include "sim/machine.h"
#include "tools/korvanel-sim/page_user.h"

namespace korvanel::tool {

class OverCom {
 public:
  virtual ~OverCom() = default;
  // Empty when a run can go over COM; otherwise why it cannot and what to do (a real DLL
  // that is not registered, or no display to show windows on, would quietly change the story).
  virtual std::string unavailable() = 0;
  // Fresh and empty for each run; it outlives the machine.
  virtual platform::Registry& registry() = 0;
  // Serves the machine once it is set up, before the first step; it must outlive serving.
  virtual void serve(sim::Machine& machine) = 0;
  // The machine is about to go: everything served lets go of it.
  virtual void unserve() = 0;
  // The add-in of this ProgID from its DLL, through COM; nullptr when it cannot be created.
  virtual std::unique_ptr<platform::AddIn> createAddIn(platform::TextView progId) = 0;
  // The page the served dialog shows, worked through its windows; nullptr when it shows none.
  virtual std::unique_ptr<PageUser> pageUser(sim::OptionsDialog& dialog) = 0;
};

using OverComFactory = std::function<std::unique_ptr<OverCom>()>;

}  // namespace korvanel::tool
