#include "workflow/run_command.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "catalogue/catalogue.h"
#include "properties/media.h"
#include "state/input_limits.h"
#include "ui/input_panel.h"
#include "base/numeric.h"
#include "workflow/engineering_checks.h"
#include "workflow/input_checks.h"
#include "workflow/transfer.h"

namespace phe {

namespace {

constexpr int kCritical = 16;
constexpr double kStep = 0.1;  // degC, grid of the temperature searches

bool Given(double flag) { return flag != 0; }

// ---------------------------------------------------------------- validation

struct Rule {
  bool fails;
  const char* id;
  const char* title;
  const char* focus;
};

bool Check(Env& env, const Rule& r) {
  if (!r.fails) return false;
  ShowMessage(env.form, Message(r.id), r.title, kCritical);
  env.form.SetFocus(r.focus);
  return true;
}

// The order of the temperatures, tested on the pairs whose temperatures are
// both known: before the heat balance those the user entered (a box left empty
// is not 0 degC), after it all four.
bool TemperatureOrder(SelectionState& s, Env& env, bool thi, bool tho, bool tci, bool tco) {
  if (s.hot_kind == 1) {
    const Rule rules[] = {
        {thi && tho && s.t_h_in <= s.t_h_out, "order.hot",
         "title.error", "Txt_Th1"},
        {tci && tco && s.t_c_in >= s.t_c_out, "order.cold",
         "title.error", "Txt_Tc1"},
        {thi && tco && s.t_h_in <= s.t_c_out, "order.cold_out_hot_in",
         "title.notice", "Txt_Tc2"},
        {tho && tci && s.t_h_out <= s.t_c_in, "order.cold_in_hot_out",
         "title.notice", "Txt_Tc1"},
    };
    for (const Rule& r : rules)
      if (Check(env, r)) return false;
  } else if (s.hot_kind == 2) {
    if (Check(env, {tci && tco && s.t_c_in >= s.t_c_out,
                    "order.cold", "title.error", "Txt_Tc1"}))
      return false;
  }
  return true;
}

bool SteamTemperatureRefused(SelectionState& s, Env& env) {
  if (s.t_h_in >= kSteamTMin && s.t_h_in <= kSteamTMax) return false;
  ShowMessage(env.form,
              Message("steam.temperature")
                  .With("min", FormatGeneral(kSteamTMin))
                  .With("max", FormatGeneral(kSteamTMax)),
              "title.error", kCritical);
  env.form.SetFocus("Txt_Th1");
  return true;
}

bool Validate(SelectionState& s, Env& env) {
  const bool duty = Given(s.given_duty);
  const bool fh = Given(s.given_flow_h);
  const bool fc = Given(s.given_flow_c);
  const bool thi = Given(s.given_t_h_in);
  const bool tho = Given(s.given_t_h_out);
  const bool tci = Given(s.given_t_c_in);
  const bool tco = Given(s.given_t_c_out);
  const bool hot_temps = thi && tho;
  const bool cold_temps = tci && tco;

  auto check = [&](const Rule& r) { return Check(env, r); };

  if (check({s.duty == 0 && s.flow_h == 0 && s.flow_c == 0,
             "given.nothing", "title.notice", "Txt_Wq"}))
    return false;

  if (s.hot_kind == 1) {
    if (!TemperatureOrder(s, env, thi, tho, tci, tco)) return false;
    const Rule rules[] = {
        {!duty && fh && fc && hot_temps && cold_temps,
         "given.too_many_both", "title.notice", "Txt_Tc2"},
        {!duty && fh && !fc && hot_temps && !cold_temps,
         "given.cold_flow_temps_missing", "title.notice", "Txt_Tc2"},
        {!duty && !fh && fc && hot_temps && !cold_temps, "given.hot_flow_missing",
         "title.notice", "Txt_Tc2"},
        {!duty && !fh && fc && cold_temps && !hot_temps,
         "given.hot_flow_temps_missing", "title.notice", "Txt_Tc2"},
        {!duty && fh && !fc && cold_temps && !hot_temps, "given.cold_flow_missing",
         "title.notice", "Txt_Tc2"},
        {duty && fh && hot_temps, "given.too_many_hot", "title.notice", "Txt_Th2"},
        {duty && fc && cold_temps, "given.too_many_cold", "title.notice", "Txt_Tc2"},
    };
    for (const Rule& r : rules)
      if (check(r)) return false;
  } else if (s.hot_kind == 2) {
    const std::string zh = env.form.Text("com_zh");
    // The engines have no condensate data for the mixed channel types.
    const bool mixed = EqualsNoCase(zh, "HM") || EqualsNoCase(zh, "ML");
    if (!TemperatureOrder(s, env, thi, tho, tci, tco)) return false;
    if (SteamTemperatureRefused(s, env)) return false;
    const Rule rules[] = {
        {duty && fc && cold_temps, "given.too_many_cold", "title.notice", "Txt_Tc2"},
        {(s.selection_mode == 1 || s.calc_mode == 2) && mixed, "steam.no_mixed", "title.notice",
         "com_zh"},
    };
    for (const Rule& r : rules)
      if (check(r)) return false;
  }

  // A check calculation rates a given pack; without channels there is none.
  if (check({(s.hot_kind == 1 || s.hot_kind == 2) && s.calc_mode == 2 && s.channels_hm + s.channels_ml <= 0,
             "check.no_channels", "title.error", "Txt_nh"}))
    return false;
  return true;
}

// A simulation takes both inlets and both flows (steam: the cold flow); the
// outlet and duty boxes hold results and are not read.
bool ValidateSimulation(SelectionState& s, Env& env) {
  s.duty = 0;
  s.t_h_out = 0;
  s.t_c_out = 0;
  s.given_duty = s.given_t_h_out = s.given_t_c_out = 0;
  const bool steam = s.hot_kind == 2;
  const std::string zh = env.form.Text("com_zh");
  const bool mixed = EqualsNoCase(zh, "HM") || EqualsNoCase(zh, "ML");
  const Rule given[] = {
      {!Given(s.given_t_h_in), steam ? "simulate.steam_temperature" : "simulate.hot_in",
       "title.notice", "Txt_Th1"},
      {!Given(s.given_t_c_in), "simulate.cold_in", "title.notice", "Txt_Tc1"},
      {!steam && !(s.flow_h > 0), "simulate.hot_flow", "title.notice", "Txt_Qh"},
      {!(s.flow_c > 0), "simulate.cold_flow", "title.notice", "Txt_Qc"},
      {s.t_h_in <= s.t_c_in, "simulate.order", "title.error", "Txt_Tc1"},
  };
  for (const Rule& r : given)
    if (Check(env, r)) return false;
  if (steam && SteamTemperatureRefused(s, env)) return false;
  const Rule pack[] = {
      {steam && mixed, "steam.no_mixed", "title.notice", "com_zh"},
      {s.channels_hm + s.channels_ml <= 0, "simulate.no_channels", "title.error", "Txt_nh"},
  };
  for (const Rule& r : pack)
    if (Check(env, r)) return false;
  return true;
}

// ------------------------------------------------------------- heat balance

// Ends the run after the message has been shown.
[[noreturn]] void Abort(Env& env, const Message& text) {
  ShowMessage(env.form, text, "title.error", kCritical);
  throw RunAborted{};
}

std::string Temp(double t) { return FormatFixed(t, 1); }

enum class Side { kHot, kCold };

// Temperatures known after the heat balance: entered or found by a search.
struct Known {
  bool thi, tho, tci, tco;
};

struct SideRef {
  Side side;
  RecordSet& rs;
  double& mean;
  double& rho;
  double& cp;
  const char* side_id;  // for messages: "side.hot", "side.cold"
  std::string medium;
};

// A message about a side's property data: its side, medium and temperature.
Message About(const char* id, const SideRef& side, double t) {
  return Message(id).Ref("side", side.side_id).With("medium", side.medium).With("t", Temp(t));
}

SideRef Hot(SelectionState& s, Env& env) {
  return {Side::kHot, *env.rs_hot, s.t_h_mean, s.rho_h, s.cp_h, "side.hot",
          env.form.Text("Com_jh")};
}

SideRef Cold(SelectionState& s, Env& env) {
  return {Side::kCold, *env.rs_cold, s.t_c_mean, s.rho_c, s.cp_c, "side.cold",
          env.form.Text("Com_jc")};
}

const ColumnSet kRowByTemperature{Criterion::Kind::kLowInclusiveHighExclusive, {"min_T", "max_T"}};

bool HasRow(RecordSet& rs, double t) { return rs.FindFirst(kRowByTemperature, t); }

// True when both rows an interpolated lookup at t reads exist (the upper row
// is not needed at a whole degree).
bool Covers(RecordSet& rs, double t) {
  const double t0 = std::trunc(t);
  return HasRow(rs, t0) && (t == t0 || HasRow(rs, t0 + 1));
}

bool Usable(double v) { return std::isfinite(v) && v > 0; }

// Density and specific heat of a side at the temperature in its mean field.
void RhoCpAtMean(SelectionState& s, Env& env, const SideRef& side) {
  if (side.side == Side::kHot)
    HotRhoCp(s, env);
  else
    ColdRhoCp(s, env);
}

// A side at the mean of its two temperatures, with the data checked.
void AtMean(SelectionState& s, Env& env, const SideRef& side, double t_a, double t_b) {
  side.mean = (t_a + t_b) / 2;
  if (!Covers(side.rs, side.mean)) Abort(env, About("balance.no_data", side, side.mean));
  RhoCpAtMean(s, env, side);
  if (!Usable(side.rho) || !Usable(side.cp))
    Abort(env, About("balance.bad_data", side, side.mean));
}

// kg/h a side carries: its mass flow when one was entered, else its volume
// flow at the side's density.
double Carried(const SideRef& side, double flow, double mass) {
  return mass > 0 ? mass : flow * side.rho;
}

// Heat of a side whose temperature runs from `known` over dt, at the
// properties of the mean of the two.
double SideHeat(SelectionState& s, Env& env, const SideRef& side, double known, int dir,
                double flow, double mass, double dt) {
  side.mean = known + dir * dt / 2;
  RhoCpAtMean(s, env, side);
  return Carried(side, flow, mass) * side.cp * dt / 3.6;
}

// Steps a trial temperature on the 0.1 degC grid away from the known one until
// the side's heat reaches the duty, then finds the temperature inside that
// last step at which it meets the duty: the grid temperature below it would
// leave that side up to a step's heat short, several % at a small difference.
// `bound` is the other side's inlet temperature the trial must not pass (NaN:
// none).
double Search(SelectionState& s, Env& env, const SideRef& side, double known, int dir,
              double flow, double mass, double& trial, double bound, const char* quantity,
              const char* bound_id) {
  for (long k = 1;; ++k) {
    const double t = known + dir * k * kStep;
    trial = t;
    if (!std::isnan(bound) && (dir > 0 ? t > bound : t < bound))
      Abort(env, Message("balance.passed").Ref("quantity", quantity).Ref("bound", bound_id));
    side.mean = (t + known) / 2;
    if (!HasRow(side.rs, t) || !Covers(side.rs, side.mean))
      Abort(env, About("balance.outside_data", side, t).Ref("quantity", quantity));
    RhoCpAtMean(s, env, side);
    if (!Usable(side.rho) || !Usable(side.cp))
      Abort(env, About("balance.bad_data", side, side.mean));
    s.q_part = Carried(side, flow, mass) * side.cp * (dir * (t - known)) / 3.6;
    if (!(s.q_part < s.duty)) {
      // The heat rises with the difference inside a step (the properties
      // change far less than the difference), so bisection finds the one root.
      double lo = (k - 1) * kStep, hi = k * kStep;
      for (int i = 0; i < 48 && hi - lo > 1e-12; ++i) {
        const double mid = (lo + hi) / 2;
        (SideHeat(s, env, side, known, dir, flow, mass, mid) < s.duty ? lo : hi) = mid;
      }
      s.q_part = SideHeat(s, env, side, known, dir, flow, mass, hi);
      return known + dir * hi;
    }
  }
}

double Flow(double duty, const SideRef& side, double dt) {
  return 3.6 * duty / (side.cp * side.rho * dt);
}

void SearchColdOut(SelectionState& s, Env& env, Known& known) {
  known.tco = true;
  s.t_c_out = Search(s, env, Cold(s, env), s.t_c_in, +1, s.flow_c, s.mass_flow_c, s.t_c_out_trial, s.t_h_in,
                     "balance.t_c_out", "balance.above_hot_in");
}

void SearchColdIn(SelectionState& s, Env& env, Known& known) {
  known.tci = true;
  s.t_c_in = Search(s, env, Cold(s, env), s.t_c_out, -1, s.flow_c, s.mass_flow_c, s.t_c_in_trial, NAN,
                    "balance.t_c_in", "");
}

void SearchHotOut(SelectionState& s, Env& env, Known& known) {
  known.tho = true;
  s.t_h_out = Search(s, env, Hot(s, env), s.t_h_in, -1, s.flow_h, s.mass_flow_h, s.t_h_out_trial, s.t_c_in,
                     "balance.t_h_out", "balance.below_cold_in");
}

void SearchHotIn(SelectionState& s, Env& env, Known& known) {
  known.thi = true;
  s.t_h_in = Search(s, env, Hot(s, env), s.t_h_out, +1, s.flow_h, s.mass_flow_h, s.t_h_in_trial, NAN,
                    "balance.t_h_in", "");
}

void HotFlowFromDuty(SelectionState& s, Env& env) {
  const SideRef hot = Hot(s, env);
  AtMean(s, env, hot, s.t_h_in, s.t_h_out);
  s.flow_h = Flow(s.duty, hot, s.t_h_in - s.t_h_out);
}

void ColdFlowFromDuty(SelectionState& s, Env& env) {
  const SideRef cold = Cold(s, env);
  AtMean(s, env, cold, s.t_c_in, s.t_c_out);
  s.flow_c = Flow(s.duty, cold, s.t_c_out - s.t_c_in);
}

// Steam mass and volume flow that carry the duty at the steam temperature.
void SteamFlow(SelectionState& s, Env& env) {
  if (!env.rs_hot->FindFirst(Criterion::LowInclusive("min_t", "max_t", s.t_h_in)))
    Abort(env, Message("steam.no_data").With("t", Temp(s.t_h_in)));
  SteamProps(s, env);
  if (!Usable(s.latent_heat) || !Usable(s.rho_steam))
    Abort(env, Message("steam.bad_data").With("t", Temp(s.t_h_in)));
  s.steam_flow = 3.6 * s.duty / s.latent_heat;
  s.flow_h = s.steam_flow / s.rho_steam;
}

// The cold side's missing quantity once the duty is known.
void CompleteColdSide(SelectionState& s, Env& env, bool fc, bool tci, bool tco, Known& known) {
  if (!fc && tci && tco) ColdFlowFromDuty(s, env);
  if (fc && tci && !tco) SearchColdOut(s, env, known);
  if (fc && tco && !tci) SearchColdIn(s, env, known);
}

// The sheet prints each side's heat with the density and specific heat the
// balance closes with, at the mean of the temperatures it ends with. They are
// looked up on a copy, so the record the engines go on with (means, lookup
// rows) is the one the balance left.
void KeepBalanceProps(SelectionState& s, Env& env) {
  SelectionState t = s;
  s.t_balance_h = s.rho_balance_h = s.cp_balance_h = 0;
  if (s.hot_kind == 1) {
    AtMean(t, env, Hot(t, env), t.t_h_in, t.t_h_out);
    // A flow entered by mass has the volume of the density the balance closed with.
    if (s.mass_flow_h > 0) s.flow_h = s.mass_flow_h / t.rho_h;
    s.t_balance_h = t.t_h_mean;
    s.rho_balance_h = t.rho_h;
    s.cp_balance_h = t.cp_h;
  }
  AtMean(t, env, Cold(t, env), t.t_c_in, t.t_c_out);
  if (s.mass_flow_c > 0) s.flow_c = s.mass_flow_c / t.rho_c;
  s.t_balance_c = t.t_c_mean;
  s.rho_balance_c = t.rho_c;
  s.cp_balance_c = t.cp_c;
}

// A simulation's flows entered by mass, as volumes at the inlets until the
// simulation finds the outlets and the densities there.
void VolumesAtInlets(SelectionState& s, Env& env) {
  if (s.hot_kind == 1 && s.mass_flow_h > 0) {
    AtMean(s, env, Hot(s, env), s.t_h_in, s.t_h_in);
    s.flow_h = s.mass_flow_h / s.rho_h;
  }
  if (s.mass_flow_c > 0) {
    AtMean(s, env, Cold(s, env), s.t_c_in, s.t_c_in);
    s.flow_c = s.mass_flow_c / s.rho_c;
  }
}

// Conditions read the entry flags as they were at the start: a quantity found
// by an earlier case still counts as not given.
Known CompleteBalance(SelectionState& s, Env& env) {
  const bool duty = Given(s.given_duty);
  const bool fh = Given(s.given_flow_h);
  const bool fc = Given(s.given_flow_c);
  const bool thi = Given(s.given_t_h_in);
  const bool tho = Given(s.given_t_h_out);
  const bool tci = Given(s.given_t_c_in);
  const bool tco = Given(s.given_t_c_out);
  Known known{thi, tho, tci, tco};

  if (s.hot_kind == 1) {
    if (!duty && fh && thi && tho) {
      const SideRef hot = Hot(s, env);
      AtMean(s, env, hot, s.t_h_in, s.t_h_out);
      if (s.mass_flow_h > 0) s.flow_h = s.mass_flow_h / s.rho_h;
      s.duty = s.flow_h * s.rho_h * s.cp_h * (s.t_h_in - s.t_h_out) / 3.6;
      CompleteColdSide(s, env, fc, tci, tco, known);
    }
    if (!duty && fc && tci && tco) {
      const SideRef cold = Cold(s, env);
      AtMean(s, env, cold, s.t_c_in, s.t_c_out);
      if (s.mass_flow_c > 0) s.flow_c = s.mass_flow_c / s.rho_c;
      s.duty = s.flow_c * s.rho_c * s.cp_c * (s.t_c_out - s.t_c_in) / 3.6;
      if (!fh && thi && tho) HotFlowFromDuty(s, env);
      if (fh && thi && !tho) SearchHotOut(s, env, known);
      if (fh && tho && !thi) SearchHotIn(s, env, known);
    }
    if (duty) {
      if (!fh && thi && tho) HotFlowFromDuty(s, env);
      if (fh && thi && !tho) SearchHotOut(s, env, known);
      if (fh && tho && !thi) SearchHotIn(s, env, known);
      CompleteColdSide(s, env, fc, tci, tco, known);
    }
  } else if (s.hot_kind == 2) {
    // Steam condenses at t_h_in; its outlet temperature plays no part.
    if (duty && thi) {
      SteamFlow(s, env);
      CompleteColdSide(s, env, fc, tci, tco, known);
    }
    if (!duty && fc && tci && tco) {
      const SideRef cold = Cold(s, env);
      AtMean(s, env, cold, s.t_c_in, s.t_c_out);
      if (s.mass_flow_c > 0) s.flow_c = s.mass_flow_c / s.rho_c;
      s.duty = s.flow_c * s.rho_c * s.cp_c * (s.t_c_out - s.t_c_in) / 3.6;
      SteamFlow(s, env);
    }
  }
  KeepBalanceProps(s, env);
  return known;
}

void OpenRecordSets(SelectionState& s, Env& env) {
  if (!s.db) throw std::logic_error("the engineering database is not open");
  env.rs_hot = s.db->OpenRecordSet(s.table_h);
  env.rs_cold = s.db->OpenRecordSet(s.table_c);
  env.rs_bpdrxs = s.db->OpenRecordSet("BPDRXS");
}

}  // namespace

bool RunValidateAndBalance(SelectionState& s, Env& env) {
  // Text that is no number is refused before any rule reads it as 0.
  if (!CheckNumbers(s, env)) return false;
  // A refused fouling is reported by the range checks, which end the run.
  Txt_Rhc_Refresh(s, env);
  Txt_GF1_Change(s, env);
  Txt_N_Change(s, env);
  Com_pg_Click(s, env);
  txttj_in(s, env);
  Com_jh_LostFocus(s, env);
  Com_jc_LostFocus(s, env);

  try {
    OpenRecordSets(s, env);
    env.anim_index = 0;
    env.anim_last = 3;
    s.fouling_out = 0;
    s.units = 1;
    s.family_bumped = 0;

    if (s.calc_mode == 3) {
      if (!ValidateSimulation(s, env) || !CheckRanges(s, env)) return false;
      if (s.hot_kind == 2 && !env.rs_hot->FindFirst(Criterion::LowInclusive("min_t", "max_t", s.t_h_in)))
        Abort(env, Message("steam.no_data").With("t", Temp(s.t_h_in)));
      VolumesAtInlets(s, env);
      // The inlets now; the outlets once the simulation has found them.
      return CheckMediumStates(s, env, {true, false, true, false}) && CheckSmallestFlows(s, env);
    }
    if (!Validate(s, env) || !CheckRanges(s, env)) return false;
    const Known known = CompleteBalance(s, env);
    // A computed temperature must keep the order the entered ones kept.
    if (!TemperatureOrder(s, env, known.thi, known.tho, known.tci, known.tco)) return false;
    // Boiling or freezing media and flows no pack can carry are no case to
    // size a pack for. An open balance is left to the refusal that names it.
    if (s.duty > 0 && s.flow_h > 0 && s.flow_c > 0 &&
        (!CheckMediumStates(s, env, {known.thi, known.tho, known.tci, known.tco}) ||
         !CheckSmallestFlows(s, env)))
      return false;
  } catch (const DbError& e) {
    ShowMessage(env.form, Message("db_error").With("detail", e.what()), "title.error", kCritical);
    return false;
  } catch (const RunAborted&) {
    return false;
  }
  txtcs_out(s, env);
  return true;
}

void cmd_count_Click(SelectionState& s, Env& env) {
  // A second press while a run is going on must not start a run inside it.
  if (env.running) return;
  env.running = true;
  struct ClearRunning {
    bool& running;
    ~ClearRunning() { running = false; }
  } clear{env.running};
  try {
    if (RunValidateAndBalance(s, env)) RunSelection(s, env);
  } catch (const RunAborted&) {
    // The message box has said why; the results shown stay as they were.
  }
}

}  // namespace phe
