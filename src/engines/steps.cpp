// The small steps every engine shares: dimensionless numbers, film
// coefficients, wall passes, channel and port pressure drops.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/exponents.h"
#include "properties/wall.h"

namespace phe::detail {

void Pump(Env& env) { env.form.Yield(); }

namespace {

// From step `first` on (to the next run's first) the sum is value + (n - first)·d.
struct FoulingRun {
  long first;
  double value;
  double d;
};

// Within one binade every sum f + step rounds to f plus the same multiple
// of the binade's spacing, unless the step lies exactly halfway between two
// (then the rounding goes to even and alternates). So the sum runs along a
// binade in equal increments and is added one step at a time only near the
// binade's top and at such a tie: about a hundred runs up to the cap.
const std::vector<FoulingRun>& FoulingRuns() {
  static const std::vector<FoulingRun> runs = [] {
    std::vector<FoulingRun> out = {{0, 0, 0}};
    double f = 0;
    long i = 0;
    while (i < kFoulingStepCap) {
      f = f + kFoulingStep;
      ++i;
      long k = 0;
      double d = 0;
      int e = 0;
      std::frexp(f, &e);  // f in [2^(e-1), 2^e)
      const double top = std::ldexp(1.0, e);
      const double spacing = std::ldexp(1.0, e - 53);
      const double q = std::floor(kFoulingStep / spacing);
      const double next = f + kFoulingStep;
      if (kFoulingStep - q * spacing != spacing / 2 && next < top) {
        d = next - f;
        const double room = std::floor((top - f) / d) - 2;  // steps that keep every sum inside
        if (room >= 1) k = std::min(kFoulingStepCap - i, static_cast<long>(room));
      }
      out.push_back({i, f, k > 0 ? d : 0});
      // A multiple of the spacing inside the binade: exact.
      f = f + static_cast<double>(k) * d;
      i += k;
    }
    return out;
  }();
  return runs;
}

}  // namespace

double FoulingAfterSteps(long n, bool upwards) {
  const auto& runs = FoulingRuns();
  const auto it = std::upper_bound(runs.begin(), runs.end(), n,
                                   [](long x, const FoulingRun& r) { return x < r.first; });
  const FoulingRun& r = *(it - 1);
  const double f = r.value + static_cast<double>(n - r.first) * r.d;
  // Rounding to nearest is symmetric: the steps downwards are the negatives;
  // no step at all is +0 either way.
  return upwards || f == 0 ? f : -f;
}

namespace {

// pow of the last arguments a call site saw, answered again without the
// library call: inside the sizing loops the Prandtl term never changes for a
// candidate and the Reynolds term only once per channel count. Arguments
// compare by their bits, so -0 and NaN are never taken for a repeat.
class RepeatedPow {
 public:
  double operator()(double x, double y) {
    // Any number to the power 0 is exactly 1 (water's wall exponents are 0).
    if (y == 0) return 1;
    const auto xb = std::bit_cast<std::uint64_t>(x), yb = std::bit_cast<std::uint64_t>(y);
    if (!known_ || xb != x_ || yb != y_) {
      x_ = xb;
      y_ = yb;
      r_ = std::pow(x, y);
      known_ = true;
    }
    return r_;
  }

 private:
  std::uint64_t x_ = 0, y_ = 0;
  double r_ = 0;
  bool known_ = false;
};

// One per call site and side, so that hot and cold do not evict each other.
struct FilmPows {
  RepeatedPow wall, re, pr;
};
thread_local FilmPows hot_pows, cold_pows;

double FilmNusselt(FilmPows& p, double coef, double re, double re_exp, double pr, double pr_exp) {
  return coef * p.re(re, re_exp) * p.pr(pr, pr_exp);
}

double FilmNusseltWall(FilmPows& p, double ratio, double ratio_exp, double coef, double re, double re_exp,
                       double pr, double pr_exp) {
  return p.wall(ratio, ratio_exp) * coef * p.re(re, re_exp) * p.pr(pr, pr_exp);
}

}  // namespace

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

void PlateData(SelectionState& s) {
  Br_Cs(s);
  VNM(s);
}

void InitialChannels(SelectionState& s) {
  // 18000 W/m2.C is optimistic, so the loop only ever has to count upwards.
  s.channels = std::trunc(s.duty / (s.passes * 2 * s.plate_area * s.lmtd * 18000));
  if (s.channels == 0) s.channels = 1;
}

void NusseltCopyHot(SelectionState& s) { NusseltCopyHot(s, TypeCorrelations(s.plate_type)); }
void NusseltCopyCold(SelectionState& s) { NusseltCopyCold(s, TypeCorrelations(s.plate_type)); }
void EulerCopyHot(SelectionState& s) { EulerCopyHot(s, TypeCorrelations(s.plate_type)); }
void EulerCopyCold(SelectionState& s) { EulerCopyCold(s, TypeCorrelations(s.plate_type)); }

void NusseltCopyHot(SelectionState& s, const TypeCorrelations& c) {
  s.re_in = s.re_h;
  c.Nu(s);
  s.nu_coef_h = s.nu_coef;
  s.nu_exp_h = s.nu_exp;
}

void NusseltCopyCold(SelectionState& s, const TypeCorrelations& c) {
  s.re_in = s.re_c;
  c.Nu(s);
  s.nu_coef_c = s.nu_coef;
  s.nu_exp_c = s.nu_exp;
}

void EulerCopyHot(SelectionState& s, const TypeCorrelations& c) {
  s.re_in = s.re_h;
  c.Eu(s);
  s.eu_coef_h = s.eu_coef;
  s.eu_exp_h = s.eu_exp;
}

void EulerCopyCold(SelectionState& s, const TypeCorrelations& c) {
  s.re_in = s.re_c;
  c.Eu(s);
  s.eu_coef_c = s.eu_coef;
  s.eu_exp_c = s.eu_exp;
}

void FilmHotUncorrected(SelectionState& s) {
  s.nu_h = FilmNusselt(hot_pows, s.nu_coef_h, s.re_h, s.nu_exp_h, s.pr_h, s.pr_exp_h);
  s.alpha_h = s.lambda_h * s.nu_h / s.d_e;
}

void FilmColdUncorrected(SelectionState& s) {
  s.nu_c = FilmNusselt(cold_pows, s.nu_coef_c, s.re_c, s.nu_exp_c, s.pr_c, s.pr_exp_c);
  s.alpha_c = s.lambda_c * s.nu_c / s.d_e;
}

void FilmHotCorrected(SelectionState& s) {
  s.nu_h = FilmNusseltWall(hot_pows, s.visc_h / s.visc_w_h, s.visc_exp_h, s.nu_coef_h, s.re_h, s.nu_exp_h,
                           s.pr_h, s.pr_exp_h);
  s.alpha_h = s.lambda_h * s.nu_h / s.d_e;
}

void FilmColdCorrected(SelectionState& s) {
  s.nu_c = FilmNusseltWall(cold_pows, s.visc_c / s.visc_w_c, s.visc_exp_c, s.nu_coef_c, s.re_c, s.nu_exp_c,
                           s.pr_c, s.pr_exp_c);
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

void LiquidDrops(SelectionState& s) {
  s.dp_ch_h = ChannelDropHot(s);
  s.dp_ch_c = ChannelDropCold(s);
  PortHot(s, s.channels);
  PortCold(s, s.channels);
  s.dp_h = s.dp_ch_h + s.dp_port_h;
  s.dp_c = s.dp_ch_c + s.dp_port_c;
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

// Film coefficient of condensing steam from the condensate properties.
void CondensationCoefficient(SelectionState& s) { s.alpha_h = CondensationFilm(s, s.re_h); }

double CondensationFilm(const SelectionState& s, double re_h) {
  const double x = s.rho_h * (s.rho_h - s.rho_steam) * std::pow(s.lambda_h, 3) / (9.81 * std::pow(s.visc_h, 2));
  return 1000000 * s.cond_coef * std::pow(re_h, 0.11) * std::pow(x, -1.0 / 3);
}

double SteamSideDrop(const SelectionState& s) { return SteamSideDrop(s, s.re_h, s.v_h); }

double SteamSideDrop(const SelectionState& s, double re_h, double v_h) {
  return 0.000001 * s.steam_dp_coef * std::pow(re_h, 0.78) * (v_h * v_h);
}

}  // namespace phe::detail
