// The small steps every engine shares: dimensionless numbers, film
// coefficients, wall passes, channel and port pressure drops.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/exponents.h"
#include "properties/wall.h"

namespace phe::detail {

void Pump(Env& env) { env.form.Yield(); }

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
void CondensationCoefficient(SelectionState& s) {
  const double x = s.rho_h * (s.rho_h - s.rho_steam) * std::pow(s.lambda_h, 3) / (9.81 * std::pow(s.visc_h, 2));
  s.alpha_h = 1000000 * s.cond_coef * std::pow(s.re_h, 0.11) * std::pow(x, -1.0 / 3);
}

double SteamSideDrop(const SelectionState& s) {
  return 0.000001 * s.steam_dp_coef * std::pow(s.re_h, 0.78) * (s.v_h * s.v_h);
}

}  // namespace phe::detail
