#include "workflow/run_guard.h"

#include <cmath>
#include <string_view>
#include <type_traits>

namespace phe {

namespace {

// Stems of the field names, longest first where one begins another.
struct Stem {
  std::string_view prefix;
  const char* id;  // of the quantity's words in the message catalogue
};

constexpr Stem kStems[] = {
    {"duty", "quantity.duty"},
    {"q_part", "quantity.q_part"},
    {"flow_cond", "quantity.flow_cond"},
    {"flow", "quantity.flow"},
    {"steam_flow", "quantity.steam_flow"},
    {"mass_flow", "quantity.mass_flow"},
    {"steam_dp", "quantity.steam_dp"},
    {"t_wall", "quantity.t_wall"},
    {"t_w", "quantity.t_wall"},
    {"t_h_in", "quantity.t_in"},
    {"t_c_in", "quantity.t_in"},
    {"t_h_out", "quantity.t_out"},
    {"t_c_out", "quantity.t_out"},
    {"t_h_mean", "quantity.t_mean"},
    {"t_c_mean", "quantity.t_mean"},
    {"t_balance", "quantity.t_mean"},
    {"dt_", "quantity.dt"},
    {"dp_port", "quantity.dp_port"},
    {"dp_max", "quantity.dp_max"},
    {"dp", "quantity.dp"},
    {"passes", "quantity.passes"},
    {"fouling", "quantity.fouling"},
    {"margin", "quantity.margin"},
    {"plate_thickness", "quantity.plate_thickness"},
    {"plate_area", "quantity.plate_area"},
    {"plate_length", "quantity.plate_length"},
    {"plate_count", "quantity.plate_count"},
    {"design_pressure", "quantity.design_pressure"},
    {"channels", "quantity.channels"},
    {"channel_area", "quantity.channel_area"},
    {"given_", "quantity.given"},
    {"rho_steam", "quantity.rho_steam"},
    {"rho", "quantity.rho"},
    {"cp_steam", "quantity.cp_steam"},
    {"cp", "quantity.cp"},
    {"lambda_steam", "quantity.lambda_steam"},
    {"lambda_plate", "quantity.lambda_plate"},
    {"lambda_sus", "quantity.lambda_plate"},
    {"lambda", "quantity.lambda"},
    {"visc_steam", "quantity.visc_steam"},
    {"visc_exp", "quantity.visc_exp"},
    {"visc_w", "quantity.visc_w"},
    {"visc", "quantity.visc"},
    {"pr_exp", "quantity.pr_exp"},
    {"pr", "quantity.pr"},
    {"latent_heat", "quantity.latent_heat"},
    {"lmtd", "quantity.lmtd"},
    {"lk_", "quantity.lookup"},
    {"wall_", "quantity.wall_lookup"},
    {"port_d", "quantity.port_d"},
    {"port_share", "quantity.port_share"},
    {"port_", "quantity.port"},
    {"d_e", "quantity.d_e"},
    {"cond_coef", "quantity.cond_coef"},
    {"re", "quantity.re"},
    {"nu", "quantity.nu"},
    {"eu", "quantity.eu"},
    {"alpha", "quantity.alpha"},
    {"k_", "quantity.k"},
    {"area", "quantity.area"},
    {"best_area", "quantity.area"},
    {"shear", "quantity.shear"},
    {"v_port", "quantity.v_port"},
    {"v_", "quantity.v"},
    {"units", "quantity.units"},
    {"frame", "quantity.frame"},
    {"weight", "quantity.weight"},
    {"price", "quantity.price"},
    {"pack_length", "quantity.pack_length"},
    {"duty_calc", "quantity.duty_calc"},
};

bool Token(std::string_view name, std::string_view token) {
  for (size_t at = name.find(token); at != std::string_view::npos; at = name.find(token, at + 1)) {
    const size_t end = at + token.size();
    if (at > 0 && name[at - 1] == '_' && (end == name.size() || name[end] == '_' ||
                                          (name[end] >= '0' && name[end] <= '9')))
      return true;
  }
  return false;
}

}  // namespace

Message RunGuard::QuantityWords(const std::string& field) {
  const Stem* best = nullptr;
  for (const Stem& st : kStems)
    if (field.compare(0, st.prefix.size(), st.prefix) == 0 &&
        (!best || st.prefix.size() > best->prefix.size()))
      best = &st;
  const char* side = "qside.none";
  if (Token(field, "h") || Token(field, "hm")) side = "qside.hot";
  if (Token(field, "c") || Token(field, "ml")) side = "qside.cold";
  if (field.rfind("channels_hm", 0) == 0) side = "qside.hm";
  if (field.rfind("channels_ml", 0) == 0) side = "qside.ml";
  return Message("quantity").Ref("side", side).Ref("quantity", best ? best->id : "quantity.other");
}

RunGuard::RunGuard(FormPort& form, SelectionState& s) : form_(form) {
  for_each_field(s, [](const char*, auto& v) {
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_floating_point_v<T>)
      if (!std::isfinite(v)) v = 0;
  });
}

std::string RunGuard::FirstNonFinite(const SelectionState& s) {
  std::string bad;
  for_each_field(s, [&](const char* name, const auto& v) {
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_floating_point_v<T>)
      if (bad.empty() && !std::isfinite(v)) bad = name;
  });
  return bad;
}

void RunGuard::Check(const SelectionState& s, const char* stage) const {
  const std::string bad = FirstNonFinite(s);
  if (bad.empty()) return;
  Message m = QuantityWords(bad);
  m.id = "guard.invalid";
  m.Ref("stage", stage);
  ShowMessage(form_, m, "title.error", 16);
  throw RunAborted{};
}

}  // namespace phe
