// korvanel-sim's message-file reader over any file bytes, and the explanation `explain`
// gives for the header block it reads, against a fixed identity file.
#include <nlohmann/json.hpp>

#include "fuzz_check.h"
#include "tools/korvanel-sim/explain.h"
#include "tools/korvanel-sim/message_file.h"

namespace {

korvanel::addin::IdentityTable identities() {
  const auto document = nlohmann::json::parse(R"([
    {"display": "Sales", "email": "sales@contoso.com"},
    {"display": "Sales Team", "email": "SALES@contoso.com"},
    {"display": "Support", "email": "support@contoso.com", "account_name": "EX [Support]"},
    {"display": "Élodie", "email": "élodie@exemple.fr"}])");
  return korvanel::tool::parseIdentities(document, "ids.json");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace tool = korvanel::tool;
  static const korvanel::addin::IdentityTable table = identities();
  const korvanel::text::Text headers = tool::headerBlock(korvanel::fuzz::bytesOf(data, size));
  korvanel::fuzz::require(headers.empty() || headers.ends_with(u"\r\n"),
                          "a header block ends with CR LF");
  for (const char16_t* field : {u"From", u"Subject", u"To", u"Cc", u"X-RecipientList"}) {
    (void)tool::headerField(headers, field);
  }
  const tool::MessageExplanation e = tool::explainMessage(table, headers);
  korvanel::fuzz::require(e.match.match >= -1 && e.match.match <= table.IdLast(),
                          "the match is a row or none");
  (void)tool::explanationJson(table, e).dump(2, ' ', false,
                                             nlohmann::json::error_handler_t::replace);
  (void)tool::explanationLines(table, e, "message.eml");
  return 0;
}
