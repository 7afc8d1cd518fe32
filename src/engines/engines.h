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

// One channel group of a mixed pack, rated as its own counter-current
// exchanger between the common inlets.
struct GroupRating {
  double channels = 0;
  double area = 0;                 // m², the group's share of the pack area
  double flow_h = 0, flow_c = 0;   // m³/h the equal-drop split gives the group
  double v_h = 0, v_c = 0;         // m/s
  double re_h = 0, re_c = 0;
  double alpha_h = 0, alpha_c = 0; // W/(m²·℃), wall-corrected
  double r0 = 0;                   // 1/alpha_h + 1/alpha_c + plate, m²·℃/W
  double dp_ch_h = 0, dp_ch_c = 0; // kPa, with the wall factor
  // At k = 0.95 / (r0 + fouling):
  double k = 0;                    // W/(m²·℃)
  double duty = 0;                 // W
  double t_h_out = 0, t_c_out = 0; // ℃
};

// A mixed pack of n1 + n2 channels a pass at the state's inlets, flows and
// fouling. The margin factor f scales both groups' k so that the pack just
// passes the state's duty; margin = 100 · (1/f − 1), which for a pack of one
// kind is K / K_required − 1.
struct PackRating {
  GroupRating group[2];
  double channels = 0, area = 0, plate_count = 0;
  double fouling = 0;
  double duty = 0;                 // W both groups pass at their k
  double t_h_out = 0, t_c_out = 0; // mixed outlets, ℃
  double factor = 0;               // infinite when no factor reaches the duty
  double margin = 0;               // %, untruncated
  double dp_ch_h = 0, dp_ch_c = 0, dp_port_h = 0, dp_port_c = 0, dp_h = 0, dp_c = 0;  // kPa
};

// Rates a mixed pack (liquid on both sides). Needs the plate data of the
// mixed plate_type, the media properties, exponents and plate conductivity
// as the Run command prepares them; leaves the per-kind working fields
// (velocities, films, wall values) of this pack in the state.
PackRating RateMixedPack(SelectionState& s, Env& env, double n1, double n2, double fouling);
// Heat the pack passes with both groups' k scaled by `scale` and `fouling` in k.
double PackDuty(const SelectionState& s, const PackRating& r, double scale, double fouling);
// Margin factor of the rated pack with another fouling in both groups' k.
double PackFactor(const SelectionState& s, const PackRating& r, double fouling);
// Fouling at which the pack just passes the state's duty (unrounded).
double PackFoulingCapacity(const SelectionState& s, const PackRating& r);

// Check calculation of plate_type with the entered channel counts.
void Br_Ys(SelectionState& s, Env& env);

// Simulation of the entered pack: both inlets, both flows (steam: the cold
// flow), fouling in k; leaves the converged outlets, the duty (steam: the
// steam flow) and everything a check of that case gives. Expects the record
// sets the Run command opens. Throws RunAborted after a message when the
// outlets do not converge.
void Br_Mn(SelectionState& s, Env& env);

}  // namespace phe
