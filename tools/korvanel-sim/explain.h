// How an arriving message is matched to one of the user's identities, laid open: the
// recipient list read from the message, the server's filter, the addresses and names the
// add-in parses out of them, the identity FindIdentity chooses and the part of the rule that
// chose it. Used by `korvanel-sim explain` and by the story of every arrival.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "addin/identity_table.h"
#include "text/text.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

// What a message is matched by, read as the add-in reads an arriving message.
struct MatchInputs {
  Text list;    // RecipientList
  Text filter;  // RecipientList; empty when there is none
  // Where the list came from: "the To and Cc header lines", "the message's recipients",
  // "the server's recipient list (X-RecipientList)", or "nothing".
  std::string source;
};

// headers: the transport headers; xRecipientList: the message's "x-recipientlist" property
// (";"-separated); recipients: (display name, address) of the message's recipients, used
// only when there are no headers.
MatchInputs matchInputs(TextView headers, TextView xRecipientList,
                        const std::vector<std::pair<Text, Text>>& recipients = {});

struct MatchExplanation {
  std::vector<Text> list;
  std::vector<Text> filter;
  std::vector<Text> addresses;
  std::vector<Text> names;
  int match = -1;
  std::string rule;  // one sentence: why this row, or why none
};

MatchExplanation explainMatch(const addin::IdentityTable& table, const MatchInputs& inputs);

// "Sales <sales@contoso.com>" for a row (the mailbox's name and dn for a shared mailbox).
std::string identityLabel(const addin::IdentityTable& table, int row);

// ---- The explain command.

// The identities of an IDS.json file: an array of {"display", "email"} with optional
// "account_name" (default "EX [display <email>]"), in table order. InputFailure when bad.
addin::IdentityTable readIdentityFile(const std::string& path);
addin::IdentityTable parseIdentities(const nlohmann::json& document, const std::string& file);

// The explanation of a message's header block against the identities.
struct MessageExplanation {
  MatchInputs inputs;
  MatchExplanation match;
  bool readReceipt = false;  // the sender asked for one (Disposition-Notification-To)
};
MessageExplanation explainMessage(const addin::IdentityTable& table, TextView headers);

// {"list", "filter", "addresses", "names", "match", "identity", "rule"}.
nlohmann::ordered_json explanationJson(const addin::IdentityTable& table,
                                       const MessageExplanation& explanation);
// The readable form, one line each.
std::vector<std::string> explanationLines(const addin::IdentityTable& table,
                                          const MessageExplanation& explanation,
                                          const std::string& messageFile);

}  // namespace korvanel::tool
