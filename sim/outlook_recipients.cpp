#include "sim/outlook_recipients.h"

namespace korvanel::sim {

namespace {

Text stripQuotes(TextView s) {
  Text t = text::trim(s);
  if (t.size() >= 2 && ((t.front() == u'"' && t.back() == u'"') ||
                        (t.front() == u'\'' && t.back() == u'\''))) {
    t = text::trim(TextView(t).substr(1, t.size() - 2));
  }
  return t;
}

Text cleanSmtp(TextView address) {
  Text a = text::trim(address);
  if (text::startsWithNoCase(a, u"smtp:")) a = text::trim(TextView(a).substr(5));
  if (!a.empty() && a.front() == u'<') a.erase(0, 1);
  if (!a.empty() && a.back() == u'>') a.pop_back();
  return text::trim(a);
}

bool looksLikeSmtp(TextView s) {
  return !s.empty() && s.find(u'@') != TextView::npos && s.find(u' ') == TextView::npos;
}

Resolution exchangeEntry(const MailboxPtr& mailbox) {
  Resolution r;
  r.resolved = true;
  r.name = mailbox->displayName;
  r.address = mailbox->dn;
  r.addressType = u"EX";
  r.mailbox = mailbox;
  return r;
}

Resolution smtpEntry(const Organisation& organisation, TextView name, TextView address) {
  Resolution r;
  r.resolved = true;
  r.address = Text(address);
  r.name = name.empty() ? cleanSmtp(address) : Text(name);
  r.addressType = u"SMTP";
  r.mailbox = organisation.findBySmtp(cleanSmtp(address));
  return r;
}

}  // namespace

void splitNameAddress(TextView input, Text& name, Text& address) {
  const Text t = text::trim(input);
  const std::size_t open = t.rfind(u'<');
  const std::size_t close = t.rfind(u'>');
  if (open != Text::npos && close != Text::npos && close > open) {
    name = stripQuotes(TextView(t).substr(0, open));
    address = text::trim(TextView(t).substr(open + 1, close - open - 1));
  } else {
    name.clear();
    address = t;
  }
}

Resolution resolveRecipientText(const Organisation& organisation, TextView input) {
  const Text t = text::trim(input);
  if (t.empty()) return {};
  // "Name [smtp:addr]", "Name [smtp:<addr>]", "Name [EX:/o=...]"
  if (t.back() == u']') {
    const std::size_t open = t.rfind(u'[');
    if (open != Text::npos) {
      const Text name = stripQuotes(TextView(t).substr(0, open));
      const TextView inner = TextView(t).substr(open + 1, t.size() - open - 2);
      if (text::startsWithNoCase(inner, u"smtp:")) {
        const Text address = text::trim(inner.substr(5));
        if (cleanSmtp(address).find(u'@') == Text::npos) return {};
        return smtpEntry(organisation, name, address);
      }
      if (text::startsWithNoCase(inner, u"ex:")) {
        if (auto mailbox = organisation.findByDn(text::trim(inner.substr(3)))) {
          return exchangeEntry(mailbox);
        }
        return {};
      }
    }
  }
  if (t.front() == u'/') {
    if (auto mailbox = organisation.findByDn(t)) return exchangeEntry(mailbox);
    return {};
  }
  // "Name <addr>"
  if (t.back() == u'>' && t.find(u'<') != Text::npos) {
    Text name;
    Text address;
    splitNameAddress(t, name, address);
    if (address.find(u'@') == Text::npos) return {};
    return smtpEntry(organisation, name, address);
  }
  if (looksLikeSmtp(t)) {
    if (auto mailbox = organisation.findBySmtp(t)) return exchangeEntry(mailbox);
    return smtpEntry(organisation, Text(), t);
  }
  if (auto mailbox = organisation.find(t)) return exchangeEntry(mailbox);
  return {};
}

bool resolveRecord(const Organisation& organisation, RecipientRecord& record) {
  if (record.resolved) return true;
  const Resolution r = resolveRecipientText(organisation, record.text.empty() ? record.name : record.text);
  if (!r.resolved) return false;
  record.resolved = true;
  record.name = r.name;
  record.address = r.address;
  record.addressType = r.addressType;
  return true;
}

Text smtpAddressOf(const Organisation& organisation, const RecipientRecord& record) {
  if (text::equalsNoCase(record.addressType, u"EX")) {
    if (auto mailbox = organisation.findByDn(record.address)) return mailbox->primarySmtp();
    return Text();
  }
  return cleanSmtp(record.address);
}

Text displayOf(const Organisation& organisation, const RecipientRecord& record) {
  if (!record.resolved) return record.text.empty() ? record.name : record.text;
  const Text address = smtpAddressOf(organisation, record);
  if (record.name.empty() || text::equalsNoCase(record.name, address)) return address;
  return record.name + u" <" + address + u">";
}

}  // namespace korvanel::sim
