#include "addin/transport_headers.h"

#include <array>
#include <utility>

#include "addin/identity_text_forms.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

constexpr TextView kXRecipientList = u"X-RecipientList:";

// The characters that can change how a recipient is read.
constexpr auto kSpecial = [] {
  std::array<bool, 0x80> special{};
  for (char16_t c : TextView(u"\"\\()<>,:;")) special[c] = true;
  return special;
}();

// The lines of a header block. Lines end in CR LF, or in a bare LF as some servers and
// gateways write them; either way the line is read without its ending.
class HeaderLineReader {
 public:
  explicit HeaderLineReader(TextView headers) : lines_(headers, u"\n") {}

  bool next(TextView& line) {
    if (!lines_.next(line)) return false;
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    return true;
  }

 private:
  PieceReader lines_;
};

// Builds a RecipientList one recipient at a time. Internet mail names several recipients
// on one To or Cc line, separated by commas; a comma inside a quoted display name
// ("Doe, Ann"), a comment or an address in angle brackets does not separate them. A group
// ("Team: a@x.com, b@y.com;") gives its members: its name ends at the colon and is dropped,
// the semicolon ends the group.
class RecipientListBuilder {
 public:
  // Ends the current recipient and begins a new one.
  void startEntry() {
    closeEntry();
    entryMark_ = out_.size();
    if (!out_.empty()) out_ += kRecipientSeparator;
    entryStart_ = out_.size();
    open_ = true;
    inQuote_ = false;
    inAngle_ = false;
    escaped_ = false;
    commentDepth_ = 0;
  }

  // Whether a recipient is being read and a fold here would break it: inside quotes,
  // brackets or a comment, or between its display name and its address.
  bool midRecipient() const {
    if (!open_) return false;
    if (inQuote_ || inAngle_ || commentDepth_ > 0) return true;
    const TextView entry = trimBlanks(TextView(out_).substr(entryStart_));
    return !entry.empty() && entry.find(u'@') == TextView::npos;
  }

  // Adds text to the current recipient, starting a new one at every comma (or group end)
  // that stands outside quotes, angle brackets and comments.
  void put(TextView chars) {
    if (!open_) startEntry();
    std::size_t run = 0;  // start of the text not yet copied
    for (std::size_t i = 0; i < chars.size(); ++i) {
      const char16_t c = chars[i];
      if (c >= 0x80 || !kSpecial[c]) {
        escaped_ = false;
        continue;
      }
      if (escaped_) {
        escaped_ = false;
      } else if (inQuote_ || commentDepth_ > 0) {
        if (c == u'\\') {
          escaped_ = true;
        } else if (inQuote_) {
          if (c == u'"') inQuote_ = false;
        } else if (c == u'(') {
          ++commentDepth_;
        } else if (c == u')') {
          --commentDepth_;
        }
      } else if (c == u'"') {
        inQuote_ = true;
      } else if (c == u'(') {
        commentDepth_ = 1;
      } else if (c == u'<') {
        // A "<" that no ">" closes on this line is no bracket: the commas after it still
        // separate recipients.
        const std::size_t next = chars.find_first_of(u"<>", i + 1);
        inAngle_ = next != TextView::npos && chars[next] == u'>';
      } else if (c == u'>') {
        inAngle_ = false;
      } else if (inAngle_) {
        continue;
      } else if (c == u',' || c == u';') {
        out_.append(chars.substr(run, i - run));
        run = i + 1;
        startEntry();
      } else if (c == u':') {
        // The name of a group; its members follow.
        out_.resize(entryStart_);
        run = i + 1;
      }
    }
    out_.append(chars.substr(run));
  }

  Text finish() {
    closeEntry();
    return std::move(out_);
  }

 private:
  // A recipient that holds nothing but blanks is dropped with its separator.
  void closeEntry() {
    if (!open_) return;
    open_ = false;
    if (trimBlanks(TextView(out_).substr(entryStart_)).empty()) out_.resize(entryMark_);
  }

  Text out_;
  std::size_t entryMark_ = 0;   // length of out_ before the current recipient's separator
  std::size_t entryStart_ = 0;  // where the current recipient's text begins
  bool open_ = false;
  bool inQuote_ = false;
  bool inAngle_ = false;
  bool escaped_ = false;
  int commentDepth_ = 0;
};

bool isToOrCcLine(TextView line) {
  // Most lines are dismissed by their first letter alone.
  if (line.size() < 3) return false;
  const char16_t first = text::foldCase(line[0]);
  if (first != u't' && first != u'c') return false;
  return text::startsWithNoCase(line, u"TO:") || text::startsWithNoCase(line, u"CC:");
}

// Whether a line met inside a To or Cc header continues it. A folded line begins with a
// blank, whatever it holds (a group's colon, a colon in a quoted name); an unfolded line
// continues it unless it holds a colon outside quotes, as a header line does.
bool continuesHeader(TextView line) {
  if (isBlank(line.front())) return true;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (quoted && c == u'\\') {
      ++i;
    } else if (c == u'"') {
      quoted = !quoted;
    } else if (c == u':' && !quoted) {
      return false;
    }
  }
  return true;
}

}  // namespace

Text serverRecipientList(TextView value) {
  // Splitting at the entry separator too makes a list already read this way come out the same.
  constexpr char16_t kSeparators[] = {u';', kRecipientSeparator, 0};
  Text list;
  for (std::size_t from = 0; from <= value.size();) {
    std::size_t end = value.find_first_of(kSeparators, from);
    if (end == TextView::npos) end = value.size();
    const TextView entry = trimBlanks(value.substr(from, end - from));
    if (!entry.empty()) {
      if (!list.empty()) list += kRecipientSeparator;
      list += entry;
    }
    from = end + 1;
  }
  return list;
}

Text GetXRecipientList(TextView headers) {
  HeaderLineReader lines(headers);
  TextView line;
  while (lines.next(line)) {
    if (line.size() < kXRecipientList.size() || text::foldCase(line[0]) != u'x') continue;
    if (!text::equalsNoCase(line.substr(0, kXRecipientList.size()), kXRecipientList)) continue;
    return serverRecipientList(line.substr(kXRecipientList.size()));
  }
  return Text();
}

Text GetToCcList(TextView headers) {
  RecipientListBuilder list;
  bool inside = false;
  HeaderLineReader lines(headers);
  TextView line;
  while (lines.next(line)) {
    // A blank line neither ends the scan nor leaves the header.
    if (trimBlanks(line).empty()) continue;
    if (inside) {
      if (continuesHeader(line)) {
        // A line folded with a tab after a whole address starts a new recipient; one folded
        // with spaces, or in the middle of a recipient, goes on with the current one.
        if (line.front() == u'\t' && !list.midRecipient()) {
          list.startEntry();
          line.remove_prefix(1);
        }
        list.put(line);
        continue;
      }
      inside = false;
    }
    if (isToOrCcLine(line)) {
      inside = true;
      list.startEntry();
      list.put(line.substr(3));
    }
  }
  return list.finish();
}

}  // namespace korvanel::addin
