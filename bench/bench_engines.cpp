// Timing of the engines on water/water cases: the plate-type search of each
// family, the design of mixed types and the check of mixed packs. Every
// iteration starts from the same prepared record, as a Run would.
#include <benchmark/benchmark.h>

#include <string>

#include "engines/engines.h"
#include "support/engine_rig.h"

namespace phe {
namespace {

using testing::Case;
using testing::Rig;

// Duties that put both flows (20 C rise) inside each family's range.
struct FamilyCase {
  const char* family;
  double duty;
};
const FamilyCase kFamilies[] = {
    {"PX32", 200e3},  {"PX50", 500e3},  {"PX65", 1e6},   {"PX100", 2e6},  {"PX150", 5e6},
    {"PX200", 9e6},   {"PX250", 15e6},  {"PX350", 25e6}, {"PX450", 45e6},
};

void BM_Br_Js1(benchmark::State& state) {
  const FamilyCase& f = kFamilies[state.range(0)];
  Case c;
  c.duty = f.duty;
  Rig p(c, "", f.family);
  state.SetLabel(f.family);
  for (auto _ : state) {
    SelectionState s = p.s;
    Br_Js1(s, p.env);
    benchmark::DoNotOptimize(s.best_area);
  }
}
BENCHMARK(BM_Br_Js1)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

struct MixedCase {
  const char* plate_type;
  double dp_max;
  const char* hot;
};
const MixedCase kMixed[] = {
    {"PX100B-HM", 50, "water"},  // all kind-2 channels
    {"PX65M-HM", 100, "water"},  // both kinds
    {"PX50M-ML", 20, "water"},   // both kinds
    {"PX100B-HM", 50, "VG46"},   // oil cooler
};

void BM_Br_Js2_Mixed(benchmark::State& state) {
  const MixedCase& m = kMixed[state.range(0)];
  Case c = std::string(m.hot) == "water" ? Case{} : testing::OilCooler();
  c.dp_max_h = c.dp_max_c = m.dp_max;
  Rig p(c, m.plate_type, "");
  state.SetLabel(std::string(m.plate_type) + " " + m.hot);
  for (auto _ : state) {
    SelectionState s = p.s;
    Br_Js2(s, p.env);
    benchmark::DoNotOptimize(s.margin);
  }
}
BENCHMARK(BM_Br_Js2_Mixed)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Br_Ys_Mixed(benchmark::State& state) {
  const MixedCase& m = kMixed[state.range(0)];
  Case c = std::string(m.hot) == "water" ? Case{} : testing::OilCooler();
  Rig p(c, m.plate_type, "");
  p.s.channels_hm = 4;
  p.s.channels_ml = 7;
  state.SetLabel(std::string(m.plate_type) + " 4+7 " + m.hot);
  for (auto _ : state) {
    SelectionState s = p.s;
    Br_Ys(s, p.env);
    benchmark::DoNotOptimize(s.margin);
  }
}
BENCHMARK(BM_Br_Ys_Mixed)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace phe
