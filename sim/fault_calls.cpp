#include "sim/fault_calls.h"

#include <algorithm>

namespace korvanel::sim {

namespace {

// Item members are asked under the item's own type name.
constexpr std::string_view kObjects[] = {
    "Account",
    "Accounts",
    "AddressEntry",
    "Application",
    "AppointmentItem",
    "Attachments",
    "COMAddIn",
    "COMAddIns",
    "CdoField",
    "CdoFields",
    "CdoInfoStore",
    "CdoMessage",
    "CdoSession",
    "CommandBar",
    "CommandBarControl",
    "CommandBarControls",
    "CommandBars",
    "ContactItem",
    "CreateObject",
    "Explorer",
    "Explorers",
    "Folder",
    "Folders",
    "Inspector",
    "Inspectors",
    "Item",
    "Items",
    "MailItem",
    "Mapi",
    "MeetingItem",
    "NameSpace",
    "PostItem",
    "ProfMan",
    "ProfManProfile",
    "ProfManProfiles",
    "ProfManPropertyBag",
    "ProfManProvider",
    "ProfManProviders",
    "ProfManService",
    "ProfManServices",
    "PropertyAccessor",
    "PropertyPageSite",
    "PropertyPages",
    "Recipient",
    "Recipients",
    "Registry",
    "ReplyRecipients",
    "ReportItem",
    "Selection",
    "Shell",
    "Store",
    "TaskItem",
    "TaskRequestAcceptItem",
    "TaskRequestDeclineItem",
    "TaskRequestItem",
    "TaskRequestUpdateItem",
    "UserProperties",
    "UserProperty",
    "WordApplication",
    "WordDocument",
};

bool memberCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.';
}

}  // namespace

std::span<const std::string_view> faultObjects() { return kObjects; }

std::string faultCallProblem(std::string_view call) {
  const std::size_t dot = call.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == call.size()) {
    return "expected a call written Object.Member, such as \"MailItem.Save\"";
  }
  const std::string_view object = call.substr(0, dot);
  const std::string_view member = call.substr(dot + 1);
  if (std::find(std::begin(kObjects), std::end(kObjects), object) == std::end(kObjects)) {
    return "unknown object \"" + std::string(object) +
           "\"; expected one of the simulated objects (MailItem, Folder, NameSpace, Registry, "
           "Shell, CdoMessage, ...)";
  }
  if (!std::all_of(member.begin(), member.end(), memberCharacter)) {
    return "expected a member name of letters and digits after \"" + std::string(object) + ".\"";
  }
  return {};
}

}  // namespace korvanel::sim
