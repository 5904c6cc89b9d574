// Outlook's side of an add-in's Options page, as a test host and the served Outlook play it:
// a real dialog with OK, Cancel and Apply under the page's area; the page's control created
// by its ProgID, given a client site, initialised and activated in place there; the site
// also answers PropertyPageSite (Application, OnStatusChange). On OnStatusChange the host
// reads the page's Dirty and enables Apply; OK and Apply call the page's Apply while it is
// dirty; OK and Cancel close the dialog, which closes and releases the control.
#pragma once

#include <oaidl.h>
#include <ole2.h>

#include <functional>

#include "text/text.h"
#include "win/com/com_ptr.h"
#include "win/page/outlook_page_idl.h"

namespace korvanel::win::testing {

class OptionsPageSite;

// The dialog's Apply button (OK and Cancel are IDOK and IDCANCEL).
inline constexpr int kApplyButtonId = 0x3021;

class OptionsDialogHost {
 public:
  // application is what the site's Application gives the page; it may be null.
  explicit OptionsDialogHost(ComPtr<IDispatch> application);
  ~OptionsDialogHost();
  OptionsDialogHost(const OptionsDialogHost&) = delete;
  OptionsDialogHost& operator=(const OptionsDialogHost&) = delete;

  // Shows the dialog with the page of progId, owned by owner (Outlook's window), which it
  // keeps disabled while it shows, as a modal dialog does; false when the dialog cannot be
  // made or the control cannot be created or activated in place.
  bool open(text::TextView progId, text::TextView title, HWND owner = nullptr);
  bool isOpen() const { return dialog_ != nullptr; }
  HWND dialog() const { return dialog_; }
  // The control's own window (IOleWindow::GetWindow); null when it is not active.
  HWND pageWindow() const;
  // The area the page was given, in the dialog's client coordinates.
  RECT pageArea() const { return pageArea_; }
  PropertyPage* page() const { return page_.get(); }
  IOleObject* control() const { return control_.get(); }
  int statusChanges() const { return statusChanges_; }
  bool pageDirty() const;

  // The dialog's buttons, as the user presses them.
  void pressOk();
  void pressApply();
  void pressCancel();
  // Apply as the page's state asks; the focus leaves it before it is disabled.
  void enableApply(bool enabled);
  // Closes the dialog: the control is closed and released (its last release ends the page).
  void close();

  // Processes the thread's pending messages as the dialog's message loop does: the active
  // control's keys first, then the dialog's.
  void pumpMessages();
  // One message through the control's and the dialog's keyboard handling; false when
  // neither used it.
  bool translate(MSG* message);

  // Runs whenever the page reports a change, after the host has read its Dirty.
  std::function<void()> onStatusChange;
  // When set, the dialog's buttons (IDOK, IDCANCEL, kApplyButtonId; Enter and Esc among
  // them) go here instead of to pressOk, pressCancel and pressApply: the served Outlook's
  // own dialog decides what they do.
  std::function<void(int button)> onButton;

 private:
  friend class OptionsPageSite;
  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void statusChanged();
  void applyIfDirty();

  ComPtr<IDispatch> application_;
  HWND dialog_ = nullptr;
  HWND owner_ = nullptr;
  RECT pageArea_ = {0, 0, 0, 0};
  ComPtr<OptionsPageSite> site_;
  ComPtr<IOleObject> control_;
  ComPtr<PropertyPage> page_;
  ComPtr<IOleInPlaceActiveObject> activeObject_;
  int statusChanges_ = 0;
  HFONT font_ = nullptr;
};

}  // namespace korvanel::win::testing
