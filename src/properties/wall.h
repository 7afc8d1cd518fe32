// Wall temperatures, wall viscosities and plate conductivity.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Wall temperatures of a single-kind pack and the wall viscosities.
void BW(SelectionState& s, Env& env);
// The same per channel kind of a mixed pack.
void BW12(SelectionState& s, Env& env);
// lambda_plate at t_wall for the chosen plate material.
void BP(SelectionState& s, Env& env);

}  // namespace phe
