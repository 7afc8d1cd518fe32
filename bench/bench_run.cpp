// The whole Run command on the shipped example cases, as the window runs it:
// entering the case, validation, balance, selection, case record, display.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "db/database.h"
#include "driver/case_driver.h"

namespace fs = std::filesystem;

namespace {

void RunExample(benchmark::State& state, const char* file) {
  const std::string copy =
      (fs::temp_directory_path() / ("phe_bench_" + std::to_string(getpid()) + ".mdb")).string();
  fs::copy_file(phe::DefaultDatabasePath(), copy, fs::copy_options::overwrite_existing);
  auto db = phe::Database::Open(copy);
  std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + file);
  bool several = false;
  const auto cases = phe::ParseCases(nlohmann::json::parse(in), &several);
  phe::CaseSession session(*db);
  for (auto _ : state) {
    for (const auto& c : cases) benchmark::DoNotOptimize(session.Run(c));
  }
  db.reset();
  fs::remove(copy);
}

BENCHMARK_CAPTURE(RunExample, water_water_auto, "water_water_auto.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, steam_heater, "steam_heater.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, oil_cooler, "oil_cooler.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, manual_hm_design, "manual_hm_design.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, check_mixed_pack, "check_mixed_pack.json")->Unit(benchmark::kMillisecond);

}  // namespace
