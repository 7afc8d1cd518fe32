// The sizing and check engines.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// The channel loops stop at this many channels per pass; the pack then stands
// as it is.
inline constexpr double kChannelLimit = 700;

// Plate-type search over model_family: best_plate_type, best_area.
void Br_Js1(SelectionState& s, Env& env);
// Design of the chosen plate_type (single, steam or mixed).
void Br_Js2(SelectionState& s, Env& env);

// Mixed channels: limiting velocities, flow split, two-group balance, sizing.
void WH_HL(SelectionState& s, Env& env);
void W_hc(SelectionState& s, Env& env);
void Wq1c(SelectionState& s, Env& env);
void Br_Js30(SelectionState& s, Env& env);
void Br_Js3(SelectionState& s, Env& env);

// Check calculation of plate_type with the entered channel counts.
void Br_Ys(SelectionState& s, Env& env);

}  // namespace phe
