// Second half of the Run command: the calculation loop (automatic or manual
// selection, design or check), acceptance warnings, frame dimensions, price,
// weight, the case record and the result display.
#include <algorithm>
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "properties/exponents.h"
#include "properties/media.h"
#include "properties/wall.h"
#include "base/numeric.h"
#include "workflow/engineering_checks.h"
#include "workflow/limits.h"
#include "workflow/run_command.h"
#include "workflow/run_guard.h"
#include "workflow/selection.h"
#include "workflow/transfer.h"

namespace phe {

namespace {

constexpr double kLiquidUnitLimit = 2575;  // m3/h per unit, either liquid flow
constexpr double kSteamUnitLimit = 57220;  // m3/h of steam per unit

// Reference price: 100 * Int((P0 + 700 * area) / 100).
struct PriceRow {
  const char* model;
  double p0;
};
const PriceRow kPrice[] = {
    {"PX32", 1600},   {"PX50B", 3000},  {"PX50M", 3000},  {"PX65B", 3600},  {"PX65M", 3600},
    {"PX65L", 3600},  {"PX100B", 4500}, {"PX100M", 4500}, {"PX100L", 5000}, {"PX150B", 7000},
    {"PX150M", 7000}, {"PX150S", 5600}, {"PX200B", 10000}, {"PX200M", 10000}, {"PX200S", 8000},
    {"PX250B", 14000}, {"PX250M", 14000}, {"PX250S", 11000}, {"PX350M", 24000},
    {"PX350B", 24000}, {"PX350S", 19000}, {"PX450M", 40000},
};

// Operating weight from the plate count n: S = W0 + W1 * n + W2 * (n - 1),
// then factor * S, rounded down to a whole kg or to tens of kg.
struct WeightRow {
  const char* model;
  double w0, w1, w2;
  double factor;
  bool tens;
};
const WeightRow kWeight[] = {
    //  model     W0     W1     W2    factor  tens
    {"PX32",     14,    0.415, 0.09, 1.0,  false},
    {"PX50B",    92,    1.143, 0.3,  1.0,  false},
    {"PX50M",    127,   0.88,  0.42, 1.0,  false},
    {"PX65B",    92,    1.143, 0.3,  1.25, false},
    {"PX65M",    127,   0.88,  0.42, 1.25, false},
    {"PX65L",    92,    1.143, 0.3,  1.66, false},
    {"PX100B",   400,   1.24,  0.66, 1.0,  false},
    {"PX100M",   355,   1.83,  1,    1.0,  false},
    {"PX100L",   561,   2.49,  0.89, 1.0,  false},
    {"PX150B",   952,   3.32,  1.53, 1.0,  true},
    {"PX150M",   1054,  3.6,   2.5,  1.0,  true},
    {"PX150S",   633,   2.2,   1.5,  1.0,  true},
    {"PX200B",   1608,  5.21,  2.3,  1.0,  true},
    {"PX200M",   1608,  5.65,  3.68, 1.0,  true},
    {"PX200S",   1116,  3.4,   2.17, 1.0,  true},
    {"PX250B",   2582,  7.34,  3.58, 1.0,  true},
    {"PX250M",   3109,  6.15,  5.88, 1.0,  true},
    {"PX250S",   3109,  6.15,  5.88, 0.65, true},
    {"PX350M",   4090,  10.8,  8.64, 1.0,  true},
    {"PX350B",   4090,  12.56, 5.4,  1.0,  true},
    {"PX350S",   4090,  10.8,  8.64, 0.7,  true},
    {"PX450M",   8100,  18.6,  11,   1.0,  true},
};

bool IsMixedArrangement(const std::string& a) {
  return EqualsNoCase(a, "HM") || EqualsNoCase(a, "ML");
}


// The model of a single-type plate type whose area limit moves the search to
// the next family; nullptr when the rule does not apply.
const ModelInfo* AreaLimitedModel(const std::string& plate_type) {
  const auto dash = plate_type.rfind('-');
  if (dash == std::string::npos) return nullptr;
  const std::string kind = plate_type.substr(dash + 1);
  if (!EqualsNoCase(kind, "H") && !EqualsNoCase(kind, "M") && !EqualsNoCase(kind, "L"))
    return nullptr;
  const ModelInfo* m = FindModel(plate_type.substr(0, dash));
  if (!m || EqualsNoCase(m->code, "PX450M")) return nullptr;
  return m;
}

void CalculationPass(SelectionState& s, Env& env, RunGuard& guard) {
  env.pass_complete = true;
  // A simulation finds its own outlets and the properties at them.
  if (s.calc_mode == 3) {
    Br_Mn(s, env);
    if (!CheckMediumStates(s, env, {true, true, true, true}, true)) throw RunAborted{};
    env.sized_plate_type = s.plate_type;
    guard.Check(s, "stage.simulate");
    env.form.Yield();
    return;
  }
  MediaProps(s, env);
  // Computed temperatures can cross although the entered ones did not; the
  // log-mean difference then has no value and nothing can be sized.
  if (!(s.lmtd > 0)) {
    ShowMessage(env.form, Message("lmtd_cross"), "title.error", 16);
    throw RunAborted{};
  }
  // The first guess of the plate conductivity is taken at 0 degC, as in a
  // fresh window: a wall temperature left by the previous run must not
  // change this one.
  s.t_wall = 0;
  BP(s, env);
  PRM(s);
  VNM(s);
  VEM(s);
  guard.Check(s, "stage.properties");

  // An automatic design told which pack to take designs it as manually chosen.
  const bool rule = s.selection_mode == 0 && !env.pick;
  if (s.selection_mode == 1)
    s.plate_type = env.form.Text("com_br") + "-" + env.form.Text("com_zh");
  else if (env.pick)
    s.plate_type = env.pick->plate_type;
  if (rule && s.family_bumped == 0 && s.calc_mode == 1) SplitAndChooseFamily(s, env);

  if (s.calc_mode == 1) {
    if (rule) {
      Br_Js1(s, env);
      guard.Check(s, "stage.type_search");
      s.plate_type = s.best_plate_type;
      const ModelInfo* m = AreaLimitedModel(s.plate_type);
      if (m && s.best_area > m->max_area) {
        s.model_family = NextFamily(m->family);
        s.family_bumped = 1;
        Br_Js1(s, env);
        guard.Check(s, "stage.type_search");
        s.plate_type = s.best_plate_type;
      }
    }
    Br_Js2(s, env);
    // A mixed request may come back as a pack of one kind, sized as that type.
    env.sized_plate_type = s.plate_type;
    guard.Check(s, "stage.design");
    BPLX(s);
    if (IsMixedArrangement(s.arrangement_type) && (s.visc_h > 20 || s.visc_c > 20))
      ShowMessage(env.form, Message("mixed.viscous"), "title.notice", 48);
  }
  if (s.calc_mode == 2) {
    Br_Ys(s, env);
    env.sized_plate_type = s.plate_type;
    guard.Check(s, "stage.check");
  }
  env.form.Yield();
}

void AcceptanceChecks(SelectionState& s, Env& env) {
  auto share = [](double port, double total) { return total == 0 ? 0.0 : 100 * port / total; };
  auto port_fast = [&](double limit) {
    ShowMessage(env.form, Message("warn.port_velocity").With("limit", FormatGeneral(limit)),
                "title.notice", 48);
  };
  if (s.hot_kind == 1) {
    s.port_share_h = static_cast<float>(share(s.dp_port_h, s.dp_h));
    s.port_share_c = share(s.dp_port_c, s.dp_c);
    if (s.calc_mode == 1 && ((s.port_share_h > 30 && s.dp_h > 0.9 * s.dp_max_h) ||
                             (s.port_share_c > 30 && s.dp_c > 0.9 * s.dp_max_c)))
      ShowMessage(env.form, Message("warn.port_loss"), "title.notice", 48);
  } else if (s.hot_kind == 2) {
    s.port_share_c = share(s.dp_port_c, s.dp_c);
    if (s.calc_mode == 1 && s.port_share_c > 30 && s.dp_c > 0.9 * s.dp_max_c)
      ShowMessage(env.form, Message("warn.port_loss"), "title.notice", 48);
  }

  // 9 pi: the port area in mm2 per m3/h and m/s.
  constexpr double k9Pi = 28.274333882308138;
  auto velocity = [&](double flow, double d) { return d == 0 ? 0.0 : 10000 * flow / (k9Pi * d * d); };
  if (s.hot_kind == 1) {
    s.v_port_h = velocity(s.flow_h, s.port_d_h);
    s.v_port_c = velocity(s.flow_c, s.port_d_c);
    if (PortTooFast(s)) port_fast(kLiquidPortVelocityLimit);
  } else if (s.hot_kind == 2) {
    s.v_port_c = velocity(s.flow_c, s.port_d_c);
    s.v_port_h = velocity(s.flow_h, s.port_d_h);
    if (s.v_port_c > kLiquidPortVelocityLimit) port_fast(kLiquidPortVelocityLimit);
    if (s.v_port_h > kSteamPortVelocityLimit) port_fast(kSteamPortVelocityLimit);
  }

  BHXH(s);
  BPLX(s);

  if (AboveMaxArea(s))
    ShowMessage(env.form, Message("warn.area"), "title.notice", 48);
}

// Warnings on the finished pack; they change no number.
void LimitWarnings(SelectionState& s, Env& env) {
  if (AtChannelLimit(s))
    ShowMessage(env.form,
                Message("warn.channel_limit").With("limit", FormatGeneral(kChannelLimit)),
                "title.notice", 48);
  auto drop = [&](const char* side, double dp, double allowed) {
    if (dp > allowed)
      ShowMessage(env.form,
                  Message("warn.pressure_drop")
                      .Ref("side", side)
                      .With("dp", FormatFixed(dp, 2))
                      .With("allowed", FormatGeneral(allowed)),
                  "title.notice", 48);
  };
  drop("side.hot", s.dp_h, s.dp_max_h);
  drop("side.cold", s.dp_c, s.dp_max_c);
  // The lining list is editable; it is read as the case record reads it.
  s.port_lining = env.form.Text("Com_jgl");
  for (const LimitBreach& w : EngineeringWarnings(s)) {
    ShowMessage(env.form, w.text, "title.notice", 48);
    // A material unfit for the case is an input at fault.
    if (w.box.rfind("Com_", 0) == 0) env.form.SetFocus(w.box);
  }
}

void FrameDimensions(SelectionState& s, Env& env) {
  auto wx = s.db->OpenRecordSet("br_wx");
  if (wx->FindFirst(Criterion::ModelArea(s.model_code, s.area))) {
    s.frame_length = wx->Field("L");
    s.frame_width = wx->Field("B");
    s.frame_height = wx->Field("H");
  }
  env.form.Yield();
}


void StoreCaseRecord(SelectionState& s, Env& env) {
  s.port_lining = env.form.Text("Com_jgl");
  CaseRecord r = {
      {"mc_h", env.form.Text("Com_jh")},
      {"mc_c", env.form.Text("Com_jc")},
      {"Qc", s.flow_c},
      {"Qh", s.flow_h},
      {"G", s.steam_flow},
      {"Tc1", s.t_c_in},
      {"Tc2", s.t_c_out},
      {"Th1", s.t_h_in},
      {"Th2", s.t_h_out},
      {"Tc", s.t_c_mean},
      {"Th", s.t_h_mean},
      {"Rc", s.rho_c},
      {"Rh", s.rho_h},
      {"Rz", s.rho_steam},
      {"Cpc", s.cp_c},
      {"Cph", s.cp_h},
      {"Cpz", static_cast<double>(s.cp_steam)},
      {"Lc", s.lambda_c},
      {"Lh", s.lambda_h},
      {"Lz", s.lambda_steam},
      {"Vc", s.visc_c},
      {"Vh", s.visc_h},
      {"Vz", s.visc_steam},
      {"Prc", s.pr_c},
      {"Prh", s.pr_h},
      {"Wq", s.duty / 1000},
      {"TM", s.lmtd},
      {"RHC", s.fouling},
      {"K", s.k_service},
      {"GF", s.margin},
      {"Br", s.plate_type},
      {"F", s.area},
      {"m", s.plate_count},
      {"N", s.passes},
      {"Dh", s.arrangement_dh},
      {"Dz", s.arrangement_dz},
      {"CZ", s.port_lining},
      {"YB", "A=" + FormatGeneral(s.pack_length)},
      {"Wlc", s.v_port_c},
      {"Wlh", s.v_port_h},
      {"WC", s.v_c},
      {"WH", s.v_h},
      {"REC", s.re_c},
      {"REH", s.re_h},
      {"Pc1", s.dp_c},
      {"Ph1", s.dp_h},
      {"Pc2", s.dp_port_c},
      {"Ph2", s.dp_port_h},
      {"Pc3", s.dp_ch_c},
      {"Ph3", s.dp_ch_h},
      {"Taoh", s.shear_h},
      {"Taoc", s.shear_c},
      {"PG1", s.design_pressure_report},
      {"PG", s.design_pressure},
      {"Bpc", s.plate_material},
      {"BPH", s.plate_thickness},
      {"Dpc", s.gasket_material},
      {"D1", s.port_d_c},
      {"D2", s.port_d_h},
      {"L", "L=" + FormatGeneral(s.frame_length)},
      {"B", "B=" + FormatGeneral(s.frame_width)},
      {"H", FormatGeneral(s.frame_length) + "x" + FormatGeneral(s.frame_width) + "x" +
                FormatGeneral(s.frame_height)},
      {"W", static_cast<double>(s.weight)},
      {"NUM", s.units},
      {"Y1", s.eu_exp_1},
      {"Y2", s.eu_exp_2},
      {"Y", s.price},
  };
  env.form.Yield();

  // Connection labels by passes: hot in, cold in, hot out, cold out.
  const char* labels[4] = {nullptr, nullptr, nullptr, nullptr};
  const double p = s.passes;
  if (s.hot_kind == 2 || (s.hot_kind == 1 && p == 1)) {
    labels[0] = "S1", labels[1] = "S3", labels[2] = "S2", labels[3] = "S4";
  } else if (s.hot_kind == 1 && (p == 3 || p == 5 || p == 7 || p == 9)) {
    labels[0] = "M1", labels[1] = "S3", labels[2] = "S2", labels[3] = "M4";
  } else if (s.hot_kind == 1 && (p == 2 || p == 4 || p == 6 || p == 8)) {
    labels[0] = "M2", labels[1] = "S3", labels[2] = "S2", labels[3] = "M3";
  }
  if (labels[0]) {
    r.push_back({"jh", labels[0]});
    r.push_back({"jc", labels[1]});
    r.push_back({"ch", labels[2]});
    r.push_back({"cc", labels[3]});
  }
  if (!env.store_case_record) return;
  try {
    s.db->WriteCaseRecord(r);
    ++env.case_records_written;
  } catch (const DbError& e) {
    // The results are still shown; the user must know the case was not kept.
    ShowMessage(env.form,
                s.db->read_only()
                    ? Message("record_not_saved_read_only").With("path", s.db->path())
                    : Message("record_not_saved").With("path", s.db->path()).With("detail", e.what()),
                "title.error", 16);
  }
  env.form.Yield();
}

void EndBusy(Env& env) {
  env.rs_hot.reset();
  env.rs_cold.reset();
  env.rs_bpdrxs.reset();
  env.form.BusyOff();
}

}  // namespace

double LeastUnits(const SelectionState& s) {
  const bool liquid = s.hot_kind == 1;
  const bool steam = s.hot_kind == 2;
  if (!liquid && !steam) return 1;
  const double hot = s.units > 1 ? s.flow_h_total : s.flow_h;
  const double cold = s.units > 1 ? s.flow_c_total : s.flow_c;
  if (liquid) {
    if (hot <= kLiquidUnitLimit && cold <= kLiquidUnitLimit) return 1;
    return hot > cold ? 1 + std::trunc(hot / kLiquidUnitLimit) : 1 + std::trunc(cold / kLiquidUnitLimit);
  }
  // Enough units for both sides at once, so the divided flows never ask
  // for another split.
  const double n_steam = hot > kSteamUnitLimit ? 1 + std::trunc(hot / kSteamUnitLimit) : 1;
  const double n_cold = cold > kLiquidUnitLimit ? 1 + std::trunc(cold / kLiquidUnitLimit) : 1;
  return std::max(n_steam, n_cold);
}

void SplitIntoUnits(SelectionState& s, double n) {
  if (s.units <= 1) {
    s.duty_total = s.duty;
    s.flow_h_total = s.flow_h;
    s.flow_c_total = s.flow_c;
  }
  s.units = n;
  s.duty = s.duty_total / n;
  s.flow_h = s.flow_h_total / n;
  s.flow_c = s.flow_c_total / n;
  // Every quantity of a unit is the unit's, the steam mass flow too.
  if (s.hot_kind == 2) s.steam_flow = s.flow_h * s.rho_steam;
}

// Split over parallel units and family choice (automatic design only).
void SplitAndChooseFamily(SelectionState& s, Env& env) {
  if (s.hot_kind != 1 && s.hot_kind != 2) return;
  const double n = LeastUnits(s);
  if (n > 1 && n != s.units) {
    SplitIntoUnits(s, n);
    s.selection_mode = 0;
    s.family_bumped = 0;
    env.pass_complete = false;
  }
  s.model_family = FamilyByFlow(s.flow_h, s.flow_c, s.hot_kind);
}

void PriceAndWeight(SelectionState& s) {
  for (const auto& r : kPrice)
    if (EqualsNoCase(r.model, s.model_code))
      s.price = 100 * std::floor((r.p0 + 700 * s.area) / 100);
  const double n = s.plate_count;
  for (const auto& r : kWeight) {
    if (!EqualsNoCase(r.model, s.model_code)) continue;
    const double sum = r.w0 + r.w1 * n + r.w2 * (n - 1);
    s.weight = static_cast<float>(r.tens ? 10 * std::floor(r.factor * sum / 10)
                                         : std::floor(r.factor * sum));
  }
}

double EnteredUnits(const FormPort& form) { return std::max(1.0, std::trunc(Val(form.Text("Txt_NUM1")))); }

void CalculateResults(SelectionState& s, Env& env) {
  RunGuard guard(env.form, s);
  const double units = s.calc_mode != 1          ? 1
                       : s.selection_mode == 1 ? EnteredUnits(env.form)
                       : env.pick              ? env.pick->units
                                               : 1;
  if (units > 1) SplitIntoUnits(s, units);
  do {
    CalculationPass(s, env, guard);
  } while (!env.pass_complete);

  if (s.units > 1)
    ShowMessage(env.form, Message("split").With("units", FormatGeneral(s.units)), "title.notice",
                64);
  AcceptanceChecks(s, env);
  LimitWarnings(s, env);
  guard.Check(s, "stage.results_check");
  FrameDimensions(s, env);
  PriceAndWeight(s);

  s.pack_length =
      std::floor(s.plate_count * s.plate_thickness + s.plate_count * s.d_e * 1000 / 2);
  s.margin = std::trunc(s.margin);
  s.plate_type = s.model_code + "-" + FormatGeneral(s.plate_count);
  env.form.Yield();
  guard.Check(s, "stage.results");
}

void RunSelection(SelectionState& s, Env& env) {
  // A steam case may pass validation with the balance still open; the
  // engines need the duty and both flows.
  if (s.calc_mode != 3 && !(s.duty > 0 && s.flow_h > 0 && s.flow_c > 0)) {
    ShowMessage(env.form, Message("balance.incomplete"), "title.error", 16);
    env.form.SetFocus("Txt_Wq");
    throw RunAborted{};
  }
  if (env.on_sizing) env.on_sizing(s);
  env.pick.reset();
  if (s.selection_mode == 0 && s.calc_mode == 1 && env.choose_pack) env.pick = env.choose_pack(s);
  struct ForgetPick {
    Env& env;
    ~ForgetPick() { env.pick.reset(); }
  } forget{env};
  env.form.BusyOn();
  env.form.Yield();
  try {
    CalculateResults(s, env);
    StoreCaseRecord(s, env);
    txtjg_out(s, env);
    // Switching to manual selection then designs the same pack.
    if (s.selection_mode == 0) env.form.SetText("Txt_NUM1", FormatWhole(s.units));
  } catch (const DbError& e) {
    EndBusy(env);
    ShowMessage(env.form, Message("db_error").With("detail", e.what()), "title.error", 16);
    throw RunAborted{};
  } catch (...) {
    EndBusy(env);
    throw;
  }
  EndBusy(env);
}

}  // namespace phe
