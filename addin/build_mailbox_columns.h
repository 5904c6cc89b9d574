// Building the mailbox columns from the profile's mailbox lists, with the name Outlook
// shows for each mailbox: at start-up, and each time the Options page asks for the
// accessible mailboxes.
#pragma once

#include "addin/mailbox_columns.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

// The columns for the two TAB-separated texts of the profile's mailboxes (display names,
// distinguished names), each distinguished name resolved through the recipients of a
// scratch mail item that is never saved or shown. Without an Application, or when Outlook
// gives no item, the columns keep the profile's display names.
MailboxColumns BuildMailboxColumns(platform::Application* outlookApp, text::TextView names,
                                   text::TextView distinguishedNames);

// Adds one recipient per distinguished name to recipients, resolves them, and gives each
// mailbox the name of the resolved recipient with its distinguished name. A recipient that
// did not resolve changes nothing.
void resolveMailboxNames(platform::Recipients& recipients, MailboxColumns& columns);

}  // namespace korvanel::addin
