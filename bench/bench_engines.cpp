// Timing of the engines on water/water cases: the plate-type search of each
// family, the design of mixed types and the check of mixed packs. Every
// iteration starts from the same prepared record, as a Run would.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "db/database.h"
#include "engines/engines.h"
#include "properties/exponents.h"
#include "properties/media.h"
#include "properties/wall.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"

namespace phe {
namespace {

struct Case {
  std::string hot = "water";
  double t_h_in = 95, t_h_out = 75, t_c_in = 55, t_c_out = 75;
  double duty = 500000;  // W
  double dp_max = 50;
};

std::string OneDecimal(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  return b;
}

// The record as the Run command hands it to an engine.
struct Prepared {
  HeadlessForm form;
  Env env{form};
  std::unique_ptr<Database> db;
  SelectionState s;

  Prepared(const Case& c, const std::string& plate_type, const std::string& family) {
    db = Database::Open(DefaultDatabasePath());
    env.rs_hot = db->OpenRecordSet(c.hot);
    env.rs_cold = db->OpenRecordSet("water");
    env.rs_bpdrxs = db->OpenRecordSet("BPDRXS");
    s.db = db.get();
    form.SetListIndex("Com_bpc", 0);
    form.SetText("Txt_Th1", OneDecimal(c.t_h_in));
    form.SetText("Txt_Th2", OneDecimal(c.t_h_out));
    form.SetText("Txt_Tc1", OneDecimal(c.t_c_in));
    form.SetText("Txt_Tc2", OneDecimal(c.t_c_out));
    s.hot_kind = 1;
    s.duty = c.duty;
    s.dp_max_h = c.dp_max;
    s.dp_max_c = static_cast<float>(c.dp_max);
    s.passes = 1;
    s.plate_thickness = 0.6;
    MediaProps(s, env);
    s.flow_h = c.duty * 3.6 / (s.rho_h * s.cp_h * (s.t_h_in - s.t_h_out));
    s.flow_c = c.duty * 3.6 / (s.rho_c * s.cp_c * (s.t_c_out - s.t_c_in));
    BP(s, env);
    s.plate_type = plate_type;
    s.model_family = family;
    PRM(s);
    VNM(s);
    VEM(s);
  }
};

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
  Prepared p(c, "", f.family);
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
  Case c;
  c.dp_max = m.dp_max;
  c.hot = m.hot;
  if (c.hot != "water") {
    c.t_h_in = 60;
    c.t_h_out = 45;
    c.t_c_in = 30;
    c.t_c_out = 38;
    c.duty = 100e3;
  }
  Prepared p(c, m.plate_type, "");
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
  Case c;
  c.hot = m.hot;
  if (c.hot != "water") {
    c.t_h_in = 60;
    c.t_h_out = 45;
    c.t_c_in = 30;
    c.t_c_out = 38;
    c.duty = 100e3;
  }
  Prepared p(c, m.plate_type, "");
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
