// Case-insensitive comparison and search as address matching uses them: every arriving
// message compares its recipients with every identity.
#include <benchmark/benchmark.h>

#include <vector>

#include "text/text.h"

namespace {

using korvanel::text::Text;

const std::vector<Text>& addresses() {
  static const std::vector<Text> kAddresses = {
      u"john.smith@example.com",   u"JOHN.SMITH@EXAMPLE.COM",  u"élodie.martin@exemple.fr",
      u"ÉLODIE.MARTIN@EXEMPLE.FR", u"иван.петров@пример.рф",   u"ИВАН.ПЕТРОВ@ПРИМЕР.РФ",
      u"sales-team@example.co.uk", u"Sales-Team@Example.co.UK"};
  return kAddresses;
}

void BM_EqualsNoCase(benchmark::State& state) {
  const auto& a = addresses();
  for (auto _ : state) {
    for (const Text& x : a) {
      for (const Text& y : a) benchmark::DoNotOptimize(korvanel::text::equalsNoCase(x, y));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(a.size() * a.size()));
}
BENCHMARK(BM_EqualsNoCase);

void BM_FindNoCaseInHeader(benchmark::State& state) {
  Text header;
  for (int i = 0; i < 40; ++i)
    header += u"To: \"Someone Élodie\" <someone" + korvanel::text::toText(i) + u"@example.com>, ";
  header += u"ИВАН.ПЕТРОВ@ПРИМЕР.РФ";
  for (auto _ : state) {
    benchmark::DoNotOptimize(korvanel::text::findNoCase(header, u"иван.петров@пример.рф"));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long>(header.size() * 2));
}
BENCHMARK(BM_FindNoCaseInHeader);

void BM_Fold(benchmark::State& state) {
  const Text s = u"ÉLODIE.MARTIN@EXEMPLE.FR ИВАН.ПЕТРОВ@ПРИМЕР.РФ JOHN.SMITH@EXAMPLE.COM";
  for (auto _ : state) benchmark::DoNotOptimize(korvanel::text::fold(s));
  state.SetBytesProcessed(state.iterations() * static_cast<long>(s.size() * 2));
}
BENCHMARK(BM_Fold);

}  // namespace
