// The calculation record shared by every procedure of the program.
//
// The field list is written once, as an X-macro, so that the record, its
// reset to zero and its dump by name (command-line driver, tests) can never
// drift apart. Types: int16_t for the 16-bit integers, float for the
// single-precision fields, double for every other number, std::string for
// texts. Every field starts at 0 or empty. Each number carries its unit ("–"
// dimensionless); docs/glossary.md says what each name means.
#pragma once

#include <cstdint>
#include <string>

namespace phe {

class Database;

#define PHE_STATE_FIELDS(X)                                                   \
  /* run control and modes */                                                 \
  X(int16_t, hot_kind) /* 1 liquid, 2 steam */                                \
  X(int16_t, calc_mode) /* 1 design, 2 check, 3 simulation */                 \
  X(int16_t, selection_mode) /* 0 automatic, 1 manual */                      \
  X(int16_t, family_bumped) /* 0 or 1 */                                      \
  X(double, units) /* count of exchangers in parallel */                      \
  X(int16_t, medium_h_index) /* list position + 1 */                          \
  X(int16_t, medium_c_index) /* list position + 1 */                          \
  X(std::string, table_h)                                                     \
  X(std::string, table_c)                                                     \
  /* case inputs */                                                           \
  X(double, duty) /* W */                                                     \
  X(double, flow_h) /* m³/h */                                                \
  X(double, flow_c) /* m³/h */                                                \
  X(double, t_h_in) /* ℃ */                                                   \
  X(double, t_h_out) /* ℃ */                                                  \
  X(double, t_c_in) /* ℃ */                                                   \
  X(double, t_c_out) /* ℃ */                                                  \
  X(double, dp_max_h) /* kPa */                                               \
  X(double, dp_max_c) /* kPa */                                               \
  X(double, passes) /* count */                                               \
  X(double, fouling) /* m²·℃/W */                                             \
  X(double, margin_in) /* % */                                                \
  X(double, plate_thickness) /* mm */                                         \
  X(std::string, plate_material)                                              \
  X(std::string, gasket_material)                                             \
  X(std::string, port_lining)                                                 \
  X(double, design_pressure) /* MPa */                                        \
  X(double, design_pressure_report) /* copy the case record stores as PG1, MPa */ \
  X(double, channels_hm) /* channels a pass */                                \
  X(double, channels_ml) /* channels a pass */                                \
  /* entry flags: 1 when the quantity was entered */                          \
  X(float, given_duty) /* 0 or 1 */                                           \
  X(int16_t, given_flow_h) /* 0 or 1 */                                       \
  X(int16_t, given_flow_c) /* 0 or 1 */                                       \
  X(int16_t, given_t_h_in) /* 0 or 1 */                                       \
  X(int16_t, given_t_h_out) /* 0 or 1 */                                      \
  X(int16_t, given_t_c_in) /* 0 or 1 */                                       \
  X(float, given_t_c_out) /* 0 or 1 */                                        \
  /* heat balance and media properties */                                     \
  X(double, t_h_mean) /* ℃ */                                                 \
  X(double, t_c_mean) /* ℃ */                                                 \
  X(double, rho_h) /* kg/m³ */                                                \
  X(double, rho_c) /* kg/m³ */                                                \
  X(double, cp_h) /* kJ/(kg·℃) */                                             \
  X(double, cp_c) /* kJ/(kg·℃) */                                             \
  /* the density and specific heat the heat balance closes with, and where */ \
  X(double, t_balance_h) /* ℃ */                                              \
  X(double, t_balance_c) /* ℃ */                                              \
  X(double, rho_balance_h) /* kg/m³ */                                        \
  X(double, rho_balance_c) /* kg/m³ */                                        \
  X(double, cp_balance_h) /* kJ/(kg·℃) */                                     \
  X(double, cp_balance_c) /* kJ/(kg·℃) */                                     \
  X(double, lambda_h) /* W/(m·℃) */                                           \
  X(double, lambda_c) /* W/(m·℃) */                                           \
  X(double, visc_h) /* mPa·s */                                               \
  X(double, visc_c) /* mPa·s */                                               \
  X(double, pr_h) /* – */                                                     \
  X(double, pr_c) /* – */                                                     \
  X(double, latent_heat) /* kJ/kg */                                          \
  X(double, rho_steam) /* kg/m³ */                                            \
  X(float, cp_steam) /* kJ/(kg·℃) */                                          \
  X(double, lambda_steam) /* W/(m·℃) */                                       \
  X(double, visc_steam) /* mPa·s */                                           \
  X(double, steam_flow) /* kg/h */                                            \
  /* a flow entered by mass, and the unit each flow box shows */             \
  X(double, mass_flow_h) /* kg/h, 0: entered by volume or computed */         \
  X(double, mass_flow_c) /* kg/h, 0: entered by volume or computed */         \
  X(int16_t, flow_unit_h) /* 0 m³/h, 1 t/h, 2 kg/s */                         \
  X(int16_t, flow_unit_c) /* 0 m³/h, 1 t/h, 2 kg/s */                         \
  X(double, lmtd) /* ℃ */                                                     \
  X(double, dt_hot_end) /* ℃ */                                               \
  X(double, dt_cold_end) /* ℃ */                                              \
  X(double, q_part) /* W */                                                   \
  X(double, t_h_in_trial) /* ℃ */                                             \
  X(double, t_h_out_trial) /* ℃ */                                            \
  X(double, t_c_in_trial) /* ℃ */                                             \
  X(double, t_c_out_trial) /* ℃ */                                            \
  /* row values of the interpolated lookups, kept per side between lookups */ \
  X(double, lk_t0_h) /* ℃ */                                                  \
  X(double, lk_r0_h) /* kg/m³ */                                              \
  X(double, lk_cp0_h) /* kJ/(kg·℃) */                                         \
  X(double, lk_l0_h) /* W/(m·℃) */                                            \
  X(double, lk_v0_h) /* mPa·s */                                              \
  X(double, lk_r1_h) /* kg/m³ */                                              \
  X(double, lk_cp1_h) /* kJ/(kg·℃) */                                         \
  X(double, lk_l1_h) /* W/(m·℃) */                                            \
  X(double, lk_v1_h) /* mPa·s */                                              \
  X(double, lk_t0_c) /* ℃ */                                                  \
  X(double, lk_r0_c) /* kg/m³ */                                              \
  X(double, lk_cp0_c) /* kJ/(kg·℃) */                                         \
  X(double, lk_l0_c) /* W/(m·℃) */                                            \
  X(double, lk_v0_c) /* mPa·s */                                              \
  X(double, lk_r1_c) /* kg/m³ */                                              \
  X(double, lk_cp1_c) /* kJ/(kg·℃) */                                         \
  X(double, lk_l1_c) /* W/(m·℃) */                                            \
  X(double, lk_v1_c) /* mPa·s */                                              \
  /* wall-viscosity lookup working values (shared by every wall lookup) */    \
  X(double, wall_v0) /* mPa·s */                                              \
  X(double, wall_v1) /* mPa·s */                                              \
  X(float, wall_v1_2) /* upper value of the kind-2 lookups, mPa·s */          \
  /* correction exponents */                                                  \
  X(double, pr_exp_h) /* – */                                                 \
  X(double, pr_exp_c) /* – */                                                 \
  X(double, visc_exp_h) /* – */                                               \
  X(double, visc_exp_c) /* – */                                               \
  X(double, visc_exp_dp_h) /* – */                                            \
  X(double, visc_exp_dp_c) /* – */                                            \
  /* catalogue selection */                                                   \
  X(std::string, plate_type)                                                  \
  X(std::string, model_code)                                                  \
  X(std::string, model_family)                                                \
  X(std::string, best_plate_type)                                             \
  X(std::string, arrangement_type)                                            \
  X(std::string, arrangement_dh)                                              \
  X(std::string, arrangement_dz)                                              \
  X(int16_t, type_index) /* position in the search */                         \
  /* plate data of the current plate type */                                  \
  X(double, plate_area) /* m² */                                              \
  X(double, channel_area) /* m² */                                            \
  X(double, d_e) /* m */                                                      \
  X(double, plate_length) /* m */                                             \
  X(double, port_zeta) /* – */                                                \
  X(double, port_d_h) /* mm */                                                \
  X(double, port_d_c) /* mm */                                                \
  X(double, port_k1) /* – */                                                  \
  X(double, port_k2) /* – */                                                  \
  X(double, port_k3) /* – */                                                  \
  X(double, port_k4) /* – */                                                  \
  X(double, port_k1_2) /* – */                                                \
  X(double, port_k2_2) /* – */                                                \
  X(double, port_k3_2) /* – */                                                \
  X(double, port_k4_2) /* – */                                                \
  X(double, cond_coef) /* – */                                                \
  X(double, steam_dp_coef) /* – */                                            \
  /* correlation interface */                                                 \
  X(double, re_in) /* – */                                                    \
  X(double, re_in_1) /* – */                                                  \
  X(double, re_in_2) /* – */                                                  \
  X(double, nu_coef) /* – */                                                  \
  X(double, nu_exp) /* – */                                                   \
  X(double, eu_coef) /* – */                                                  \
  X(double, eu_exp) /* – */                                                   \
  X(double, nu_coef_1) /* – */                                                \
  X(double, nu_exp_1) /* – */                                                 \
  X(double, nu_coef_2) /* – */                                                \
  X(double, nu_exp_2) /* – */                                                 \
  X(double, eu_coef_1) /* – */                                                \
  X(double, eu_exp_1) /* – */                                                 \
  X(double, eu_coef_2) /* – */                                                \
  X(double, eu_exp_2) /* – */                                                 \
  X(double, nu_coef_h) /* – */                                                \
  X(double, nu_exp_h) /* – */                                                 \
  X(double, eu_coef_h) /* – */                                                \
  X(double, eu_exp_h) /* – */                                                 \
  X(double, nu_coef_c) /* – */                                                \
  X(double, nu_exp_c) /* – */                                                 \
  X(double, eu_coef_c) /* – */                                                \
  X(double, eu_exp_c) /* – */                                                 \
  X(double, nu_coef_h1) /* – */                                               \
  X(double, nu_exp_h1) /* – */                                                \
  X(double, nu_coef_h2) /* – */                                               \
  X(double, nu_exp_h2) /* – */                                                \
  X(double, nu_coef_c1) /* – */                                               \
  X(double, nu_exp_c1) /* – */                                                \
  X(double, nu_coef_c2) /* – */                                               \
  X(double, nu_exp_c2) /* – */                                                \
  X(double, eu_coef_h1) /* – */                                               \
  X(double, eu_exp_h1) /* – */                                                \
  X(double, eu_coef_h2) /* – */                                               \
  X(float, eu_exp_h2) /* – */                                                 \
  X(double, eu_coef_c1) /* – */                                               \
  X(double, eu_exp_c1) /* – */                                                \
  X(double, eu_coef_c2) /* – */                                               \
  X(float, eu_exp_c2) /* – */                                                 \
  /* engine values */                                                         \
  X(double, channels) /* channels a pass */                                   \
  X(double, v_h) /* m/s */                                                    \
  X(double, v_c) /* m/s */                                                    \
  X(double, re_h) /* – */                                                     \
  X(double, re_c) /* – */                                                     \
  X(double, nu_h) /* – */                                                     \
  X(double, nu_c) /* – */                                                     \
  X(double, alpha_h) /* W/(m²·℃) */                                           \
  X(double, alpha_c) /* W/(m²·℃) */                                           \
  X(double, v_h1) /* m/s */                                                   \
  X(double, v_h2) /* m/s */                                                   \
  X(double, v_c1) /* m/s */                                                   \
  X(double, v_c2) /* m/s */                                                   \
  X(double, re_h1) /* – */                                                    \
  X(double, re_h2) /* – */                                                    \
  X(double, re_c1) /* – */                                                    \
  X(double, re_c2) /* – */                                                    \
  X(double, nu_h1) /* – */                                                    \
  X(double, nu_h2) /* – */                                                    \
  X(double, nu_c1) /* – */                                                    \
  X(double, nu_c2) /* – */                                                    \
  X(double, alpha_h1) /* W/(m²·℃) */                                          \
  X(double, alpha_h2) /* W/(m²·℃) */                                          \
  X(double, alpha_c1) /* W/(m²·℃) */                                          \
  X(float, alpha_c2) /* W/(m²·℃) */                                           \
  X(double, dp_ch_h1) /* kPa */                                               \
  X(float, dp_ch_h2) /* kPa */                                                \
  X(double, dp_ch_c1) /* kPa */                                               \
  X(double, dp_ch_c2) /* kPa */                                               \
  X(double, t_w_h) /* ℃ */                                                    \
  X(double, t_w_c) /* ℃ */                                                    \
  X(double, t_w_h1) /* ℃ */                                                   \
  X(double, t_w_c1) /* ℃ */                                                   \
  X(double, t_w_h2) /* ℃ */                                                   \
  X(double, t_w_c2) /* ℃ */                                                   \
  X(double, t_wall) /* ℃ */                                                   \
  X(double, visc_w_h) /* mPa·s */                                             \
  X(double, visc_w_c) /* mPa·s */                                             \
  X(double, visc_w_h1) /* mPa·s */                                            \
  X(double, visc_w_h2) /* mPa·s */                                            \
  X(double, visc_w_c1) /* mPa·s */                                            \
  X(double, visc_w_c2) /* mPa·s */                                            \
  X(float, lambda_plate) /* W/(m·℃) */                                        \
  X(double, lambda_sus304) /* W/(m·℃) */                                      \
  X(double, lambda_sus316) /* W/(m·℃) */                                      \
  X(double, k_calc) /* W/(m²·℃) */                                            \
  X(double, k_service) /* W/(m²·℃) */                                         \
  X(float, k_clean) /* W/(m²·℃) */                                            \
  X(double, k_1) /* W/(m²·℃) */                                               \
  X(double, k_2) /* W/(m²·℃) */                                               \
  X(double, k_1_clean) /* W/(m²·℃) */                                         \
  X(double, k_2_clean) /* W/(m²·℃) */                                         \
  X(double, area) /* m² */                                                    \
  X(double, best_area) /* m² */                                               \
  X(double, plate_count) /* count */                                          \
  X(double, margin) /* % */                                                   \
  X(double, fouling_out) /* m²·℃/W */                                         \
  X(double, dp_ch_h) /* kPa */                                                \
  X(double, dp_ch_c) /* kPa */                                                \
  X(double, dp_port_h) /* kPa */                                              \
  X(double, dp_port_c) /* kPa */                                              \
  X(double, dp_h) /* kPa */                                                   \
  X(double, dp_c) /* kPa */                                                   \
  X(double, v_port_h) /* m/s */                                               \
  X(double, v_port_c) /* m/s */                                               \
  X(float, port_share_h) /* % */                                              \
  X(double, port_share_c) /* % */                                             \
  X(double, shear_h) /* Pa */                                                 \
  X(double, shear_c) /* Pa */                                                 \
  X(double, dt_1) /* ℃ */                                                     \
  X(double, dt_2) /* ℃ */                                                     \
  X(double, t_h_out_2) /* ℃ */                                                \
  X(double, t_c_out_2) /* ℃ */                                                \
  X(double, area_excess) /* m² */                                             \
  /* condensate subcooling zone */                                            \
  X(double, flow_cond) /* m³/h */                                             \
  X(float, v_sc) /* m/s */                                                    \
  X(double, re_sc) /* – */                                                    \
  X(double, nu_sc) /* – */                                                    \
  X(double, alpha_sc) /* W/(m²·℃) */                                          \
  X(double, k_sc) /* W/(m²·℃) */                                              \
  X(double, lmtd_sc) /* ℃ */                                                  \
  X(double, area_sc) /* m² */                                                 \
  /* the two channel groups of a mixed pack */                                 \
  X(double, area_1) /* m² */                                                  \
  X(float, area_2) /* m² */                                                   \
  X(double, t_h_out_1) /* ℃ */                                                \
  X(double, t_c_out_1) /* ℃ */                                                \
  X(double, duty_calc) /* W */                                                \
  /* run totals before a split into parallel units */                         \
  X(double, duty_total) /* W */                                               \
  X(double, flow_h_total) /* m³/h */                                          \
  X(double, flow_c_total) /* m³/h */                                          \
  /* results for display and the case record */                              \
  X(double, frame_length) /* mm */                                            \
  X(double, frame_width) /* mm */                                             \
  X(double, frame_height) /* mm */                                            \
  X(float, weight) /* kg */                                                   \
  X(double, price) /* yuan */                                                 \
  X(double, pack_length)

struct SelectionState {
#define PHE_DECLARE_FIELD(type, name) type name{};
  PHE_STATE_FIELDS(PHE_DECLARE_FIELD)
#undef PHE_DECLARE_FIELD

  // The open engineering database (not owned).
  Database* db = nullptr;
};

// Calls f(name, value) for every field in declaration order.
template <class F>
void for_each_field(const SelectionState& s, F&& f) {
#define PHE_VISIT_FIELD(type, name) f(#name, s.name);
  PHE_STATE_FIELDS(PHE_VISIT_FIELD)
#undef PHE_VISIT_FIELD
}

template <class F>
void for_each_field(SelectionState& s, F&& f) {
#define PHE_VISIT_FIELD(type, name) f(#name, s.name);
  PHE_STATE_FIELDS(PHE_VISIT_FIELD)
#undef PHE_VISIT_FIELD
}

}  // namespace phe
