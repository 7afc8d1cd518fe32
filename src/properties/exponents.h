// Correction exponents of the Prandtl number and the viscosity ratio.
#pragma once

#include "state/selection_state.h"

namespace phe {

// pr_exp_h, pr_exp_c by mean temperature and viscosity.
void PRM(SelectionState& s);
// visc_exp_h, visc_exp_c by viscosity, with rows per model (calls BHXH first).
void VNM(SelectionState& s);
// visc_exp_dp_h, visc_exp_dp_c by viscosity.
void VEM(SelectionState& s);

}  // namespace phe
