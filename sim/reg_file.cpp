// Writing and reading the .reg export format.
#include "sim/reg_file.h"

#include <cstdint>

#include "text/text.h"

namespace korvanel::sim {

using platform::RegValue;
using platform::Text;
using platform::TextView;

namespace {

constexpr TextView kHeader = u"Windows Registry Editor Version 5.00";
constexpr TextView kEol = u"\r\n";
// regedit keeps hex lines within 80 columns, a continuation line starts with two spaces.
constexpr std::size_t kHexLineLimit = 78;

void appendQuoted(Text& out, TextView s) {
  out.push_back(u'"');
  for (char16_t c : s) {
    if (c == u'\\' || c == u'"') out.push_back(u'\\');
    out.push_back(c);
  }
  out.push_back(u'"');
}

void appendHex(Text& out, std::uint32_t value, int minDigits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  char16_t buffer[8];
  int n = 0;
  do {
    buffer[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0 || n < minDigits);
  while (n > 0) out.push_back(buffer[--n]);
}

// A REG_SZ that the quoted form gives back byte for byte: whole code units, exactly one NUL
// and that at the end, nothing a line-based reader or a UTF-8 copy could alter.
bool quotable(const RegValue& value) {
  const auto& d = value.data;
  if (value.type != platform::kRegSz || d.size() < 2 || d.size() % 2 != 0) return false;
  const Text s = text::fromUtf16leBytes(d);
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    const char16_t c = s[i];
    if (c < 0x20 || c == 0x7F) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return s.back() == 0;
}

void appendValue(Text& out, const RegFileValue& v) {
  const std::size_t lineStart = out.size();
  if (v.name.empty()) {
    out.push_back(u'@');
  } else {
    appendQuoted(out, v.name);
  }
  out.push_back(u'=');
  const RegValue& value = v.value;
  if (v.remove) {
    out.push_back(u'-');
  } else if (quotable(value)) {
    const Text s = text::fromUtf16leBytes(value.data);
    appendQuoted(out, TextView(s).substr(0, s.size() - 1));
  } else if (value.type == platform::kRegDword && value.data.size() == 4) {
    out += u"dword:";
    const auto& d = value.data;
    appendHex(out, d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24, 8);
  } else {
    if (value.type == platform::kRegBinary) {
      out += u"hex:";
    } else {
      out += u"hex(";
      appendHex(out, value.type, 1);
      out += u"):";
    }
    // The column counts from the start of the line; a quoted name may hold line breaks,
    // which only makes the first line shorter than counted.
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
      if (i > 0 && column + 3 > kHexLineLimit) {
        out += u"\\\r\n  ";
        column = 2;
      }
      appendHex(out, value.data[i], 2);
      column += 2;
      if (i + 1 < value.data.size()) {
        out.push_back(u',');
        ++column;
      }
    }
  }
  out += kEol;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

class Parser {
 public:
  explicit Parser(TextView text) : s_(text) {}

  std::optional<std::vector<RegFileKey>> run(std::string* error) {
    if (parse()) return std::move(keys_);
    if (error != nullptr) *error = "line " + std::to_string(lineOf(errorAt_)) + ": " + message_;
    return std::nullopt;
  }

 private:
  bool parse() {
    if (!atEnd() && s_[0] == 0xFEFF) ++pos_;
    const std::size_t lineEnd = findEol(pos_);
    TextView first = s_.substr(pos_, lineEnd - pos_);
    while (!first.empty() && (first.back() == u' ' || first.back() == u'\t')) {
      first.remove_suffix(1);
    }
    if (first != kHeader)
      return fail("the file does not start with \"Windows Registry Editor Version 5.00\"");
    pos_ = lineEnd;
    while (true) {
      skipBlankSpace();
      if (atEnd()) return true;
      const char16_t c = s_[pos_];
      if (c == u';') {
        pos_ = findEol(pos_);
      } else if (c == u'[') {
        if (!parseKey()) return false;
      } else if (c == u'"' || c == u'@') {
        if (keys_.empty()) return fail("a value comes before any [key] line");
        if (!parseValue()) return false;
      } else {
        return fail("unexpected text");
      }
    }
  }

  // [path] or [-path]: the path runs to the last ']' of the line.
  bool parseKey() {
    const std::size_t lineEnd = findEol(pos_);
    std::size_t close = lineEnd;
    while (close > pos_ && (s_[close - 1] == u' ' || s_[close - 1] == u'\t')) --close;
    if (close == pos_ + 1 || s_[close - 1] != u']') return fail("a [key] line without its ']'");
    RegFileKey key;
    std::size_t start = pos_ + 1;
    if (start < close - 1 && s_[start] == u'-') {
      key.remove = true;
      ++start;
    }
    key.path = Text(s_.substr(start, close - 1 - start));
    if (key.path.empty()) return fail("an empty key path");
    keys_.push_back(std::move(key));
    pos_ = lineEnd;
    return true;
  }

  bool parseValue() {
    RegFileValue v;
    if (s_[pos_] == u'@') {
      ++pos_;
    } else if (!parseQuoted(&v.name)) {
      return false;
    }
    skipBlanks();
    if (atEnd() || s_[pos_] != u'=') return fail("'=' expected after the value name");
    ++pos_;
    skipBlanks();
    if (atEnd()) return fail("value data expected");
    if (s_[pos_] == u'-') {
      ++pos_;
      v.remove = true;
    } else if (s_[pos_] == u'"') {
      Text data;
      if (!parseQuoted(&data)) return false;
      data.push_back(u'\0');
      v.value = {platform::kRegSz, text::toUtf16leBytes(data)};
    } else if (startsWithNoCase(u"dword:")) {
      pos_ += 6;
      std::uint32_t n = 0;
      if (!parseHexNumber(&n)) return false;
      v.value = {platform::kRegDword,
                 {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                  static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
    } else if (startsWithNoCase(u"hex:")) {
      pos_ += 4;
      v.value.type = platform::kRegBinary;
      if (!parseBytes(&v.value.data)) return false;
    } else if (startsWithNoCase(u"hex(")) {
      pos_ += 4;
      if (!parseHexNumber(&v.value.type)) return false;
      if (atEnd() || s_[pos_] != u')' || pos_ + 1 >= s_.size() || s_[pos_ + 1] != u':') {
        return fail("\"):\" expected after the value type");
      }
      pos_ += 2;
      if (!parseBytes(&v.value.data)) return false;
    } else {
      return fail("unknown value data");
    }
    skipBlanks();
    if (!atEnd() && !isEol(s_[pos_])) return fail("unexpected text after the value");
    keys_.back().values.push_back(std::move(v));
    return true;
  }

  // A quoted text with \\ and \" escapes; it may run over lines.
  bool parseQuoted(Text* out) {
    const std::size_t start = pos_++;
    while (!atEnd()) {
      const char16_t c = s_[pos_];
      if (c == u'"') {
        ++pos_;
        return true;
      }
      if (c == u'\\' && pos_ + 1 < s_.size() && (s_[pos_ + 1] == u'\\' || s_[pos_ + 1] == u'"')) {
        out->push_back(s_[pos_ + 1]);
        pos_ += 2;
        continue;
      }
      out->push_back(c);
      ++pos_;
    }
    errorAt_ = start;
    message_ = "a quoted text is not closed";
    return false;
  }

  bool parseHexNumber(std::uint32_t* out) {
    std::uint32_t n = 0;
    int digits = 0;
    while (!atEnd() && hexDigit(s_[pos_]) >= 0) {
      if (++digits > 8) return fail("a number of more than eight hexadecimal digits");
      n = n << 4 | static_cast<std::uint32_t>(hexDigit(s_[pos_]));
      ++pos_;
    }
    if (digits == 0) return fail("a hexadecimal number expected");
    *out = n;
    return true;
  }

  // Comma-separated bytes of one or two hexadecimal digits, continued over lines by a
  // backslash at the end of a line.
  bool parseBytes(std::vector<std::uint8_t>* out) {
    skipContinuations();
    if (atEnd() || isEol(s_[pos_])) return true;
    while (true) {
      int value = 0, digits = 0;
      while (!atEnd() && hexDigit(s_[pos_]) >= 0) {
        if (++digits > 2) return fail("a byte of more than two hexadecimal digits");
        value = value << 4 | hexDigit(s_[pos_]);
        ++pos_;
      }
      if (digits == 0) return fail("a hexadecimal byte expected");
      out->push_back(static_cast<std::uint8_t>(value));
      skipContinuations();
      if (atEnd() || s_[pos_] != u',') return true;
      ++pos_;
      skipContinuations();
    }
  }

  void skipContinuations() {
    while (true) {
      skipBlanks();
      if (atEnd() || s_[pos_] != u'\\') return;
      std::size_t p = pos_ + 1;
      while (p < s_.size() && (s_[p] == u' ' || s_[p] == u'\t')) ++p;
      if (p < s_.size() && !isEol(s_[p])) return;  // not a continuation; caller rejects it
      pos_ = p;
      skipEol();
    }
  }

  bool startsWithNoCase(TextView word) const {
    return text::startsWithNoCase(s_.substr(pos_), word);
  }
  static bool isEol(char16_t c) { return c == u'\r' || c == u'\n'; }
  bool atEnd() const { return pos_ >= s_.size(); }
  std::size_t findEol(std::size_t from) const {
    while (from < s_.size() && !isEol(s_[from])) ++from;
    return from;
  }
  void skipBlanks() {
    while (!atEnd() && (s_[pos_] == u' ' || s_[pos_] == u'\t')) ++pos_;
  }
  void skipEol() {
    if (!atEnd() && s_[pos_] == u'\r') ++pos_;
    if (!atEnd() && s_[pos_] == u'\n') ++pos_;
  }
  void skipBlankSpace() {
    while (!atEnd() && (s_[pos_] == u' ' || s_[pos_] == u'\t' || isEol(s_[pos_]))) ++pos_;
  }
  bool fail(const char* message) {
    errorAt_ = pos_;
    message_ = message;
    return false;
  }
  std::size_t lineOf(std::size_t at) const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < at && i < s_.size(); ++i) {
      if (s_[i] == u'\n' || (s_[i] == u'\r' && (i + 1 >= s_.size() || s_[i + 1] != u'\n'))) {
        ++line;
      }
    }
    return line;
  }

  TextView s_;
  std::size_t pos_ = 0;
  std::vector<RegFileKey> keys_;
  std::size_t errorAt_ = 0;
  std::string message_;
};

}  // namespace

Text formatRegFile(const std::vector<RegFileKey>& keys) {
  Text out(kHeader);
  out += kEol;
  out += kEol;
  for (const RegFileKey& key : keys) {
    out += key.remove ? u"[-" : u"[";
    out += key.path;
    out += u"]";
    out += kEol;
    for (const RegFileValue& value : key.values) appendValue(out, value);
    out += kEol;
  }
  return out;
}

std::optional<std::vector<RegFileKey>> parseRegFile(TextView text, std::string* error) {
  return Parser(text).run(error);
}

std::string encodeRegFileBytes(TextView text) {
  std::string out("\xFF\xFE", 2);
  out.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

Text decodeRegFileBytes(std::string_view bytes) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
  if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    return text::fromUtf16leBytes(b + 2, bytes.size() - 2);
  }
  if (bytes.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    Text out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      out.push_back(static_cast<char16_t>(b[i] << 8 | b[i + 1]));
    }
    return out;
  }
  if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) bytes.remove_prefix(3);
  return text::fromUtf8(bytes);
}

}  // namespace korvanel::sim
