#include "tools/korvanel-sim/explain.h"

#include "addin/address_list.h"
#include "addin/identity_match.h"
#include "addin/identity_text_forms.h"
#include "addin/transport_headers.h"
#include "tools/korvanel-sim/json_reader.h"
#include "tools/korvanel-sim/message_file.h"

namespace korvanel::tool {

namespace {

std::vector<Text> entriesOf(TextView recipientList) {
  return text::split(recipientList, TextView(&addin::kRecipientSeparator, 1));
}

std::string u8(TextView s) { return text::toUtf8(s); }

std::string rowText(int row) { return "row " + std::to_string(row); }

}  // namespace

MatchInputs matchInputs(TextView headers, TextView xRecipientList,
                        const std::vector<std::pair<Text, Text>>& recipients) {
  // The same reading as the add-in's arrival (arrivalRecipientList): the header lines when
  // there are headers, else the recipients; the server's list is the filter, or the list
  // itself when nothing else names a recipient.
  MatchInputs in;
  Text filter(xRecipientList);
  if (!headers.empty()) {
    if (filter.empty()) filter = addin::GetXRecipientList(headers);
    in.list = addin::GetToCcList(headers);
    in.source = "the To and Cc header lines";
  } else {
    for (const auto& [name, address] : recipients) {
      const Text entry = addin::recipientEntry(name, address);
      if (entry.empty()) continue;
      in.list += entry;
      in.list += addin::kRecipientSeparator;
    }
    in.source = "the message's recipients";
  }
  in.filter = addin::serverRecipientList(filter);
  if (in.list.empty()) {
    in.list = in.filter;
    in.source = in.list.empty() ? "nothing" : "the server's recipient list (X-RecipientList)";
  }
  return in;
}

std::string identityLabel(const addin::IdentityTable& table, int row) {
  if (row < table.IdFirst() || row > table.IdLast()) return "none";
  const Text& email = table.Email(row);
  const bool mailbox = addin::isMailboxAccountName(table.AccountName(row));
  return u8(table.DisplayName(row)) + (mailbox ? " (" + u8(email) + ")" : " <" + u8(email) + ">");
}

MatchExplanation explainMatch(const addin::IdentityTable& table, const MatchInputs& inputs) {
  MatchExplanation out;
  out.list = entriesOf(inputs.list);
  out.filter = entriesOf(inputs.filter);
  for (const addin::ParsedAddress& p : addin::parseAddressEntries(inputs.list, inputs.filter)) {
    out.addresses.emplace_back(p.address);
    out.names.emplace_back(p.name);
  }
  out.match = inputs.list.empty() ? -1 : addin::FindIdentity(table, inputs.list, inputs.filter);

  if (inputs.list.empty()) {
    out.rule =
        "the message names no recipient that can be read (no To or Cc line, no recipients, "
        "no X-RecipientList)";
    return out;
  }
  if (table.empty()) {
    out.rule = "there are no identities to match";
    return out;
  }
  if (out.addresses.empty()) {
    out.rule = "no address (text with an \"@\") can be read from the recipient list";
    return out;
  }
  if (out.match < 0) {
    out.rule = "none of the identities' addresses is among the parsed addresses" +
               std::string(inputs.filter.empty() ? "" : " or the filter entries");
    return out;
  }

  const int k = out.match;
  const Text& address = table.Email(k);
  std::size_t j = out.addresses.size();
  for (std::size_t i = 0; i < out.addresses.size(); ++i) {
    if (text::equalsNoCase(out.addresses[i], address)) {
      j = i;
      break;
    }
  }
  const std::string who = rowText(k) + " (" + identityLabel(table, k) + ")";
  if (j == out.addresses.size()) {
    out.rule = "no identity's address is among the parsed addresses; " + who +
               " is the first identity whose address is an entry of the filter";
    return out;
  }
  const std::vector<int>& sameAddress = table.rowsWithEmail(address);
  const bool earlierSame = !sameAddress.empty() && sameAddress.front() < k;
  const std::string written =
      u8(address) + (out.names[j].empty() ? std::string(" without a display name")
                                          : " with the display name \"" + u8(out.names[j]) + "\"");
  if (out.addresses.size() == 1 && text::trim(out.names[0]).empty()) {
    out.rule =
        "the only address, " + written + ", takes the first identity with that address: " + who;
  } else if (earlierSame) {
    out.rule = "the list gives " + written + "; of the identities with that address, " + who +
               " is the one with that display name";
  } else if (sameAddress.size() > 1) {
    const bool ownName = text::equalsNoCase(out.names[j], table.DisplayName(k));
    out.rule =
        "the list gives " + written + "; " + who + " is the first identity with that address" +
        (ownName ? " and has that display name" : ", and no later one has that display name");
  } else {
    out.rule = who + " is the first identity, in table order, whose address occurs in the list (" +
               written + ")";
  }
  return out;
}

// ---- The explain command

addin::IdentityTable parseIdentities(const nlohmann::json& document, const std::string& file) {
  addin::IdentityTable table;
  const JsonValue top(document, file, "$");
  if (!document.is_array())
    top.fail("expected an array of identities, found " + jsonTypeName(document));
  int row = 0;
  for (const JsonValue& value : top.elements()) {
    JsonObject o(value, {"display", "email", "account_name"});
    addin::IdentityRow r;
    r.DisplayName = o.text("display");
    r.Email = o.text("email");
    r.AccountName =
        o.optText("account_name").value_or(addin::addressAccountName(r.DisplayName, r.Email));
    r.AccountIndex = text::toText(++row + 1);  // after the Exchange account, in file order
    table.addRow(std::move(r));
  }
  return table;
}

addin::IdentityTable readIdentityFile(const std::string& path) {
  return parseIdentities(readJsonFile(path), path);
}

MessageExplanation explainMessage(const addin::IdentityTable& table, TextView headers) {
  MessageExplanation out;
  out.inputs = matchInputs(headers, u"");
  out.match = explainMatch(table, out.inputs);
  out.readReceipt = !headerField(headers, u"Disposition-Notification-To").empty() ||
                    !headerField(headers, u"Return-Receipt-To").empty();
  return out;
}

nlohmann::ordered_json explanationJson(const addin::IdentityTable& table,
                                       const MessageExplanation& e) {
  auto texts = [](const std::vector<Text>& v) {
    nlohmann::ordered_json a = nlohmann::ordered_json::array();
    for (const Text& t : v) a.push_back(u8(t));
    return a;
  };
  nlohmann::ordered_json j;
  j["list"] = texts(e.match.list);
  j["filter"] = texts(e.match.filter);
  j["addresses"] = texts(e.match.addresses);
  j["names"] = texts(e.match.names);
  j["match"] = e.match.match;
  if (e.match.match >= 0) {
    const int k = e.match.match;
    j["identity"] = {{"display", u8(table.DisplayName(k))},
                     {"email", u8(table.Email(k))},
                     {"account_name", u8(table.AccountName(k))}};
  } else {
    j["identity"] = nullptr;
  }
  j["rule"] = e.match.rule;
  j["list_source"] = e.inputs.source;
  j["read_receipt"] = e.readReceipt;
  return j;
}

std::vector<std::string> explanationLines(const addin::IdentityTable& table,
                                          const MessageExplanation& e,
                                          const std::string& messageFile) {
  std::vector<std::string> out;
  auto entries = [&](const std::vector<Text>& v) {
    if (v.empty()) out.push_back("    (none)");
    for (const Text& t : v) out.push_back("    " + quotedText(u8(t)));
  };
  out.push_back("Message " + messageFile);
  out.push_back("  Recipient list, from " + e.inputs.source + ":");
  entries(e.match.list);
  out.push_back("  Filter, from the X-RecipientList line:");
  entries(e.match.filter);
  out.push_back("  Parsed addresses and the display names written with them:");
  if (e.match.addresses.empty()) out.push_back("    (none)");
  for (std::size_t i = 0; i < e.match.addresses.size(); ++i) {
    out.push_back("    " + u8(e.match.addresses[i]) +
                  (e.match.names[i].empty() ? std::string("   (no name)")
                                            : "   name " + quotedText(u8(e.match.names[i]))));
  }
  out.push_back("  Identities, in matching order:");
  if (table.empty()) out.push_back("    (none)");
  for (int i = table.IdFirst(); i <= table.IdLast(); ++i) {
    out.push_back("    " + rowText(i) + ": " + identityLabel(table, i) + "   account " +
                  quotedText(u8(table.AccountName(i))));
  }
  if (e.match.match >= 0) {
    out.push_back("  Chosen: " + rowText(e.match.match) + ", " +
                  identityLabel(table, e.match.match) +
                  "; the message is stamped with the account " +
                  quotedText(u8(table.AccountName(e.match.match))) + ".");
  } else {
    out.push_back(
        "  Chosen: none; the message is not stamped and a reply leaves from the default account.");
  }
  out.push_back("  Why: " + e.match.rule + ".");
  if (e.readReceipt) {
    out.push_back(
        "  The sender asks for a read receipt: at arrival only the account name is written; "
        "the rest of the stamp follows when the message is opened.");
  }
  return out;
}

}  // namespace korvanel::tool
