// The arrivals the stamping has just dealt with. Outlook reports each new message twice
// (NewMailEx, then the Inbox's ItemAdd, or the other way round); the second report of a
// message already dealt with is recognised by its entry id and costs no call on Outlook.
// A report whose twin never comes (mail a rule moved away, an ItemAdd Outlook left out of
// a large delivery) ages out, so the list stays small.
#pragma once

#include <cstddef>
#include <deque>

#include "text/text.h"

namespace korvanel::addin {

class RecentArrivals {
 public:
  static constexpr std::size_t kCapacity = 256;

  // The message of this entry id has been dealt with; an empty id is not remembered.
  void remember(text::TextView entryId);
  // True once for an entry id remembered, which is then forgotten: only the twin report
  // of an arrival is skipped, never a later one.
  bool takeBack(text::TextView entryId);
  // The identities changed: a message reported again is dealt with afresh.
  void clear() { ids_.clear(); }

 private:
  std::deque<text::Text> ids_;
};

}  // namespace korvanel::addin
