#include "story_generator.h"

#include <nlohmann/json.hpp>
#include <random>
#include <vector>

namespace korvanel::reliability {

namespace {

using Json = nlohmann::ordered_json;

struct Person {
  const char* display;
  const char* address;
};

// The user's own addresses (identities or not), people outside, and the shared mailbox.
constexpr Person kOwn[] = {{"Sales", "sales@contoso.com"},
                           {"Support", "support@contoso.com"},
                           {"Sales Team", "sales@contoso.com"},
                           {"Pat Doe", "pat@contoso.com"},
                           {"Help Desk", "help@contoso.com"}};
constexpr Person kOthers[] = {{"Ann Lee", "ann@fabrikam.com"},
                              {"Carl Diaz", "carl@northwind.com"},
                              {"\"Doe, Jane\"", "jane@fabrikam.com"}};
constexpr const char* kHelpDeskDn = "/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : random_(seed) {}

  std::string story(int steps) {
    Json s;
    s["outlook"] = chance(2) ? 11 : 12;
    Json identities = Json::array();
    for (const Person& p : {kOwn[0], kOwn[1], kOwn[2]}) {
      if (chance(3)) identities.push_back({{"display", p.display}, {"email", p.address}});
    }
    if (chance(2)) identities.push_back({{"mailbox", "Help Desk"}, {"dn", kHelpDeskDn}});
    s["profile"] = {
        {"user", "Pat Doe"},
        {"proxy_addresses",
         {"SMTP:pat@contoso.com", "smtp:sales@contoso.com", "smtp:support@contoso.com"}},
        {"mailboxes",
         {{{"name", "Mailbox - Help Desk"},
           {"dn", kHelpDeskDn},
           {"proxy_addresses", {"SMTP:help@contoso.com"}}}}},
        {"identities", identities},
        {"reply_format", pick(3)}};
    Json list = Json::array();
    list.push_back({{"do", "start"}});
    running_ = true;
    for (int i = 0; i < steps; ++i) list.push_back(step());
    s["steps"] = list;
    return s.dump(2);
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int oneIn) { return pick(oneIn) == 0; }
  template <typename T, std::size_t N>
  const T& any(const T (&items)[N]) {
    return items[pick(static_cast<int>(N))];
  }

  // An address as a header line may write it. The last form ("'Name' address") is one only
  // the matching rule reads: Outlook resolves no recipient written so, so it is never typed
  // (typed), and a reply to all of a message that has one must be addressed again.
  std::string someone(bool typed = false) {
    const Person& p = chance(2) ? any(kOwn) : any(kOthers);
    const int form = pick(typed ? 3 : 4);
    if (form == 3) unresolvable_ = true;
    switch (form) {
      case 0:
        return p.address;
      case 1:
        return std::string(p.display) + " <" + p.address + ">";
      case 2:  // a display name already quoted is not quoted twice
        return (p.display[0] == '"' ? std::string(p.display)
                                    : "\"" + std::string(p.display) + "\"") +
               " <" + p.address + ">";
      default:
        return std::string("'") + p.display + "' " + p.address;
    }
  }

  std::string headerLine(const char* name) {
    std::string line = std::string(name) + ": " + someone();
    for (int n = pick(3); n > 0; --n) line += (chance(2) ? ",\r\n\t" : ", ") + someone();
    return line + "\r\n";
  }

  Json receive() {
    Json r = {{"do", "receive"}, {"id", "m" + std::to_string(++messages_)}};
    unresolvable_ = false;
    switch (pick(3)) {
      case 0: {
        std::string headers =
            "From: " + std::string(any(kOthers).display) + " <x@fabrikam.com>\r\n";
        if (!chance(4)) headers += headerLine(chance(4) ? "TO" : "To");
        if (chance(2)) headers += headerLine(chance(3) ? "cc" : "Cc");
        if (chance(3))
          headers += "X-RecipientList: " + std::string(any(kOwn).address) + ";" +
                     any(kOthers).address + "\r\n";
        headers += "Subject: Question " + std::to_string(messages_) + "\r\n";
        r["headers"] = headers;
        break;
      }
      case 1:
        r["to"] = {someone()};
        if (chance(2)) r["cc"] = {someone(), someone()};
        r["subject"] = "Note " + std::to_string(messages_);
        break;
      default:
        r["to"] = {someone()};
        r["build_headers"] = false;
        r["subject"] = "Plain " + std::to_string(messages_);
        if (chance(2)) r["x_recipientlist"] = std::string(any(kOwn).address);
        break;
    }
    answerable_.push_back(!unresolvable_);
    if (chance(5)) r["read_receipt"] = true;
    if (chance(6)) r["folder"] = "Mailbox - Help Desk/Inbox";
    if (chance(10)) r["folder"] = "Sent Items";
    return r;
  }

  // What a window holds decides what the user can do in it: a received message is read, not
  // sent; a task or an appointment has no Send; a new mail, a forward, a meeting or a task
  // request needs someone to send it to before Send.
  enum class Held { kRead, kUnsendable, kCompose };
  struct Window {
    Held held;
    bool addressed;
  };

  int anyMessage() { return pick(messages_); }
  std::string messageName(int index) { return "m" + std::to_string(index + 1); }
  std::string message() { return messageName(anyMessage()); }
  int anyWindow() { return pick(static_cast<int>(windows_.size())); }
  std::string windowName(int index) { return "w" + std::to_string(index + 1); }
  std::string newWindow(Held held, bool addressed = false) {
    windows_.push_back({held, addressed});
    return windowName(static_cast<int>(windows_.size()) - 1);
  }
  // A compose window, or -1 when there is none.
  int composeWindow() {
    std::vector<int> compose;
    for (std::size_t i = 0; i < windows_.size(); ++i) {
      if (windows_[i].held == Held::kCompose) compose.push_back(static_cast<int>(i));
    }
    return compose.empty()
               ? -1
               : compose[static_cast<std::size_t>(pick(static_cast<int>(compose.size())))];
  }

  Json edit(int index) {
    Json e = {{"do", "edit"}, {"window", windowName(index)}, {"to", {someone(true)}}};
    if (!windows_[static_cast<std::size_t>(index)].addressed) e["cc"] = Json::array();
    windows_[static_cast<std::size_t>(index)].addressed = true;
    e["subject"] = "Edited " + std::to_string(pick(100));
    e["body"] = "Text";
    return e;
  }

  // Send in a compose window; one that has nobody to send to is addressed first.
  Json send() {
    const int index = composeWindow();
    if (index < 0) return receive();
    if (!windows_[static_cast<std::size_t>(index)].addressed) return edit(index);
    return {{"do", "send"}, {"window", windowName(index)}};
  }

  Json options() {
    Json actions = Json::array();
    for (int n = 1 + pick(3); n > 0; --n) {
      switch (pick(5)) {
        case 0:
          actions.push_back(
              {{"click", "cmdAdd"},
               {"input",
                {chance(2) ? "Sales Team <team@contoso.com>" : "Support <support@contoso.com>"}}});
          break;
        case 1:
          actions.push_back({{"select", pick(3)}});
          break;
        case 2:
          actions.push_back({{"click", chance(2) ? "cmdRemove" : "cmdMoveUp"}});
          break;
        case 3:
          actions.push_back({{"option", pick(3)}});
          break;
        default:
          actions.push_back({{"click", "cmdSharedMailboxes"}, {"answers", {"Yes"}}});
          break;
      }
    }
    const char* press = chance(3) ? "Cancel" : chance(2) ? "OK" : "Apply";
    actions.push_back({{"press", press}, {"answers", {chance(2) ? "Yes" : "No"}}});
    return {{"do", "options"}, {"actions", actions}};
  }

  Json step() {
    if (messages_ == 0) return receive();
    switch (pick(16)) {
      case 0:
      case 1:
      case 2:
        return receive();
      case 3:
        return {{"do", "select"}, {"id", message()}};
      case 4:
        return {{"do", "open"}, {"id", message()}, {"window", newWindow(Held::kRead)}};
      case 5:
      case 6: {
        const char* verb = chance(3) ? "reply_all" : chance(3) ? "forward" : "reply";
        if (chance(2)) return {{"do", "select"}, {"id", message()}};
        const int m = anyMessage();
        const std::string v = verb;
        const bool addressed =
            v == "reply" || (v == "reply_all" && answerable_[static_cast<std::size_t>(m)]);
        return {
            {"do", verb}, {"id", messageName(m)}, {"window", newWindow(Held::kCompose, addressed)}};
      }
      case 7: {
        constexpr const char* kKinds[] = {"mail", "task", "appointment", "meeting", "task_request"};
        const std::string kind = any(kKinds);
        const Held held =
            kind == "task" || kind == "appointment" ? Held::kUnsendable : Held::kCompose;
        return {{"do", "new"}, {"kind", kind}, {"window", newWindow(held)}};
      }
      case 8: {
        const int index = composeWindow();
        return index < 0 ? receive() : edit(index);
      }
      case 9:
        if (windows_.empty()) return receive();
        {
          constexpr const char* kAccounts[] = {"EX [Sales <sales@contoso.com>]",
                                               "EX [Support <support@contoso.com>]",
                                               "EX MBX [Help Desk]", "Microsoft Exchange Server"};
          return {{"do", "choose_account"},
                  {"window", windowName(anyWindow())},
                  {"account", any(kAccounts)}};
        }
      case 10:
      case 11:
        return send();
      case 12:
        if (windows_.empty()) return receive();
        return {{"do", "close"},
                {"window", windowName(anyWindow())},
                {"answer", chance(2) ? "Yes" : "No"}};
      case 13:
        return options();
      case 14:
        return {{"do", "pump"}};
      default:
        running_ = !running_;
        return {{"do", running_ ? "start" : "quit"}};
    }
  }

  std::mt19937_64 random_;
  int messages_ = 0;
  std::vector<Window> windows_;
  std::vector<bool> answerable_;  // per message: a reply to all resolves every recipient
  bool unresolvable_ = false;     // the message being made has an address Outlook cannot resolve
  bool running_ = false;
};

}  // namespace

std::string randomStory(std::uint64_t seed, int steps) { return Generator(seed).story(steps); }

}  // namespace korvanel::reliability
