// Medium property lookup: interpolation between whole degrees, steam rows,
// mean temperatures and the log-mean temperature difference.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "properties/media.h"
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

// A property table held in memory, one row per whole degree from `first`.
std::unique_ptr<RecordSet> LiquidTable(int first, const std::vector<std::vector<double>>& rcplv) {
  auto t = std::make_shared<TableData>();
  t->name = "test";
  t->columns = {"min_T", "max_T", "R", "cP", "L", "V"};
  int lo = first;
  for (const auto& p : rcplv) {
    t->rows.push_back(Row({double(lo), double(lo + 1), p[0], p[1], p[2], p[3]}));
    ++lo;
  }
  return std::make_unique<RecordSet>(t);
}

struct MediaTest : ::testing::Test {
  HeadlessForm form;
  Env env{form};
  SelectionState s;
  std::unique_ptr<Database> db = Database::Open(DefaultDatabasePath());

  // Reads one column of the row that holds t, through a record set of its own.
  double RowValue(const char* table, double t, const char* column) {
    auto rs = db->OpenRecordSet(table);
    EXPECT_TRUE(rs->FindFirst(Criterion::LowInclusive("min_T", "max_T", t)))
        << table << " has no row at " << t;
    return rs->Field(column);
  }
};

// Guards against rounding or flooring the temperature instead of truncating
// it, against reading the wrong row pair and against a wrong factor sign:
// rows -3, -2, -1 of a hand-made table give 998 at -2.5 only when the rows of
// -2 and -1 are used with the factor -0.5.
TEST_F(MediaTest, InterpolatesFromTruncatedDegreeIncludingNegative) {
  env.rs_hot = LiquidTable(-3, {{1000, 4.0, 0.5, 1.0}, {1002, 4.2, 0.5, 1.0}, {1010, 4.6, 0.5, 1.0}});
  env.rs_cold = LiquidTable(-3, {{1000, 4.0, 0.5, 1.0}, {1002, 4.2, 0.5, 1.0}, {1010, 4.6, 0.5, 1.0}});
  struct Case {
    double t;
    double rho;
    double cp;
  } cases[] = {
      {-2.5, 998.0, 4.0},   // 1002 + 8 * -0.5; 4.2 + 0.4 * -0.5
      {-2.0, 1002.0, 4.2},  // a whole degree is its own row
      {-3.0, 1000.0, 4.0},
      {-2.75, 996.0, 3.9},  // 1002 + 8 * -0.75; 4.2 + 0.4 * -0.75
  };
  for (const auto& c : cases) {
    s.t_h_mean = c.t;
    HotRhoCp(s, env);
    EXPECT_NEAR(s.rho_h, c.rho, 1e-9) << c.t;
    EXPECT_NEAR(s.cp_h, c.cp, 1e-12) << c.t;
    s.t_c_mean = c.t;
    ColdRhoCp(s, env);
    EXPECT_NEAR(s.rho_c, c.rho, 1e-9) << c.t;
    EXPECT_NEAR(s.cp_c, c.cp, 1e-12) << c.t;
  }
}

// Guards against the lookup in the shipped database (column spelling, row
// intervals): whole and fractional temperatures against the two rows read by
// hand.
TEST_F(MediaTest, InterpolatesShippedWaterRows) {
  env.rs_hot = db->OpenRecordSet("water");
  env.rs_cold = db->OpenRecordSet("water");
  for (double t : {25.0, 25.37, 63.9}) {
    const double t0 = std::trunc(t);
    const double r0 = RowValue("water", t0, "R"), r1 = RowValue("water", t0 + 1, "R");
    const double c0 = RowValue("water", t0, "cP"), c1 = RowValue("water", t0 + 1, "cP");
    s.t_c_mean = t;
    ColdRhoCp(s, env);
    EXPECT_NEAR(s.rho_c, r0 + (r1 - r0) * (t - t0), 1e-9) << t;
    EXPECT_NEAR(s.cp_c, c0 + (c1 - c0) * (t - t0), 1e-12) << t;
    if (t == t0) {
      EXPECT_EQ(s.rho_c, r0) << "a whole degree must give its row's value";
    }
  }
}

// Guards against a missing row zeroing the properties: a temperature outside
// every row keeps the values found last, per side.
TEST_F(MediaTest, NoRowKeepsThePreviousValues) {
  env.rs_hot = LiquidTable(10, {{990, 4.1, 0.6, 0.8}, {980, 4.3, 0.6, 0.7}});
  env.rs_cold = LiquidTable(10, {{900, 2.0, 0.1, 9.0}, {900, 2.0, 0.1, 9.0}});
  s.t_h_mean = 10.5;
  HotRhoCp(s, env);
  EXPECT_NEAR(s.rho_h, 985, 1e-9);
  s.t_h_mean = 500;
  HotRhoCp(s, env);
  EXPECT_NEAR(s.rho_h, 990, 1e-9) << "the old rows at 10 and 11 apply with factor 500 - 500 = 0";
  s.t_c_mean = 10;
  ColdRhoCp(s, env);
  EXPECT_EQ(s.rho_c, 900) << "the cold side has its own rows";
}

// Guards against interpolating steam data or reading a neighbouring row:
// every steam and condensate value at 133.3 degC comes from the one row that
// holds 133.3, and the condensate Prandtl number is left alone.
TEST_F(MediaTest, SteamDataFromTheRowWithoutInterpolation) {
  env.rs_hot = db->OpenRecordSet("water");
  auto row = db->OpenRecordSet("water");
  ASSERT_TRUE(row->FindFirst(Criterion::LowInclusive("min_t", "max_t", 133.3)));
  s.t_h_in = 133.3;
  s.pr_h = 123;
  SteamProps(s, env);
  EXPECT_EQ(s.latent_heat, row->Field("Ic"));
  EXPECT_EQ(s.rho_steam, row->Field("Rz"));
  EXPECT_EQ(s.cp_steam, static_cast<float>(row->Field("Cpz")));
  EXPECT_EQ(s.lambda_steam, row->Field("Lz"));
  EXPECT_EQ(s.visc_steam, row->Field("Vz"));
  EXPECT_EQ(s.rho_h, row->Field("R"));
  EXPECT_EQ(s.cp_h, row->Field("cP"));
  EXPECT_EQ(s.lambda_h, row->Field("L"));
  EXPECT_EQ(s.visc_h, row->Field("V"));
  EXPECT_EQ(s.pr_h, 123);
  EXPECT_GT(s.latent_heat, 0) << "the shipped water table must carry steam at 133 degC";

  s.t_h_in = 100000;  // no row: nothing changes
  SteamProps(s, env);
  EXPECT_EQ(s.latent_heat, row->Field("Ic"));
}

struct LmtdCase {
  const char *th1, *th2, *tc1, *tc2;
  double lmtd, t_h_mean, t_c_mean, t_wall;
};

// Guards against the end-difference rule: Fix(dt_hot - dt_cold) = 0 takes the
// arithmetic mean (also for a spread of -0.8, which flooring would send to the
// logarithm), otherwise the logarithmic mean with the corrected mean
// temperatures. Expected values worked out by hand:
//   30.4 / 29.0: lmtd = 1.4 / ln(30.4 / 29) = 29.694499746,
//   a = 29.7 - lmtd, t_h_mean = 70 - 1.5 * 20 * a / 1.4, t_c_mean = 40.3 - 1.5 * 18.6 * a / 1.4.
TEST_F(MediaTest, LogMeanAndMeanTemperaturesFollowTheFixRule) {
  env.rs_hot = db->OpenRecordSet("water");
  env.rs_cold = db->OpenRecordSet("water");
  s.hot_kind = 1;
  const LmtdCase cases[] = {
      {"80", "60", "30.4", "49.6", 30.0, 70.0, 40.0, 55.0},           // 30.4 / 29.6
      {"80", "60", "31", "49.6", 29.69449974628159, 69.8821374203198, 40.19038780089741, 55.15},
      {"80", "60", "29.6", "50.4", 30.0, 70.0, 40.0, 55.0},           // 29.6 / 30.4
  };
  for (const auto& c : cases) {
    s.t_h_in = std::stod(c.th1);
    s.t_h_out = std::stod(c.th2);
    s.t_c_in = std::stod(c.tc1);
    s.t_c_out = std::stod(c.tc2);
    MediaProps(s, env);
    EXPECT_NEAR(s.lmtd, c.lmtd, 1e-9) << c.tc1 << "/" << c.tc2;
    EXPECT_NEAR(s.t_h_mean, c.t_h_mean, 1e-9) << c.tc1 << "/" << c.tc2;
    EXPECT_NEAR(s.t_c_mean, c.t_c_mean, 1e-9) << c.tc1 << "/" << c.tc2;
    EXPECT_NEAR(s.t_wall, c.t_wall, 1e-9);
    EXPECT_NEAR(s.dt_hot_end, 80 - std::stod(c.tc2), 1e-9);
    EXPECT_NEAR(s.dt_cold_end, 60 - std::stod(c.tc1), 1e-9);
    // Prandtl numbers with kJ, mPa.s and W: the factors 1000 cancel.
    EXPECT_NEAR(s.pr_h, s.cp_h * s.visc_h / s.lambda_h, 1e-12);
    EXPECT_NEAR(s.pr_c, s.cp_c * s.visc_c / s.lambda_c, 1e-12);
    EXPECT_GT(s.rho_h, 900);
  }
}

// Guards against the engines re-reading the rounded boxes: a cold flow found
// for 65.04 degC was sized at the 65.0 its box shows, 0.27 % off the duty.
TEST_F(MediaTest, TemperaturesComeFromTheRecordNotTheBoxes) {
  env.rs_hot = db->OpenRecordSet("water");
  env.rs_cold = db->OpenRecordSet("water");
  s.hot_kind = 1;
  s.t_h_in = 90;
  s.t_h_out = 70;
  s.t_c_in = 50;
  s.t_c_out = 65.04;
  form.SetText("Txt_Tc2", "65.0");
  MediaProps(s, env);
  EXPECT_EQ(s.t_c_out, 65.04);
  EXPECT_NEAR(s.dt_hot_end, 90 - 65.04, 1e-12);
}

// Guards against the steam path: the steam temperature is the hot mean, the
// log-mean uses both cold ends against it (60 / ln(113.3 / 53.3) = 79.5647451),
// the wall estimate counts the steam temperature twice, and the condensate
// comes from the steam row.
TEST_F(MediaTest, SteamCaseUsesTheSteamTemperature) {
  env.rs_hot = db->OpenRecordSet("water");
  env.rs_cold = db->OpenRecordSet("water");
  s.hot_kind = 2;
  s.pr_h = 123;
  s.t_h_in = 133.3;
  s.t_h_out = 999;
  s.t_c_in = 20;
  s.t_c_out = 80;
  MediaProps(s, env);
  EXPECT_NEAR(s.t_h_mean, 133.3, 1e-12);
  EXPECT_NEAR(s.t_c_mean, 50, 1e-12);
  EXPECT_NEAR(s.lmtd, 79.564745107791, 1e-9);
  EXPECT_NEAR(s.t_wall, 91.65, 1e-9);
  auto row = db->OpenRecordSet("water");
  ASSERT_TRUE(row->FindFirst(Criterion::LowInclusive("min_t", "max_t", 133.3)));
  EXPECT_EQ(s.latent_heat, row->Field("Ic"));
  EXPECT_EQ(s.rho_h, row->Field("R"));
  EXPECT_EQ(s.pr_h, 123);
  EXPECT_NEAR(s.pr_c, s.cp_c * s.visc_c / s.lambda_c, 1e-12);
}

// Guards against MediaProps touching anything for an unknown hot medium kind.
TEST_F(MediaTest, OtherHotKindLeavesTheRecordAlone) {
  env.rs_hot = db->OpenRecordSet("water");
  env.rs_cold = db->OpenRecordSet("water");
  s.hot_kind = 0;
  s.lmtd = 7;
  s.rho_c = 5;
  s.t_h_in = 90;
  MediaProps(s, env);
  EXPECT_EQ(s.t_h_in, 90);
  EXPECT_EQ(s.lmtd, 7);
  EXPECT_EQ(s.rho_c, 5);
}

}  // namespace
}  // namespace phe
