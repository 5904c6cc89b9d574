// Korvanel's add-in when it runs out of the tool's sight (the real DLL over COM): the story
// cannot read the add-in's own state, so at each connection it reads what the add-in loads
// (the identities, the Exchange account, the reply-to format) from the same registry, just
// before the add-in does. Every host event is passed on unchanged.
#pragma once

#include <memory>

#include "addin/shared_state.h"
#include "platform/addin_host.h"
#include "sim/machine.h"

namespace korvanel::tool {

class ObservedAddIn final : public platform::AddIn {
 public:
  ObservedAddIn(std::unique_ptr<platform::AddIn> addIn, sim::Machine& machine)
      : addIn_(std::move(addIn)), machine_(machine) {}

  void onConnection(const platform::ApplicationPtr& application, long connectMode,
                    const platform::COMAddInPtr& addInInst) override;
  void onDisconnection(long removeMode) override { addIn_->onDisconnection(removeMode); }
  void onAddInsUpdate() override { addIn_->onAddInsUpdate(); }
  void onStartupComplete() override { addIn_->onStartupComplete(); }
  void onBeginShutdown() override { addIn_->onBeginShutdown(); }
  void onTerminate() override { addIn_->onTerminate(); }

  // What the add-in loaded at its connection, as far as the story tells it.
  const addin::SharedState& state() const { return state_; }

 private:
  std::unique_ptr<platform::AddIn> addIn_;
  sim::Machine& machine_;
  addin::SharedState state_;
};

}  // namespace korvanel::tool
