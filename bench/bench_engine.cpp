// The identity engine through the simulated Outlook 2003 and 2007 with the add-in connected:
// a burst of arriving messages stamped (NewMailEx and the Inbox's ItemAdd, as Outlook raises
// both), and replies sent from identities and their sent copies restamped. Reports messages
// per second and the peak heap the burst needs above what the set-up left allocated.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "addin/registration.h"
#include "profile/account_store.h"
#include "sim/machine.h"
#include "sim/outlook_objects.h"

// ---- Heap accounting for the whole program: every operator new goes through malloc, and
// the usable size of each block is counted, so the peak of a measured section can be read.
namespace {
std::atomic<long long> heapInUse{0};
std::atomic<long long> heapPeak{0};

void* countedAlloc(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const long long now = heapInUse += static_cast<long long>(malloc_usable_size(p));
  long long peak = heapPeak.load();
  while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
  }
  return p;
}

void countedFree(void* p) noexcept {
  if (p == nullptr) return;
  heapInUse -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return countedAlloc(size); }
void* operator new[](std::size_t size) { return countedAlloc(size); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

namespace {

using korvanel::text::Text;
using korvanel::text::TextView;
namespace sim = korvanel::sim;
namespace platform = korvanel::platform;

constexpr char16_t kProfileName[] = u"Outlook";
constexpr char16_t kHelpDeskDn[] = u"/o=Contoso/ou=Exchange/cn=Recipients/cn=helpdesk";
// On Outlook 2003 the sender selection types an account's position as one digit, so the
// aliases take positions 2 to 9 (the Exchange account is first).
constexpr int kAliases = 8;
constexpr int kBurst = 10000;
constexpr int kReplies = 1000;

Text number(int n) { return korvanel::text::toText(n); }

// Pat's machine with eight alias identities and a shared mailbox identity, Outlook started
// with the add-in connected.
struct EngineMachine {
  explicit EngineMachine(int version) {
    sim::MachineOptions options;
    options.version = version;
    machine = std::make_unique<sim::Machine>(options);
    machine->organisation().addMailbox(u"Help Desk", u"helpdesk", {u"SMTP:help@contoso.com"},
                                       kHelpDeskDn);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com"};
    for (int i = 0; i < kAliases; ++i) seed.proxyAddresses.push_back(u"smtp:" + alias(i));
    seed.additionalMailboxes = {{u"Mailbox - Help Desk", kHelpDeskDn}};
    machine->setUpExchangeProfile(seed);
    korvanel::profile::AccountStore store(machine->registry());
    for (int i = 0; i < kAliases; ++i) {
      const Text name = u"Alias " + number(i);
      store.CreateIdentityAccount(kProfileName, store.GetNextAccountID(kProfileName),
                                  u"EX [" + name + u" <" + alias(i) + u">]", name, alias(i), u"",
                                  u"");
    }
    store.CreateIdentityAccount(kProfileName, store.GetNextAccountID(kProfileName),
                                u"EX MBX [Help Desk]", u"Help Desk", kHelpDeskDn, u"", u"");
    korvanel::addin::registerAddinClasses(machine->world().classes(), machine->services());
    outlook = machine->startOutlook();
  }

  static Text alias(int i) { return u"alias" + number(i) + u"@contoso.com"; }

  // An internet message to one alias among other recipients, with To and Cc header lines.
  static sim::IncomingMessage message(int n) {
    sim::IncomingMessage m;
    m.from = u"Customer " + number(n) + u" <customer" + number(n) + u"@fabrikam.com>";
    m.to = {u"\"Doe, Ann\" <ann@fabrikam.com>",
            u"Alias " + number(n % kAliases) + u" <" + alias(n % kAliases) + u">"};
    m.cc = {u"Bob <bob@fabrikam.com>", u"Carol <carol@fabrikam.com>"};
    m.subject = u"Request " + number(n);
    m.body = u"Please send a quote for item " + number(n) + u".";
    m.readReceipt = n % 10 == 0;
    return m;
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
};

void reportPeak(benchmark::State& state, long long baseline) {
  state.counters["peak_heap_MB"] =
      static_cast<double>(heapPeak.load() - baseline) / (1024.0 * 1024.0);
}

// kBurst messages land in the Inbox at once; the timed part is Outlook raising NewMailEx and
// ItemAdd for each and the add-in stamping them.
void BM_StampBurst(benchmark::State& state) {
  const int version = static_cast<int>(state.range(0));
  long long baseline = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto engine = std::make_unique<EngineMachine>(version);
    const sim::ModelFolderPtr inbox = engine->outlook->defaultFolder(platform::kOlFolderInbox);
    for (int n = 0; n < kBurst; ++n)
      engine->machine->world().deliver(inbox, EngineMachine::message(n));
    baseline = heapInUse.load();
    heapPeak = baseline;
    state.ResumeTiming();

    engine->outlook->pump();

    state.PauseTiming();
    reportPeak(state, baseline);
    const auto& items = inbox->items;
    const long stamped =
        std::count_if(items.begin(), items.end(), [](const sim::ModelItemPtr& item) {
          return !item->namedText(sim::prop::kAccountName).empty();
        });
    engine.reset();
    if (stamped != kBurst) {
      state.SkipWithError("not every message was stamped");
      break;
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBurst);
}

// kReplies received messages are answered one after another: the user selects the message,
// replies (the sender selection picks the identity), sends (completion; Outlook 2003 parks
// and re-sends), and the sent copy is restamped. Every tenth reply is from the shared
// mailbox identity, which parks on both versions.
void BM_ReplyAndRestamp(benchmark::State& state) {
  const int version = static_cast<int>(state.range(0));
  long long baseline = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto engine = std::make_unique<EngineMachine>(version);
    std::vector<sim::ModelItemPtr> received;
    received.reserve(kReplies);
    for (int n = 0; n < kReplies; ++n) {
      received.push_back(engine->outlook->receive(EngineMachine::message(n)));
    }
    baseline = heapInUse.load();
    heapPeak = baseline;
    state.ResumeTiming();

    for (int n = 0; n < kReplies; ++n) {
      engine->outlook->select({received[static_cast<std::size_t>(n)]});
      sim::InspectorHandle window = engine->outlook->reply(received[static_cast<std::size_t>(n)]);
      if (!window) continue;
      if (n % 10 == 9) engine->outlook->chooseAccount(window, u"EX MBX [Help Desk]");
      engine->outlook->pressSend(window);
    }

    state.PauseTiming();
    reportPeak(state, baseline);
    const sim::ModelFolderPtr sent = engine->outlook->defaultFolder(platform::kOlFolderSentMail);
    const long restamped =
        std::count_if(sent->items.begin(), sent->items.end(), [](const sim::ModelItemPtr& item) {
          return korvanel::text::startsWithNoCase(item->namedText(sim::prop::kAccountName), u"EX ");
        });
    const bool complete =
        static_cast<int>(engine->machine->world().transmissions.size()) == kReplies &&
        restamped == kReplies;
    engine.reset();
    if (!complete) {
      state.SkipWithError("not every reply was sent and restamped");
      break;
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kReplies);
}

BENCHMARK(BM_StampBurst)
    ->ArgName("outlook")
    ->Arg(11)
    ->Arg(12)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplyAndRestamp)
    ->ArgName("outlook")
    ->Arg(11)
    ->Arg(12)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
