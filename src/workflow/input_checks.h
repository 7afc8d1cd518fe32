// Checks of the entered values at Run, beyond the rules about which
// quantities are given: each box must hold a number, and a number the
// calculation can work with.
#pragma once

#include <string>

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Every filled numeric box the run reads must hold one complete number.
// Full-width characters are first replaced in the box, and the box's
// lost-focus handler runs again, as if the number had been typed that way.
// False after a message box (focus on the box): the run ends.
bool CheckNumbers(SelectionState& s, Env& env);

// Ranges of the entered values, read from the boxes. Temperatures are checked
// against the property tables of the run, which must be open.
// False after a message box (focus on the box): the run ends.
bool CheckRanges(SelectionState& s, Env& env);

}  // namespace phe
