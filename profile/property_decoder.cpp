#include "profile/property_decoder.h"

#include <algorithm>

namespace korvanel::profile {
namespace {

std::uint32_t readLe32(const Bytes& data, std::size_t at) {
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
         static_cast<std::uint32_t>(data[at + 2]) << 16 |
         static_cast<std::uint32_t>(data[at + 3]) << 24;
}

Text bytesAsAnsi(const Bytes& data, std::size_t from, const AnsiCodePage& codePage) {
  if (from >= data.size()) return Text();
  std::string_view bytes(reinterpret_cast<const char*>(data.data()) + from, data.size() - from);
  return codePage.decode(bytes);
}

Text hexOfBytes(const Bytes& data) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text hex;
  hex.reserve(data.size() * 2);
  for (std::uint8_t b : data) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

// The byte offset at which the strings of a multi-valued value begin, when its header is
// sound: a count of at least one, every offset inside the data and past the header.
std::optional<std::size_t> multiValuedStart(const Bytes& data) {
  if (data.size() < 8) return std::nullopt;
  const std::uint64_t count = readLe32(data, 0);
  const std::uint64_t headerEnd = 4 + 4 * count;
  if (count == 0 || headerEnd > data.size()) return std::nullopt;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint32_t offset = readLe32(data, static_cast<std::size_t>(4 + 4 * i));
    if (offset < headerEnd || offset > data.size()) return std::nullopt;
  }
  return readLe32(data, 4);
}

Text smtpEntries(TextView name, const Bytes& data, const AnsiCodePage& codePage) {
  const std::optional<std::size_t> start = multiValuedStart(data);
  if (!start) return Text();
  Text all;
  if (isAnsiPropertyName(name)) {
    all = bytesAsAnsi(data, *start, codePage);
  } else {
    const std::size_t from = *start / 2 * 2;
    all = text::fromUtf16leBytes(data.data() + from, data.size() - from);
  }
  std::replace(all.begin(), all.end(), u'\t', u' ');
  const std::vector<Text> pieces = text::split(all, Text(1, u'\0'));
  std::vector<Text> kept;
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
    Text entry = text::trim(*it);
    if (entry.empty()) continue;
    if (text::startsWithNoCase(entry, u"SMTP:")) kept.push_back(std::move(entry));
  }
  return text::join(kept, u"\t");
}

}  // namespace

bool isAnsiPropertyName(TextView name) {
  return name.size() >= 4 && (name[3] == u'e' || name[3] == u'E');
}

Text decodeProperty(TextView name, const Bytes& data, PropertyMode mode,
                    const AnsiCodePage& codePage) {
  // An empty list holds no address; the phrase must not pass for one.
  if (data.empty()) return mode == PropertyMode::kSmtp ? Text() : Text(kNotDefined);
  switch (mode) {
    case PropertyMode::kText:
      if (isAnsiPropertyName(name)) return TrimNull(bytesAsAnsi(data, 0, codePage));
      return TrimNull(text::fromUtf16leBytes(data));
    case PropertyMode::kId:
      return hexOfBytes(data);
    case PropertyMode::kSmtp:
      return smtpEntries(name, data, codePage);
  }
  return Text();
}

}  // namespace korvanel::profile
