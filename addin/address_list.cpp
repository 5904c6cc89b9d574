#include "addin/address_list.h"

#include "addin/identity_text_forms.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }

// An apostrophe belongs to the local part (o'brien@...) unless it opens the word, as one
// around a quoted address ('ann@x.com') does.
bool isLeftDelimiter(TextView s, std::size_t i) {
  const char16_t c = s[i];
  if (isBlank(c) || c == u'"' || c == u'<') return true;
  if (c != u'\'') return false;
  return i == 0 || isBlank(s[i - 1]) || isQuote(s[i - 1]) || s[i - 1] == u'<';
}
bool isRightDelimiter(char16_t c) { return isBlank(c) || isQuote(c) || c == u'>'; }

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

TextView displayNameOf(TextView before) { return stripQuotes(trimBlanks(before)); }

// The word around the first "@" of s: from the nearest delimiter before it to the nearest
// one after it. name gets the text before the left delimiter, when there is any.
TextView addressAroundAt(TextView s, TextView& name) {
  s = trimBlanks(s);
  const std::size_t at = s.find(u'@');
  if (at == TextView::npos) return {};
  for (std::size_t i = at; i-- > 0;) {
    if (isLeftDelimiter(s, i)) {
      if (i >= 1) name = displayNameOf(s.substr(0, i));
      s.remove_prefix(i + 1);
      break;
    }
  }
  const std::size_t newAt = s.find(u'@');
  for (std::size_t k = newAt + 1; k < s.size(); ++k) {
    if (isRightDelimiter(s[k])) return s.substr(0, k);
  }
  return s;
}

// Where the address in angle brackets begins: the first "<", outside quoted text and
// comments, whose text up to the next bracket holds an "@". Mail writes the address there,
// whatever the display name before it holds (an "@" of its own, as in "ann@x.com" <ann@y.com>).
std::size_t angleAddressStart(TextView s) {
  bool quoted = false;
  int commentDepth = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (quoted || commentDepth > 0) {
      if (c == u'\\') {
        ++i;
      } else if (quoted) {
        quoted = c != u'"';
      } else if (c == u'(') {
        ++commentDepth;
      } else if (c == u')') {
        --commentDepth;
      }
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u'(') {
      commentDepth = 1;
    } else if (c == u'<') {
      const std::size_t end = s.find_first_of(u"<>", i + 1);
      const TextView inner = s.substr(i + 1, end == TextView::npos ? end : end - i - 1);
      if (inner.find(u'@') != TextView::npos) return i;
    }
  }
  return TextView::npos;
}

// Reads one entry; false when it yields no address.
bool parseEntry(TextView entry, ParsedAddress& parsed) {
  const TextView s = trimBlanks(entry);
  TextView name;
  TextView address;
  const std::size_t angle = angleAddressStart(s);
  if (angle != TextView::npos) {
    const std::size_t end = s.find_first_of(u"<>", angle + 1);
    TextView ignoredName;
    address = addressAroundAt(s.substr(angle + 1, end == TextView::npos ? end : end - angle - 1),
                              ignoredName);
    if (angle >= 1) name = displayNameOf(s.substr(0, angle));
  } else {
    address = addressAroundAt(s, name);
  }
  if (address.empty()) return false;
  parsed.address = address;
  parsed.name = name;
  return true;
}

const TextView kSeparator(&kRecipientSeparator, 1);

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

std::vector<TextView> filterEntriesOf(TextView filter) {
  std::vector<TextView> result;
  PieceReader reader(filter, kSeparator);
  for (TextView piece; reader.next(piece);) result.push_back(trimBlanks(piece));
  return result;
}

std::vector<ParsedAddress> parseAddressEntries(TextView list, TextView filter) {
  const std::vector<TextView> filterEntries = filterEntriesOf(filter);
  std::vector<ParsedAddress> result = parseListed(list, filterEntries);
  // When nothing survives the filter, the filter itself is what the message was sent to.
  if (result.empty()) {
    for (TextView f : filterEntries) result.push_back(ParsedAddress{f, TextView()});
  }
  return result;
}

Text ParseAddressList(TextView list, Text& names, TextView filter) {
  const std::vector<TextView> filterEntries = filterEntriesOf(filter);
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
    for (std::size_t k = 0; k < filterEntries.size(); ++k) {
      if (k > 0) result += kRecipientSeparator;
      result += filterEntries[k];
    }
    names.append(filterEntries.size() - 1, kRecipientSeparator);
  }
  return result;
}

}  // namespace korvanel::addin
