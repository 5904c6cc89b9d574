// platform::Shell over Win32: user32's message box and messages, shell32's ShellExecute,
// kernel32's environment, processes, files and Sleep, and gdi32's text measuring; the input
// box is a dialog of its own and keystrokes go through SendInput. Boxes belong to the active
// window of the process.
#pragma once

#include "platform/shell.h"

namespace korvanel::win {

class WinShell final : public platform::Shell {
 public:
  int messageBox(platform::TextView text, platform::TextView title, long style) override;
  std::optional<platform::Text> inputBox(platform::TextView prompt, platform::TextView title,
                                         platform::TextView defaultText) override;
  void sendKeys(platform::TextView keys, bool wait) override;
  std::intptr_t shellExecute(platform::WindowHandle window, platform::TextView verb,
                             platform::TextView file, platform::TextView parameters,
                             platform::TextView directory, int showCommand) override;
  platform::Text environmentVariable(platform::TextView name) override;
  bool startProcess(platform::TextView commandLine, int windowStyle) override;
  std::vector<platform::Text> listFiles(platform::TextView directory) override;
  bool deleteFile(platform::TextView path) override;
  void doEvents() override;
  void sleep(unsigned long milliseconds) override;
  unsigned ansiCodePage() override;
  int getSystemMetrics(int index) override;
  int drawText(const platform::FontSpec& font, platform::TextView text, int length,
               platform::TextRect* rect, std::uint32_t format) override;
  std::intptr_t sendMessage(platform::WindowHandle window, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam) override;
};

}  // namespace korvanel::win
