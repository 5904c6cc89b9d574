// The names under which the simulation's platform calls can be made to fail: "Object.Member"
// with Object one of the simulated objects ("MailItem.Save", "Registry.setValue",
// "CdoMessage.Update", "Shell.messageBox"). Used to refuse a misspelt fault before a run.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvanel::sim {

// The objects whose calls can fail, in alphabetical order.
std::span<const std::string_view> faultObjects();

// Empty when call is "Object.Member" with a known object and a member of letters, digits,
// "_" and "."; otherwise what is wrong with it.
std::string faultCallProblem(std::string_view call);

}  // namespace korvanel::sim
