// The plate-type search of automatic design (`Br_Js1`): every single-type
// plate type of the family is sized and the one with the least area kept.
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/wall.h"

namespace phe {

using namespace detail;

void Br_Js1(SelectionState& s, Env& env) {
  const auto& order = FamilySearchOrder(s.model_family);
  for (s.type_index = 1; s.type_index <= 9; ++s.type_index) {
    // A shorter family sizes its last type again; that can never win.
    if (static_cast<size_t>(s.type_index) <= order.size()) s.plate_type = order[s.type_index - 1];
    PlateData(s);
    InitialChannels(s);
    if (s.hot_kind == 1)
      LiquidSizingLoop(s, env, Sizing::kSearch);
    else if (s.hot_kind == 2)
      SteamSizingLoop(s, env, Sizing::kSearch);
    BHXH(s);
    if (s.type_index == 1) {
      s.best_area = s.area;
      s.best_plate_type = s.plate_type;
    } else if (s.area < s.best_area && s.channels < kChannelLimit) {
      s.best_area = s.area;
      s.best_plate_type = s.plate_type;
    }
  }
}

}  // namespace phe
