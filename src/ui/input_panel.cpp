#include "ui/input_panel.h"

#include "state/input_limits.h"

#include <array>
#include <stdexcept>
#include <string>

#include "base/numeric.h"
#include "state/flow_units.h"

namespace phe {

namespace {

// Property table by 1-based list position from 3 on; position 1 is water,
// position 2 steam on the hot side (the water table) and 25% glycol on the
// cold side.
const std::array<const char*, 39> kTables = {
    "VG10", "VG22", "VG32", "VG46", "VG68", "VG100", "VG150", "VG220", "VG320", "VG460",
    "SAE10", "SAE20", "SAE30", "SAE40", "SAE50", "SAE60", "SAE70",
    "EG10", "EG15", "EG20", "EG25", "EG30", "EG35", "EG40", "EG45", "EG50", "EG55", "EG60",
    "PG10", "PG15", "PG20", "PG25", "PG30", "PG35", "PG40", "PG45", "PG50", "PG55", "PG60"};

void SetTableByPosition(int position, const char* second, std::string& table) {
  if (position == 1)
    table = "water";
  else if (position == 2)
    table = second;
  else if (position >= 3 && position < 3 + static_cast<int>(kTables.size()))
    table = kTables[static_cast<size_t>(position - 3)];
  // Any other position leaves the table as it was.
}

int Position(Env& env, const char* list) {
  const int index = env.form.ListIndex(list);
  return index < 0 ? 0 : index + 1;
}

double ValueOf(Env& env, const char* control) { return Val(env.form.Text(control)); }

// Leaving a box the last run filled, without editing it, enters nothing.
bool StillComputed(Env& env, const char* control) {
  const auto it = env.computed_texts.find(control);
  return it != env.computed_texts.end() && it->second == env.form.Text(control);
}

void EnablePlateTypeControls(Env& env) {
  for (const char* c : {"com_br", "com_zh", "Txt_nh", "Txt_nl"}) env.form.SetEnabled(c, true);
}

}  // namespace

void TextEdited(Env& env, std::string_view control) {
  if (const auto it = env.computed_texts.find(control); it != env.computed_texts.end())
    env.computed_texts.erase(it);
}

void Form_Load(SelectionState& s, Env& env) {
  env.computed_texts.clear();
  s.calc_mode = 1;
  s.fouling = 0;
  s.units = 1;
  s.selection_mode = 0;
  env.confirm_exit = true;

  env.form.SetListIndex("Com_jh", 0);
  env.form.SetListIndex("Com_jc", 0);
  // The media lists only act when left; without this the hot medium's kind
  // stays unknown until then, and the fouling limit would not hold for a
  // case typed straight into a fresh window.
  Com_jh_LostFocus(s, env);
  Com_jc_LostFocus(s, env);
  env.form.SetListIndex("Com_uh", 0);
  env.form.SetListIndex("Com_uc", 0);
  env.form.SetListIndex("Com_pg", 0);
  Com_pg_Click(s, env);
  env.form.SetListIndex("Com_bpc", 0);
  Com_bpc_Click(s, env);
  env.form.SetListIndex("Com_bph", 0);
  Com_bph_Click(s, env);
  env.form.SetListIndex("Com_dpc", 1);
  Com_dpc_Click(s, env);
  env.form.SetListIndex("Com_jgl", 3);
}

bool Form_Unload(SelectionState&, Env& env) {
  if (!env.confirm_exit) return true;
  return ShowMessage(env.form, Message("confirm_exit"), "title.notice", 36) == MsgAnswer::kYes;
}

void Timer_Timer(SelectionState&, Env& env) {
  env.form.ShowCursorPicture(env.anim_index);
  env.anim_last = env.anim_index;
  env.anim_index = env.anim_index == 2 ? 0 : static_cast<int16_t>(env.anim_index + 1);
}

// Hot temperatures, flows and duty count a typed 0 as not entered; the cold
// temperatures count any text, so 0 degC can be given on the cold side.
void Txt_Th1_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Th1")) return;
  s.t_h_in = ValueOf(env, "Txt_Th1");
  s.given_t_h_in = s.t_h_in != 0 ? 1 : 0;
}

void Txt_Th2_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Th2")) return;
  s.t_h_out = ValueOf(env, "Txt_Th2");
  s.given_t_h_out = s.t_h_out != 0 ? 1 : 0;
}

void Txt_Tc1_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Tc1")) return;
  const std::string text = env.form.Text("Txt_Tc1");
  s.t_c_in = Val(text);
  s.given_t_c_in = text.empty() ? 0 : 1;
}

void Txt_Tc2_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Tc2")) return;
  const std::string text = env.form.Text("Txt_Tc2");
  s.t_c_out = Val(text);
  s.given_t_c_out = text.empty() ? 0.0f : 1.0f;
}

void Txt_Qh_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Qh")) return;
  s.flow_h = ValueOf(env, "Txt_Qh");
  s.given_flow_h = s.flow_h != 0 ? 1 : 0;
}

namespace {

// A flow the last run computed is shown again in the unit chosen; a typed one
// stays as typed, now read in that unit.
void FlowUnitClick(SelectionState& s, Env& env, bool hot) {
  const char* box = hot ? "Txt_Qh" : "Txt_Qc";
  const int unit = env.form.ListIndex(hot ? "Com_uh" : "Com_uc");
  if (unit < 0 || !StillComputed(env, box)) return;
  const double q = FlowInUnit(s, hot, unit);
  if (!(q > 0)) return;
  env.form.SetText(box, FormatSignificant(q, 4));
  env.computed_texts[box] = env.form.Text(box);
}

}  // namespace

void Com_uh_Click(SelectionState& s, Env& env) { FlowUnitClick(s, env, true); }
void Com_uc_Click(SelectionState& s, Env& env) { FlowUnitClick(s, env, false); }

void Txt_Qc_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Qc")) return;
  s.flow_c = ValueOf(env, "Txt_Qc");
  s.given_flow_c = s.flow_c != 0 ? 1 : 0;
}

void Txt_Wq_LostFocus(SelectionState& s, Env& env) {
  if (StillComputed(env, "Txt_Wq")) return;
  s.duty = ValueOf(env, "Txt_Wq") * 1000;
  s.given_duty = s.duty != 0 ? 1.0f : 0.0f;
}

void Txt_GF1_Change(SelectionState& s, Env& env) { s.margin_in = ValueOf(env, "Txt_GF1"); }

void Txt_N_Change(SelectionState& s, Env& env) { s.passes = ValueOf(env, "Txt_N"); }

bool Txt_Rhc_Refresh(SelectionState& s, Env& env) {
  const double v = ValueOf(env, "Txt_Rhc");
  // The limit holds for a design with a liquid hot medium only.
  if (v >= kFoulingLimit && s.hot_kind == 1 && s.calc_mode == 1) return false;
  s.fouling = v;
  return true;
}

void Txt_Rhc_Change(SelectionState& s, Env& env) {
  const std::string text = env.form.Text("Txt_Rhc");
  if (Txt_Rhc_Refresh(s, env)) {
    env.fouling_refused_text.clear();
    return;
  }
  // Typing on after the notice is one mistake, not one per character.
  const bool typed_on = !env.fouling_refused_text.empty() &&
                        text.size() > env.fouling_refused_text.size() &&
                        text.starts_with(env.fouling_refused_text);
  env.fouling_refused_text = text;
  if (typed_on) return;
  ShowMessage(env.form, Message("fouling_too_large"), "title.notice", 48);
  env.form.SetFocus("Txt_Rhc");
}

void Com_jh_LostFocus(SelectionState& s, Env& env) {
  const int p = Position(env, "Com_jh");
  s.medium_h_index = static_cast<int16_t>(p);
  SetTableByPosition(p, "water", s.table_h);
  s.hot_kind = Position(env, "Com_jh") == 2 ? 2 : 1;
}

void Com_jc_LostFocus(SelectionState& s, Env& env) {
  const int p = Position(env, "Com_jc");
  s.medium_c_index = static_cast<int16_t>(p);
  SetTableByPosition(p, "glycol", s.table_c);
}

void Com_pg_Click(SelectionState& s, Env& env) {
  const int p = Position(env, "Com_pg");
  if (p == 1) s.design_pressure = 1;
  if (p == 2) s.design_pressure = 1.6;
  s.design_pressure_report = s.design_pressure;
}

void Com_bpc_Click(SelectionState& s, Env& env) { s.plate_material = env.form.Text("Com_bpc"); }

void Com_bph_Click(SelectionState& s, Env& env) {
  switch (Position(env, "Com_bph")) {
    case 1: s.plate_thickness = 0.5; break;
    case 2: s.plate_thickness = 0.6; break;
    case 3: s.plate_thickness = 0.7; break;
    default: break;
  }
}

void Com_dpc_Click(SelectionState& s, Env& env) { s.gasket_material = env.form.Text("Com_dpc"); }

void Com_jgl_Change(SelectionState& s, Env& env) { s.port_lining = env.form.Text("Com_jgl"); }

void com_br_Click(SelectionState& s, Env& env) { s.plate_type = env.form.Text("com_br"); }

// The Run command reads the channel type from the list itself.
void com_zh_Change(SelectionState&, Env&) {}

void opt_br_Click(SelectionState& s, Env& env, int index) {
  switch (index) {
    case 2:
      EnablePlateTypeControls(env);
      s.selection_mode = 0;
      break;
    case 3:
      EnablePlateTypeControls(env);
      s.selection_mode = 1;
      break;
    case 4:
      s.calc_mode = 1;
      env.form.SetEnabled("Txt_Rhc", true);
      env.form.SetEnabled("Txt_GF1", true);
      break;
    case 5:
      // The texts and the stored fouling and margin stay as they are.
      s.calc_mode = 2;
      env.form.SetEnabled("Txt_Rhc", false);
      env.form.SetEnabled("Txt_GF1", false);
      break;
    case 6:
      // Simulation: the fouling enters the pack's coefficient; no margin is asked.
      s.calc_mode = 3;
      env.form.SetEnabled("Txt_Rhc", true);
      env.form.SetEnabled("Txt_GF1", false);
      break;
    default:
      throw std::invalid_argument("opt_br has no option button " + std::to_string(index) +
                                  " (2 to 6)");
  }
}

namespace {

struct NamedHandler {
  std::string_view control;
  Handler handler;
};

constexpr NamedHandler kChange[] = {
    {"Txt_GF1", Txt_GF1_Change}, {"Txt_N", Txt_N_Change},   {"Txt_Rhc", Txt_Rhc_Change},
    {"Com_jgl", Com_jgl_Change}, {"com_zh", com_zh_Change},
};

constexpr NamedHandler kLostFocus[] = {
    {"Txt_Th1", Txt_Th1_LostFocus}, {"Txt_Th2", Txt_Th2_LostFocus},
    {"Txt_Tc1", Txt_Tc1_LostFocus}, {"Txt_Tc2", Txt_Tc2_LostFocus},
    {"Txt_Qh", Txt_Qh_LostFocus},   {"Txt_Qc", Txt_Qc_LostFocus},
    {"Txt_Wq", Txt_Wq_LostFocus},   {"Com_jh", Com_jh_LostFocus},
    {"Com_jc", Com_jc_LostFocus},
};

constexpr NamedHandler kClick[] = {
    {"Com_pg", Com_pg_Click},   {"Com_bpc", Com_bpc_Click}, {"Com_bph", Com_bph_Click},
    {"Com_dpc", Com_dpc_Click}, {"com_br", com_br_Click},   {"Com_uh", Com_uh_Click},
    {"Com_uc", Com_uc_Click},
};

template <size_t N>
Handler Find(const NamedHandler (&table)[N], std::string_view control) {
  for (const auto& h : table)
    if (h.control == control) return h.handler;
  return nullptr;
}

}  // namespace

Handler ChangeHandler(std::string_view control) { return Find(kChange, control); }
Handler LostFocusHandler(std::string_view control) { return Find(kLostFocus, control); }
Handler ClickHandler(std::string_view control) { return Find(kClick, control); }

}  // namespace phe
