// Flows entered and shown by volume (m3/h, as the record keeps them) or by
// mass (t/h, kg/s). The record's volume flows are converted with the density
// the heat balance closed with, so a flow shown by mass is the one balanced.
#pragma once

#include "state/selection_state.h"

namespace phe {

enum FlowUnit : int16_t { kCubicMetresPerHour = 0, kTonnesPerHour = 1, kKilogramsPerSecond = 2 };

// kg/h of one of the units' numbers.
inline double KilogramsPerHour(double value, int16_t unit) {
  return unit == kTonnesPerHour ? value * 1000 : unit == kKilogramsPerSecond ? value * 3600 : 0;
}

// A side's flow of the record in its unit, or in `unit` when one is given.
inline double FlowInUnit(const SelectionState& s, bool hot, int unit = -1) {
  const int16_t u = static_cast<int16_t>(unit >= 0 ? unit : hot ? s.flow_unit_h : s.flow_unit_c);
  const double volume = hot ? s.flow_h : s.flow_c;
  if (u == kCubicMetresPerHour) return volume;
  const double kg_h = hot && s.hot_kind == 2 ? s.steam_flow
                                             : volume * (hot ? s.rho_balance_h : s.rho_balance_c);
  return u == kTonnesPerHour ? kg_h / 1000 : kg_h / 3600;
}

}  // namespace phe
