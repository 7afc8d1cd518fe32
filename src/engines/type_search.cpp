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

namespace {

// The last sizing of a plate type, for the family that sizes its last type
// again. A search loop reads from before it only the plate conductivity of its
// first wall pass and, after a lookup that found nothing, the values that
// lookup kept; every other field it reads is an input the loop never writes,
// and its last step writes every field any of its steps writes. So a loop of
// the same type whose lookups all found their rows, started from the same
// conductivity, repeats the earlier one step for step and leaves the state as
// that one did: only the channel count, which the loop starts again, changes.
struct LastSizing {
  std::string plate_type;
  float lambda_in = 0;
  double channels = 0;
  bool clean = false;
};

}  // namespace

void Br_Js1(SelectionState& s, Env& env) {
  const auto& order = FamilySearchOrder(s.model_family);
  LastSizing last;
  for (s.type_index = 1; s.type_index <= 9; ++s.type_index) {
    // A shorter family sizes its last type again; that can never win.
    if (static_cast<size_t>(s.type_index) <= order.size()) s.plate_type = order[s.type_index - 1];
    PlateData(s);
    if (last.clean && last.plate_type == s.plate_type && last.lambda_in == s.lambda_plate &&
        (s.hot_kind == 1 || s.hot_kind == 2)) {
      s.channels = last.channels;
    } else {
      InitialChannels(s);
      last.plate_type = s.plate_type;
      last.lambda_in = s.lambda_plate;
      const long misses = LookupMisses(env);
      if (s.hot_kind == 1)
        LiquidSizingLoop(s, env, Sizing::kSearch);
      else if (s.hot_kind == 2)
        SteamSizingLoop(s, env, Sizing::kSearch);
      last.channels = s.channels;
      // The correlations keep their constants only for a NaN Reynolds number,
      // which then every step of the loop has.
      last.clean = LookupMisses(env) == misses && CorrelationsCover(s.plate_type) &&
                   !std::isnan(s.re_h) && !std::isnan(s.re_c);
    }
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
