// The alternatives table of the examples: every candidate designed as a
// manual design would be, from the record the heat balance left. An automatic
// design searches the same candidates for its answer and shows that table, so
// the whole run of the oil cooler, search and table, must stay within the
// 150 ms a user would notice.
#include <benchmark/benchmark.h>

#include <optional>

#include "compare/alternatives.h"
#include "support/example_session.h"

namespace {

void AlternativesTable(benchmark::State& state, const char* file) {
  phe::testing::ExampleSession x(file);
  phe::CaseSession& session = *x.session;
  const auto& cases = x.cases;
  std::optional<phe::BalancedCase> start;
  session.env.on_sizing = [&](const phe::SelectionState& s) {
    start = phe::CaptureBalance(s, session.form);
  };
  session.Run(cases.front());
  if (!start) {
    state.SkipWithError("the example did not reach its sizing");
  } else {
    size_t rows = 0;
    for (auto _ : state) {
      const auto table = phe::BuildAlternatives(*start, *session.env.result);
      rows = table.rows.size();
      benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
  }
}

// The Run of an automatic design as the window makes it: balance, search of
// every candidate, the answer designed and stored, the table taken.
void AutomaticDesignWithSearch(benchmark::State& state, const char* file) {
  phe::testing::ExampleSession x(file);
  phe::CaseSession& session = *x.session;
  session.alternatives = true;
  size_t rows = 0;
  for (auto _ : state) {
    session.Run(x.cases.front());
    rows = session.last_alternatives ? session.last_alternatives->rows.size() : 0;
    benchmark::DoNotOptimize(rows);
  }
  if (rows == 0) state.SkipWithError("the run made no table");
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK_CAPTURE(AutomaticDesignWithSearch, oil_cooler, "oil_cooler.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, oil_cooler, "oil_cooler.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, water_water_auto, "water_water_auto.json")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, manual_hm_design, "manual_hm_design.json")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, steam_heater, "steam_heater.json")->Unit(benchmark::kMillisecond);

}  // namespace
