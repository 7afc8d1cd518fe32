// Timing of the simulation and of the operating curves on the oil cooler's
// pack (the pack its example design chooses). Goals: one simulation within
// 5 ms, both curves (18 simulations) within 50 ms.
#include <benchmark/benchmark.h>

#include "curves/curves.h"
#include "engines/engines.h"
#include "support/example_session.h"

namespace {

using phe::testing::ExampleSession;

// The oil cooler designed once, as the window would before its curves.
ExampleSession& OilCooler() {
  static ExampleSession x("oil_cooler.json");
  static const bool ran = [] {
    for (const auto& c : x.cases) x.session->Run(c);
    return true;
  }();
  (void)ran;
  return x;
}

// One simulation of the designed pack at the case's flows and its fouling
// capacity, on the record sets of the curves' own environment.
void BM_Br_Mn_OilCooler(benchmark::State& state) {
  ExampleSession& x = OilCooler();
  phe::SelectionState start = x.session->state;
  start.calc_mode = 3;
  start.plate_type = x.session->env.sized_plate_type;
  start.fouling = start.fouling_out;
  phe::Env& env = x.session->env;
  env.rs_hot = start.db->OpenRecordSet(start.table_h);
  env.rs_cold = start.db->OpenRecordSet(start.table_c);
  env.rs_bpdrxs = start.db->OpenRecordSet("BPDRXS");
  state.SetLabel(start.plate_type + " " + std::to_string(static_cast<int>(start.channels_hm)) + " channels");
  for (auto _ : state) {
    phe::SelectionState s = start;
    phe::Br_Mn(s, env);
    benchmark::DoNotOptimize(s.t_c_out);
  }
  env.rs_hot.reset();
  env.rs_cold.reset();
  env.rs_bpdrxs.reset();
}
BENCHMARK(BM_Br_Mn_OilCooler)->Unit(benchmark::kMillisecond);

// The whole simulation Run of that pack: entering the case, checks, the
// simulation, the case record and the display.
void BM_SimulateRun_OilCooler(benchmark::State& state) {
  ExampleSession x("oil_cooler.json",
                   nlohmann::json::parse(R"({"calc": "simulate", "selection": "manual", "com_br": "PX50B",
                                             "com_zh": "H", "Txt_nh": "18", "Txt_nl": "0",
                                             "Txt_Qh": "8.52", "Txt_Qc": "8.66"})"));
  for (auto _ : state)
    for (const auto& c : x.cases) benchmark::DoNotOptimize(x.session->Run(c));
}
BENCHMARK(BM_SimulateRun_OilCooler)->Unit(benchmark::kMillisecond);

void BM_Curves_OilCooler(benchmark::State& state) {
  ExampleSession& x = OilCooler();
  for (auto _ : state) {
    auto c = phe::curves::Compute(*x.session->env.result);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_Curves_OilCooler)->Unit(benchmark::kMillisecond);

}  // namespace
