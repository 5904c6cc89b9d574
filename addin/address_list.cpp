#include "addin/address_list.h"

#include "addin/identity_text_forms.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }
bool isLeftDelimiter(char16_t c) { return c == u' ' || isQuote(c) || c == u'<'; }
bool isRightDelimiter(char16_t c) { return c == u' ' || isQuote(c) || c == u'>'; }

// Removes trailing and then leading quotes and apostrophes; a name made only of them is
// left as it is.
TextView stripQuotes(TextView name) {
  std::size_t end = name.size();
  while (end > 0 && isQuote(name[end - 1])) --end;
  if (end == 0) return name;
  std::size_t begin = 0;
  while (isQuote(name[begin])) ++begin;
  return name.substr(begin, end - begin);
}

// Reads one entry; false when it yields no address.
bool parseEntry(TextView entry, ParsedAddress& parsed) {
  TextView s = trimView(entry);
  TextView name;
  std::size_t at = s.find(u'@');
  if (at == TextView::npos) return false;
  for (std::size_t i = at; i-- > 0;) {
    if (isLeftDelimiter(s[i])) {
      if (i >= 1) name = stripQuotes(trimView(s.substr(0, i)));
      s.remove_prefix(i + 1);
      break;
    }
  }
  at = s.find(u'@');
  if (at != TextView::npos) {
    for (std::size_t k = at + 1; k < s.size(); ++k) {
      if (isRightDelimiter(s[k])) {
        s = s.substr(0, k);
        break;
      }
    }
  }
  if (s.empty()) return false;
  parsed.address = s;
  parsed.name = name;
  return true;
}

const TextView kSeparator(&kRecipientSeparator, 1);

std::vector<TextView> pieces(TextView s) {
  std::vector<TextView> result;
  PieceReader reader(s, kSeparator);
  for (TextView piece; reader.next(piece);) result.push_back(piece);
  return result;
}

// The addresses of list that pass the filter (every address when the filter is empty).
std::vector<ParsedAddress> parseListed(TextView list, const std::vector<TextView>& filter) {
  std::vector<ParsedAddress> result;
  result.reserve(16);
  PieceReader entries(list, kSeparator);
  for (TextView entry; entries.next(entry);) {
    ParsedAddress parsed;
    if (!parseEntry(entry, parsed)) continue;
    if (!filter.empty()) {
      bool listed = false;
      for (TextView f : filter) {
        if (text::equalsNoCase(f, parsed.address)) {
          listed = true;
          break;
        }
      }
      if (!listed) continue;
    }
    result.push_back(parsed);
  }
  return result;
}

}  // namespace

std::vector<ParsedAddress> parseAddressEntries(TextView list, TextView filter) {
  const std::vector<TextView> filterEntries = pieces(filter);
  std::vector<ParsedAddress> result = parseListed(list, filterEntries);
  // When nothing survives the filter, the filter itself is what the message was sent to.
  if (result.empty()) {
    for (TextView f : filterEntries) result.push_back(ParsedAddress{f, TextView()});
  }
  return result;
}

Text ParseAddressList(TextView list, Text& names, TextView filter) {
  const std::vector<TextView> filterEntries = pieces(filter);
  Text result;
  for (const ParsedAddress& p : parseListed(list, filterEntries)) {
    if (!result.empty()) {
      result += kRecipientSeparator;
      names += kRecipientSeparator;
    }
    result += p.address;
    names += p.name;
  }
  if (result.empty() && !filterEntries.empty()) {
    result = Text(filter);
    names.append(filterEntries.size() - 1, kRecipientSeparator);
  }
  return result;
}

}  // namespace korvanel::addin
