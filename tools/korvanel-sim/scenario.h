// A scenario as korvanel-sim runs it: the machine (Outlook version, CDO, UI language, the
// profile or a saved registry) and the user's steps. Built only by the scenario parser, which
// has already checked every field, so the runner never meets a malformed value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/reg_file.h"
#include "text/text.h"

namespace korvanel::tool {

using text::Text;
using text::TextView;

// An additional Exchange mailbox the profile opens.
struct MailboxSpec {
  Text name;                         // the profile's display name for it: "Mailbox - Help Desk"
  Text dn;                           // its distinguished name
  Text resolved;                     // the directory's display name: "Help Desk"
  std::vector<Text> proxyAddresses;  // empty: "SMTP:" + alias + "@" + the user's domain
};

// An identity written as an account before Outlook starts, as the Options page writes it.
struct IdentitySpec {
  bool mailbox = false;  // a shared mailbox: display is the mailbox, email its dn
  Text display;
  Text email;
};

// An ordinary mail account of the profile.
struct AccountSpec {
  enum class Type { kPop3, kImap, kHttp };
  Type type = Type::kPop3;
  Text name;
  Text email;
  Text pop3Server;
  Text smtpServer;
};

struct ProfileSpec {
  Text name = u"Outlook";
  Text user = u"Pat Doe";
  Text dn;  // empty: "/o=Contoso/ou=Exchange/cn=Recipients/cn=" + alias
  std::vector<Text> proxyAddresses;
  std::vector<MailboxSpec> mailboxes;
  std::vector<IdentitySpec> identities;
  std::vector<AccountSpec> accounts;
  std::vector<Text> monitoredFolders;  // folder paths of the default store
  std::optional<int> replyFormat;
};

// One page action of an `options` step.
struct PageAction {
  enum class Kind { kClick, kSelect, kOption, kPress };
  Kind kind = Kind::kClick;
  Text control;          // kClick: "cmdAdd", ...; kPress: "OK", "Apply" or "Cancel"
  Text list = u"List1";  // kSelect
  long index = 0;        // kSelect: the row; kOption: the option button
  // Answers to the message boxes, in order (kIdYes, kIdNo, kIdOk, kIdCancel).
  std::vector<int> answers;
  // Texts for the input boxes, in order; nullopt cancels one.
  std::vector<std::optional<Text>> input;
  // Answers to the folder picker (cmdAddFolder): folder paths; nullopt cancels.
  std::vector<std::optional<Text>> folders;
  std::string path;  // the action's JSON path, for the story
};

struct Step {
  enum class Kind {
    kStart,
    kReceive,
    kSelect,
    kOpen,
    kReply,
    kReplyAll,
    kForward,
    kNew,
    kEdit,
    kChooseAccount,
    kSend,
    kClose,
    kOptions,
    kPump,
    kQuit
  };
  Kind kind = Kind::kStart;
  std::string path;  // "$.steps[3]"

  Text id;      // message id (receive, select, open, reply...)
  Text window;  // window name

  // start
  Text profile;  // empty: the default profile
  bool windows = true;

  // receive
  Text headers;  // transport headers (CRLF line ends); empty when none
  bool buildHeaders = true;
  Text from = u"Ann <ann@fabrikam.com>";
  Text subject;
  Text body;
  Text folder = u"Inbox";
  bool readReceipt = false;
  Text account;
  Text xRecipientList;
  std::optional<std::vector<Text>> to;
  std::optional<std::vector<Text>> cc;

  // new
  long itemClass = 0;
  // edit: nullopt leaves the field as it is
  std::optional<Text> editSubject;
  std::optional<Text> editBody;

  // choose_account: account; close: the answer to Outlook's save question (0: none given)
  int answer = 0;

  // options
  std::vector<PageAction> actions;
};

// A platform call the simulated Outlook makes fail, to reproduce a customer's failing
// Outlook: its occurrence-th call (counted from the first step), or every call.
struct FaultSpec {
  std::string call;    // "MailItem.Save"
  int occurrence = 0;  // 1-based; 0: always
  std::string path;    // "$.faults[0]", for the story
};

struct Scenario {
  std::string file;  // as named on the command line (for messages)
  int outlook = 12;
  bool cdo = true;
  long uiLanguage = 1033;
  std::optional<ProfileSpec> profile;
  std::string registryFile;               // "registry": a saved registry to start from, as resolved
  std::vector<sim::RegFileKey> registry;  // its keys, read and checked
  std::vector<Step> steps;
  std::vector<FaultSpec> faults;
};

// The step names of the "do" field, in Step::Kind order.
const char* stepName(Step::Kind kind);

}  // namespace korvanel::tool
