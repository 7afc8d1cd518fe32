// Medium properties from the open property tables of a run.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Mean temperatures, LMTD, first wall temperature and the properties of both
// media at the four temperatures the state holds.
void MediaProps(SelectionState& s, Env& env);
// rho_h, cp_h at t_h_mean.
void HotRhoCp(SelectionState& s, Env& env);
// rho_c, cp_c at t_c_mean.
void ColdRhoCp(SelectionState& s, Env& env);
// Steam and condensate data at t_h_in, from the row that holds it.
void SteamProps(SelectionState& s, Env& env);

}  // namespace phe
