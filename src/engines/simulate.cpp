// The simulation (`Br_Mn`): what a given pack delivers. Inlets, flows and the
// pack are given; the outlets follow from the pack rated as the check rates
// it, at the properties of the temperatures the iteration converges to.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/exponents.h"
#include "properties/media.h"
#include "properties/wall.h"

namespace phe {

namespace {

using namespace detail;

// The outlets are shown to 0.01 ℃; the iteration stops well inside that.
constexpr double kOutletTolerance = 0.0005;  // ℃
constexpr int kIterationCap = 200;

double Capacity(double flow, double rho, double cp) { return flow * rho * cp / 3.6; }

// Properties, exponents and plate data at the state's four temperatures, each
// time from the plate conductivity at 0 ℃ as a fresh run starts.
void PrepareAt(SelectionState& s, Env& env) {
  MediaProps(s, env);
  s.t_wall = 0;
  BP(s, env);
  PRM(s);
  VEM(s);
  PlateData(s);
}

// Heat the pack passes at the current properties, with the fouling in k.
double PackHeat(SelectionState& s, Env& env) {
  const double dt_in = s.t_h_in - s.t_c_in;
  const double c_c = Capacity(s.flow_c, s.rho_c, s.cp_c);
  if (IsMixedPlateType(s.plate_type))
    return RateMixedPack(s, env, s.channels_hm, s.channels_ml, s.fouling).duty;
  if (s.hot_kind == 2) {
    RateSteamPack(s, env);
  } else {
    RateLiquidPack(s, env);
  }
  const double k = 0.95 / (0.95 / s.k_calc + s.fouling);
  const double c_h = s.hot_kind == 2 ? std::numeric_limits<double>::infinity()
                                     : Capacity(s.flow_h, s.rho_h, s.cp_h);
  return CounterflowHeat(c_h, c_c, k * s.area, dt_in);
}

// Steam: the mass and volume flow that condense the duty.
void SteamFlowOf(SelectionState& s, double duty) {
  s.steam_flow = 3.6 * duty / s.latent_heat;
  s.flow_h = s.steam_flow / s.rho_steam;
}

}  // namespace

void Br_Mn(SelectionState& s, Env& env) {
  // A mixed pack of one kind is that kind's pack.
  std::string mixed_type;
  if (IsMixedPlateType(s.plate_type) && (s.channels_hm <= 0 || s.channels_ml <= 0)) {
    mixed_type = s.plate_type;
    s.plate_type = KindPlateType(mixed_type, s.channels_hm > 0 ? 1 : 2);
  }
  const double dt_in = s.t_h_in - s.t_c_in;
  // A start inside the temperature range, far from crossing.
  s.t_h_out = s.hot_kind == 2 ? s.t_h_in : s.t_h_in - 0.25 * dt_in;
  s.t_c_out = s.t_c_in + 0.25 * dt_in;
  double duty = 0;
  bool converged = false;
  for (int i = 0; i < kIterationCap && !converged; ++i) {
    PrepareAt(s, env);
    // A flow entered by mass is the volume at the density of this trial's outlets.
    if (s.hot_kind == 1 && s.mass_flow_h > 0) s.flow_h = s.mass_flow_h / s.rho_h;
    if (s.mass_flow_c > 0) s.flow_c = s.mass_flow_c / s.rho_c;
    if (s.hot_kind == 2) SteamFlowOf(s, i == 0 ? 0.25 * dt_in * Capacity(s.flow_c, s.rho_c, s.cp_c) : duty);
    duty = PackHeat(s, env);
    const double t_h_out = s.hot_kind == 2 ? s.t_h_in : s.t_h_in - duty / Capacity(s.flow_h, s.rho_h, s.cp_h);
    const double t_c_out = s.t_c_in + duty / Capacity(s.flow_c, s.rho_c, s.cp_c);
    // Tables read by rows (wall, correlations) can make the rating jump
    // between two outlets a hundredth apart; the steps then shrink until the
    // outlets settle between them.
    const double w = i < 10 ? 1 : std::pow(0.5, (i - 10) / 10 + 1);
    const double step_h = w * (t_h_out - s.t_h_out);
    const double step_c = w * (t_c_out - s.t_c_out);
    converged = std::abs(step_h) < kOutletTolerance && std::abs(step_c) < kOutletTolerance;
    s.t_h_out += step_h;
    s.t_c_out += step_c;
    Pump(env);
  }
  if (!converged || !(duty > 0)) {
    ShowMessage(env.form, Message("simulate.not_converged"), "title.error", 16);
    throw RunAborted{};
  }
  // Outlets and duty of one rating, so that the heat balance closes exactly.
  if (s.hot_kind != 2) s.t_h_out = s.t_h_in - duty / Capacity(s.flow_h, s.rho_h, s.cp_h);
  s.t_c_out = s.t_c_in + duty / Capacity(s.flow_c, s.rho_c, s.cp_c);
  // The outlets close the balance at the properties of the corrected means.
  s.t_balance_h = s.hot_kind == 2 ? 0 : s.t_h_mean;
  s.t_balance_c = s.t_c_mean;
  s.rho_balance_h = s.hot_kind == 2 ? 0 : s.rho_h;
  s.cp_balance_h = s.hot_kind == 2 ? 0 : s.cp_h;
  s.rho_balance_c = s.rho_c;
  s.cp_balance_c = s.cp_c;
  // The result is the check of the converged case: the same films, drops and
  // warnings, and the fouling the pack still carries at that duty.
  PrepareAt(s, env);
  s.duty = duty;
  if (s.hot_kind == 2) SteamFlowOf(s, duty);
  Br_Ys(s, env);
  s.duty_calc = duty;
  if (!mixed_type.empty()) AnnounceOneKind(s, env, mixed_type);
}

}  // namespace phe
