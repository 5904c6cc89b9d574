// A simulated machine served to the real DLLs in this process (`run --over-com`): the
// registry both share (scratch keys behind HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE), the
// classes created by ProgID (CDO, the profile library), the messages' MAPI properties, the
// Options dialog that holds the real KorvanelPage.dll, and the add-in host's COM half that
// loads Korvanel.dll.
#pragma once

#include <memory>

#include "tools/korvanel-sim/over_com.h"
#include "win/served/scratch_registry.h"
#include "win/served/served_imports.h"
#include "win/served/served_messaging.h"
#include "win/served/served_options_dialog.h"
#include "win/served/served_shell.h"

namespace korvanel::win::served {

class ServedMachine final : public tool::OverCom {
 public:
  ServedMachine() = default;
  ~ServedMachine() override { unserve(); }

  std::string unavailable() override;
  platform::Registry& registry() override { return scratch_.registry(); }
  void serve(sim::Machine& machine) override;
  void unserve() override;
  std::unique_ptr<platform::AddIn> createAddIn(platform::TextView progId) override;
  std::unique_ptr<tool::PageUser> pageUser(sim::OptionsDialog& dialog) override {
    return ServedOptionsDialog::pageUser(dialog);
  }

 private:
  ScratchRegistry scratch_;
  sim::Machine* machine_ = nullptr;
  std::unique_ptr<ServedClasses> classes_;
  std::unique_ptr<ServedShell> shell_;
  std::unique_ptr<ServedImports> imports_;
  std::unique_ptr<ServedOptionsDialog> optionsDialog_;
};

}  // namespace korvanel::win::served
