#include "win/served/served_machine.h"

#include "win/served/com_addin_proxy.h"
#include "win/served/served_mapi_prop.h"

namespace korvanel::win::served {

void ServedMachine::serve(sim::Machine& machine) {
  machine_ = &machine;
  setServedMapi(&machine.mapi());
  classes_ = std::make_unique<ServedClasses>(machine.objects(), machine.options().cdoInstalled);
  shell_ = std::make_unique<ServedShell>(machine);
  imports_ = std::make_unique<ServedImports>(machine, shell_->window());
  imports_->serveDll(u"Korvanel.Connect");
  imports_->serveDll(u"Korvanel.KorvanelPage");
  optionsDialog_ = std::make_unique<ServedOptionsDialog>(machine, shell_->window());
}

void ServedMachine::unserve() {
  optionsDialog_.reset();
  imports_.reset();
  shell_.reset();
  classes_.reset();
  setServedMapi(nullptr);
  machine_ = nullptr;
}

std::unique_ptr<platform::AddIn> ServedMachine::createAddIn(platform::TextView progId) {
  return ComAddInProxy::create(progId, [this](platform::Text anomaly) {
    if (machine_ != nullptr) machine_->world().anomalies.push_back(std::move(anomaly));
  });
}

}  // namespace korvanel::win::served
