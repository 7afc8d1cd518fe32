#include "properties/media.h"

#include <cmath>
#include <stdexcept>

#include "base/numeric.h"

namespace phe {

namespace {

// Row values of one side's interpolated lookup: the state keeps them between
// lookups, so a temperature without a row reuses the last values found.
struct SideRows {
  double& t0;
  double& r0;
  double& cp0;
  double& l0;
  double& v0;
  double& r1;
  double& cp1;
  double& l1;
  double& v1;
};

SideRows HotRows(SelectionState& s) {
  return {s.lk_t0_h, s.lk_r0_h, s.lk_cp0_h, s.lk_l0_h, s.lk_v0_h,
          s.lk_r1_h, s.lk_cp1_h, s.lk_l1_h, s.lk_v1_h};
}

SideRows ColdRows(SelectionState& s) {
  return {s.lk_t0_c, s.lk_r0_c, s.lk_cp0_c, s.lk_l0_c, s.lk_v0_c,
          s.lk_r1_c, s.lk_cp1_c, s.lk_l1_c, s.lk_v1_c};
}

RecordSet& Open(const std::unique_ptr<RecordSet>& rs, const char* which) {
  if (!rs) throw std::logic_error(std::string("the ") + which + " property table is not open");
  return *rs;
}

// Interval and value columns of a liquid property table.
const ColumnSet kLiquidRows{Criterion::Kind::kLowInclusiveHighExclusive,
                            {"min_T", "max_T", "R", "cP", "L", "V"}};
enum { kR = 2, kCp, kL, kV };

// Reads the rows at Fix(t) and Fix(t) + 1; all four properties, or density
// and specific heat only.
void ReadRows(RecordSet& rs, double t, SideRows w, bool all) {
  const std::vector<int>& c = rs.Columns(kLiquidRows);
  const double t0 = std::trunc(t);
  w.t0 = t0;
  if (rs.FindFirst(kLiquidRows, t0)) {
    w.r0 = rs.Field(c[kR]);
    w.cp0 = rs.Field(c[kCp]);
    if (all) {
      w.l0 = rs.Field(c[kL]);
      w.v0 = rs.Field(c[kV]);
    }
  }
  if (rs.FindFirst(kLiquidRows, t0 + 1)) {
    w.r1 = rs.Field(c[kR]);
    w.cp1 = rs.Field(c[kCp]);
    if (all) {
      w.l1 = rs.Field(c[kL]);
      w.v1 = rs.Field(c[kV]);
    }
  }
}

double Lerp(double p0, double p1, double f) { return p0 + (p1 - p0) * f; }

void AllProps(RecordSet& rs, double t, SideRows w, double& rho, double& cp, double& lambda,
              double& visc, double& pr) {
  ReadRows(rs, t, w, true);
  const double f = t - w.t0;
  rho = Lerp(w.r0, w.r1, f);
  cp = Lerp(w.cp0, w.cp1, f);
  lambda = Lerp(w.l0, w.l1, f);
  visc = Lerp(w.v0, w.v1, f);
  pr = cp * visc / lambda;
}

}  // namespace

void HotRhoCp(SelectionState& s, Env& env) {
  SideRows w = HotRows(s);
  ReadRows(Open(env.rs_hot, "hot medium"), s.t_h_mean, w, false);
  const double f = s.t_h_mean - w.t0;
  s.rho_h = Lerp(w.r0, w.r1, f);
  s.cp_h = Lerp(w.cp0, w.cp1, f);
}

void ColdRhoCp(SelectionState& s, Env& env) {
  SideRows w = ColdRows(s);
  ReadRows(Open(env.rs_cold, "cold medium"), s.t_c_mean, w, false);
  const double f = s.t_c_mean - w.t0;
  s.rho_c = Lerp(w.r0, w.r1, f);
  s.cp_c = Lerp(w.cp0, w.cp1, f);
}

// Saturated steam and its condensate, by the steam temperature.
const ColumnSet kSteamRow{Criterion::Kind::kLowInclusiveHighExclusive,
                          {"min_t", "max_t", "Ic", "Rz", "Cpz", "Lz", "Vz", "R", "cP", "L", "V"}};

void SteamProps(SelectionState& s, Env& env) {
  RecordSet& rs = Open(env.rs_hot, "hot medium");
  const std::vector<int>& c = rs.Columns(kSteamRow);
  // Saturated steam is taken from its row as it stands, not interpolated.
  if (!rs.FindFirst(kSteamRow, s.t_h_in)) return;
  s.latent_heat = rs.Field(c[2]);
  s.rho_steam = rs.Field(c[3]);
  s.cp_steam = static_cast<float>(rs.Field(c[4]));
  s.lambda_steam = rs.Field(c[5]);
  s.visc_steam = rs.Field(c[6]);
  s.rho_h = rs.Field(c[7]);
  s.cp_h = rs.Field(c[8]);
  s.lambda_h = rs.Field(c[9]);
  s.visc_h = rs.Field(c[10]);
}

// The engines go on with the temperatures the balance solved, not with the
// boxes' rounded texts: a flow found for 65.04 degC must not be sized at 65.0.
void MediaProps(SelectionState& s, Env& env) {
  if (s.hot_kind == 1) {
    s.t_wall = (s.t_h_in + s.t_h_out + s.t_c_in + s.t_c_out) / 4;
    s.dt_hot_end = s.t_h_in - s.t_c_out;
    s.dt_cold_end = s.t_h_out - s.t_c_in;
    const double spread = s.dt_hot_end - s.dt_cold_end;
    if (std::trunc(spread) == 0) {
      s.lmtd = (s.dt_hot_end + s.dt_cold_end) / 2;
      s.t_h_mean = (s.t_h_in + s.t_h_out) / 2;
      s.t_c_mean = (s.t_c_in + s.t_c_out) / 2;
    } else {
      s.lmtd = spread / std::log(s.dt_hot_end / s.dt_cold_end);
      const double a = (s.dt_hot_end + s.dt_cold_end) / 2 - s.lmtd;
      s.t_h_mean = (s.t_h_in + s.t_h_out) / 2 - 1.5 * (s.t_h_in - s.t_h_out) * a / spread;
      s.t_c_mean = (s.t_c_in + s.t_c_out) / 2 - 1.5 * (s.t_c_out - s.t_c_in) * a / spread;
    }
    AllProps(Open(env.rs_hot, "hot medium"), s.t_h_mean, HotRows(s), s.rho_h, s.cp_h,
             s.lambda_h, s.visc_h, s.pr_h);
    AllProps(Open(env.rs_cold, "cold medium"), s.t_c_mean, ColdRows(s), s.rho_c, s.cp_c,
             s.lambda_c, s.visc_c, s.pr_c);
  } else if (s.hot_kind == 2) {
    s.t_wall = (s.t_h_in + s.t_h_in + s.t_c_in + s.t_c_out) / 4;
    s.t_h_mean = s.t_h_in;
    s.t_c_mean = (s.t_c_in + s.t_c_out) / 2;
    s.lmtd = ((s.t_h_in - s.t_c_in) - (s.t_h_in - s.t_c_out)) /
             std::log((s.t_h_in - s.t_c_in) / (s.t_h_in - s.t_c_out));
    AllProps(Open(env.rs_cold, "cold medium"), s.t_c_mean, ColdRows(s), s.rho_c, s.cp_c,
             s.lambda_c, s.visc_c, s.pr_c);
    SteamProps(s, env);
  }
}

}  // namespace phe
