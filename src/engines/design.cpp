// Design of the chosen plate type (`Br_Js2`): the single-type sizing loops,
// which the plate-type search runs too, the fouling the design can absorb and,
// for condensing steam, the subcooling the spare area allows. Mixed types go
// to the mixed-pack procedures.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/wall.h"

namespace phe {

namespace detail {

namespace {

// One count of a loop; true where the loop stops.
using RateCount = bool (*)(SelectionState&, Env&, Sizing, const TypeCorrelations&);

// Every count in turn from s.channels.
void StepChannels(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr, RateCount rate) {
  while (!rate(s, env, mode, corr)) {
    s.channels = s.channels + 1;
    Pump(env);
  }
}

// One count of the liquid loop; true where the loop stops.
bool RateLiquidCount(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr) {
  // A pack the design accepts rates as the check rates it: from the plate
  // conductivity of a fresh run, not the one the previous count left.
  if (mode == Sizing::kDesign) RestartPlateConductivity(s, env);
  s.v_h = s.flow_h / (3600 * s.channels * s.channel_area);
  s.v_c = s.v_h * s.flow_c / s.flow_h;
  s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  NusseltCopyHot(s, corr);
  NusseltCopyCold(s, corr);
  FilmHotUncorrected(s);
  FilmColdUncorrected(s);
  for (int pass = 0; pass < 2; ++pass) {
    WallAndPlate(s, env);
    FilmHotCorrected(s);
    FilmColdCorrected(s);
  }
  if (mode == Sizing::kDesign) WallAndPlate(s, env);
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate + s.fouling);
  if (mode == Sizing::kDesign)
    s.k_clean = static_cast<float>(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + PlateResistance(s)));
  s.area = s.plate_area * (2 * s.passes * s.channels - 1);
  s.plate_count = 2 * s.passes * s.channels + 1;
  s.k_service = s.duty / (s.lmtd * s.area);
  // A pack is accepted on its true margin; the design shows it truncated.
  const double margin = 100 * (s.k_calc / s.k_service - 1);
  s.margin = mode == Sizing::kDesign ? TruncatedMargin(s.k_calc, s.k_service) : margin;
  // The pack at the channel limit stands with the pressure drops it has.
  const bool at_limit = s.channels >= kChannelLimit;
  if (at_limit || margin >= s.margin_in) {
    EulerCopyHot(s, corr);
    EulerCopyCold(s, corr);
    LiquidDrops(s);
    s.port_share_h = static_cast<float>(PortShare(s.dp_port_h, s.dp_h));
    s.port_share_c = PortShare(s.dp_port_c, s.dp_c);
    if (mode == Sizing::kDesign) {
      s.shear_h = Shear(s, 1000, s.dp_ch_h);
      s.shear_c = Shear(s, 1000, s.dp_ch_c);
    } else if (s.port_share_h > kPortShareLimit || s.port_share_c > kPortShareLimit) {
      // More channels cannot cure a loss the ports dominate.
      return true;
    }
    if (at_limit || (s.dp_h <= s.dp_max_h && s.dp_c <= s.dp_max_c)) return true;
  }
  return false;
}

// One count of the steam loop; true where the loop stops.
bool RateSteamCount(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr) {
  if (mode == Sizing::kDesign) RestartPlateConductivity(s, env);
  s.v_c = s.flow_c / (3600 * s.channels * s.channel_area);
  s.v_h = s.flow_h / (3600 * s.channels * s.channel_area);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  s.re_h = Reynolds(s.rho_steam, s.d_e, s.v_h, s.visc_steam);
  NusseltCopyCold(s, corr);
  FilmColdUncorrected(s);
  CondensationCoefficient(s);
  WallAndPlate(s, env);
  FilmColdCorrected(s);
  s.area = s.plate_area * (2 * s.passes * s.channels - 1);
  s.plate_count = 2 * s.passes * s.channels + 1;
  // The entered fouling sizes a steam heater as it sizes a liquid one.
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + PlateResistance(s) + s.fouling);
  s.k_clean = static_cast<float>(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + PlateResistance(s)));
  s.k_service = s.duty / (s.lmtd * s.area);
  const double margin = 100 * (s.k_calc / s.k_service - 1);
  if (mode == Sizing::kDesign) {
    s.margin = TruncatedMargin(s.k_calc, s.k_service);
    // Area the fouled coefficient does not need: room for subcooling.
    s.area_excess = s.area - s.area / (1 + 0.01 * margin);
  } else {
    s.margin = margin;
  }
  const bool at_limit = s.channels >= kChannelLimit;
  if (at_limit || margin >= s.margin_in) {
    EulerCopyCold(s, corr);
    s.dp_h = SteamSideDrop(s);
    if (mode == Sizing::kDesign) s.dp_port_h = 0;
    s.dp_ch_c = ChannelDropCold(s);
    PortCold(s, s.channels);
    s.dp_c = s.dp_ch_c + s.dp_port_c;
    s.port_share_c = PortShare(s.dp_port_c, s.dp_c);
    if (mode == Sizing::kDesign) {
      s.shear_h = Shear(s, 3800, s.dp_h);
      s.shear_c = Shear(s, 1000, s.dp_ch_c);
    } else if (s.port_share_c > kPortShareLimit) {
      return true;
    }
    if (at_limit || (s.dp_h <= s.dp_max_h && s.dp_c <= s.dp_max_c)) return true;
  }
  return false;
}

}  // namespace

void StepLiquidChannels(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr) {
  StepChannels(s, env, mode, corr, RateLiquidCount);
}

void StepSteamChannels(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr) {
  StepChannels(s, env, mode, corr, RateSteamCount);
}

namespace {

// The conductivity the search's count n starts from, as stepping would have
// left it: count n - 1 rated from each conductivity it could start from must
// end on one and the same, with every lookup found.
std::optional<float> PlateBefore(const SelectionState& s, Env& env, const TypeCorrelations& corr,
                                 const ChannelBound& bound, double n, RateCount rate) {
  const long misses = LookupMisses(env);
  std::optional<float> left;
  const std::vector<float> first{s.lambda_plate};
  // The first count starts from the conductivity the search was handed.
  for (float from : n - 1 == s.channels ? first : bound.PlatesBefore()) {
    SelectionState trial = s;
    trial.channels = n - 1;
    trial.lambda_plate = from;
    rate(trial, env, Sizing::kSearch, corr);
    if (left && *left != trial.lambda_plate) return std::nullopt;
    left = trial.lambda_plate;
  }
  if (LookupMisses(env) != misses) return std::nullopt;
  return left;
}

// A count's rating reads nothing the counts before it left but, in the
// search, the plate conductivity (found again above) and, after a lookup that
// finds nothing, the value kept from one of them: then the counts are
// stepped one by one after all.
void SizeChannels(SelectionState& s, Env& env, Sizing mode, RateCount rate) {
  const TypeCorrelations corr(s.plate_type);
  const ChannelBound bound(s, env, corr, mode);
  double n = s.channels;
  for (double last = bound.LastRuledOut(s, n); last >= n; last = bound.LastRuledOut(s, n)) n = last + 1;
  if (n != s.channels) {
    const std::optional<float> plate =
        mode == Sizing::kSearch ? PlateBefore(s, env, corr, bound, n, rate) : std::optional<float>(s.lambda_plate);
    if (plate) {
      const SelectionState before = s;
      const long misses = LookupMisses(env);
      s.channels = n;
      s.lambda_plate = *plate;
      StepChannels(s, env, mode, corr, rate);
      if (LookupMisses(env) == misses && !std::isnan(s.re_h) && !std::isnan(s.re_c)) return;
      s = before;
    }
  }
  StepChannels(s, env, mode, corr, rate);
}

}  // namespace

void LiquidSizingLoop(SelectionState& s, Env& env, Sizing mode) {
  SizeChannels(s, env, mode, RateLiquidCount);
}

void SteamSizingLoop(SelectionState& s, Env& env, Sizing mode) {
  s.passes = 1;
  SizeChannels(s, env, mode, RateSteamCount);
}

// Fouling a single-type pack can still carry, judged as the sizing judges a
// pack; its sign follows the reported (clean) margin.
void SingleFoulingCapacity(SelectionState& s, Env& env) {
  const double r0 = 1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate;
  // A negative fouling that uses up the whole resistance reaches any
  // coefficient: on the step grid the search would otherwise jump over the
  // pole into negative coefficients and run to its cap.
  auto k = [&s, r0](double fouling) {
    const double r = r0 + fouling;
    return r > 0 ? s.k_calc = 0.95 / r : std::numeric_limits<double>::infinity();
  };
  FoulingSearch(s.fouling_out, k, s.k_service, s.margin >= 0, env);
  if (s.margin == 0) s.fouling_out = 0;
}

// Steam: the condensate properties at the steam temperature and the
// subcooling the spare area allows. The duty is carried by condensation
// alone (G·r); the subcooling is spare capacity outside it.
void SteamSubcooling(SelectionState& s, Env& env) {
  if (env.rs_hot && env.rs_hot->FindFirst(Criterion::LowInclusive("min_T", "max_T", s.t_h_in))) {
    s.rho_h = env.rs_hot->Field("R");
    s.cp_h = env.rs_hot->Field("cP");
    s.lambda_h = env.rs_hot->Field("L");
    s.visc_h = env.rs_hot->Field("V");
    s.pr_h = s.visc_h * s.cp_h / s.lambda_h;
  }

  s.t_h_out_2 = s.t_h_in - 1;
  s.flow_cond = s.steam_flow / s.rho_h;
  s.v_sc = static_cast<float>(s.flow_cond / (3600 * s.channel_area * s.channels));
  s.re_sc = 1000 * s.rho_h * s.d_e * s.v_sc / s.visc_h;
  // The subcooling zone borrows the cold side's correlation of the last pass.
  s.nu_sc = 0.55 * s.nu_coef_c * std::pow(s.re_sc, s.nu_exp_c) * std::pow(s.pr_h, s.pr_exp_h);
  s.alpha_sc = s.lambda_h * s.nu_sc / s.d_e;
  s.k_sc = 1 / (1 / s.alpha_sc + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
  auto zone = [&s](bool first) {
    s.q_part = (s.t_h_in - s.t_h_out_2) * s.cp_h * s.rho_h * s.flow_cond / 3.6;
    s.t_c_out_2 = s.t_c_in + (s.t_h_in - s.t_h_out_2) * s.cp_h * s.rho_h * s.flow_cond / (s.cp_c * s.rho_c * s.flow_c);
    s.dt_1 = s.t_h_in - s.t_c_out_2;
    s.dt_2 = s.t_h_out_2 - s.t_c_in;
    if (first)
      s.lmtd_sc = EndMean(s.dt_1, s.dt_2);
    else
      s.lmtd_sc = (s.dt_1 - s.dt_2) / std::log(s.dt_1 / s.dt_2);
    s.area_sc = s.q_part / (s.lmtd_sc * s.k_sc);
  };
  zone(true);
  while (s.area_sc < s.area_excess) {
    s.t_h_out_2 = s.t_h_out_2 - 1;
    if (s.t_h_out_2 < s.t_c_in + 2) break;
    zone(false);
    Pump(env);
  }
  s.t_h_out = s.t_h_out_2 + 1;
}

}  // namespace detail

using namespace detail;

void Br_Js2(SelectionState& s, Env& env) {
  PlateData(s);
  if (IsMixedPlateType(s.plate_type)) {
    Br_Js2Mixed(s, env);
    return;
  }
  InitialChannels(s);
  // A duty beyond any pack of the chosen type starts (and so ends) at the
  // channel limit; the plate-type search keeps its own start.
  s.channels = std::min(s.channels, kChannelLimit);
  if (s.hot_kind == 1) {
    LiquidSizingLoop(s, env, Sizing::kDesign);
  } else if (s.hot_kind == 2) {
    s.passes = 1;
    SteamSizingLoop(s, env, Sizing::kDesign);
  } else {
    return;
  }
  // The reported margin is the one without fouling.
  s.margin = TruncatedMargin(s.k_clean, s.k_service);
  s.channels_hm = s.channels;
  s.channels_ml = 0;
  s.fouling_out = 0;
  SingleFoulingCapacity(s, env);
  if (s.hot_kind == 2) SteamSubcooling(s, env);
}

}  // namespace phe
