#include "win/system/win_shell.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>

#include "win/com/wide.h"
#include "win/system/input_box.h"
#include "win/system/owner_window.h"
#include "win/system/send_input.h"

namespace korvanel::win {

using platform::Text;
using platform::TextView;

namespace {

// A C string for an optional argument: null when empty, as the API wants "none".
const wchar_t* orNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

HWND toHwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Owns a Win32 handle; Close releases it. Null and INVALID_HANDLE_VALUE mean none.
template <class Handle, class Close>
class UniqueHandle {
 public:
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (*this) Close()(h_);
  }
  Handle get() const { return h_; }
  explicit operator bool() const {
    return h_ != nullptr && reinterpret_cast<HANDLE>(h_) != INVALID_HANDLE_VALUE;
  }

 private:
  Handle h_;
};

struct CloseFind {
  void operator()(HANDLE h) const { FindClose(h); }
};
struct CloseKernelHandle {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteFont {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFind = UniqueHandle<HANDLE, CloseFind>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueDc = UniqueHandle<HDC, DeleteDc>;
using UniqueFont = UniqueHandle<HFONT, DeleteFont>;

}  // namespace

int WinShell::messageBox(TextView text, TextView title, long style) {
  try {
    return MessageBoxW(activeOwnerWindow(), toWide(text).c_str(), toWide(title).c_str(),
                       static_cast<UINT>(style));
  } catch (...) {
    return 0;
  }
}

std::optional<Text> WinShell::inputBox(TextView prompt, TextView title, TextView defaultText) {
  return showInputBox(activeOwnerWindow(), prompt, title, defaultText);
}

void WinShell::sendKeys(TextView keys, bool wait) {
  // Waiting means the focused window has taken the keys: the queue is processed once.
  if (typeKeys(keys) && wait) doEvents();
}

std::intptr_t WinShell::shellExecute(platform::WindowHandle window, TextView verb, TextView file,
                                     TextView parameters, TextView directory, int showCommand) {
  try {
    const std::wstring v = toWide(verb), f = toWide(file), p = toWide(parameters),
                       d = toWide(directory);
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteW(toHwnd(window), orNull(v), f.c_str(), orNull(p), orNull(d), showCommand));
  } catch (...) {
    return 0;
  }
}

Text WinShell::environmentVariable(TextView name) {
  try {
    const std::wstring wideName = toWide(name);
    std::wstring value(256, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
      const DWORD n =
          GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
      if (n == 0) return {};
      if (n < value.size()) return fromWide(value.data(), n);
      value.resize(n);  // n is the size needed, its NUL included
    }
  } catch (...) {
  }
  return {};
}

bool WinShell::startProcess(TextView commandLine, int windowStyle) {
  try {
    std::wstring line = toWide(commandLine);  // CreateProcessW may write to it
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = windowStyle == platform::kWindowHide ? SW_HIDE : SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return false;
    }
    // Started, not waited for.
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    return true;
  } catch (...) {
    return false;
  }
}

std::vector<Text> WinShell::listFiles(TextView directory) {
  std::vector<Text> names;
  try {
    std::wstring pattern = toWide(directory);
    if (pattern.empty()) return names;
    if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found = {};
    UniqueFind find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        names.push_back(fromWide(found.cFileName));
      }
    } while (FindNextFileW(find.get(), &found));
  } catch (...) {
  }
  return names;
}

bool WinShell::deleteFile(TextView path) {
  try {
    return DeleteFileW(toWide(path).c_str()) != FALSE;
  } catch (...) {
    return false;
  }
}

void WinShell::doEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Outlook's own loop must still see it, or Outlook would not close.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void WinShell::sleep(unsigned long milliseconds) { Sleep(milliseconds); }

unsigned WinShell::ansiCodePage() { return GetACP(); }

int WinShell::getSystemMetrics(int index) { return GetSystemMetrics(index); }

int WinShell::drawText(const platform::FontSpec& font, TextView text, int length,
                       platform::TextRect* rect, std::uint32_t format) {
  if (rect == nullptr) return 0;
  try {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return 0;
    // Points to logical units of the screen, as a control's font is sized.
    const int height =
        -static_cast<int>(font.size * GetDeviceCaps(dc.get(), LOGPIXELSY) / 72.0 + 0.5);
    UniqueFont hfont(CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                 FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH, toWide(font.name).c_str()));
    if (!hfont) return 0;
    const HGDIOBJ previous = SelectObject(dc.get(), hfont.get());
    std::wstring wide = toWide(text);
    const int count = length < 0 || static_cast<std::size_t>(length) > wide.size()
                          ? static_cast<int>(wide.size())
                          : length;
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};
    const int result = DrawTextW(dc.get(), wide.data(), count, &r, format);
    SelectObject(dc.get(), previous);
    rect->left = r.left;
    rect->top = r.top;
    rect->right = r.right;
    rect->bottom = r.bottom;
    return result;
  } catch (...) {
    return 0;
  }
}

std::intptr_t WinShell::sendMessage(platform::WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
  return static_cast<std::intptr_t>(SendMessageW(
      toHwnd(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

}  // namespace korvanel::win
