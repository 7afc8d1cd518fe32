// Off-design curves of a result's pack: what the pack delivers when one flow
// runs from 40 % to 120 % of the case's, the other flow and both inlets held.
// Each point is a simulation of the pack, rated as the check rates it.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "state/run_result.h"

namespace phe::curves {

// Shares of the case's flow the curves run through: 40 % to 120 % in steps of 10.
inline constexpr int kPointCount = 9;
inline constexpr double kFirstShare = 0.4, kShareStep = 0.1;

struct CurvePoint {
  double share = 0;                // of the case's flow on the varied side
  double flow_h = 0, flow_c = 0;   // m³/h
  double steam_flow = 0;           // kg/h, steam only
  double duty = 0;                 // W
  double t_h_out = 0, t_c_out = 0; // ℃
  double dp_h = 0, dp_c = 0;       // kPa
};

struct OperatingCurves {
  bool steam = false;
  double fouling = 0;              // m²·℃/W the pack was rated with
  std::vector<CurvePoint> hot;     // against the hot flow; empty for steam
  std::vector<CurvePoint> cold;    // against the cold flow
  CurvePoint own;                  // the case itself, as its run left it
  int failed = 0;                  // points whose outlets did not converge (left out)
};

// The curves of the pack the finished run sized or rated. The pack is
// rated with the fouling at which it just delivers the case's duty (a
// simulation: the fouling it ran with), so that the case lies on its
// curves. Nothing is shown or stored. nullopt when the result has no pack.
std::optional<OperatingCurves> Compute(const RunResult& run);

// {"hot": [...], "cold": [...]}: per point the flows, the duty, both outlets
// and both pressure drops in the units of the calculation record.
nlohmann::json ToJson(const OperatingCurves& c);

}  // namespace phe::curves
