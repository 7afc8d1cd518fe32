#include "workflow/engineering_checks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "db/database.h"
#include "engines/steps.h"

namespace phe {

namespace {

constexpr int kCritical = 16;

// Region-4 coefficients n1..n10.
constexpr double kN[] = {0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2,
                         0.12020824702470e5,  -0.32325550322333e7, 0.14915108613530e2,
                         -0.48232657361591e4, 0.40511340542057e6,  -0.23855557567849,
                         0.65017534844798e3};

enum class Medium { kWater, kSteam, kGlycol, kOil };

const char* MediumId(Medium m) {
  switch (m) {
    case Medium::kWater: return "medium.water";
    case Medium::kSteam: return "medium.steam";
    case Medium::kGlycol: return "medium.glycol";
    case Medium::kOil: return "medium.oil";
  }
  return "";
}

bool Fits(const ElastomerLimits& e, Medium m) {
  switch (m) {
    case Medium::kWater: return e.water;
    case Medium::kSteam: return e.steam;
    case Medium::kGlycol: return e.glycol;
    case Medium::kOil: return e.oil;
  }
  return false;
}

Medium MediumOf(const std::string& table, bool steam) {
  if (steam) return Medium::kSteam;
  if (EqualsNoCase(table, "water")) return Medium::kWater;
  const std::string_view t = table;
  if (EqualsNoCase(t, "glycol") || (t.size() > 2 && (EqualsNoCase(t.substr(0, 2), "EG") ||
                                                     EqualsNoCase(t.substr(0, 2), "PG"))))
    return Medium::kGlycol;
  return Medium::kOil;
}

bool Refuse(Env& env, const std::string& box, const Message& text) {
  ShowMessage(env.form, text, "title.error", kCritical);
  env.form.SetFocus(box);
  return false;
}

std::string Temp(double t) { return FormatFixed(t, 1); }

// Three significant digits: flows here span hundreds of decades.
std::string Significant(double x) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 3);
  return std::string(buf, r.ptr);
}

const ColumnSet kRhoVisc{Criterion::Kind::kLowInclusiveHighExclusive, {"min_T", "max_T", "R", "V"}};

// Density and viscosity interpolated at t as the property lookup does, from a
// record set of its own so the run's cursors stay where they are; false
// without both rows.
bool RhoViscAt(Database& db, const std::string& table, double t, double& rho, double& visc) {
  const auto rs = db.OpenRecordSet(table);
  const std::vector<int>& c = rs->Columns(kRhoVisc);
  const double t0 = std::trunc(t);
  if (!rs->FindFirst(kRhoVisc, t0)) return false;
  const double r0 = rs->Field(c[2]), v0 = rs->Field(c[3]);
  if (!rs->FindFirst(kRhoVisc, t0 + 1)) return false;
  const double f = t - t0;
  rho = r0 + (rs->Field(c[2]) - r0) * f;
  visc = v0 + (rs->Field(c[3]) - v0) * f;
  return rho > 0 && visc > 0;
}

// min over the single-type plates of (lowest correlated Re) * channel area / d_e.
struct FlowBound {
  double factor = INFINITY;  // m
  std::string plate_type;
};

const FlowBound& Bound() {
  static const FlowBound bound = [] {
    FlowBound b;
    for (const ModelInfo& m : Models()) {
      for (const char* kind : {"H", "M", "L"}) {
        SelectionState g;
        g.plate_type = std::string(m.code) + "-" + kind;
        const double re = LowestCorrelatedRe(g.plate_type);
        Br_Cs(g);
        if (std::isnan(re) || !(g.d_e > 0) || !(g.channel_area > 0)) continue;
        const double f = re * g.channel_area / g.d_e;
        if (f < b.factor) b = {f, g.plate_type};
      }
    }
    return b;
  }();
  return bound;
}

}  // namespace

double SaturationPressure(double t) {
  const double T = t + 273.15;
  const double v = T + kN[8] / (T - kN[9]);
  const double a = v * v + kN[0] * v + kN[1];
  const double b = kN[2] * v * v + kN[3] * v + kN[4];
  const double c = kN[5] * v * v + kN[6] * v + kN[7];
  return std::pow(2 * c / (-b + std::sqrt(b * b - 4 * a * c)), 4);
}

double SaturationTemperature(double p_abs) {
  const double beta = std::pow(p_abs, 0.25);
  const double e = beta * beta + kN[2] * beta + kN[5];
  const double f = kN[0] * beta * beta + kN[3] * beta + kN[6];
  const double g = kN[1] * beta * beta + kN[4] * beta + kN[7];
  const double d = 2 * g / (-f - std::sqrt(f * f - 4 * e * g));
  return (kN[9] + d - std::sqrt((kN[9] + d) * (kN[9] + d) - 4 * (kN[8] + kN[9] * d))) / 2 - 273.15;
}

bool CheckMediumStates(SelectionState& s, Env& env, KnownTemperatures known, bool simulated) {
  const double p_abs = s.design_pressure + kAtmosphere;
  const std::string pressure = FormatGeneral(s.design_pressure);
  if (s.hot_kind == 2 && known.t_h_in) {
    const double ps = SaturationPressure(s.t_h_in);
    if (ps > p_abs)
      return Refuse(env, "Txt_Th1",
                    Message("medium.steam_above_pressure")
                        .With("t", Temp(s.t_h_in))
                        .With("ps", FormatFixed(ps - kAtmosphere, 3))
                        .With("p", pressure));
  }
  const double t_sat = SaturationTemperature(p_abs);
  struct Extreme {
    bool known;
    double t;
    const char* box;      // the box holding t
    const char* driver;   // the inlet a simulation's outlet follows from
  };
  struct SideTemps {
    bool liquid;
    const std::string& table;
    Extreme hottest, coldest;
    const char* side;
    const char* list;
  };
  const SideTemps sides[] = {
      {s.hot_kind == 1, s.table_h, {known.t_h_in, s.t_h_in, "Txt_Th1", "Txt_Th1"},
       {known.t_h_out, s.t_h_out, "Txt_Th2", "Txt_Tc1"}, "side.hot", "Com_jh"},
      {true, s.table_c, {known.t_c_out, s.t_c_out, "Txt_Tc2", "Txt_Th1"},
       {known.t_c_in, s.t_c_in, "Txt_Tc1", "Txt_Tc1"}, "side.cold", "Com_jc"},
  };
  auto focus = [&](const Extreme& e) { return simulated ? e.driver : e.box; };
  for (const SideTemps& side : sides) {
    if (!side.liquid) continue;
    auto about = [&](const char* id, double t) {
      return Message(id).Ref("side", side.side).With("medium", env.form.Text(side.list)).With("t", Temp(t));
    };
    // Water and its mixtures boil near the water line; oils boil far above
    // the tables' range.
    if (side.hottest.known && MediumOf(side.table, false) != Medium::kOil && side.hottest.t >= t_sat)
      return Refuse(env, focus(side.hottest),
                    about("medium.boiling", side.hottest.t).With("p", pressure).With("t_sat", Temp(t_sat)));
    double freeze = 0;
    if (side.coldest.known && s.db && s.db->FreezingPoint(side.table, freeze) &&
        side.coldest.t <= freeze)
      return Refuse(env, focus(side.coldest),
                    about("medium.freezing", side.coldest.t).With("freezing", FormatGeneral(freeze)));
  }
  return true;
}

double SmallestCorrelatedFlow(double rho, double visc) {
  // Re = 1000 rho d_e v / visc with v = Q / (3600 A) solved for Q.
  return Bound().factor * visc * 3600 / (1000 * rho);
}

const std::string& SmallestFlowPlateType() { return Bound().plate_type; }

bool CheckSmallestFlows(SelectionState& s, Env& env) {
  if (!s.db) return true;
  const bool simulation = s.calc_mode == 3;
  struct Side {
    bool liquid;
    double flow;
    const std::string& table;
    double t;  // where the properties are read
    const char* box;
    const char* other_box;
    const char* side;
    const char* list;
  };
  const Side sides[] = {
      {s.hot_kind == 1, s.flow_h, s.table_h, simulation ? s.t_h_in : (s.t_h_in + s.t_h_out) / 2,
       "Txt_Qh", "Txt_Qc", "side.hot", "Com_jh"},
      {true, s.flow_c, s.table_c, simulation ? s.t_c_in : (s.t_c_in + s.t_c_out) / 2, "Txt_Qc",
       "Txt_Qh", "side.cold", "Com_jc"},
  };
  auto entered = [&](const char* box) {
    double v = 0;
    return ReadNumber(env.form.Text(box), v) && v != 0;
  };
  for (const Side& side : sides) {
    double rho = 0, visc = 0;
    if (!side.liquid || !(side.flow > 0) || !RhoViscAt(*s.db, side.table, side.t, rho, visc))
      continue;
    const double q_min = SmallestCorrelatedFlow(rho, visc);
    if (side.flow >= q_min) continue;
    // The box the small flow comes from: the flow itself, else the duty.
    const char* box = entered(side.box)     ? side.box
                      : entered("Txt_Wq")   ? "Txt_Wq"
                      : entered(side.other_box) ? side.other_box
                                                : side.box;
    return Refuse(env, box,
                  Message("flow.too_small")
                      .Ref("side", side.side)
                      .With("medium", env.form.Text(side.list))
                      .With("flow", Significant(side.flow))
                      .With("min", Significant(q_min))
                      .With("type", SmallestFlowPlateType()));
  }
  return true;
}

namespace {

// The warnings in order, each as its box and, only when texts are wanted,
// its message: a finished pack's status asks only whether there are any.
struct Warnings {
  bool texts = true;
  bool any = false;
  std::vector<LimitBreach> out;
  template <class Text>
  void Add(const char* box, Text&& text) {
    any = true;
    if (texts) out.push_back({box, text()});
  }
};

void AddMaterialWarnings(const SelectionState& s, const std::string& lining, Warnings& out) {
  const bool steam = s.hot_kind == 2;
  const Medium hot = MediumOf(s.table_h, steam);
  const Medium cold = MediumOf(s.table_c, false);
  // The steam outlet box plays no part; steam condenses at its inlet.
  const double hottest = steam ? std::max({s.t_h_in, s.t_c_in, s.t_c_out})
                               : std::max({s.t_h_in, s.t_h_out, s.t_c_in, s.t_c_out});
  const double coldest = steam ? std::min(s.t_c_in, s.t_c_out)
                               : std::min({s.t_h_in, s.t_h_out, s.t_c_in, s.t_c_out});

  auto elastomer = [&](const char* box, const char* what, const std::string& material) {
    if (!s.db) return;
    const std::optional<ElastomerLimits> e = s.db->Elastomer(material);
    if (!e) return;
    if (hottest > e->t_max || coldest < e->t_min)
      out.Add(box, [&] {
        return Message("warn.elastomer_temperature")
            .Ref("what", what)
            .With("material", material)
            .With("min", FormatGeneral(e->t_min))
            .With("max", FormatGeneral(e->t_max))
            .With("coldest", Temp(coldest))
            .With("hottest", Temp(hottest));
      });
    for (const auto& [m, side] : {std::pair{hot, "side.hot"}, std::pair{cold, "side.cold"}})
      if (!Fits(*e, m))
        out.Add(box, [&] {
          return Message("warn.elastomer_medium")
              .Ref("what", what)
              .With("material", material)
              .Ref("side", side)
              .Ref("medium", MediumId(m));
        });
  };
  elastomer("Com_dpc", "material.gasket", s.gasket_material);
  elastomer("Com_jgl", "material.lining", lining);
}

void AddEngineeringWarnings(const SelectionState& s, Warnings& out) {
  AddMaterialWarnings(s, s.port_lining, out);
  const bool steam = s.hot_kind == 2;

  // A mixed pack has two channel kinds on each side.
  const bool mixed = EqualsNoCase(s.arrangement_type, "HM") || EqualsNoCase(s.arrangement_type, "ML");
  auto slow = [&](const char* box, const char* side, double v) {
    if (v > 0 && v < kMinChannelVelocity)
      out.Add(box, [&] {
        return Message("warn.slow_channels")
            .Ref("side", side)
            .With("v", v < 0.001 ? Significant(v) : FormatFixed(v, 3))
            .With("limit", FormatGeneral(kMinChannelVelocity));
      });
  };
  auto slowest = [](double a, double b) { return a > 0 && b > 0 ? std::min(a, b) : std::max(a, b); };
  if (mixed) {
    if (!steam) slow("Txt_Wlh", "side.hot", slowest(s.v_h1, s.v_h2));
    slow("Txt_Wlc", "side.cold", slowest(s.v_c1, s.v_c2));
  } else {
    if (!steam) slow("Txt_Wlh", "side.hot", s.v_h);
    slow("Txt_Wlc", "side.cold", s.v_c);
  }

  const std::string type = s.model_code + "-" + s.arrangement_type;
  auto band = [&](const char* box, const char* side, double re, int kind) {
    const double lowest = LowestCorrelatedRe(type, kind);
    if (!std::isnan(lowest) && re > 0 && re < lowest)
      out.Add(box, [&] {
        return Message("warn.re_below_band")
            .Ref("side", side)
            .With("re", re < 1 ? Significant(re) : FormatFixed(re, 1))
            .With("type", type)
            .With("min", FormatGeneral(lowest));
      });
  };
  if (mixed) {
    if (!steam) {
      band("Txt_Wlh", "side.hot", s.re_h1, 1);
      band("Txt_Wlh", "side.hot", s.re_h2, 2);
    }
    band("Txt_Wlc", "side.cold", s.re_c1, 1);
    band("Txt_Wlc", "side.cold", s.re_c2, 2);
  } else {
    if (!steam) band("Txt_Wlh", "side.hot", s.re_h, 0);
    band("Txt_Wlc", "side.cold", s.re_c, 0);
  }

  // The stepped search of a single-type pack stops after its cap of steps;
  // the value it leaves there is no capacity.
  if (!mixed && std::fabs(s.fouling_out) >= 0.999999 * detail::kFoulingStepCap * detail::kFoulingStep)
    out.Add("Txt_RHC1", [] {
      return Message("warn.fouling_cap").With("cap", FormatGeneral(detail::kFoulingStepCap * detail::kFoulingStep));
    });
}

}  // namespace

std::vector<LimitBreach> MaterialWarnings(const SelectionState& s, const std::string& lining) {
  Warnings w;
  AddMaterialWarnings(s, lining, w);
  return std::move(w.out);
}

bool AnyMaterialWarning(const SelectionState& s, const std::string& lining) {
  Warnings w;
  w.texts = false;
  AddMaterialWarnings(s, lining, w);
  return w.any;
}

std::vector<LimitBreach> EngineeringWarnings(const SelectionState& s) {
  Warnings w;
  AddEngineeringWarnings(s, w);
  return std::move(w.out);
}

bool AnyEngineeringWarning(const SelectionState& s) {
  Warnings w;
  w.texts = false;
  AddEngineeringWarnings(s, w);
  return w.any;
}

}  // namespace phe
