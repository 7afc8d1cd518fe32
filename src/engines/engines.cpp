// The sizing and check engines: single channel types (search, design, check),
// condensing steam with condensate subcooling, and mixed HM/ML packs.
//
// Formulas keep the order of their factors, so that the single-precision
// fields round at the same points in every engine.
#include "engines/engines.h"

#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "properties/wall.h"

namespace phe {

namespace {

constexpr double kChannelLimit = 700;       // channels per pass
constexpr double kVelocityStart = 0.01;     // m/s
constexpr double kVelocityStep = 0.001;     // m/s
constexpr double kVelocityCap = 50;         // m/s; no channel flow comes near it
constexpr double kFoulingStep = 0.000001;   // m2.C/W
constexpr long kFoulingStepCap = 10000000;  // guards a search that cannot end
constexpr double kGroupTempStep = 0.01;     // C
constexpr double kPortShareLimit = 70;      // %

constexpr const char* kTooSmallForMixed = "介质流量太小，不能采用HM、ML混合板型！";
constexpr const char* kViscousMixedWarning =
    "粘度大于20cP，不能采用HM、ML板型，否则会造成流量分配不均而使换热失效！";

void Pump(Env& env) { env.form.Yield(); }

double Reynolds(double rho, double d_e, double v, double visc) {
  return 1000 * rho * d_e * v / visc;
}

double PlateResistance(const SelectionState& s) {
  return s.plate_thickness * 0.001 / s.lambda_plate;
}

// Share of the port loss in a total; a total of 0 has no port share.
double PortShare(double dp_port, double dp_total) {
  return dp_total == 0 ? 0 : 100 * dp_port / dp_total;
}

// Whole percent toward zero; + 0.0 turns a truncated -0.4 into 0, not -0.
double TruncatedMargin(double k, double k_service) { return std::trunc(100 * (k / k_service - 1)) + 0.0; }

// Log-mean difference; the arithmetic mean when the ends differ by less than 1 C.
double EndMean(double dt1, double dt2) {
  if (std::trunc(dt1 - dt2) == 0) return (dt1 + dt2) / 2;
  return (dt1 - dt2) / std::log(dt1 / dt2);
}

// Kind-2 velocity that gives the same channel pressure drop as kind 1 at v1.
double EqualDropVelocity(double eu_coef1, double eu_exp1, double eu_coef2, double eu_exp2, double v1,
                         double rho, double d_e, double visc) {
  return std::pow(eu_coef1 * std::pow(v1, 2 + eu_exp1) * std::pow(1000 * rho * d_e, eu_exp1 - eu_exp2) *
                      std::pow(visc, eu_exp2 - eu_exp1) / eu_coef2,
                  1 / (2 + eu_exp2));
}

// A mixed pack without channels of either kind has no channel-weighted
// coefficient: the case cannot be rated.
void RequireMixedChannels(SelectionState& s, Env& env) {
  if (s.channels_hm + s.channels_ml != 0) return;
  ShowMessage(env.form, kTooSmallForMixed, "错误", 16);
  throw RunAborted{};
}

// ---------------------------------------------------------------------------
// Single channel types
// ---------------------------------------------------------------------------

void InitialChannels(SelectionState& s) {
  // 18000 W/m2.C is optimistic, so the loop only ever has to count upwards.
  s.channels = std::trunc(s.duty / (s.passes * 2 * s.plate_area * s.lmtd * 18000));
  if (s.channels == 0) s.channels = 1;
}

// The search keeps its port-share stop; the design of the chosen type instead
// reports the clean coefficient, a whole-percent margin and the shear.
enum class Sizing { kSearch, kDesign };

void NusseltCopyHot(SelectionState& s) {
  s.re_in = s.re_h;
  Br_Nu(s);
  s.nu_coef_h = s.nu_coef;
  s.nu_exp_h = s.nu_exp;
}

void NusseltCopyCold(SelectionState& s) {
  s.re_in = s.re_c;
  Br_Nu(s);
  s.nu_coef_c = s.nu_coef;
  s.nu_exp_c = s.nu_exp;
}

void EulerCopyHot(SelectionState& s) {
  s.re_in = s.re_h;
  Br_Eu(s);
  s.eu_coef_h = s.eu_coef;
  s.eu_exp_h = s.eu_exp;
}

void EulerCopyCold(SelectionState& s) {
  s.re_in = s.re_c;
  Br_Eu(s);
  s.eu_coef_c = s.eu_coef;
  s.eu_exp_c = s.eu_exp;
}

void FilmHotUncorrected(SelectionState& s) {
  s.nu_h = s.nu_coef_h * std::pow(s.re_h, s.nu_exp_h) * std::pow(s.pr_h, s.pr_exp_h);
  s.alpha_h = s.lambda_h * s.nu_h / s.d_e;
}

void FilmColdUncorrected(SelectionState& s) {
  s.nu_c = s.nu_coef_c * std::pow(s.re_c, s.nu_exp_c) * std::pow(s.pr_c, s.pr_exp_c);
  s.alpha_c = s.lambda_c * s.nu_c / s.d_e;
}

void FilmHotCorrected(SelectionState& s) {
  s.nu_h = std::pow(s.visc_h / s.visc_w_h, s.visc_exp_h) * s.nu_coef_h * std::pow(s.re_h, s.nu_exp_h) *
           std::pow(s.pr_h, s.pr_exp_h);
  s.alpha_h = s.lambda_h * s.nu_h / s.d_e;
}

void FilmColdCorrected(SelectionState& s) {
  s.nu_c = std::pow(s.visc_c / s.visc_w_c, s.visc_exp_c) * s.nu_coef_c * std::pow(s.re_c, s.nu_exp_c) *
           std::pow(s.pr_c, s.pr_exp_c);
  s.alpha_c = s.lambda_c * s.nu_c / s.d_e;
}

void WallAndPlate(SelectionState& s, Env& env) {
  BW(s, env);
  s.t_wall = (s.t_w_h + s.t_w_c) / 2;
  BP(s, env);
}

double ChannelDropHot(const SelectionState& s) {
  return std::pow(s.visc_h / s.visc_w_h, s.visc_exp_dp_h) * 0.001 * s.passes * (s.v_h * s.v_h) * s.rho_h *
         s.eu_coef_h * std::pow(s.re_h, s.eu_exp_h);
}

double ChannelDropCold(const SelectionState& s) {
  return std::pow(s.visc_c / s.visc_w_c, s.visc_exp_dp_c) * 0.001 * s.passes * (s.v_c * s.v_c) * s.rho_c *
         s.eu_coef_c * std::pow(s.re_c, s.eu_exp_c);
}

// Port velocities and the distribution-weighted port losses with n channels.
void PortHot(SelectionState& s, double n) {
  s.v_port_h = PortVelocity(s.flow_h, s.port_d_h);
  const double g = PortDistributionTerm(n, s.port_k1, s.port_k2, s.port_k3, s.port_k4);
  s.dp_port_h = PortPressureDrop(s.port_zeta, s.rho_h, s.v_port_h, s.passes, g);
}

void PortCold(SelectionState& s, double n) {
  s.v_port_c = PortVelocity(s.flow_c, s.port_d_c);
  const double g = PortDistributionTerm(n, s.port_k1, s.port_k2, s.port_k3, s.port_k4);
  s.dp_port_c = PortPressureDrop(s.port_zeta, s.rho_c, s.v_port_c, s.passes, g);
}

// The mixed types carry their own distribution set.
void PortsMixed(SelectionState& s, double n) {
  s.v_port_h = PortVelocity(s.flow_h, s.port_d_h);
  s.v_port_c = PortVelocity(s.flow_c, s.port_d_c);
  const double g = PortDistributionTerm(n, s.port_k1_2, s.port_k2_2, s.port_k3_2, s.port_k4_2);
  s.dp_port_h = PortPressureDrop(s.port_zeta, s.rho_h, s.v_port_h, s.passes, g);
  s.dp_port_c = PortPressureDrop(s.port_zeta, s.rho_c, s.v_port_c, s.passes, g);
  // Thick media spread less unevenly over the port.
  if (s.visc_h > 3) s.dp_port_h = 0.85 * s.dp_port_h;
  if (s.visc_c > 3) s.dp_port_c = 0.85 * s.dp_port_c;
}

double Shear(const SelectionState& s, double factor, double dp) {
  return factor * dp * s.d_e / (2 * s.passes * s.plate_length);
}

void LiquidSizingLoop(SelectionState& s, Env& env, Sizing mode) {
  for (;;) {
    s.v_h = s.flow_h / (3600 * s.channels * s.channel_area);
    s.v_c = s.v_h * s.flow_c / s.flow_h;
    s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
    s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
    NusseltCopyHot(s);
    NusseltCopyCold(s);
    FilmHotUncorrected(s);
    FilmColdUncorrected(s);
    for (int pass = 0; pass < 2; ++pass) {
      WallAndPlate(s, env);
      FilmHotCorrected(s);
      FilmColdCorrected(s);
    }
    s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate + s.fouling);
    if (mode == Sizing::kDesign)
      s.k_clean = static_cast<float>(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + PlateResistance(s)));
    s.area = s.plate_area * (2 * s.passes * s.channels - 1);
    s.plate_count = 2 * s.passes * s.channels + 1;
    s.k_service = s.duty / (s.lmtd * s.area);
    s.margin = mode == Sizing::kDesign ? TruncatedMargin(s.k_calc, s.k_service)
                                       : 100 * (s.k_calc / s.k_service - 1);
    if (s.channels >= kChannelLimit) return;
    if (s.margin >= s.margin_in) {
      EulerCopyHot(s);
      EulerCopyCold(s);
      s.dp_ch_h = ChannelDropHot(s);
      s.dp_ch_c = ChannelDropCold(s);
      PortHot(s, s.channels);
      PortCold(s, s.channels);
      s.dp_h = s.dp_ch_h + s.dp_port_h;
      s.dp_c = s.dp_ch_c + s.dp_port_c;
      s.port_share_h = static_cast<float>(PortShare(s.dp_port_h, s.dp_h));
      s.port_share_c = PortShare(s.dp_port_c, s.dp_c);
      if (mode == Sizing::kDesign) {
        s.shear_h = Shear(s, 1000, s.dp_ch_h);
        s.shear_c = Shear(s, 1000, s.dp_ch_c);
      } else if (s.port_share_h > kPortShareLimit || s.port_share_c > kPortShareLimit) {
        // More channels cannot cure a loss the ports dominate.
        return;
      }
      if (s.dp_h <= s.dp_max_h && s.dp_c <= s.dp_max_c) return;
    }
    s.channels = s.channels + 1;
    Pump(env);
  }
}

// Film coefficient of condensing steam from the condensate properties.
void CondensationCoefficient(SelectionState& s) {
  const double x = s.rho_h * (s.rho_h - s.rho_steam) * std::pow(s.lambda_h, 3) / (9.81 * std::pow(s.visc_h, 2));
  s.alpha_h = 1000000 * s.cond_coef * std::pow(s.re_h, 0.11) * std::pow(x, -1.0 / 3);
}

double SteamSideDrop(const SelectionState& s) {
  return 0.000001 * s.steam_dp_coef * std::pow(s.re_h, 0.78) * (s.v_h * s.v_h);
}

void SteamSizingLoop(SelectionState& s, Env& env, Sizing mode) {
  s.passes = 1;
  for (;;) {
    s.v_c = s.flow_c / (3600 * s.channels * s.channel_area);
    s.v_h = s.flow_h / (3600 * s.channels * s.channel_area);
    s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
    s.re_h = Reynolds(s.rho_steam, s.d_e, s.v_h, s.visc_steam);
    NusseltCopyCold(s);
    FilmColdUncorrected(s);
    CondensationCoefficient(s);
    WallAndPlate(s, env);
    FilmColdCorrected(s);
    s.area = s.plate_area * (2 * s.passes * s.channels - 1);
    s.plate_count = 2 * s.passes * s.channels + 1;
    // Fouling does not enter on the condensing side.
    s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
    s.k_service = s.duty / (s.lmtd * s.area);
    if (mode == Sizing::kDesign) {
      s.margin = TruncatedMargin(s.k_calc, s.k_service);
      s.area_excess = s.area - s.area / (1 + 0.01 * s.margin);
    } else {
      s.margin = 100 * (s.k_calc / s.k_service - 1);
    }
    if (s.channels >= kChannelLimit) return;
    if (s.margin >= s.margin_in) {
      EulerCopyCold(s);
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
        return;
      }
      if (s.dp_h <= s.dp_max_h && s.dp_c <= s.dp_max_c) return;
    }
    s.channels = s.channels + 1;
    Pump(env);
  }
}

// Fouling a liquid pack can still carry. The first test is made on the loop's
// coefficient (0.95 and the entered fouling); the steps use the bare series
// resistance.
void LiquidFoulingCapacity(SelectionState& s, Env& env) {
  const double r0 = 1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate;
  long steps = 0;
  if (s.margin >= 0) {
    while (s.k_calc >= s.k_service && steps++ < kFoulingStepCap) {
      s.fouling_out = s.fouling_out + kFoulingStep;
      s.k_calc = 1 / (r0 + s.fouling_out);
      Pump(env);
    }
  } else {
    while (s.k_service >= s.k_calc && steps++ < kFoulingStepCap) {
      s.fouling_out = s.fouling_out - kFoulingStep;
      s.k_calc = 1 / (r0 + s.fouling_out);
      Pump(env);
    }
  }
  if (s.margin == 0) s.fouling_out = 0;
}

// Steam: fouling from the entered value upwards, then the condensate
// properties at the steam temperature and the subcooling the spare area allows.
void SteamFoulingAndSubcooling(SelectionState& s, Env& env) {
  s.fouling_out = s.fouling;
  const double r = 1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate;
  s.k_calc = 1 / r;
  long steps = 0;
  while (s.k_calc >= s.k_service && steps++ < kFoulingStepCap) {
    s.fouling_out = s.fouling_out + kFoulingStep;
    s.k_calc = 1 / (r + s.fouling_out);
    Pump(env);
  }

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

// ---------------------------------------------------------------------------
// Mixed packs: per-kind steps
// ---------------------------------------------------------------------------

void MixedReynolds(SelectionState& s) {
  s.re_h1 = Reynolds(s.rho_h, s.d_e, s.v_h1, s.visc_h);
  s.re_c1 = Reynolds(s.rho_c, s.d_e, s.v_c1, s.visc_c);
  s.re_h2 = Reynolds(s.rho_h, s.d_e, s.v_h2, s.visc_h);
  s.re_c2 = Reynolds(s.rho_c, s.d_e, s.v_c2, s.visc_c);
}

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

double KindDrop(double passes, double v, double rho, double eu_coef, double re, double eu_exp) {
  return 0.001 * passes * (v * v) * rho * eu_coef * std::pow(re, eu_exp);
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

// Fouling a mixed pack can carry at its counts (no 0.95 inside the search).
void MixedFoulingSearch(SelectionState& s, Env& env, bool upwards) {
  const double rw = s.plate_thickness * 0.001 / s.lambda_plate;
  auto recompute = [&s, rw] {
    s.k_1 = 1 / (1 / s.alpha_h1 + 1 / s.alpha_c1 + rw + s.fouling_out);
    s.k_2 = 1 / (1 / s.alpha_h2 + 1 / s.alpha_c2 + rw + s.fouling_out);
    s.k_mix = Weighted(s, s.k_1, s.k_2);
  };
  s.fouling_out = 0;
  recompute();
  long steps = 0;
  if (upwards) {
    while (s.k_mix >= s.k_service && steps++ < kFoulingStepCap) {
      s.fouling_out = s.fouling_out + kFoulingStep;
      recompute();
      Pump(env);
    }
  } else {
    while (s.k_service >= s.k_mix && steps++ < kFoulingStepCap) {
      s.fouling_out = s.fouling_out - kFoulingStep;
      recompute();
      Pump(env);
    }
  }
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

// ---------------------------------------------------------------------------
// Check calculation
// ---------------------------------------------------------------------------

void CheckGeometry(SelectionState& s) {
  s.plate_count = 2 * s.passes * (s.channels_ml + s.channels_hm) + 1;
  s.area = s.plate_area * (s.plate_count - 2);
  s.channels = s.channels_ml + s.channels_hm;
}

void Br_YsLiquid(SelectionState& s, Env& env) {
  CheckGeometry(s);
  s.v_h = s.flow_h / (3600 * s.channel_area * s.channels);
  s.v_c = s.flow_c / (3600 * s.channel_area * s.channels);
  s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  NusseltCopyHot(s);
  EulerCopyHot(s);
  NusseltCopyCold(s);
  EulerCopyCold(s);
  FilmHotUncorrected(s);
  FilmColdUncorrected(s);
  for (int pass = 0; pass < 2; ++pass) {
    WallAndPlate(s, env);
    FilmHotCorrected(s);
    FilmColdCorrected(s);
  }
  // A third pass renews the wall viscosities and the plate conductivity only.
  WallAndPlate(s, env);
  s.k_service = s.duty / (s.lmtd * s.area);
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
  s.margin = 100 * (s.k_calc / s.k_service - 1);
  Pump(env);
  s.dp_ch_h = ChannelDropHot(s);
  s.dp_ch_c = ChannelDropCold(s);
  PortHot(s, s.channels);
  PortCold(s, s.channels);
  s.dp_h = s.dp_ch_h + s.dp_port_h;
  s.dp_c = s.dp_ch_c + s.dp_port_c;
  s.shear_h = Shear(s, 1000, s.dp_ch_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);
  Pump(env);
  s.fouling_out = 0;
  LiquidFoulingCapacity(s, env);
}

void Br_YsSteam(SelectionState& s, Env& env) {
  s.passes = 1;
  CheckGeometry(s);
  s.v_c = s.flow_c / (3600 * s.channel_area * s.channels);
  s.v_h = s.flow_h / (3600 * s.channel_area * s.channels);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  s.re_h = Reynolds(s.rho_steam, s.d_e, s.v_h, s.visc_steam);
  NusseltCopyCold(s);
  EulerCopyCold(s);
  FilmColdUncorrected(s);
  CondensationCoefficient(s);
  WallAndPlate(s, env);
  FilmColdCorrected(s);
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
  s.k_service = s.duty / (s.lmtd * s.area);
  s.margin = 100 * (s.k_calc / s.k_service - 1);
  s.area_excess = s.area - s.area / (1 + 0.01 * s.margin);
  s.dp_h = SteamSideDrop(s);
  s.dp_port_h = 0;
  s.dp_ch_c = ChannelDropCold(s);
  PortCold(s, s.channels);
  s.dp_c = s.dp_ch_c + s.dp_port_c;
  s.shear_h = Shear(s, 3800, s.dp_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);
  SteamFoulingAndSubcooling(s, env);
}

void CheckPackFilms(SelectionState& s, Env& env) {
  CheckGeometry(s);
  W_hc(s, env);
  MixedReynolds(s);
  MixedCorrelations(s, true);
  MixedFilms(s, false);
  MixedMeans(s);
}

void Br_YsMixed(SelectionState& s, Env& env) {
  s.dp_ch_max_h = 50;
  s.dp_ch_max_c = 50;
  WH_HL(s, env);
  CheckPackFilms(s, env);
  MixedWall(s, env);
  MixedChannelDrops(s);
  s.channels_port = std::floor(s.flow_h / (3600 * s.channel_area * s.v_h2));
  PortsMixed(s, s.channels_port);
  s.dp_h = s.dp_ch_h + s.dp_port_h;
  s.dp_c = s.dp_ch_c + s.dp_port_c;

  // Design a pack for the same duty with these drops as limits; its
  // coefficient rates the entered pack.
  s.channels_hm_saved = s.channels_hm;
  s.channels_ml_saved = s.channels_ml;
  s.dp_lim_h = s.dp_h;
  s.dp_lim_c = s.dp_c;
  s.margin_in = 0;
  s.fouling = 0;
  s.fouling_out = 0;
  Br_Js30(s, env);

  s.dp_h = s.dp_lim_h;
  s.dp_c = s.dp_lim_c;
  s.channels_hm = s.channels_hm_saved;
  s.channels_ml = s.channels_ml_saved;
  s.dp_ch_max_h = s.dp_h - s.dp_port_h;
  s.dp_ch_max_c = s.dp_c - s.dp_port_c;
  WH_HL(s, env);
  CheckPackFilms(s, env);
  MixedWallPasses(s, env);

  s.k_service = s.duty / (s.lmtd * s.area);
  s.margin = TruncatedMargin(s.k_clean, s.k_service);
  MixedChannelDrops(s);
  s.dp_h = s.dp_ch_h + s.dp_port_h;
  s.dp_c = s.dp_ch_c + s.dp_port_c;
  s.shear_h = Shear(s, 1000, s.dp_ch_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);

  MixedFoulingSearch(s, env, s.margin >= 0);
  if (s.margin == 0) s.fouling_out = 0;

  if (s.visc_h > 20) ShowMessage(env.form, kViscousMixedWarning, "提示", 48);
}

}  // namespace

// ---------------------------------------------------------------------------
// Public procedures
// ---------------------------------------------------------------------------

void Br_Js1(SelectionState& s, Env& env) {
  const auto& order = FamilySearchOrder(s.model_family);
  for (s.type_index = 1; s.type_index <= 9; ++s.type_index) {
    // A shorter family sizes its last type again; that can never win.
    if (static_cast<size_t>(s.type_index) <= order.size()) s.plate_type = order[s.type_index - 1];
    Br_Cs(s);
    InitialChannels(s);
    if (s.hot_kind == 1)
      LiquidSizingLoop(s, env, Sizing::kSearch);
    else if (s.hot_kind == 2)
      SteamSizingLoop(s, env, Sizing::kSearch);
    BHXH(s);
    if (s.type_index == 1) {
      s.best_area = s.area;
      s.best_plate_type = s.plate_type;
    } else if (s.area < s.best_area && s.passes == 1 && s.channels < kChannelLimit) {
      s.best_area = s.area;
      s.best_plate_type = s.plate_type;
    }
  }
}

void Br_Js2(SelectionState& s, Env& env) {
  Br_Cs(s);
  if (IsMixedPlateType(s.plate_type)) {
    Br_Js2Mixed(s, env);
    return;
  }
  InitialChannels(s);
  if (s.hot_kind == 1) {
    LiquidSizingLoop(s, env, Sizing::kDesign);
    // The reported margin is the one without fouling.
    s.margin = TruncatedMargin(s.k_clean, s.k_service);
    s.channels_hm = s.channels;
    s.channels_ml = 0;
    s.fouling_out = 0;
    LiquidFoulingCapacity(s, env);
  } else if (s.hot_kind == 2) {
    s.passes = 1;
    SteamSizingLoop(s, env, Sizing::kDesign);
    s.channels_hm = s.channels;
    s.channels_ml = 0;
    SteamFoulingAndSubcooling(s, env);
  }
}

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

void Br_Ys(SelectionState& s, Env& env) {
  Br_Cs(s);
  if (IsMixedPlateType(s.plate_type))
    Br_YsMixed(s, env);
  else if (s.hot_kind == 1)
    Br_YsLiquid(s, env);
  else if (s.hot_kind == 2)
    Br_YsSteam(s, env);
}

}  // namespace phe
