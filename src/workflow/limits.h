// Result values beyond a design limit. The window colours the boxes named
// here and the calculation sheet can mark the same values.
#pragma once

#include <string>
#include <vector>

#include "state/selection_state.h"

namespace phe {

inline constexpr double kLiquidPortVelocityLimit = 6;   // m/s
inline constexpr double kSteamPortVelocityLimit = 100;  // m/s

struct LimitBreach {
  std::string box;   // the result box holding the value, e.g. "Txt_Pc1"
  std::string text;  // the limit it breaks, in Chinese, e.g. "超过最大压降 50 kPa"
};

// Every breach of the results in the record: calculated pressure drop above
// the allowed one, port velocity above its warning value, margin below the
// required one (design only), area above the model's largest pack.
std::vector<LimitBreach> LimitBreaches(const SelectionState& s);

}  // namespace phe
