// The Windows user interface and system services the product uses besides the registry:
// message box and input box, keystrokes into the keyboard input, ShellExecute, environment
// variables, starting a program, listing and deleting files, processing pending window
// messages, Sleep, and the text measuring of the Options page's lists. No call throws;
// failures give the empty value stated on each member. Single-threaded.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "text/text.h"

namespace korvanel::platform {

using text::Text;
using text::TextView;

using WindowHandle = std::uintptr_t;

// Message box styles and answers, as Windows numbers them.
inline constexpr long kMbOk = 0;
inline constexpr long kMbYesNo = 4;
inline constexpr long kMbIconExclamation = 48;
inline constexpr long kMbIconInformation = 64;
inline constexpr long kMbDefButton2 = 256;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Window show states: ShellExecute's SW_SHOWNORMAL; the program-start styles vbHide and
// vbNormalFocus.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kWindowHide = 0;
inline constexpr int kWindowNormalFocus = 1;

inline constexpr int kSmCxVScroll = 2;
inline constexpr std::uint32_t kDtCalcRect = 1024;
inline constexpr std::uint32_t kLbSetHorizontalExtent = 404;

struct TextRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
};

// The font a text is measured in.
struct FontSpec {
  Text name;
  bool bold = false;
  double size = 8.0;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The answer (kIdOk, kIdYes, ...); 0 on failure.
  virtual int messageBox(TextView text, TextView title, long style) = 0;
  // The text entered; nullopt when the user cancelled (or the box failed), which is distinct
  // from an empty entry.
  virtual std::optional<Text> inputBox(TextView prompt, TextView title, TextView defaultText) = 0;
  // Queues keystrokes (SendKeys notation: "%n", "+{TAB}", "{END}", "{Esc}", "{Right}", "2")
  // for whichever window has the keyboard focus when they are processed.
  virtual void sendKeys(TextView keys, bool wait) = 0;
  // ShellExecute; a value above 32 on success.
  virtual std::intptr_t shellExecute(WindowHandle window, TextView verb, TextView file,
                                     TextView parameters, TextView directory, int showCommand) = 0;
  // Empty when the variable is not set.
  virtual Text environmentVariable(TextView name) = 0;
  // Starts a program from a command line without waiting for it; false on failure.
  virtual bool startProcess(TextView commandLine, int windowStyle) = 0;
  // The names (without folder) of the files directly in a folder, in no particular order;
  // empty when the folder does not exist or cannot be read. Callers do their own matching,
  // so characters such as '*' and '?' in a name only ever match themselves.
  virtual std::vector<Text> listFiles(TextView directory) = 0;
  // Deletes one file given by its full path; false when it does not exist or cannot be deleted.
  virtual bool deleteFile(TextView path) = 0;
  // Processes pending window messages (Outlook's queued events among them).
  virtual void doEvents() = 0;
  virtual void sleep(unsigned long milliseconds) = 0;
  // The ANSI code page single-byte texts are in (1252 in the simulation).
  virtual unsigned ansiCodePage() = 0;

  virtual int getSystemMetrics(int index) = 0;
  // DrawText with kDtCalcRect measures text (length -1: all of it) in the font given, as a
  // device context selected with that font would; sets rect->right and rect->bottom and
  // returns the height; 0 on failure.
  virtual int drawText(const FontSpec& font, TextView text, int length, TextRect* rect,
                       std::uint32_t format) = 0;
  virtual std::intptr_t sendMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace korvanel::platform
