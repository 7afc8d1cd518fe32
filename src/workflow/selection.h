// Steps of the Run command's selection stage that are worth calling alone.
#pragma once

#include <string>

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Automatic design: splits flows beyond one unit's limit over parallel units
// (clearing pass_complete so the loop runs again) and picks model_family.
void SplitAndChooseFamily(SelectionState& s, Env& env);

// The unit count a manual design was given; the input checks kept it a
// whole number from 1 to 20.
double EnteredUnits(const FormPort& form);

// The least number of parallel units the flows of `s` need (1 when one unit
// carries them).
double LeastUnits(const SelectionState& s);

// Divides the duty and both flows of the record over `n` parallel units.
void SplitIntoUnits(SelectionState& s, double n);

// Reference price and operating weight of model_code with area and plate_count.
void PriceAndWeight(SelectionState& s);

// The selection stage between the completed heat balance and the case record:
// the calculation loop, acceptance and limit warnings, frame dimensions,
// price, weight and designation. Throws RunAborted after a message box.
void CalculateResults(SelectionState& s, Env& env);

}  // namespace phe
