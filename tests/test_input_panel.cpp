// The input panel's handlers on a headless form: start-up, entry flags, table
// names, option buttons, the fouling limit, closing, the busy cursor and the
// Run button's guard.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "ui/input_panel.h"
#include "ui/layout.h"
#include "workflow/run_command.h"
#include "support/typing.h"

namespace phe {
namespace {

const char* const kFoulingTooLarge = "污垢系数太大，请重新输入！";

struct PanelTest : ::testing::Test {
  std::unique_ptr<Database> db = Database::Open(DefaultDatabasePath(), /*read_only=*/true);
  HeadlessForm form;
  Env env{form};
  SelectionState s;

  void SetUp() override {
    s.db = db.get();
    Form_Load(s, env);
  }

  void Type(const std::string& control, const std::string& text) {
    testing::TypeKeys(form, s, env, control, text);
  }

  // Picks a list item with the mouse, then leaves the list.
  void Choose(const std::string& list, const std::string& item) {
    const int index = form.FindItem(list, item);
    ASSERT_GE(index, 0) << item << " is not an item of " << list;
    form.SetListIndex(list, index);
    if (const Handler click = ClickHandler(list)) click(s, env);
    if (const Handler lost = LostFocusHandler(list)) lost(s, env);
  }

  std::map<std::string, std::string> Boxes() const { return testing::Boxes(form); }
};

// Guards against wrong start-up defaults and list selections, and against a
// list start-up that forgets to run its selection handler.
TEST_F(PanelTest, StartUpDefaults) {
  EXPECT_EQ(s.calc_mode, 1);
  EXPECT_EQ(s.selection_mode, 0);
  EXPECT_EQ(s.fouling, 0);
  EXPECT_EQ(s.units, 1);
  EXPECT_EQ(s.design_pressure, 1);
  EXPECT_EQ(s.design_pressure_report, 1);
  EXPECT_EQ(s.plate_thickness, 0.5);
  EXPECT_EQ(s.plate_material, "SUS304");
  EXPECT_EQ(s.gasket_material, "EPDM");
  EXPECT_TRUE(env.confirm_exit);
  const std::pair<const char*, const char*> lists[] = {
      {"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Com_pg", "1.0MPa"}, {"Com_bpc", "SUS304"},
      {"Com_bph", "0.5mm"}, {"Com_dpc", "EPDM"}, {"Com_jgl", "SS"},   {"com_br", ""},
      {"com_zh", ""}};
  for (const auto& [list, text] : lists) EXPECT_EQ(form.Text(list), text) << list;
  EXPECT_EQ(form.ListIndex("com_br"), -1);
  // The media shown are known at once; the lining is read only at Run.
  EXPECT_EQ(s.hot_kind, 1);
  EXPECT_EQ(s.medium_h_index, 1);
  EXPECT_EQ(s.medium_c_index, 1);
  EXPECT_EQ(s.port_lining, "");
  EXPECT_TRUE(form.messages.empty());
}

struct EntryCase {
  const char* control;
  const char* text;
  double value;
  double flag;
};

// Guards against the entry-flag rules: hot temperatures, flows and duty count
// a typed 0 as missing; the cold temperatures count any text, so 0 degC is an
// entry; the duty box is in kW.
TEST_F(PanelTest, EntryFlags) {
  const EntryCase cases[] = {
      {"Txt_Th1", "0", 0, 0},     {"Txt_Th1", "85", 85, 1},     {"Txt_Th1", "12abc", 12, 1},
      {"Txt_Th2", "0", 0, 0},     {"Txt_Th2", "60.5", 60.5, 1}, {"Txt_Tc1", "0", 0, 1},
      {"Txt_Tc1", "", 0, 0},      {"Txt_Tc1", "abc", 0, 1},     {"Txt_Tc2", "0", 0, 1},
      {"Txt_Tc2", "", 0, 0},      {"Txt_Qh", "0", 0, 0},        {"Txt_Qh", "12.5", 12.5, 1},
      {"Txt_Qc", "0", 0, 0},      {"Txt_Qc", "1,5", 1, 1},      {"Txt_Wq", "150", 150000, 1},
      {"Txt_Wq", "", 0, 0},       {"Txt_Wq", "12.5kW", 12500, 1},
  };
  for (const auto& c : cases) {
    Type(c.control, c.text);
    const std::string name = c.control;
    double value = 0, flag = 0;
    if (name == "Txt_Th1") value = s.t_h_in, flag = s.given_t_h_in;
    if (name == "Txt_Th2") value = s.t_h_out, flag = s.given_t_h_out;
    if (name == "Txt_Tc1") value = s.t_c_in, flag = s.given_t_c_in;
    if (name == "Txt_Tc2") value = s.t_c_out, flag = s.given_t_c_out;
    if (name == "Txt_Qh") value = s.flow_h, flag = s.given_flow_h;
    if (name == "Txt_Qc") value = s.flow_c, flag = s.given_flow_c;
    if (name == "Txt_Wq") value = s.duty, flag = s.given_duty;
    EXPECT_DOUBLE_EQ(value, c.value) << c.control << " = \"" << c.text << '"';
    EXPECT_EQ(flag, c.flag) << c.control << " = \"" << c.text << '"';
  }
}

// Guards against a fresh window whose media are shown but not known to the
// record: the fouling limit (which needs a liquid hot medium) must hold for a
// case typed straight in.
TEST_F(PanelTest, FreshWindowKnowsItsMedia) {
  EXPECT_EQ(s.hot_kind, 1);
  EXPECT_EQ(s.table_h, "water");
  EXPECT_EQ(s.table_c, "water");
  Type("Txt_Rhc", "0.0002");
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(s.fouling, 0);
}

// Guards against the fouling limit: typing 0.0002 in a liquid design shows
// the message once, at the last digit, focuses the box and keeps the value
// read before it (0.000, that is 0); smaller values pass.
TEST_F(PanelTest, FoulingLimitWhileTyping) {
  Choose("Com_jc", "Water");
  Choose("Com_jh", "Water");
  Type("Txt_Rhc", "0.0002");
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text, kFoulingTooLarge);
  EXPECT_EQ(form.messages[0].title, "提示");
  EXPECT_EQ(form.messages[0].icon, MsgIcon::kWarning);
  EXPECT_EQ(form.messages[0].buttons, MsgButtons::kOk);
  EXPECT_EQ(form.messages[0].focus, "Txt_Rhc");
  EXPECT_EQ(s.fouling, 0);
  EXPECT_EQ(form.Text("Txt_Rhc"), "0.0002") << "the text stays as typed";

  form.messages.clear();
  Type("Txt_Rhc", "0.00019");
  EXPECT_TRUE(form.messages.empty());
  EXPECT_DOUBLE_EQ(s.fouling, 0.00019);

  // A larger value typed after it keeps the last accepted one; typing on
  // after the notice is one notice (a 1,000-character text gave 995).
  Type("Txt_Rhc", "0.0005" + std::string(994, '0'));
  EXPECT_EQ(form.messages.size(), 1u);
  EXPECT_DOUBLE_EQ(s.fouling, 0.0);  // "0.000" was the last accepted text
}

// Guards against the limit applying where it must not: check calculation and
// a steam hot side accept any fouling.
TEST_F(PanelTest, FoulingLimitOnlyForLiquidDesign) {
  opt_br_Click(s, env, 5);
  Type("Txt_Rhc", "0.0002");
  EXPECT_TRUE(form.messages.empty());
  EXPECT_DOUBLE_EQ(s.fouling, 0.0002);

  opt_br_Click(s, env, 4);
  Choose("Com_jh", "Steam");
  Type("Txt_Rhc", "0.0003");
  EXPECT_TRUE(form.messages.empty());
  EXPECT_DOUBLE_EQ(s.fouling, 0.0003);
}

// Guards against the Run refresh showing the fouling message a second time
// or taking the too large fouling: the refresh is silent and keeps the old
// value; the refusal is one of the range checks after validation (here the
// duty message comes first and ends the run).
TEST_F(PanelTest, RunRefreshDoesNotRepeatTheFoulingMessage) {
  Choose("Com_jh", "Water");
  Type("Txt_Rhc", "0.00015");
  Type("Txt_Rhc", "0.0002");
  form.messages.clear();
  EXPECT_FALSE(RunValidateAndBalance(s, env));
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text, "换热量、介质流量缺失，请重新输入！  ");
  EXPECT_DOUBLE_EQ(s.fouling, 0.0);
}

// Guards against a wrong table for a list position, and against the hot kind
// changing at the click instead of when the list is left.
TEST_F(PanelTest, MediumListsPickTheirTables) {
  // "Oil ISO VG46" -> VG46, "Propylene glycol 30%" -> PG30.
  auto table_of = [](const std::string& item) {
    const std::string last = item.substr(item.rfind(' ') + 1);
    if (item.find(" glycol ") == std::string::npos) return last;
    return std::string(item[0] == 'E' ? "EG" : "PG") + last.substr(0, last.size() - 1);
  };
  for (const auto& item : form.Items("Com_jh")) {
    Choose("Com_jh", item);
    const std::string expected_table =
        item == "Water" || item == "Steam" ? "water" : table_of(item);
    EXPECT_EQ(s.table_h, expected_table) << item;
    EXPECT_EQ(s.hot_kind, item == "Steam" ? 2 : 1) << item;
    EXPECT_EQ(s.medium_h_index, form.FindItem("Com_jh", item) + 1);
    EXPECT_TRUE(Database::IsKnownTable(s.table_h));
  }
  for (const auto& item : form.Items("Com_jc")) {
    Choose("Com_jc", item);
    const std::string expected_table = item == "Water"        ? "water"
                                       : item == "25% Glycol" ? "glycol"
                                                              : table_of(item);
    EXPECT_EQ(s.table_c, expected_table) << item;
    EXPECT_EQ(s.medium_c_index, form.FindItem("Com_jc", item) + 1);
    EXPECT_TRUE(Database::IsKnownTable(s.table_c));
  }

  Choose("Com_jh", "Water");
  form.SetListIndex("Com_jh", 1);  // Steam chosen, the list not yet left
  EXPECT_EQ(ClickHandler("Com_jh"), nullptr);
  EXPECT_EQ(s.hot_kind, 1);
  Com_jh_LostFocus(s, env);
  EXPECT_EQ(s.hot_kind, 2);
  EXPECT_EQ(s.table_h, "water");

  // Nothing chosen: the table stays, the medium position is 0.
  form.SetListIndex("Com_jc", -1);
  Com_jc_LostFocus(s, env);
  EXPECT_EQ(s.medium_c_index, 0);
  EXPECT_EQ(s.table_c, "PG60");  // the last item chosen above
}

// Guards against the equipment lists storing the wrong value.
TEST_F(PanelTest, EquipmentLists) {
  Choose("Com_pg", "1.6MPa");
  EXPECT_EQ(s.design_pressure, 1.6);
  EXPECT_EQ(s.design_pressure_report, 1.6);
  Choose("Com_bph", "0.7mm");
  EXPECT_EQ(s.plate_thickness, 0.7);
  Choose("Com_bph", "0.6mm");
  EXPECT_EQ(s.plate_thickness, 0.6);
  Choose("Com_bpc", "SUS316");
  EXPECT_EQ(s.plate_material, "SUS316");
  Choose("Com_dpc", "NBR");
  EXPECT_EQ(s.gasket_material, "NBR");
  form.SetListIndex("Com_jgl", 2);
  Com_jgl_Change(s, env);
  EXPECT_EQ(s.port_lining, "EPDM");
  Choose("com_br", "PX100L");
  EXPECT_EQ(s.plate_type, "PX100L");
}

// Guards against the option buttons: check calculation disables the fouling
// and margin boxes but keeps their texts and values, simulation takes the
// fouling but no margin; both selection modes keep
// the plate-type controls enabled; an unknown button is refused.
TEST_F(PanelTest, OptionButtons) {
  Type("Txt_GF1", "10");
  Type("Txt_Rhc", "0.0001");
  opt_br_Click(s, env, 5);
  EXPECT_EQ(s.calc_mode, 2);
  EXPECT_FALSE(form.Enabled("Txt_Rhc"));
  EXPECT_FALSE(form.Enabled("Txt_GF1"));
  EXPECT_EQ(form.Text("Txt_GF1"), "10");
  EXPECT_EQ(s.margin_in, 10);
  EXPECT_DOUBLE_EQ(s.fouling, 0.0001);
  opt_br_Click(s, env, 4);
  EXPECT_EQ(s.calc_mode, 1);
  EXPECT_TRUE(form.Enabled("Txt_Rhc"));
  EXPECT_TRUE(form.Enabled("Txt_GF1"));

  opt_br_Click(s, env, 3);
  EXPECT_EQ(s.selection_mode, 1);
  opt_br_Click(s, env, 2);
  EXPECT_EQ(s.selection_mode, 0);
  for (const char* c : {"com_br", "com_zh", "Txt_nh", "Txt_nl"}) EXPECT_TRUE(form.Enabled(c)) << c;
  opt_br_Click(s, env, 6);
  EXPECT_EQ(s.calc_mode, 3);
  EXPECT_TRUE(form.Enabled("Txt_Rhc"));
  EXPECT_FALSE(form.Enabled("Txt_GF1"));
  EXPECT_THROW(opt_br_Click(s, env, 7), std::invalid_argument);

  Type("Txt_N", "2");
  EXPECT_EQ(s.passes, 2);
}

// Guards against a control wired to the wrong event: the text boxes of the
// balance react when left, the margin, passes and fouling on every change,
// the choice lists on a click.
TEST(PanelHandlers, LookupByControlName) {
  const struct {
    const char* control;
    Handler change, lost, click;
  } cases[] = {
      {"Txt_Th1", nullptr, Txt_Th1_LostFocus, nullptr},
      {"Txt_Th2", nullptr, Txt_Th2_LostFocus, nullptr},
      {"Txt_Tc1", nullptr, Txt_Tc1_LostFocus, nullptr},
      {"Txt_Tc2", nullptr, Txt_Tc2_LostFocus, nullptr},
      {"Txt_Qh", nullptr, Txt_Qh_LostFocus, nullptr},
      {"Txt_Qc", nullptr, Txt_Qc_LostFocus, nullptr},
      {"Txt_Wq", nullptr, Txt_Wq_LostFocus, nullptr},
      {"Txt_GF1", Txt_GF1_Change, nullptr, nullptr},
      {"Txt_N", Txt_N_Change, nullptr, nullptr},
      {"Txt_Rhc", Txt_Rhc_Change, nullptr, nullptr},
      {"Com_jh", nullptr, Com_jh_LostFocus, nullptr},
      {"Com_jc", nullptr, Com_jc_LostFocus, nullptr},
      {"Com_pg", nullptr, nullptr, Com_pg_Click},
      {"Com_bpc", nullptr, nullptr, Com_bpc_Click},
      {"Com_bph", nullptr, nullptr, Com_bph_Click},
      {"Com_dpc", nullptr, nullptr, Com_dpc_Click},
      {"Com_jgl", Com_jgl_Change, nullptr, nullptr},
      {"com_br", nullptr, nullptr, com_br_Click},
      {"com_zh", com_zh_Change, nullptr, nullptr},
      {"Txt_Ph", nullptr, nullptr, nullptr},
      {"Txt_nh", nullptr, nullptr, nullptr},
      {"Txt_K", nullptr, nullptr, nullptr},
      {"no_such_control", nullptr, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChangeHandler(c.control), c.change) << c.control;
    EXPECT_EQ(LostFocusHandler(c.control), c.lost) << c.control;
    EXPECT_EQ(ClickHandler(c.control), c.click) << c.control;
  }
}

// Guards against closing without asking, or closing on No.
TEST_F(PanelTest, CloseAsksFirst) {
  Type("Txt_Th1", "80");
  form.yes_no_answer = MsgAnswer::kNo;
  EXPECT_FALSE(Form_Unload(s, env));
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text, "您确定退出吗？");
  EXPECT_EQ(form.messages[0].title, "提示");
  EXPECT_EQ(form.messages[0].icon, MsgIcon::kQuestion);
  EXPECT_EQ(form.messages[0].buttons, MsgButtons::kYesNo);
  EXPECT_EQ(form.Text("Txt_Th1"), "80");
  EXPECT_EQ(s.t_h_in, 80);
  form.yes_no_answer = MsgAnswer::kYes;
  EXPECT_TRUE(Form_Unload(s, env));
}

// Guards against the animation showing picture 3 or losing its place.
TEST_F(PanelTest, BusyCursorCyclesThreePictures) {
  const int expected[] = {0, 1, 2, 0, 1, 2, 0};
  for (int picture : expected) {
    Timer_Timer(s, env);
    EXPECT_EQ(form.cursor_picture, picture);
    EXPECT_EQ(env.anim_last, picture);
  }
}

// Guards against a second press of Run starting a run inside the running one.
TEST_F(PanelTest, RunIgnoredWhileRunning) {
  env.running = true;
  s.passes = 7;  // the refresh would read the box's "1"
  cmd_count_Click(s, env);
  EXPECT_TRUE(form.messages.empty()) << "nothing may happen, not even the duty message";
  EXPECT_EQ(s.passes, 7) << "not even the refresh";
  EXPECT_TRUE(env.running);
}

// Guards against the running flag staying set after a run that ended with a
// message, or after an error escaped the run.
TEST_F(PanelTest, RunningFlagClearedOnEveryExit) {
  cmd_count_Click(s, env);
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text, "换热量、介质流量缺失，请重新输入！  ");
  EXPECT_FALSE(env.running);

  // A balance that cannot be completed ends quietly for the caller.
  form.messages.clear();
  Type("Txt_Wq", "10000");
  Type("Txt_Qh", "1");
  Type("Txt_Th1", "90");
  Type("Txt_Tc1", "-5");
  Type("Txt_Tc2", "50");
  EXPECT_NO_THROW(cmd_count_Click(s, env));
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_EQ(form.messages[0].text.rfind("热平衡", 0), 0u) << form.messages[0].text;
  EXPECT_FALSE(env.running);

  s.db = nullptr;  // a programming error must surface, and still clear the flag
  EXPECT_THROW(cmd_count_Click(s, env), std::logic_error);
  EXPECT_FALSE(env.running);
}

}  // namespace
}  // namespace phe
