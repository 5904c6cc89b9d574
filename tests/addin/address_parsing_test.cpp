#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "addin/address_list.h"
#include "addin/transport_headers.h"
#include "text/text.h"

namespace korvanel::addin {
namespace {

using text::Text;
using text::TextView;

// Keeps test expectations readable: entries shown one per line.
std::string show(const Text& list) { return text::toUtf8(text::replaceAll(list, u"\r", u"|")); }

TEST(GetXRecipientList, FirstMatchingLineInAnyCaseSplitAtSemicolons) {
  EXPECT_EQ(show(GetXRecipientList(u"Received: from a\r\n"
                                   u"x-recipientlist:  ann@x.com;bob@y.com; carl@z.com  \r\n"
                                   u"X-RecipientList: late@x.com\r\n")),
            "ann@x.com|bob@y.com| carl@z.com");
}

TEST(GetXRecipientList, IgnoresIndentedShortAndContinuedLines) {
  EXPECT_EQ(GetXRecipientList(u""), u"");
  EXPECT_EQ(GetXRecipientList(u" X-RecipientList: a@x.com\r\nX-Recip"), u"");
  EXPECT_EQ(GetXRecipientList(u"X-RecipientList:a@x.com\r\n\tb@y.com"), u"a@x.com");
  // The name must be followed by its colon in place.
  EXPECT_EQ(GetXRecipientList(u"X-RecipientLists: a@x.com"), u"");
}

TEST(GetToCcList, FoldedLinesTabStartsEntrySpaceContinues) {
  EXPECT_EQ(show(GetToCcList(u"To: ann@x.com\r\n\tbob@y.com\r\n carl@z.com\r\n"
                             u"Subject: hello\r\n\tnot@an.address\r\n")),
            " ann@x.com|bob@y.com carl@z.com");
}

TEST(GetToCcList, OnlyToAndCcInTheFirstColumnInAnyCase) {
  EXPECT_EQ(show(GetToCcList(u"From: me@x.com\r\n"
                             u"cC: cc@x.com\r\n"
                             u"Bcc: hidden@x.com\r\n"
                             u"Reply-To: reply@x.com\r\n"
                             u" To: indented@x.com\r\n"
                             u"tO: to@x.com\r\n")),
            " cc@x.com| to@x.com");
  EXPECT_EQ(GetToCcList(u""), u"");
  EXPECT_EQ(GetToCcList(u"Subject: none\r\nTo"), u"");
}

TEST(GetToCcList, LinesBreakOnlyAtCarriageReturnLineFeed) {
  // Neither code units whose bytes hold 0x0D or 0x0A nor a lone LF break a line.
  EXPECT_EQ(show(GetToCcList(u"To: \u0D0D\u0A0D <a@x.com>\n\u0D0A\r\nSubject: x\r\n"
                             u"\u0D0D\r\nCc: b@y.com")),
            " \u0D0D\u0A0D <a@x.com>\n\u0D0A| b@y.com");
}

TEST(GetToCcList, BlankLinesChangeNothing) {
  EXPECT_EQ(show(GetToCcList(u"To: a@x.com\r\n\r\n   \r\n\tb@y.com\r\n\r\nCc: c@z.com")),
            " a@x.com|b@y.com| c@z.com");
}

TEST(GetToCcList, SplitsRecipientsAtCommasOutsideQuotesBracketsAndComments) {
  EXPECT_EQ(show(GetToCcList(u"To: ann@fabrikam.com, Sales <sales@contoso.com>\r\n"
                             u"Cc: \"Doe, Ann\" <ann.doe@contoso.com>, (team, east) "
                             u"east@contoso.com,\r\n"
                             u"\t\"Ann \\\"Boss, the\\\" Lee\" <lee@contoso.com>,\r\n"
                             u" <odd,one@contoso.com>\r\n")),
            " ann@fabrikam.com| Sales <sales@contoso.com>"
            "| \"Doe, Ann\" <ann.doe@contoso.com>| (team, east) east@contoso.com"
            "|\"Ann \\\"Boss, the\\\" Lee\" <lee@contoso.com>| <odd,one@contoso.com>");
}

TEST(GetToCcList, QuotedNameFoldedWithSpacesStaysWhole) {
  EXPECT_EQ(show(GetToCcList(u"To: \"Doe,\r\n Ann\" <ann@x.com>, bob@y.com")),
            " \"Doe, Ann\" <ann@x.com>| bob@y.com");
}

TEST(GetToCcList, UnclosedQuoteDoesNotSwallowTheNextHeader) {
  EXPECT_EQ(show(GetToCcList(u"To: \"Ann <ann@x.com>, more\r\nCc: bob@y.com, c@z.com")),
            " \"Ann <ann@x.com>, more| bob@y.com| c@z.com");
}

TEST(GetToCcList, CommaSeparatedRecipientsAreAllParsed) {
  Text names;
  EXPECT_EQ(show(ParseAddressList(
                GetToCcList(u"To: ann@fabrikam.com, Sales <sales@contoso.com>\r\n"
                            u"Cc: \"Doe, Ann\" <ann.doe@contoso.com>"),
                names, u"")),
            "ann@fabrikam.com|sales@contoso.com|ann.doe@contoso.com");
  EXPECT_EQ(show(names), "|Sales|Doe, Ann");
}

struct ParseCase {
  const char16_t* entry;
  const char* address;
  const char* name;
};

TEST(ParseAddressList, ReadsOneAddressAndNamePerEntry) {
  const ParseCase cases[] = {
      {u" \"Doe, Ann\" <ann@x.com>", "ann@x.com", "Doe, Ann"},
      {u"Ann Doe ann@x.com", "ann@x.com", "Ann Doe"},
      {u"ann@x.com (Ann Doe)", "ann@x.com", ""},
      {u"'Ann' <ann@x.com>", "ann@x.com", "Ann"},
      {u"<ann@x.com>", "ann@x.com", ""},
      {u"\"\" <ann@x.com>", "ann@x.com", "\"\""},
      {u"\"Ann\"ann@x.com\"", "ann@x.com", "Ann"},
      {u"ann@x.com, bob@y.com", "ann@x.com,", ""},
      {u"Ann\t<ann@x.com>", "ann@x.com", "Ann\t"},
      {u"@", "@", ""},
  };
  for (const ParseCase& c : cases) {
    Text names;
    EXPECT_EQ(text::toUtf8(ParseAddressList(c.entry, names, u"")), c.address)
        << text::toUtf8(c.entry);
    EXPECT_EQ(text::toUtf8(names), c.name) << text::toUtf8(c.entry);
  }
}

TEST(ParseAddressList, NamesStayParallelAndEntriesWithoutAtYieldNothing) {
  Text names = u"kept";
  EXPECT_EQ(show(ParseAddressList(u"Ann <ann@x.com>\r/o=Org/cn=Recipients/cn=bob\r"
                                  u"bob@y.com\r\rCarl carl@z.com\r",
                                  names, u"")),
            "ann@x.com|bob@y.com|carl@z.com");
  // Appended to what the caller had; the entry without a name gets an empty one.
  EXPECT_EQ(show(names), "keptAnn||Carl");
}

TEST(ParseAddressList, FilterKeepsListedAddressesOrStandsInForThem) {
  Text names;
  EXPECT_EQ(show(ParseAddressList(u"Ann <ANN@x.com>\rbob@y.com", names, u"ann@x.com\rz@z.com")),
            "ANN@x.com");
  EXPECT_EQ(show(names), "Ann");

  names.clear();
  EXPECT_EQ(show(ParseAddressList(u"bob@y.com", names, u"ann@x.com\rz@z.com\r")),
            "ann@x.com|z@z.com|");
  EXPECT_EQ(show(names), "||");

  names.clear();
  EXPECT_EQ(show(ParseAddressList(u"", names, u"ann@x.com")), "ann@x.com");
  EXPECT_EQ(names, u"");
  EXPECT_EQ(ParseAddressList(u"", names, u""), u"");
}

// Any text at all, run through every reader: nothing is read past the text (the sanitizer
// build watches), and the names stay parallel to the addresses.
TEST(AddressParsingSweep, ArbitraryTextIsReadSafely) {
  const TextView alphabet = u"\r\n\t \"'<>(),@;:\\aToCcX-\u0D0D";
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    Text input;
    const std::size_t length = random() % 48;
    for (std::size_t i = 0; i < length; ++i) input += alphabet[random() % alphabet.size()];
    const Text xrl = GetXRecipientList(input);
    const Text list = GetToCcList(input);
    for (const Text& source : {input, list, xrl}) {
      Text names;
      const Text addresses = ParseAddressList(source, names, xrl);
      ASSERT_EQ(std::count(addresses.begin(), addresses.end(), u'\r'),
                std::count(names.begin(), names.end(), u'\r'))
          << show(source);
    }
  }
}

}  // namespace
}  // namespace korvanel::addin
