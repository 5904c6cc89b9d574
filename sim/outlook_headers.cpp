#include "sim/outlook_headers.h"

namespace korvanel::sim {

using text::Bytes;
using text::Text;
using text::TextView;

namespace {

void addressLine(Text& out, TextView name, const std::vector<Text>& addresses) {
  if (addresses.empty()) return;
  out += Text(name) + u": ";
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) out += u",\r\n\t";
    out += addresses[i];
  }
  out += u"\r\n";
}

}  // namespace

Text buildTransportHeaders(TextView from, const std::vector<Text>& to, const std::vector<Text>& cc,
                           TextView subject, TextView xRecipientList) {
  Text out;
  if (!from.empty()) out += u"From: " + Text(from) + u"\r\n";
  addressLine(out, u"To", to);
  addressLine(out, u"Cc", cc);
  out += u"Subject: " + Text(subject) + u"\r\n";
  if (!xRecipientList.empty()) out += u"X-RecipientList: " + Text(xRecipientList) + u"\r\n";
  out += u"MIME-Version: 1.0\r\n";
  return out;
}

Bytes freshConversationIndex(std::uint32_t serial) {
  Bytes b;
  b.push_back(0x01);
  const std::uint64_t time = 0x01C8A1B2C3ull + serial * 0x100ull;
  for (int i = 4; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(time >> (8 * i)));
  std::uint32_t x = serial * 2654435761u + 0x9E3779B9u;
  for (int i = 0; i < 16; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b.push_back(static_cast<std::uint8_t>(x));
  }
  return b;
}

Bytes childConversationIndex(const Bytes& parent, std::uint32_t serial) {
  Bytes b = parent.empty() ? freshConversationIndex(serial) : parent;
  for (int i = 0; i < 5; ++i) b.push_back(static_cast<std::uint8_t>((serial * 0x3Bu + i * 0x11u) & 0xFF));
  return b;
}

Text hexOfBytes(const Bytes& bytes) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  Text out;
  for (std::uint8_t b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

Bytes bytesOfHex(TextView hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    auto v = text::readHex(hex.substr(i, 2));
    if (!v) break;
    out.push_back(static_cast<std::uint8_t>(*v));
  }
  return out;
}

}  // namespace korvanel::sim
