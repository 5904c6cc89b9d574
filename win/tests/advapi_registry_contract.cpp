// The registry contract that the simulated registry passes, run over the real advapi32.
#include "tests/sim/registry_contract.h"
#include "win/system/advapi_registry.h"

namespace korvanel::testing {
namespace {

INSTANTIATE_TEST_SUITE_P(Advapi, RegistryContract,
                         ::testing::Values(RegistryFactory{
                             "AdvapiRegistry",
                             [] { return std::make_unique<win::AdvapiRegistry>(); }}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace korvanel::testing
