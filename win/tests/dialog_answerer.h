// Answers the message boxes and input boxes that a test expects, the way a user would: a
// thread timer keeps firing inside their modal loops, finds the box on screen, records
// what it says, and presses the answer's button (an input box gets the answer typed into
// its edit field, then OK). A box that finds no answer left gets its default button.
#pragma once

#include <windows.h>

#include <deque>
#include <vector>

#include "text/text.h"

namespace korvanel::win::testing {

// The answer that presses an input box's Cancel.
inline constexpr char16_t kCancelInput[] = u"<Cancel>";

struct SeenBox {
  text::Text title;
  text::Text text;     // a message box's message, an input box's prompt
  bool input = false;  // an input box
  text::Text answer;   // what was pressed or typed; "<default>" when no answer was left
};

class DialogAnswerer {
 public:
  // Boxes owned by any window of this thread are answered, except the window ignore.
  explicit DialogAnswerer(HWND ignore = nullptr);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Queues answers, used in order: "Yes", "No", "OK", "Cancel" for message boxes; the text
  // to type, or kCancelInput, for input boxes.
  void answer(std::initializer_list<text::TextView> answers);
  const std::vector<SeenBox>& seen() const { return seen_; }
  std::size_t unused() const { return answers_.size(); }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void answerBoxOnScreen();
  bool answerBox(HWND box);

  HWND ignore_;
  UINT_PTR timer_ = 0;
  std::deque<text::Text> answers_;
  std::vector<SeenBox> seen_;
};

}  // namespace korvanel::win::testing
