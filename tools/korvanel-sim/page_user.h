// What a user sees and does on Korvanel's Options page while the dialog shows it: its lists,
// its reply-to format, its controls' state, clicks, selections and the dialog's buttons. The
// Linux tool works the page's own model; over COM the real page's windows are worked with
// window messages. Both tell the story the same way, so their traces can be compared.
#pragma once

#include <memory>
#include <vector>

#include "sim/outlook_app.h"
#include "text/text.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

class PageUser {
 public:
  virtual ~PageUser() = default;
  // The rows of a list ("List1", "List4").
  virtual std::vector<Text> rows(TextView list) = 0;
  // The reply-to format option chosen; -1 for none.
  virtual int chosenOption() = 0;
  virtual bool exists(TextView control) = 0;
  virtual bool shown(TextView control) = 0;
  virtual bool enabled(TextView control) = 0;
  // What the user's click does (a button, the link label).
  virtual void click(TextView control) = 0;
  // Picks a row of a list; the row exists.
  virtual void select(TextView list, long row) = 0;
  virtual void chooseOption(int index) = 0;
  // "OK", "Apply" or anything else for Cancel.
  virtual void press(TextView button) = 0;
};

// The page model the dialog shows, worked directly; nullptr when the dialog shows none.
std::unique_ptr<PageUser> modelPageUser(sim::OptionsDialog& dialog);

}  // namespace korvanel::tool
