// The served Outlook's Options dialog for real: when the simulated dialog shows an add-in's
// tab, the page is created from its ProgID and activated in place in a real dialog owned by
// Outlook's window (DialogPropertyPage); the dialog reads the page's Dirty after each
// OnStatusChange, and its OK, Apply and Cancel (Enter and Esc among them) are the simulated
// dialog's, which calls the page's Apply on OK and Apply while it is dirty and closes on OK
// and Cancel. The page is then worked as a user works it, with window messages (PageUser).
#pragma once

#include <windows.h>

#include <memory>

#include "sim/machine.h"
#include "tools/korvanel-sim/page_user.h"

namespace korvanel::win::served {

class ServedOptionsDialog {
 public:
  // owner is the served Outlook's window.
  ServedOptionsDialog(sim::Machine& machine, HWND owner);

  // The page the dialog shows, worked through its windows; nullptr when it shows none.
  static std::unique_ptr<tool::PageUser> pageUser(sim::OptionsDialog& dialog);

 private:
  void press(int button);

  sim::Machine& machine_;
  HWND owner_;
};

}  // namespace korvanel::win::served
