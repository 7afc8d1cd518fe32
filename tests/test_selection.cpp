// The selection stage of the Run command: split into parallel units, family
// choice, price and weight.
#include <gtest/gtest.h>

#include <cmath>

#include "ui/headless_form.h"
#include "workflow/selection.h"

namespace {

struct SplitCase {
  const char* why;
  int16_t hot_kind;
  double flow_h, flow_c;
  double units;            // expected
  double flow_h_per_unit;  // expected
  double flow_c_per_unit;
  const char* family;
  bool second_pass;  // pass_complete cleared
};

// Guards the unit limits (a flow equal to the limit is not split) and the
// family table's strict "greater than" on the divided flows, and that a steam
// split never asks for another split on the second pass.
TEST(SplitAndFamily, AtTheLimits) {
  const SplitCase cases[] = {
      {"liquid at the unit limit", 1, 2575, 100, 1, 2575, 100, "PX450", false},
      {"liquid just above", 1, 2576, 100, 2, 1288, 50, "PX350", true},
      {"cold side decides", 1, 100, 6000, 3, 100.0 / 3, 2000, "PX450", true},
      {"both at 13", 1, 13, 13, 1, 13, 13, "PX32", false},
      {"hot above 13", 1, 13.01, 13, 1, 13.01, 13, "PX50", false},
      {"cold above 13", 1, 13, 13.5, 1, 13, 13.5, "PX50", false},
      {"steam at its PX150 limit", 2, 2830, 10, 1, 2830, 10, "PX100", false},
      {"steam above it", 2, 2830.5, 10, 1, 2830.5, 10, "PX150", false},
      {"steam flow is not a liquid flow", 2, 1000, 10, 1, 1000, 10, "PX65", false},
      {"steam at the unit limit", 2, 57220, 10, 1, 57220, 10, "PX450", false},
      {"steam split by the steam", 2, 60000, 100, 2, 30000, 50, "PX350", true},
      {"steam split by both sides", 2, 60000, 6000, 3, 20000, 2000, "PX450", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    phe::HeadlessForm form;
    phe::Env env(form);
    phe::SelectionState s;
    s.hot_kind = c.hot_kind;
    s.units = 1;
    s.duty = 1.0e6;
    s.flow_h = c.flow_h;
    s.flow_c = c.flow_c;
    env.pass_complete = true;
    phe::SplitAndChooseFamily(s, env);
    EXPECT_EQ(s.units, c.units);
    EXPECT_NEAR(s.flow_h, c.flow_h_per_unit, 1e-9);
    EXPECT_NEAR(s.flow_c, c.flow_c_per_unit, 1e-9);
    EXPECT_NEAR(s.duty, 1.0e6 / c.units, 1e-6);
    EXPECT_EQ(s.model_family, c.family);
    EXPECT_EQ(env.pass_complete, !c.second_pass);
    if (c.second_pass) {
      // The loop runs again on the divided flows: no further split.
      env.pass_complete = true;
      phe::SplitAndChooseFamily(s, env);
      EXPECT_TRUE(env.pass_complete);
      EXPECT_EQ(s.units, c.units);
      EXPECT_NEAR(s.flow_h * s.units, c.flow_h, 1e-9);
    }
  }
}

// Price and weight by model: the published examples (PX32 with 1 m2 costs
// 2300; PX150B with 41 plates weighs 1140 kg) and each rounding rule (whole kg,
// tens of kg, the reduced frames of PX65L, PX250S and PX350S).
TEST(PriceAndWeight, ByModel) {
  struct Case {
    const char* model;
    double area, plates;
    double price, weight;
  } const cases[] = {
      {"PX32", 1.0, 11, 2300, std::floor(14 + 0.415 * 11 + 0.09 * 10)},
      {"PX150B", 10.0, 41, 100 * std::floor((7000 + 7000) / 100.0), 1140},
      {"px65l", 5.55, 21, 100 * std::floor((3600 + 3885) / 100.0),
       std::floor(1.66 * (92 + 1.143 * 21 + 0.3 * 20))},
      {"PX250S", 100, 101, 100 * std::floor((11000 + 70000) / 100.0),
       10 * std::floor(0.65 * (3109 + 6.15 * 101 + 5.88 * 100) / 10)},
      {"PX350S", 200, 201, 100 * std::floor((19000 + 140000) / 100.0),
       10 * std::floor(0.7 * (4090 + 10.8 * 201 + 8.64 * 200) / 10)},
      {"PX450M", 2000.04, 501, 100 * std::floor((40000 + 700 * 2000.04) / 100),
       10 * std::floor((8100 + 18.6 * 501 + 11 * 500) / 10)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    phe::SelectionState s;
    s.model_code = c.model;
    s.area = c.area;
    s.plate_count = c.plates;
    phe::PriceAndWeight(s);
    EXPECT_DOUBLE_EQ(s.price, c.price);
    EXPECT_FLOAT_EQ(s.weight, static_cast<float>(c.weight));
  }
  EXPECT_EQ(1140.0f, [] {
    phe::SelectionState s;
    s.model_code = "PX150B";
    s.plate_count = 41;
    phe::PriceAndWeight(s);
    return s.weight;
  }());
}

// A model outside the tables (or none at all) must leave the previous price
// and weight rather than zero them or pick a neighbour.
TEST(PriceAndWeight, UnknownModelKeepsPrevious) {
  for (const char* model : {"", "PX50", "PX999B"}) {
    phe::SelectionState s;
    s.model_code = model;
    s.area = 10;
    s.plate_count = 31;
    s.price = 1234;
    s.weight = 567;
    phe::PriceAndWeight(s);
    EXPECT_EQ(s.price, 1234);
    EXPECT_EQ(s.weight, 567);
  }
}

}  // namespace
