#include "workflow/transfer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "base/numeric.h"

namespace phe {

namespace {

double ValueOf(Env& env, const char* control) { return Val(env.form.Text(control)); }

// A single-precision value shown as its own shortest decimal (123.4, not the
// 123.400001525879 of its double image).
std::string FormatSingle(float x) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x);
  double d = 0;
  std::from_chars(buf, r.ptr, d);
  return FormatGeneral(d);
}

// The shortest of 1 to 6 decimals that gives the value back, so that an
// entered 65.04 is not shown, and next read, as 65.0.
std::string Exact(double x) {
  for (int d = 1; d <= 6; ++d) {
    std::string t = FormatFixed(x, d);
    if (std::abs(Val(t) - x) <= 1e-9 * std::max(1.0, std::abs(x))) return t;
  }
  return FormatGeneral(x);
}

// A computed flow or duty to at least `digits` significant digits: one shown
// with one decimal changed the duty by up to 8 % when typed in again.
std::string Significant(double x, int digits) {
  if (x == 0) return FormatFixed(0, 1);
  const int magnitude = x == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::abs(x))));
  return FormatFixed(x, std::max(1, digits - 1 - magnitude));
}

// A computed temperature as the balance solved it, to 0.01 degC; one on the
// 0.1 degC grid keeps its single decimal.
std::string Temperature(double t) {
  const std::string grid = FormatFixed(t, 1);
  return std::abs(Val(grid) - t) < 1e-9 ? grid : FormatFixed(t, 2);
}

// A box the user gave keeps its input (a split's per-unit value must not
// replace the plant's); any other box shows the value the run computed,
// which stays a result until the user edits it.
void Fill(SelectionState& s, Env& env, const char* box, float given, double value,
          const std::string& computed) {
  if (given != 0) {
    env.computed_texts.erase(box);
    if (s.units <= 1) env.form.SetText(box, Exact(value));
    return;
  }
  env.form.SetText(box, computed);
  env.computed_texts[box] = env.form.Text(box);
}

void WriteBalance(SelectionState& s, Env& env) {
  // A simulation's outlets are its answer, converged to 0.01 degC.
  auto outlet = [&](double t) { return s.calc_mode == 3 ? FormatFixed(t, 2) : Temperature(t); };
  const double kw = s.duty / 1000;
  Fill(s, env, "Txt_Wq", s.given_duty, kw, Significant(kw, 4));
  Fill(s, env, "Txt_Qh", s.given_flow_h, s.flow_h, Significant(s.flow_h, 4));
  Fill(s, env, "Txt_Qc", s.given_flow_c, s.flow_c, Significant(s.flow_c, 4));
  Fill(s, env, "Txt_Tc1", s.given_t_c_in, s.t_c_in, Temperature(s.t_c_in));
  Fill(s, env, "Txt_Tc2", s.given_t_c_out, s.t_c_out, outlet(s.t_c_out));
  Fill(s, env, "Txt_Th1", s.given_t_h_in, s.t_h_in, Temperature(s.t_h_in));
  Fill(s, env, "Txt_Th2", s.given_t_h_out, s.t_h_out, outlet(s.t_h_out));
}

}  // namespace

void txttj_in(SelectionState& s, Env& env) {
  const int h = env.form.ListIndex("Com_jh");
  const int c = env.form.ListIndex("Com_jc");
  s.medium_h_index = static_cast<int16_t>(h < 0 ? 0 : h + 1);
  s.medium_c_index = static_cast<int16_t>(c < 0 ? 0 : c + 1);
  s.duty = ValueOf(env, "Txt_Wq") * 1000;
  s.flow_h = ValueOf(env, "Txt_Qh");
  s.flow_c = ValueOf(env, "Txt_Qc");
  s.t_h_in = ValueOf(env, "Txt_Th1");
  s.t_h_out = ValueOf(env, "Txt_Th2");
  s.t_c_in = ValueOf(env, "Txt_Tc1");
  s.t_c_out = ValueOf(env, "Txt_Tc2");
  s.dp_max_h = ValueOf(env, "Txt_Ph");
  s.dp_max_c = ValueOf(env, "Txt_Pc");
  s.passes = ValueOf(env, "Txt_N");
  if (s.calc_mode == 2 || s.calc_mode == 3) {
    s.channels_hm = ValueOf(env, "Txt_nh");
    s.channels_ml = ValueOf(env, "Txt_nl");
    s.plate_type = env.form.Text("com_br") + "-" + env.form.Text("com_zh");
  }
}

void txtcs_out(SelectionState& s, Env& env) { WriteBalance(s, env); }

void txtjg_out(SelectionState& s, Env& env) {
  // A pure L pack designed here keeps its channel count in the second field.
  if (s.calc_mode == 1 && EqualsNoCase(s.arrangement_type, "L")) {
    env.form.SetText("Txt_nl", FormatWhole(s.channels_hm));
    env.form.SetText("Txt_nh", FormatWhole(s.channels_ml));
  } else {
    env.form.SetText("Txt_nh", FormatWhole(s.channels_hm));
    env.form.SetText("Txt_nl", FormatWhole(s.channels_ml));
  }
  WriteBalance(s, env);
  env.form.SetText("com_br", s.model_code);
  env.form.SetText("com_zh", s.arrangement_type);

  env.form.SetText("Txt_D1", FormatGeneral(s.port_d_c));
  env.form.SetText("Txt_D2", FormatGeneral(s.port_d_h));
  env.form.SetText("Txt_K", FormatWhole(s.k_service));
  env.form.SetText("Txt_RHC1", FormatFixed(s.fouling_out, 6));
  env.form.SetText("Txt_GF", FormatWhole(s.margin));
  env.form.SetText("Txt_F", FormatFixed(s.area, 1));
  env.form.SetText("Txt_TM", FormatFixed(s.lmtd, 1));
  env.form.SetText("Txt_Ph1", FormatFixed(s.dp_h, 2));
  env.form.SetText("Txt_Ph2", FormatFixed(s.dp_port_h, 2));
  env.form.SetText("Txt_Pc1", FormatFixed(s.dp_c, 2));
  env.form.SetText("Txt_Pc2", FormatFixed(s.dp_port_c, 2));
  env.form.SetText("Txt_Wlh", FormatFixed(s.v_port_h, 2));
  env.form.SetText("Txt_Wlc", FormatFixed(s.v_port_c, 2));
  env.form.SetText("Txt_Br", s.plate_type);
  env.form.SetText("Txt_Dh", s.arrangement_dh);
  env.form.SetText("Txt_Dz", s.arrangement_dz);
  env.form.SetText("Txt_NUM", FormatWhole(s.units));
  env.form.SetText("Txt_K0", FormatWhole(s.k_clean));

  // Beyond the model's largest pack the area, weight, size and price mean
  // nothing; an unknown model has no limit to apply.
  const ModelInfo* model = FindModel(s.model_code);
  if (model && s.area > model->max_area) {
    for (const char* c : {"Txt_F", "Txt_W", "Txt_H", "Txt_Y"}) env.form.SetText(c, "");
  } else {
    env.form.SetText("Txt_W", FormatSingle(s.weight));
    env.form.SetText("Txt_H", FormatGeneral(s.frame_length) + "x" + FormatGeneral(s.frame_width) +
                                  "x" + FormatGeneral(s.frame_height) + "h");
    env.form.SetText("Txt_Y", FormatGeneral(s.price));
  }
  ++env.results_shown;
}

}  // namespace phe
