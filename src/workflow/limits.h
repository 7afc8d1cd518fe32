// Result values beyond a design limit. The window colours the boxes named
// here and the calculation sheet can mark the same values.
#pragma once

#include <string>
#include <vector>

#include "messages/messages.h"
#include "state/selection_state.h"

namespace phe {

inline constexpr double kLiquidPortVelocityLimit = 6;   // m/s
inline constexpr double kSteamPortVelocityLimit = 100;  // m/s

// The tests behind the warnings of a run, the alternatives' status and the
// window's marks, kept in one place so that they cannot disagree.
bool AboveMaxArea(const SelectionState& s);
// A port faster than its warning value: 6 m/s for a liquid, 100 m/s for steam.
bool PortTooFast(const SelectionState& s);
// A design whose channel loop stopped at the limit.
bool AtChannelLimit(const SelectionState& s);

// The first design limit a finished pack breaks, in the order the user reads
// them: "area", "pressure_drop", "port_velocity", "channel_limit", then
// "engineering" for a warning of the engineering checks; "" when it
// keeps all of them.
std::string BrokenLimit(const SelectionState& s);

struct LimitBreach {
  std::string box;   // the result box holding the value, e.g. "Txt_Pc1"
  Message text;      // the limit it breaks, e.g. "超过最大压降 50 kPa"
};

// Every breach of the results in the record: calculated pressure drop above
// the allowed one, port velocity above its warning value, margin below the
// required one (design only), area above the model's largest pack.
std::vector<LimitBreach> LimitBreaches(const SelectionState& s);

}  // namespace phe
