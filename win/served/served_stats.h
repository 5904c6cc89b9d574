// What the served objects count: the object-model calls the add-in makes (by interface and
// member), the member names it looks up (by interface), and the served objects alive, so a
// test or benchmark can show what an event cost and that nothing is held after the add-in
// let go. One count for the process; single-threaded, as everything served is.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace korvanel::win::served {

struct ServedStats {
  // "_MailItem.Subject" -> calls (Invoke), in all.
  std::map<std::string, std::uint64_t> calls;
  // "_MailItem.subject" (the name as folded) -> GetIDsOfNames lookups.
  std::map<std::string, std::uint64_t> lookups;
  // "_Items event 61441" -> the calls the add-in made while handling that event, in all.
  std::map<std::string, std::uint64_t> callsInEvents;
  std::uint64_t totalCalls = 0;
  std::uint64_t totalLookups = 0;
  // Served objects constructed and not yet destroyed.
  long liveObjects = 0;
  // Sinks advised on served connection points and not yet unadvised.
  long advisedSinks = 0;

  void resetCounts() {
    calls.clear();
    lookups.clear();
    callsInEvents.clear();
    totalCalls = 0;
    totalLookups = 0;
  }
};

ServedStats& servedStats();

}  // namespace korvanel::win::served
