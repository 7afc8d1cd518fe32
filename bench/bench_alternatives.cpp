// The alternatives table of the oil-cooler example: every candidate designed
// as a manual design would be, from the record the heat balance left. The
// window builds it after every design run, so it must stay well below the
// 150 ms a user would notice.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

#include "compare/alternatives.h"
#include "db/database.h"
#include "driver/case_driver.h"

namespace fs = std::filesystem;

namespace {

void AlternativesTable(benchmark::State& state, const char* file) {
  const std::string copy =
      (fs::temp_directory_path() / ("phe_bench_alt_" + std::to_string(getpid()) + ".mdb")).string();
  fs::copy_file(phe::DefaultDatabasePath(), copy, fs::copy_options::overwrite_existing);
  auto db = phe::Database::Open(copy);
  std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + file);
  bool several = false;
  const auto cases = phe::ParseCases(nlohmann::json::parse(in), &several);
  phe::CaseSession session(*db);
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
      const auto table = phe::BuildAlternatives(*start, session.state);
      rows = table.rows.size();
      benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
  }
  db.reset();
  fs::remove(copy);
}

BENCHMARK_CAPTURE(AlternativesTable, oil_cooler, "oil_cooler.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, water_water_auto, "water_water_auto.json")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AlternativesTable, manual_hm_design, "manual_hm_design.json")
    ->Unit(benchmark::kMillisecond);

}  // namespace
