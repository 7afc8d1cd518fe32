#include "curves/curves.h"

#include <memory>

#include "db/database.h"
#include "engines/engines.h"
#include "state/env.h"
#include "state/form_port.h"

namespace phe::curves {

namespace {

// The window of a curve point: the point is a calculation of its own, its
// notices (a pack of one kind, limits) belong to the case's run, not to it.
// It answers only the plate material, which the plate conductivity reads.
class QuietForm : public FormPort {
 public:
  explicit QuietForm(int material) : material_(material) {}
  std::string Text(std::string_view) const override { return {}; }
  void SetText(std::string_view, const std::string&) override {}
  int ListIndex(std::string_view control) const override {
    return control == "Com_bpc" ? material_ : -1;
  }
  void SetListIndex(std::string_view, int) override {}
  bool Enabled(std::string_view) const override { return true; }
  void SetEnabled(std::string_view, bool) override {}
  void SetFocus(std::string_view) override {}
  MsgAnswer MessageBox(const Message&, const Message&, MsgIcon, MsgButtons) override {
    return MsgAnswer::kOk;
  }
  void BusyOn() override {}
  void BusyOff() override {}
  void ShowCursorPicture(int) override {}
  void Yield() override {}

 private:
  int material_;
};

CurvePoint PointOf(const SelectionState& s, double share) {
  CurvePoint p;
  p.share = share;
  p.flow_h = s.flow_h;
  p.flow_c = s.flow_c;
  p.steam_flow = s.hot_kind == 2 ? s.steam_flow : 0;
  p.duty = s.duty;
  p.t_h_out = s.t_h_out;
  p.t_c_out = s.t_c_out;
  p.dp_h = s.dp_h;
  p.dp_c = s.dp_c;
  return p;
}

nlohmann::json PointJson(const CurvePoint& p, bool steam) {
  nlohmann::json j = {{"share", p.share},     {"flow_h", p.flow_h}, {"flow_c", p.flow_c},
                      {"duty", p.duty},       {"t_h_out", p.t_h_out}, {"t_c_out", p.t_c_out},
                      {"dp_h", p.dp_h},       {"dp_c", p.dp_c}};
  if (steam) j["steam_flow"] = p.steam_flow;
  return j;
}

}  // namespace

std::optional<OperatingCurves> Compute(const RunResult& run) {
  const SelectionState& result = run.record;
  const std::string& sized_plate_type = run.sized_plate_type;
  if (!result.db || sized_plate_type.empty() || result.channels_hm + result.channels_ml <= 0 ||
      !(result.flow_c > 0) || (result.hot_kind != 1 && result.hot_kind != 2))
    return std::nullopt;
  OperatingCurves out;
  out.steam = result.hot_kind == 2;
  out.fouling = result.calc_mode == 3 ? result.fouling : result.fouling_out;
  out.own = PointOf(result, 1);

  QuietForm form(run.plate_material_index);
  Env env(form);
  SelectionState start = result;
  start.calc_mode = 3;
  start.plate_type = sized_plate_type;
  start.fouling = out.fouling;
  try {
    env.rs_hot = start.db->OpenRecordSet(start.table_h);
    env.rs_cold = start.db->OpenRecordSet(start.table_c);
    env.rs_bpdrxs = start.db->OpenRecordSet("BPDRXS");
  } catch (const DbError&) {
    return std::nullopt;
  }
  for (int side = 0; side < 2; ++side) {
    const bool hot = side == 0;
    // A condensing side has no flow of its own to vary: the steam flow is
    // what the pack condenses.
    if (hot && out.steam) continue;
    for (int i = 0; i < kPointCount; ++i) {
      const double share = kFirstShare + kShareStep * i;
      SelectionState s = start;
      (hot ? s.flow_h : s.flow_c) *= share;
      try {
        Br_Mn(s, env);
      } catch (const RunAborted&) {
        ++out.failed;
        continue;
      }
      (hot ? out.hot : out.cold).push_back(PointOf(s, share));
    }
  }
  return out;
}

nlohmann::json ToJson(const OperatingCurves& c) {
  nlohmann::json hot = nlohmann::json::array(), cold = nlohmann::json::array();
  for (const CurvePoint& p : c.hot) hot.push_back(PointJson(p, c.steam));
  for (const CurvePoint& p : c.cold) cold.push_back(PointJson(p, c.steam));
  return {{"hot", hot}, {"cold", cold}};
}

}  // namespace phe::curves
