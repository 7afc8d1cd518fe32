#include "workflow/transfer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "state/flow_units.h"
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


// A box the user gave keeps its input (a split's per-unit value must not
// replace the plant's); any other box shows the value the run computed,
// which stays a result until the user edits it.
void Fill(SelectionState& s, Env& env, const char* box, bool given, double value,
          const std::string& computed) {
  if (given) {
    env.computed_texts.erase(box);
    if (s.units <= 1) env.form.SetText(box, Exact(value));
    return;
  }
  env.form.SetText(box, computed);
  env.computed_texts[box] = env.form.Text(box);
}

struct BalanceText {
  const char* box;
  bool given;
  double value;
  std::string text;  // as a computed value is shown
};

// The completed balance (per unit) as its boxes show it.
std::vector<BalanceText> BalanceTexts(const SelectionState& s) {
  // A simulation's outlets are its answer, converged to 0.01 degC.
  auto outlet = [&](double t) { return s.calc_mode == 3 ? FormatFixed(t, 2) : FormatTemperature(t); };
  const double kw = s.duty / 1000;
  // Flows in the unit of their box; an entered one as it was typed.
  const double qh = FlowInUnit(s, true), qc = FlowInUnit(s, false);
  const double qh_typed = s.mass_flow_h > 0 ? s.mass_flow_h / KilogramsPerHour(1, s.flow_unit_h) : qh;
  const double qc_typed = s.mass_flow_c > 0 ? s.mass_flow_c / KilogramsPerHour(1, s.flow_unit_c) : qc;
  return {{"Txt_Wq", s.given_duty != 0, kw, FormatSignificant(kw, 4)},
          {"Txt_Qh", s.given_flow_h != 0, qh_typed, FormatSignificant(qh, 4)},
          {"Txt_Qc", s.given_flow_c != 0, qc_typed, FormatSignificant(qc, 4)},
          {"Txt_Tc1", s.given_t_c_in != 0, s.t_c_in, FormatTemperature(s.t_c_in)},
          {"Txt_Tc2", s.given_t_c_out != 0, s.t_c_out, outlet(s.t_c_out)},
          {"Txt_Th1", s.given_t_h_in != 0, s.t_h_in, FormatTemperature(s.t_h_in)},
          {"Txt_Th2", s.given_t_h_out != 0, s.t_h_out, outlet(s.t_h_out)}};
}

void WriteBalance(SelectionState& s, Env& env) {
  for (const BalanceText& b : BalanceTexts(s)) Fill(s, env, b.box, b.given, b.value, b.text);
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
  // A flow typed by mass is kept as such; the balance finds its volume.
  const int uh = env.form.ListIndex("Com_uh"), uc = env.form.ListIndex("Com_uc");
  s.flow_unit_h = static_cast<int16_t>(uh < 0 ? 0 : uh);
  s.flow_unit_c = static_cast<int16_t>(uc < 0 ? 0 : uc);
  s.mass_flow_h = s.given_flow_h ? KilogramsPerHour(s.flow_h, s.flow_unit_h) : 0;
  s.mass_flow_c = s.given_flow_c ? KilogramsPerHour(s.flow_c, s.flow_unit_c) : 0;
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

std::pair<double, double> ShownChannels(const SelectionState& s) {
  // A pure L pack designed here keeps its channel count in the first field.
  const bool l_design = s.calc_mode == 1 && EqualsNoCase(s.arrangement_type, "L");
  return l_design ? std::pair(s.channels_ml, s.channels_hm) : std::pair(s.channels_hm, s.channels_ml);
}

RunResult MakeRunResult(const SelectionState& s, const Env& env) {
  RunResult r;
  r.record = s;
  r.sized_plate_type = env.sized_plate_type;
  std::tie(r.channels_1, r.channels_2) = ShownChannels(s);
  r.medium_h = env.form.Text("Com_jh");
  r.medium_c = env.form.Text("Com_jc");
  r.plate_material_index = env.form.ListIndex("Com_bpc");
  // An unknown model has no limit to apply.
  const ModelInfo* model = FindModel(s.model_code);
  r.beyond_largest_pack = model && s.area > model->max_area;

  for (BalanceText& b : BalanceTexts(s)) r.balance_texts[b.box] = b.given ? Exact(b.value) : std::move(b.text);
  auto& t = r.texts;
  t["Txt_nh"] = FormatWhole(r.channels_1);
  t["Txt_nl"] = FormatWhole(r.channels_2);
  t["com_br"] = s.model_code;
  t["com_zh"] = s.arrangement_type;
  t["Txt_D1"] = FormatGeneral(s.port_d_c);
  t["Txt_D2"] = FormatGeneral(s.port_d_h);
  t["Txt_K"] = FormatWhole(s.k_service);
  t["Txt_RHC1"] = FormatFixed(s.fouling_out, 6);
  t["Txt_GF"] = FormatWhole(s.margin);
  t["Txt_TM"] = FormatFixed(s.lmtd, 1);
  t["Txt_Ph1"] = FormatFixed(s.dp_h, 2);
  t["Txt_Ph2"] = FormatFixed(s.dp_port_h, 2);
  t["Txt_Pc1"] = FormatFixed(s.dp_c, 2);
  t["Txt_Pc2"] = FormatFixed(s.dp_port_c, 2);
  t["Txt_Wlh"] = FormatFixed(s.v_port_h, 2);
  t["Txt_Wlc"] = FormatFixed(s.v_port_c, 2);
  t["Txt_Br"] = s.plate_type;
  t["Txt_Dh"] = s.arrangement_dh;
  t["Txt_Dz"] = s.arrangement_dz;
  t["Txt_NUM"] = FormatWhole(s.units);
  t["Txt_K0"] = FormatWhole(s.k_clean);
  if (r.beyond_largest_pack) {
    for (const char* c : {"Txt_F", "Txt_W", "Txt_H", "Txt_Y"}) t[c] = "";
  } else {
    t["Txt_F"] = FormatFixed(s.area, 1);
    t["Txt_W"] = FormatSingle(s.weight);
    t["Txt_H"] = FormatGeneral(s.frame_length) + "x" + FormatGeneral(s.frame_width) + "x" +
                 FormatGeneral(s.frame_height) + "h";
    t["Txt_Y"] = FormatGeneral(s.price);
  }
  return r;
}

void txtjg_out(SelectionState& s, Env& env) {
  env.result = MakeRunResult(s, env);
  for (const auto& [box, text] : env.result->texts) env.form.SetText(box, text);
  WriteBalance(s, env);
  ++env.results_shown;
}

}  // namespace phe
