// platform::PropertyPage over a page control that Outlook's Options dialog holds for real:
// what the served Outlook creates when its simulated dialog shows an add-in's tab. The
// control is created by its ProgID and activated in place in a real dialog
// (OptionsDialogHost); the simulated dialog's calls (Dirty, Apply, the release that ends
// the page) go to the control through COM, and the control's OnStatusChange to the simulated
// site. The real dialog's buttons, Esc among them, go to onButton.
#pragma once

#include <oaidl.h>

#include <functional>
#include <memory>

#include "platform/addin_host.h"
#include "win/com/com_ptr.h"
#include "win/tests/options_dialog_host.h"

namespace korvanel::win::testing {

class DialogPropertyPage final : public platform::PropertyPage {
 public:
  // The served Application the page's site gives the control, for the simulated site.
  using ApplicationOf = std::function<ComPtr<IDispatch>(const platform::PropertyPageSitePtr&)>;

  // owner is the window the dialog belongs to (null: none).
  DialogPropertyPage(text::Text progId, ApplicationOf applicationOf,
                     std::function<void(int button)> onButton = {}, HWND owner = nullptr);

  void initProperties(const platform::PropertyPageSitePtr& site) override;
  void apply() override;
  bool dirty() override;
  void getPageInfo(text::Text& helpFile, long& helpContext) override;
  void onTerminate() override;

  // The dialog holding the control; null before the load and after the end.
  OptionsDialogHost* host() const { return host_.get(); }

 private:
  text::Text progId_;
  ApplicationOf applicationOf_;
  std::function<void(int button)> onButton_;
  HWND owner_;
  platform::PropertyPageSitePtr site_;
  std::unique_ptr<OptionsDialogHost> host_;
};

}  // namespace korvanel::win::testing
