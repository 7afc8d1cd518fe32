// Validation of a case when Run is pressed: the first failing rule shows its
// message with its title, icon and focus, and the run ends there.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "ui/input_panel.h"
#include "workflow/run_command.h"
#include "support/typing.h"

namespace phe {
namespace {

struct Entry {
  std::string control;
  std::string text;  // for a list: the item chosen (or text typed when it is no item)
};

// One window session on the shipped database (read-only: these runs never
// get as far as storing a case).
struct Session {
  std::unique_ptr<Database> db = Database::Open(DefaultDatabasePath(), /*read_only=*/true);
  HeadlessForm form;
  Env env{form};
  SelectionState s;

  Session() {
    s.db = db.get();
    Form_Load(s, env);
  }

  void Enter(const Entry& e) {
    if (form.IsList(e.control)) {
      const int index = form.FindItem(e.control, e.text);
      if (index >= 0) {
        form.SetListIndex(e.control, index);
        if (const Handler click = ClickHandler(e.control)) click(s, env);
      } else {
        form.SetText(e.control, e.text);
        if (const Handler change = ChangeHandler(e.control)) change(s, env);
      }
      if (const Handler lost = LostFocusHandler(e.control)) lost(s, env);
    } else {
      testing::TypeKeys(form, s, env, e.control, e.text);
    }
  }

  // Hot and cold medium first, as the focus order has it; then the option
  // buttons; then the entries.
  void Fill(const std::string& hot, int selection, int calc, const std::vector<Entry>& entries) {
    Enter({"Com_jc", "Water"});
    Enter({"Com_jh", hot});
    opt_br_Click(s, env, selection);
    opt_br_Click(s, env, calc);
    for (const auto& e : entries) Enter(e);
  }

  std::map<std::string, std::string> Boxes() const { return testing::Boxes(form); }
};

const char* const kV1 = "换热量、介质流量缺失，请重新输入！  ";
const char* const kLa = "热介质进口温度必须大于热介质出口温度，请重新输入！";
const char* const kLb = "冷介质进口温度必须小于冷介质出口温度，请重新输入！";
const char* const kLc = "冷介质出水温度必须小于热介质进水温度，请重新输入！ ";
const char* const kLd = "冷介质进水温度必须小于热介质出水温度，请重新输入！  ";
const char* const kLe = "冷热介质流量、进出口温度数值过多，请删除未知项！  ";
const char* const kLf = "冷介质流量、进出口温度数值缺失，请输入未知项！  ";
const char* const kLg = "热介质流量数值缺失，请重新输入！  ";
const char* const kLh = "热介质流量、进出口温度数值缺失，请输入未知项！  ";
const char* const kLi = "冷介质流量缺失，请重新输入！  ";
const char* const kLj = "换热量、热介质流量、进出口温度数值过多，请删除未知项！  ";
const char* const kLk = "换热量、冷介质流量、进出口温度数值过多，请删除未知项！  ";
const char* const kSb = "蒸汽温度必须介于105℃和160℃之间，请重新输入！";
const char* const kSteamMixed = "一次侧为蒸汽时，采用深波纹板片M，不能采用HM、ML板型。";
const char* const kNoChannels = "校核计算时流道数不能为0，请输入流道数！";

struct Case {
  const char* name;
  const char* hot;
  int selection;  // option button 2 automatic, 3 manual
  int calc;       // option button 4 design, 5 check
  std::vector<Entry> entries;
  const char* text;
  const char* title;
  const char* focus;
};

// Rows are named after the Run's checks, in the order they are made: V1 duty
// and both flows missing; for a liquid hot medium L-a to L-d the order of the
// four temperatures (hot inlet above hot outlet, cold inlet below cold outlet,
// cold outlet below hot inlet, cold inlet below hot outlet), L-e to L-k too
// many or too few of the balance quantities; for steam S-a the cold
// temperatures, S-b the steam temperature within 105..160 degC, S-c too many
// cold-side quantities.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"V1 before any temperature rule", "Water", 2, 4, {{"Txt_Th1", "60"}, {"Txt_Th2", "80"}},
       kV1, "提示", "Txt_Wq"},
      {"V1 with steam", "Steam", 2, 4, {{"Txt_Th1", "20"}}, kV1, "提示", "Txt_Wq"},
      {"L-a before L-b, L-c, L-d", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "60"}, {"Txt_Th2", "80"}, {"Txt_Tc1", "70"}, {"Txt_Tc2", "65"}},
       kLa, "错误", "Txt_Th1"},
      {"L-a on equal hot temperatures", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "80"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kLa, "错误", "Txt_Th1"},
      // An empty box takes no part in the order of the temperatures (it once
      // counted as 0 degC, so that no outlet temperature could be computed).
      {"an empty cold outlet is not 0: L-f, not L-b", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}}, kLf, "提示",
       "Txt_Tc2"},
      {"L-c", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "85"}},
       kLc, "提示", "Txt_Tc2"},
      {"L-c on equal temperatures", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "80"}},
       kLc, "提示", "Txt_Tc2"},
      {"L-d", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "65"}, {"Txt_Tc2", "70"}},
       kLd, "提示", "Txt_Tc1"},
      {"an empty hot outlet is not 0: L-i, not L-d", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}, kLi, "提示",
       "Txt_Tc2"},
      {"L-e: a cold inlet of 0 counts as entered", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Qc", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "0"},
        {"Txt_Tc2", "50"}},
       kLe, "提示", "Txt_Tc2"},
      {"L-f", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc2", "50"}}, kLf, "提示",
       "Txt_Tc2"},
      {"L-g", "Water", 2, 4,
       {{"Txt_Qc", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc2", "50"}}, kLg, "提示",
       "Txt_Tc2"},
      {"L-h", "Water", 2, 4,
       {{"Txt_Qc", "10"}, {"Txt_Th1", "80"}, {"Txt_Tc1", "-10"}, {"Txt_Tc2", "50"}}, kLh, "提示",
       "Txt_Tc2"},
      {"L-i", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Tc1", "-10"}, {"Txt_Tc2", "50"}}, kLi, "提示",
       "Txt_Tc2"},
      {"L-i: a hot outlet of 0 counts as missing", "Water", 2, 4,
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "0"}, {"Txt_Tc1", "-10"}, {"Txt_Tc2", "50"}},
       kLi, "提示", "Txt_Tc2"},
      {"L-j", "Water", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}},
       kLj, "提示", "Txt_Th2"},
      {"L-k", "Water", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Qc", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}},
       kLk, "提示", "Txt_Tc2"},
      {"S-a before S-b", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "100"}, {"Txt_Tc1", "50"}, {"Txt_Tc2", "20"}}, kLb, "错误",
       "Txt_Tc1"},
      {"S-b below 105", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "104.9"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}, kSb, "错误",
       "Txt_Th1"},
      {"S-b above 160", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "160.1"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}, kSb, "错误",
       "Txt_Th1"},
      {"S-b before S-c", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Qc", "10"}, {"Txt_Th1", "170"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kSb, "错误", "Txt_Th1"},
      {"S-c", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Qc", "10"}, {"Txt_Th1", "120"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kLk, "提示", "Txt_Tc2"},
      {"steam with a mixed type, manual design", "Steam", 3, 4,
       {{"com_br", "PX100M"}, {"com_zh", "HM"}, {"Txt_Wq", "100"}, {"Txt_Th1", "120"},
        {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kSteamMixed, "提示", "com_zh"},
      {"steam with a mixed type typed in lower case", "Steam", 3, 4,
       {{"com_br", "PX100M"}, {"com_zh", "ml"}, {"Txt_Wq", "100"}, {"Txt_Th1", "120"},
        {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kSteamMixed, "提示", "com_zh"},
      {"steam mixed type before the channel counts", "Steam", 2, 5,
       {{"com_br", "PX100M"}, {"com_zh", "ML"}, {"Txt_Wq", "100"}, {"Txt_Th1", "120"},
        {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kSteamMixed, "提示", "com_zh"},
      {"check without channels", "Water", 2, 5,
       {{"com_br", "PX100M"}, {"com_zh", "H"}, {"Txt_nh", "0"}, {"Txt_Qh", "10"}, {"Txt_Th1", "80"},
        {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kNoChannels, "错误", "Txt_nh"},
      {"check with channels adding up to less than 0", "Water", 3, 5,
       {{"com_br", "PX100M"}, {"com_zh", "HM"}, {"Txt_nh", "-3"}, {"Txt_nl", "2"}, {"Txt_Qh", "10"},
        {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kNoChannels, "错误", "Txt_nh"},
      {"steam check without channels", "Steam", 2, 5,
       {{"com_br", "PX100M"}, {"com_zh", "M"}, {"Txt_Wq", "100"}, {"Txt_Th1", "120"},
        {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       kNoChannels, "错误", "Txt_nh"},
  };
  return cases;
}

// Guards against a wrong rule order, a changed message (trailing blanks
// included), title, icon, button or focus, and against anything after
// validation happening: no box changes, no balance value is computed; only
// the run-level resets of the start of the run are made.
TEST(Validation, FirstFailingRuleEndsTheRun) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.name);
    Session w;
    w.Fill(c.hot, c.selection, c.calc, c.entries);
    ASSERT_TRUE(w.form.messages.empty());
    const auto boxes = w.Boxes();
    w.s.t_h_mean = w.s.t_c_mean = w.s.q_part = w.s.steam_flow = -999;
    w.s.fouling_out = 5;
    w.s.units = 3;
    w.s.family_bumped = 1;
    w.env.anim_index = 2;

    EXPECT_FALSE(RunValidateAndBalance(w.s, w.env));

    ASSERT_EQ(w.form.messages.size(), 1u);
    const RecordedMessage& m = w.form.messages[0];
    EXPECT_EQ(m.text, c.text);
    EXPECT_EQ(m.title, c.title);
    EXPECT_EQ(m.icon, MsgIcon::kCritical);
    EXPECT_EQ(m.buttons, MsgButtons::kOk);
    EXPECT_EQ(m.focus, c.focus);
    EXPECT_EQ(w.Boxes(), boxes);
    EXPECT_EQ(w.s.t_h_mean, -999);
    EXPECT_EQ(w.s.t_c_mean, -999);
    EXPECT_EQ(w.s.q_part, -999);
    EXPECT_EQ(w.s.steam_flow, -999);
    EXPECT_EQ(w.s.fouling_out, 0);
    EXPECT_EQ(w.s.units, 1);
    EXPECT_EQ(w.s.family_bumped, 0);
    EXPECT_EQ(w.env.anim_index, 0);
    EXPECT_EQ(w.env.anim_last, 3);
    EXPECT_NE(w.env.rs_hot, nullptr);
    EXPECT_NE(w.env.rs_cold, nullptr);
    EXPECT_NE(w.env.rs_bpdrxs, nullptr);
  }
}

// Guards against rules firing where they must not: the closed steam range,
// a mixed type in automatic design, a steam outlet temperature that plays no
// part, and a check calculation with channels.
TEST(Validation, BoundaryCasesPass) {
  const struct {
    const char* name;
    const char* hot;
    int selection, calc;
    std::vector<Entry> entries;
  } cases[] = {
      {"steam at 105", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "105"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}},
      {"steam at 160", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "160"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}},
      {"steam with any outlet text", "Steam", 2, 4,
       {{"Txt_Wq", "100"}, {"Txt_Th1", "120"}, {"Txt_Th2", "500"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}}},
      {"steam with a mixed type in automatic design", "Steam", 2, 4,
       {{"com_zh", "HM"}, {"Txt_Wq", "100"}, {"Txt_Th1", "120"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}}},
      {"check with channels", "Water", 3, 5,
       {{"com_br", "PX100M"}, {"com_zh", "HM"}, {"Txt_nh", "5"}, {"Txt_nl", "0"}, {"Txt_Qh", "10"},
        {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}},
      // A medium that is still liquid at 0 degC (water is refused there as frozen).
      {"a cold inlet of 0", "Water", 2, 4,
       {{"Com_jc", "25% Glycol"}, {"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"},
        {"Txt_Tc1", "0"}, {"Txt_Tc2", "30"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session w;
    w.Fill(c.hot, c.selection, c.calc, c.entries);
    EXPECT_TRUE(RunValidateAndBalance(w.s, w.env));
    for (const auto& m : w.form.messages) ADD_FAILURE() << m.title << ": " << m.text;
  }
}

// Guards the order of the temperatures after the heat balance: a temperature
// left to be computed is found (90/70 degC hot at 22.1 m3/h, cold from 50 degC
// at 29.1 m3/h was refused before), and one computed across the other side's
// temperature ends the run as a validation failure would, boxes untouched.
TEST(Validation, ComputedTemperaturesKeepTheOrder) {
  const struct {
    const char* name;
    std::vector<Entry> entries;
    const char* text;  // nullptr: the balance completes
    const char* focus;
    double t_c_in, t_c_out;
  } cases[] = {
      {"cold outlet computed", {{"Txt_Qh", "22.1"}, {"Txt_Qc", "29.1"}, {"Txt_Th1", "90"},
        {"Txt_Th2", "70"}, {"Txt_Tc1", "50"}}, nullptr, nullptr, 50, 65.04},
      {"cold inlet computed above the hot outlet", {{"Txt_Wq", "100"}, {"Txt_Qc", "20"},
        {"Txt_Th1", "80"}, {"Txt_Th2", "40"}, {"Txt_Tc2", "70"}}, kLd, "Txt_Tc1", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session w;
    w.Fill("Water", 2, 4, c.entries);
    const auto boxes = w.Boxes();
    const bool passed = RunValidateAndBalance(w.s, w.env);
    if (!c.text) {
      EXPECT_TRUE(passed);
      EXPECT_TRUE(w.form.messages.empty());
      EXPECT_EQ(w.s.t_c_in, c.t_c_in);
      EXPECT_NEAR(w.s.t_c_out, c.t_c_out, 0.001);
      continue;
    }
    EXPECT_FALSE(passed);
    ASSERT_EQ(w.form.messages.size(), 1u);
    EXPECT_EQ(w.form.messages[0].text, c.text);
    EXPECT_EQ(w.form.messages[0].focus, c.focus);
    EXPECT_EQ(w.Boxes(), boxes);
  }
}

// Guards against the check-mode plate type and channel counts not being taken
// from the window at the start of the run.
TEST(Validation, CheckModeReadsPlateTypeAndChannels) {
  Session w;
  w.Fill("Water", 3, 5,
         {{"com_br", "PX100M"}, {"com_zh", "HM"}, {"Txt_nh", "12"}, {"Txt_nl", "7"},
          {"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
          {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(w.s, w.env));
  EXPECT_EQ(w.s.plate_type, "PX100M-HM");
  EXPECT_EQ(w.s.channels_hm, 12);
  EXPECT_EQ(w.s.channels_ml, 7);
}

}  // namespace
}  // namespace phe
