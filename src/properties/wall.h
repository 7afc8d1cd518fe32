// Wall temperatures, wall viscosities and plate conductivity.
#pragma once

#include <vector>

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Wall temperatures of a single-kind pack and the wall viscosities.
void BW(SelectionState& s, Env& env);
// The same per channel kind of a mixed pack.
void BW12(SelectionState& s, Env& env);
// lambda_plate at t_wall for the chosen plate material.
void BP(SelectionState& s, Env& env);

// What the wall lookups of a single-kind pack can give while every wall
// temperature they are asked for lies in [t_lo, t_hi]: the viscosity the hot
// or cold medium's table interpolates (BW), and the conductivity BP sets for
// the chosen material. False when a temperature there could leave the table,
// fall into a gap or below 0 degC (where the interpolation runs backwards):
// then a lookup might find nothing and keep an earlier value.
bool WallViscositySpan(RecordSet& rs, double t_lo, double t_hi, double& v_lo, double& v_hi);
// `values`, when given, receives each conductivity BP can set there.
bool PlateConductivitySpan(const SelectionState& s, Env& env, double t_lo, double t_hi, double& l_lo,
                           double& l_hi, std::vector<float>* values = nullptr);

}  // namespace phe
