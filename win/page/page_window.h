// The Options page's window: one Win32 control per control of the page's layout (group boxes
// for frames, statics for labels, list boxes, push buttons, radio buttons), placed from the
// layout's twips through the display's logical pixels and drawn in each control's font. The
// real controls' notifications run the page model's handlers; after each, the windows are
// brought up to date with the model (captions, enabled and visible states, option
// selection, list rows, selection and horizontal extent).
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <vector>

#include "optionspage/korvanel_page.h"

namespace korvanel::win {

// The window id of the control at this position of PageLayout::controls(): how tests and
// the served Options dialog find a control's window (GetDlgItem on the page's window).
inline constexpr int kFirstPageControlId = 1000;
inline int pageControlId(std::size_t layoutIndex) {
  return kFirstPageControlId + static_cast<int>(layoutIndex);
}

// Twips (1440 to the inch) to pixels at dpi logical pixels to the inch.
inline int twipsToPixels(long twips, int dpi) { return MulDiv(static_cast<int>(twips), dpi, 1440); }

class PageWindow {
 public:
  // owner is held while a handler runs: a handler may close the dialog that holds the page.
  PageWindow(page::KorvanelPage& page, IUnknown* owner) : page_(page), owner_(owner) {}
  ~PageWindow() { destroy(); }
  PageWindow(const PageWindow&) = delete;
  PageWindow& operator=(const PageWindow&) = delete;

  // Creates the page's window and its controls as a child of parent, shown; false when the
  // window cannot be made.
  bool create(HWND parent, const RECT& position);
  void destroy();
  HWND handle() const { return window_; }
  void setPosition(const RECT& position);
  // Brings every control's window up to date with the page model.
  void refresh();
  // Keyboard navigation inside the page (Tab, Shift+Tab, arrows, mnemonics): true when the
  // message was used. Enter and Esc, and Tab off the page's ends, are left to the dialog.
  bool translateDialogKey(MSG* message);

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int code);
  // Runs one of the model's handlers, then shows its outcome.
  template <class Handler>
  void run(Handler&& handler);
  void createControl(std::size_t index, const page::Control& control);
  HFONT fontFor(const page::Control& control);
  void refreshList(std::size_t index, page::ListBox& list);
  const page::Control* controlOf(HWND control) const;
  bool leavesPage(HWND focus, bool backwards) const;

  page::KorvanelPage& page_;
  IUnknown* owner_;
  HWND window_ = nullptr;
  std::vector<HWND> controls_;  // parallel to PageLayout::controls()
  std::vector<std::vector<page::Text>> shownRows_;
  std::vector<HFONT> fonts_;
  int dpiX_ = 96;
  int dpiY_ = 96;
};

}  // namespace korvanel::win
