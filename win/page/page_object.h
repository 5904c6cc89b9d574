// The COM class KorvanelPage: the Options page's control object. The control's window and the
// page model behind it come with the page itself; this object is what Outlook creates by
// the ProgID "Korvanel.KorvanelPage".
#pragma once

#include "win/com/bstr.h"
#include "win/com/dispatch_object.h"
#include "win/page/korvanel_page_idl.h"

namespace korvanel::win {

class KorvanelPageObject final : public DispatchObject<_KorvanelPage> {
 public:
  STDMETHODIMP get_Caption(BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return guard([&] {
      *value = Bstr(u"Outlook Property Page").detach();
      return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }

 protected:
  void* findInterface(REFIID iid) override { return findDispatch(iid); }
};

}  // namespace korvanel::win
