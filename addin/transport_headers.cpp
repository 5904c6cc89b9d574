#include "addin/transport_headers.h"

#include <array>
#include <utility>

#include "addin/identity_text_forms.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

constexpr TextView kLineBreak = u"\r\n";
constexpr TextView kXRecipientList = u"X-RecipientList:";

// The characters that can change how a comma is read.
constexpr auto kSpecial = [] {
  std::array<bool, 0x80> special{};
  for (char16_t c : TextView(u"\"\\()<>,")) special[c] = true;
  return special;
}();

// Builds a RecipientList one recipient at a time. Internet mail names several recipients
// on one To or Cc line, separated by commas; a comma inside a quoted display name
// ("Doe, Ann"), a comment or an address in angle brackets does not separate them.
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

  // Adds text to the current recipient, starting a new one at every comma that stands
  // outside quotes, angle brackets and comments.
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
        inAngle_ = true;
      } else if (c == u'>') {
        inAngle_ = false;
      } else if (c == u',' && !inAngle_) {
        out_.append(chars.substr(run, i - run));
        run = i + 1;
        startEntry();
      }
    }
    out_.append(chars.substr(run));
  }

  Text finish() {
    closeEntry();
    return std::move(out_);
  }

 private:
  // A recipient that holds nothing but spaces is dropped with its separator.
  void closeEntry() {
    if (!open_) return;
    open_ = false;
    if (trimView(TextView(out_).substr(entryStart_)).empty()) out_.resize(entryMark_);
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

}  // namespace

Text GetXRecipientList(TextView headers) {
  PieceReader lines(headers, kLineBreak);
  TextView line;
  while (lines.next(line)) {
    if (line.size() < kXRecipientList.size() || text::foldCase(line[0]) != u'x') continue;
    if (!text::equalsNoCase(line.substr(0, kXRecipientList.size()), kXRecipientList)) continue;
    Text list(trimView(line.substr(kXRecipientList.size())));
    for (char16_t& c : list) {
      if (c == u';') c = kRecipientSeparator;
    }
    return list;
  }
  return Text();
}

Text GetToCcList(TextView headers) {
  RecipientListBuilder list;
  bool inside = false;
  PieceReader lines(headers, kLineBreak);
  TextView line;
  while (lines.next(line)) {
    // A blank line neither ends the scan nor leaves the header.
    if (trimView(line).empty()) continue;
    if (inside) {
      if (line.find(u':') == TextView::npos) {
        // A continuation folded with a tab starts a new recipient; one folded with spaces
        // goes on with the current one.
        PieceReader pieces(line, u"\t");
        TextView piece;
        for (bool first = true; pieces.next(piece); first = false) {
          if (!first) list.startEntry();
          list.put(piece);
        }
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
