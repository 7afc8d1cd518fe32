// The Run button.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// The whole run: refresh, validation, heat balance, selection, results.
// Ignored while a run is already in progress.
void cmd_count_Click(SelectionState& s, Env& env);

// First half of a run, up to the completed heat balance written back to the
// boxes. False when the run ended (a validation message was shown).
bool RunValidateAndBalance(SelectionState& s, Env& env);

// Second half: busy state, calculation loop, acceptance checks, dimensions,
// price, weight, case record and result display.
void RunSelection(SelectionState& s, Env& env);

}  // namespace phe
