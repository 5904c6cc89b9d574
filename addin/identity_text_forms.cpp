#include "addin/identity_text_forms.h"

namespace korvanel::addin {

Text recipientEntry(TextView displayName, TextView address) {
  Text entry = text::trim(address);
  if (entry.empty()) return entry;
  const Text name = text::trim(displayName);
  if (name.empty()) return entry;
  return name + u' ' + entry;
}

Text AccountStamp(TextView accountKey, TextView email) {
  Text stamp(accountKey);
  stamp += kStampSeparator;
  stamp += email;
  return stamp;
}

Text AccountStamp(const IdentityTable& table, int i) {
  if (i < table.IdFirst() || i > table.IdLast()) return Text();
  return AccountStamp(table.AccountKey(i), table.Email(i));
}

Text addressAccountName(TextView displayName, TextView address) {
  Text name = u"EX [";
  name += displayName;
  name += u" <";
  name += address;
  name += u">]";
  return name;
}

Text mailboxAccountName(TextView displayName) {
  Text name = u"EX MBX [";
  name += displayName;
  name += u']';
  return name;
}

bool isAddressAccountName(TextView accountName) {
  return text::startsWithNoCase(accountName, u"EX [");
}

bool isMailboxAccountName(TextView accountName) {
  return text::startsWithNoCase(accountName, u"EX MBX");
}

Text ReplyToEntry(TextView displayName, TextView address, int replyAddressFormat) {
  Text entry(displayName);
  if (!entry.empty()) entry += u' ';
  switch (replyAddressFormat) {
    case 0:
      entry += u'<';
      entry += address;
      entry += u'>';
      break;
    case 1:
      entry += u"[smtp:";
      entry += address;
      entry += u']';
      break;
    default:
      entry += u"[smtp:<";
      entry += address;
      entry += u">]";
      break;
  }
  return entry;
}

}  // namespace korvanel::addin
