#include "addin/mailbox_columns.h"

namespace korvanel::addin {

MailboxColumns MailboxColumns::fromLists(text::TextView names,
                                         text::TextView distinguishedNames) {
  const text::Text tab(1, u'\t');
  MailboxColumns columns;
  columns.names_ = text::split(names, tab);
  columns.resolved_ = columns.names_;
  columns.dns_ = text::split(distinguishedNames, tab);
  // The display names are the rows; the other column is fitted to them.
  columns.dns_.resize(columns.names_.size());
  // Row indices are 16-bit in the shared state.
  constexpr std::size_t kMaxRows = 32767;
  if (columns.names_.size() > kMaxRows) {
    columns.names_.resize(kMaxRows);
    columns.resolved_.resize(kMaxRows);
    columns.dns_.resize(kMaxRows);
  }
  return columns;
}

void MailboxColumns::applyResolvedRecipient(text::TextView address, text::TextView name) {
  // An unresolved recipient has no address; it must not land on a row without one.
  if (address.empty()) return;
  for (std::size_t i = 0; i < dns_.size(); ++i) {
    if (text::equalsNoCase(dns_[i], address)) {
      resolved_[i] = text::Text(name);
      return;
    }
  }
}

const text::Text& MailboxColumns::cell(const std::vector<text::Text>& column, int i) {
  static const text::Text kEmpty;
  if (i < 0 || static_cast<std::size_t>(i) >= column.size()) return kEmpty;
  return column[static_cast<std::size_t>(i)];
}

}  // namespace korvanel::addin
