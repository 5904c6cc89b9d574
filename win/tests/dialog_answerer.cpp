#include "win/tests/dialog_answerer.h"

#include <string>

#include "win/com/wide.h"

namespace korvanel::win::testing {
namespace {

DialogAnswerer* gActive = nullptr;

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
  s.resize(static_cast<std::size_t>(GetWindowTextW(window, s.data(), length + 1)));
  return s;
}

std::wstring className(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Children {
  HWND edit = nullptr;
  std::wstring longestStatic;
};

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  auto* found = reinterpret_cast<Children*>(data);
  const std::wstring kind = className(child);
  if (_wcsicmp(kind.c_str(), L"Edit") == 0 && found->edit == nullptr) found->edit = child;
  if (_wcsicmp(kind.c_str(), L"Static") == 0) {
    const std::wstring text = windowText(child);
    if (text.size() > found->longestStatic.size()) found->longestStatic = text;
  }
  return TRUE;
}

struct Search {
  HWND ignore;
  HWND found = nullptr;
};

BOOL CALLBACK findBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (window == search->ignore || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
    return TRUE;
  }
  // Message boxes and input boxes are owned dialogs.
  if (className(window) != L"#32770" || GetWindow(window, GW_OWNER) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

int buttonOf(text::TextView answer) {
  const std::pair<const char16_t*, int> buttons[] = {
      {u"OK", IDOK}, {u"Cancel", IDCANCEL}, {u"Yes", IDYES}, {u"No", IDNO}};
  for (const auto& [name, id] : buttons) {
    if (text::equalsNoCase(answer, name)) return id;
  }
  return 0;
}

void press(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

}  // namespace

DialogAnswerer::DialogAnswerer(HWND ignore) : ignore_(ignore) {
  gActive = this;
  timer_ = SetTimer(nullptr, 0, 30, &DialogAnswerer::tick);
}

DialogAnswerer::~DialogAnswerer() {
  if (timer_ != 0) KillTimer(nullptr, timer_);
  if (gActive == this) gActive = nullptr;
}

void DialogAnswerer::answer(std::initializer_list<text::TextView> answers) {
  for (text::TextView a : answers) answers_.emplace_back(a);
}

void CALLBACK DialogAnswerer::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (gActive != nullptr) gActive->answerBoxOnScreen();
}

void DialogAnswerer::answerBoxOnScreen() {
  Search search{ignore_};
  EnumThreadWindows(GetCurrentThreadId(), &findBox, reinterpret_cast<LPARAM>(&search));
  if (search.found != nullptr) answerBox(search.found);
}

bool DialogAnswerer::answerBox(HWND box) {
  // A box already answered but not yet gone is not answered twice.
  if (GetPropW(box, L"KorvanelAnswered") != nullptr) return false;
  SetPropW(box, L"KorvanelAnswered", reinterpret_cast<HANDLE>(1));
  Children children;
  EnumChildWindows(box, &collectChild, reinterpret_cast<LPARAM>(&children));
  SeenBox seen;
  seen.title = fromWide(windowText(box).c_str());
  seen.text = fromWide(children.longestStatic.c_str());
  seen.input = children.edit != nullptr;
  if (answers_.empty()) {
    seen.answer = u"<default>";
    const LRESULT defaultId = SendMessageW(box, DM_GETDEFID, 0, 0);
    press(box, HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDCANCEL);
  } else {
    seen.answer = answers_.front();
    answers_.pop_front();
    if (seen.input && seen.answer != kCancelInput) {
      SetWindowTextW(children.edit, toWide(seen.answer).c_str());
      press(box, IDOK);
    } else if (seen.input) {
      press(box, IDCANCEL);
    } else {
      const int id = buttonOf(seen.answer);
      press(box, id != 0 ? id : IDCANCEL);
    }
  }
  seen_.push_back(std::move(seen));
  return true;
}

}  // namespace korvanel::win::testing
