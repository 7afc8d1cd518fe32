// Steps of the Run command's selection stage that are worth calling alone.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Automatic design: splits flows beyond one unit's limit over parallel units
// (clearing pass_complete so the loop runs again) and picks model_family.
void SplitAndChooseFamily(SelectionState& s, Env& env);

// Reference price and operating weight of model_code with area and plate_count.
void PriceAndWeight(SelectionState& s);

}  // namespace phe
