// The .reg loader over any file bytes. Beyond not crashing: a file that loads saves back to
// one that loads to the same registry, and the saved bytes decode to the saved text.
#include <string>

#include "fuzz_check.h"
#include "sim/reg_file.h"
#include "sim/sim_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvanel::fuzz::require;
  namespace sim = korvanel::sim;

  const korvanel::text::Text text = sim::decodeRegFileBytes(korvanel::fuzz::bytesOf(data, size));
  (void)sim::parseRegFile(text);

  sim::SimRegistry loaded;
  std::string error;
  if (!loaded.importReg(text, &error)) {
    require(!error.empty(), "a file that does not load says why");
    return 0;
  }
  const korvanel::text::Text saved = loaded.exportReg();
  require(sim::decodeRegFileBytes(sim::encodeRegFileBytes(saved)) == saved,
          "the saved bytes decode to the saved text");
  sim::SimRegistry reloaded;
  require(reloaded.importReg(saved, &error), "a saved registry loads");
  require(reloaded.exportReg() == saved, "a saved registry loads to the same registry");
  return 0;
}
