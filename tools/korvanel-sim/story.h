// The story of a run as a support engineer reads it: each step the user took, numbered as
// in the scenario, and under it what Outlook and Korvanel did, one line each. The same lines
// are the "events" of the JSON trace. Also the small sentence pieces every part of the story
// uses, so a stamp or an answer reads the same wherever it appears.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "text/text.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

class Story {
 public:
  // A line of its own ("== Outlook 2007 ==").
  void heading(const std::string& text);
  // "N. text": a step of the scenario.
  void step(std::size_t number, const std::string& text);
  // "   text": what happened in the current step.
  void detail(const std::string& text);
  // "     text": a part of the detail above it.
  void more(const std::string& text);

  const std::vector<std::string>& lines() const { return lines_; }
  void print(std::ostream& out) const;

 private:
  std::vector<std::string> lines_;
};

// A text in double quotes, printable: a line break becomes a space, U+0001 " | ", other
// control characters "\uXXXX".
std::string quote(TextView s);
// The same without the quotes.
std::string plain(TextView s);
// An AccountStamp: "account key 00000003, sales@contoso.com".
std::string stampText(TextView stamp);
// SendKeys notation for people: "%n" is "Alt+N", "{ESC}" "Esc", "2" "2".
std::string keysText(TextView keys);
// "Yes", "No", "OK", "Cancel", ... for a message box answer.
std::string answerName(int answer);
// "a, b and c".
std::string joinAnd(const std::vector<std::string>& parts);
// "mail", "task", "appointment", "meeting request", ... for an item class.
std::string itemKind(long itemClass);

}  // namespace korvanel::tool
