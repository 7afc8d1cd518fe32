// Moving values between the window's boxes and the record: inputs at the
// start of a run, the completed balance, and the result display.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "workflow/limits.h"
#include "workflow/transfer.h"

namespace phe {
namespace {

struct TransferTest : ::testing::Test {
  HeadlessForm form;
  Env env{form};
  SelectionState s;
};

// Guards against the unit of the duty box (kW into W), the leading-number
// rule, the single-precision cold pressure drop and the list positions.
TEST_F(TransferTest, InputsAtTheStartOfARun) {
  form.SetListIndex("Com_jh", 1);
  form.SetListIndex("Com_jc", -1);
  form.SetText("Txt_Wq", "12.5kW");
  form.SetText("Txt_Qh", "1 0");
  form.SetText("Txt_Qc", "");
  form.SetText("Txt_Th1", "80.25");
  form.SetText("Txt_Th2", "6e1");
  form.SetText("Txt_Tc1", "-5");
  form.SetText("Txt_Tc2", "abc");
  form.SetText("Txt_Ph", "55.5");
  form.SetText("Txt_Pc", "50.1");
  form.SetText("Txt_N", "2");
  s.calc_mode = 1;
  s.channels_hm = 7;
  s.plate_type = "PX50B-H";
  form.SetText("Txt_nh", "12");
  txttj_in(s, env);
  EXPECT_EQ(s.medium_h_index, 2);
  EXPECT_EQ(s.medium_c_index, 0);
  EXPECT_EQ(s.duty, 12500);
  EXPECT_EQ(s.flow_h, 10);
  EXPECT_EQ(s.flow_c, 0);
  EXPECT_EQ(s.t_h_in, 80.25);
  EXPECT_EQ(s.t_h_out, 60);
  EXPECT_EQ(s.t_c_in, -5);
  EXPECT_EQ(s.t_c_out, 0);
  EXPECT_EQ(s.dp_max_h, 55.5);
  EXPECT_EQ(s.dp_max_c, 50.1);  // a float kept 50.099998474121094
  EXPECT_EQ(s.passes, 2);
  // Design mode leaves the check inputs alone.
  EXPECT_EQ(s.channels_hm, 7);
  EXPECT_EQ(s.plate_type, "PX50B-H");
}

// Guards against the check inputs being skipped in check mode.
TEST_F(TransferTest, CheckModeReadsChannelsAndPlateType) {
  s.calc_mode = 2;
  form.SetText("Txt_nh", "12");
  form.SetText("Txt_nl", "8.5");
  form.SetListIndex("com_br", form.FindItem("com_br", "PX150M"));
  form.SetListIndex("com_zh", form.FindItem("com_zh", "ML"));
  txttj_in(s, env);
  EXPECT_EQ(s.channels_hm, 12);
  EXPECT_EQ(s.channels_ml, 8.5);
  EXPECT_EQ(s.plate_type, "PX150M-ML");
}

// Guards against the balance written back unrounded, in W, with the boxes
// mixed up, or rounded so far that it changes: an entered 65.04 shown as 65.0,
// a computed outlet cut onto the 0.1 degC grid, a flow to one decimal (up to
// 8 % of the duty when typed in again).
TEST_F(TransferTest, BalanceWrittenAsTheRunSolvedIt) {
  s.duty = 227649.9;
  s.flow_h = 10;
  s.flow_c = 6.54;
  s.t_h_in = 80.04;
  s.t_h_out = 59.95;
  s.t_c_in = -2.25;
  s.t_c_out = 45.04;
  const struct {
    float given;
    const char *wq, *qh, *qc, *th1, *th2, *tc1, *tc2;
  } cases[] = {
      {0, "227.6", "10.00", "6.540", "80.04", "59.95", "-2.25", "45.04"},
      {1, "227.6499", "10.0", "6.54", "80.04", "59.95", "-2.25", "45.04"},
  };
  for (const auto& c : cases) {
    const auto flag = static_cast<int16_t>(c.given);
    s.given_duty = s.given_t_c_out = c.given;
    s.given_flow_h = s.given_flow_c = s.given_t_h_in = s.given_t_h_out = s.given_t_c_in = flag;
    txtcs_out(s, env);
    EXPECT_EQ(form.Text("Txt_Wq"), c.wq);
    EXPECT_EQ(form.Text("Txt_Qh"), c.qh);
    EXPECT_EQ(form.Text("Txt_Qc"), c.qc);
    EXPECT_EQ(form.Text("Txt_Th1"), c.th1);
    EXPECT_EQ(form.Text("Txt_Th2"), c.th2);
    EXPECT_EQ(form.Text("Txt_Tc1"), c.tc1);
    EXPECT_EQ(form.Text("Txt_Tc2"), c.tc2);
  }
}

void FillResults(SelectionState& s) {
  s.calc_mode = 1;
  s.model_code = "PX100L";
  s.arrangement_type = std::string(1, 'L');  // g++ 12 warns falsely on = "L" here
  s.channels_hm = 12;
  s.channels_ml = 0;
  s.port_d_h = 100;
  s.port_d_c = 32.5;
  s.k_service = 4321.9;
  s.fouling_out = 0.00012;
  s.margin = -3.7;
  s.area = 10.25;
  s.lmtd = 29.96;
  s.dp_h = 41.235;
  s.dp_port_h = 3.004;
  s.dp_c = 38.5;
  s.dp_port_c = 2.675;
  s.v_port_h = 1.005;
  s.v_port_c = 0.994;
  s.weight = 123.4f;
  s.frame_length = 1085;
  s.frame_width = 480;
  s.frame_height = 1150;
  s.price = 12300;
  s.duty = 100000;
}

// Guards against the result formats: whole parts truncated, fouling with six
// decimals, pressure drops and velocities with two, diameters, weight, price
// and frame in general form.
TEST_F(TransferTest, ResultDisplay) {
  FillResults(s);
  s.arrangement_type = "H";
  s.arrangement_dh = s.arrangement_dz = "12H";
  s.plate_type = "PX100L-25";
  s.units = 3;
  s.k_clean = 4999.9f;
  txtjg_out(s, env);
  EXPECT_EQ(form.Text("Txt_Br"), "PX100L-25");
  EXPECT_EQ(form.Text("Txt_Dh"), "12H");
  EXPECT_EQ(form.Text("Txt_Dz"), "12H");
  EXPECT_EQ(form.Text("Txt_NUM"), "3");
  EXPECT_EQ(form.Text("Txt_K0"), "4999");
  EXPECT_EQ(form.Text("Txt_nh"), "12");
  EXPECT_EQ(form.Text("Txt_nl"), "0");
  EXPECT_EQ(form.Text("Txt_Wq"), "100.0");
  EXPECT_EQ(form.Text("com_br"), "PX100L");
  EXPECT_EQ(form.Text("com_zh"), "H");
  EXPECT_EQ(form.Text("Txt_D1"), "32.5");
  EXPECT_EQ(form.Text("Txt_D2"), "100");
  EXPECT_EQ(form.Text("Txt_K"), "4321");
  EXPECT_EQ(form.Text("Txt_RHC1"), "0.000120");
  EXPECT_EQ(form.Text("Txt_GF"), "-3");
  EXPECT_EQ(form.Text("Txt_F"), "10.3");
  EXPECT_EQ(form.Text("Txt_TM"), "30.0");
  EXPECT_EQ(form.Text("Txt_Ph1"), "41.24");
  EXPECT_EQ(form.Text("Txt_Ph2"), "3.00");
  EXPECT_EQ(form.Text("Txt_Pc1"), "38.50");
  EXPECT_EQ(form.Text("Txt_Pc2"), "2.68");
  EXPECT_EQ(form.Text("Txt_Wlh"), "1.01");
  EXPECT_EQ(form.Text("Txt_Wlc"), "0.99");
  EXPECT_EQ(form.Text("Txt_W"), "123.4");
  EXPECT_EQ(form.Text("Txt_H"), "1085x480x1150h");
  EXPECT_EQ(form.Text("Txt_Y"), "12300");
  // Showing the model in the lists is no click: the designation stays.
  EXPECT_EQ(s.plate_type, "PX100L-25");
}

// Guards against the channel boxes of a pure L pack: a design shows its count
// in the second box; a check calculation keeps the boxes as entered.
TEST_F(TransferTest, PureLPackShowsItsChannelsInTheSecondBox) {
  FillResults(s);
  txtjg_out(s, env);
  EXPECT_EQ(form.Text("Txt_nl"), "12");
  EXPECT_EQ(form.Text("Txt_nh"), "0");

  s.calc_mode = 2;
  txtjg_out(s, env);
  EXPECT_EQ(form.Text("Txt_nh"), "12");
  EXPECT_EQ(form.Text("Txt_nl"), "0");
}

// Guards against showing area, weight, size and price for an area beyond the
// model's largest pack, while the rest of the results stay shown; the largest
// pack itself is still shown.
TEST_F(TransferTest, AreaBeyondTheModelBlanksAreaWeightSizeAndPrice) {
  const ModelInfo* m = FindModel("PX50B");
  ASSERT_NE(m, nullptr);
  FillResults(s);
  s.model_code = "PX50B";
  s.arrangement_type = "M";
  s.area = m->max_area + 0.05;
  txtjg_out(s, env);
  for (const char* box : {"Txt_F", "Txt_W", "Txt_H", "Txt_Y"}) EXPECT_EQ(form.Text(box), "") << box;
  EXPECT_EQ(form.Text("Txt_K"), "4321");
  EXPECT_EQ(form.Text("Txt_GF"), "-3");
  EXPECT_EQ(form.Text("Txt_Ph1"), "41.24");
  EXPECT_EQ(form.Text("Txt_Wlh"), "1.01");

  s.area = m->max_area;
  txtjg_out(s, env);
  EXPECT_NE(form.Text("Txt_F"), "");
  EXPECT_EQ(form.Text("Txt_H"), "1085x480x1150h");
}

// Guards against limits judged against the wrong value, side or mode: each
// row breaks one limit by a little (or keeps to it exactly) and names the box
// that must be marked.
TEST(LimitBreaches, NameTheBoxAndTheLimit) {
  const ModelInfo* px50b = FindModel("PX50B");
  ASSERT_NE(px50b, nullptr);
  const struct {
    const char* what;
    void (*set)(SelectionState&);
    const char* box;  // nullptr: within every limit
    std::string text;
  } cases[] = {
      {"within", [](SelectionState&) {}, nullptr, ""},
      {"hot drop", [](SelectionState& s) { s.dp_h = 50.01; }, "Txt_Ph1", "超过最大压降 50 kPa"},
      {"cold drop", [](SelectionState& s) { s.dp_c = 40.5; s.dp_max_c = 40; }, "Txt_Pc1", "超过最大压降 40 kPa"},
      {"drop at the limit", [](SelectionState& s) { s.dp_h = 50; }, nullptr, ""},
      {"liquid port", [](SelectionState& s) { s.v_port_h = 6.01; }, "Txt_Wlh", "接口流速超过 6 m/s"},
      {"steam port within", [](SelectionState& s) { s.hot_kind = 2; s.v_port_h = 99; }, nullptr, ""},
      {"steam port", [](SelectionState& s) { s.hot_kind = 2; s.v_port_h = 101; }, "Txt_Wlh", "接口流速超过 100 m/s"},
      {"cold port", [](SelectionState& s) { s.hot_kind = 2; s.v_port_c = 7; }, "Txt_Wlc", "接口流速超过 6 m/s"},
      {"margin", [](SelectionState& s) { s.margin = 9; }, "Txt_GF", "低于要求的设计裕量 10%"},
      {"margin in a check", [](SelectionState& s) { s.margin = 9; s.calc_mode = 2; }, nullptr, ""},
      {"area", [](SelectionState& s) { s.area += 0.06; }, "Txt_F", "换热面积 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SelectionState s;
    s.hot_kind = 1;
    s.calc_mode = 1;
    s.dp_max_h = 50;
    s.dp_max_c = 50;
    s.dp_h = s.dp_c = 30;
    s.v_port_h = s.v_port_c = 3;
    s.margin_in = 10;
    s.margin = 12;
    s.model_code = "PX50B";
    s.area = px50b->max_area;
    c.set(s);
    const auto breaches = LimitBreaches(s);
    if (!c.box) {
      EXPECT_TRUE(breaches.empty()) << breaches.front().box;
      continue;
    }
    ASSERT_EQ(breaches.size(), 1u);
    EXPECT_EQ(breaches[0].box, c.box);
    const std::string text = Format(breaches[0].text, Lang::kZh);
    EXPECT_EQ(text.rfind(c.text, 0), 0u) << text;
  }
}

}  // namespace
}  // namespace phe
