// The small readers and writers of korvanel-sim: message files, registry value texts, and
// the sentence pieces of the story.
#include <gtest/gtest.h>

#include "tools/korvanel-sim/message_file.h"
#include "tools/korvanel-sim/registry_dump.h"
#include "tools/korvanel-sim/scenario_parser.h"
#include "tools/korvanel-sim/story.h"

namespace korvanel::tool {
namespace {

TEST(MessageFile, TheHeaderBlockEndsAtTheFirstEmptyLineWithEveryLineEndMadeCrLf) {
  EXPECT_EQ(headerBlock("To: a@b.com\nCc: c@d.com\n\nTo: body@x.com\n"),
            u"To: a@b.com\r\nCc: c@d.com\r\n");
  EXPECT_EQ(headerBlock("To: a@b.com\r\nSubject: x\r\n\r\nbody"), u"To: a@b.com\r\nSubject: x\r\n");
  EXPECT_EQ(headerBlock("To: a@b.com\rSubject: x"), u"To: a@b.com\r\nSubject: x\r\n");
  EXPECT_EQ(headerBlock("\nTo: a@b.com\n"), u"");
  EXPECT_EQ(headerBlock(""), u"");
  // Not UTF-8: read as Windows-1252.
  EXPECT_EQ(headerBlock("To: \xC9lodie <e@x.com>\n"), u"To: \u00C9lodie <e@x.com>\r\n");
  EXPECT_EQ(headerBlock("To: \xC3\x89lodie <e@x.com>\n"), u"To: \u00C9lodie <e@x.com>\r\n");
}

TEST(MessageFile, FieldsAreFoundInAnyCaseAndUnfolded) {
  const Text headers =
      u"Received: x\r\nSUBJECT: Quote\r\n\tfor chairs\r\nFrom: Ann <ann@f.com>\r\n";
  EXPECT_EQ(headerField(headers, u"Subject"), u"Quote for chairs");
  EXPECT_EQ(headerField(headers, u"from"), u"Ann <ann@f.com>");
  EXPECT_EQ(headerField(headers, u"To"), u"");
  EXPECT_EQ(headerField(u"Subjects: no\r\n", u"Subject"), u"");
}

TEST(RegistryDump, TextIsShownOnlyWhereTheBytesHoldText) {
  std::string text;
  auto utf16 = [](std::u16string_view s) {
    platform::RegValue v;
    v.type = platform::kRegBinary;
    for (char16_t c : s) {
      v.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
      v.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
  };
  ASSERT_TRUE(valueText(utf16(u"EX [Sales <sales@contoso.com>]"), &text));
  EXPECT_EQ(text, "EX [Sales <sales@contoso.com>]");
  ASSERT_TRUE(valueText(utf16(u"00000003\x0001sales@contoso.com"), &text));

  platform::RegValue ansi{platform::kRegBinary, {'E', 'X', 'C', 'H', '0', '1', 0}};
  ASSERT_TRUE(valueText(ansi, &text));
  EXPECT_EQ(text, "EXCH01");

  EXPECT_FALSE(
      valueText(platform::RegValue{platform::kRegBinary, {0x01, 0x00, 0x00, 0x00}}, nullptr));
  EXPECT_FALSE(
      valueText(platform::RegValue{platform::kRegBinary, {0x8f, 0x3c, 0x2a, 0x10}}, nullptr));
  EXPECT_FALSE(valueText(platform::RegValue{platform::kRegBinary, {}}, nullptr));
  EXPECT_FALSE(valueText(platform::RegValue{platform::kRegDword, {3, 0, 0, 0}}, nullptr));
  EXPECT_FALSE(
      valueText(platform::RegValue{platform::kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}}, nullptr));
  ASSERT_TRUE(valueText(platform::RegValue{platform::kRegSz, {'1', 0, 0, 0}}, &text));
  EXPECT_EQ(text, "1");
  // A lone byte, an odd UTF-16 tail: no read past the data.
  EXPECT_FALSE(valueText(platform::RegValue{platform::kRegBinary, {0}}, nullptr));
  ASSERT_TRUE(valueText(platform::RegValue{platform::kRegSz, {'x', 0, 'y'}}, &text));
  EXPECT_EQ(text, "x");
}

TEST(Story, SentencePieces) {
  EXPECT_EQ(keysText(u"%n"), "Alt+N");
  EXPECT_EQ(keysText(u"+{TAB}{END}"), "Shift+Tab, End");
  EXPECT_EQ(keysText(u"{Esc}"), "Esc");
  EXPECT_EQ(keysText(u"12"), "1, 2");
  EXPECT_EQ(keysText(u"{broken"), "{broken");
  EXPECT_EQ(stampText(u"00000003\x0001sales@contoso.com"),
            "account key 00000003, sales@contoso.com");
  EXPECT_EQ(quote(u"Line one.\rLine two.\x0002"), "\"Line one. Line two.\\u0002\"");
  EXPECT_EQ(joinAnd({"a", "b", "c"}), "a, b and c");
}

TEST(ScenarioParser, HeadersGiveTheRecipientsSubjectAndSenderUnlessTheStepSays) {
  const Scenario s = parseScenario(R"({"profile": {}, "steps": [
      {"do": "receive", "id": "m1", "headers": "From: Bob <bob@n.com>\nTo: A <a@c.com>, \"B, Jr\" <b@c.com>\nCc: c@c.com\nSubject: Hi\n"},
      {"do": "receive", "id": "m2", "headers": "To: a@c.com\r\n", "to": [], "subject": "Own", "from": "Carl <carl@n.com>"}]})",
                                   "t.json", ".");
  ASSERT_EQ(s.steps.size(), 2u);
  const Step& m1 = s.steps[0];
  EXPECT_EQ(m1.headers,
            u"From: Bob <bob@n.com>\r\nTo: A <a@c.com>, \"B, Jr\" <b@c.com>\r\nCc: "
            u"c@c.com\r\nSubject: Hi\r\n");
  EXPECT_EQ(*m1.to, (std::vector<Text>{u"A <a@c.com>", u"\"B, Jr\" <b@c.com>"}));
  EXPECT_EQ(*m1.cc, (std::vector<Text>{u"c@c.com"}));
  EXPECT_EQ(m1.subject, u"Hi");
  EXPECT_EQ(m1.from, u"Bob <bob@n.com>");
  const Step& m2 = s.steps[1];
  EXPECT_TRUE(m2.to->empty());
  EXPECT_EQ(m2.subject, u"Own");
  EXPECT_EQ(m2.from, u"Carl <carl@n.com>");
  ASSERT_TRUE(s.profile);
  EXPECT_EQ(s.profile->name, u"Outlook");
  EXPECT_EQ(s.profile->proxyAddresses, (std::vector<Text>{u"SMTP:pat@contoso.com"}));
}

}  // namespace
}  // namespace korvanel::tool
