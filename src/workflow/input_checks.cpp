#include "workflow/input_checks.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "state/input_limits.h"
#include "ui/input_panel.h"
#include "ui/layout.h"

namespace phe {

namespace {

constexpr int kCritical = 16;

struct Box {
  const char* name;
};

// In the window's focus order, so the first faulty box is the one met first.
constexpr Box kBoxes[] = {
    {"Txt_Th1"}, {"Txt_Tc1"}, {"Txt_Th2"}, {"Txt_Tc2"}, {"Txt_Qc"},  {"Txt_Qh"}, {"Txt_Pc"},
    {"Txt_Ph"},  {"Txt_Wq"},  {"Txt_GF1"}, {"Txt_Rhc"}, {"Txt_N"},   {"Txt_nh"}, {"Txt_nl"},
    {"Txt_NUM1"},
};

// The run reads a box only in the mode that uses it: margin and fouling in a
// design, the channel counts in a check, fouling and channels in a simulation.
bool ReadByRun(const SelectionState& s, std::string_view box) {
  // A simulation's outlets and duty are its results.
  if (s.calc_mode == 3 && (box == "Txt_Th2" || box == "Txt_Tc2" || box == "Txt_Wq" || box == "Txt_GF1"))
    return false;
  if (box == "Txt_GF1" || box == "Txt_Rhc") return s.calc_mode != 2;
  if (box == "Txt_nh" || box == "Txt_nl") return s.calc_mode != 1;
  // An automatic design finds its own unit count; a check rates one unit.
  if (box == "Txt_NUM1") return s.selection_mode == 1 && s.calc_mode == 1;
  return true;
}

// At most 40 bytes of a typed text for a message, cut between characters.
std::string Shortened(const std::string& text) {
  if (text.size() <= 40) return text;
  size_t n = 40;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n) + "…";
}

// A message about a box: the box is named in the message's language.
Message AboutBox(const char* id, const std::string& box) {
  return Message(id).Ref("box", "box." + box);
}

bool Refuse(Env& env, const std::string& box, const Message& text) {
  ShowMessage(env.form, text, "title.error", kCritical);
  env.form.SetFocus(box);
  return false;
}

bool Refuse(Env& env, const std::string& box, const char* id, double max) {
  return Refuse(env, box, AboutBox(id, box).With("max", FormatGeneral(max)));
}

Message NotANumber(const std::string& box, const std::string& typed) {
  return AboutBox("input.not_a_number", box).With("text", Shortened(typed));
}

}  // namespace

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
      return Refuse(env, b.name, NotANumber(b.name, typed));
  }
  // The port lining's list can be typed into; as when a case is saved, only
  // its own items pass (in any letter case, taken in the list's spelling).
  for (const auto& list : layout::kLists) {
    if (list.name != "Com_jgl") continue;
    const std::string typed = env.form.Text(list.name);
    const std::string text = Trimmed(typed);
    const auto item = std::find_if(list.items.begin(), list.items.end(),
                                   [&](const std::string& i) { return EqualsNoCase(i, text); });
    if (item == list.items.end())
      return Refuse(env, list.name, AboutBox("input.not_in_list", list.name).With("text", Shortened(typed)));
    if (*item != typed) {
      env.form.SetText(list.name, *item);
      if (const Handler change = ChangeHandler(list.name)) change(s, env);
    }
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
      return Refuse(env, box, NotANumber(box, text));
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
      if (v < lo || v > hi) {
        Message m = AboutBox("input.temperature", box)
                        .Ref("side", hot ? "side.hot" : "side.cold")
                        .With("medium", env.form.Text(hot ? "Com_jh" : "Com_jc"))
                        .With("min", FormatGeneral(lo))
                        .With("max", FormatGeneral(hi));
        // Below its table a liquid is near or past freezing: say where it freezes.
        double t_f = 0;
        if (v < lo && s.db && s.db->FreezingPoint(rs->table(), t_f)) {
          m.id = "input.temperature_freezing";
          m.With("freezing", FormatGeneral(t_f));
        }
        return Refuse(env, box, m);
      }
    } else if (box == "Txt_Qh" || box == "Txt_Qc") {
      if (entered && !(v > 0 && v <= kMaxFlow)) return Refuse(env, box, "input.flow", kMaxFlow);
    } else if (box == "Txt_Wq") {
      if (entered && !(v > 0 && v <= kMaxDuty)) return Refuse(env, box, "input.duty", kMaxDuty);
    } else if (box == "Txt_Ph" || box == "Txt_Pc") {
      if (!(v > 0 && v <= kMaxPressureDrop))
        return Refuse(env, box, "input.pressure_drop", kMaxPressureDrop);
    } else if (box == "Txt_GF1") {
      if (!(v >= 0 && v <= kMaxMargin)) return Refuse(env, box, "input.margin", kMaxMargin);
    } else if (box == "Txt_Rhc") {
      if (s.hot_kind == 1 && !(v >= 0 && v < kFoulingLimit))
        return Refuse(env, box, "input.fouling_liquid", kFoulingLimit);
      if (!(v >= 0 && v <= kMaxFoulingSteam))
        return Refuse(env, box, "input.fouling", kMaxFoulingSteam);
    } else if (box == "Txt_N") {
      if (!(v >= 1 && v <= kMaxPasses && v == std::trunc(v)))
        return Refuse(env, box, "input.passes", kMaxPasses);
    } else if (box == "Txt_nh" || box == "Txt_nl") {
      if (!(v >= 0 && v <= kChannelLimit && v == std::trunc(v)))
        return Refuse(env, box, "input.channels", kChannelLimit);
    } else if (box == "Txt_NUM1") {
      if (!(v >= 1 && v <= kMaxUnits && v == std::trunc(v))) return Refuse(env, box, "input.units", kMaxUnits);
    }
  }
  return true;
}

}  // namespace phe
