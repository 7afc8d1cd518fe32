// The operating curves as charts, for the sheet's last page and the window's
// "工况曲线" view alike.
#include <string>

#include "base/numeric.h"
#include "sheet/sheet.h"

namespace phe::sheet {

namespace {

using Ink = Chart::Ink;
using Points = std::vector<std::pair<double, double>>;

template <class Get>
Points Along(const std::vector<curves::CurvePoint>& pts, Get get) {
  Points out;
  for (const auto& p : pts) out.emplace_back(100 * p.share, get(p));
  return out;
}

}  // namespace

std::vector<Chart> CurveCharts(const curves::OperatingCurves& c, Lang lang) {
  const bool zh = lang == Lang::kZh;
  auto T = [zh](const char* a, const char* b) { return std::string(zh ? a : b); };
  const curves::CurvePoint& own = c.own;

  Chart heat, drops;
  for (Chart* ch : {&heat, &drops}) {
    ch->x_caption = T("流量 [本工况流量的 %]", "Flow [% of the case's flow]");
    ch->x_min = 100 * curves::kFirstShare;
    ch->x_max = 100 * (curves::kFirstShare + curves::kShareStep * (curves::kPointCount - 1));
    ch->mark_x = 100;
    ch->mark_caption = T("本工况", "This case");
  }
  heat.title = T("工况曲线：换热量与出口温度", "Operating curves: duty and outlet temperatures");
  heat.y_caption = T("出口温度 [℃]", "Outlet temperature [℃]");
  heat.y2_caption = T("换热量 [kW]", "Duty [kW]");
  drops.title = T("工况曲线：压降", "Operating curves: pressure drops");
  drops.y_caption = T("压降 [kPa]", "Pressure drop [kPa]");

  // Solid: the hot flow varied; dashed: the cold flow varied. The legend
  // names each quantity once.
  for (int side = 0; side < 2; ++side) {
    const auto& pts = side == 0 ? c.hot : c.cold;
    if (pts.empty()) continue;
    const bool dashed = side == 1;
    const bool named = side == 0 || c.hot.empty();
    auto add = [&](Chart& ch, const char* zh_caption, const char* en_caption, Ink ink, bool right, Points points,
                   double mark) {
      ch.series.push_back({named ? T(zh_caption, en_caption) : "", ink, dashed, right, std::move(points), mark});
    };
    if (!c.steam)
      add(heat, "热侧出口温度", "Hot outlet", Ink::kHot, false,
          Along(pts, [](const auto& p) { return p.t_h_out; }), own.t_h_out);
    add(heat, "冷侧出口温度", "Cold outlet", Ink::kCold, false, Along(pts, [](const auto& p) { return p.t_c_out; }),
        own.t_c_out);
    add(heat, "换热量", "Duty", Ink::kDuty, true, Along(pts, [](const auto& p) { return p.duty / 1000; }),
        own.duty / 1000);
    add(drops, c.steam ? "蒸汽侧压降" : "热侧压降", c.steam ? "Steam side" : "Hot side", Ink::kHot, false,
        Along(pts, [](const auto& p) { return p.dp_h; }), own.dp_h);
    add(drops, "冷侧压降", "Cold side", Ink::kCold, false, Along(pts, [](const auto& p) { return p.dp_c; }),
        own.dp_c);
  }

  std::string how = c.steam ? T("改变冷侧流量（蒸汽流量随冷凝量变化）", "cold flow varied (the steam flow follows the condensation)")
                            : T("实线：改变热侧流量；虚线：改变冷侧流量", "solid: hot flow varied; dashed: cold flow varied");
  const std::string held =
      T("；另一侧流量和两侧进口温度不变。100 % = 热侧 ", "; the other flow and both inlets held. 100 % = hot ") +
      (c.steam ? FormatFixed(own.steam_flow, 1) + " kg/h" : FormatFixed(own.flow_h, 2) + " m³/h") +
      T("，冷侧 ", ", cold ") + FormatFixed(own.flow_c, 2) + T(" m³/h；污垢系数 ", " m³/h; fouling ") +
      FormatFixed(c.fouling, 6) + " m²·℃/W";
  heat.note = how + held;
  drops.note = how + held;
  return {heat, drops};
}

void AppendCurves(Document& doc, const curves::OperatingCurves& c, Lang lang) {
  std::vector<Chart> charts = CurveCharts(c, lang);
  charts.front().new_page = true;
  for (Chart& ch : charts) doc.blocks.emplace_back(std::move(ch));
}

}  // namespace phe::sheet
