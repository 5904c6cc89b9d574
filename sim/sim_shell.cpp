#include "sim/sim_shell.h"

#include <algorithm>
#include <cmath>

#include "sim/command_line.h"

namespace korvanel::sim {

namespace {

constexpr std::uint32_t kDtSingleLine = 0x20;
constexpr int kSmCxScreen = 0;
constexpr int kSmCyScreen = 1;

// Control characters written visibly, so a journal line stays one line.
Text printable(TextView s) {
  Text out;
  for (char16_t c : s) {
    switch (c) {
      case u'\r':
        out += u"\\r";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\t':
        out += u"\\t";
        break;
      case u'\\':
        out += u"\\\\";
        break;
      default:
        if (c < 0x20) {
          static constexpr char16_t kHex[] = u"0123456789ABCDEF";
          out += u"\\x";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out;
}

Text quoted(TextView s) { return u"\"" + printable(s) + u"\""; }

Text answerName(int answer) {
  switch (answer) {
    case platform::kIdOk:
      return u"OK";
    case platform::kIdCancel:
      return u"Cancel";
    case 3:
      return u"Abort";
    case 4:
      return u"Retry";
    case 5:
      return u"Ignore";
    case platform::kIdYes:
      return u"Yes";
    case platform::kIdNo:
      return u"No";
    default:
      return text::toText(answer);
  }
}

// The buttons of a message box style, in order.
std::vector<int> buttonsOf(long style) {
  switch (style & 0xF) {
    case 0:
      return {platform::kIdOk};
    case 1:
      return {platform::kIdOk, platform::kIdCancel};
    case 2:
      return {3, 4, 5};
    case 3:
      return {platform::kIdYes, platform::kIdNo, platform::kIdCancel};
    case 4:
      return {platform::kIdYes, platform::kIdNo};
    case 5:
      return {4, platform::kIdCancel};
    default:
      return {platform::kIdOk};
  }
}

// The default button's answer: MB_DEFBUTTON2/3 pick the second or third button.
int defaultAnswer(long style) {
  const std::vector<int> buttons = buttonsOf(style);
  const std::size_t index = static_cast<std::size_t>((style >> 8) & 0xF);
  return index < buttons.size() ? buttons[index] : buttons.front();
}

bool expectationMet(TextView expected, TextView actual) {
  return expected.empty() || text::findNoCase(actual, expected) != TextView::npos;
}

}  // namespace

SimShell::SimShell(FaultPlan* faults) : faults_(faults) {}
SimShell::~SimShell() = default;

bool SimShell::fail(const char* op) {
  return faults_ != nullptr && faults_->shouldFail(std::string("Shell.") + op);
}

void SimShell::setEnvironmentVariable(TextView name, TextView value) {
  if (value.empty()) {
    environment_.erase(Text(name));
  } else {
    environment_[Text(name)] = Text(value);
  }
}

// ---- Boxes

void SimShell::answerMessageBox(int answer, TextView expectedText) {
  messageAnswers_.push_back(MessageAnswer{answer, Text(expectedText)});
}

void SimShell::answerInputBox(TextView text, TextView expectedPrompt) {
  inputAnswers_.push_back(
      InputAnswer{InputAnswer::Mode::kReplace, Text(text), Text(expectedPrompt)});
}

void SimShell::typeIntoInputBox(TextView typed, TextView expectedPrompt) {
  inputAnswers_.push_back(InputAnswer{InputAnswer::Mode::kType, Text(typed), Text(expectedPrompt)});
}

void SimShell::cancelInputBox(TextView expectedPrompt) {
  inputAnswers_.push_back(InputAnswer{InputAnswer::Mode::kCancel, Text(), Text(expectedPrompt)});
}

void SimShell::runModal(std::size_t recordIndex) {
  openBoxes_.push_back(recordIndex);
  if (host_ != nullptr) host_->pump();
  openBoxes_.pop_back();
}

int SimShell::messageBox(TextView text, TextView title, long style) {
  if (fail("messageBox")) return 0;
  DialogRecord record;
  record.kind = DialogRecord::Kind::kMessageBox;
  record.text = Text(text);
  record.title = Text(title);
  record.style = style;
  dialogs_.push_back(std::move(record));
  const std::size_t index = dialogs_.size() - 1;
  // While the box is up, its modal loop keeps the thread's messages flowing.
  runModal(index);

  DialogRecord& box = dialogs_[index];
  if (!messageAnswers_.empty()) {
    MessageAnswer answer = std::move(messageAnswers_.front());
    messageAnswers_.pop_front();
    box.answer = answer.answer;
    const std::vector<int> buttons = buttonsOf(style);
    box.mismatch = !expectationMet(answer.expected, text) ||
                   std::find(buttons.begin(), buttons.end(), answer.answer) == buttons.end();
  } else {
    box.answer = defaultAnswer(style);
    box.scripted = false;
  }
  note(u"MessageBox [" + printable(title) + u"] " + quoted(text) + u" style " +
       text::toText(style) + u" -> " + answerName(box.answer));
  return box.answer;
}

std::optional<Text> SimShell::inputBox(TextView prompt, TextView title, TextView defaultText) {
  if (fail("inputBox")) return std::nullopt;
  DialogRecord record;
  record.kind = DialogRecord::Kind::kInputBox;
  record.text = Text(prompt);
  record.title = Text(title);
  record.offered = Text(defaultText);
  dialogs_.push_back(std::move(record));
  const std::size_t index = dialogs_.size() - 1;
  runModal(index);

  DialogRecord& box = dialogs_[index];
  if (!inputAnswers_.empty()) {
    InputAnswer answer = std::move(inputAnswers_.front());
    inputAnswers_.pop_front();
    box.mismatch = !expectationMet(answer.expected, prompt);
    switch (answer.mode) {
      case InputAnswer::Mode::kReplace:
        box.input = answer.text;
        break;
      case InputAnswer::Mode::kType:
        // A fresh input box shows its offered text selected: typing replaces it.
        box.input = box.caretAtEnd ? box.offered + answer.text : answer.text;
        break;
      case InputAnswer::Mode::kCancel:
        box.input = std::nullopt;
        break;
    }
  } else {
    box.input = std::nullopt;
    box.scripted = false;
  }
  note(u"InputBox [" + printable(title) + u"] " + quoted(prompt) + u" offered " +
       quoted(box.offered) + u" -> " + (box.input ? quoted(*box.input) : Text(u"Cancel")));
  return box.input;
}

std::vector<Text> SimShell::scriptProblems() const {
  std::vector<Text> out;
  for (const DialogRecord& d : dialogs_) {
    const Text what =
        (d.kind == DialogRecord::Kind::kMessageBox ? Text(u"message box ") : Text(u"input box ")) +
        quoted(d.text);
    if (!d.scripted) out.push_back(u"unscripted " + what);
    if (d.mismatch) out.push_back(u"answer meant for another box used by " + what);
  }
  for (const MessageAnswer& a : messageAnswers_) {
    out.push_back(u"unused message box answer " + answerName(a.answer) +
                  (a.expected.empty() ? Text() : u" for " + quoted(a.expected)));
  }
  for (const InputAnswer& a : inputAnswers_) {
    out.push_back(u"unused input box answer " +
                  (a.mode == InputAnswer::Mode::kCancel ? Text(u"Cancel") : quoted(a.text)) +
                  (a.expected.empty() ? Text() : u" for " + quoted(a.expected)));
  }
  return out;
}

// ---- Keystrokes

void SimShell::sendKeys(TextView keys, bool wait) {
  if (fail("sendKeys")) return;
  auto strokes = platform::parseSendKeys(keys);
  keys_.push_back(KeysRecord{Text(keys), wait, strokes.has_value()});
  note(u"SendKeys " + quoted(keys) + (wait ? Text(u" (wait)") : Text()) +
       (strokes ? Text() : Text(u" -> invalid")));
  if (!strokes) return;
  for (const KeyStroke& key : *strokes) {
    // Keystrokes join the thread's input: the focused window takes them when messages are
    // processed, not now.
    const bool queued = host_ != nullptr && host_->post([this, key] { routeKey(key); });
    if (!queued) routeKey(key);
  }
  if (wait && host_ != nullptr) host_->pump();
}

void SimShell::routeKey(const KeyStroke& key) {
  KeyDelivery delivery;
  delivery.key = key.notation();
  if (!openBoxes_.empty()) {
    DialogRecord& box = dialogs_[openBoxes_.back()];
    if (box.kind == DialogRecord::Kind::kInputBox) {
      delivery.target = u"InputBox";
      if (key.plain() && (key.isNamed(u"RIGHT") || key.isNamed(u"END"))) {
        box.caretAtEnd = true;
        delivery.effect = u"caret to the end of the text";
      } else if (key.plain() && (key.isNamed(u"LEFT") || key.isNamed(u"HOME"))) {
        box.caretAtEnd = false;
        delivery.effect = u"caret moved back";
      }
    } else {
      delivery.target = u"MessageBox";
    }
  } else if (host_ != nullptr) {
    host_->deliverKey(key, delivery);
  }
  if (delivery.target.empty()) delivery.target = u"nothing";
  note(u"Key " + delivery.key + u" -> " + delivery.target +
       (delivery.effect.empty() ? Text() : u": " + delivery.effect));
  deliveries_.push_back(std::move(delivery));
}

// ---- Programs, files, environment

std::intptr_t SimShell::shellExecute(WindowHandle window, TextView verb, TextView file,
                                     TextView parameters, TextView directory, int showCommand) {
  if (fail("shellExecute")) return 0;
  shellExecutes_.push_back(ShellExecuteRecord{window, Text(verb), Text(file), Text(parameters),
                                              Text(directory), showCommand});
  note(u"ShellExecute " + quoted(verb) + u" " + quoted(file) + u" " + quoted(parameters) +
       u" show " + text::toText(showCommand));
  return 42;  // above 32: success
}

Text SimShell::environmentVariable(TextView name) {
  if (fail("environmentVariable")) return Text();
  auto it = environment_.find(Text(name));
  return it == environment_.end() ? Text() : it->second;
}

bool SimShell::startProcess(TextView commandLine, int windowStyle) {
  if (fail("startProcess")) return false;
  ProcessRecord record;
  record.commandLine = Text(commandLine);
  record.windowStyle = windowStyle;
  if (host_ != nullptr) {
    record.started = host_->startProgram(commandLine, windowStyle, record);
  } else {
    auto parsed = parseCommandLine(commandLine);
    record.started = parsed && files_.exists(parsed->program);
    record.outcome = record.started ? u"started" : u"no such program";
  }
  note(u"StartProcess " + quoted(commandLine) + u" style " + text::toText(windowStyle) + u" -> " +
       record.outcome);
  processes_.push_back(std::move(record));
  return processes_.back().started;
}

std::vector<Text> SimShell::listFiles(TextView directory) {
  if (fail("listFiles")) return {};
  return files_.list(directory);
}

bool SimShell::deleteFile(TextView path) {
  if (fail("deleteFile")) return false;
  if (!files_.remove(path)) return false;
  deletedFiles_.emplace_back(path);
  note(u"DeleteFile " + quoted(path));
  return true;
}

// ---- The message pump and time

void SimShell::doEvents() {
  if (fail("doEvents")) return;
  ++doEventsCalls_;
  if (host_ != nullptr) host_->pump();
}

void SimShell::sleep(unsigned long milliseconds) {
  if (fail("sleep")) return;
  slept_ += milliseconds;  // simulated time: nothing waits
}

// ---- Measuring and window messages

int SimShell::charWidth(const FontSpec& font) {
  const double size = font.size > 0 ? font.size : 8.0;
  return static_cast<int>(std::lround(size * 0.75)) + (font.bold ? 1 : 0);
}

int SimShell::lineHeight(const FontSpec& font) {
  const double size = font.size > 0 ? font.size : 8.0;
  return static_cast<int>(std::lround(size * 1.6));
}

int SimShell::getSystemMetrics(int index) {
  if (fail("getSystemMetrics")) return 0;
  switch (index) {
    case platform::kSmCxVScroll:
      return kVScrollWidth;
    case kSmCxScreen:
      return 1024;
    case kSmCyScreen:
      return 768;
    default:
      return 0;
  }
}

int SimShell::drawText(const FontSpec& font, TextView text, int length, TextRect* rect,
                       std::uint32_t format) {
  if (fail("drawText") || rect == nullptr) return 0;
  TextView shown =
      length < 0
          ? text::trimNull(text)
          : text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(length)));
  std::size_t widest = 0;
  std::size_t lines = 1;
  std::size_t current = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const char16_t c = shown[i];
    if ((format & kDtSingleLine) == 0 && (c == u'\r' || c == u'\n')) {
      if (c == u'\r' && i + 1 < shown.size() && shown[i + 1] == u'\n') ++i;
      widest = std::max(widest, current);
      current = 0;
      ++lines;
    } else {
      ++current;
    }
  }
  widest = std::max(widest, current);
  const int height = static_cast<int>(lines) * lineHeight(font);
  if ((format & platform::kDtCalcRect) != 0) {
    rect->right = rect->left + static_cast<long>(widest) * charWidth(font);
    rect->bottom = rect->top + height;
  }
  return height;
}

std::intptr_t SimShell::sendMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
  if (fail("sendMessage")) return 0;
  messages_.push_back(SendMessageRecord{window, message, wParam, lParam});
  if (message == platform::kLbSetHorizontalExtent) {
    extents_[window] = static_cast<long>(wParam);
    note(u"SendMessage LB_SETHORIZONTALEXTENT " + text::toText(static_cast<long long>(wParam)) +
         u" to window " + text::toText(static_cast<long long>(window)));
  }
  return 0;
}

std::optional<long> SimShell::horizontalExtent(WindowHandle window) const {
  auto it = extents_.find(window);
  if (it == extents_.end()) return std::nullopt;
  return it->second;
}

}  // namespace korvanel::sim
