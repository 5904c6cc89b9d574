// Outlook's name resolution in the simulation: one-off forms ("Name <addr>",
// "Name [smtp:addr]", "Name [smtp:<addr>]"), Exchange distinguished names ("/o=...",
// "Name [EX:/o=...]"), bare addresses and directory names.
#pragma once

#include "sim/model.h"

namespace korvanel::sim {

struct Resolution {
  bool resolved = false;
  Text name;
  Text address;      // SMTP: as written inside the brackets; EX: the distinguished name
  Text addressType;  // "SMTP" or "EX"
  MailboxPtr mailbox;  // the directory entry (EX), or the mailbox owning the SMTP address
};

Resolution resolveRecipientText(const Organisation& organisation, TextView text);
// Resolves a record in place; true when it is (now) resolved.
bool resolveRecord(const Organisation& organisation, RecipientRecord& record);
// The SMTP address of a resolved record with "smtp:" and angle brackets taken off, or the
// mailbox's primary address for an Exchange entry.
Text smtpAddressOf(const Organisation& organisation, const RecipientRecord& record);
// "Name <address>" as a recipient's header line shows it.
Text displayOf(const Organisation& organisation, const RecipientRecord& record);
// Splits "Name <addr>" (or a bare address) into name and address.
void splitNameAddress(TextView text, Text& name, Text& address);

}  // namespace korvanel::sim
