#include "tools/korvanel-sim/trace.h"

#include "platform/send_keys.h"
#include "sim/outlook_recipients.h"
#include "tools/korvanel-sim/model_view.h"
#include "tools/korvanel-sim/registry_dump.h"

namespace korvanel::tool {

namespace {

using Json = nlohmann::ordered_json;

std::string u8(TextView s) { return text::toUtf8(s); }

Json texts(const std::vector<Text>& v) {
  Json a = Json::array();
  for (const Text& t : v) a.push_back(u8(t));
  return a;
}

// The name of the account an item's SendUsingAccount names; "" when none was chosen.
Text chosenAccountName(sim::Machine& machine, const std::map<Text, Text>& names,
                       const sim::ModelItem& item) {
  if (item.chosenAccountKey.empty()) return Text();
  if (auto outlook = machine.outlook()) {
    if (const sim::Outlook::Account* a = accountOfKey(*outlook, item.chosenAccountKey))
      return a->name;
  }
  if (auto it = names.find(text::fold(item.chosenAccountKey)); it != names.end()) return it->second;
  const Text profile = machine.runs().empty() ? Text() : machine.runs().back().profile;
  const Text name = accountNameInRegistry(machine, profile, item.chosenAccountKey);
  return name.empty() ? item.chosenAccountKey : name;
}

Json messageJson(sim::Machine& machine, const std::map<Text, Text>& names,
                 const sim::ModelFolderPtr& folder, const sim::ModelItem& item) {
  const sim::Organisation& org = machine.organisation();
  Json m;
  m["id"] = u8(item.label);
  const sim::ModelStorePtr store = folder->storeOf();
  m["store"] = u8(store ? store->displayName : Text());
  m["folder"] = u8(folder->path());
  m["type"] = u8(sim::typeNameOfClass(item.itemClass));
  m["subject"] = u8(subjectOf(item));
  m["sent"] = item.sent;
  m["entry_id"] = u8(item.entryId);
  m["account_name"] = u8(accountNameOf(item));
  m["account_stamp"] = u8(accountStampOf(item));
  m["billing"] = u8(billingOf(item));
  m["categories"] = u8(text::join(item.categories(), u", "));
  Json replyTo = Json::array();
  for (const sim::RecipientRecord& r : item.replyRecipients) {
    replyTo.push_back(u8(r.text.empty() ? sim::displayOf(org, r) : r.text));
  }
  m["reply_recipients"] = std::move(replyTo);
  m["sent_on_behalf_of"] = u8(item.text(sim::prop::kSentRepresentingName));
  m["send_using_account"] = u8(chosenAccountName(machine, names, item));
  m["read_receipt_requested"] = readReceiptOf(item);
  Json properties = Json::object();
  for (const sim::UserPropertyRecord& p : item.userProperties)
    properties[u8(p.name)] = u8(p.value.toText());
  m["user_properties"] = std::move(properties);
  m["from"] = u8(item.senderName.empty() || item.senderName == item.senderAddress
                     ? item.senderAddress
                     : item.senderName + u" <" + item.senderAddress + u">");
  Json to = Json::array();
  Json cc = Json::array();
  for (const sim::RecipientRecord& r : item.recipients) {
    if (r.type == platform::kOlTo) to.push_back(u8(sim::displayOf(org, r)));
    if (r.type == platform::kOlCC) cc.push_back(u8(sim::displayOf(org, r)));
  }
  m["to"] = std::move(to);
  m["cc"] = std::move(cc);
  return m;
}

Json dialogJson(const sim::DialogRecord& d) {
  Json j;
  const bool input = d.kind == sim::DialogRecord::Kind::kInputBox;
  j["kind"] = input ? "input" : "message";
  j["title"] = u8(d.title);
  j["text"] = u8(d.text);
  if (input) {
    j["offered"] = u8(d.offered);
    j["answer"] = d.input ? "OK" : "Cancel";
    j["input"] = d.input ? Json(u8(*d.input)) : Json(nullptr);
  } else {
    j["style"] = d.style;
    j["answer"] = answerName(d.answer);
  }
  j["scripted"] = d.scripted;
  return j;
}

}  // namespace

nlohmann::ordered_json buildTrace(sim::Machine& machine, const Story& story,
                                  const std::map<Text, Text>& accountNames,
                                  const std::vector<FaultSpec>& faults) {
  Json trace;
  trace["events"] = story.lines();

  Json messages = Json::array();
  for (const sim::ModelStorePtr& store : allStores(machine)) {
    for (const auto& [folder, item] : itemsOf(store))
      messages.push_back(messageJson(machine, accountNames, folder, *item));
  }
  trace["messages"] = std::move(messages);

  Json transmitted = Json::array();
  for (const sim::Transmission& t : machine.world().transmissions) {
    transmitted.push_back({{"account", u8(t.account)},
                           {"sender", u8(t.sender)},
                           {"sent_representing", u8(t.sentRepresenting)},
                           {"reply_to", texts(t.replyTo)},
                           {"to", texts(t.to)},
                           {"cc", texts(t.cc)},
                           {"subject", u8(t.subject)}});
  }
  trace["transmitted"] = std::move(transmitted);

  Json dialogs = Json::array();
  for (const sim::DialogRecord& d : machine.shell().dialogs()) dialogs.push_back(dialogJson(d));
  trace["dialogs"] = std::move(dialogs);

  // In one spelling ("{Esc}" is written "{ESC}"), as keys read back from a real keyboard are.
  Json keystrokes = Json::array();
  for (const sim::KeysRecord& k : machine.shell().keys()) {
    Text keys = k.keys;
    if (const auto strokes = platform::parseSendKeys(k.keys)) {
      keys.clear();
      for (const platform::KeyStroke& stroke : *strokes) keys += stroke.notation();
    }
    keystrokes.push_back(u8(keys));
  }
  trace["keystrokes"] = std::move(keystrokes);

  Json starts = Json::array();
  for (const sim::OutlookRun& run : machine.runs()) {
    const bool byUser = run.commandLine.empty();
    starts.push_back(
        {{"command_line", u8(byUser ? u"\"" + machine.outlookPath() + u"\"" : run.commandLine)},
         {"started_by", byUser ? "user" : "command line"},
         {"profile", u8(run.profile)},
         {"safe_mode", run.safeMode},
         {"hidden", run.hidden},
         {"started", run.started},
         {"ended", run.ended},
         {"outcome", u8(run.outcome)}});
  }
  trace["outlook_starts"] = std::move(starts);

  trace["registry"] = dumpRegistry(machine.registry());
  trace["anomalies"] = texts(machine.anomalies());

  // Only a scenario that names failing calls has them, so every other trace stays as it was.
  if (!faults.empty()) {
    Json failing = Json::array();
    for (const FaultSpec& f : faults) {
      failing.push_back({{"call", f.call},
                         {"occurrence", f.occurrence == 0 ? Json("always") : Json(f.occurrence)},
                         {"failed", machine.faults().failures(f.call)}});
    }
    trace["faults"] = std::move(failing);
  }
  return trace;
}

}  // namespace korvanel::tool
