#include "workflow/run_guard.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace phe {

namespace {

template <class F>
void ForEachNumber(const SelectionState& s, F&& f) {
  for_each_field(s, [&](const char* name, const auto& v) {
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_floating_point_v<T>) f(name, static_cast<double>(v));
  });
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

RunGuard::RunGuard(FormPort& form, const SelectionState& s) : form_(form) {
  ForEachNumber(s, [&](const char*, double v) { before_.push_back(v); });
}

std::string RunGuard::FirstNewNonFinite(const SelectionState& s) const {
  std::string bad;
  size_t i = 0;
  ForEachNumber(s, [&](const char* name, double v) {
    if (bad.empty() && !std::isfinite(v) && !SameBits(v, before_[i])) bad = name;
    ++i;
  });
  return bad;
}

void RunGuard::Check(const SelectionState& s, const std::string& where) const {
  const std::string bad = FirstNewNonFinite(s);
  if (bad.empty()) return;
  ShowMessage(form_, "计算错误：" + where + "中出现无效数值（" + bad + "），计算已停止。", "错误",
              16);
  throw RunAborted{};
}

}  // namespace phe
