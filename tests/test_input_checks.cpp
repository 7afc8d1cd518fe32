// The checks of the entered values when Run is pressed: a box that does not
// hold one number, or holds a number the calculation cannot work with, ends
// the run with one message, focus on the box, no result and no stored case.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "db/database.h"
#include "driver/case_driver.h"
#include "ui/headless_form.h"
#include "ui/layout.h"
#include "workflow/run_guard.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace phe {
namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;

const Texts kDesign = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "90"},
                       {"Txt_Th2", "70"},   {"Txt_Tc1", "50"},   {"Txt_Tc2", "65"},
                       {"Txt_Wq", "500"},   {"Txt_GF1", "10"},   {"Txt_Ph", "50"},
                       {"Txt_Pc", "50"},    {"Txt_N", "1"}};
const Texts kCheck = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "90"},
                      {"Txt_Th2", "70"},   {"Txt_Tc1", "50"},   {"Txt_Tc2", "65"},
                      {"Txt_Wq", "500"},   {"Txt_Ph", "50"},    {"Txt_Pc", "50"},
                      {"com_br", "PX100B"}, {"com_zh", "HM"},   {"Txt_nh", "10"},
                      {"Txt_nl", "12"}};

struct Row {
  const char* name;
  bool check;        // check calculation on kCheck, else design on kDesign
  const char* box;
  const char* text;  // typed into the box over the sound case
  const char* refusal;  // the message, or nullptr when the run must go through
  const char* box2 = nullptr;  // a second box to change, and its text
  const char* text2 = nullptr;
};

const char* const kN = "“流程数量”必须是1到10之间的整数，请重新输入！";
const char* const kNh = "“流道数H/M”必须是0到700之间的整数，请重新输入！";
const char* const kNl = "“流道数M/L”必须是0到700之间的整数，请重新输入！";
const char* const kDuty = "“热交换量”必须大于0且不大于10000000 kW，请重新输入！";
const char* const kFouling = "“污垢系数”必须不小于0且小于0.0002 m2.℃/W，请重新输入！";

const Row kRows[] = {
    // Passes: "-0" and "-1e-9" hung the run, "-1" gave a negative area.
    {"passes -0", false, "Txt_N", "-0", kN},
    {"passes -1e-9", false, "Txt_N", "-1e-9", kN},
    {"passes -1", false, "Txt_N", "-1", kN},
    {"passes 2.5", false, "Txt_N", "2.5", kN},
    {"passes 11", false, "Txt_N", "11", kN},
    {"passes empty", false, "Txt_N", "", kN},
    {"passes with blanks around", false, "Txt_N", " 2 ", nullptr},
    // Channel counts of a check: 7.5 was stored as 10H+7.5M.
    {"channels 7.5", true, "Txt_nl", "7.5", kNl},
    {"channels -2", true, "Txt_nl", "-2", kNl},
    {"channels 1e-9", true, "Txt_nh", "1e-9", kNh},
    {"channels 701", true, "Txt_nh", "701", kNh},
    {"an empty channel count is 0", true, "Txt_nl", "", nullptr},
    // Allowed pressure drops: 0 gave a 700-channel pack, 3.5e38 infinity.
    {"pressure drop 0", false, "Txt_Ph", "0", "“最大压降”（热介质）必须大于0且不大于1000 kPa，请重新输入！"},
    {"pressure drop 3.5e38", true, "Txt_Pc", "3.5e38",
     "“最大压降”（冷介质）必须大于0且不大于1000 kPa，请重新输入！"},
    {"margin 101", false, "Txt_GF1", "101", "“设计裕量”必须介于0和100 %之间，请重新输入！"},
    {"margin -1", false, "Txt_GF1", "-1", "“设计裕量”必须介于0和100 %之间，请重新输入！"},
    // Fouling: 0.0005 was shown twice and the run designed with the old value.
    {"fouling 0.0005", false, "Txt_Rhc", "0.0005", kFouling},
    {"fouling -0.0001", false, "Txt_Rhc", "-0.0001", kFouling},
    {"fouling 0.00019", false, "Txt_Rhc", "0.00019", nullptr},
    {"duty -5", false, "Txt_Wq", "-5", kDuty},
    {"duty 1e8", false, "Txt_Wq", "1e8", kDuty},
    {"flow 2e6", false, "Txt_Qc", "2e6",
     "“介质流量”（冷介质）必须大于0且不大于1000000 m3/h，请重新输入！", "Txt_Wq", ""},
    {"hot inlet above the water table", false, "Txt_Th1", "300",
     "“进口温度”（热介质）超出热介质（Water）物性数据的温度范围，必须介于-10℃和251℃之间，请重新输入！"},
    {"cold inlet below the water table", false, "Txt_Tc1", "-10.5",
     "“进口温度”（冷介质）超出冷介质（Water）物性数据的温度范围，必须介于-10℃和251℃之间（该介质的冰点为0℃），请重新输入！"},
    // The range check lets the table's edge through; water is frozen there,
    // so the freezing check refuses it, not the range.
    {"cold inlet at the table's edge", false, "Txt_Tc1", "-10",
     "冷介质（Water）最低温度-10.0℃不高于其冰点0℃，介质将冻结，请重新输入！"},
    // A glycol's table runs from above its freezing point to 100 degC.
    {"cold glycol below its table", false, "Txt_Tc1", "-13",
     "“进口温度”（冷介质）超出冷介质（Propylene glycol 30%）物性数据的温度范围，必须介于-12℃和100℃之间（该介质的冰点为-12.79℃），请重新输入！",
     "Com_jc", "Propylene glycol 30%"},
    {"cold glycol at its table's edge", false, "Txt_Tc1", "-12", nullptr, "Com_jc",
     "Propylene glycol 30%"},
    {"hot glycol above its table", false, "Txt_Th1", "100.5",
     "“进口温度”（热介质）超出热介质（Ethylene glycol 40%）物性数据的温度范围，必须介于-23℃和100℃之间，请重新输入！",
     "Com_jh", "Ethylene glycol 40%"},
    // Text that is no number: "5OO" designed for 5 kW, "1,500" for 1 kW.
    {"letters O", false, "Txt_Wq", "5OO", "“热交换量”中的“5OO”不是一个完整的数值，请重新输入！"},
    {"thousands comma", false, "Txt_Wq", "1,500", "“热交换量”中的“1,500”不是一个完整的数值，请重新输入！"},
    {"decimal comma", false, "Txt_Th1", "60,5", "“进口温度”（热介质）中的“60,5”不是一个完整的数值，请重新输入！"},
    {"nan", false, "Txt_Tc2", "nan", "“出口温度”（冷介质）中的“nan”不是一个完整的数值，请重新输入！"},
    {"blank inside", false, "Txt_Ph", " 1 2 ", "“最大压降”（热介质）中的“ 1 2 ”不是一个完整的数值，请重新输入！"},
    {"hexadecimal before a validation rule", true, "Txt_nh", "0x10",
     "“流道数H/M”中的“0x10”不是一个完整的数值，请重新输入！", "Txt_nl", ""},
    {"full-width digits", false, "Txt_Wq", "５００", nullptr},
    {"full-width minus and point", false, "Txt_Tc1", "－５．５", nullptr, "Com_jc",
     "Ethylene glycol 25%"},
};

class RunChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = phe::testing::ScratchDir() / ("phe_checks_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    path_ = (dir_ / "br.mdb").string();
    fs::copy_file(DefaultDatabasePath(), path_, fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
  std::string path_;
};

// Guards every fault of the list: the run must end at the right box
// with its message and leave no trace, and sound entries written in the ways
// a user may type them must still give a result.
TEST_F(RunChecks, EachBoxRefusesWhatTheCalculationCannotUse) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    auto db = Database::Open(path_);
    CaseSession session(*db);
    const auto stored_before = db->ReadCaseRecords();
    CaseInput in;
    in.selection_option = r.check ? 3 : 2;
    in.calc_option = r.check ? 5 : 4;
    in.controls = r.check ? kCheck : kDesign;
    auto enter = [&](const char* box, const char* text) {
      for (auto& [b, t] : in.controls)
        if (b == box) return void(t = text);
      in.controls.emplace_back(box, text);
    };
    enter(r.box, r.text);
    if (r.box2) enter(r.box2, r.text2);

    const nlohmann::json out = session.Run(in);
    const auto& messages = out["messages"];
    if (!r.refusal) {
      for (const auto& m : messages) EXPECT_NE(m["title"], "错误") << m["text"];
      EXPECT_NE(out["controls"]["Txt_K"], "") << "no result shown";
      continue;
    }
    ASSERT_FALSE(messages.empty());
    const auto& m = messages.back();
    EXPECT_EQ(m["text"], r.refusal);
    EXPECT_EQ(m["title"], "错误");
    EXPECT_EQ(m["icon"], "critical");
    EXPECT_EQ(m["focus"], r.box);
    // At most the handler's own notice while typing came before it.
    for (size_t i = 0; i + 1 < messages.size(); ++i) EXPECT_NE(messages[i]["title"], "错误");
    for (const auto& box : layout::kResultTextBoxes) EXPECT_EQ(out["controls"][box], "") << box;
    EXPECT_TRUE(out["report"].is_null());
    EXPECT_EQ(db->ReadCaseRecords(), stored_before);
  }
}

// Guards against a calculation-error message naming a field of the record
// (it showed "无效数值（wall_v0）"): every number of the record has words a
// user knows, and the message uses them.
TEST(RunGuardWords, EveryNumberOfTheRecordHasUserWords) {
  SelectionState s;
  for_each_field(s, [](const char* name, const auto& v) {
    // Only numbers can be found not finite.
    if (!std::is_floating_point_v<std::decay_t<decltype(v)>>) return;
    const std::string words = Format(RunGuard::QuantityWords(name), Lang::kZh);
    EXPECT_EQ(words.find("中间计算值"), std::string::npos) << name;
    for (char c : words) EXPECT_FALSE(c == '_' || (c >= 'a' && c <= 'z')) << name << ": " << words;
  });
  EXPECT_EQ(Format(RunGuard::QuantityWords("t_h_in"), Lang::kZh), "热介质进口温度");
  EXPECT_EQ(Format(RunGuard::QuantityWords("dp_port_c"), Lang::kZh), "冷介质接口压降");
  EXPECT_EQ(Format(RunGuard::QuantityWords("price"), Lang::kZh), "参考价格");

  HeadlessForm form;
  RunGuard guard(form, s);
  s.wall_v0 = NAN;
  EXPECT_THROW(guard.Check(s, "stage.design"), RunAborted);
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text, "计算错误：设计计算中出现无效数值（壁面粘度查表值），计算已停止。");
}

}  // namespace
}  // namespace phe
