// Wall temperatures, wall viscosities and plate conductivity.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "db/database.h"
#include "properties/wall.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"

namespace phe {
namespace {

std::vector<Cell> Row(std::initializer_list<double> values) {
  std::vector<Cell> row;
  for (double v : values) row.emplace_back(v);
  return row;
}

// Viscosity of the hand-made table: 2 + 0.01 T^2 at every whole degree, so
// that the wrong pair of rows gives a visibly different value.
double V(int t) { return 2 + 0.01 * t * t; }

std::unique_ptr<RecordSet> ViscosityTable(double offset) {
  auto t = std::make_shared<TableData>();
  t->name = "test";
  t->columns = {"min_T", "max_T", "R", "cP", "L", "V"};
  for (int lo = -10; lo < 100; ++lo)
    t->rows.push_back(Row({double(lo), double(lo + 1), 1000.0, 4.2, 0.6, V(lo) + offset}));
  return std::make_unique<RecordSet>(t);
}

// Plate conductivity rows (0, 100] and (100, 200].
std::unique_ptr<RecordSet> ConductivityTable() {
  auto t = std::make_shared<TableData>();
  t->name = "BPDRXS";
  t->columns = {"min_t", "max_t", "SUS304", "SUS316"};
  t->rows.push_back(Row({0.0, 100.0, 16.0, 15.0}));
  t->rows.push_back(Row({100.0, 200.0, 17.0, 16.5}));
  return std::make_unique<RecordSet>(t);
}

struct WallTest : ::testing::Test {
  HeadlessForm form;
  Env env{form};
  SelectionState s;
  void SetUp() override {
    env.rs_hot = ViscosityTable(0);
    env.rs_cold = ViscosityTable(100);  // cold values are V + 100
    env.rs_bpdrxs = ConductivityTable();
    s.plate_thickness = 0.5;
    s.lambda_plate = 10;  // plate term 0.0005 / 10 = 5e-5 m2.degC/W
    s.t_h_mean = 80;
    s.t_c_mean = 30;
  }
};

// Guards against a wrong resistance chain. Hand calculation: 1/4000 + 5e-5 +
// 1/5000 = 5e-4, flux 50 / 5e-4 = 100000 W/m2, so the hot wall is 80 - 25 = 55
// and the cold wall 30 + 20 = 50 (the plate takes the remaining 5 degC).
TEST_F(WallTest, WallTemperaturesOfTheResistanceChain) {
  s.hot_kind = 1;
  s.alpha_h = 4000;
  s.alpha_c = 5000;
  BW(s, env);
  EXPECT_NEAR(s.t_w_h, 55, 1e-9);
  EXPECT_NEAR(s.t_w_c, 50, 1e-9);
  EXPECT_NEAR(s.visc_w_h, V(55), 1e-9);
  EXPECT_NEAR(s.visc_w_c, V(50) + 100, 1e-9);
}

// Guards against BW12 mixing the coefficients of the two kinds: kind 1 as
// above; kind 2 with 1/5000 + 5e-5 + 1/4000 gives 80 - 20 = 60 and 30 + 25 = 55.
TEST_F(WallTest, MixedPackPerKind) {
  s.hot_kind = 2;  // BW12 sets every wall viscosity whatever the hot medium
  s.alpha_h1 = 4000;
  s.alpha_c1 = 5000;
  s.alpha_h2 = 5000;
  s.alpha_c2 = 4000;
  BW12(s, env);
  EXPECT_NEAR(s.t_w_h1, 55, 1e-9);
  EXPECT_NEAR(s.t_w_c1, 50, 1e-9);
  EXPECT_NEAR(s.t_w_h2, 60, 1e-9);
  EXPECT_NEAR(s.t_w_c2, 55, 1e-9);
  EXPECT_NEAR(s.visc_w_h1, V(55), 1e-9);
  EXPECT_NEAR(s.visc_w_c1, V(50) + 100, 1e-9);
  EXPECT_NEAR(s.visc_w_h2, V(60), 1e-9);
  EXPECT_NEAR(s.visc_w_c2, V(55) + 100, 1e-9);
}

// Guards against the row choice of the wall lookup: a whole degree gives its
// row; 59.999 uses 59 and 60; -3.4 truncates to -3 and interpolates towards -2
// with the factor -0.4 (2.09 + 0.4 * 0.05 = 2.11; flooring would give 2.118).
TEST_F(WallTest, WallViscosityAtWholeFractionalAndNegativeTemperatures) {
  s.hot_kind = 1;
  s.alpha_h = 4000;
  s.alpha_c = 5000;
  struct Case {
    double t;
    double visc;
  } cases[] = {
      {60.0, V(60)},
      {59.999, V(59) + 0.999 * (V(60) - V(59))},
      {-3.4, 2.11},
      {-0.5, V(0) - 0.5 * (V(1) - V(0))},  // -0.5 truncates to 0: rows 0 and 1
  };
  for (const auto& c : cases) {
    // Equal bulk temperatures put both walls at that temperature.
    s.t_h_mean = s.t_c_mean = c.t;
    BW(s, env);
    EXPECT_NEAR(s.visc_w_h, c.visc, 1e-9) << c.t;
    EXPECT_NEAR(s.visc_w_c, c.visc + 100, 1e-9) << c.t;
  }
}

// Guards against a steam hot side getting a wall viscosity, and against an
// unknown hot kind getting any.
TEST_F(WallTest, WallViscositiesByHotKind) {
  s.alpha_h = 4000;
  s.alpha_c = 5000;
  s.hot_kind = 2;
  s.visc_w_h = -1;
  BW(s, env);
  EXPECT_EQ(s.visc_w_h, -1);
  EXPECT_NEAR(s.visc_w_c, V(50) + 100, 1e-9);

  s.hot_kind = 0;
  s.visc_w_c = -1;
  s.t_h_mean = 90;
  BW(s, env);
  EXPECT_EQ(s.visc_w_h, -1);
  EXPECT_EQ(s.visc_w_c, -1);
  EXPECT_GT(s.t_w_h, 55) << "the wall temperatures are still set";
}

// Guards against a wall beyond its table (a glycol table ends at 100 degC
// while the wall lies towards hotter water) zeroing the wall viscosity or
// reusing the last lookup's values (here those at 50 and 51): the table's end
// row stands in.
TEST_F(WallTest, BeyondTheTableTheEndRowStandsIn) {
  s.hot_kind = 2;
  s.alpha_h = 4000;
  s.alpha_c = 5000;
  BW(s, env);
  s.t_h_mean = s.t_c_mean = 500;
  BW(s, env);
  EXPECT_NEAR(s.visc_w_c, V(99) + 100, 1e-9);
  s.t_h_mean = s.t_c_mean = -30;
  BW(s, env);
  EXPECT_NEAR(s.visc_w_c, V(-10) + 100, 1e-9);
}

// Guards against the single-precision upper value of the kind-2 lookups
// being held in double.
TEST_F(WallTest, KindTwoUpperValueIsSinglePrecision) {
  auto t = std::make_shared<TableData>();
  t->name = "test";
  t->columns = {"min_T", "max_T", "V"};
  t->rows.push_back(Row({40.0, 41.0, 0.3}));
  t->rows.push_back(Row({41.0, 42.0, 0.1}));
  env.rs_hot = std::make_unique<RecordSet>(t);
  env.rs_cold = std::make_unique<RecordSet>(t);
  s.t_h_mean = s.t_c_mean = 40.5;
  s.alpha_h1 = s.alpha_c1 = s.alpha_h2 = s.alpha_c2 = 1000;
  BW12(s, env);
  const double single = static_cast<float>(0.1);
  // The two differ by 7e-10.
  EXPECT_NEAR(s.visc_w_h1, 0.3 + 0.5 * (0.1 - 0.3), 1e-12);
  EXPECT_NEAR(s.visc_w_h2, 0.3 + 0.5 * (single - 0.3), 1e-12);
}

// Guards against the interval convention of the conductivity table: a wall
// temperature on a row's upper bound belongs to that row; just above it, to
// the next. The material is taken by list position.
TEST_F(WallTest, PlateConductivityAtTheUpperBoundAndByMaterial) {
  form.SetListIndex("Com_bpc", 0);
  s.t_wall = 100;
  BP(s, env);
  EXPECT_EQ(s.lambda_sus304, 16);
  EXPECT_EQ(s.lambda_sus316, 15);
  EXPECT_EQ(s.lambda_plate, 16.0f);

  s.t_wall = 100.01;
  form.SetListIndex("Com_bpc", 1);
  BP(s, env);
  EXPECT_EQ(s.lambda_sus304, 17);
  EXPECT_EQ(s.lambda_plate, 16.5f);

  // No material chosen: the conductivity stays.
  form.SetListIndex("Com_bpc", -1);
  s.t_wall = 50;
  BP(s, env);
  EXPECT_EQ(s.lambda_sus304, 16);
  EXPECT_EQ(s.lambda_plate, 16.5f);

  // Outside every row: the material values stay.
  form.SetListIndex("Com_bpc", 0);
  s.t_wall = 1000;
  BP(s, env);
  EXPECT_EQ(s.lambda_sus304, 16);
  EXPECT_EQ(s.lambda_plate, 16.0f);
}

// Guards against the shipped conductivity table breaking the upper-bound
// rule: the row holding 20 degC, asked at its own upper bound, answers with
// its own values.
TEST(WallShippedData, ConductivityRowAtItsUpperBound) {
  auto db = Database::Open(DefaultDatabasePath());
  auto row = db->OpenRecordSet("BPDRXS");
  ASSERT_TRUE(row->FindFirst(Criterion::LowExclusive("min_t", "max_t", 20)));
  const double upper = row->Field("max_t");
  HeadlessForm form;
  Env env(form);
  env.rs_bpdrxs = db->OpenRecordSet("BPDRXS");
  SelectionState s;
  form.SetListIndex("Com_bpc", 1);
  s.t_wall = upper;
  BP(s, env);
  EXPECT_EQ(s.lambda_sus304, row->Field("SUS304"));
  EXPECT_EQ(s.lambda_plate, static_cast<float>(row->Field("SUS316")));
  EXPECT_GT(s.lambda_plate, 10.0f);
  EXPECT_LT(s.lambda_plate, 30.0f);
}

}  // namespace
}  // namespace phe
