#include "workflow/run_guard.h"

#include <cmath>
#include <string_view>
#include <type_traits>

namespace phe {

namespace {

// Stems of the field names, longest first where one begins another.
struct Stem {
  std::string_view prefix;
  const char* words;
};

constexpr Stem kStems[] = {
    {"duty", "换热量"},
    {"q_cap", "分组换热能力"},
    {"q_part", "分段换热量"},
    {"flow_cond", "凝结水流量"},
    {"flow", "介质流量"},
    {"steam_flow", "蒸汽流量"},
    {"steam_dp", "蒸汽压降系数"},
    {"t_wall", "壁温"},
    {"t_w", "壁温"},
    {"t_h_in", "进口温度"},
    {"t_c_in", "进口温度"},
    {"t_h_out", "出口温度"},
    {"t_c_out", "出口温度"},
    {"t_h_mean", "平均温度"},
    {"t_c_mean", "平均温度"},
    {"dt_", "端部温差"},
    {"dp_port", "接口压降"},
    {"dp_max", "最大压降"},
    {"dp_lim", "允许压降"},
    {"dp", "计算压降"},
    {"passes", "流程数量"},
    {"fouling", "污垢系数"},
    {"margin", "设计裕量"},
    {"plate_thickness", "板片厚度"},
    {"plate_area", "单板面积"},
    {"plate_length", "板片长度"},
    {"plate_count", "板片数量"},
    {"design_pressure", "设计压力"},
    {"channels", "流道数"},
    {"channel_area", "流道截面积"},
    {"given_", "输入标志"},
    {"rho_steam", "蒸汽密度"},
    {"rho", "密度"},
    {"cp_steam", "蒸汽比热"},
    {"cp", "比热"},
    {"lambda_steam", "蒸汽导热系数"},
    {"lambda_plate", "板片导热系数"},
    {"lambda_sus", "板片导热系数"},
    {"lambda", "导热系数"},
    {"visc_steam", "蒸汽粘度"},
    {"visc_exp", "粘度修正指数"},
    {"visc_w", "壁面粘度"},
    {"visc", "粘度"},
    {"pr_exp", "普朗特数指数"},
    {"pr", "普朗特数"},
    {"latent_heat", "汽化潜热"},
    {"lmtd", "对数温差"},
    {"lk_", "物性表查表值"},
    {"wall_", "壁面粘度查表值"},
    {"port_d", "接口直径"},
    {"port_share", "接口压降比例"},
    {"port_", "接口系数"},
    {"d_e", "当量直径"},
    {"cond_coef", "冷凝换热系数"},
    {"re", "雷诺数"},
    {"nu", "努塞尔数"},
    {"eu", "欧拉数"},
    {"alpha", "对流换热系数"},
    {"k_", "传热系数"},
    {"area", "换热面积"},
    {"best_area", "换热面积"},
    {"shear", "剪切应力"},
    {"v_port", "接口流速"},
    {"v_", "流速"},
    {"units", "并联台数"},
    {"frame", "外形尺寸"},
    {"weight", "运行重量"},
    {"price", "参考价格"},
    {"pack_length", "板束长度"},
    {"duty_calc", "计算换热量"},
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

std::string RunGuard::QuantityWords(const std::string& field) {
  const Stem* best = nullptr;
  for (const Stem& st : kStems)
    if (field.compare(0, st.prefix.size(), st.prefix) == 0 &&
        (!best || st.prefix.size() > best->prefix.size()))
      best = &st;
  std::string side;
  if (Token(field, "h") || Token(field, "hm")) side = "热介质";
  if (Token(field, "c") || Token(field, "ml")) side = "冷介质";
  if (field.rfind("channels_hm", 0) == 0) side = "H/M";
  if (field.rfind("channels_ml", 0) == 0) side = "M/L";
  return side + (best ? best->words : "中间计算值");
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

void RunGuard::Check(const SelectionState& s, const std::string& where) const {
  const std::string bad = FirstNonFinite(s);
  if (bad.empty()) return;
  ShowMessage(form_, "计算错误：" + where + "中出现无效数值（" + QuantityWords(bad) +
                          "），计算已停止。", "错误",
              16);
  throw RunAborted{};
}

}  // namespace phe
