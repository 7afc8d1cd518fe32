// Nusselt and Euler constants by plate type and Reynolds number, single and
// mixed channel sets.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "state/selection_state.h"

using phe::SelectionState;

namespace {

const char* const kChannelCodes[] = {"H", "M", "L", "HM", "ML"};

struct SingleCase {
  const char* plate_type;
  double re;
  double coef, exp;
};

struct MixedCase {
  const char* plate_type;
  double re_1, re_2;
  double coef_1, exp_1, coef_2, exp_2;
};

void Preset(SelectionState& s, double v) {
  s.nu_coef = s.nu_exp = s.nu_coef_1 = s.nu_exp_1 = s.nu_coef_2 = s.nu_exp_2 = v;
  s.eu_coef = s.eu_exp = s.eu_coef_1 = s.eu_exp_1 = s.eu_coef_2 = s.eu_exp_2 = v;
}

// Guards against a bound that belongs to the wrong range (< instead of <=),
// a Reynolds number of 0 or below that finds no range, and mistyped rows.
TEST(Nusselt, SingleRangesAndBounds) {
  const SingleCase cases[] = {
      {"PX32-H", 801, 0.2955, 0.7},
      {"PX32-H", 800, 0.508, 0.623},
      {"PX32-H", 50.001, 0.508, 0.623},
      {"PX32-H", 50, 0.239, 0.815},
      {"PX32-H", 10.5, 0.239, 0.815},
      {"PX32-H", 10, 0.809, 0.333},
      {"PX32-H", 0, 0.809, 0.333},
      {"PX32-H", -40, 0.809, 0.333},
      {"px32-h", 801, 0.2955, 0.7},
      {"PX150M-M", 181, 0.1616, 0.73},
      {"PX150M-M", 180, 1.4, 0.315},
      {"PX150M-M", 100, 0.325, 0.645},
      {"PX150M-M", 7, 0.613, 0.333},
      {"PX200S-L", 1200, 0.45, 0.48},
      {"PX200S-L", 1201, 0.082, 0.72},
      {"PX250B-M", 11, 0.702, 0.343},
      {"PX350B-H", 7, 0.685, 0.276},
      {"PX350B-H", 8, 0.179, 0.942},
      {"PX450M-L", 461, 0.075, 0.749},
      {"PX450M-L", 98, 0.28, 0.604},
      {"PX100L-L", 340, 0.526, 0.548},
  };
  for (const SingleCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.plate_type << " Re " << c.re);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.re_in = c.re;
    phe::Br_Nu(s);
    EXPECT_EQ(s.nu_coef, c.coef);
    EXPECT_EQ(s.nu_exp, c.exp);
  }
}

// Guards against swapped kinds in a mixed set, the mixed C values that differ
// from the single types, and an exception applied to the wrong range.
TEST(Nusselt, MixedSetsAndExceptions) {
  const MixedCase cases[] = {
      {"PX32-HM", 900, 30, 0.2955, 0.7, 0.254, 0.737},
      {"PX32-ML", 30, 501, 0.254, 0.737, 0.1305, 0.7},
      {"PX150M-HM", 5, 50, 0.613, 0.333, 0.325, 0.645},
      {"PX100B-HM", 500, 500, 0.246, 0.71, 0.135, 0.74},
      {"PX100B-HM", 120, 220, 0.717, 0.5, 0.866, 0.41},  // only range 1 differs
      {"PX100B-ML", 221, 361, 0.135, 0.74, 0.116, 0.71},
      {"PX100M-HM", 81, 301, 0.289, 0.7, 0.145, 0.74},
      {"PX100M-ML", 301, 401, 0.145, 0.74, 0.138, 0.71},
      {"PX100L-HM", 73, 171, 0.353, 0.682, 0.298, 0.684},  // no exception here
      {"PX100L-ML", 171, 341, 0.298, 0.684, 0.215, 0.69},
      {"PX150B-HM", 61, 201, 0.32, 0.69, 0.163, 0.73},
      {"PX150B-ML", 201, 401, 0.163, 0.73, 0.107, 0.73},
      {"PX150M-HM", 101, 181, 0.262, 0.71, 0.162, 0.73},
      {"PX150M-ML", 181, 251, 0.162, 0.73, 0.113, 0.72},
      {"PX150M-ML", 180, 250, 1.4, 0.315, 1.141, 0.3},
      {"PX150M-ML", 100, 101, 0.325, 0.645, 1.141, 0.3},
      {"PX150M-ML", 100, 100, 0.325, 0.645, 0.258, 0.637},
  };
  for (const MixedCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.plate_type << " Re " << c.re_1 << " / " << c.re_2);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.re_in_1 = c.re_1;
    s.re_in_2 = c.re_2;
    phe::Br_Nu(s);
    EXPECT_EQ(s.nu_coef_1, c.coef_1);
    EXPECT_EQ(s.nu_exp_1, c.exp_1);
    EXPECT_EQ(s.nu_coef_2, c.coef_2);
    EXPECT_EQ(s.nu_exp_2, c.exp_2);
  }
}

// Guards against a mixed set built from the wrong single set for models that
// have no listed exception: HM is H then M, ML is M then L, in every range.
TEST(Nusselt, MixedSetsFollowTheSingleSets) {
  const double probes[] = {-1, 3, 9, 13, 27, 45, 65, 90, 130, 220, 350, 480, 700, 900, 1300, 5000};
  for (const phe::ModelInfo& m : phe::Models()) {
    const std::string model = m.code;
    if (model == "PX100B" || model == "PX100M" || model == "PX100L" || model == "PX150B" || model == "PX150M") continue;
    for (const char* mixed : {"HM", "ML"}) {
      const std::string code = model + "-" + mixed;
      for (double re : probes) {
        SCOPED_TRACE(testing::Message() << code << " Re " << re);
        SelectionState first, second, s;
        first.plate_type = model + "-" + mixed[0];
        second.plate_type = model + "-" + mixed[1];
        first.re_in = second.re_in = s.re_in_1 = s.re_in_2 = re;
        s.plate_type = code;
        phe::Br_Nu(first);
        phe::Br_Nu(second);
        phe::Br_Nu(s);
        EXPECT_EQ(s.nu_coef_1, first.nu_coef);
        EXPECT_EQ(s.nu_exp_1, first.nu_exp);
        EXPECT_EQ(s.nu_coef_2, second.nu_coef);
        EXPECT_EQ(s.nu_exp_2, second.nu_exp);
      }
    }
  }
}

// Guards against a bound that belongs to the wrong range, three-range sets
// read as four, and mistyped rows.
TEST(Euler, SingleRangesAndBounds) {
  const SingleCase cases[] = {
      {"PX32-H", 501, 349, -0.067},
      {"PX32-H", 500, 1170, -0.26},
      {"PX32-H", 50, 7010, -0.73},
      {"PX32-H", 10.001, 7010, -0.73},
      {"PX32-H", 10, 12310, -1},
      {"PX32-H", 0, 12310, -1},
      {"PX32-H", -3, 12310, -1},
      {"PX32-M", 1001, 163, -0.084},
      {"PX32-M", 1000, 1610, -0.4},
      {"PX32-M", 41, 1610, -0.4},
      {"PX32-M", 40, 11840, -0.95},
      {"PX32-M", 0, 11840, -0.95},
      {"PX200B-M", 3600, 221, -0.0003},
      {"PX200B-M", 3500, 750, -0.15},
      {"PX200B-M", 2000, 750, -0.15},
      {"PX200M-M", 64, 3794, -0.491},
      {"PX200M-M", 63, 24320, -0.94},
      {"PX250M-H", 61, 1883, -0.177},
      {"PX250M-H", 15, 10790, -0.6},
      {"PX250M-H", 14, 31000, -1},
      {"PX350B-L", 1000, 549, -0.187},
      {"PX350B-H", 14, 62070, -1.01},
      {"PX150B-M", 2000, 184, -0.0003},
      {"px450m-l", 1101, 306, -0.158},
  };
  for (const SingleCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.plate_type << " Re " << c.re);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.re_in = c.re;
    phe::Br_Eu(s);
    EXPECT_EQ(s.eu_coef, c.coef);
    EXPECT_EQ(s.eu_exp, c.exp);
  }
}

// Guards against the mixed-set exceptions: the PX150B second kind with its
// own bounds 3500/200/25, PX32-ML's second range, and the single-range
// patches of PX50M, PX65M, PX100M and PX150M.
TEST(Euler, MixedSetsAndExceptions) {
  const MixedCase cases[] = {
      {"PX350B-ML", 2000, 5, 618, -0.106, 33850, -0.977},
      {"PX200M-HM", 5, 50, 31020, -0.945, 24320, -0.94},
      {"PX150B-HM", 2000, 2000, 786, -0.05, 614, -0.15},
      {"PX150B-HM", 1000, 1000, 2280, -0.2, 614, -0.15},
      {"PX150B-HM", 1300, 3501, 786, -0.05, 181, -0.0003},
      {"PX150B-HM", 50, 3500, 18300, -0.66, 614, -0.15},
      {"PX150B-HM", 5, 201, 41100, -1, 614, -0.15},
      {"PX150B-HM", 5, 200, 41100, -1, 11700, -0.7},
      {"PX150B-HM", 5, 26, 41100, -1, 11700, -0.7},
      {"PX150B-HM", 5, 25, 41100, -1, 31580, -1},
      {"PX150B-ML", 2000, 2000, 614, -0.15, 850, -0.3},
      {"PX150B-ML", 3501, 2501, 181, -0.0003, 215, -0.13},
      {"PX32-HM", 501, 1001, 349, -0.067, 163, -0.084},
      {"PX32-ML", 500, 500, 1610, -0.4, 622, -0.33},
      {"PX32-ML", 1001, 1001, 163, -0.084, 292, -0.22},
      {"PX32-ML", 40, 100, 11840, -0.95, 2220, -0.57},
      {"PX50M-HM", 500, 50, 822, -0.17, 3644, -0.66},
      {"PX50M-HM", 50, 500, 7660, -0.66, 245, -0.15},
      {"PX50M-HM", 5, 5, 17900, -1, 11330, -1},
      {"PX50M-HM", 5000, 5000, 249, -0.001, 79, -0.001},
      {"PX50M-ML", 5, 5, 11330, -1, 8560, -1},
      {"PX65M-HM", 500, 30, 822, -0.17, 11330, -1},
      {"PX65M-ML", 30, 40, 11330, -1, 8560, -1},
      {"PX100M-HM", 100, 100, 617, -0.17, 4051, -0.7},
      {"PX100M-ML", 100, 100, 4051, -0.7, 3111, -0.7},
      {"PX100M-HM", 300, 300, 617, -0.17, 208, -0.15},
      {"PX150M-ML", 500, 500, 700, -0.278, 1270, -0.439},
      {"PX150M-ML", 500, 50, 700, -0.278, 7600, -0.815},
  };
  for (const MixedCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.plate_type << " Re " << c.re_1 << " / " << c.re_2);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.re_in_1 = c.re_1;
    s.re_in_2 = c.re_2;
    phe::Br_Eu(s);
    EXPECT_EQ(s.eu_coef_1, c.coef_1);
    EXPECT_EQ(s.eu_exp_1, c.exp_1);
    EXPECT_EQ(s.eu_coef_2, c.coef_2);
    EXPECT_EQ(s.eu_exp_2, c.exp_2);
  }
}

// Guards against a mixed Euler set built from the wrong kind for models with
// no listed exception.
TEST(Euler, MixedSetsFollowTheSingleSets) {
  const double probes[] = {-1, 5, 12, 15, 22, 35, 45, 55, 70, 90, 120, 160, 210, 235, 280, 350,
                           400, 460, 600, 800, 950, 1200, 1450, 1700, 2100, 2600, 3200, 4000, 6000};
  for (const phe::ModelInfo& m : phe::Models()) {
    const std::string model = m.code;
    if (model == "PX32" || model == "PX50M" || model == "PX65M" || model == "PX100M" || model == "PX150B" ||
        model == "PX150M") {
      continue;
    }
    for (const char* mixed : {"HM", "ML"}) {
      const std::string code = model + "-" + mixed;
      for (double re : probes) {
        SCOPED_TRACE(testing::Message() << code << " Re " << re);
        SelectionState first, second, s;
        first.plate_type = model + "-" + mixed[0];
        second.plate_type = model + "-" + mixed[1];
        first.re_in = second.re_in = s.re_in_1 = s.re_in_2 = re;
        s.plate_type = code;
        phe::Br_Eu(first);
        phe::Br_Eu(second);
        phe::Br_Eu(s);
        EXPECT_EQ(s.eu_coef_1, first.eu_coef);
        EXPECT_EQ(s.eu_exp_1, first.eu_exp);
        EXPECT_EQ(s.eu_coef_2, second.eu_coef);
        EXPECT_EQ(s.eu_exp_2, second.eu_exp);
      }
    }
  }
}

// Guards against a lookup that writes the other channel kind's outputs or
// clears them on an unknown code: the engines keep hot and cold constants
// in those fields between calls.
TEST(Correlations, KeepPreviousValues) {
  struct Case {
    const char* plate_type;
    bool plain_written, mixed_written;
  };
  const Case cases[] = {
      {"PX50B-H", true, false},   {"px50b-l", true, false}, {"PX350B-ML", false, true},
      {"pX200m-hM", false, true}, {"PX50-H", false, false}, {"PX50B-H ", false, false},
      {"PX50B-MH", false, false}, {"", false, false},
  };
  const double kOld = -12345;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plate_type);
    SelectionState s;
    Preset(s, kOld);
    s.plate_type = c.plate_type;
    s.re_in = s.re_in_1 = s.re_in_2 = 2000;
    phe::Br_Nu(s);
    phe::Br_Eu(s);
    EXPECT_EQ(s.nu_coef != kOld, c.plain_written);
    EXPECT_EQ(s.nu_exp != kOld, c.plain_written);
    EXPECT_EQ(s.eu_coef != kOld, c.plain_written);
    EXPECT_EQ(s.eu_exp != kOld, c.plain_written);
    for (double v : {s.nu_coef_1, s.nu_exp_1, s.nu_coef_2, s.nu_exp_2, s.eu_coef_1, s.eu_exp_1, s.eu_coef_2,
                     s.eu_exp_2}) {
      EXPECT_EQ(v != kOld, c.mixed_written);
    }
  }
}

// Guards against a code without a row: every catalogue code must write its
// outputs in every range, with a positive C, 0 < m < 1.1, a positive b and
// -1.01 <= d < 0.
TEST(Correlations, EveryCodeHasEveryRange) {
  const double probes[] = {0, 8, 20, 60, 150, 500, 2000, 10000};
  for (const phe::ModelInfo& m : phe::Models()) {
    for (const char* c : kChannelCodes) {
      const std::string code = std::string(m.code) + "-" + c;
      for (double re : probes) {
        SCOPED_TRACE(testing::Message() << code << " Re " << re);
        SelectionState s;
        Preset(s, -99);
        s.plate_type = code;
        s.re_in = s.re_in_1 = s.re_in_2 = re;
        phe::Br_Nu(s);
        phe::Br_Eu(s);
        const bool mixed = std::string(c).size() == 2;
        const double nus[][2] = {{s.nu_coef, s.nu_exp}, {s.nu_coef_1, s.nu_exp_1}, {s.nu_coef_2, s.nu_exp_2}};
        const double eus[][2] = {{s.eu_coef, s.eu_exp}, {s.eu_coef_1, s.eu_exp_1}, {s.eu_coef_2, s.eu_exp_2}};
        for (int k = mixed ? 1 : 0; k < (mixed ? 3 : 1); ++k) {
          EXPECT_GT(nus[k][0], 0);
          EXPECT_GT(nus[k][1], 0);
          EXPECT_LT(nus[k][1], 1.1);
          EXPECT_GT(eus[k][0], 0);
          EXPECT_LT(eus[k][1], 0);
          EXPECT_GE(eus[k][1], -1.01);
        }
      }
    }
  }
}

}  // namespace
