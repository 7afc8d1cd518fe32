// Moving values between the window's boxes and the record.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Inputs into the record at the start of a run.
void txttj_in(SelectionState& s, Env& env);
// Completed heat balance back into the input boxes.
void txtcs_out(SelectionState& s, Env& env);
// Results into the result boxes at the end of a run.
void txtjg_out(SelectionState& s, Env& env);

}  // namespace phe
