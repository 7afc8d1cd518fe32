// The whole Run command on the shipped example cases, as the window runs it:
// entering the case, validation, balance, selection, case record, display.
#include <benchmark/benchmark.h>

#include "support/example_session.h"

namespace {

void RunExample(benchmark::State& state, const char* file) {
  phe::testing::ExampleSession x(file);
  for (auto _ : state) {
    for (const auto& c : x.cases) benchmark::DoNotOptimize(x.session->Run(c));
  }
}

BENCHMARK_CAPTURE(RunExample, water_water_auto, "water_water_auto.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, steam_heater, "steam_heater.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, oil_cooler, "oil_cooler.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, manual_hm_design, "manual_hm_design.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, check_mixed_pack, "check_mixed_pack.json")->Unit(benchmark::kMillisecond);

}  // namespace
