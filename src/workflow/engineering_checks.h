// Whether a case is physically possible and the pack fit for its media:
// refusals at Run (boiling, freezing) and warnings on the finished pack
// (gaskets, slow channels, Reynolds numbers off the correlation, a fouling
// search that hit its cap).
#pragma once

#include <string>
#include <vector>

#include "state/env.h"
#include "state/selection_state.h"
#include "workflow/limits.h"

namespace phe {

inline constexpr double kAtmosphere = 0.101;         // MPa, added to the gauge design pressure
inline constexpr double kMinChannelVelocity = 0.1;   // m/s, below it distribution is poor

// Saturation line of water (the industrial formulation's region-4 equations),
// valid 0.01 to 373.946 degC: pressure in MPa absolute.
double SaturationPressure(double t);
double SaturationTemperature(double p_abs);

// Freezing point of a liquid property table, NaN for one without (oils).
double FreezingPoint(const std::string& table);

// After the heat balance: a liquid boiling at the design pressure, steam
// above it, a liquid at or below its freezing point. False after a critical
// message (focus on the box at fault): the run ends and nothing is stored.
bool CheckMediumStates(SelectionState& s, Env& env);

// Warnings on a finished pack; they change no number. Each names the result
// or input box it is about.
std::vector<LimitBreach> EngineeringWarnings(const SelectionState& s);

}  // namespace phe
