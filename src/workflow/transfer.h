// Moving values between the window's boxes and the record.
#pragma once

#include <utility>

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Inputs into the record at the start of a run.
void txttj_in(SelectionState& s, Env& env);
// Completed heat balance back into the input boxes.
void txtcs_out(SelectionState& s, Env& env);
// The result record of the run that has just ended (`env` gives what the
// record does not hold: the sized plate type, the lists' texts).
RunResult MakeRunResult(const SelectionState& s, const Env& env);
// Channels per pass as the boxes 流道数H/M and 流道数M/L show them.
std::pair<double, double> ShownChannels(const SelectionState& s);
// Results into env.result and from there into the result boxes at the end
// of a run.
void txtjg_out(SelectionState& s, Env& env);

}  // namespace phe
