#include "win/page/page_window.h"

#include <utility>

#include "win/com/com_ptr.h"
#include "win/com/module.h"
#include "win/com/wide.h"

namespace korvanel::win {

using page::Control;
using page::ControlKind;
using page::KorvanelPage;

namespace {

constexpr wchar_t kWindowClass[] = L"KorvanelPageWindow";
int gLiveWindows = 0;

using Click = void (KorvanelPage::*)();

// The push buttons and the handler each one's click runs.
const std::pair<const char16_t*, Click> kButtonHandlers[] = {
    {u"cmdChange", &KorvanelPage::cmdChange_Click},
    {u"cmdAdd", &KorvanelPage::cmdAdd_Click},
    {u"cmdRemove", &KorvanelPage::cmdRemove_Click},
    {u"cmdRemoveAll", &KorvanelPage::cmdRemoveAll_Click},
    {u"cmdMoveUp", &KorvanelPage::cmdMoveUp_Click},
    {u"cmdMoveDown", &KorvanelPage::cmdMoveDown_Click},
    {u"cmdRefresh", &KorvanelPage::cmdRefresh_Click},
    {u"cmdPopulate", &KorvanelPage::cmdPopulate_Click},
    {u"cmdSharedMailboxes", &KorvanelPage::cmdSharedMailboxes_Click},
    {u"cmdAddFolder", &KorvanelPage::cmdAddFolder_Click},
    {u"cmdDeleteFolder", &KorvanelPage::cmdDeleteFolder_Click},
    {u"cmdDeleteAllFolders", &KorvanelPage::cmdDeleteAllFolders_Click},
};

struct ControlStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle;
};

ControlStyle styleOf(const Control& c, bool firstOption) {
  switch (c.kind) {
    case ControlKind::kFrame:
      return {L"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case ControlKind::kLabel:
      // A user's name may hold "&", which must not become a mnemonic.
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::kListBox:
      // The layout gives the height; the list must not round it to whole rows.
      return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlKind::kCommandButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kOptionButton:
      // The page decides which option is selected, so the buttons do not check themselves.
      return {L"BUTTON", BS_RADIOBUTTON | (firstOption ? WS_GROUP | WS_TABSTOP : 0u), 0};
  }
  return {L"STATIC", 0, 0};
}

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(window, s.data(), length + 1);
  s.resize(static_cast<std::size_t>(n < 0 ? 0 : n));
  return s;
}

bool hasStyle(HWND window, DWORD style) {
  return (static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & style) != 0;
}

}  // namespace

bool PageWindow::create(HWND parent, const RECT& position) {
  if (window_ != nullptr) return true;
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(moduleHandle(), kWindowClass, &existing)) {
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &PageWindow::windowProc;
    c.hInstance = moduleHandle();
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = kWindowClass;
    if (RegisterClassExW(&c) == 0) return false;
  }
  // The dialog's own navigation reaches into the page's controls.
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_TABSTOP,
                            position.left, position.top, position.right - position.left,
                            position.bottom - position.top, parent, nullptr, moduleHandle(), this);
  if (window_ == nullptr) return false;
  ++gLiveWindows;

  HDC screen = GetDC(nullptr);
  if (screen != nullptr) {
    dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  const auto all = page_.layout().controls();
  controls_.assign(all.size(), nullptr);
  shownRows_.assign(all.size(), {});
  for (std::size_t i = 0; i < all.size(); ++i) createControl(i, *all[i]);
  refresh();
  ShowWindow(window_, SW_SHOWNA);
  return true;
}

void PageWindow::createControl(std::size_t index, const Control& c) {
  page::PageLayout& layout = page_.layout();
  long left = c.position.left;
  long top = c.position.top;
  // Positions inside a frame are the frame's own.
  if (!c.container.empty()) {
    if (const Control* frame = layout.find(c.container)) {
      left += frame->position.left;
      top += frame->position.top;
    }
  }
  const ControlStyle s = styleOf(c, &c == &layout.Option1[0]);
  const DWORD style = WS_CHILD | s.style | (c.visible ? WS_VISIBLE : 0u) |
                      (c.enabled ? 0u : static_cast<DWORD>(WS_DISABLED));
  const std::wstring caption = c.kind == ControlKind::kListBox ? std::wstring() : toWide(c.caption);
  HWND control = CreateWindowExW(
      s.extendedStyle, s.windowClass, caption.c_str(), style, twipsToPixels(left, dpiX_),
      twipsToPixels(top, dpiY_), twipsToPixels(c.position.width, dpiX_),
      twipsToPixels(c.position.height, dpiY_), window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(pageControlId(index))), moduleHandle(), nullptr);
  controls_[index] = control;
  if (control == nullptr) return;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(c)), FALSE);
  if (c.kind == ControlKind::kListBox) {
    // The page's scroll-extent code sends its messages to the list's own window.
    if (page::ListBox* list = layout.findList(c.name)) {
      list->hWnd = reinterpret_cast<platform::WindowHandle>(control);
    }
  }
}

HFONT PageWindow::fontFor(const Control& c) {
  // Sized as the page measures its list rows (points at the display's logical pixels).
  const int height = -static_cast<int>(c.font.size * dpiY_ / 72.0 + 0.5);
  HFONT font =
      CreateFontW(height, 0, 0, 0, c.font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                  c.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, toWide(c.font.name).c_str());
  if (font != nullptr) fonts_.push_back(font);
  return font;
}

void PageWindow::destroy() {
  if (window_ != nullptr) {
    HWND window = std::exchange(window_, nullptr);
    DestroyWindow(window);
    if (--gLiveWindows == 0) UnregisterClassW(kWindowClass, moduleHandle());
  }
  controls_.clear();
  shownRows_.clear();
  for (page::ListBox* list : {&page_.layout().List1, &page_.layout().List2, &page_.layout().List3,
                              &page_.layout().List4, &page_.layout().List5}) {
    list->hWnd = 0;
  }
  for (HFONT font : fonts_) DeleteObject(font);
  fonts_.clear();
}

void PageWindow::setPosition(const RECT& position) {
  if (window_ == nullptr) return;
  MoveWindow(window_, position.left, position.top, position.right - position.left,
             position.bottom - position.top, TRUE);
}

void PageWindow::refresh() {
  if (window_ == nullptr) return;
  page::PageLayout& layout = page_.layout();
  const auto all = layout.controls();
  for (std::size_t i = 0; i < all.size() && i < controls_.size(); ++i) {
    HWND w = controls_[i];
    if (w == nullptr) continue;
    const Control& c = *all[i];
    if (c.kind == ControlKind::kListBox) {
      if (page::ListBox* list = layout.findList(c.name)) refreshList(i, *list);
    } else {
      const std::wstring caption = toWide(c.caption);
      if (windowText(w) != caption) SetWindowTextW(w, caption.c_str());
    }
    if (c.kind == ControlKind::kOptionButton) {
      const WPARAM check = c.value ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageW(w, BM_GETCHECK, 0, 0)) != check) {
        SendMessageW(w, BM_SETCHECK, check, 0);
      }
    }
    if ((IsWindowEnabled(w) != FALSE) != c.enabled) EnableWindow(w, c.enabled ? TRUE : FALSE);
    if (hasStyle(w, WS_VISIBLE) != c.visible) ShowWindow(w, c.visible ? SW_SHOWNA : SW_HIDE);
  }
}

void PageWindow::refreshList(std::size_t index, page::ListBox& list) {
  HWND w = controls_[index];
  std::vector<page::Text> rows = list.texts();
  if (rows != shownRows_[index]) {
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    SendMessageW(w, LB_RESETCONTENT, 0, 0);
    for (const page::Text& row : rows) {
      const std::wstring text = toWide(row);
      SendMessageW(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(w, nullptr, TRUE);
    shownRows_[index] = std::move(rows);
  }
  if (SendMessageW(w, LB_GETCURSEL, 0, 0) != list.ListIndex()) {
    SendMessageW(w, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
  }
  if (SendMessageW(w, LB_GETHORIZONTALEXTENT, 0, 0) != list.horizontalExtent) {
    SendMessageW(w, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(list.horizontalExtent), 0);
  }
}

template <class Handler>
void PageWindow::run(Handler&& handler) {
  // A handler's message box runs a message loop in which the dialog may close and let go of
  // the page; the page lives until the handler is done.
  ComPtr<IUnknown> keepAlive(owner_);
  std::forward<Handler>(handler)();
  refresh();
}

const Control* PageWindow::controlOf(HWND control) const {
  const auto all = page_.layout().controls();
  for (std::size_t i = 0; i < controls_.size() && i < all.size(); ++i) {
    if (controls_[i] == control) return all[i];
  }
  return nullptr;
}

void PageWindow::onCommand(int id, int code) {
  const auto all = page_.layout().controls();
  const int index = id - kFirstPageControlId;
  if (index < 0 || static_cast<std::size_t>(index) >= all.size() ||
      static_cast<std::size_t>(index) >= controls_.size()) {
    return;
  }
  const Control& c = *all[static_cast<std::size_t>(index)];
  HWND w = controls_[static_cast<std::size_t>(index)];
  if (w == nullptr || !IsWindowEnabled(w)) return;
  page::PageLayout& layout = page_.layout();
  switch (c.kind) {
    case ControlKind::kCommandButton:
      if (code != BN_CLICKED) return;
      for (const auto& [name, handler] : kButtonHandlers) {
        if (c.name == name) {
          run([&, handler = handler] { (page_.*handler)(); });
          return;
        }
      }
      return;
    case ControlKind::kOptionButton:
      if (code != BN_CLICKED) return;
      for (std::size_t k = 0; k < layout.Option1.size(); ++k) {
        if (&c == &layout.Option1[k]) run([&] { page_.clickOption1(static_cast<int>(k)); });
      }
      return;
    case ControlKind::kListBox: {
      if (code != LBN_SELCHANGE) return;
      const long row = static_cast<long>(SendMessageW(w, LB_GETCURSEL, 0, 0));
      if (&c == &layout.List1.control) run([&] { page_.clickList1(row); });
      if (&c == &layout.List4.control) run([&] { page_.clickList4(row); });
      return;
    }
    case ControlKind::kLabel:
      if (code == STN_CLICKED && &c == &layout.Label1) run([&] { page_.Label1_Click(); });
      return;
    case ControlKind::kFrame:
      return;
  }
}

bool PageWindow::leavesPage(HWND focus, bool backwards) const {
  // Tab leaves the page where the page's own order would wrap round to its other end.
  const auto position = [&](HWND w) -> std::ptrdiff_t {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      if (controls_[i] == w) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  };
  const std::ptrdiff_t from = position(focus);
  const std::ptrdiff_t to = position(GetNextDlgTabItem(window_, focus, backwards ? TRUE : FALSE));
  if (from < 0 || to < 0) return true;
  return backwards ? to >= from : to <= from;
}

bool PageWindow::translateDialogKey(MSG* message) {
  if (window_ == nullptr || message == nullptr) return false;
  if (message->hwnd != window_ && !IsChild(window_, message->hwnd)) return false;
  if (message->message == WM_KEYDOWN) {
    switch (message->wParam) {
      case VK_ESCAPE:
      case VK_RETURN:
        return false;  // the dialog's Cancel and OK
      case VK_TAB:
        if (leavesPage(GetFocus(), GetKeyState(VK_SHIFT) < 0)) return false;
        break;
      default:
        break;
    }
  }
  return IsDialogMessageW(window_, message) != FALSE;
}

LRESULT CALLBACK PageWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (self == nullptr || self->window_ != window) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->onMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT PageWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const Control* c = controlOf(reinterpret_cast<HWND>(lParam));
      if (c == nullptr || c->foreColor == page::kDefaultColor) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, static_cast<COLORREF>(c->foreColor));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
      const Control* c = controlOf(reinterpret_cast<HWND>(wParam));
      if (c == nullptr || !c->handCursor) break;
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
      return TRUE;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace korvanel::win
