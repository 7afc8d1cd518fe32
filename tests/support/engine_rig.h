// Shared by the engine tests and the engine benchmarks: a record prepared as
// the Run command hands it to an engine (record sets open, media properties
// at the mean temperatures, flows from the balance, plate conductivity and the
// correction exponents), on physically sensible water, steam and oil cases.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "db/database.h"
#include "properties/exponents.h"
#include "properties/media.h"
#include "properties/wall.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"

namespace phe::testing {

// A headless window that lets a test look at the state whenever a loop yields.
class SpyForm : public HeadlessForm {
 public:
  std::function<void()> on_yield;
  std::function<void()> on_message;
  void Yield() override {
    HeadlessForm::Yield();
    if (on_yield) on_yield();
  }
  MsgAnswer MessageBox(const Message& text, const Message& title, MsgIcon icon,
                       MsgButtons buttons) override {
    if (on_message) on_message();
    return HeadlessForm::MessageBox(text, title, icon, buttons);
  }
};

struct Case {
  std::string hot = "water";
  std::string cold = "water";
  int hot_kind = 1;
  // Wall near 75 C, inside one row of the plate-conductivity table.
  double t_h_in = 95, t_h_out = 75, t_c_in = 55, t_c_out = 75;
  double duty = 500000;  // W
  double dp_max_h = 50, dp_max_c = 50;
  double passes = 1, fouling = 0, margin_in = 0, thickness = 0.6;
};

inline Case SteamCase() {
  Case c;
  c.hot_kind = 2;
  c.t_h_in = 133;
  c.t_h_out = 133;
  c.t_c_in = 60;
  c.t_c_out = 90;
  return c;
}

inline Case OilCooler() {
  Case c;
  c.hot = "VG46";
  c.t_h_in = 60;
  c.t_h_out = 45;
  c.t_c_in = 30;
  c.t_c_out = 38;
  c.duty = 100000;
  return c;
}

inline std::string OneDecimal(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  return b;
}

// What the Run command has done before it calls an engine: record sets open,
// media properties at the mean temperatures, flows from the balance, plate
// conductivity and the correction exponents.
struct Rig {
  SpyForm form;
  Env env{form};
  std::unique_ptr<Database> db;
  SelectionState s;

  explicit Rig(const Case& c, const std::string& plate_type = "", const std::string& family = "") {
    db = Database::Open(DefaultDatabasePath());
    env.rs_hot = db->OpenRecordSet(c.hot);
    env.rs_cold = db->OpenRecordSet(c.cold);
    env.rs_bpdrxs = db->OpenRecordSet("BPDRXS");
    s.db = db.get();
    form.SetListIndex("Com_bpc", 0);
    form.SetText("Txt_Th1", OneDecimal(c.t_h_in));
    form.SetText("Txt_Th2", OneDecimal(c.t_h_out));
    form.SetText("Txt_Tc1", OneDecimal(c.t_c_in));
    form.SetText("Txt_Tc2", OneDecimal(c.t_c_out));
    s.hot_kind = static_cast<int16_t>(c.hot_kind);
    s.table_h = c.hot;
    s.table_c = c.cold;
    s.duty = c.duty;
    s.dp_max_h = c.dp_max_h;
    s.dp_max_c = static_cast<float>(c.dp_max_c);
    s.passes = c.passes;
    s.fouling = c.fouling;
    s.margin_in = c.margin_in;
    s.plate_thickness = c.thickness;
    s.plate_material = "SUS304";
    // The engines work with the balance as the boxes show it.
    s.t_h_in = std::stod(OneDecimal(c.t_h_in));
    s.t_h_out = std::stod(OneDecimal(c.t_h_out));
    s.t_c_in = std::stod(OneDecimal(c.t_c_in));
    s.t_c_out = std::stod(OneDecimal(c.t_c_out));
    MediaProps(s, env);
    if (c.hot_kind == 1) {
      s.flow_h = c.duty * 3.6 / (s.rho_h * s.cp_h * (s.t_h_in - s.t_h_out));
    } else {
      s.steam_flow = c.duty * 3.6 / s.latent_heat;
      s.flow_h = s.steam_flow / s.rho_steam;
    }
    s.flow_c = c.duty * 3.6 / (s.rho_c * s.cp_c * (s.t_c_out - s.t_c_in));
    BP(s, env);
    s.plate_type = plate_type;
    s.model_family = family;
    PRM(s);
    VNM(s);
    VEM(s);
  }
};

}  // namespace phe::testing
