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

// The last count from n (which fails) that `fails`, a test true up to some
// count and false after it; no count at or beyond the limit fails.
template <class Fails>
double LastFailing(double n, Fails&& fails) {
  auto test = [&](double m) { return m < kChannelLimit && fails(m); };
  double failing = n, passing = n + 1;
  for (double step = 1; test(passing); step = 2 * step) {
    failing = passing;
    passing = n + 2 * step;
  }
  while (passing - failing > 1) {
    const double mid = std::floor((failing + passing) / 2);
    (test(mid) ? failing : passing) = mid;
  }
  return failing;
}

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

bool ChannelBound::RulesOut(const SelectionState& s, double n) const { return LastRuledOut(s, n) >= n; }

double ChannelBound::LastRuledOut(const SelectionState& s, double n) const {
  if (!valid_ || !(n < kChannelLimit)) return n - 1;
  // The loops' own expressions, so that the correlation ranges are the ones they find.
  const bool steam = s.hot_kind == 2;
  Speeds at;
  SpeedsAt(s, n, at);
  double coef = 0, exp = 0, alpha_h = 0, alpha_c = 0;
  bool falling = true;  // both films fall with more channels
  if (steam) {
    // The steam side's drop has no wall term: it is the loop's own. (The
    // search may stop at a count over its drops, where the ports dominate.)
    if (mode_ == Sizing::kDesign && SteamSideDrop(s, at.re_h, at.v_h) > s.dp_max_h) return n;
    if (!corr_.NuAt(at.re_c, coef, exp)) return n - 1;
    alpha_h = condensation_ * std::pow(at.re_h, 0.11);
    alpha_c = s.lambda_c * (coef * std::pow(at.re_c, exp) * pr_c_) / s.d_e;
    falling = exp >= 0;
  } else {
    double coef_h = 0, exp_h = 0;
    if (!corr_.NuAt(at.re_h, coef_h, exp_h) || !corr_.NuAt(at.re_c, coef, exp)) return n - 1;
    alpha_h = s.lambda_h * (coef_h * std::pow(at.re_h, exp_h) * pr_h_) / s.d_e;
    alpha_c = s.lambda_c * (coef * std::pow(at.re_c, exp) * pr_c_) / s.d_e;
    falling = exp_h >= 0 && exp >= 0;
  }
  // Positive films keep every wall between the media, where the wall bounds hold.
  if (!Positive(alpha_h) || !Positive(alpha_c)) return n - 1;
  // The margin first: once the films are known it costs no power. A film
  // that grows with the count bounds no later count.
  if (MarginFails(s, n, alpha_h, alpha_c)) return falling ? MarginBlockEnd(s, n, at, alpha_h, alpha_c) : n;
  if (mode_ != Sizing::kDesign) return n - 1;
  if (!steam && DropFails(s, n, at.v_h, at.re_h, true)) return DropBlockEnd(s, n, at, true);
  if (DropFails(s, n, at.v_c, at.re_c, false)) return DropBlockEnd(s, n, at, false);
  return n - 1;
}

void ChannelBound::SpeedsAt(const SelectionState& s, double n, Speeds& at) const {
  if (s.hot_kind == 2) {
    at.v_c = s.flow_c / (3600 * n * s.channel_area);
    at.v_h = s.flow_h / (3600 * n * s.channel_area);
    at.re_c = Reynolds(s.rho_c, s.d_e, at.v_c, s.visc_c);
    at.re_h = Reynolds(s.rho_steam, s.d_e, at.v_h, s.visc_steam);
  } else {
    at.v_h = s.flow_h / (3600 * n * s.channel_area);
    at.v_c = at.v_h * s.flow_c / s.flow_h;
    at.re_h = Reynolds(s.rho_h, s.d_e, at.v_h, s.visc_h);
    at.re_c = Reynolds(s.rho_c, s.d_e, at.v_c, s.visc_c);
  }
}

// More channels lower both Reynolds numbers and speeds (every step of their
// expressions is monotone, rounding included). Within the correlation ranges
// found at n the bounds below therefore hold for every count from n to m, and
// whether m fails them is true up to one count and false after it, which a
// doubling and a bisection find.
double ChannelBound::MarginBlockEnd(const SelectionState& s, double n, const Speeds& at, double alpha_h,
                                    double alpha_c) const {
  // A film with a non-negative exponent only falls: the films at n bound
  // those of the later counts, and the margin they give grows with the area.
  const bool steam = s.hot_kind == 2;
  const int range_h = steam ? 0 : corr_.NuRange(at.re_h), range_c = corr_.NuRange(at.re_c);
  return LastFailing(n, [&](double m) {
    Speeds later;
    SpeedsAt(s, m, later);
    if (corr_.NuRange(later.re_c) != range_c || (!steam && corr_.NuRange(later.re_h) != range_h)) return false;
    return MarginFails(s, m, alpha_h, alpha_c);
  });
}

double ChannelBound::DropBlockEnd(const SelectionState& s, double n, const Speeds& at, bool hot) const {
  // The channel drop from n to m is at least the one with m's speed and, of
  // Re^exp, the smaller end.
  const double re_n = hot ? at.re_h : at.re_c;
  double coef = 0, exp = 0;
  if (!corr_.EuAt(re_n, coef, exp)) return n;
  const int range = corr_.EuRange(re_n);
  // The distribution term rises with the count in each of its two pieces
  // when no coefficient is negative: the port loss is then least at n or at
  // the second piece's first count, else at least its single-pass value.
  constexpr double kSecondPiece = 25;
  const bool rising = s.port_k1 >= 0 && s.port_k3 >= 0 && s.port_k4 >= 0;
  auto port_at = [&](double m) {
    return PortLoss(s, hot, PortDistributionTerm(m, s.port_k1, s.port_k2, s.port_k3, s.port_k4));
  };
  const double single_pass = PortLoss(s, hot, 0);
  const double port_n = rising ? port_at(n) : single_pass;
  const double port_second = rising && n < kSecondPiece ? std::min(port_n, port_at(kSecondPiece)) : port_n;
  if (!(single_pass >= 0) || !(s.passes >= 0)) return n;
  const double pow_n = std::pow(re_n, exp);
  return LastFailing(n, [&](double m) {
    Speeds later;
    SpeedsAt(s, m, later);
    const double v = hot ? later.v_h : later.v_c, re = hot ? later.re_h : later.re_c;
    if (corr_.EuRange(re) != range) return false;
    const double channel = ChannelDropAtLeast(s, hot, v, coef, exp < 0 ? pow_n : std::pow(re, exp)) * (1 - kSlack);
    const double port = m < kSecondPiece ? port_n : port_second;
    return Positive(channel) && channel + port > (hot ? s.dp_max_h : s.dp_max_c);
  });
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
  const double channel = ChannelDropAtLeast(s, hot, v, coef, std::pow(re, exp));
  const double port = PortLoss(s, hot, PortDistributionTerm(n, s.port_k1, s.port_k2, s.port_k3, s.port_k4));
  return Positive(channel) && channel + port > (hot ? s.dp_max_h : s.dp_max_c);
}

// The channel drop at speed v with Re^exp given, at the smallest wall factor.
double ChannelBound::ChannelDropAtLeast(const SelectionState& s, bool hot, double v, double coef,
                                        double re_power) const {
  const double rho = hot ? s.rho_h : s.rho_c;
  return (hot ? drop_h_ : drop_c_) * 0.001 * s.passes * (v * v) * rho * coef * re_power * (1 - kSlack);
}

// The port loss of one side with distribution term g, as the loops rate it.
double ChannelBound::PortLoss(const SelectionState& s, bool hot, double g) const {
  return PortPressureDrop(s.port_zeta, hot ? s.rho_h : s.rho_c,
                          PortVelocity(hot ? s.flow_h : s.flow_c, hot ? s.port_d_h : s.port_d_c), s.passes, g);
}

}  // namespace phe::detail
