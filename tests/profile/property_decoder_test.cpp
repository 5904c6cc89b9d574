#include "profile/property_decoder.h"

#include <gtest/gtest.h>

namespace korvanel::profile {
namespace {

const AnsiCodePage kCp = AnsiCodePage::windows1252();

Bytes le32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// A multi-valued text built by hand: count, offsets, then the strings as given.
Bytes multiValued(const std::vector<std::string>& strings, bool unicode) {
  Bytes header = le32(static_cast<std::uint32_t>(strings.size()));
  Bytes body;
  for (const std::string& s : strings) {
    const Bytes off = le32(static_cast<std::uint32_t>(4 + 4 * strings.size() + body.size()));
    header.insert(header.end(), off.begin(), off.end());
    for (char c : s) {
      body.push_back(static_cast<std::uint8_t>(c));
      if (unicode) body.push_back(0);
    }
    body.push_back(0);
    if (unicode) body.push_back(0);
  }
  header.insert(header.end(), body.begin(), body.end());
  return header;
}

Text decode(TextView name, const Bytes& data, PropertyMode mode = PropertyMode::kText) {
  return decodeProperty(name, data, mode, kCp);
}

TEST(PropertyDecoder, NameDecidesBetweenAnsiAndUnicode) {
  // "Exch" + NUL, once as ANSI bytes, once as UTF-16LE; the registry type is not looked at.
  const Bytes ansi = {'E', 'x', 0xE9, 0x00, 'z'};
  const Bytes wide = {'E', 0, 'x', 0, 0xE9, 0, 0, 0, 'z', 0};
  EXPECT_EQ(decode(u"001e3001", ansi), u"Ex\u00e9");
  EXPECT_EQ(decode(u"001E3001", ansi), u"Ex\u00e9");
  EXPECT_EQ(decode(u"001f3001", wide), u"Ex\u00e9");
  EXPECT_EQ(decode(u"Account Name", wide), u"Ex\u00e9");
  // 0x80 is the euro sign in Windows-1252.
  EXPECT_EQ(decode(u"001e6608", {0x80, 0x00}), u"\u20ac");
}

TEST(PropertyDecoder, EmptyValueReadsAsNotDefined) {
  EXPECT_EQ(decode(u"Account Name", {}), u"(not defined for this account)");
  EXPECT_EQ(decode(u"001e3001", {}), u"(not defined for this account)");
  EXPECT_EQ(decode(u"x", {}, PropertyMode::kId), u"(not defined for this account)");
  // An empty proxy list holds no address, not the phrase.
  EXPECT_EQ(decode(u"101f6637", {}, PropertyMode::kSmtp), u"");
}

TEST(PropertyDecoder, IdModeGivesUpperCaseHexOfEveryByte) {
  EXPECT_EQ(decode(u"{ED475418-B0D6-11D2-8C3B-00104B2A6676}", {0x0A, 0x00, 0xFF, 0x1b},
                   PropertyMode::kId),
            u"0A00FF1B");
}

TEST(PropertyDecoder, UnicodeProxyListKeepsSmtpEntriesLastStoredFirst) {
  const Bytes list =
      multiValued({"SMTP:a@contoso.com", "smtp:b@contoso.com", "X400:c=US;a= ;p=Contoso"}, true);
  EXPECT_EQ(decode(u"101f6637", list, PropertyMode::kSmtp),
            u"smtp:b@contoso.com\tSMTP:a@contoso.com");
}

TEST(PropertyDecoder, AnsiProxyListDecodesFromTheCodePage) {
  const Bytes list = multiValued({"SMTP:ren\xe9@contoso.com", "smtp:b@contoso.com"}, false);
  EXPECT_EQ(decode(u"101e6637", list, PropertyMode::kSmtp),
            u"smtp:b@contoso.com\tSMTP:ren\u00e9@contoso.com");
}

TEST(PropertyDecoder, ProxyEntriesAreTrimmedAndTabsBecomeSpaces) {
  const Bytes list = multiValued({"   ", " SMTP:a@x.com ", "smtp:b\tc@x.com", "SMTPX"}, true);
  EXPECT_EQ(decode(u"101f6637", list, PropertyMode::kSmtp), u"smtp:b c@x.com\tSMTP:a@x.com");
}

TEST(PropertyDecoder, MalformedProxyHeadersGiveNoAddresses) {
  const Bytes good = multiValued({"SMTP:a@x.com"}, true);
  ASSERT_EQ(decode(u"101f6637", good, PropertyMode::kSmtp), u"SMTP:a@x.com");

  Bytes offsetPastEnd = good;
  offsetPastEnd[4] = 0xF0;
  Bytes offsetHighBytes = good;  // only the low byte would point at the strings
  offsetHighBytes[5] = 0x01;
  Bytes countPastEnd = good;
  countPastEnd[0] = 0x40;
  Bytes hugeCount = good;
  hugeCount[3] = 0xFF;
  Bytes offsetIntoHeader = good;
  offsetIntoHeader[4] = 2;
  Bytes zeroCount = good;
  zeroCount[0] = 0;
  const Bytes shortValue = {1, 0, 0, 0, 8};
  for (const Bytes& bad : {offsetPastEnd, offsetHighBytes, countPastEnd, hugeCount,
                           offsetIntoHeader, zeroCount, shortValue}) {
    EXPECT_EQ(decode(u"101f6637", bad, PropertyMode::kSmtp), u"");
    EXPECT_EQ(decode(u"101e6637", bad, PropertyMode::kSmtp), u"");
  }
  // A second offset past the end spoils the whole list too.
  Bytes two = multiValued({"SMTP:a@x.com", "smtp:b@x.com"}, true);
  two[8] = 0xFF;
  EXPECT_EQ(decode(u"101f6637", two, PropertyMode::kSmtp), u"");
}

TEST(PropertyDecoder, EveryTruncationAndByteFlipDecodesWithinItsBuffer) {
  // Run under the sanitizers: no input may make the decoder read outside the value.
  const Bytes full = multiValued({"SMTP:a@contoso.com", "smtp:b@contoso.com"}, true);
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    for (PropertyMode mode : {PropertyMode::kText, PropertyMode::kId, PropertyMode::kSmtp}) {
      decode(u"101f6637", cut, mode);
      decode(u"101e6637", cut, mode);
    }
  }
  for (std::size_t i = 0; i < full.size(); ++i) {
    for (std::uint8_t v : {0x00, 0x01, 0x7F, 0xFF}) {
      Bytes flipped = full;
      flipped[i] = v;
      decode(u"101f6637", flipped, PropertyMode::kSmtp);
      decode(u"101e6637", flipped, PropertyMode::kSmtp);
    }
  }
}

}  // namespace
}  // namespace korvanel::profile
