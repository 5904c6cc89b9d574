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

  std::string someone() {
    const Person& p = chance(2) ? any(kOwn) : any(kOthers);
    switch (pick(4)) {
      case 0:
        return p.address;
      case 1:
        return std::string(p.display) + " <" + p.address + ">";
      case 2:
        return "\"" + std::string(p.display) + "\" <" + p.address + ">";
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
    if (chance(5)) r["read_receipt"] = true;
    if (chance(6)) r["folder"] = "Mailbox - Help Desk/Inbox";
    if (chance(10)) r["folder"] = "Sent Items";
    return r;
  }

  std::string message() { return "m" + std::to_string(1 + pick(messages_)); }
  std::string window() { return "w" + std::to_string(1 + pick(windows_)); }
  std::string newWindow() { return "w" + std::to_string(++windows_); }

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
        return {{"do", "open"}, {"id", message()}, {"window", newWindow()}};
      case 5:
      case 6: {
        const char* verb = chance(3) ? "reply_all" : chance(3) ? "forward" : "reply";
        if (chance(2)) return {{"do", "select"}, {"id", message()}};
        return {{"do", verb}, {"id", message()}, {"window", newWindow()}};
      }
      case 7: {
        constexpr const char* kKinds[] = {"mail", "task", "appointment", "meeting", "task_request"};
        return {{"do", "new"}, {"kind", any(kKinds)}, {"window", newWindow()}};
      }
      case 8:
        if (windows_ == 0) return receive();
        return {{"do", "edit"},
                {"window", window()},
                {"to", {someone()}},
                {"subject", "Edited " + std::to_string(pick(100))},
                {"body", "Text"}};
      case 9:
        if (windows_ == 0) return receive();
        {
          constexpr const char* kAccounts[] = {"EX [Sales <sales@contoso.com>]",
                                               "EX [Support <support@contoso.com>]",
                                               "EX MBX [Help Desk]", "Microsoft Exchange Server"};
          return {{"do", "choose_account"}, {"window", window()}, {"account", any(kAccounts)}};
        }
      case 10:
      case 11:
        if (windows_ == 0) return receive();
        return {{"do", "send"}, {"window", window()}};
      case 12:
        if (windows_ == 0) return receive();
        return {{"do", "close"}, {"window", window()}, {"answer", chance(2) ? "Yes" : "No"}};
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
  int windows_ = 0;
  bool running_ = false;
};

}  // namespace

std::string randomStory(std::uint64_t seed, int steps) { return Generator(seed).story(steps); }

}  // namespace korvanel::reliability
