// Whether a case is physically possible and the pack fit for its media:
// refusals at Run (boiling, freezing, flows too small for any pack) and
// warnings on the finished pack (gaskets, slow channels, Reynolds numbers off
// the correlation, a fouling search that hit its cap).
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

// Which of the four temperatures of the state hold a value.
struct KnownTemperatures {
  bool t_h_in, t_h_out, t_c_in, t_c_out;
};

// A liquid boiling at the design pressure, steam above it, a liquid at or
// below its freezing point. False after a critical message (focus on the box
// at fault): the run ends and nothing is stored. `simulated` judges the
// outlets a simulation found; the focus then goes to the other side's inlet,
// which the user changes.
bool CheckMediumStates(SelectionState& s, Env& env, KnownTemperatures known, bool simulated = false);

// The smallest liquid flow any pack of the catalogue carries inside its
// correlations: the flow at which one channel of the most favourable
// single-type plate reaches that plate's lowest correlated Reynolds number,
// for a liquid of this density (kg/m3) and viscosity (mPa.s).
double SmallestCorrelatedFlow(double rho, double visc);
// The plate type that gives that bound.
const std::string& SmallestFlowPlateType();

// After the balance: a liquid flow below SmallestCorrelatedFlow at its mean
// temperature (inlet for a simulation) is refused like a bad input, with the
// focus on the flow box, or on the duty box when the flow came from it.
bool CheckSmallestFlows(SelectionState& s, Env& env);

// Warnings on a finished pack; they change no number. Each names the box it
// is about.
std::vector<LimitBreach> EngineeringWarnings(const SelectionState& s);
// Their first part, a gasket or port lining unfit for the media or the
// temperatures: it depends on the case and the materials, never on the pack.
std::vector<LimitBreach> MaterialWarnings(const SelectionState& s, const std::string& lining);
// Whether there are any, without their texts.
bool AnyEngineeringWarning(const SelectionState& s);
bool AnyMaterialWarning(const SelectionState& s, const std::string& lining);

}  // namespace phe
