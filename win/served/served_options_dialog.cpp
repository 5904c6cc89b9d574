#include "win/served/served_options_dialog.h"

#include "optionspage/page_layout.h"
#include "win/served/served_outlook.h"
#include "win/tests/dialog_property_page.h"
#include "win/tests/page_windows.h"

namespace korvanel::win::served {

using testing::DialogPropertyPage;
using testing::kApplyButtonId;
using testing::PageWindows;
using text::Text;
using text::TextView;

namespace {

constexpr char16_t kPageProgId[] = u"Korvanel.KorvanelPage";

// The real page's windows, worked with the messages a user's mouse sends.
class WindowPageUser final : public tool::PageUser {
 public:
  WindowPageUser(HWND dialog, HWND page) : dialog_(dialog), page_(page) {}

  std::vector<Text> rows(TextView list) override { return page_.rows(list); }
  int chosenOption() override {
    const std::size_t options = page::PageLayout().Option1.size();
    for (std::size_t k = 0; k < options; ++k) {
      if (page_.checked(optionName(static_cast<int>(k)))) return static_cast<int>(k);
    }
    return -1;
  }
  bool exists(TextView control) override { return page_.control(control) != nullptr; }
  bool shown(TextView control) override { return page_.visible(control); }
  bool enabled(TextView control) override { return page_.enabled(control); }
  void click(TextView control) override { page_.click(control); }
  void select(TextView list, long row) override { page_.select(list, row); }
  void chooseOption(int index) override { page_.click(optionName(index)); }
  void press(TextView button) override {
    const int id = button == u"OK" ? IDOK : button == u"Apply" ? kApplyButtonId : IDCANCEL;
    // The dialog may go while its button is pressed: its window is looked up first.
    if (HWND window = GetDlgItem(dialog_, id)) SendMessageW(window, BM_CLICK, 0, 0);
  }

 private:
  static Text optionName(int index) {
    return u"Option1(" + text::toText(static_cast<long long>(index)) + u")";
  }

  HWND dialog_;
  PageWindows page_;
};

}  // namespace

ServedOptionsDialog::ServedOptionsDialog(sim::Machine& machine, HWND owner)
    : machine_(machine), owner_(owner) {
  machine_.world().classes().registerPage(kPageProgId, [this] {
    return std::make_unique<DialogPropertyPage>(
        kPageProgId,
        [](const platform::PropertyPageSitePtr& site) {
          return serve<ServedApplication>(site ? site->application() : nullptr);
        },
        [this](int button) { press(button); }, owner_);
  });
}

void ServedOptionsDialog::press(int button) {
  std::shared_ptr<sim::Outlook> outlook = machine_.outlook();
  if (!outlook) return;
  sim::OptionsDialog& dialog = outlook->optionsDialog();
  // The simulated dialog decides: OK and Cancel end the page, whose real dialog goes with it.
  if (button == IDOK) {
    dialog.pressOk();
  } else if (button == kApplyButtonId) {
    dialog.pressApply();
    // Applied, the page is clean again until it reports a change.
    if (auto* page = dynamic_cast<DialogPropertyPage*>(dialog.page().get()); page && page->host())
      page->host()->enableApply(dialog.applyEnabled());
  } else {
    dialog.pressCancel();
  }
  // Outlook's window has the keyboard again once the dialog is gone.
  if (!dialog.isOpen() && owner_ != nullptr) {
    SetActiveWindow(owner_);
    SetFocus(owner_);
  }
}

std::unique_ptr<tool::PageUser> ServedOptionsDialog::pageUser(sim::OptionsDialog& dialog) {
  auto* page = dialog.isOpen() ? dynamic_cast<DialogPropertyPage*>(dialog.page().get()) : nullptr;
  testing::OptionsDialogHost* host = page ? page->host() : nullptr;
  HWND window = host ? host->pageWindow() : nullptr;
  if (window == nullptr) return nullptr;
  return std::make_unique<WindowPageUser>(host->dialog(), window);
}

}  // namespace korvanel::win::served
