#include "workflow/run_guard.h"

#include <cmath>
#include <type_traits>

namespace phe {

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
  ShowMessage(form_, "计算错误：" + where + "中出现无效数值（" + bad + "），计算已停止。", "错误",
              16);
  throw RunAborted{};
}

}  // namespace phe
