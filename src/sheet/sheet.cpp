#include "sheet/sheet.h"

#include <algorithm>
#include <cmath>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "state/flow_units.h"

#ifndef PHE_VERSION
#define PHE_VERSION "unknown"
#endif

namespace phe::sheet {

namespace {

// Builds one document in one language: every caption goes through T().
class Builder {
 public:
  Builder(const RunResult& result, Lang lang)
      : r_(result), s_(result.record), lang_(lang), steam_(s_.hot_kind == 2) {
    const std::string& sized = result.sized_plate_type;
    mixed_ = IsMixedPlateType(sized);
    if (mixed_) {
      // HM packs hold kinds H and M, ML packs M and L.
      const bool hm = sized.size() >= 2 && EqualsNoCase(sized.substr(sized.size() - 2), "HM");
      kind1_ = hm ? 'H' : 'M';
      kind2_ = hm ? 'M' : 'L';
    }
  }

  Document Build(const std::vector<Message>& messages, const Meta& meta);

 private:
  std::string T(const char* zh, const char* en) const { return lang_ == Lang::kZh ? zh : en; }
  // A result box's text, as the window shows it.
  const std::string& Box(const char* control) const { return r_.Text(control); }
  // A value of the completed balance, as its box shows a computed one.
  const std::string& Balance(const char* control) const { return r_.Balance(control); }
  static std::string F(double x, int decimals) { return FormatFixed(x, decimals); }
  // A flow with at least four significant digits, so that a small flow's
  // printed heat balance still closes.
  static std::string Flow(double x) {
    const int lead = x > 0 ? static_cast<int>(std::floor(std::log10(x))) : 0;
    return FormatFixed(x, std::clamp(3 - lead, 3, 6));
  }
  // A result box, or the value itself when the window blanks the box.
  std::string BoxOr(const char* control, double x, int decimals) const {
    const std::string t = Box(control);
    return t.empty() ? F(x, decimals) : t;
  }

  Table OperatingCase() const;
  Table Exchanger() const;
  Working Thermal() const;
  // The working of a simulation: the pack's outlets from its coefficient
  // and area as a counter-current exchanger.
  template <class Line>
  void Simulation(Line& line) const;
  Table Hydraulics() const;
  Diagram TemperatureDuty() const;

  // The clean coefficient the reported margin rests on.
  double CleanK() const;

  const RunResult& r_;
  const SelectionState& s_;
  Lang lang_;
  bool steam_;
  bool mixed_ = false;
  std::string kind1_, kind2_;
};

Table TwoSided(std::string title) {
  Table t;
  t.title = std::move(title);
  t.widths = {3.2, 2.4, 2.4, 1.6};
  t.align = {Align::kLeft, Align::kRight, Align::kRight, Align::kLeft};
  t.header = true;
  return t;
}

Table WithHeader(Table t, const std::string& hot, const std::string& cold,
                 const std::string& unit) {
  t.rows.push_back({"", hot, cold, unit});
  return t;
}

Table Builder::OperatingCase() const {
  Table t = WithHeader(TwoSided(T("工况参数", "Operating case")), T("热侧", "Hot side"),
                                T("冷侧", "Cold side"), T("单位", "Unit"));
  auto row = [&](std::string caption, std::string hot, std::string cold, std::string unit) {
    t.rows.push_back({std::move(caption), std::move(hot), std::move(cold), std::move(unit)});
  };
  row(T("介质", "Medium"), r_.medium_h, r_.medium_c, "");
  row(T("进口温度", "Inlet temperature"), Balance("Txt_Th1"), Balance("Txt_Tc1"), "℃");
  const bool simulated = s_.calc_mode == 3;
  row(steam_ ? T("出口温度（凝结水，富余面积过冷）", "Outlet temperature (condensate, subcooled by spare area)")
             : simulated ? T("出口温度（模拟结果）", "Outlet temperature (simulated)")
                         : T("出口温度", "Outlet temperature"),
      steam_ ? F(s_.t_h_out, 1) : Balance("Txt_Th2"), Balance("Txt_Tc2"), "℃");
  // Every flow in all three units, whichever its box was given in.
  auto flow = [&](bool hot, FlowUnit unit) { return FormatSignificant(FlowInUnit(s_, hot, unit), 4); };
  row(steam_ ? T("体积流量（蒸汽）", "Volume flow (steam)") : T("体积流量", "Volume flow"),
      flow(true, kCubicMetresPerHour), flow(false, kCubicMetresPerHour), "m³/h");
  for (const auto& [unit, name] : {std::pair{kTonnesPerHour, "t/h"}, std::pair{kKilogramsPerSecond, "kg/s"}})
    row(steam_ ? T("质量流量（蒸汽）", "Mass flow (steam)") : T("质量流量", "Mass flow"),
        flow(true, unit), flow(false, unit), name);
  if (steam_) {
    row(T("凝结水流量", "Condensate flow"), F(s_.steam_flow / s_.rho_h, 3), "", "m³/h");
    row(T("汽化潜热", "Latent heat"), F(s_.latent_heat, 1), "", "kJ/kg");
    row(T("蒸汽密度", "Steam density"), F(s_.rho_steam, 4), "", "kg/m³");
  }
  row(T("允许压降", "Allowed pressure drop"), FormatGeneral(s_.dp_max_h), FormatGeneral(s_.dp_max_c), "kPa");
  row(T("计算压降", "Calculated pressure drop"), Box("Txt_Ph1"), Box("Txt_Pc1"), "kPa");
  row(T("定性温度", "Mean temperature"), F(s_.t_h_mean, 2), F(s_.t_c_mean, 2), "℃");
  const std::string cond = steam_ ? T("（凝结水）", " (condensate)") : "";
  row(T("密度 ρ", "Density ρ") + cond, F(s_.rho_h, 2), F(s_.rho_c, 2), "kg/m³");
  row(T("比热 cp", "Specific heat cp") + cond, F(s_.cp_h, 4), F(s_.cp_c, 4), "kJ/(kg·℃)");
  row(T("导热系数 λ", "Conductivity λ") + cond, F(s_.lambda_h, 4), F(s_.lambda_c, 4), "W/(m·℃)");
  row(T("动力粘度 μ", "Viscosity μ") + cond, F(s_.visc_h, 4), F(s_.visc_c, 4), "mPa·s");
  row(T("普朗特数 Pr", "Prandtl number Pr") + cond, F(s_.pr_h, 3), F(s_.pr_c, 3), "");
  return t;
}

Table Builder::Exchanger() const {
  Table t;
  t.title = T("换热器", "Exchanger");
  t.widths = {2.3, 2.6, 2.3, 2.6};
  t.align = {Align::kLeft, Align::kLeft, Align::kLeft, Align::kLeft};
  std::vector<std::pair<std::string, std::string>> cells;
  auto cell = [&](std::string caption, std::string value, const std::string& unit = "") {
    if (!unit.empty() && !value.empty()) value += " " + unit;
    cells.emplace_back(std::move(caption), std::move(value));
  };
  cell(T("型号规格", "Designation"), s_.plate_type);
  cell(T("机型", "Model"), s_.model_code);
  cell(T("板片类型", "Channel type"), s_.arrangement_type);
  cell(T("流道布置 Dh", "Arrangement Dh"), s_.arrangement_dh);
  cell(T("流道布置 Dz", "Arrangement Dz"), s_.arrangement_dz);
  cell(T("流程数", "Passes"), FormatGeneral(s_.passes));
  cell(T("每程流道数 H/M", "Channels per pass H/M"), Box("Txt_nh"));
  cell(T("每程流道数 M/L", "Channels per pass M/L"), Box("Txt_nl"));
  cell(T("板片数", "Plates"), FormatGeneral(s_.plate_count));
  cell(T("换热面积", "Heat-transfer area"), BoxOr("Txt_F", s_.area, 1), "m²");
  cell(T("板片材质", "Plate material"), s_.plate_material);
  cell(T("板片厚度", "Plate thickness"), FormatGeneral(s_.plate_thickness), "mm");
  cell(T("垫片材质", "Gasket"), s_.gasket_material);
  cell(T("接口材质", "Connection lining"), s_.port_lining);
  cell(T("设计压力", "Design pressure"), FormatGeneral(s_.design_pressure), "MPa");
  cell(T("接口直径 热/冷", "Port diameter hot/cold"), Box("Txt_D2") + " / " + Box("Txt_D1"), "mm");
  cell(T("外形尺寸", "Outline L×B×H"), Box("Txt_H"), "mm");
  cell(T("运行重量", "Operating weight"), Box("Txt_W"), "kg");
  cell(T("参考价格", "Reference price"), Box("Txt_Y"), "￥");
  cell(T("并联台数", "Units in parallel"), FormatGeneral(s_.units));
  if (s_.units > 1) {
    cell(T("总换热量", "Total duty"), F(s_.duty * s_.units / 1000, 1), "kW");
    cell(T("总换热面积", "Total area"), F(s_.area * s_.units, 1), "m²");
    if (!Box("Txt_Y").empty())
      cell(T("总参考价格", "Total reference price"), FormatGeneral(s_.price * s_.units), "￥");
  }
  if (cells.size() % 2) cells.emplace_back("", "");
  for (size_t i = 0; i < cells.size(); i += 2)
    t.rows.push_back({cells[i].first, cells[i].second, cells[i + 1].first, cells[i + 1].second});
  return t;
}

double Builder::CleanK() const {
  if (!mixed_) {
    const double r = 1 / s_.alpha_h + 1 / s_.alpha_c + s_.plate_thickness * 0.001 / s_.lambda_plate;
    return 0.95 / r;
  }
  // The pack's coefficient that closes Q = K·A·ΔTm with its margin.
  return s_.k_clean;
}

template <class Line>
void Builder::Simulation(Line& line) const {
  const double c_c = s_.flow_c * s_.rho_c * s_.cp_c / 3.6;
  const double c_h = steam_ ? 0 : s_.flow_h * s_.rho_h * s_.cp_h / 3.6;
  std::string rates = steam_ ? T("Ch = ∞（冷凝）", "Ch = ∞ (condensing)")
                             : "Ch = Vh·ρh·cph / 3.6 = " + F(s_.flow_h, 3) + " × " + F(s_.rho_h, 2) + " × " +
                                   F(s_.cp_h, 4) + " / 3.6 = " + F(c_h, 1) + " W/℃";
  rates += ",  Cc = Vc·ρc·cpc / 3.6 = " + F(c_c, 1) + " W/℃";
  line(T("热容量流率", "Heat capacity rates"), rates);
  if (mixed_) {
    line(T("模拟换热量", "Simulated duty"),
         "Q = " + F(s_.duty / 1000, 2) + " kW  " +
             T("（两组流道各按逆流换热器计算，出口混合）", "(each channel group a counter-current exchanger, outlets mixed)"));
    return;
  }
  const double kf = 0.95 / (1 / s_.alpha_h + 1 / s_.alpha_c + s_.plate_thickness * 0.001 / s_.lambda_plate + s_.fouling);
  const double c_min = steam_ ? c_c : std::min(c_h, c_c);
  const double cr = steam_ ? 0 : c_min / std::max(c_h, c_c);
  const double ntu = kf * s_.area / c_min;
  const double e = std::exp(-ntu * (1 - cr));
  const double eff = std::abs(1 - cr) < 1e-9 ? ntu / (1 + ntu) : (1 - e) / (1 - cr * e);
  const double q = eff * c_min * (s_.t_h_in - s_.t_c_in);
  line(T("传热单元数", "Transfer units"),
       "NTU = Kf·A / Cmin = " + F(kf, 1) + " × " + F(s_.area, 4) + " / " + F(c_min, 1) + " = " + F(ntu, 4) +
           ",  Cr = Cmin / Cmax = " + F(cr, 4));
  line(T("逆流效能", "Counter-current effectiveness"),
       "ε = (1 − e^(−NTU·(1−Cr))) / (1 − Cr·e^(−NTU·(1−Cr))) = " + F(eff, 5));
  line(T("模拟换热量", "Simulated duty"), "Q = ε·Cmin·(Th1 − Tc1) = " + F(eff, 5) + " × " + F(c_min, 1) + " × " +
                                             F(s_.t_h_in - s_.t_c_in, 2) + " = " + F(q / 1000, 2) + " kW");
  std::string outlets = steam_ ? "Th2 = Th1 = " : "Th2 = Th1 − Q/Ch = ";
  outlets += F(steam_ ? s_.t_h_in : s_.t_h_in - q / c_h, 2);
  outlets += " ℃,  Tc2 = Tc1 + Q/Cc = ";
  outlets += F(s_.t_c_in + q / c_c, 2);
  outlets += " ℃";
  line(T("模拟出口温度", "Simulated outlets"), outlets);
}

Working Builder::Thermal() const {
  Working w;
  w.title = T("传热计算", "Thermal working");
  auto line = [&](std::string caption, std::string formula) {
    w.lines.emplace_back(std::move(caption), std::move(formula));
  };
  const double q_kw = s_.duty / 1000;
  if (s_.calc_mode == 3) Simulation(line);

  // Heat balance of each side from the printed values.
  if (steam_) {
    const double q = s_.steam_flow * s_.latent_heat / 3600;
    line(T("热侧热量", "Hot-side heat"),
         "Q = G·r / 3600 = " + F(s_.steam_flow, 2) + " × " + F(s_.latent_heat, 2) + " / 3600 = " +
             F(q, 2) + " kW");
  } else {
    const double q = s_.flow_h * s_.rho_balance_h * s_.cp_balance_h * (s_.t_h_in - s_.t_h_out) / 3600;
    line(T("热侧热量", "Hot-side heat"),
         "Q = Vh·ρh·cph·(Th1 − Th2) / 3600 = " + Flow(s_.flow_h) + " × " + F(s_.rho_balance_h, 2) +
             " × " + F(s_.cp_balance_h, 4) + " × " + F(s_.t_h_in - s_.t_h_out, 2) + " / 3600 = " +
             F(q, 2) + " kW");
  }
  {
    const double q = s_.flow_c * s_.rho_balance_c * s_.cp_balance_c * (s_.t_c_out - s_.t_c_in) / 3600;
    line(T("冷侧热量", "Cold-side heat"),
         "Q = Vc·ρc·cpc·(Tc2 − Tc1) / 3600 = " + Flow(s_.flow_c) + " × " + F(s_.rho_balance_c, 2) +
             " × " + F(s_.cp_balance_c, 4) + " × " + F(s_.t_c_out - s_.t_c_in, 2) + " / 3600 = " +
             F(q, 2) + " kW");
  }
  // The balance's properties differ from the table's, which are taken at the
  // corrected mean temperature for the film coefficients.
  line(T("热平衡物性温度", "Heat-balance property temperature"),
       (steam_ ? std::string() : "th = " + F(s_.t_balance_h, 2) + " ℃,  ") + "tc = " +
           F(s_.t_balance_c, 2) + " ℃");
  line(T("换热量", "Duty"), "Q = " + Balance("Txt_Wq") + " kW");

  // Log-mean difference from the two end differences.
  const double th_end = steam_ ? s_.t_h_in : s_.t_h_out;
  const double dt1 = s_.t_h_in - s_.t_c_out;
  const double dt2 = th_end - s_.t_c_in;
  line(T("端部温差", "End differences"),
       std::string("ΔT1 = Th1 − Tc2 = ") + F(dt1, 2) + " ℃,  ΔT2 = " +
           (steam_ ? "Th1" : "Th2") + " − Tc1 = " + F(dt2, 2) + " ℃");
  if (!steam_ && std::trunc(dt1 - dt2) == 0)
    line(T("算术平均温差", "LMTD (arithmetic mean)"),
         "ΔTm = (ΔT1 + ΔT2) / 2 = " + F(s_.lmtd, 3) + " ℃  (" + Box("Txt_TM") + " ℃)");
  else
    line(T("对数平均温差", "LMTD"),
         "ΔTm = (ΔT1 − ΔT2) / ln(ΔT1 / ΔT2) = (" + F(dt1, 2) + " − " + F(dt2, 2) + ") / ln(" +
             F(dt1, 2) + " / " + F(dt2, 2) + ") = " + F(s_.lmtd, 3) + " ℃  (" + Box("Txt_TM") +
             " ℃)");

  // Required coefficient and the check that the printed numbers close.
  line(T("所需传热系数", "Required coefficient"),
       "K = Q / (A·ΔTm) = " + F(s_.duty, 0) + " / (" + F(s_.area, 4) + " × " + F(s_.lmtd, 3) +
           ") = " + FormatSignificant(s_.k_service, 5) + " W/(m²·℃)  (" + Box("Txt_K") + ")");
  line(T("校核", "Check"), "Q = K·A·ΔTm = " + FormatSignificant(s_.k_service, 5) + " × " + F(s_.area, 4) + " × " +
                                F(s_.lmtd, 3) + " = " +
                                F(s_.k_service * s_.area * s_.lmtd / 1000, 2) + " kW  (" +
                                F(q_kw, 2) + " kW)");

  // Series resistances.
  const double rw = s_.plate_thickness * 0.001 / s_.lambda_plate;
  line(T("板片热阻", "Plate resistance"),
       "δ/λ = " + F(s_.plate_thickness * 0.001, 4) + " / " + F(s_.lambda_plate, 2) + " = " +
           F(rw, 7) + " m²·℃/W");
  auto series = [&](const std::string& tag, double ah, double ac) {
    const double r = 1 / ah + 1 / ac + rw;
    const std::string terms = F(1 / ah, 7) + " + " + F(1 / ac, 7) + " + " + F(rw, 7);
    line(T("净传热系数", "Clean coefficient") + tag,
         "K0 = 0.95 / (1/αh + 1/αc + δ/λ) = 0.95 / (" + terms + ") = " + F(0.95 / r, 1) +
             " W/(m²·℃)");
    line(T("含污垢传热系数", "Coefficient with fouling") + tag,
         "Kf = 0.95 / (1/αh + 1/αc + δ/λ + Rf) = 0.95 / (" + terms + " + " + F(s_.fouling, 6) +
             ") = " + F(0.95 / (r + s_.fouling), 1) + " W/(m²·℃)");
  };
  if (!mixed_) {
    series("", s_.alpha_h, s_.alpha_c);
  } else {
    if (s_.channels_hm > 0) series(" " + kind1_, s_.alpha_h1, s_.alpha_c1);
    if (s_.channels_ml > 0) series(" " + kind2_, s_.alpha_h2, static_cast<double>(s_.alpha_c2));
    if (s_.channels_hm > 0 && s_.channels_ml > 0)
      line(T("板束净传热系数", "Clean pack coefficient"),
           "K0 = " + F(CleanK(), 1) + " W/(m²·℃)  " +
               T("（两组流道各按逆流换热器计算，出口混合）",
                 "(each channel group a counter-current exchanger, outlets mixed)"));
  }
  line(T("设计裕量", "Margin"), "100 · (K0 / K − 1) = 100 × (" + F(CleanK(), 1) + " / " +
                                  FormatSignificant(s_.k_service, 5) + " − 1) → " + Box("Txt_GF") + " %");
  line(T("可承受污垢系数", "Fouling the pack can carry"), "Rf,max = " + Box("Txt_RHC1") + " m²·℃/W");
  // Condensation carries the whole duty; the spare area may cool the
  // condensate further, which is capacity beyond the duty, not part of it.
  if (steam_ && s_.t_h_out < s_.t_h_in)
    line(T("凝结水过冷（富余能力，不计入换热量）", "Condensate subcooling (spare capacity, not in the duty)"),
         "Q_sc = G·cp·(Th1 − Th2) / 3600 = " + F(s_.steam_flow, 2) + " × " + F(s_.cp_h, 4) +
             " × " + F(s_.t_h_in - s_.t_h_out, 2) + " / 3600 = " +
             F(s_.steam_flow * s_.cp_h * (s_.t_h_in - s_.t_h_out) / 3600, 2) + " kW");
  return w;
}

Table Builder::Hydraulics() const {
  Table t = WithHeader(TwoSided(T("流动与压降", "Hydraulics")), T("热侧", "Hot side"),
                                T("冷侧", "Cold side"), T("单位", "Unit"));
  auto row = [&](std::string caption, std::string hot, std::string cold, std::string unit) {
    t.rows.push_back({std::move(caption), std::move(hot), std::move(cold), std::move(unit)});
  };
  const std::string wm = "W/(m²·℃)";
  if (!mixed_) {
    row(T("板间流速", "Channel velocity"), F(s_.v_h, 3), F(s_.v_c, 3), "m/s");
    row(T("雷诺数 Re", "Reynolds number Re"), F(s_.re_h, 0), F(s_.re_c, 0), "");
    row(steam_ ? T("膜传热系数 α（冷凝）", "Film coefficient α (condensing)")
               : T("膜传热系数 α", "Film coefficient α"),
        F(s_.alpha_h, 0), F(s_.alpha_c, 0), wm);
    row(T("板间压降", "Channel pressure drop"), F(steam_ ? s_.dp_h - s_.dp_port_h : s_.dp_ch_h, 2),
        F(s_.dp_ch_c, 2), "kPa");
  } else {
    struct Kind {
      const std::string& name;
      bool present;
      double v_h, v_c, re_h, re_c, a_h, a_c, dp_h, dp_c;
    };
    const Kind kinds[] = {
        {kind1_, s_.channels_hm > 0, s_.v_h1, s_.v_c1, s_.re_h1, s_.re_c1, s_.alpha_h1,
         s_.alpha_c1, s_.dp_ch_h1, s_.dp_ch_c1},
        {kind2_, s_.channels_ml > 0, s_.v_h2, s_.v_c2, s_.re_h2, s_.re_c2, s_.alpha_h2,
         static_cast<double>(s_.alpha_c2), static_cast<double>(s_.dp_ch_h2), s_.dp_ch_c2},
    };
    for (const Kind& k : kinds) {
      if (!k.present) continue;
      const std::string tag = " " + k.name;
      row(T("板间流速", "Channel velocity") + tag, F(k.v_h, 3), F(k.v_c, 3), "m/s");
      row(T("雷诺数 Re", "Reynolds number Re") + tag, F(k.re_h, 0), F(k.re_c, 0), "");
      row(T("膜传热系数 α", "Film coefficient α") + tag, F(k.a_h, 0), F(k.a_c, 0), wm);
      row(T("板间压降", "Channel pressure drop") + tag, F(k.dp_h, 2), F(k.dp_c, 2), "kPa");
    }
    row(T("板束板间压降", "Pack channel pressure drop"), F(s_.dp_ch_h, 2), F(s_.dp_ch_c, 2), "kPa");
  }
  row(T("接口流速", "Port velocity"), Box("Txt_Wlh"), Box("Txt_Wlc"), "m/s");
  row(T("接口压降", "Port pressure drop"), Box("Txt_Ph2"), Box("Txt_Pc2"), "kPa");
  row(T("总压降", "Total pressure drop"), Box("Txt_Ph1"), Box("Txt_Pc1"), "kPa");
  row(T("允许压降", "Allowed pressure drop"), FormatGeneral(s_.dp_max_h), FormatGeneral(s_.dp_max_c), "kPa");
  row(T("壁面剪切指标", "Wall shear indicator"), F(s_.shear_h, 1), F(s_.shear_c, 1), "Pa");
  return t;
}

Diagram Builder::TemperatureDuty() const {
  Diagram d;
  d.title = T("温度—热量图", "Temperature–duty diagram");
  d.x_caption = T("传递热量 Q [kW]", "Transferred duty Q [kW]");
  d.y_caption = T("温度 [℃]", "Temperature [℃]");
  d.hot_caption = steam_ ? T("蒸汽/凝结水", "Steam/condensate") : T("热介质", "Hot medium");
  d.cold_caption = T("冷介质", "Cold medium");
  const double q = s_.duty / 1000;
  d.q_max = q;
  // Counterflow: the cold inlet meets the hot outlet at Q = 0.
  d.cold = {{0, s_.t_c_in}, {q, s_.t_c_out}};
  if (steam_) {
    // The duty is all condensation; subcooling lies outside it.
    d.hot = {{0, s_.t_h_in}, {q, s_.t_h_in}};
    d.note = s_.t_h_out < s_.t_h_in
                 ? T("水平段：冷凝，承担全部换热量；凝结水可利用富余面积过冷至 ",
                     "Flat line: condensing, the whole duty; the spare area may subcool the condensate to ") +
                       F(s_.t_h_out, 1) + T(" ℃（不计入换热量）", " ℃ (not in the duty)")
                 : T("水平段：冷凝", "Flat part: condensing");
  } else {
    d.hot = {{0, s_.t_h_out}, {q, s_.t_h_in}};
    d.labels.push_back({0, s_.t_h_out, "Th2 " + Balance("Txt_Th2")});
  }
  d.labels.push_back({q, s_.t_h_in, "Th1 " + Balance("Txt_Th1")});
  d.labels.push_back({0, s_.t_c_in, "Tc1 " + Balance("Txt_Tc1")});
  d.labels.push_back({q, s_.t_c_out, "Tc2 " + Balance("Txt_Tc2")});
  return d;
}

Document Builder::Build(const std::vector<Message>& messages, const Meta& meta) {
  Document doc;
  doc.title = T("板式换热器选型计算书", "Plate heat exchanger calculation sheet");
  doc.program = std::string("pheselect ") + PHE_VERSION;
  doc.when = meta.when;
  std::vector<std::string> parts;
  if (!meta.project.empty()) parts.push_back(T("项目：", "Project: ") + meta.project);
  if (!meta.item.empty()) parts.push_back(T("位号：", "Item: ") + meta.item);
  if (!meta.customer.empty()) parts.push_back(T("客户：", "Customer: ") + meta.customer);
  for (size_t i = 0; i < parts.size(); ++i) doc.project_line += (i ? "    " : "") + parts[i];
  doc.designation = s_.plate_type;
  doc.case_line = (s_.calc_mode == 3   ? T("模拟计算", "Simulation")
                   : s_.calc_mode == 2 ? T("校核计算", "Check calculation")
                                       : T("设计计算", "Design calculation")) +
                  "  ·  " +
                  (s_.selection_mode == 1 ? T("人工选型", "manual selection")
                                          : T("自动选型", "automatic selection"));
  doc.blocks.emplace_back(OperatingCase());
  doc.blocks.emplace_back(Exchanger());
  doc.blocks.emplace_back(Thermal());
  doc.blocks.emplace_back(Hydraulics());
  Notes warnings;
  warnings.title = T("提示与警告", "Warnings");
  for (const Message& m : messages) warnings.items.push_back(Format(m, lang_));
  warnings.empty = T("本次计算无提示。", "The run showed no warning.");
  doc.blocks.emplace_back(std::move(warnings));
  doc.blocks.emplace_back(TemperatureDuty());
  doc.footer = T("本计算书为参考计算，不是制造商认证的技术数据表。",
                 "Reference calculation, not the manufacturer's certified datasheet.");
  doc.page_pattern = T("第 %1 页 / 共 %2 页", "Page %1 of %2");
  doc.continued = T("（续）", " (continued)");
  return doc;
}

}  // namespace

void AppendAlternatives(Document& doc, const AlternativesTable& table, Lang lang) {
  if (table.rows.empty()) return;
  const bool zh = lang == Lang::kZh;
  auto tr = [zh](const char* c, const char* e) { return std::string(zh ? c : e); };
  auto status = [&](const std::string& s) {
    if (s == "fits") return tr("满足", "fits");
    if (s == "area") return tr("面积超限", "area");
    if (s == "pressure_drop") return tr("压降超限", "pressure drop");
    if (s == "port_velocity") return tr("接口流速超限", "port velocity");
    if (s == "channel_limit") return tr("流道数达上限", "channel limit");
    if (s == "engineering") return tr("工程校核警告", "engineering warning");
    if (s == "port_loss") return tr("接口压损占比大", "port loss share");
    if (s == "margin") return tr("裕量不足", "margin");
    if (s == "warning") return tr("有警告", "warning");
    return s;
  };
  Table t;
  t.title = tr("方案比较（★ 程序的选型，☆ 型号族规则的选型；面积 m²，K W/m²·℃，裕量 %，压降 kPa，价格 ￥，重量 kg）",
               "Alternatives (★ answer, ☆ family rule; area m², K W/m²·℃, margin %, drops kPa, price ￥, "
               "weight kg)");
  t.widths.assign(16, 1);
  t.align = {Align::kCenter, Align::kLeft,  Align::kLeft,  Align::kRight, Align::kRight, Align::kRight,
             Align::kRight,  Align::kRight, Align::kRight, Align::kRight, Align::kRight, Align::kRight,
             Align::kRight,  Align::kRight, Align::kRight, Align::kLeft};
  t.header = true;
  t.new_page = true;
  t.fit_columns = true;
  t.rows.push_back({"", tr("板型", "Type"), tr("型号", "Designation"), tr("流程", "Passes"),
                    tr("台数", "Units"), tr("面积", "Area"), "K", tr("裕量", "Margin"),
                    tr("热侧压降", "Hot drop"), tr("冷侧压降", "Cold drop"), tr("价格", "Price"),
                    tr("重量", "Weight"), tr("总面积", "Total area"), tr("总价格", "Total price"),
                    tr("总重量", "Total weight"), tr("状态", "Status")});
  for (const Alternative& a : table.rows)
    t.rows.push_back({std::string(a.chosen ? "★" : "") + (a.rule_choice ? "☆" : ""), a.PlateType(),
                      a.designation, FormatWhole(a.passes), FormatWhole(a.units), FormatFixed(a.area, 1),
                      FormatWhole(a.k_service), FormatWhole(a.margin),
                      FormatFixed(a.dp_h, 2) + " / " + FormatGeneral(a.dp_max_h),
                      FormatFixed(a.dp_c, 2) + " / " + FormatGeneral(a.dp_max_c),
                      FormatGeneral(a.price), FormatGeneral(a.weight), FormatFixed(a.area_total, 1),
                      FormatGeneral(a.price_total), FormatGeneral(a.weight_total), status(a.status)});
  doc.blocks.emplace_back(std::move(t));
}

Document BuildSheet(const RunResult& result, const std::vector<Message>& messages, const Meta& meta,
                    Lang lang) {
  return Builder(result, lang).Build(messages, meta);
}

}  // namespace phe::sheet
