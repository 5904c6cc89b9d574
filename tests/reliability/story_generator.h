// Random user stories: a scenario of the korvanel-sim format made from a seed, on Outlook
// 2003 or 2007: arrivals with varied headers, folders and read receipts, selections, opened
// messages, replies, reply-alls, forwards, new mail, tasks, appointments and meetings,
// edits, account choices, sends, closes with either answer, Options page edits with and
// without a restart, quits and starts. The same seed always gives the same scenario.
#pragma once

#include <cstdint>
#include <string>

namespace korvanel::reliability {

// The scenario's JSON text.
std::string randomStory(std::uint64_t seed, int steps = 30);

}  // namespace korvanel::reliability
