// The simulated Windows shell and user interface behind platform::Shell. Message boxes and
// input boxes are answered from a script and recorded; keystrokes are recorded and handed,
// one by one and through the user-interface thread's queue, to whichever window has the
// focus (the shell's own open box first, else the running Outlook's window through the
// host); ShellExecute, program starts, Sleep and SendMessage are recorded; environment
// variables and files are simulated; text is measured with a fixed font metric.
//
// Failure injection: every member first asks the fault plan (when given) about
// "Shell." + its name ("Shell.messageBox", "Shell.inputBox", "Shell.sendKeys",
// "Shell.shellExecute", "Shell.environmentVariable", "Shell.startProcess",
// "Shell.listFiles", "Shell.deleteFile", "Shell.doEvents", "Shell.sleep",
// "Shell.getSystemMetrics", "Shell.drawText", "Shell.sendMessage") and, told to fail,
// returns its empty value and changes nothing.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/send_keys.h"
#include "platform/shell.h"
#include "sim/faults.h"
#include "sim/file_system.h"

namespace korvanel::sim {

using platform::FontSpec;
using platform::KeyStroke;
using platform::TextRect;
using platform::WindowHandle;

// One message box or input box as it was shown and answered.
struct DialogRecord {
  enum class Kind { kMessageBox, kInputBox };
  Kind kind = Kind::kMessageBox;
  Text text;  // the message, or the input box's prompt
  Text title;
  long style = 0;             // message box style
  Text offered;               // the input box's offered text
  bool caretAtEnd = false;    // a Right key reached the input box: the offered text is not selected
  int answer = 0;             // the message box's answer (kIdOk, kIdYes, ...)
  std::optional<Text> input;  // the input box's result; nullopt when cancelled
  // False when no scripted answer was left and the box took its default (the default
  // button; Cancel for an input box).
  bool scripted = true;
  // The scripted answer expected another text (see the answer... members).
  bool mismatch = false;
};

struct KeysRecord {
  Text keys;
  bool wait = false;
  bool valid = true;  // false: not valid SendKeys notation, nothing was typed
};

// One keystroke as it reached a window.
struct KeyDelivery {
  Text key;     // in SendKeys notation, "+{TAB}"
  Text target;  // "InputBox", "MessageBox", or what the host names ("OptionsDialog", ...)
  Text effect;  // what the window did with it; empty when it ignored it
};

struct ShellExecuteRecord {
  WindowHandle window = 0;
  Text verb;
  Text file;
  Text parameters;
  Text directory;
  int showCommand = 0;
};

struct ProcessRecord {
  Text commandLine;
  int windowStyle = 0;
  bool started = false;
  Text outcome;  // what became of it ("Outlook start pending", "no such program", ...)
};

struct SendMessageRecord {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// What the shell reaches beyond itself on the simulated machine: the running Outlook's
// user-interface thread and the programs installed. Without a host, keystrokes reach only
// the shell's own boxes, the message pump has nothing to process, and a program starts when
// its file exists.
class ShellHost {
 public:
  virtual ~ShellHost() = default;
  // Queues a message on the running Outlook's user-interface thread; false when none runs.
  virtual bool post(std::function<void()> message) = 0;
  // Processes the running Outlook's pending messages.
  virtual void pump() = 0;
  // A keystroke for the window that has the focus in Outlook; fills target and effect.
  virtual void deliverKey(const KeyStroke& key, KeyDelivery& delivery) = 0;
  // Starts the program of a command line; sets the record's outcome; false when it cannot.
  virtual bool startProgram(TextView commandLine, int windowStyle, ProcessRecord& record) = 0;
};

class SimShell final : public platform::Shell {
 public:
  // The fault plan, when given, must outlive the shell.
  explicit SimShell(FaultPlan* faults = nullptr);
  ~SimShell() override;

  // ---- platform::Shell
  int messageBox(TextView text, TextView title, long style) override;
  std::optional<Text> inputBox(TextView prompt, TextView title, TextView defaultText) override;
  void sendKeys(TextView keys, bool wait) override;
  std::intptr_t shellExecute(WindowHandle window, TextView verb, TextView file, TextView parameters,
                             TextView directory, int showCommand) override;
  Text environmentVariable(TextView name) override;
  bool startProcess(TextView commandLine, int windowStyle) override;
  std::vector<Text> listFiles(TextView directory) override;
  bool deleteFile(TextView path) override;
  void doEvents() override;
  void sleep(unsigned long milliseconds) override;
  unsigned ansiCodePage() override { return 1252; }
  int getSystemMetrics(int index) override;
  int drawText(const FontSpec& font, TextView text, int length, TextRect* rect,
               std::uint32_t format) override;
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;

  // ---- Set-up.
  void setHost(ShellHost* host) { host_ = host; }
  void setFaultPlan(FaultPlan* faults) { faults_ = faults; }
  // Names compare without regard to case; an empty value removes the variable.
  void setEnvironmentVariable(TextView name, TextView value);
  FileSystem& files() { return files_; }

  // ---- The script. Answers are used in order, message boxes and input boxes each from their
  // own list. An expected text, when given, must occur in the box's text (without regard to
  // case); otherwise the answer is still used and the record marked as a mismatch.
  void answerMessageBox(int answer, TextView expectedText = {});
  // The box's content becomes exactly this text (the user replaced whatever was offered).
  void answerInputBox(TextView text, TextView expectedPrompt = {});
  // The user types this text: after the offered text when the caret was moved to its end
  // (Right), in place of it when it is still selected, as a fresh input box has it.
  void typeIntoInputBox(TextView typed, TextView expectedPrompt = {});
  void cancelInputBox(TextView expectedPrompt = {});
  std::size_t unusedAnswers() const { return messageAnswers_.size() + inputAnswers_.size(); }
  // Drops the answers not used yet, so that one scripted action's leftovers never answer the
  // boxes of a later one.
  void clearAnswers() {
    messageAnswers_.clear();
    inputAnswers_.clear();
  }

  // ---- The record.
  const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
  // Dialogs answered by default or against another expected text, described one a line.
  std::vector<Text> scriptProblems() const;
  const std::vector<KeysRecord>& keys() const { return keys_; }
  const std::vector<KeyDelivery>& keyDeliveries() const { return deliveries_; }
  const std::vector<ShellExecuteRecord>& shellExecutes() const { return shellExecutes_; }
  const std::vector<ProcessRecord>& processes() const { return processes_; }
  const std::vector<SendMessageRecord>& messages() const { return messages_; }
  // The last LB_SETHORIZONTALEXTENT sent to the window; nullopt when none was.
  std::optional<long> horizontalExtent(WindowHandle window) const;
  const std::vector<Text>& deletedFiles() const { return deletedFiles_; }
  unsigned long long sleptMilliseconds() const { return slept_; }
  int doEventsCalls() const { return doEventsCalls_; }
  // Everything above, and what the host adds with note(), in order, one line each.
  const std::vector<Text>& journal() const { return journal_; }
  void note(TextView line) { journal_.emplace_back(line); }

  // ---- The fixed font metric: every character is as wide as charWidth(font), every line
  // as high as lineHeight(font), in pixels.
  static int charWidth(const FontSpec& font);
  static int lineHeight(const FontSpec& font);
  static constexpr int kVScrollWidth = 16;

 private:
  struct InputAnswer {
    enum class Mode { kReplace, kType, kCancel };
    Mode mode;
    Text text;
    Text expected;
  };
  struct MessageAnswer {
    int answer;
    Text expected;
  };
  bool fail(const char* op);
  // Runs the modal loop of a box: pending messages are processed, keystrokes among them
  // reach the box.
  void runModal(std::size_t recordIndex);
  void routeKey(const KeyStroke& key);

  FaultPlan* faults_;
  ShellHost* host_ = nullptr;
  FileSystem files_;
  std::map<Text, Text, text::NoCaseLess> environment_;
  std::deque<MessageAnswer> messageAnswers_;
  std::deque<InputAnswer> inputAnswers_;
  std::vector<DialogRecord> dialogs_;
  std::vector<std::size_t> openBoxes_;  // indexes into dialogs_, innermost last
  std::vector<KeysRecord> keys_;
  std::vector<KeyDelivery> deliveries_;
  std::vector<ShellExecuteRecord> shellExecutes_;
  std::vector<ProcessRecord> processes_;
  std::vector<SendMessageRecord> messages_;
  std::map<WindowHandle, long> extents_;
  std::vector<Text> deletedFiles_;
  std::vector<Text> journal_;
  unsigned long long slept_ = 0;
  int doEventsCalls_ = 0;
};

}  // namespace korvanel::sim
