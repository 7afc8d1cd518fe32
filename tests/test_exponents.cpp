// Correction exponents: Prandtl exponent by temperature and viscosity,
// viscosity-ratio exponents by viscosity and model.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "properties/exponents.h"
#include "state/selection_state.h"

using phe::SelectionState;

namespace {

// Guards against a bound that falls into the wrong row, a model block that
// wipes the general value where it has no row of its own (PX50M above 30),
// the two sides of PX250M/PX250S mixed up, and the model taken from a stale
// model_code instead of the plate type.
TEST(ViscosityExponent, ByModelAndSide) {
  struct Case {
    const char* plate_type;
    double visc_h, visc_c;
    double exp_h, exp_c;
  };
  const Case cases[] = {
      {"PX450M-H", 3.5, 3.5, 0.04, 0.04},
      {"PX32-H", 3.5, 3.5, 0.12, 0.12},
      {"PX50M-H", 3.5, 3.5, 0.06, 0.06},
      {"PX450M-H", 10, 10.5, 0.1, 0.17},
      {"PX450M-H", 25, 25.5, 0.17, 0.14},
      {"PX450M-H", 40, 0, 0.14, 0},
      {"PX50M-H", 40, 40, 0.14, 0.14},
      {"PX50M-M", 30, 30.5, 0.18, 0.14},
      {"PX65M-L", 30, 30.5, 0.18, 0.14},
      {"PX50B-H", 40, 40, 0.2, 0.2},
      {"PX65L-HM", 100, 100.5, 0.24, 0.25},
      {"PX32-H", 40, 30, 0.2, 0.18},
      {"PX32-ML", 7, 9, 0.13, 0.14},
      {"PX250M-H", 32, 32, 0.16, 0.16},
      {"PX250M-H", 80, 80, 0.16, 0.175},
      {"PX250S-L", 26, 26, 0.15, 0.16},
      {"PX250S-L", 30.5, 70, 0.16, 0.17},
      {"PX250B-H", 80, 80, 0.14, 0.14},  // B has no rows of its own
      {"PX100B-H", 15, 18, 0.17, 0.165},
      {"PX100M-H", 30, 80.5, 0.16, 0.13},
      {"PX150B-H", 25, 85, 0.15, 0.135},
      {"PX150S-M", 45, 90.5, 0.18, 0.13},
      {"PX200M-H", 60.5, 20, 0.178, 0.13},
      {"PX200S-H", 60.5, 20, 0.14, 0.17},  // general rows
      {"PX350S-H", 10, 36, 0.04, 0.13},
      {"px350m-hm", 25, 35, 0.17, 0.18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.plate_type << " " << c.visc_h << " / " << c.visc_c);
    SelectionState s;
    s.model_code = "PX32";  // stale value from an earlier plate type
    s.plate_type = c.plate_type;
    s.visc_h = c.visc_h;
    s.visc_c = c.visc_c;
    phe::VNM(s);
    EXPECT_EQ(s.visc_exp_h, c.exp_h);
    EXPECT_EQ(s.visc_exp_c, c.exp_c);
  }
}

// Guards against a correction switched on for water-like media: 3 mPa.s and
// below gives 0 for every model, on both sides.
TEST(ViscosityExponent, ThinMediaGetNoCorrection) {
  for (const phe::ModelInfo& m : phe::Models()) {
    for (double visc : {0.0, 0.3, 1.0, 3.0}) {
      SCOPED_TRACE(testing::Message() << m.code << " " << visc);
      SelectionState s;
      s.plate_type = std::string(m.code) + "-M";
      s.visc_h = s.visc_c = visc;
      s.visc_exp_h = s.visc_exp_c = 0.5;
      phe::VNM(s);
      EXPECT_EQ(s.visc_exp_h, 0);
      EXPECT_EQ(s.visc_exp_c, 0);
      s.visc_exp_dp_h = s.visc_exp_dp_c = 0.5;
      phe::VEM(s);
      EXPECT_EQ(s.visc_exp_dp_h, 0);
      EXPECT_EQ(s.visc_exp_dp_c, 0);
    }
  }
}

// Guards against an unknown plate type that resets model_code: the model
// rows then follow the model code the state already holds.
TEST(ViscosityExponent, UnknownPlateTypeKeepsModel) {
  SelectionState s;
  s.model_code = "PX32";
  s.plate_type = "PX50-H";
  s.visc_h = 3.5;
  s.visc_c = 40;
  phe::VNM(s);
  EXPECT_EQ(s.model_code, "PX32");
  EXPECT_EQ(s.visc_exp_h, 0.12);
  EXPECT_EQ(s.visc_exp_c, 0.2);
}

// Guards against an off-by-one in the 4..28 rows, the gap between 200 and
// 220 mPa.s (closed by the last row), and sides read from the wrong input.
TEST(PressureDropExponent, Bounds) {
  struct Case {
    double visc;
    double exp;
  };
  const Case cases[] = {
      {-1, 0},        {3, 0},         {3.5, -0.05},  {4, -0.05},    {4.01, -0.06}, {10, -0.11},
      {27.5, -0.29},  {28, -0.29},    {28.5, -0.30}, {30, -0.30},   {30.1, -0.31}, {45, -0.33},
      {100, -0.39},   {100.5, -0.40}, {160, -0.42},  {200, -0.44},  {200.5, -0.45},
      {210, -0.45},   {220, -0.45},   {250, -0.45},  {5000, -0.45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.visc);
    SelectionState s;
    s.visc_h = c.visc;
    s.visc_c = 1;
    phe::VEM(s);
    EXPECT_EQ(s.visc_exp_dp_h, c.exp);
    EXPECT_EQ(s.visc_exp_dp_c, 0);
    SelectionState t;
    t.visc_h = 1;
    t.visc_c = c.visc;
    phe::VEM(t);
    EXPECT_EQ(t.visc_exp_dp_c, c.exp);
    EXPECT_EQ(t.visc_exp_dp_h, 0);
  }
  // Each whole bound from 4 to 28 carries -(b + 1) / 100.
  for (int b = 4; b <= 28; ++b) {
    SelectionState s;
    s.visc_h = b;
    s.visc_c = b - 0.5;
    phe::VEM(s);
    EXPECT_NEAR(s.visc_exp_dp_h, -(b + 1) / 100.0, 1e-15) << b;
    EXPECT_NEAR(s.visc_exp_dp_c, -(b + 1) / 100.0, 1e-15) << b;
  }
}

// Guards against a typo that breaks the order of a table: the pressure-drop
// exponent never rises with viscosity, the Prandtl exponent of a thin medium
// never rises with temperature.
TEST(Exponents, TablesAreMonotonic) {
  double last = 1;
  for (double visc = 0; visc <= 300; visc += 0.25) {
    SelectionState s;
    s.visc_h = s.visc_c = visc;
    phe::VEM(s);
    ASSERT_LE(s.visc_exp_dp_h, last) << visc;
    last = s.visc_exp_dp_h;
  }
  last = 1;
  for (double t = -5; t <= 130; t += 0.25) {
    SelectionState s;
    s.t_h_mean = s.t_c_mean = t;
    s.visc_h = s.visc_c = 0.5;
    phe::PRM(s);
    ASSERT_LE(s.pr_exp_h, last) << t;
    ASSERT_GE(s.pr_exp_h, 0.19) << t;
    ASSERT_LE(s.pr_exp_h, 0.36) << t;
    last = s.pr_exp_h;
  }
}

// Guards against the temperature table overriding the viscous-medium rows,
// bounds in the wrong row, and one side's viscosity steering the other side.
TEST(PrandtlExponent, TemperatureAndViscosity) {
  struct Case {
    double t, visc;
    double exp;
  };
  const Case cases[] = {
      {60, 0.47, 0.319},  {60, 3, 0.319},     {60, 3.01, 0.347}, {60, 5, 0.347},   {60, 8, 0.347},
      {60, 8.01, 0.332},  {110, 0.3, 0.19},   {4, 1.5, 0.36},    {-3, 1.5, 0.36},  {0, 0, 0.36},
      {5, 1, 0.36},       {5.5, 1, 0.359},    {105, 0.3, 0.199}, {105.5, 0.3, 0.19}, {47, 0.6, 0.336},
      {47.5, 0.6, 0.334}, {110, 50, 0.332},   {4, 4, 0.347},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.t << " C, " << c.visc << " mPa.s");
    SelectionState s;
    s.t_h_mean = c.t;
    s.visc_h = c.visc;
    s.t_c_mean = 20;
    s.visc_c = 1;
    phe::PRM(s);
    EXPECT_EQ(s.pr_exp_h, c.exp);
    EXPECT_EQ(s.pr_exp_c, 0.356);
    SelectionState t;
    t.t_c_mean = c.t;
    t.visc_c = c.visc;
    t.t_h_mean = 20;
    t.visc_h = 1;
    phe::PRM(t);
    EXPECT_EQ(t.pr_exp_c, c.exp);
    EXPECT_EQ(t.pr_exp_h, 0.356);
  }
}

}  // namespace
