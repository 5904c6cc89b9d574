// The Options page's controls as a user reaches them on screen: each control's window found
// by its place in the page's layout, clicks as BM_CLICK on a button's window, a row selected
// as the list box's selection followed by its notification, and what the windows show.
#pragma once

#include <windows.h>

#include <vector>

#include "text/text.h"

namespace korvanel::win::testing {

class PageWindows {
 public:
  // page is the control's own window (IOleWindow::GetWindow).
  explicit PageWindows(HWND page) : page_(page) {}

  // The window of the layout's control of this name ("cmdAdd", "Option1(2)", "List1");
  // null when there is none.
  HWND control(text::TextView name) const;
  // BM_CLICK on a button's or option's window; a label (Label1) gets the click notification
  // a static sends. False when the control is missing, hidden or disabled.
  bool click(text::TextView name) const;
  // Selects a row of a list box and sends the notification the user's click sends; false
  // when the list or the row is missing.
  bool select(text::TextView list, long row) const;

  std::vector<text::Text> rows(text::TextView list) const;
  long selectedRow(text::TextView list) const;
  text::Text caption(text::TextView name) const;
  bool checked(text::TextView name) const;
  bool visible(text::TextView name) const;
  bool enabled(text::TextView name) const;

 private:
  HWND page_;
};

}  // namespace korvanel::win::testing
