#include "properties/wall.h"

#include <cmath>
#include <stdexcept>

namespace phe {

namespace {

RecordSet& Open(const std::unique_ptr<RecordSet>& rs, const char* which) {
  if (!rs) throw std::logic_error(std::string("the ") + which + " table is not open");
  return *rs;
}

// Wall temperatures of the series chain 1/alpha_h, plate, 1/alpha_c between
// the two mean bulk temperatures.
void WallTemperatures(const SelectionState& s, double alpha_h, double alpha_c, double& t_w_h,
                      double& t_w_c) {
  const double r = s.plate_thickness * 0.001 / s.lambda_plate;
  t_w_h = (s.t_c_mean + s.t_h_mean * (alpha_h / alpha_c + alpha_h * r)) /
          (1 + alpha_h / alpha_c + alpha_h * r);
  t_w_c = (t_w_h + s.t_c_mean * alpha_c * r) / (1 + alpha_c * r);
}

// std::trunc, bit for bit (the sign of -0 included), by a conversion to a
// whole number where one holds the value: without SSE4.1 the library's
// trunc is a dozen instructions, and the wall lookups take it at every pass.
double Whole(double t) {
  if (!(std::fabs(t) < 4503599627370496.0)) return std::trunc(t);  // 2^52; NaN, infinities
  return std::copysign(static_cast<double>(static_cast<long long>(t)), t);
}

const ColumnSet kViscosityRows{Criterion::Kind::kLowInclusiveHighExclusive, {"min_T", "max_T", "V"}};

// Viscosity at a wall temperature, interpolated between whole degrees. The
// working values are shared by every wall lookup. The kind-2 lookups keep
// their upper value in single precision.
double WallViscosity(SelectionState& s, RecordSet& rs, double t, bool kind2) {
  // The wall lies between the two media and may leave a table that ends at
  // its source's range (a glycol at 100 degC against hotter water): there the
  // value at the table's end stands in, never the last value found elsewhere.
  double first = 0, last = 0;
  double t0 = Whole(t);
  if (rs.RowSpan(first, last)) {
    if (t0 < first) {
      t = first;
      t0 = Whole(t);
    } else if (t0 >= last) {
      t = last;
      t0 = Whole(t);
    }
  }
  const std::vector<int>& c = rs.Columns(kViscosityRows);
  const int v = c[2];
  if (rs.FindFirst(kViscosityRows.kind, c[0], c[1], t0)) s.wall_v0 = rs.Field(v);
  double v1;
  if (kind2) {
    if (rs.FindFirst(kViscosityRows.kind, c[0], c[1], t0 + 1)) s.wall_v1_2 = static_cast<float>(rs.Field(v));
    v1 = s.wall_v1_2;
  } else {
    if (rs.FindFirst(kViscosityRows.kind, c[0], c[1], t0 + 1)) s.wall_v1 = rs.Field(v);
    v1 = s.wall_v1;
  }
  return s.wall_v0 + (t - t0) * (v1 - s.wall_v0);
}

// Here a temperature on a row's upper bound belongs to that row.
const ColumnSet kConductivityRows{Criterion::Kind::kLowExclusiveHighInclusive,
                                  {"min_t", "max_t", "SUS304", "SUS316"}};

}  // namespace

bool WallViscositySpan(RecordSet& rs, double t_lo, double t_hi, double& v_lo, double& v_hi) {
  if (!(t_lo >= 0 && t_lo <= t_hi)) return false;
  // No clamping to the table's ends: every t0 and t0 + 1 is a row of its own.
  double first = 0, last = 0;
  if (!rs.RowSpan(first, last) || Whole(t_lo) < first || Whole(t_hi) >= last) return false;
  const std::vector<int>& c = rs.Columns(kViscosityRows);
  return rs.ValueSpan(kViscosityRows.kind, c[0], c[1], c[2], Whole(t_lo), Whole(t_hi) + 1, v_lo, v_hi);
}

bool PlateConductivitySpan(const SelectionState& s, Env& env, double t_lo, double t_hi, double& l_lo,
                           double& l_hi, std::vector<float>* values) {
  const int material = env.form.ListIndex("Com_bpc");
  if (material != 0 && material != 1) {
    l_lo = l_hi = s.lambda_plate;  // BP keeps it
    if (values) values->assign(1, s.lambda_plate);
    return true;
  }
  RecordSet& rs = Open(env.rs_bpdrxs, "plate conductivity");
  const std::vector<int>& c = rs.Columns(kConductivityRows);
  double lo = 0, hi = 0;
  std::vector<double> rows;
  if (!rs.ValueSpan(kConductivityRows.kind, c[0], c[1], c[2 + material], t_lo, t_hi, lo, hi,
                    values ? &rows : nullptr))
    return false;
  // BP rounds to single precision, which keeps the order.
  l_lo = static_cast<float>(lo);
  l_hi = static_cast<float>(hi);
  if (values) {
    values->clear();
    for (double v : rows) values->push_back(static_cast<float>(v));
  }
  return true;
}

void BW(SelectionState& s, Env& env) {
  WallTemperatures(s, s.alpha_h, s.alpha_c, s.t_w_h, s.t_w_c);
  // Condensing steam has no wall viscosity of its own.
  if (s.hot_kind == 1) s.visc_w_h = WallViscosity(s, Open(env.rs_hot, "hot medium"), s.t_w_h, false);
  if (s.hot_kind == 1 || s.hot_kind == 2)
    s.visc_w_c = WallViscosity(s, Open(env.rs_cold, "cold medium"), s.t_w_c, false);
}

void BW12(SelectionState& s, Env& env) {
  WallTemperatures(s, s.alpha_h1, s.alpha_c1, s.t_w_h1, s.t_w_c1);
  WallTemperatures(s, s.alpha_h2, s.alpha_c2, s.t_w_h2, s.t_w_c2);
  RecordSet& hot = Open(env.rs_hot, "hot medium");
  RecordSet& cold = Open(env.rs_cold, "cold medium");
  s.visc_w_h1 = WallViscosity(s, hot, s.t_w_h1, false);
  s.visc_w_c1 = WallViscosity(s, cold, s.t_w_c1, false);
  s.visc_w_h2 = WallViscosity(s, hot, s.t_w_h2, true);
  s.visc_w_c2 = WallViscosity(s, cold, s.t_w_c2, true);
}

void BP(SelectionState& s, Env& env) {
  RecordSet& rs = Open(env.rs_bpdrxs, "plate conductivity");
  const std::vector<int>& c = rs.Columns(kConductivityRows);
  if (rs.FindFirst(kConductivityRows.kind, c[0], c[1], s.t_wall)) {
    s.lambda_sus304 = rs.Field(c[2]);
    s.lambda_sus316 = rs.Field(c[3]);
  }
  switch (env.form.ListIndex("Com_bpc")) {
    case 0: s.lambda_plate = static_cast<float>(s.lambda_sus304); break;
    case 1: s.lambda_plate = static_cast<float>(s.lambda_sus316); break;
    default: break;  // no material chosen: keep the last conductivity
  }
}

}  // namespace phe
