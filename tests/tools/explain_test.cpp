// `korvanel-sim explain`: the recipient list, filter, parsed addresses and the chosen
// identity with the part of the rule that chose it.
#include "tools/korvanel-sim/explain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "temp_files.h"
#include "tools/korvanel-sim/cli.h"

namespace korvanel::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

addin::IdentityTable table(const std::string& json) {
  return parseIdentities(nlohmann::json::parse(json), "ids.json");
}

const char kSalesTwice[] = R"([{"display": "Sales", "email": "sales@contoso.com"},
                               {"display": "Sales Team", "email": "sales@contoso.com"},
                               {"display": "Support", "email": "support@contoso.com"}])";

TEST(Explain, TheDisplayNameDecidesBetweenIdentitiesThatShareAnAddress) {
  const addin::IdentityTable ids = table(kSalesTwice);
  MessageExplanation e =
      explainMessage(ids,
                     u"From: Ann <ann@fabrikam.com>\r\nTo: Support <support@contoso.com>,\r\n"
                     u"\tSales Team <sales@contoso.com>\r\nSubject: Hi\r\n");
  // The earliest row whose address occurs in the list is Sales (row 0); row 1 has the same
  // address and the name written with it.
  EXPECT_EQ(e.match.match, 1);
  EXPECT_THAT(e.match.addresses, ElementsAre(u"support@contoso.com", u"sales@contoso.com"));
  EXPECT_THAT(e.match.names, ElementsAre(u"Support", u"Sales Team"));
  EXPECT_THAT(
      e.match.rule,
      HasSubstr("of the identities with that address, row 1 (Sales Team <sales@contoso.com>)"));

  // Under a name no row has, the first row with the address.
  e = explainMessage(ids, u"To: Sales Department <sales@contoso.com>\r\n");
  EXPECT_EQ(e.match.match, 0);
  EXPECT_THAT(
      e.match.rule,
      HasSubstr("first identity with that address, and no later one has that display name"));

  // A lone address without a name takes the first row at once.
  e = explainMessage(ids, u"To: sales@contoso.com\r\n");
  EXPECT_EQ(e.match.match, 0);
  EXPECT_THAT(e.match.rule,
              HasSubstr("the only address, sales@contoso.com without a display name"));
}

TEST(Explain, TableOrderBeatsListOrder) {
  const addin::IdentityTable ids = table(kSalesTwice);
  const MessageExplanation e =
      explainMessage(ids, u"To: Support <support@contoso.com>, Sales <sales@contoso.com>\r\n");
  EXPECT_THAT(e.match.list,
              ElementsAre(u" Support <support@contoso.com>", u" Sales <sales@contoso.com>"));
  EXPECT_THAT(e.match.addresses, ElementsAre(u"support@contoso.com", u"sales@contoso.com"));
  // Support comes first in the list, Sales first in the table.
  EXPECT_EQ(e.match.match, 0);
  EXPECT_THAT(e.match.rule, HasSubstr("row 0 (Sales <sales@contoso.com>) is the first identity "
                                      "with that address and has that display name"));
}

TEST(Explain, TheFilterDropsAddressesAndCanChooseOnItsOwn) {
  const addin::IdentityTable ids = table(kSalesTwice);
  MessageExplanation e = explainMessage(
      ids,
      u"To: Bob <bob@fabrikam.com>\r\nX-RecipientList: bob@fabrikam.com;support@contoso.com\r\n");
  EXPECT_THAT(e.match.filter, ElementsAre(u"bob@fabrikam.com", u"support@contoso.com"));
  EXPECT_THAT(e.match.addresses, ElementsAre(u"bob@fabrikam.com"));
  EXPECT_EQ(e.match.match, 2);
  EXPECT_THAT(e.match.rule,
              HasSubstr("is the first identity whose address is an entry of the filter"));

  // As the server writes it, with a blank after each semicolon, in the header or the property.
  e = explainMessage(
      ids,
      u"To: Bob <bob@fabrikam.com>\r\nX-RecipientList: bob@fabrikam.com; support@contoso.com\r\n");
  EXPECT_THAT(e.match.filter, ElementsAre(u"bob@fabrikam.com", u"support@contoso.com"));
  EXPECT_EQ(e.match.match, 2);
  EXPECT_EQ(matchInputs(u"", u"bob@fabrikam.com; support@contoso.com", {}).filter,
            u"bob@fabrikam.com\rsupport@contoso.com");

  e = explainMessage(ids, u"To: Carl <carl@northwind.com>\r\nCc: dl@contoso.com\r\n");
  EXPECT_EQ(e.match.match, -1);
  EXPECT_THAT(e.match.rule,
              HasSubstr("none of the identities' addresses is among the parsed addresses"));

  e = explainMessage(ids, u"Subject: nothing else\r\n");
  EXPECT_EQ(e.match.match, -1);
  EXPECT_THAT(e.match.rule, HasSubstr("names no recipient"));
}

TEST(Explain, TheCommandPrintsTheContractsJson) {
  TempFiles files;
  const std::string ids = files.write("ids.json", kSalesTwice);
  const std::string message = files.write(
      "m.eml",
      "Received: from mx\nTo: \"Pat Doe\" <support@contoso.com>\nDisposition-Notification-To: "
      "bob@fabrikam.com\nSubject: Hi\n\nTo: not a header <sales@contoso.com>\n");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(runCommandLine({"explain", "--identities", ids, message, "--json"}, out, err), kExitOk)
      << err.str();
  const nlohmann::ordered_json j = nlohmann::ordered_json::parse(out.str());
  std::vector<std::string> keys;
  for (const auto& [k, v] : j.items()) keys.push_back(k);
  EXPECT_THAT(std::vector<std::string>(keys.begin(), keys.begin() + 6),
              ElementsAre("list", "filter", "addresses", "names", "match", "identity"));
  EXPECT_EQ(j["list"], nlohmann::json::array({" \"Pat Doe\" <support@contoso.com>"}));
  EXPECT_EQ(j["filter"], nlohmann::json::array());
  EXPECT_EQ(j["addresses"], nlohmann::json::array({"support@contoso.com"}));
  EXPECT_EQ(j["names"], nlohmann::json::array({"Pat Doe"}));
  EXPECT_EQ(j["match"], 2);
  EXPECT_EQ(j["identity"]["account_name"], "EX [Support <support@contoso.com>]");
  EXPECT_EQ(j["read_receipt"], true);

  const std::string nobody = files.write("n.eml", "To: carl@northwind.com\r\n");
  std::ostringstream none;
  ASSERT_EQ(runCommandLine({"explain", "--json", "--identities", ids, nobody}, none, err), kExitOk);
  const nlohmann::json n = nlohmann::json::parse(none.str());
  EXPECT_EQ(n["match"], -1);
  EXPECT_TRUE(n["identity"].is_null());

  std::ostringstream text;
  ASSERT_EQ(runCommandLine({"explain", "--identities", ids, message}, text, err), kExitOk);
  EXPECT_THAT(text.str(), HasSubstr("Chosen: row 2, Support <support@contoso.com>"));
  EXPECT_THAT(text.str(), HasSubstr("read receipt"));
}

TEST(Explain, AnAccountNameOfItsOwnIsKept) {
  const addin::IdentityTable ids = table(
      R"([{"display": "Help", "email": "help@contoso.com", "account_name": "EX [Help Desk <help@contoso.com>]"}])");
  EXPECT_EQ(ids.AccountName(0), u"EX [Help Desk <help@contoso.com>]");
  EXPECT_EQ(table(R"([{"display": "Help", "email": "help@contoso.com"}])").AccountName(0),
            u"EX [Help <help@contoso.com>]");
}

}  // namespace
}  // namespace korvanel::tool
