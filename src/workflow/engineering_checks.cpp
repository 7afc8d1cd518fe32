#include "workflow/engineering_checks.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "engines/steps.h"
#include "ui/input_panel.h"

namespace phe {

namespace {

constexpr int kCritical = 16;

// Region-4 coefficients n1..n10.
constexpr double kN[] = {0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2,
                         0.12020824702470e5,  -0.32325550322333e7, 0.14915108613530e2,
                         -0.48232657361591e4, 0.40511340542057e6,  -0.23855557567849,
                         0.65017534844798e3};

enum class Medium { kWater, kSteam, kGlycol, kOil };

// Continuous service range and fitness of gasket and port-lining elastomers;
// typical values of plate heat exchanger gasket guides (NBR about -10..110 degC,
// resists mineral oil; EPDM about -25..150 degC, water, glycol and steam, swells
// in mineral oil). Rubber lining suppliers quote the same figures.
struct Elastomer {
  const char* name;
  double t_min, t_max;  // degC
  bool water, steam, glycol, oil;
};
constexpr Elastomer kElastomers[] = {
    {"NBR", -10, 110, true, false, true, true},
    {"EPDM", -25, 150, true, true, true, false},
};

const char* MediumWords(Medium m) {
  switch (m) {
    case Medium::kWater: return "水";
    case Medium::kSteam: return "蒸汽";
    case Medium::kGlycol: return "乙二醇溶液";
    case Medium::kOil: return "矿物油";
  }
  return "";
}

bool Fits(const Elastomer& e, Medium m) {
  switch (m) {
    case Medium::kWater: return e.water;
    case Medium::kSteam: return e.steam;
    case Medium::kGlycol: return e.glycol;
    case Medium::kOil: return e.oil;
  }
  return false;
}

Medium MediumOf(const std::string& table, bool steam) {
  if (steam) return Medium::kSteam;
  if (table == "water") return Medium::kWater;
  if (table == "glycol") return Medium::kGlycol;
  return Medium::kOil;
}

bool Refuse(Env& env, const std::string& box, const std::string& text) {
  ShowMessage(env.form, text, "错误", kCritical);
  env.form.SetFocus(box);
  return false;
}

std::string Temp(double t) { return FormatFixed(t, 1) + "℃"; }

}  // namespace

double SaturationPressure(double t) {
  const double T = t + 273.15;
  const double v = T + kN[8] / (T - kN[9]);
  const double a = v * v + kN[0] * v + kN[1];
  const double b = kN[2] * v * v + kN[3] * v + kN[4];
  const double c = kN[5] * v * v + kN[6] * v + kN[7];
  return std::pow(2 * c / (-b + std::sqrt(b * b - 4 * a * c)), 4);
}

double SaturationTemperature(double p_abs) {
  const double beta = std::pow(p_abs, 0.25);
  const double e = beta * beta + kN[2] * beta + kN[5];
  const double f = kN[0] * beta * beta + kN[3] * beta + kN[6];
  const double g = kN[1] * beta * beta + kN[4] * beta + kN[7];
  const double d = 2 * g / (-f - std::sqrt(f * f - 4 * e * g));
  return (kN[9] + d - std::sqrt((kN[9] + d) * (kN[9] + d) - 4 * (kN[8] + kN[9] * d))) / 2 - 273.15;
}

double FreezingPoint(const std::string& table) {
  if (table == "water") return 0;
  // 25 % ethylene glycol by mass, the mixture the glycol table holds.
  if (table == "glycol") return -10.97;
  return NAN;
}

bool CheckMediumStates(SelectionState& s, Env& env) {
  const double p_abs = s.design_pressure + kAtmosphere;
  const std::string pressure = FormatGeneral(s.design_pressure) + " MPa";
  if (s.hot_kind == 2) {
    const double ps = SaturationPressure(s.t_h_in);
    if (ps > p_abs)
      return Refuse(env, "Txt_Th1",
                    "蒸汽在" + Temp(s.t_h_in) + "时的饱和压力为" + FormatFixed(ps - kAtmosphere, 3) +
                        " MPa（表压），超过设计压力" + pressure + "，请降低蒸汽温度或提高设计压力！");
  }
  const double t_sat = SaturationTemperature(p_abs);
  struct SideTemps {
    bool liquid;
    const std::string& table;
    double hottest, coldest;
    const char* hot_box;
    const char* cold_box;
    const char* side;
    const char* list;
  };
  const SideTemps sides[] = {
      {s.hot_kind == 1, s.table_h, s.t_h_in, s.t_h_out, "Txt_Th1", "Txt_Th2", "热介质", "Com_jh"},
      {true, s.table_c, s.t_c_out, s.t_c_in, "Txt_Tc2", "Txt_Tc1", "冷介质", "Com_jc"},
  };
  for (const SideTemps& side : sides) {
    if (!side.liquid) continue;
    const std::string name = std::string(side.side) + "（" + env.form.Text(side.list) + "）";
    // Water and its mixtures boil near the water line; oils boil far above
    // the tables' range.
    if (MediumOf(side.table, false) != Medium::kOil && side.hottest >= t_sat)
      return Refuse(env, side.hot_box,
                    name + "最高温度" + Temp(side.hottest) + "不低于设计压力" + pressure +
                        "（表压）下的饱和温度" + Temp(t_sat) + "，介质将汽化，请降低温度或提高设计压力！");
    const double freeze = FreezingPoint(side.table);
    if (!std::isnan(freeze) && side.coldest <= freeze)
      return Refuse(env, side.cold_box,
                    name + "最低温度" + Temp(side.coldest) + "不高于其冰点" + FormatGeneral(freeze) +
                        "℃，介质将冻结，请重新输入！");
  }
  return true;
}

std::vector<LimitBreach> EngineeringWarnings(const SelectionState& s) {
  std::vector<LimitBreach> out;
  const bool steam = s.hot_kind == 2;
  const Medium hot = MediumOf(s.table_h, steam);
  const Medium cold = MediumOf(s.table_c, false);
  const double hottest = std::max({s.t_h_in, s.t_h_out, s.t_c_in, s.t_c_out});
  const double coldest = steam ? std::min(s.t_c_in, s.t_c_out)
                               : std::min({s.t_h_in, s.t_h_out, s.t_c_in, s.t_c_out});

  auto elastomer = [&](const char* box, const char* what, const std::string& material) {
    for (const Elastomer& e : kElastomers) {
      if (!EqualsNoCase(material, e.name)) continue;
      if (hottest > e.t_max || coldest < e.t_min)
        out.push_back({box, std::string(what) + e.name + "的连续使用温度为" + FormatGeneral(e.t_min) +
                                "～" + FormatGeneral(e.t_max) + "℃，介质温度" + Temp(coldest) + "～" +
                                Temp(hottest) + "超出该范围，请选择其他材质！"});
      for (const auto& [m, side] : {std::pair{hot, "热介质"}, std::pair{cold, "冷介质"}})
        if (!Fits(e, m))
          out.push_back({box, std::string(what) + e.name + "不适用于" + side + "（" + MediumWords(m) +
                                  "），请选择其他材质！"});
    }
  };
  elastomer("Com_dpc", "垫片材质", s.gasket_material);
  elastomer("Com_jgl", "接口衬里材质", s.port_lining);

  // A mixed pack has two channel kinds on each side.
  const bool mixed = EqualsNoCase(s.arrangement_type, "HM") || EqualsNoCase(s.arrangement_type, "ML");
  auto slow = [&](const char* box, const char* side, double v) {
    if (v > 0 && v < kMinChannelVelocity)
      out.push_back({box, std::string(side) + "板间流速 " + FormatFixed(v, 3) + " m/s 低于 " +
                              FormatGeneral(kMinChannelVelocity) +
                              " m/s，流量分配不均且易结垢，请选择较小的型号或增加流程数！"});
  };
  if (mixed) {
    if (!steam) slow("Txt_Wlh", "热介质", std::min(s.v_h1, s.v_h2));
    slow("Txt_Wlc", "冷介质", std::min(s.v_c1, s.v_c2));
  } else {
    if (!steam) slow("Txt_Wlh", "热介质", s.v_h);
    slow("Txt_Wlc", "冷介质", s.v_c);
  }

  if (!mixed) {
    const std::string type = s.model_code + "-" + s.arrangement_type;
    const double lowest = LowestCorrelatedRe(type);
    auto band = [&](const char* box, const char* side, double re) {
      if (!std::isnan(lowest) && re > 0 && re < lowest)
        out.push_back({box, std::string(side) + "雷诺数 Re=" + FormatFixed(re, 1) + " 低于" + type +
                                "板型关联式的适用范围（Re≥" + FormatGeneral(lowest) +
                                "），计算结果为外推值！"});
    };
    if (!steam) band("Txt_Wlh", "热介质", s.re_h);
    band("Txt_Wlc", "冷介质", s.re_c);
  }

  // The search stops after its cap of steps; the value it leaves is no capacity.
  if (std::fabs(s.fouling_out) >= 0.999999 * detail::kFoulingStepCap * detail::kFoulingStep)
    out.push_back({"Txt_Rhc", "污垢系数搜索已达到步数上限，该换热器可承受的污垢系数大于 " +
                                  FormatGeneral(detail::kFoulingStepCap * detail::kFoulingStep) +
                                  " m2.℃/W，显示值不是计算结果！"});
  return out;
}

}  // namespace phe
