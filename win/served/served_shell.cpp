#include "win/served/served_shell.h"

#include <optional>
#include <string>

#include "platform/send_keys.h"
#include "sim/outlook_app.h"
#include "win/com/wide.h"
#include "win/system/input_box.h"

namespace korvanel::win::served {

using platform::Text;

namespace {

constexpr wchar_t kWindowClass[] = L"KorvanelServedOutlook";
constexpr UINT kRunQueuedMessages = WM_APP + 1;
constexpr UINT kAnswerMessageBox = WM_APP + 2;
// The message text and the icon of a message box (Windows' dialog template ids).
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kMessageBoxIcon = 0x0440;

ServedShell* current = nullptr;  // the one served shell of the thread

// The named keys SendKeys can type, by virtual-key code.
const wchar_t* keyName(WPARAM key) {
  switch (key) {
    case VK_TAB:
      return L"TAB";
    case VK_RETURN:
      return L"ENTER";
    case VK_ESCAPE:
      return L"ESC";
    case VK_END:
      return L"END";
    case VK_HOME:
      return L"HOME";
    case VK_LEFT:
      return L"LEFT";
    case VK_RIGHT:
      return L"RIGHT";
    case VK_UP:
      return L"UP";
    case VK_DOWN:
      return L"DOWN";
    case VK_BACK:
      return L"BACKSPACE";
    case VK_DELETE:
      return L"DELETE";
    case VK_INSERT:
      return L"INSERT";
    case VK_PRIOR:
      return L"PGUP";
    case VK_NEXT:
      return L"PGDN";
    case VK_F1:
      return L"F1";
    case VK_F4:
      return L"F4";
    default:
      return nullptr;
  }
}

bool down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

Text windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  return fromWide(text.data(), static_cast<std::size_t>(got < 0 ? 0 : got));
}

bool isDialog(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770";
}

// A button the box shows (Windows' message box template holds them all, the unused hidden).
bool shows(HWND box, int id) {
  const HWND button = GetDlgItem(box, id);
  return button != nullptr && IsWindowVisible(button);
}

// The style a message box was shown with, read back from its buttons, icon and default button.
long messageBoxStyle(HWND box) {
  const bool yes = shows(box, IDYES);
  const bool no = shows(box, IDNO);
  const bool cancel = shows(box, IDCANCEL);
  long style = MB_OK;
  if (yes && no) {
    style = cancel ? MB_YESNOCANCEL : MB_YESNO;
  } else if (shows(box, IDABORT)) {
    style = MB_ABORTRETRYIGNORE;
  } else if (shows(box, IDRETRY)) {
    style = MB_RETRYCANCEL;
  } else if (cancel) {
    style = MB_OKCANCEL;
  }
  const auto icon =
      reinterpret_cast<HICON>(SendDlgItemMessageW(box, kMessageBoxIcon, STM_GETICON, 0, 0));
  if (icon != nullptr) {
    if (icon == LoadIconW(nullptr, IDI_EXCLAMATION))
      style |= MB_ICONEXCLAMATION;
    else if (icon == LoadIconW(nullptr, IDI_INFORMATION))
      style |= MB_ICONINFORMATION;
    else if (icon == LoadIconW(nullptr, IDI_QUESTION))
      style |= MB_ICONQUESTION;
    else if (icon == LoadIconW(nullptr, IDI_HAND))
      style |= MB_ICONHAND;
  }
  // The default button is the one drawn as such.
  const int order[] = {IDOK, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDCANCEL};
  int position = 0;
  for (int candidate : order) {
    if (!shows(box, candidate)) continue;
    const LONG_PTR buttonStyle = GetWindowLongPtrW(GetDlgItem(box, candidate), GWL_STYLE);
    if ((buttonStyle & 0x0F) == BS_DEFPUSHBUTTON) {
      if (position == 1) style |= MB_DEFBUTTON2;
      if (position == 2) style |= MB_DEFBUTTON3;
      break;
    }
    ++position;
  }
  return style;
}

}  // namespace

ServedShell::ServedShell(sim::Machine& machine) : machine_(machine) {
  current = this;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, kWindowClass, L"Inbox - Microsoft Outlook", WS_OVERLAPPEDWINDOW, 0,
                            0, 320, 240, nullptr, nullptr, instance, nullptr);
  if (window_ != nullptr) {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    SetFocus(window_);
  }
  hook_ = SetWindowsHookExW(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());

  sim::World& world = machine_.world();
  world.messageQueued = [this] {
    if (queuedMessagePosted_ || window_ == nullptr) return;
    queuedMessagePosted_ = PostMessageW(window_, kRunQueuedMessages, 0, 0) != FALSE;
  };
  world.pumping = [this] { processWindowMessages(); };
}

ServedShell::~ServedShell() {
  sim::World& world = machine_.world();
  world.messageQueued = nullptr;
  world.pumping = nullptr;
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (window_ != nullptr) DestroyWindow(window_);
  UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
  current = nullptr;
}

void ServedShell::processWindowMessages() {
  if (processing_) return;
  processing_ = true;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  processing_ = false;
}

LRESULT CALLBACK ServedShell::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (current != nullptr && window == current->window_) {
    return current->handle(message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ServedShell::cbtHook(int code, WPARAM wParam, LPARAM lParam) {
  // A message box activating: it is answered once its modal loop runs.
  if (code == HCBT_ACTIVATE && current != nullptr && current->window_ != nullptr) {
    const HWND activated = reinterpret_cast<HWND>(wParam);
    if (activated != current->window_ && isDialog(activated)) {
      PostMessageW(current->window_, kAnswerMessageBox, wParam, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT ServedShell::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kRunQueuedMessages:
      queuedMessagePosted_ = false;
      if (std::shared_ptr<sim::Outlook> outlook = machine_.outlook()) outlook->pump();
      return 0;
    case kAnswerMessageBox:
      answerMessageBox(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      platform::KeyStroke stroke;
      stroke.shift = down(VK_SHIFT);
      stroke.ctrl = down(VK_CONTROL);
      stroke.alt = down(VK_MENU);
      if (const wchar_t* name = keyName(wParam)) {
        stroke.named = true;
        stroke.key = fromWide(name);
      } else if ((stroke.ctrl || stroke.alt) &&
                 ((wParam >= 'A' && wParam <= 'Z') || (wParam >= '0' && wParam <= '9'))) {
        // A shortcut: SendKeys writes its letter in lower case.
        stroke.key =
            Text(1, static_cast<char16_t>(wParam >= 'A' && wParam <= 'Z' ? wParam + 32 : wParam));
        stroke.shift = false;
      } else {
        return 0;  // a character: told by its WM_CHAR
      }
      keystroke(stroke.notation());
      return 0;
    }
    case WM_CHAR: {
      if (down(VK_CONTROL) || down(VK_MENU) || wParam < 0x20) return 0;
      platform::KeyStroke stroke;
      stroke.key = Text(1, static_cast<char16_t>(wParam));
      keystroke(stroke.notation());
      return 0;
    }
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
    case WM_KEYUP:
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void ServedShell::keystroke(platform::TextView keys) { machine_.shell().sendKeys(keys, false); }

void ServedShell::answerMessageBox(HWND box) {
  if (!IsWindow(box)) return;
  if (const HWND edit = GetDlgItem(box, kInputBoxEditId)) {
    // The input box: its prompt, title and offered text go to the script; the answer is
    // written into it and OK pressed, or Cancel.
    const std::optional<Text> input = machine_.shell().inputBox(
        windowText(GetDlgItem(box, kInputBoxPromptId)), windowText(box), windowText(edit));
    if (input) SetWindowTextW(edit, toWide(*input).c_str());
    const int button = input ? IDOK : IDCANCEL;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return;
  }
  // Other dialogs (the Options dialog) are the user's, not a box to answer.
  const HWND label = GetDlgItem(box, kMessageBoxText);
  if (label == nullptr) return;
  const Text text = windowText(label);
  const int answer = machine_.shell().messageBox(text, windowText(box), messageBoxStyle(box));
  const int button = answer != 0 ? answer : IDCANCEL;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace korvanel::win::served
