#include "win/served/served_machine.h"

#include "win/served/com_addin_proxy.h"
#include "win/served/served_mapi_prop.h"

namespace korvanel::win::served {

namespace {

// The real DLLs a run loads, each by the ProgID of one of its classes, as COM finds it.
struct ServedDll {
  const char16_t* progId;
  const char* file;
};
constexpr ServedDll kServedDlls[] = {{u"Korvanel.Connect", "Korvanel.dll"},
                                     {u"Korvanel.KorvanelPage", "KorvanelPage.dll"}};

}  // namespace

std::string ServedMachine::unavailable() {
  // Without the scratch keys the DLLs would write the prefix's own registry.
  if (!scratch_.ready()) return "the run's scratch registry keys cannot be made";
  // Without a display Wine makes no window: no Options dialog, no message box to answer.
  if (HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr)) {
    DestroyWindow(probe);
  } else {
    return "no window can be made: run it on a display (xvfb-run -a); a Wine of this prefix "
           "still running without one must end first (wineserver -k)";
  }
  // A DLL that cannot be loaded would quietly change the story (no add-in, no page).
  for (const ServedDll& dll : kServedDlls) {
    std::string why = whyNotLoadable(dll.progId, dll.file);
    if (!why.empty()) return why;
  }
  return {};
}

void ServedMachine::serve(sim::Machine& machine) {
  machine_ = &machine;
  setServedMapi(&machine.mapi());
  classes_ = std::make_unique<ServedClasses>(machine.objects(), machine.options().cdoInstalled);
  shell_ = std::make_unique<ServedShell>(machine);
  imports_ = std::make_unique<ServedImports>(machine, shell_->window());
  for (const ServedDll& dll : kServedDlls) imports_->serveDll(dll.progId);
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
