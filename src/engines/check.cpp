// The check calculation (`Br_Ys`): rates a pack whose plate type and channel
// counts are given, single types (liquid, steam) and mixed packs.
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/wall.h"

namespace phe {

namespace detail {

namespace {

void CheckGeometry(SelectionState& s) {
  s.plate_count = 2 * s.passes * (s.channels_ml + s.channels_hm) + 1;
  s.area = s.plate_area * (s.plate_count - 2);
  s.channels = s.channels_ml + s.channels_hm;
}

}  // namespace

void RateLiquidPack(SelectionState& s, Env& env) {
  CheckGeometry(s);
  s.v_h = s.flow_h / (3600 * s.channel_area * s.channels);
  s.v_c = s.flow_c / (3600 * s.channel_area * s.channels);
  s.re_h = Reynolds(s.rho_h, s.d_e, s.v_h, s.visc_h);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  NusseltCopyHot(s);
  EulerCopyHot(s);
  NusseltCopyCold(s);
  EulerCopyCold(s);
  FilmHotUncorrected(s);
  FilmColdUncorrected(s);
  for (int pass = 0; pass < 2; ++pass) {
    WallAndPlate(s, env);
    FilmHotCorrected(s);
    FilmColdCorrected(s);
  }
  // A third pass renews the wall viscosities and the plate conductivity only.
  WallAndPlate(s, env);
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
  LiquidDrops(s);
  s.shear_h = Shear(s, 1000, s.dp_ch_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);
  Pump(env);
}

void RateSteamPack(SelectionState& s, Env& env) {
  s.passes = 1;
  CheckGeometry(s);
  s.v_c = s.flow_c / (3600 * s.channel_area * s.channels);
  s.v_h = s.flow_h / (3600 * s.channel_area * s.channels);
  s.re_c = Reynolds(s.rho_c, s.d_e, s.v_c, s.visc_c);
  s.re_h = Reynolds(s.rho_steam, s.d_e, s.v_h, s.visc_steam);
  NusseltCopyCold(s);
  EulerCopyCold(s);
  FilmColdUncorrected(s);
  CondensationCoefficient(s);
  WallAndPlate(s, env);
  FilmColdCorrected(s);
  s.k_calc = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + s.plate_thickness * 0.001 / s.lambda_plate);
  s.dp_h = SteamSideDrop(s);
  s.dp_port_h = 0;
  s.dp_ch_c = ChannelDropCold(s);
  PortCold(s, s.channels);
  s.dp_c = s.dp_ch_c + s.dp_port_c;
  s.shear_h = Shear(s, 3800, s.dp_h);
  s.shear_c = Shear(s, 1000, s.dp_ch_c);
}

}  // namespace detail

namespace {

using namespace detail;

void Br_YsLiquid(SelectionState& s, Env& env) {
  RateLiquidPack(s, env);
  s.k_service = s.duty / (s.lmtd * s.area);
  // No fouling enters a check: this is the clean coefficient the window shows.
  s.k_clean = static_cast<float>(s.k_calc);
  s.margin = 100 * (s.k_calc / s.k_service - 1);
  Pump(env);
  s.fouling_out = 0;
  SingleFoulingCapacity(s, env);
}

void Br_YsSteam(SelectionState& s, Env& env) {
  RateSteamPack(s, env);
  s.k_clean = static_cast<float>(s.k_calc);
  s.k_service = s.duty / (s.lmtd * s.area);
  s.margin = 100 * (s.k_calc / s.k_service - 1);
  s.area_excess = s.area - s.area / (1 + 0.01 * s.margin);
  SingleFoulingCapacity(s, env);
  SteamSubcooling(s, env);
}

// The entered pack as it is; a pack of one kind is checked as that kind's type.
void Br_YsMixed(SelectionState& s, Env& env) {
  if (s.channels_hm <= 0 || s.channels_ml <= 0) {
    const std::string mixed_type = s.plate_type;
    s.plate_type = KindPlateType(mixed_type, s.channels_hm > 0 ? 1 : 2);
    Br_Ys(s, env);
    AnnounceOneKind(s, env, mixed_type);
    return;
  }
  const PackRating r = RateMixedPack(s, env, s.channels_hm, s.channels_ml, 0);
  PublishPack(s, r);
  MixedFoulingOut(s, r);
  if (s.visc_h > 20) ShowMessage(env.form, Message("mixed.viscous"), "title.notice", 48);
}

}  // namespace

void Br_Ys(SelectionState& s, Env& env) {
  PlateData(s);
  if (IsMixedPlateType(s.plate_type))
    Br_YsMixed(s, env);
  else if (s.hot_kind == 1)
    Br_YsLiquid(s, env);
  else if (s.hot_kind == 2)
    Br_YsSteam(s, env);
}

}  // namespace phe
