// The Exchange mailboxes that the profile opens, as the add-in holds them after start-up:
// the display name stored in the profile, the distinguished name, and the name Outlook
// shows for the mailbox once the distinguished name is resolved.
#pragma once

#include <vector>

#include "text/text.h"

namespace korvanel::addin {

// Parallel columns indexed MbxFirst() to MbxLast(); MbxLast() is -1 when the profile has
// no Exchange mailbox. A column read outside the bounds gives an empty text.
class MailboxColumns {
 public:
  MailboxColumns() = default;

  // The columns built from the two TAB-separated texts of the profile's mailboxes (display
  // names and distinguished names, entry k of each belonging to the same mailbox): the
  // display names give the rows, and each resolved name starts as the profile's display
  // name. A row without a distinguished name has an empty one.
  static MailboxColumns fromLists(text::TextView names, text::TextView distinguishedNames);

  // What resolving one mailbox recipient gave: the first row whose distinguished name
  // equals address without regard to case takes name as its resolved name. Nothing
  // changes when no row has that distinguished name.
  void applyResolvedRecipient(text::TextView address, text::TextView name);

  int MbxFirst() const { return 0; }
  int MbxLast() const { return static_cast<int>(names_.size()) - 1; }
  bool empty() const { return names_.empty(); }

  const text::Text& MailboxNames(int i) const { return cell(names_, i); }
  const text::Text& MailboxDNs(int i) const { return cell(dns_, i); }
  const text::Text& MailboxResolvedNames(int i) const { return cell(resolved_, i); }

 private:
  static const text::Text& cell(const std::vector<text::Text>& column, int i);

  std::vector<text::Text> names_;
  std::vector<text::Text> dns_;
  std::vector<text::Text> resolved_;
};

}  // namespace korvanel::addin
