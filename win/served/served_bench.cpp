// served_bench.exe: what the real Korvanel.dll costs over COM against the served simulation,
// on Outlook 2003 and 2007 (run under Wine; a benchmark, not a test):
//  - the object-model calls it makes per arriving message, per reply opened, per send and
//    per sent copy, and the member names it looks up more than once per interface;
//  - the time per message of a burst of 1,000 arriving messages;
//  - the start-up with 100 identity accounts over the real registry, against the same
//    add-in code loaded in-process on the same simulation.
// Korvanel.dll must be registered (regsvr32) and the scratch registry writable.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/registration.h"
#include "profile/account_store.h"
#include "sim/machine.h"
#include "sim/outlook_app.h"
#include "win/served/com_addin_proxy.h"
#include "win/served/served_machine.h"
#include "win/served/served_stats.h"

namespace {

using korvanel::text::Text;
namespace sim = korvanel::sim;
namespace platform = korvanel::platform;
namespace served = korvanel::win::served;

constexpr char16_t kProfileName[] = u"Outlook";
constexpr int kAliases = 8;
constexpr int kBurst = 1000;
constexpr int kSamples = 20;
constexpr int kStartUps = 7;

Text number(int n) { return korvanel::text::toText(n); }
Text alias(int i) { return u"alias" + number(i) + u"@contoso.com"; }

double now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

sim::IncomingMessage message(int n) {
  sim::IncomingMessage m;
  m.from = u"Customer " + number(n) + u" <customer" + number(n) + u"@fabrikam.com>";
  m.to = {u"\"Doe, Ann\" <ann@fabrikam.com>",
          u"Alias " + number(n % kAliases) + u" <" + alias(n % kAliases) + u">"};
  m.cc = {u"Bob <bob@fabrikam.com>"};
  m.subject = u"Request " + number(n);
  return m;
}

// Pat's machine with `identities` alias identities, on the served registry; the add-in is
// the real DLL over COM, or the same code in-process.
struct BenchMachine {
  BenchMachine(int version, int identities, bool overCom) {
    sim::MachineOptions options;
    options.version = version;
    options.registry = &served.registry();
    machine = std::make_unique<sim::Machine>(options);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com"};
    for (int i = 0; i < identities; ++i) seed.proxyAddresses.push_back(u"smtp:" + alias(i));
    machine->setUpExchangeProfile(seed);
    korvanel::profile::AccountStore store(machine->registry());
    for (int i = 0; i < identities; ++i) {
      const Text name = u"Alias " + number(i);
      store.CreateIdentityAccount(kProfileName, store.GetNextAccountID(kProfileName),
                                  u"EX [" + name + u" <" + alias(i) + u">]", name, alias(i), u"",
                                  u"");
    }
    if (overCom) {
      machine->world().classes().registerAddIn(u"Korvanel.Connect", [] {
        return served::ComAddInProxy::create(u"Korvanel.Connect", nullptr);
      });
      served.serve(*machine);
      servedNow = true;
    } else {
      korvanel::addin::registerAddinClasses(machine->world().classes(), machine->services());
    }
  }
  ~BenchMachine() {
    machine->quitOutlook();
    if (servedNow) served.unserve();
    machine.reset();
  }
  // Its own registry, fresh and empty.
  served::ServedMachine served;
  bool servedNow = false;
  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
};

// The calls made while body runs, by member, and in all.
template <class Body>
std::uint64_t callsOf(Body&& body, std::map<std::string, std::uint64_t>* byMember = nullptr) {
  served::ServedStats& stats = served::servedStats();
  const std::map<std::string, std::uint64_t> before = stats.calls;
  const std::uint64_t total = stats.totalCalls;
  body();
  if (byMember != nullptr) {
    byMember->clear();
    for (const auto& [member, n] : stats.calls) {
      const auto it = before.find(member);
      const std::uint64_t d = n - (it == before.end() ? 0 : it->second);
      if (d != 0) (*byMember)[member] = d;
    }
  }
  return stats.totalCalls - total;
}

void printMembers(const std::map<std::string, std::uint64_t>& members) {
  std::string line;
  for (const auto& [member, n] : members) {
    line += "  " + member + (n > 1 ? " x" + std::to_string(n) : "");
  }
  std::printf("    members:%s\n", line.c_str());
}

void countCalls(int version) {
  BenchMachine bench(version, kAliases, true);
  bench.outlook = bench.machine->startOutlook();
  if (!bench.outlook || !bench.machine->addIn()) {
    std::printf("  the add-in did not connect over COM\n");
    return;
  }
  // The first of each kind looks the members up; the later ones show the steady cost.
  std::vector<sim::ModelItemPtr> received;
  std::map<std::string, std::uint64_t> members;
  std::uint64_t arrival = 0;
  for (int n = 0; n < kSamples; ++n) {
    arrival = callsOf([&] { received.push_back(bench.outlook->receive(message(n))); },
                      n == kSamples - 1 ? &members : nullptr);
  }
  std::printf("  per arriving message: %llu calls\n", static_cast<unsigned long long>(arrival));
  printMembers(members);

  std::uint64_t opened = 0, send = 0, sentCopy = 0;
  std::map<std::string, std::uint64_t> openMembers, sendMembers;
  for (int n = 0; n < kSamples; ++n) {
    const bool last = n == kSamples - 1;
    bench.outlook->select({received[static_cast<std::size_t>(n)]});
    sim::InspectorHandle window;
    opened = callsOf([&] { window = bench.outlook->reply(received[static_cast<std::size_t>(n)]); },
                     last ? &openMembers : nullptr);
    if (!window) continue;
    const std::uint64_t inItemAdd = served::servedStats().callsInEvents["_Items event 61441"];
    send = callsOf([&] { bench.outlook->pressSend(window); }, last ? &sendMembers : nullptr);
    sentCopy = served::servedStats().callsInEvents["_Items event 61441"] - inItemAdd;
  }
  std::printf("  per reply opened: %llu calls\n", static_cast<unsigned long long>(opened));
  printMembers(openMembers);
  std::printf(
      "  per send: %llu calls, of which %llu for its copy arriving in Sent Items (and, "
      "parked, in Deleted Items)\n",
      static_cast<unsigned long long>(send), static_cast<unsigned long long>(sentCopy));
  printMembers(sendMembers);

  std::uint64_t repeated = 0;
  for (const auto& [name, n] : served::servedStats().lookups) {
    if (n > 1) {
      std::printf("  looked up %llu times: %s\n", static_cast<unsigned long long>(n), name.c_str());
      ++repeated;
    }
  }
  std::printf("  member names looked up more than once per interface: %llu\n",
              static_cast<unsigned long long>(repeated));
}

void burst(int version) {
  BenchMachine bench(version, kAliases, true);
  bench.outlook = bench.machine->startOutlook();
  if (!bench.outlook) return;
  const sim::ModelFolderPtr inbox = bench.outlook->defaultFolder(platform::kOlFolderInbox);
  for (int n = 0; n < kBurst; ++n) bench.machine->world().deliver(inbox, message(n));
  const double start = now();
  bench.outlook->pump();
  const double seconds = now() - start;
  std::printf("  burst of %d arriving messages: %.3f ms per message\n", kBurst,
              seconds * 1000.0 / kBurst);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double startUp(int version, bool overCom) {
  BenchMachine bench(version, 100, overCom);
  const double start = now();
  bench.outlook = bench.machine->startOutlook();
  return (now() - start) * 1000.0;
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  {
    for (int version : {11, 12}) {
      std::printf("Outlook %s:\n", version == 11 ? "2003" : "2007");
      served::servedStats().resetCounts();
      countCalls(version);
      burst(version);
      // One start-up swings by a few hundred milliseconds under Wine: the median of several,
      // taken in turn so that both see the same machine.
      std::vector<double> inProcess, overCom;
      for (int n = 0; n < kStartUps; ++n) {
        inProcess.push_back(startUp(version, false));
        overCom.push_back(startUp(version, true));
      }
      std::printf(
          "  start-up with 100 identity accounts (median of %d): %.1f ms over COM, %.1f ms "
          "in-process (%+.1f ms)\n",
          kStartUps, median(overCom), median(inProcess), median(overCom) - median(inProcess));
    }
  }
  CoUninitialize();
  return 0;
}
