#include "tools/korvanel-sim/message_file.h"

#include <fstream>
#include <sstream>

#include "tools/korvanel-sim/input_error.h"

namespace korvanel::tool {

namespace {

bool isUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (s.size() - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

Text headerBlock(std::string_view message) {
  std::string block;
  std::size_t i = 0;
  while (i < message.size()) {
    std::size_t end = i;
    while (end < message.size() && message[end] != '\r' && message[end] != '\n') ++end;
    const std::string_view line = message.substr(i, end - i);
    if (line.empty()) break;  // the blank line that ends the header block
    block.append(line);
    block += "\r\n";
    i = end;
    if (i < message.size() && message[i] == '\r') ++i;
    if (i < message.size() && message[i] == '\n') ++i;
  }
  return isUtf8(block) ? text::fromUtf8(block) : text::fromWindows1252(block);
}

Text readMessageHeaders(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) failInput(path, "", "cannot be read; expected a message file (RFC 5322 headers)");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) failInput(path, "", "cannot be read; expected a message file (RFC 5322 headers)");
  return headerBlock(bytes.str());
}

Text headerField(TextView headers, TextView name) {
  Text value;
  bool inField = false;
  for (const Text& line : text::split(headers, u"\r\n")) {
    if (inField) {
      if (!line.empty() && (line[0] == u' ' || line[0] == u'\t')) {
        value += u' ';
        value += line.substr(1);
        continue;
      }
      break;
    }
    if (line.size() > name.size() && line[name.size()] == u':' &&
        text::equalsNoCase(TextView(line).substr(0, name.size()), name)) {
      value = line.substr(name.size() + 1);
      inField = true;
    }
  }
  for (char16_t& c : value) {
    if (c == u'\t') c = u' ';
  }
  return text::trim(value);
}

}  // namespace korvanel::tool
