#include "workflow/input_checks.h"

#include <cmath>
#include <string_view>

#include "base/numeric.h"
#include "ui/input_panel.h"

namespace phe {

namespace {

constexpr int kCritical = 16;

// Highest fouling a design with a liquid hot medium accepts (excluded); the
// fouling box's own handler refuses the same values.
constexpr double kFoulingLimit = 0.0002;

struct Box {
  const char* name;
  const char* caption;
  const char* side;  // "" for a box without a hot and a cold column
};

// In the window's focus order, so the first faulty box is the one met first.
constexpr Box kBoxes[] = {
    {"Txt_Th1", "进口温度", "热介质"}, {"Txt_Tc1", "进口温度", "冷介质"},
    {"Txt_Th2", "出口温度", "热介质"}, {"Txt_Tc2", "出口温度", "冷介质"},
    {"Txt_Qc", "介质流量", "冷介质"},  {"Txt_Qh", "介质流量", "热介质"},
    {"Txt_Pc", "最大压降", "冷介质"},  {"Txt_Ph", "最大压降", "热介质"},
    {"Txt_Wq", "热交换量", ""},        {"Txt_GF1", "设计裕量", ""},
    {"Txt_Rhc", "污垢系数", ""},       {"Txt_N", "流程数量", ""},
    {"Txt_nh", "流道数H/M", ""},       {"Txt_nl", "流道数M/L", ""},
    {"Txt_NUM1", "并联台数", ""},
};

// The run reads a box only in the mode that uses it: margin and fouling in a
// design, the channel counts in a check.
bool ReadByRun(const SelectionState& s, std::string_view box) {
  if (box == "Txt_GF1" || box == "Txt_Rhc") return s.calc_mode != 2;
  if (box == "Txt_nh" || box == "Txt_nl") return s.calc_mode == 2;
  // An automatic design finds its own unit count.
  if (box == "Txt_NUM1") return s.selection_mode == 1;
  return true;
}

// At most 40 bytes of a typed text for a message, cut between characters.
std::string Quoted(const std::string& text) {
  if (text.size() <= 40) return "“" + text + "”";
  size_t n = 40;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return "“" + text.substr(0, n) + "…”";
}

bool Refuse(Env& env, const std::string& box, const std::string& text) {
  ShowMessage(env.form, text, "错误", kCritical);
  env.form.SetFocus(box);
  return false;
}

std::string Number(double x) { return FormatGeneral(x); }

}  // namespace

std::string BoxCaption(const std::string& box) {
  for (const Box& b : kBoxes)
    if (box == b.name)
      return std::string("“") + b.caption + "”" + (*b.side ? std::string("（") + b.side + "）" : "");
  return box;
}

bool CheckNumbers(SelectionState& s, Env& env) {
  for (const Box& b : kBoxes) {
    if (!ReadByRun(s, b.name)) continue;
    const std::string typed = env.form.Text(b.name);
    const std::string text = Trimmed(HalfWidth(typed));
    if (text != typed) {
      env.form.SetText(b.name, text);
      if (const Handler lost = LostFocusHandler(b.name)) lost(s, env);
    }
    double v = 0;
    if (!text.empty() && !ReadNumber(text, v))
      return Refuse(env, b.name,
                    BoxCaption(b.name) + "中的" + Quoted(typed) + "不是一个完整的数值，请重新输入！");
  }
  return true;
}

bool CheckRanges(SelectionState& s, Env& env) {
  for (const Box& b : kBoxes) {
    const std::string box = b.name;
    if (!ReadByRun(s, box)) continue;
    const std::string text = env.form.Text(box);
    double v = 0;
    if (!text.empty() && !ReadNumber(text, v))
      return Refuse(env, box, BoxCaption(box) + "中的" + Quoted(text) + "不是一个完整的数值，请重新输入！");
    const std::string name = BoxCaption(box);
    const bool entered = !text.empty() && v != 0;

    if (box == "Txt_Th1" || box == "Txt_Th2" || box == "Txt_Tc1" || box == "Txt_Tc2") {
      const bool hot = box[5] == 'h';
      // Steam condenses at its inlet temperature; the outlet box plays no part.
      if (text.empty() || (hot && s.hot_kind == 2 && box == "Txt_Th2")) continue;
      const std::unique_ptr<RecordSet>& rs = hot ? env.rs_hot : env.rs_cold;
      double lo = 0, hi = 0;
      // Interpolation reads the row of the next whole degree too, so the last
      // row's start is the highest temperature covered.
      if (!rs || !rs->ColumnSpan("min_T", lo, hi)) continue;
      if (v < lo || v > hi)
        return Refuse(env, box,
                      name + "超出" + b.side + "（" + env.form.Text(hot ? "Com_jh" : "Com_jc") +
                          "）物性数据的温度范围，必须介于" + Number(lo) + "℃和" + Number(hi) +
                          "℃之间，请重新输入！");
    } else if (box == "Txt_Qh" || box == "Txt_Qc") {
      if (entered && !(v > 0 && v <= 1e6))
        return Refuse(env, box, name + "必须大于0且不大于1000000 m3/h，请重新输入！");
    } else if (box == "Txt_Wq") {
      if (entered && !(v > 0 && v <= 1e7))
        return Refuse(env, box, name + "必须大于0且不大于10000000 kW，请重新输入！");
    } else if (box == "Txt_Ph" || box == "Txt_Pc") {
      if (!(v > 0 && v <= 1000))
        return Refuse(env, box, name + "必须大于0且不大于1000 kPa，请重新输入！");
    } else if (box == "Txt_GF1") {
      if (!(v >= 0 && v <= 100))
        return Refuse(env, box, name + "必须介于0和100 %之间，请重新输入！");
    } else if (box == "Txt_Rhc") {
      if (s.hot_kind == 1 && !(v >= 0 && v < kFoulingLimit))
        return Refuse(env, box, name + "必须不小于0且小于0.0002 m2.℃/W，请重新输入！");
      if (!(v >= 0 && v <= 1))
        return Refuse(env, box, name + "必须介于0和1 m2.℃/W之间，请重新输入！");
    } else if (box == "Txt_N") {
      if (!(v >= 1 && v <= 10 && v == std::trunc(v)))
        return Refuse(env, box, name + "必须是1到10之间的整数，请重新输入！");
    } else if (box == "Txt_nh" || box == "Txt_nl") {
      if (!(v >= 0 && v <= 700 && v == std::trunc(v)))
        return Refuse(env, box, name + "必须是0到700之间的整数，请重新输入！");
    } else if (box == "Txt_NUM1") {
      if (!(v >= 1 && v <= 20 && v == std::trunc(v)))
        return Refuse(env, box, name + "必须是1到20之间的整数，请重新输入！");
    }
  }
  return true;
}

}  // namespace phe
