// Counts of a design that bounds of the coefficient and the pressure drops
// rule out before they are rated.
#include <algorithm>
#include <cmath>

#include "engines/steps.h"
#include "properties/wall.h"

namespace phe::detail {

long LookupMisses(const Env& env) {
  long n = 0;
  for (const auto* rs : {&env.rs_hot, &env.rs_cold, &env.rs_bpdrxs})
    if (*rs) n += (*rs)->Misses();
  return n;
}

namespace {

bool Positive(double x) { return x > 0 && std::isfinite(x); }

// The extremes of (visc / visc_w)^exp over visc_w in [v_lo, v_hi]: pow is
// monotone in its base, so the ends give them, whatever the exponent's sign.
double LargestCorrection(double visc, double exp, double v_lo, double v_hi) {
  return std::max(std::pow(visc / v_lo, exp), std::pow(visc / v_hi, exp));
}
double SmallestCorrection(double visc, double exp, double v_lo, double v_hi) {
  return std::min(std::pow(visc / v_lo, exp), std::pow(visc / v_hi, exp));
}

// The loop's rounding, and the bounds' own, lie far inside this.
constexpr double kSlack = 1e-9;

}  // namespace

ChannelBound::ChannelBound(const SelectionState& s, Env& env, const TypeCorrelations& corr, Sizing mode)
    : corr_(corr), mode_(mode) {
  const bool liquid = s.hot_kind == 1;
  if ((!liquid && s.hot_kind != 2) || !env.rs_cold || !env.rs_bpdrxs || (liquid && !env.rs_hot)) return;
  if (!Positive(s.plate_thickness) || !Positive(s.visc_c) || (liquid && !Positive(s.visc_h))) return;
  // A wall temperature is a mean of the two media's, weighted by positive
  // films and plate resistance; the pad covers its last bits.
  const double lo0 = std::min(s.t_c_mean, s.t_h_mean), hi0 = std::max(s.t_c_mean, s.t_h_mean);
  const double pad = 1e-9 * (1 + std::fabs(lo0) + std::fabs(hi0));
  const double lo = lo0 - pad, hi = hi0 + pad;
  double v_lo = 0, v_hi = 0;
  if (!WallViscositySpan(*env.rs_cold, lo, hi, v_lo, v_hi) || !Positive(v_lo)) return;
  wall_c_ = LargestCorrection(s.visc_c, s.visc_exp_c, v_lo, v_hi);
  drop_c_ = SmallestCorrection(s.visc_c, s.visc_exp_dp_c, v_lo, v_hi);
  if (liquid) {
    if (!WallViscositySpan(*env.rs_hot, lo, hi, v_lo, v_hi) || !Positive(v_lo)) return;
    wall_h_ = LargestCorrection(s.visc_h, s.visc_exp_h, v_lo, v_hi);
    drop_h_ = SmallestCorrection(s.visc_h, s.visc_exp_dp_h, v_lo, v_hi);
    pr_h_ = std::pow(s.pr_h, s.pr_exp_h);
  } else {
    wall_h_ = drop_h_ = pr_h_ = 1;  // condensation has no wall correction
    // The film's factors but Re^0.11, which the margin's slack lets round apart.
    condensation_ = CondensationFilm(s, 1);
    if (!Positive(condensation_)) return;
  }
  // A design restarts each count from the conductivity at 0 degC, the search
  // its first count from the one it was handed.
  double l0_lo = s.lambda_plate, l0_hi = s.lambda_plate, l_lo = 0, l_hi = 0;
  if (mode == Sizing::kDesign && !PlateConductivitySpan(s, env, 0, 0, l0_lo, l0_hi)) return;
  if (!PlateConductivitySpan(s, env, lo, hi, l_lo, l_hi, mode == Sizing::kSearch ? &plates_ : nullptr)) return;
  if (!Positive(std::min(l0_lo, l_lo)) || !Positive(std::max(l0_hi, l_hi))) return;
  std::sort(plates_.begin(), plates_.end());
  plates_.erase(std::unique(plates_.begin(), plates_.end()), plates_.end());
  pr_c_ = std::pow(s.pr_c, s.pr_exp_c);
  plate_r_ = s.plate_thickness * 0.001 / std::max(l0_hi, l_hi);
  valid_ = Positive(wall_h_) && Positive(wall_c_) && Positive(drop_h_) && Positive(drop_c_) && Positive(pr_h_) &&
           Positive(pr_c_) && std::isfinite(plate_r_);
}

bool ChannelBound::RulesOut(const SelectionState& s, double n) const {
  if (!valid_ || !(n < kChannelLimit)) return false;
  // The loops' own expressions, so that the correlation ranges are the ones they find.
  double coef = 0, exp = 0;
  if (s.hot_kind == 2) {
    const double v_c = s.flow_c / (3600 * n * s.channel_area);
    const double v_h = s.flow_h / (3600 * n * s.channel_area);
    const double re_c = Reynolds(s.rho_c, s.d_e, v_c, s.visc_c);
    const double re_h = Reynolds(s.rho_steam, s.d_e, v_h, s.visc_steam);
    // The steam side's drop has no wall term: it is the loop's own. (The
    // search may stop at a count over its drops, where the ports dominate.)
    if (mode_ == Sizing::kDesign && SteamSideDrop(s, re_h, v_h) > s.dp_max_h) return true;
    if (!corr_.NuAt(re_c, coef, exp)) return false;
    const double alpha_h = condensation_ * std::pow(re_h, 0.11);
    const double alpha_c = s.lambda_c * (coef * std::pow(re_c, exp) * pr_c_) / s.d_e;
    // Positive films keep every wall between the media, where the wall bounds hold.
    if (!Positive(alpha_h) || !Positive(alpha_c)) return false;
    // The margin first: once the films are known it costs no power.
    if (MarginFails(s, n, alpha_h, alpha_c)) return true;
    return mode_ == Sizing::kDesign && DropFails(s, n, v_c, re_c, false);
  }
  const double v_h = s.flow_h / (3600 * n * s.channel_area);
  const double v_c = v_h * s.flow_c / s.flow_h;
  const double re_h = Reynolds(s.rho_h, s.d_e, v_h, s.visc_h);
  const double re_c = Reynolds(s.rho_c, s.d_e, v_c, s.visc_c);
  if (!corr_.NuAt(re_h, coef, exp)) return false;
  const double alpha_h = s.lambda_h * (coef * std::pow(re_h, exp) * pr_h_) / s.d_e;
  if (!corr_.NuAt(re_c, coef, exp)) return false;
  const double alpha_c = s.lambda_c * (coef * std::pow(re_c, exp) * pr_c_) / s.d_e;
  if (!Positive(alpha_h) || !Positive(alpha_c)) return false;
  if (MarginFails(s, n, alpha_h, alpha_c)) return true;
  return mode_ == Sizing::kDesign && (DropFails(s, n, v_h, re_h, true) || DropFails(s, n, v_c, re_c, false));
}

// alpha_h and alpha_c are the films before their wall correction, both positive.
bool ChannelBound::MarginFails(const SelectionState& s, double n, double alpha_h, double alpha_c) const {
  const double r = 1 / (alpha_h * wall_h_) + 1 / (alpha_c * wall_c_) + plate_r_ + s.fouling;
  if (!Positive(r)) return false;
  const double k = 0.95 / r * (1 + kSlack);
  const double k_service = s.duty / (s.lmtd * (s.plate_area * (2 * s.passes * n - 1)));
  if (!Positive(k_service)) return false;
  return 100 * (k / k_service - 1) < s.margin_in - 1e-6;
}

// The port loss is the loop's own; the channel drop is bounded below.
bool ChannelBound::DropFails(const SelectionState& s, double n, double v, double re, bool hot) const {
  double coef = 0, exp = 0;
  if (!corr_.EuAt(re, coef, exp)) return false;
  const double rho = hot ? s.rho_h : s.rho_c;
  const double channel =
      (hot ? drop_h_ : drop_c_) * 0.001 * s.passes * (v * v) * rho * coef * std::pow(re, exp) * (1 - kSlack);
  const double g = PortDistributionTerm(n, s.port_k1, s.port_k2, s.port_k3, s.port_k4);
  const double port =
      PortPressureDrop(s.port_zeta, rho, PortVelocity(hot ? s.flow_h : s.flow_c, hot ? s.port_d_h : s.port_d_c),
                       s.passes, g);
  return Positive(channel) && channel + port > (hot ? s.dp_max_h : s.dp_max_c);
}

}  // namespace phe::detail
