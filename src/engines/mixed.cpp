// Mixed HM/ML packs: the pack rated as its two channel groups (equal-drop
// flow split, per-group films and coefficients, counter-current groups whose
// outlets mix) and the design of a mixed plate type on that rating.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/wall.h"

namespace phe {

namespace detail {

namespace {

constexpr int kSolveSteps = 60;

void CopyNusseltHot(SelectionState& s) {
  s.nu_coef_h1 = s.nu_coef_1;
  s.nu_exp_h1 = s.nu_exp_1;
  s.nu_coef_h2 = s.nu_coef_2;
  s.nu_exp_h2 = s.nu_exp_2;
}

void CopyNusseltCold(SelectionState& s) {
  s.nu_coef_c1 = s.nu_coef_1;
  s.nu_exp_c1 = s.nu_exp_1;
  s.nu_coef_c2 = s.nu_coef_2;
  s.nu_exp_c2 = s.nu_exp_2;
}

void CopyEulerHot(SelectionState& s) {
  s.eu_coef_h1 = s.eu_coef_1;
  s.eu_exp_h1 = s.eu_exp_1;
  s.eu_coef_h2 = s.eu_coef_2;
  s.eu_exp_h2 = static_cast<float>(s.eu_exp_2);
}

void CopyEulerCold(SelectionState& s) {
  s.eu_coef_c1 = s.eu_coef_1;
  s.eu_exp_c1 = s.eu_exp_1;
  s.eu_coef_c2 = s.eu_coef_2;
  s.eu_exp_c2 = static_cast<float>(s.eu_exp_2);
}

double KindDrop(double passes, double v, double rho, double eu_coef, double re, double eu_exp) {
  return 0.001 * passes * (v * v) * rho * eu_coef * std::pow(re, eu_exp);
}

// Channel drop of one kind (1 or 2) on one side at velocity v, without the
// wall factor, as the split balances the kinds.
struct SideDrop {
  SideDrop(SelectionState& state, double density, double viscosity, const TypeCorrelations& correlations)
      : s(state), rho(density), visc(viscosity), corr(correlations) {}

  SelectionState& s;
  double rho, visc;
  const TypeCorrelations& corr;  // Br_Eu of the pack's type, parsed once

  double operator()(int kind, double v) const {
    const double re = Reynolds(rho, s.d_e, v, visc);
    double coef, exp;
    if (kind == 1) {
      s.re_in_1 = re;
      corr.Eu(s);
      coef = s.eu_coef_1;
      exp = s.eu_exp_1;
    } else {
      s.re_in_2 = re;
      corr.Eu(s);
      coef = s.eu_coef_2;
      exp = static_cast<float>(s.eu_exp_2);
    }
    return KindDrop(s.passes, v, rho, coef, re, exp);
  }

  // Velocity at which the kind reaches the drop dp.
  double Velocity(int kind, double dp) const {
    Steps steps{*this, kind};
    double lo = 1e-9, hi = 1;
    while (steps(hi) < dp && hi < 1e6) hi *= 4;
    for (int i = 0; i < kSolveSteps; ++i) {
      const double mid = std::sqrt(lo * hi);
      (steps(mid) < dp ? lo : hi) = mid;
    }
    steps.Finish();
    return std::sqrt(lo * hi);
  }

  // With finite Reynolds numbers a kind's drop is a function of the velocity
  // alone (the state it writes included), and the solves of one split start
  // alike and part ever later: a solve reads the steps it shares with the
  // one before from that one's path, and ends on the state its last step
  // writes.
  struct Step {
    double v, dp;  // left unset until written
  };
  struct Path {
    std::array<Step, kSolveSteps + 20> steps;
    size_t size = 0;
  };
  mutable Path path[2];
  struct Steps {
    const SideDrop& drop;
    int kind;
    bool pure = std::isfinite(Reynolds(drop.rho, drop.s.d_e, 1, drop.visc));
    size_t step = 0;
    double last = 0;
    bool last_read = false;

    double operator()(double v) {
      Path& path = drop.path[kind - 1];
      last = v;
      last_read = pure && step < path.size && path.steps[step].v == v;
      if (last_read) return path.steps[step++].dp;
      const double dp = drop(kind, v);
      if (step < path.steps.size()) {
        path.steps[step] = {v, dp};
        path.size = std::max(path.size, step + 1);
      }
      ++step;
      return dp;
    }
    void Finish() {
      if (last_read) drop(kind, last);
    }
  };
};

// Kind velocities on one side: both kinds see the same channel drop and the
// channels carry the flow. A kind without channels gets the velocity it would
// have at that drop, so that its films stay finite.
void SplitSide(SelectionState& s, double n1, double n2, double flow, double rho, double visc, double& v1,
               double& v2) {
  const TypeCorrelations corr(s.plate_type);
  const SideDrop drop{s, rho, visc, corr};
  const double carried = flow / (3600 * s.channel_area);  // m/s summed over the channels
  if (n2 <= 0) {
    v1 = carried / n1;
    v2 = drop.Velocity(2, drop(1, v1));
    return;
  }
  if (n1 <= 0) {
    v2 = carried / n2;
    v1 = drop.Velocity(1, drop(2, v2));
    return;
  }
  double lo = 0, hi = carried / n1;
  for (int i = 0; i < kSolveSteps; ++i) {
    const double mid = (lo + hi) / 2;
    const double w2 = drop.Velocity(2, drop(1, mid));
    (n1 * mid + n2 * w2 < carried ? lo : hi) = mid;
  }
  v1 = (lo + hi) / 2;
  v2 = drop.Velocity(2, drop(1, v1));
}

// Heat capacity rate of a flow in m³/h, W/℃.
double Capacity(double flow, double rho, double cp) { return flow * rho * cp / 3.6; }

double GroupHeat(const SelectionState& s, const GroupRating& g, double k) {
  return CounterflowHeat(Capacity(g.flow_h, s.rho_h, s.cp_h), Capacity(g.flow_c, s.rho_c, s.cp_c),
                         k * g.area, s.t_h_in - s.t_c_in);
}

double GroupK(const GroupRating& g, double fouling) { return 0.95 / (g.r0 + fouling); }

void SetGroupHeat(const SelectionState& s, GroupRating& g, double fouling) {
  g.k = GroupK(g, fouling);
  g.duty = GroupHeat(s, g, g.k);
  const double ch = Capacity(g.flow_h, s.rho_h, s.cp_h);
  const double cc = Capacity(g.flow_c, s.rho_c, s.cp_c);
  g.t_h_out = ch > 0 ? s.t_h_in - g.duty / ch : s.t_h_in;
  g.t_c_out = cc > 0 ? s.t_c_in + g.duty / cc : s.t_c_in;
}

}  // namespace

double CounterflowHeat(double c_h, double c_c, double ka, double dt_in) {
  if (c_h <= 0 || c_c <= 0 || ka <= 0 || dt_in <= 0) return 0;
  const double c_min = std::min(c_h, c_c);
  const double cr = c_min / std::max(c_h, c_c);
  const double ntu = ka / c_min;
  double eff;
  if (1 - cr < 1e-9) {
    eff = ntu / (1 + ntu);
  } else {
    const double e = std::exp(-ntu * (1 - cr));
    eff = (1 - e) / (1 - cr * e);
  }
  return eff * c_min * dt_in;
}

// The plate type of one kind of a mixed type: PX100B-HM, 1 -> PX100B-H.
std::string KindPlateType(const std::string& mixed_type, int kind) {
  const auto code = ParsePlateType(mixed_type);
  if (!code) return mixed_type;
  const bool hm = code->channel == ChannelType::kHM;
  const char* letter = kind == 1 ? (hm ? "H" : "M") : (hm ? "M" : "L");
  return Models()[static_cast<size_t>(code->model)].code + std::string("-") + letter;
}

void MixedReynolds(SelectionState& s) {
  s.re_h1 = Reynolds(s.rho_h, s.d_e, s.v_h1, s.visc_h);
  s.re_c1 = Reynolds(s.rho_c, s.d_e, s.v_c1, s.visc_c);
  s.re_h2 = Reynolds(s.rho_h, s.d_e, s.v_h2, s.visc_h);
  s.re_c2 = Reynolds(s.rho_c, s.d_e, s.v_c2, s.visc_c);
}

// Both correlations of both kinds at the pack's four Reynolds numbers.
void MixedCorrelations(SelectionState& s) {
  s.re_in_1 = s.re_h1;
  s.re_in_2 = s.re_h2;
  Br_Nu(s);
  Br_Eu(s);
  CopyNusseltHot(s);
  CopyEulerHot(s);
  s.re_in_1 = s.re_c1;
  s.re_in_2 = s.re_c2;
  Br_Nu(s);
  Br_Eu(s);
  CopyNusseltCold(s);
  CopyEulerCold(s);
}

void MixedFilms(SelectionState& s, bool wall_factor) {
  const double fh1 = wall_factor ? std::pow(s.visc_h / s.visc_w_h1, s.visc_exp_h) : 1;
  const double fh2 = wall_factor ? std::pow(s.visc_h / s.visc_w_h2, s.visc_exp_h) : 1;
  const double fc1 = wall_factor ? std::pow(s.visc_c / s.visc_w_c1, s.visc_exp_c) : 1;
  const double fc2 = wall_factor ? std::pow(s.visc_c / s.visc_w_c2, s.visc_exp_c) : 1;
  s.nu_h1 = s.nu_coef_h1 * std::pow(s.re_h1, s.nu_exp_h1) * std::pow(s.pr_h, s.pr_exp_h) * fh1;
  s.nu_h2 = s.nu_coef_h2 * std::pow(s.re_h2, s.nu_exp_h2) * std::pow(s.pr_h, s.pr_exp_h) * fh2;
  s.nu_c1 = s.nu_coef_c1 * std::pow(s.re_c1, s.nu_exp_c1) * std::pow(s.pr_c, s.pr_exp_c) * fc1;
  s.nu_c2 = s.nu_coef_c2 * std::pow(s.re_c2, s.nu_exp_c2) * std::pow(s.pr_c, s.pr_exp_c) * fc2;
  s.alpha_h1 = s.lambda_h * s.nu_h1 / s.d_e;
  s.alpha_h2 = s.lambda_h * s.nu_h2 / s.d_e;
  s.alpha_c1 = s.lambda_c * s.nu_c1 / s.d_e;
  s.alpha_c2 = static_cast<float>(s.lambda_c * s.nu_c2 / s.d_e);
}

void MixedMeans(SelectionState& s) {
  s.alpha_h = (s.alpha_h1 + s.alpha_h2) / 2;
  s.alpha_c = (s.alpha_c1 + s.alpha_c2) / 2;
}

void MixedWall(SelectionState& s, Env& env) {
  BW(s, env);
  s.t_wall = (s.t_w_h + s.t_w_c) / 2;
  BP(s, env);
  BW12(s, env);
}

// Two wall passes; the means are renewed between them only, so afterwards
// alpha_h and alpha_c hold the values of the first correction.
void MixedWallPasses(SelectionState& s, Env& env) {
  MixedWall(s, env);
  MixedFilms(s, true);
  MixedMeans(s);
  MixedWall(s, env);
  MixedFilms(s, true);
}

// Per-kind channel drops with the per-kind wall factors and their means.
void MixedChannelDrops(SelectionState& s) {
  s.dp_ch_h1 = std::pow(s.visc_h / s.visc_w_h1, s.visc_exp_dp_h) *
               KindDrop(s.passes, s.v_h1, s.rho_h, s.eu_coef_h1, s.re_h1, s.eu_exp_h1);
  s.dp_ch_h2 = static_cast<float>(std::pow(s.visc_h / s.visc_w_h2, s.visc_exp_dp_h) *
                                  KindDrop(s.passes, s.v_h2, s.rho_h, s.eu_coef_h2, s.re_h2, s.eu_exp_h2));
  s.dp_ch_c1 = std::pow(s.visc_c / s.visc_w_c1, s.visc_exp_dp_c) *
               KindDrop(s.passes, s.v_c1, s.rho_c, s.eu_coef_c1, s.re_c1, s.eu_exp_c1);
  s.dp_ch_c2 = std::pow(s.visc_c / s.visc_w_c2, s.visc_exp_dp_c) *
               KindDrop(s.passes, s.v_c2, s.rho_c, s.eu_coef_c2, s.re_c2, s.eu_exp_c2);
  s.dp_ch_h = (s.dp_ch_h1 + s.dp_ch_h2) / 2;
  s.dp_ch_c = (s.dp_ch_c1 + s.dp_ch_c2) / 2;
}

// The rated pack into the result fields the window, the sheet and the record
// read. The margin reported is the one without fouling, as for single types.
void PublishPack(SelectionState& s, const PackRating& r) {
  const GroupRating& g1 = r.group[0];
  const GroupRating& g2 = r.group[1];
  s.channels_hm = g1.channels;
  s.channels_ml = g2.channels;
  s.channels = r.channels;
  s.area = r.area;
  s.plate_count = r.plate_count;
  s.area_1 = g1.area;
  s.area_2 = static_cast<float>(g2.area);
  s.k_service = s.duty / (s.lmtd * s.area);
  const double rw = PlateResistance(s);
  s.k_1 = GroupK(g1, r.fouling);
  s.k_2 = GroupK(g2, r.fouling);
  s.k_1_clean = 0.95 / (1 / g1.alpha_h + 1 / g1.alpha_c + rw);
  s.k_2_clean = 0.95 / (1 / g2.alpha_h + 1 / g2.alpha_c + rw);
  // The pack's coefficients are those that close Q = K·A·ΔTm with its margin.
  s.k_calc = s.k_service * (1 + r.margin / 100);
  const double clean_margin = r.fouling == 0 ? r.margin : 100 * (1 / PackFactor(s, r, 0) - 1);
  s.k_clean = static_cast<float>(s.k_service * (1 + clean_margin / 100));
  s.margin = clean_margin;
  s.duty_calc = r.duty;
  s.t_h_out_1 = g1.t_h_out;
  s.t_c_out_1 = g1.t_c_out;
  s.t_h_out_2 = g2.t_h_out;
  s.t_c_out_2 = g2.t_c_out;
  s.dp_ch_h = r.dp_ch_h;
  s.dp_ch_c = r.dp_ch_c;
  s.dp_port_h = r.dp_port_h;
  s.dp_port_c = r.dp_port_c;
  s.dp_h = r.dp_h;
  s.dp_c = r.dp_c;
  s.shear_h = Shear(s, 1000, s.dp_ch_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);
}

// Fouling the pack can carry, on the grid of the single-type search: the
// first step past the capacity, upwards or (a pack short of the duty)
// downwards.
void MixedFoulingOut(SelectionState& s, const PackRating& r) {
  const double cap = PackFoulingCapacity(s, r);
  s.fouling_out = cap >= 0 ? (std::floor(cap / kFoulingStep) + 1) * kFoulingStep
                           : (std::ceil(cap / kFoulingStep) - 1) * kFoulingStep;
  if (std::trunc(s.margin) == 0) s.fouling_out = 0;
}

// A single-type engine starts from the conductivity the Run command hands
// it; the mixed ratings before must not move its first wall pass.
void RestartPlateConductivity(SelectionState& s, Env& env) {
  s.t_wall = 0;
  BP(s, env);
}

// A mixed request whose pack holds one kind only is that kind's pack.
void AnnounceOneKind(SelectionState& s, Env& env, const std::string& mixed_type) {
  ShowMessage(env.form, Message("mixed.one_kind").With("mixed", mixed_type).With("type", s.plate_type),
              "title.notice", 64);
}

void Br_Js2Mixed(SelectionState& s, Env& env) {
  const std::string mixed_type = s.plate_type;
  auto rate = [&](double n1, double n2) { return RateMixedPack(s, env, n1, n2, s.fouling); };
  auto fits = [&](const PackRating& r) { return r.dp_h <= s.dp_max_h && r.dp_c <= s.dp_max_c; };
  auto one_kind = [&](int kind) {
    s.plate_type = KindPlateType(mixed_type, kind);
    RestartPlateConductivity(s, env);
    Br_Js2(s, env);
    AnnounceOneKind(s, env, mixed_type);
  };

  // Fewest kind-2 channels that keep both drops without kind-1 channels.
  double lo = 0, hi = 1;
  while (hi < kChannelLimit && !fits(rate(0, hi))) {
    lo = hi;
    hi = std::min(2 * hi, kChannelLimit);
  }
  while (hi - lo > 1) {
    const double mid = std::floor((lo + hi) / 2);
    (fits(rate(0, mid)) ? hi : lo) = mid;
  }

  // Kind-1 channels one at a time, each letting go of the kind-2 channels
  // the drops no longer need, until the pack carries the duty.
  double n1 = 0, n2 = hi;
  PackRating r = rate(n1, n2);
  for (;;) {
    while (n2 > 0 && n1 + n2 > 1) {
      PackRating fewer = rate(n1, n2 - 1);
      if (!fits(fewer)) break;
      n2 = n2 - 1;
      r = fewer;
    }
    const bool at_limit = n1 + n2 >= kChannelLimit;
    if (n2 == 0) return one_kind(1);
    if (n1 == 0 && (r.margin >= s.margin_in || at_limit)) return one_kind(2);
    if (r.margin >= s.margin_in || at_limit) break;
    n1 = n1 + 1;
    r = rate(n1, n2);
    Pump(env);
  }
  // The trials after the accepted pack left their working fields; rate it
  // again so that the state describes the pack reported.
  r = rate(n1, n2);
  PublishPack(s, r);
  s.margin = std::trunc(s.margin) + 0.0;
  MixedFoulingOut(s, r);
}

}  // namespace detail

using namespace detail;

PackRating RateMixedPack(SelectionState& s, Env& env, double n1, double n2, double fouling) {
  PackRating r;
  // A pack rates the same whatever was rated before it.
  RestartPlateConductivity(s, env);
  SplitSide(s, n1, n2, s.flow_h, s.rho_h, s.visc_h, s.v_h1, s.v_h2);
  SplitSide(s, n1, n2, s.flow_c, s.rho_c, s.visc_c, s.v_c1, s.v_c2);
  MixedReynolds(s);
  MixedCorrelations(s);
  MixedFilms(s, false);
  MixedMeans(s);
  MixedWallPasses(s, env);
  MixedChannelDrops(s);
  PortsMixed(s, n1 + n2);

  r.channels = n1 + n2;
  r.area = s.plate_area * (2 * s.passes * r.channels - 1);
  r.plate_count = 2 * s.passes * r.channels + 1;
  r.fouling = fouling;
  const double rw = PlateResistance(s);
  const double carried_h = n1 * s.v_h1 + n2 * s.v_h2;
  const double carried_c = n1 * s.v_c1 + n2 * s.v_c2;
  struct Kind {
    double n, v_h, v_c, re_h, re_c, a_h, a_c, dp_h, dp_c;
  };
  const Kind kinds[2] = {
      {n1, s.v_h1, s.v_c1, s.re_h1, s.re_c1, s.alpha_h1, s.alpha_c1, s.dp_ch_h1, s.dp_ch_c1},
      {n2, s.v_h2, s.v_c2, s.re_h2, s.re_c2, s.alpha_h2, s.alpha_c2, s.dp_ch_h2, s.dp_ch_c2},
  };
  for (int i = 0; i < 2; ++i) {
    const Kind& k = kinds[i];
    GroupRating& g = r.group[i];
    g.channels = k.n;
    g.area = r.area * k.n / r.channels;
    // The split carries the flows to its tolerance; the groups share them exactly.
    g.flow_h = carried_h > 0 ? s.flow_h * k.n * k.v_h / carried_h : 0;
    g.flow_c = carried_c > 0 ? s.flow_c * k.n * k.v_c / carried_c : 0;
    g.v_h = k.v_h;
    g.v_c = k.v_c;
    g.re_h = k.re_h;
    g.re_c = k.re_c;
    g.alpha_h = k.a_h;
    g.alpha_c = k.a_c;
    g.r0 = 1 / k.a_h + 1 / k.a_c + rw;
    g.dp_ch_h = k.dp_h;
    g.dp_ch_c = k.dp_c;
    SetGroupHeat(s, g, fouling);
  }
  r.duty = r.group[0].duty + r.group[1].duty;
  r.t_h_out = s.t_h_in - r.duty / Capacity(s.flow_h, s.rho_h, s.cp_h);
  r.t_c_out = s.t_c_in + r.duty / Capacity(s.flow_c, s.rho_c, s.cp_c);
  r.factor = PackFactor(s, r, fouling);
  r.margin = 100 * (1 / r.factor - 1);
  r.dp_ch_h = s.dp_ch_h;
  r.dp_ch_c = s.dp_ch_c;
  r.dp_port_h = s.dp_port_h;
  r.dp_port_c = s.dp_port_c;
  r.dp_h = r.dp_ch_h + r.dp_port_h;
  r.dp_c = r.dp_ch_c + r.dp_port_c;
  return r;
}

double PackDuty(const SelectionState& s, const PackRating& r, double scale, double fouling) {
  double q = 0;
  for (const GroupRating& g : r.group) q += GroupHeat(s, g, scale * GroupK(g, fouling));
  return q;
}

double PackFactor(const SelectionState& s, const PackRating& r, double fouling) {
  double lo = 1e-9, hi = 1e9;
  if (PackDuty(s, r, hi, fouling) < s.duty) return std::numeric_limits<double>::infinity();
  for (int i = 0; i < 2 * kSolveSteps; ++i) {
    const double mid = std::sqrt(lo * hi);
    (PackDuty(s, r, mid, fouling) < s.duty ? lo : hi) = mid;
  }
  return std::sqrt(lo * hi);
}

double PackFoulingCapacity(const SelectionState& s, const PackRating& r) {
  // Below -r0 of the better group a coefficient has no meaning.
  double lo = -std::min(r.group[0].channels > 0 ? r.group[0].r0 : 1.0,
                        r.group[1].channels > 0 ? r.group[1].r0 : 1.0) *
              (1 - 1e-9);
  double hi = 1;
  for (int i = 0; i < 2 * kSolveSteps; ++i) {
    const double mid = (lo + hi) / 2;
    (PackDuty(s, r, 1, mid) >= s.duty ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

}  // namespace phe
