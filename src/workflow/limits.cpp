#include "workflow/limits.h"

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "workflow/engineering_checks.h"

namespace phe {

namespace {

double HotPortLimit(const SelectionState& s) {
  return s.hot_kind == 2 ? kSteamPortVelocityLimit : kLiquidPortVelocityLimit;
}

}  // namespace

bool AboveMaxArea(const SelectionState& s) {
  const ModelInfo* m = FindModel(s.model_code);
  return m && s.area > m->max_area;
}

bool PortTooFast(const SelectionState& s) {
  return s.v_port_h > HotPortLimit(s) || s.v_port_c > kLiquidPortVelocityLimit;
}

bool AtChannelLimit(const SelectionState& s) {
  // A mixed pack counts both kinds.
  return s.calc_mode == 1 && s.channels >= kChannelLimit;
}

std::string BrokenLimit(const SelectionState& s) {
  if (AboveMaxArea(s)) return "area";
  if (s.dp_h > s.dp_max_h || s.dp_c > s.dp_max_c) return "pressure_drop";
  if (PortTooFast(s)) return "port_velocity";
  if (AtChannelLimit(s)) return "channel_limit";
  if (AnyEngineeringWarning(s)) return "engineering";
  return "";
}

std::vector<LimitBreach> LimitBreaches(const SelectionState& s) {
  std::vector<LimitBreach> out;
  auto pressure = [&](const char* box, double dp, double allowed) {
    if (dp > allowed) out.push_back({box, Message("breach.pressure_drop").With("limit", FormatGeneral(allowed))});
  };
  pressure("Txt_Ph1", s.dp_h, s.dp_max_h);
  pressure("Txt_Pc1", s.dp_c, s.dp_max_c);

  auto velocity = [&](const char* box, double v, double limit) {
    if (v > limit) out.push_back({box, Message("breach.port_velocity").With("limit", FormatGeneral(limit))});
  };
  velocity("Txt_Wlh", s.v_port_h, HotPortLimit(s));
  velocity("Txt_Wlc", s.v_port_c, kLiquidPortVelocityLimit);

  // A check rates a given pack: no margin was asked of it.
  if (s.calc_mode == 1 && s.margin < s.margin_in)
    out.push_back({"Txt_GF", Message("breach.margin").With("limit", FormatGeneral(s.margin_in))});

  // The area box is blanked then, so the text carries the value itself.
  if (AboveMaxArea(s))
    out.push_back({"Txt_F", Message("breach.area")
                                .With("area", FormatFixed(s.area, 1))
                                .With("max", FormatGeneral(FindModel(s.model_code)->max_area))});
  return out;
}

}  // namespace phe
