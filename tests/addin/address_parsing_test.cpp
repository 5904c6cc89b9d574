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

TEST(GetXRecipientList, FirstMatchingLineInAnyCaseSplitAtSemicolonsEachEntryTrimmed) {
  // The server writes "a; b": the blank after each semicolon is no part of the address.
  EXPECT_EQ(show(GetXRecipientList(u"Received: from a\r\n"
                                   u"x-recipientlist:\t ann@x.com;bob@y.com; carl@z.com ;\t;  \r\n"
                                   u"X-RecipientList: late@x.com\r\n")),
            "ann@x.com|bob@y.com|carl@z.com");
  // The property holds the same form; a list already read comes out the same.
  EXPECT_EQ(show(serverRecipientList(u"a@x.com; b@y.com")), "a@x.com|b@y.com");
  EXPECT_EQ(show(serverRecipientList(u"a@x.com\r b@y.com ")), "a@x.com|b@y.com");
  EXPECT_EQ(serverRecipientList(u" ; "), u"");
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

TEST(GetToCcList, LinesEndAtCrLfOrABareLf) {
  // Code units whose bytes hold 0x0D or 0x0A break no line.
  EXPECT_EQ(show(GetToCcList(u"To: \u0D0D\u0A0D <a@x.com>\r\n\u0D0A\r\nSubject: x\r\n"
                             u"\u0D0D\r\nCc: b@y.com")),
            " \u0D0D\u0A0D <a@x.com>\u0D0A| b@y.com");
  // A header written with bare LFs reads as one written with CR LF.
  EXPECT_EQ(show(GetToCcList(u"To: a@x.com,\n\tb@y.com\nSubject: c@z.com\nCc: d@w.com\r\n")),
            " a@x.com|b@y.com| d@w.com");
  EXPECT_EQ(show(GetXRecipientList(u"Subject: x\nX-RecipientList: a@x.com; b@y.com\nTo: c")),
            "a@x.com|b@y.com");
}

TEST(GetToCcList, FoldedLineHoldingAColonStillContinuesTheHeader) {
  EXPECT_EQ(show(GetToCcList(u"To: a@x.com,\r\n \"Sales: East\" <east@x.com>,\r\n"
                             u"\"Team: West\" <west@x.com>\r\nSubject: x@y.com")),
            " a@x.com| \"Sales: East\" <east@x.com>|\"Team: West\" <west@x.com>");
}

TEST(GetToCcList, GroupsGiveTheirMembers) {
  EXPECT_EQ(show(GetToCcList(u"To: Team: a@x.com, Bob <b@y.com>;, c@z.com\r\n"
                             u"Cc: undisclosed-recipients:;\r\n"
                             u"\tEast: \"Doe, Ann\" <ann@x.com>;")),
            " a@x.com| Bob <b@y.com>| c@z.com| \"Doe, Ann\" <ann@x.com>");
}

TEST(GetToCcList, UnclosedAngleBracketEndsAtTheNextComma) {
  EXPECT_EQ(show(GetToCcList(u"To: Ann <ann@x.com, bob@y.com, Carl <c@z.com>\r\nCc: d@w.com")),
            " Ann <ann@x.com| bob@y.com| Carl <c@z.com>| d@w.com");
}

TEST(GetToCcList, TabsAreBlanksAndATabFoldSplitsOnlyAfterAWholeRecipient) {
  EXPECT_EQ(show(GetToCcList(u"To:\tann@x.com,\t \t,\tbob@y.com\r\n"
                             u"Cc: Carl Diaz\r\n\t<carl@z.com>\r\n\tdee@w.com")),
            "\tann@x.com|\tbob@y.com| Carl Diaz\t<carl@z.com>|dee@w.com");
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
  EXPECT_EQ(show(ParseAddressList(GetToCcList(u"To: ann@fabrikam.com, Sales <sales@contoso.com>\r\n"
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
      {u"Ann\t<ann@x.com>", "ann@x.com", "Ann"},
      {u"\tAnn Doe\tann@x.com\t", "ann@x.com", "Ann Doe"},
      {u"@", "@", ""},
      // The address in angle brackets wins over an "@" in the display name.
      {u"\"ann@x.com\" <bob@y.com>", "bob@y.com", "ann@x.com"},
      {u"\"Ann <ann@x.com>, (old)\" <bob@y.com>", "bob@y.com", "Ann <ann@x.com>, (old)"},
      {u"(ann@x.com) Bob <bob@y.com>", "bob@y.com", "(ann@x.com) Bob"},
      {u"Ann < ann@x.com >", "ann@x.com", "Ann"},
      {u"Ann <ann@x.com", "ann@x.com", "Ann"},
      {u"<notes> ann@x.com", "ann@x.com", "<notes>"},
      // An apostrophe inside the local part belongs to it; one that opens the word does not.
      {u"o'brien@x.com", "o'brien@x.com", ""},
      {u"Pat O'Brien <pat.o'brien@x.com>", "pat.o'brien@x.com", "Pat O'Brien"},
      {u"Pat o'brien@x.com", "o'brien@x.com", "Pat"},
      {u"'ann@x.com'", "ann@x.com", ""},
      {u"Ann 'ann@x.com'", "ann@x.com", "Ann"},
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
