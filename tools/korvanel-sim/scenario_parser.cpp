#include "tools/korvanel-sim/scenario_parser.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "addin/transport_headers.h"
#include "platform/outlook.h"
#include "platform/shell.h"
#include "sim/fault_calls.h"
#include "tools/korvanel-sim/json_reader.h"
#include "tools/korvanel-sim/message_file.h"
#include "tools/korvanel-sim/registry_import.h"

namespace korvanel::tool {

namespace {

constexpr std::string_view kStepNames[] = {
    "start", "receive",        "select", "open",  "reply",   "reply_all", "forward", "new",
    "edit",  "choose_account", "send",   "close", "options", "pump",      "quit"};

// The buttons and the link a page action may click.
constexpr std::string_view kPageControls[] = {
    "cmdAdd",      "cmdChange",    "cmdRemove",       "cmdRemoveAll",        "cmdMoveUp",
    "cmdMoveDown", "cmdAddFolder", "cmdDeleteFolder", "cmdDeleteAllFolders", "cmdSharedMailboxes",
    "cmdPopulate", "cmdRefresh",   "Label1"};

constexpr int kAnswerIds[] = {platform::kIdYes, platform::kIdNo, platform::kIdOk,
                              platform::kIdCancel};

// Reads a file the scenario names. One that cannot be read is the scenario's fault, told
// at the field naming it; one that is malformed is told in its own terms, with where the
// scenario names it.
template <typename Read>
auto namedFile(const JsonValue& where, const std::string& path, const std::string& what,
               Read read) {
  std::ifstream probe(path, std::ios::binary);
  if (!probe) where.fail("cannot read " + quotedText(path) + "; expected " + what);
  probe.close();
  try {
    return read(path);
  } catch (const InputFailure& e) {
    InputError error = e.error();
    error.message += " (named at " + where.file() + ": " + where.path() + ")";
    throw InputFailure(error);
  }
}

class Parser {
 public:
  Parser(std::string file, std::filesystem::path baseDir)
      : file_(std::move(file)), baseDir_(std::move(baseDir)) {}

  Scenario parse(const nlohmann::json& document) {
    Scenario s;
    s.file = file_;
    JsonObject top(JsonValue(document, file_, "$"),
                   {"outlook", "cdo", "ui_language", "profile", "registry", "steps", "faults"});
    if (auto v = top.optional("outlook")) {
      s.outlook = static_cast<int>(v->integer(11, 12));
    }
    s.cdo = top.optBool("cdo").value_or(true);
    s.uiLanguage = static_cast<long>(top.optInteger("ui_language", 1, 0xFFFF).value_or(1033));
    if (top.has("profile") && top.has("registry")) {
      top.fail("registry", "a scenario starts from a profile or from a saved registry, not both");
    }
    if (auto v = top.optional("profile")) s.profile = profile(*v);
    if (auto v = top.optional("registry")) {
      s.registryFile = resolve(v->text(), *v);
      s.registry =
          namedFile(*v, s.registryFile, "a registry file (Windows Registry Editor Version 5.00)",
                    [](const std::string& path) { return readRegistryFile(path); });
    }
    if (!s.profile && s.registryFile.empty()) {
      top.fail(
          "missing field \"profile\" (or \"registry\"); expected the Outlook profile to start "
          "with");
    }
    for (const JsonValue& step : top.field("steps").elements()) s.steps.push_back(this->step(step));
    if (auto v = top.optional("faults")) {
      for (const JsonValue& f : v->elements()) s.faults.push_back(fault(f, s.faults));
    }
    return s;
  }

 private:
  std::string resolve(const Text& name, const JsonValue& where) {
    if (name.empty()) where.fail("expected a file name, found an empty string");
    std::filesystem::path p(text::toUtf8(name));
    if (p.is_relative()) p = baseDir_ / p;
    return p.lexically_normal().string();
  }

  ProfileSpec profile(const JsonValue& value) {
    JsonObject o(value, {"name", "user", "dn", "proxy_addresses", "mailboxes", "identities",
                         "reply_format", "accounts", "monitored_folders"});
    ProfileSpec p;
    p.name = o.optText("name").value_or(p.name);
    if (p.name.empty()) o.fail("name", "expected a profile name, found an empty string");
    p.user = o.optText("user").value_or(p.user);
    p.dn = o.optText("dn").value_or(Text());
    p.proxyAddresses = o.optTexts("proxy_addresses").value_or(std::vector<Text>{});
    if (p.proxyAddresses.empty()) p.proxyAddresses = {u"SMTP:pat@contoso.com"};
    bool primary = false;
    for (const Text& a : p.proxyAddresses) primary = primary || a.rfind(u"SMTP:", 0) == 0;
    if (!primary) {
      o.fail("proxy_addresses", "expected one primary address written \"SMTP:address\"");
    }
    if (auto v = o.optional("mailboxes")) {
      for (const JsonValue& m : v->elements()) p.mailboxes.push_back(mailbox(m));
    }
    if (auto v = o.optional("identities")) {
      for (const JsonValue& i : v->elements()) p.identities.push_back(identity(i));
    }
    if (auto v = o.optInteger("reply_format", 0, 2)) p.replyFormat = static_cast<int>(*v);
    if (auto v = o.optional("accounts")) {
      for (const JsonValue& a : v->elements()) p.accounts.push_back(account(a));
    }
    p.monitoredFolders = o.optTexts("monitored_folders").value_or(std::vector<Text>{});
    return p;
  }

  MailboxSpec mailbox(const JsonValue& value) {
    JsonObject o(value, {"name", "dn", "resolved", "proxy_addresses"});
    MailboxSpec m;
    m.name = o.text("name");
    m.dn = o.text("dn");
    if (m.dn.rfind(u"/o=", 0) != 0 && m.dn.rfind(u"/O=", 0) != 0) {
      o.fail("dn", "expected a distinguished name starting with \"/o=\"");
    }
    const Text prefix = u"Mailbox - ";
    m.resolved =
        o.optText("resolved")
            .value_or(m.name.rfind(prefix, 0) == 0 ? m.name.substr(prefix.size()) : m.name);
    m.proxyAddresses = o.optTexts("proxy_addresses").value_or(std::vector<Text>{});
    return m;
  }

  IdentitySpec identity(const JsonValue& value) {
    JsonObject o(value, {"display", "email", "mailbox", "dn"});
    IdentitySpec i;
    if (o.has("mailbox") || o.has("dn")) {
      if (o.has("display") || o.has("email")) {
        o.fail("expected either {\"display\", \"email\"} or {\"mailbox\", \"dn\"}, not both");
      }
      i.mailbox = true;
      i.display = o.text("mailbox");
      i.email = o.text("dn");
    } else {
      i.display = o.text("display");
      i.email = o.text("email");
    }
    if (text::trim(i.display).empty()) o.fail("expected a display name, found an empty one");
    if (text::trim(i.email).empty()) o.fail("expected an address, found an empty one");
    return i;
  }

  AccountSpec account(const JsonValue& value) {
    JsonObject o(value, {"name", "type", "email", "pop3_server", "smtp_server"});
    AccountSpec a;
    a.name = o.text("name");
    a.type = static_cast<AccountSpec::Type>(o.field("type").word({"pop3", "imap", "http"}));
    a.email = o.optText("email").value_or(Text());
    a.pop3Server = o.optText("pop3_server").value_or(Text());
    a.smtpServer = o.optText("smtp_server").value_or(Text());
    return a;
  }

  FaultSpec fault(const JsonValue& value, const std::vector<FaultSpec>& earlier) {
    JsonObject o(value, {"call", "occurrence"});
    FaultSpec f;
    f.path = value.path();
    f.call = text::toUtf8(o.text("call"));
    if (const std::string problem = sim::faultCallProblem(f.call); !problem.empty()) {
      o.fail("call", problem + ", found " + quotedText(f.call));
    }
    for (const FaultSpec& e : earlier) {
      if (e.call == f.call) {
        o.fail("call", quotedText(f.call) + " is already made to fail by " + e.path +
                           "; expected each call named once");
      }
    }
    const JsonValue occurrence = o.field("occurrence");
    if (occurrence.raw().is_string()) {
      if (occurrence.raw().get_ref<const std::string&>() != "always") {
        occurrence.fail("expected a call number from 1 or \"always\", found " +
                        quotedText(occurrence.raw().get_ref<const std::string&>()));
      }
      f.occurrence = 0;
    } else if (occurrence.raw().is_number_integer()) {
      f.occurrence = static_cast<int>(occurrence.integer(1, 1000000));
    } else {
      occurrence.fail("expected a call number from 1 or \"always\", found " +
                      jsonTypeName(occurrence.raw()));
    }
    return f;
  }

  // ---- Steps

  Text newName(const JsonObject& o, const char* key, std::map<Text, std::string>& names,
               const char* what) {
    const Text name = o.text(key);
    if (name.empty())
      o.fail(key, std::string("expected a ") + what + " name, found an empty string");
    if (auto it = names.find(name); it != names.end()) {
      o.fail(key, std::string("the ") + what + " " + quotedText(text::toUtf8(name)) +
                      " is already made by " + it->second + "; expected a new name");
    }
    names[name] = o.value().path();
    return name;
  }

  Text knownName(const JsonObject& o, const char* key, const std::map<Text, std::string>& names,
                 const char* what, const char* madeBy) {
    const Text name = o.text(key);
    if (names.count(name) == 0) {
      std::string known;
      for (const auto& [n, path] : names) known += (known.empty() ? "" : ", ") + text::toUtf8(n);
      o.fail(key, std::string("unknown ") + what + " " + quotedText(text::toUtf8(name)) +
                      "; expected " + madeBy +
                      (known.empty() ? std::string(" (none so far)") : " (" + known + ")"));
    }
    return name;
  }

  Text messageId(const JsonObject& o) {
    return knownName(o, "id", messages_, "message id",
                     "the id of a message received by an earlier step");
  }
  Text windowName(const JsonObject& o) {
    return knownName(o, "window", windows_, "window", "a window opened by an earlier step");
  }

  Step step(const JsonValue& value) {
    if (!value.raw().is_object())
      value.fail("expected a step object, found " + jsonTypeName(value.raw()));
    if (!value.raw().contains("do")) value.fail("missing field \"do\"; expected the step's action");
    Step s;
    s.path = value.path();
    s.kind = static_cast<Step::Kind>(
        JsonValue(value.raw().at("do"), value.file(), value.path() + ".do").word(kStepNames));
    using K = Step::Kind;
    switch (s.kind) {
      case K::kStart: {
        JsonObject o(value, {"do", "profile", "windows"});
        s.profile = o.optText("profile").value_or(Text());
        s.windows = o.optBool("windows").value_or(true);
        break;
      }
      case K::kReceive:
        receive(value, s);
        break;
      case K::kSelect: {
        JsonObject o(value, {"do", "id"});
        s.id = messageId(o);
        break;
      }
      case K::kOpen:
      case K::kReply:
      case K::kReplyAll:
      case K::kForward: {
        JsonObject o(value, {"do", "id", "window"});
        s.id = messageId(o);
        s.window = newName(o, "window", windows_, "window");
        break;
      }
      case K::kNew: {
        JsonObject o(value, {"do", "kind", "window"});
        static constexpr long kClasses[] = {platform::kOlMail, platform::kOlTask,
                                            platform::kOlAppointment, platform::kOlMeetingRequest,
                                            platform::kOlTaskRequest};
        s.itemClass =
            kClasses[o.optional("kind") ? o.field("kind").word({"mail", "task", "appointment",
                                                                "meeting", "task_request"})
                                        : 0];
        s.window = newName(o, "window", windows_, "window");
        break;
      }
      case K::kEdit: {
        JsonObject o(value, {"do", "window", "to", "cc", "subject", "body"});
        s.window = windowName(o);
        s.to = o.optTexts("to");
        s.cc = o.optTexts("cc");
        s.editSubject = o.optText("subject");
        s.editBody = o.optText("body");
        break;
      }
      case K::kChooseAccount: {
        JsonObject o(value, {"do", "window", "account"});
        s.window = windowName(o);
        s.account = o.text("account");
        break;
      }
      case K::kSend: {
        JsonObject o(value, {"do", "window"});
        s.window = windowName(o);
        break;
      }
      case K::kClose: {
        JsonObject o(value, {"do", "window", "answer"});
        s.window = windowName(o);
        if (auto a = o.optional("answer"))
          s.answer = kAnswerIds[a->word({"Yes", "No", "OK", "Cancel"})];
        break;
      }
      case K::kOptions: {
        JsonObject o(value, {"do", "actions"});
        if (auto a = o.optional("actions")) {
          for (const JsonValue& action : a->elements()) s.actions.push_back(pageAction(action));
        }
        break;
      }
      case K::kPump:
      case K::kQuit:
        (void)JsonObject(value, {"do"});
        break;
    }
    return s;
  }

  void receive(const JsonValue& value, Step& s) {
    JsonObject o(value, {"do", "id", "headers", "eml", "to", "cc", "from", "subject", "body",
                         "folder", "read_receipt", "account", "x_recipientlist", "build_headers"});
    s.id = newName(o, "id", messages_, "message id");
    if (o.has("headers") && o.has("eml"))
      o.fail("eml", "expected either \"headers\" or \"eml\", not both");
    if (auto h = o.optional("headers")) {
      // LF-only text is read as CRLF, as in a message file.
      s.headers = headerBlock(text::toUtf8(h->text()));
    } else if (auto e = o.optional("eml")) {
      s.headers = namedFile(*e, resolve(e->text(), *e), "a message file (RFC 5322 headers)",
                            [](const std::string& path) { return readMessageHeaders(path); });
    }
    s.to = o.optTexts("to");
    s.cc = o.optTexts("cc");
    if (s.headers.empty() && !s.to && !s.cc) {
      o.fail(
          "expected \"headers\", \"eml\" or \"to\"/\"cc\" to say where the message is addressed");
    }
    // Without recipient arrays the recipients are those of the header lines.
    if (!s.headers.empty()) {
      if (!s.to) s.to = headerRecipients(u"To", s.headers);
      if (!s.cc) s.cc = headerRecipients(u"Cc", s.headers);
    }
    const Text headerFrom = headerField(s.headers, u"From");
    const Text headerSubject = headerField(s.headers, u"Subject");
    s.from = o.optText("from").value_or(headerFrom.empty() ? s.from : headerFrom);
    s.subject = o.optText("subject").value_or(headerSubject);
    s.body = o.optText("body").value_or(Text());
    s.folder = o.optText("folder").value_or(s.folder);
    if (s.folder.empty())
      o.fail("folder", "expected a folder path such as \"Inbox\", found an empty string");
    s.readReceipt = o.optBool("read_receipt").value_or(false);
    s.account = o.optText("account").value_or(Text());
    s.xRecipientList = o.optText("x_recipientlist").value_or(Text());
    s.buildHeaders = o.optBool("build_headers").value_or(true);
  }

  // The recipients of a header field, one entry each, as the add-in splits header lines.
  static std::vector<Text> headerRecipients(TextView field, TextView headers) {
    std::vector<Text> out;
    const Text value = headerField(headers, field);
    if (value.empty()) return out;
    const Text list = addin::GetToCcList(u"To: " + value + u"\r\n");
    for (const Text& entry : text::split(list, u"\r")) {
      const Text trimmed = text::trim(entry);
      if (!trimmed.empty()) out.push_back(trimmed);
    }
    return out;
  }

  PageAction pageAction(const JsonValue& value) {
    JsonObject o(value,
                 {"click", "select", "list", "option", "press", "answers", "input", "folders"});
    PageAction a;
    a.path = value.path();
    int kinds = 0;
    if (auto v = o.optional("click")) {
      a.kind = PageAction::Kind::kClick;
      a.control = text::fromUtf8(kPageControls[v->word(kPageControls)]);
      ++kinds;
    }
    if (auto v = o.optional("select")) {
      a.kind = PageAction::Kind::kSelect;
      a.index = static_cast<long>(v->integer(0, 32767));
      ++kinds;
    }
    if (auto v = o.optional("list")) {
      if (a.kind != PageAction::Kind::kSelect || kinds == 0)
        o.fail("list", "only a \"select\" action names a list");
      a.list = v->word({"List1", "List4"}) == 0 ? Text(u"List1") : Text(u"List4");
    }
    if (auto v = o.optional("option")) {
      a.kind = PageAction::Kind::kOption;
      a.index = static_cast<long>(v->integer(0, 2));
      ++kinds;
    }
    if (auto v = o.optional("press")) {
      a.kind = PageAction::Kind::kPress;
      static constexpr const char16_t* kButtons[] = {u"OK", u"Apply", u"Cancel"};
      a.control = kButtons[v->word({"OK", "Apply", "Cancel"})];
      ++kinds;
    }
    if (kinds != 1) {
      o.fail(
          "expected exactly one of \"click\", \"select\", \"option\" or \"press\" in a page "
          "action");
    }
    if (auto v = o.optional("answers")) {
      for (const JsonValue& e : v->elements())
        a.answers.push_back(kAnswerIds[e.word({"Yes", "No", "OK", "Cancel"})]);
    }
    auto textsOrNull = [&](const char* key, std::vector<std::optional<Text>>& out) {
      if (auto v = o.optional(key)) {
        for (const JsonValue& e : v->elements()) {
          if (e.raw().is_null()) {
            out.push_back(std::nullopt);
          } else if (e.raw().is_string()) {
            out.push_back(e.text());
          } else {
            e.fail("expected a string, or null to cancel, found " + jsonTypeName(e.raw()));
          }
        }
      }
    };
    textsOrNull("input", a.input);
    textsOrNull("folders", a.folders);
    return a;
  }

  std::string file_;
  std::filesystem::path baseDir_;
  std::map<Text, std::string> messages_;  // id -> the step that received it
  std::map<Text, std::string> windows_;
};

}  // namespace

const char* stepName(Step::Kind kind) { return kStepNames[static_cast<std::size_t>(kind)].data(); }

Scenario parseScenario(std::string_view json, const std::string& file, const std::string& baseDir) {
  const nlohmann::json document = parseJsonText(json, file);
  return Parser(file, baseDir).parse(document);
}

Scenario readScenarioFile(const std::string& path) {
  const nlohmann::json document = readJsonFile(path);
  const std::filesystem::path base = std::filesystem::path(path).parent_path();
  return Parser(path, base).parse(document);
}

}  // namespace korvanel::tool
