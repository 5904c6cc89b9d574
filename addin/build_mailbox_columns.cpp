#include "addin/build_mailbox_columns.h"

namespace korvanel::addin {

MailboxColumns BuildMailboxColumns(platform::Application* outlookApp, text::TextView names,
                                   text::TextView distinguishedNames) {
  MailboxColumns columns = MailboxColumns::fromLists(names, distinguishedNames);
  if (outlookApp == nullptr || columns.empty()) return columns;
  const platform::ItemPtr scratch = outlookApp->createItem(platform::kOlMailItem);
  if (!scratch) return columns;
  const platform::RecipientsPtr recipients = scratch->recipients();
  if (!recipients) return columns;
  resolveMailboxNames(*recipients, columns);
  return columns;
}

void resolveMailboxNames(platform::Recipients& recipients, MailboxColumns& columns) {
  for (int i = columns.MbxFirst(); i <= columns.MbxLast(); ++i) {
    // Outlook refuses an empty recipient; a mailbox without a name has nothing to resolve.
    if (!columns.MailboxDNs(i).empty()) recipients.add(columns.MailboxDNs(i));
  }
  recipients.resolveAll();
  const long count = recipients.count();
  for (long k = 1; k <= count; ++k) {
    const platform::RecipientPtr recipient = recipients.item(k);
    // An unresolved recipient's name is only the text it was added with.
    if (!recipient || !recipient->resolved()) continue;
    columns.applyResolvedRecipient(recipient->address(), recipient->name());
  }
}

}  // namespace korvanel::addin
