#include "win/tests/dialog_property_page.h"

#include "win/com/bstr.h"

namespace korvanel::win::testing {

DialogPropertyPage::DialogPropertyPage(text::Text progId, ApplicationOf applicationOf,
                                       std::function<void(int button)> onButton, HWND owner)
    : progId_(std::move(progId)),
      applicationOf_(std::move(applicationOf)),
      onButton_(std::move(onButton)),
      owner_(owner) {}

void DialogPropertyPage::initProperties(const platform::PropertyPageSitePtr& site) {
  site_ = site;
  host_ = std::make_unique<OptionsDialogHost>(applicationOf_ ? applicationOf_(site)
                                                             : ComPtr<IDispatch>());
  host_->onStatusChange = [this] {
    if (platform::PropertyPageSitePtr s = site_) s->onStatusChange();
  };
  host_->onButton = onButton_;
  if (!host_->open(progId_, u"Options", owner_)) host_.reset();
}

void DialogPropertyPage::apply() {
  // Apply may end the page (its restart closes the dialog): the control is held meanwhile.
  ComPtr<::PropertyPage> page(host_ ? host_->page() : nullptr);
  if (page) page->Apply();
}

bool DialogPropertyPage::dirty() { return host_ && host_->pageDirty(); }

void DialogPropertyPage::getPageInfo(text::Text& helpFile, long& helpContext) {
  ComPtr<::PropertyPage> page(host_ ? host_->page() : nullptr);
  if (!page) return;
  Bstr file(helpFile);
  LONG context = helpContext;
  BSTR raw = file.detach();
  if (SUCCEEDED(page->GetPageInfo(&raw, &context))) {
    helpFile = fromBstr(raw);
    helpContext = context;
  }
  SysFreeString(raw);
}

void DialogPropertyPage::onTerminate() {
  host_.reset();
  site_.reset();
}

}  // namespace korvanel::win::testing
