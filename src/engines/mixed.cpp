// Mixed HM/ML packs: limiting velocities of each kind (`WH_HL`), the flow
// split at given counts (`W_hc`), the two-group heat balance (`Wq1c`), the
// pack sizing (`Br_Js30`, `Br_Js3`) and the design of a mixed plate type.
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/wall.h"

namespace phe {

namespace detail {

namespace {


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

// Velocity at which one kind alone reaches the channel budgets (kind 1 or 2).
void SingleKindLimit(SelectionState& s, Env& env, int kind) {
  s.v_h = kVelocityStart;
  for (;;) {
    s.v_c = s.v_h * s.flow_c / s.flow_h;
    s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
    s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
    double e_h = 0, x_h = 0, e_c = 0, x_c = 0;
    if (kind == 1) {
      s.re_in_1 = s.re_h;
      Br_Eu(s);
      s.eu_coef_h1 = s.eu_coef_1;
      s.eu_exp_h1 = s.eu_exp_1;
      s.re_in_1 = s.re_c;
      Br_Eu(s);
      s.eu_coef_c1 = s.eu_coef_1;
      s.eu_exp_c1 = s.eu_exp_1;
      e_h = s.eu_coef_h1;
      x_h = s.eu_exp_h1;
      e_c = s.eu_coef_c1;
      x_c = s.eu_exp_c1;
    } else {
      s.re_in_2 = s.re_h;
      Br_Eu(s);
      s.eu_coef_h2 = s.eu_coef_2;
      s.eu_exp_h2 = static_cast<float>(s.eu_exp_2);
      s.re_in_2 = s.re_c;
      Br_Eu(s);
      s.eu_coef_c2 = s.eu_coef_2;
      s.eu_exp_c2 = static_cast<float>(s.eu_exp_2);
      e_h = s.eu_coef_h2;
      x_h = s.eu_exp_h2;
      e_c = s.eu_coef_c2;
      x_c = s.eu_exp_c2;
    }
    s.dp_ch_h = KindDrop(s.passes, s.v_h, s.rho_h, e_h, s.re_h, x_h);
    s.dp_ch_c = KindDrop(s.passes, s.v_c, s.rho_c, e_c, s.re_c, x_c);
    if (s.dp_ch_h >= s.dp_ch_max_h || s.dp_ch_c >= s.dp_ch_max_c) break;
    if (s.v_h >= kVelocityCap) break;
    s.v_h = s.v_h + kVelocityStep;
    Pump(env);
  }
  if (kind == 1) {
    s.v_h1_lim = s.v_h - kVelocityStep;
    s.v_c1_lim = s.v_c - kVelocityStep;
  } else {
    s.v_h2_lim = s.v_h - kVelocityStep;
    s.v_c2_lim = s.v_c - kVelocityStep;
  }
}

// Kind-1 coefficient weighted with kind 2 over the channel counts.
double Weighted(const SelectionState& s, double k1, double k2) {
  return (s.channels_hm * k1 + s.channels_ml * k2) / (s.channels_ml + s.channels_hm);
}

void KindOneSearchStart(SelectionState& s, Env& env) {
  s.dp_ch_max_h = s.dp_lim_h - s.dp_port_h;
  s.dp_ch_max_c = s.dp_lim_c - s.dp_port_c;
  WH_HL(s, env);
  s.channels_hm = 0;
}

// Kind-2 channels carrying the flow the kind-1 channels leave, then the pack
// at those counts: split, correlations, films with two wall passes.
void MixedPackStep(SelectionState& s, Env& env, bool copy_euler) {
  s.channels_ml = std::floor((s.flow_h - 3600 * s.channels_hm * s.channel_area * s.v_h1_max) /
                                 (3600 * s.channel_area * s.v_h2_max) +
                             0.5);
  if (s.channels_ml < 0) s.channels_ml = 0;
  RequireMixedChannels(s, env);
  W_hc(s, env);
  MixedReynolds(s);
  MixedCorrelations(s, copy_euler);
  MixedFilms(s, false);
  MixedMeans(s);
  MixedWallPasses(s, env);
}

void PackGeometry(SelectionState& s) {
  s.channels = s.channels_ml + s.channels_hm;
  s.area = s.plate_area * (2 * s.passes * s.channels - 1);
  s.plate_count = 2 * s.passes * s.channels + 1;
}


}  // namespace

// A mixed pack without channels of either kind has no channel-weighted
// coefficient: the case cannot be rated.
void RequireMixedChannels(SelectionState& s, Env& env) {
  if (s.channels_hm + s.channels_ml != 0) return;
  ShowMessage(env.form, Message("mixed.too_small"), "title.error", 16);
  throw RunAborted{};
}

void MixedReynolds(SelectionState& s) {
  s.re_h1 = Reynolds(s.rho_h, s.d_e, s.v_h1, s.visc_h);
  s.re_c1 = Reynolds(s.rho_c, s.d_e, s.v_c1, s.visc_c);
  s.re_h2 = Reynolds(s.rho_h, s.d_e, s.v_h2, s.visc_h);
  s.re_c2 = Reynolds(s.rho_c, s.d_e, s.v_c2, s.visc_c);
}

// Both correlations of both kinds at the pack's four Reynolds numbers.
void MixedCorrelations(SelectionState& s, bool copy_euler) {
  s.re_in_1 = s.re_h1;
  s.re_in_2 = s.re_h2;
  Br_Nu(s);
  Br_Eu(s);
  CopyNusseltHot(s);
  if (copy_euler) CopyEulerHot(s);
  s.re_in_1 = s.re_c1;
  s.re_in_2 = s.re_c2;
  Br_Nu(s);
  Br_Eu(s);
  CopyNusseltCold(s);
  if (copy_euler) CopyEulerCold(s);
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

// Fouling a mixed pack can carry at its counts, with the per-kind
// coefficients as the pack sizing forms them.
void MixedFoulingSearch(SelectionState& s, Env& env, bool upwards) {
  const double rw = s.plate_thickness * 0.001 / s.lambda_plate;
  auto k = [&s, rw](double fouling) {
    s.k_1 = 0.95 / (1 / s.alpha_h1 + 1 / s.alpha_c1 + rw + fouling);
    s.k_2 = 0.95 / (1 / s.alpha_h2 + 1 / s.alpha_c2 + rw + fouling);
    return s.k_mix = Weighted(s, s.k_1, s.k_2);
  };
  FoulingSearch(s.fouling_out, k, s.k_service, upwards, env);
}

void Br_Js2Mixed(SelectionState& s, Env& env) {
  // Limiting velocity of the second kind alone at the allowed drops.
  s.v_h = kVelocityStart;
  s.dp_ch_max_h = s.dp_max_h;
  s.dp_ch_max_c = s.dp_max_c;
  for (;;) {
    s.v_c = s.v_h * s.flow_c / s.flow_h;
    s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
    s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
    s.re_in_2 = s.re_h;
    Br_Eu(s);
    s.eu_coef_h2 = s.eu_coef_2;
    s.eu_exp_h2 = static_cast<float>(s.eu_exp_2);
    s.re_in_2 = s.re_c;
    Br_Eu(s);
    s.eu_coef_c2 = s.eu_coef_2;
    s.eu_exp_c2 = static_cast<float>(s.eu_exp_2);
    s.dp_ch_h = KindDrop(s.passes, s.v_h, s.rho_h, s.eu_coef_h2, s.re_h, s.eu_exp_h2);
    s.dp_ch_c = KindDrop(s.passes, s.v_c, s.rho_c, s.eu_coef_c2, s.re_c, s.eu_exp_c2);
    if (s.dp_ch_h >= s.dp_ch_max_h || s.dp_ch_c >= s.dp_ch_max_c) break;
    if (s.v_h >= kVelocityCap) break;
    s.v_h = s.v_h + kVelocityStep;
    Pump(env);
  }
  s.v_h2 = s.v_h - kVelocityStep;
  s.v_c2 = s.v_c - kVelocityStep;
  s.channels_ml = std::floor(s.flow_h / (3600 * s.channel_area * s.v_h2));
  PortsMixed(s, s.channels_ml);
  s.dp_lim_h = s.dp_max_h;
  s.dp_lim_c = s.dp_max_c;

  s.fouling_out = 0;
  Br_Js30(s, env);
  s.k_mix_first = s.k_clean;
  s.fouling_out = s.fouling;
  Br_Js30(s, env);
  Br_Js3(s, env);

  const double k = (s.channels_hm == 0 || s.channels_ml == 0) ? s.k_mix : s.k_mix_first;
  s.margin = TruncatedMargin(k, s.k_service);
  MixedFoulingSearch(s, env, s.margin >= 0 || s.fouling > 0);
  if (s.margin == 0 && s.fouling == 0) s.fouling_out = 0;
}

}  // namespace detail

using namespace detail;

void WH_HL(SelectionState& s, Env& env) {
  SingleKindLimit(s, env, 1);
  SingleKindLimit(s, env, 2);

  s.v_h1 = kVelocityStart;
  for (;;) {
    s.re_h1 = Reynolds(s.rho_h, s.d_e, s.v_h1, s.visc_h);
    s.re_in_1 = s.re_h1;
    s.re_in_2 = s.v_h2_lim * s.re_h1 / s.v_h1_lim;
    Br_Eu(s);
    CopyEulerHot(s);
    s.v_h2 = EqualDropVelocity(s.eu_coef_h1, s.eu_exp_h1, s.eu_coef_h2, s.eu_exp_h2, s.v_h1, s.rho_h, s.d_e,
                               s.visc_h);

    s.v_c1 = s.v_h1 * s.flow_c / s.flow_h;
    s.re_c1 = Reynolds(s.rho_c, s.d_e, s.v_c1, s.visc_c);
    s.re_in_1 = s.re_c1;
    s.re_in_2 = s.v_c2_lim * s.re_c1 / s.v_c1_lim;
    Br_Eu(s);
    CopyEulerCold(s);
    s.v_c2 = EqualDropVelocity(s.eu_coef_c1, s.eu_exp_c1, s.eu_coef_c2, s.eu_exp_c2, s.v_c1, s.rho_c, s.d_e,
                               s.visc_c);

    MixedReynolds(s);
    MixedCorrelations(s, true);
    MixedFilms(s, false);
    MixedMeans(s);
    MixedWall(s, env);
    MixedChannelDrops(s);
    if (s.dp_ch_h >= s.dp_ch_max_h || s.dp_ch_c >= s.dp_ch_max_c || s.v_h1 >= kVelocityCap) {
      s.v_h1_max = s.v_h1 - kVelocityStep;
      s.v_c1_max = s.v_c1 - kVelocityStep;
      s.v_h2_max = s.v_h2 - kVelocityStep;
      s.v_c2_max = s.v_c2 - kVelocityStep;
      return;
    }
    s.v_h1 = s.v_h1 + kVelocityStep;
    Pump(env);
  }
}

void W_hc(SelectionState& s, Env& env) {
  const double n1 = s.channels_hm;
  const double n2 = s.channels_ml;

  s.v_h1 = kVelocityStart;
  for (;;) {
    s.re_h1 = Reynolds(s.rho_h, s.d_e, s.v_h1, s.visc_h);
    s.re_in_1 = s.re_h1;
    s.re_in_2 = s.v_h2_max * s.re_h1 / s.v_h1_max;
    Br_Eu(s);
    CopyEulerHot(s);
    s.v_h2 = EqualDropVelocity(s.eu_coef_h1, s.eu_exp_h1, s.eu_coef_h2, s.eu_exp_h2, s.v_h1, s.rho_h, s.d_e,
                               s.visc_h);
    s.flow_h_carried = 3600 * s.channel_area * (n1 * s.v_h1 + n2 * s.v_h2);
    if (s.flow_h_carried >= s.flow_h) {
      s.v_h1 = s.v_h1 - kVelocityStep;
      s.v_h2 = EqualDropVelocity(s.eu_coef_h1, s.eu_exp_h1, s.eu_coef_h2, s.eu_exp_h2, s.v_h1, s.rho_h,
                                 s.d_e, s.visc_h);
      break;
    }
    if (s.v_h1 >= kVelocityCap) break;
    s.v_h1 = s.v_h1 + kVelocityStep;
    Pump(env);
  }

  s.v_c1 = kVelocityStart;
  for (;;) {
    s.re_c1 = Reynolds(s.rho_c, s.d_e, s.v_c1, s.visc_c);
    s.re_in_1 = s.re_c1;
    s.re_in_2 = s.v_c2_max * s.re_c1 / s.v_c1_max;
    Br_Eu(s);
    CopyEulerCold(s);
    s.v_c2 = EqualDropVelocity(s.eu_coef_c1, s.eu_exp_c1, s.eu_coef_c2, s.eu_exp_c2, s.v_c1, s.rho_c, s.d_e,
                               s.visc_c);
    s.flow_c_carried = 3600 * s.channel_area * (n1 * s.v_c1 + n2 * s.v_c2);
    if (s.flow_c_carried >= s.flow_c) {
      s.v_c1 = s.v_c1 - kVelocityStep;
      s.v_c2 = EqualDropVelocity(s.eu_coef_c1, s.eu_exp_c1, s.eu_coef_c2, s.eu_exp_c2, s.v_c1, s.rho_c,
                                 s.d_e, s.visc_c);
      return;
    }
    if (s.v_c1 >= kVelocityCap) return;
    s.v_c1 = s.v_c1 + kVelocityStep;
    Pump(env);
  }
}

void Wq1c(SelectionState& s, Env& env) {
  const double n1 = s.channels_hm;
  const double n2 = s.channels_ml;
  // Group 1 can pass more heat than its flow brings at the design outlet:
  // it cools further.
  s.area_1 = s.plate_area * (2 * s.passes * n1 - 1);
  s.q_cap_1 = s.lmtd * s.area_1 * s.k_1;
  const double m1 = 1000 * s.cp_h * s.rho_h * n1 * s.channel_area * s.v_h1;
  s.q_part = (s.t_h_in - s.t_h_out) * m1;
  s.t_h_out_1 = s.t_h_out;
  s.t_c_out_1 = s.t_c_out;
  while (s.q_cap_1 > s.q_part && n1 > 0) {
    s.t_h_out_1 = s.t_h_out_1 - kGroupTempStep;
    s.t_c_out_1 = s.t_c_in + (s.t_h_in - s.t_h_out_1) * s.cp_h * s.rho_h * s.flow_h / (s.cp_c * s.rho_c * s.flow_c);
    s.dt_1 = s.t_h_in - s.t_c_out_1;
    s.dt_2 = s.t_h_out_1 - s.t_c_in;
    s.lmtd_1 = EndMean(s.dt_1, s.dt_2);
    s.q_cap_1 = s.lmtd_1 * s.area_1 * s.k_1;
    s.q_part = (s.t_h_in - s.t_h_out_1) * m1;
    Pump(env);
    if (s.t_h_out_1 < s.t_c_in) break;
  }

  // Group 2 cannot: it leaves warmer.
  s.area_2 = static_cast<float>(s.plate_area * (2 * s.passes * n2 - 1));
  s.q_cap_2 = s.lmtd * s.area_2 * s.k_2;
  const double m2 = 1000 * s.cp_h * s.rho_h * n2 * s.channel_area * s.v_h2;
  s.q_part = (s.t_h_in - s.t_h_out) * m2;
  s.t_h_out_2 = s.t_h_out;
  s.t_c_out_2 = s.t_c_out;
  while (s.q_cap_2 < s.q_part && n2 > 0) {
    s.t_h_out_2 = s.t_h_out_2 + kGroupTempStep;
    s.t_c_out_2 = s.t_c_in + (s.t_h_in - s.t_h_out_2) * s.cp_h * s.rho_h * s.flow_h / (s.cp_c * s.rho_c * s.flow_c);
    s.dt_1 = s.t_h_in - s.t_c_out_2;
    s.dt_2 = s.t_h_out_2 - s.t_c_in;
    s.lmtd_2 = static_cast<float>(EndMean(s.dt_1, s.dt_2));
    s.q_cap_2 = s.lmtd_2 * s.area_2 * s.k_2;
    s.q_part = (s.t_h_in - s.t_h_out_2) * m2;
    Pump(env);
    if (s.t_h_out_2 > s.t_h_in) break;
  }
}

void Br_Js30(SelectionState& s, Env& env) {
  KindOneSearchStart(s, env);
  for (;;) {
    MixedPackStep(s, env, false);
    const double rw = s.plate_thickness * 0.001 / s.lambda_plate;
    s.k_1 = 0.95 / (1 / s.alpha_h1 + 1 / s.alpha_c1 + rw + s.fouling_out);
    s.k_2 = 0.95 / (1 / s.alpha_h2 + 1 / s.alpha_c2 + rw + s.fouling_out);
    PackGeometry(s);
    s.k_clean = static_cast<float>(Weighted(s, s.k_1, s.k_2));
    s.k_service = s.duty / (s.lmtd * s.area);
    s.margin = 100 * (s.k_clean / s.k_service - 1);
    if (s.channels_hm > 0 && s.channels_ml > 0) {
      // Both groups present: rate by the heat each group really passes.
      Wq1c(s, env);
      s.duty_calc = 1000 * s.cp_h * s.rho_h * s.channel_area *
                    (s.channels_hm * s.v_h1 * (s.t_h_in - s.t_h_out_1) +
                     s.channels_ml * s.v_h2 * (s.t_h_in - s.t_h_out_2));
      s.k_clean = static_cast<float>(s.duty_calc / (s.lmtd * s.area));
      s.margin = 100 * (s.k_clean / s.k_service - 1);
    }
    if (s.margin >= 0) return;
    if (s.channels_hm >= kChannelLimit) return;
    s.channels_hm = s.channels_hm + 1;
    Pump(env);
  }
}

void Br_Js3(SelectionState& s, Env& env) {
  KindOneSearchStart(s, env);
  for (;;) {
    MixedPackStep(s, env, true);
    const double rw = s.plate_thickness * 0.001 / s.lambda_plate;
    s.k_1 = 0.95 / (1 / s.alpha_h1 + 1 / s.alpha_c1 + rw + s.fouling);
    s.k_2 = 0.95 / (1 / s.alpha_h2 + 1 / s.alpha_c2 + rw + s.fouling);
    s.k_1_clean = 0.95 / (1 / s.alpha_h1 + 1 / s.alpha_c1 + rw);
    s.k_2_clean = 0.95 / (1 / s.alpha_h2 + 1 / s.alpha_c2 + rw);
    s.k_mix = Weighted(s, s.k_1_clean, s.k_2_clean);
    PackGeometry(s);
    s.k_calc = Weighted(s, s.k_1, s.k_2);
    s.k_service = s.duty / (s.lmtd * s.area);
    s.margin = TruncatedMargin(s.k_calc, s.k_service);
    // With both kinds present the coefficient of the preceding pack sizing rules.
    if (s.channels_hm > 0 && s.channels_ml > 0) s.margin = TruncatedMargin(s.k_clean, s.k_service);
    // The pack at the channel limit is reported like a sized one.
    if (s.margin >= s.margin_in || s.channels_hm >= kChannelLimit) {
      if (s.channels_hm == 0) {
        s.dp_ch_h = std::pow(s.visc_h / s.visc_w_h, s.visc_exp_dp_h) *
                    KindDrop(s.passes, s.v_h2, s.rho_h, s.eu_coef_h2, s.re_h2, s.eu_exp_h2);
        s.dp_ch_c = std::pow(s.visc_c / s.visc_w_c, s.visc_exp_dp_c) *
                    KindDrop(s.passes, s.v_c2, s.rho_c, s.eu_coef_c2, s.re_c2, s.eu_exp_c2);
      } else if (s.channels_ml == 0) {
        s.dp_ch_h = std::pow(s.visc_h / s.visc_w_h, s.visc_exp_dp_h) *
                    KindDrop(s.passes, s.v_h1, s.rho_h, s.eu_coef_h1, s.re_h1, s.eu_exp_h1);
        s.dp_ch_c = std::pow(s.visc_c / s.visc_w_c, s.visc_exp_dp_c) *
                    KindDrop(s.passes, s.v_c1, s.rho_c, s.eu_coef_c1, s.re_c1, s.eu_exp_c1);
      } else {
        MixedChannelDrops(s);
      }
      s.dp_h = s.dp_ch_h + s.dp_port_h;
      s.dp_c = s.dp_ch_c + s.dp_port_c;
      s.shear_h = Shear(s, 1000, s.dp_ch_h);
      s.shear_c = Shear(s, 1000, s.dp_ch_c);
      return;
    }
    s.channels_hm = s.channels_hm + 1;
    Pump(env);
  }
}

}  // namespace phe
