// The served Outlook's user interface on the real Windows thread the DLLs run on:
//  - one window, Outlook's, that holds the keyboard focus; the key messages it receives (the
//    keystrokes the add-in types with SendInput) go to the simulated keyboard, one keystroke
//    per SendKeys call, as the simulated shell records them;
//  - message boxes and input boxes the add-in shows (real ones) are caught as they activate,
//    answered from the scenario's script through the simulated shell, which records them,
//    and closed with that answer;
//  - whenever the simulated Outlook queues an event, a window message is posted that runs it,
//    so the add-in's own message loop (DoEvents) delivers Outlook's queued events; and before
//    Outlook processes its queue, pending window messages are processed first.
#pragma once

#include <windows.h>

#include "sim/machine.h"

namespace korvanel::win::served {

class ServedShell {
 public:
  explicit ServedShell(sim::Machine& machine);
  ~ServedShell();
  ServedShell(const ServedShell&) = delete;
  ServedShell& operator=(const ServedShell&) = delete;

  HWND window() const { return window_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void processWindowMessages();
  void keystroke(platform::TextView keys);
  void answerMessageBox(HWND box);

  sim::Machine& machine_;
  HWND window_ = nullptr;
  HHOOK hook_ = nullptr;
  bool queuedMessagePosted_ = false;
  bool processing_ = false;
};

}  // namespace korvanel::win::served
