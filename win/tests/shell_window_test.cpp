// The shell's windows under a real window manager's rules: the input box and message boxes
// as modal dialogs owned by the active window (answered here from a timer, as a user would),
// keystrokes typed through SendInput into the focused window, and the message pump.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/key_events.h"
#include "win/com/wide.h"
#include "win/system/input_box.h"
#include "win/system/send_input.h"
#include "win/system/win_shell.h"

namespace korvanel::win::testing {
namespace {

text::Text windowText(HWND window) {
  wchar_t buffer[512] = {};
  const int n = GetWindowTextW(window, buffer, 512);
  return fromWide(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

// Win32 calls its callbacks with stdcall, which a lambda's function pointer is not on i686:
// the callbacks here are named functions declared CALLBACK.
BOOL CALLBACK findVisibleDialog(HWND window, LPARAM out) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (IsWindowVisible(window) && std::wstring(className) == L"#32770") {
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
  }
  return TRUE;
}

// The dialog box this thread shows; null while there is none.
HWND shownDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers the next dialog of this thread from inside its modal loop: answer runs once with
// the dialog, from a timer that fires while the dialog waits.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(HWND)> answer) {
    current_ = this;
    answer_ = std::move(answer);
    timer_ = SetTimer(nullptr, 0, 20, answerShownDialog);
  }
  DialogAnswer(const DialogAnswer&) = delete;
  DialogAnswer& operator=(const DialogAnswer&) = delete;
  ~DialogAnswer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool answered() const { return answered_; }

 private:
  static void CALLBACK answerShownDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = shownDialog();
    if (dialog == nullptr || current_ == nullptr || current_->answered_) return;
    current_->answered_ = true;
    current_->answer_(dialog);
  }

  static inline DialogAnswer* current_ = nullptr;
  std::function<void(HWND)> answer_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
};

// A top-level window of the test, active and focused: Outlook's window in miniature. Its
// edit control takes the keyboard input; posted WM_APP messages are counted.
class OutlookWindow {
 public:
  OutlookWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KorvanelTestOutlook";
    RegisterClassW(&windowClass);
    frame = CreateWindowExW(0, L"KorvanelTestOutlook", L"Inbox - Outlook",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 5,
                           5, 300, 24, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(frame);
    SetActiveWindow(frame);
    SetFocus(edit);
    WinShell().doEvents();
  }
  OutlookWindow(const OutlookWindow&) = delete;
  OutlookWindow& operator=(const OutlookWindow&) = delete;
  ~OutlookWindow() { DestroyWindow(frame); }

  HWND frame = nullptr;
  HWND edit = nullptr;
  int appMessages = 0;

 private:
  static LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<OutlookWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_APP && self != nullptr) {
      ++self->appMessages;
      // A message that queues another: the pump runs until the queue is empty.
      if (wp > 0) PostMessageW(w, WM_APP, wp - 1, 0);
      return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
  }
};

// Keys through the whole road: SendInput, the thread's queue, the pump, the focused edit.
text::Text typedInto(OutlookWindow& window, text::TextView keys) {
  SetWindowTextW(window.edit, L"");
  WinShell shell;
  shell.sendKeys(keys, false);
  // The input reaches the queue through the window system: pump until it has arrived.
  for (int i = 0; i < 50; ++i) {
    shell.doEvents();
    Sleep(10);
  }
  return windowText(window.edit);
}

TEST(InputBox, OkGivesTheTextOfferedSelectedOrWhatReplacedIt) {
  OutlookWindow outlook;
  HWND owner = nullptr;
  text::Text prompt, title, offered;
  DWORD selectionStart = 1, selectionEnd = 0;
  DialogAnswer answer([&](HWND dialog) {
    owner = GetWindow(dialog, GW_OWNER);
    title = windowText(dialog);
    prompt = windowText(GetDlgItem(dialog, kInputBoxPromptId));
    HWND edit = GetDlgItem(dialog, kInputBoxEditId);
    offered = windowText(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  WinShell shell;
  EXPECT_EQ(shell.inputBox(u"Enter the address:", u"Korvanel", u"sales@contoso.com"),
            std::optional<text::Text>(u"sales@contoso.com"));
  EXPECT_TRUE(answer.answered());
  EXPECT_EQ(owner, outlook.frame);
  EXPECT_EQ(title, u"Korvanel");
  EXPECT_EQ(prompt, u"Enter the address:");
  EXPECT_EQ(offered, u"sales@contoso.com");
  EXPECT_EQ(selectionStart, 0u);
  EXPECT_EQ(selectionEnd, offered.size());

  DialogAnswer emptied([](HWND dialog) {
    SetDlgItemTextW(dialog, kInputBoxEditId, L"");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  // An empty entry is an answer, not a cancel.
  EXPECT_EQ(shell.inputBox(u"Name:", u"Korvanel", u"x"), std::optional<text::Text>(u""));
}

TEST(InputBox, CancelAndClosingGiveNothing) {
  OutlookWindow outlook;
  WinShell shell;
  {
    DialogAnswer cancel([](HWND dialog) {
      SetDlgItemTextW(dialog, kInputBoxEditId, L"typed");
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(shell.inputBox(u"Name:", u"Korvanel", u"x"), std::nullopt);
  }
  DialogAnswer close([](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
  EXPECT_EQ(shell.inputBox(u"Name:", u"Korvanel", u""), std::nullopt);
}

TEST(MessageBoxes, IsOwnedByTheActiveWindowAndGivesTheButtonPressed) {
  OutlookWindow outlook;
  HWND owner = nullptr;
  text::Text title;
  DialogAnswer answer([&](HWND dialog) {
    owner = GetWindow(dialog, GW_OWNER);
    title = windowText(dialog);
    SendMessageW(dialog, WM_COMMAND, IDYES, 0);
  });
  WinShell shell;
  EXPECT_EQ(
      shell.messageBox(u"Re-read the addresses?", u"Korvanel",
                       platform::kMbYesNo | platform::kMbIconExclamation | platform::kMbDefButton2),
      platform::kIdYes);
  EXPECT_EQ(owner, outlook.frame);
  EXPECT_EQ(title, u"Korvanel");
}

TEST(SendKeys, KeysReachTheFocusedWindowAsTyped) {
  OutlookWindow outlook;
  EXPECT_EQ(typedInto(outlook, u"Ab{+}2"), u"Ab+2");
  EXPECT_EQ(typedInto(outlook, u"abc{BS}{LEFT}x"), u"axb");
  // Shift is released after its group: "+(ab)c" types "ABc".
  EXPECT_EQ(typedInto(outlook, u"+(ab)c"), u"ABc");
  // Invalid notation types nothing.
  EXPECT_EQ(typedInto(outlook, u"{NOSUCHKEY}a"), u"");
  // No modifier stays down afterwards.
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
}

TEST(SendKeys, TheKeyboardLayoutGivesEachCharactersKey) {
  const auto a = layoutKeyOf(u'a');
  ASSERT_TRUE(a);
  EXPECT_EQ(a->virtualKey, 'A');
  EXPECT_FALSE(a->shift);
  const auto capital = layoutKeyOf(u'A');
  ASSERT_TRUE(capital);
  EXPECT_TRUE(capital->shift);
  const auto digit = layoutKeyOf(u'2');
  ASSERT_TRUE(digit);
  EXPECT_EQ(digit->virtualKey, '2');
}

TEST(SendKeys, InputRecordsCarryTheKeysFlags) {
  const std::vector<platform::KeyEvent> events = {
      {platform::kVkMenu, 0, false, false}, {0x27, 0, false, true}, {0, u'é', true, false}};
  const std::vector<INPUT> records = inputRecords(events);
  ASSERT_EQ(records.size(), 3u);
  for (const INPUT& r : records) EXPECT_EQ(r.type, static_cast<DWORD>(INPUT_KEYBOARD));
  EXPECT_EQ(records[0].ki.wVk, VK_MENU);
  EXPECT_EQ(records[0].ki.dwFlags, 0u);
  EXPECT_EQ(records[1].ki.wVk, VK_RIGHT);
  EXPECT_EQ(records[1].ki.dwFlags, static_cast<DWORD>(KEYEVENTF_EXTENDEDKEY));
  EXPECT_EQ(records[2].ki.wVk, 0);
  EXPECT_EQ(records[2].ki.wScan, u'é');
  EXPECT_EQ(records[2].ki.dwFlags, static_cast<DWORD>(KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
}

TEST(DoEvents, ProcessesPendingMessagesUntilTheQueueIsEmpty) {
  OutlookWindow outlook;
  PostMessageW(outlook.frame, WM_APP, 3, 0);  // it queues three more, one after another
  WinShell().doEvents();
  EXPECT_EQ(outlook.appMessages, 4);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
}

TEST(DoEvents, LeavesAQuitForTheApplicationsOwnLoop) {
  OutlookWindow outlook;
  PostMessageW(outlook.frame, WM_APP, 0, 0);
  PostQuitMessage(7);
  WinShell().doEvents();
  EXPECT_EQ(outlook.appMessages, 1);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace korvanel::win::testing
