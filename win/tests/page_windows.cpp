#include "win/tests/page_windows.h"

#include <string>

#include "optionspage/page_layout.h"
#include "win/com/wide.h"
#include "win/page/page_window.h"

namespace korvanel::win::testing {

using text::Text;
using text::TextView;

HWND PageWindows::control(TextView name) const {
  const page::PageLayout layout;
  const auto all = layout.controls();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i]->name == name) return GetDlgItem(page_, pageControlId(i));
  }
  return nullptr;
}

bool PageWindows::click(TextView name) const {
  HWND w = control(name);
  if (w == nullptr || !visible(name) || !enabled(name)) return false;
  wchar_t kind[16] = {};
  GetClassNameW(w, kind, 16);
  if (_wcsicmp(kind, L"Static") == 0) {
    SendMessageW(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), STN_CLICKED),
                 reinterpret_cast<LPARAM>(w));
  } else {
    SendMessageW(w, BM_CLICK, 0, 0);
  }
  return true;
}

bool PageWindows::select(TextView list, long row) const {
  HWND w = control(list);
  if (w == nullptr || row < 0 || row >= SendMessageW(w, LB_GETCOUNT, 0, 0)) return false;
  SendMessageW(w, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(w));
  return true;
}

std::vector<Text> PageWindows::rows(TextView list) const {
  std::vector<Text> out;
  HWND w = control(list);
  if (w == nullptr) return out;
  const LRESULT n = SendMessageW(w, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT length = SendMessageW(w, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring row(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    SendMessageW(w, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row.data()));
    out.push_back(fromWide(row.c_str()));
  }
  return out;
}

long PageWindows::selectedRow(TextView list) const {
  HWND w = control(list);
  return w == nullptr ? -1 : static_cast<long>(SendMessageW(w, LB_GETCURSEL, 0, 0));
}

Text PageWindows::caption(TextView name) const {
  HWND w = control(name);
  if (w == nullptr) return {};
  const int length = GetWindowTextLengthW(w);
  std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(w, s.data(), length + 1);
  return fromWide(s.c_str());
}

bool PageWindows::checked(TextView name) const {
  HWND w = control(name);
  return w != nullptr && SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PageWindows::visible(TextView name) const {
  HWND w = control(name);
  return w != nullptr && (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool PageWindows::enabled(TextView name) const {
  HWND w = control(name);
  return w != nullptr && IsWindowEnabled(w) != FALSE;
}

}  // namespace korvanel::win::testing
