#include "addin/transport_headers.h"

#include <utility>

#include "addin/identity_text_forms.h"
#include "addin/piece_reader.h"

namespace korvanel::addin {
namespace {

constexpr TextView kLineBreak = u"\r\n";
constexpr TextView kXRecipientList = u"X-RecipientList:";

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

  void put(char16_t c) {
    if (!open_) startEntry();
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
      startEntry();
      return;
    }
    out_ += c;
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
  return text::startsWithNoCase(line, u"TO:") || text::startsWithNoCase(line, u"CC:");
}

}  // namespace

Text GetXRecipientList(TextView headers) {
  PieceReader lines(headers, kLineBreak);
  TextView line;
  while (lines.next(line)) {
    if (line.size() < kXRecipientList.size()) continue;
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
        for (char16_t c : line) {
          if (c == u'\t') {
            list.startEntry();
          } else {
            list.put(c);
          }
        }
        continue;
      }
      inside = false;
    }
    if (isToOrCcLine(line)) {
      inside = true;
      list.startEntry();
      for (char16_t c : line.substr(3)) list.put(c);
    }
  }
  return list.finish();
}

}  // namespace korvanel::addin
