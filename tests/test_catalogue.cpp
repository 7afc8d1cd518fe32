// The plate catalogue: code matching, model and arrangement label, family by
// flow, search orders, plate data and the port formulas.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "state/selection_state.h"

using phe::SelectionState;

namespace {

const char* const kChannelCodes[] = {"H", "M", "L", "HM", "ML"};

std::vector<std::string> AllPlateTypes() {
  std::vector<std::string> codes;
  for (const phe::ModelInfo& m : phe::Models()) {
    for (const char* c : kChannelCodes) codes.push_back(std::string(m.code) + "-" + c);
  }
  return codes;
}

// Guards against partial or trimmed matching, a case-sensitive compare and a
// lookup that clears model_code when nothing matches.
TEST(CatalogueCodes, BhxhMatchesWholeCodesIgnoringCase) {
  struct Case {
    const char* plate_type;
    const char* model_code;  // "KEEP": the previous value must stay
  };
  const Case cases[] = {
      {"px65l-ml", "PX65L"},
      {"PX32-H", "PX32"},
      {"PX100B-h", "PX100B"},
      {"Px450m-Ml", "PX450M"},
      {"PX150S-HM", "PX150S"},
      {"PX50-H", "KEEP"},      // a family, not a model
      {"PX50B-H ", "KEEP"},    // no trimming
      {" PX50B-H", "KEEP"},
      {"PX50B-", "KEEP"},
      {"PX50B", "KEEP"},
      {"PX50B-HML", "KEEP"},
      {"PX50B-LM", "KEEP"},
      {"PX50BB-H", "KEEP"},
      {"XPX50B-H", "KEEP"},
      {"PX50B-H-H", "KEEP"},
      {"PX32H", "KEEP"},
      {"", "KEEP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plate_type);
    SelectionState s;
    s.model_code = "KEEP";
    s.plate_type = c.plate_type;
    phe::BHXH(s);
    EXPECT_EQ(s.model_code, c.model_code);
  }
}

// Guards against a catalogue that misses codes or decodes one to the wrong
// model or channel type.
TEST(CatalogueCodes, All110CodesDecode) {
  const auto codes = AllPlateTypes();
  ASSERT_EQ(codes.size(), 110u);
  int mixed = 0;
  for (const std::string& code : codes) {
    SCOPED_TRACE(code);
    SelectionState s;
    s.plate_type = code;
    phe::BHXH(s);
    EXPECT_EQ(code.substr(0, code.find('-')), s.model_code);
    const std::string channel = code.substr(code.find('-') + 1);
    const bool is_mixed = channel.size() == 2;
    EXPECT_EQ(phe::IsMixedPlateType(code), is_mixed);
    mixed += phe::IsMixedPlateType(code) ? 1 : 0;
    const auto parsed = phe::ParsePlateType(code);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(channel, phe::ChannelTypeCode(parsed->channel));
  }
  EXPECT_EQ(mixed, 44);
  EXPECT_FALSE(phe::IsMixedPlateType("PX50-HM"));
  EXPECT_FALSE(phe::IsMixedPlateType("HM"));
}

// Guards against a mistyped model row: port diameter, family and pack limit.
TEST(CatalogueModels, ModelRows) {
  ASSERT_EQ(phe::Models().size(), 22u);
  struct Case {
    const char* code;
    const char* family;
    double port_diameter;
    double max_area;
  };
  const Case cases[] = {
      {"PX32", "PX32", 32, 1.312},        {"px50m", "PX50", 50, 15.82},
      {"PX65L", "PX65", 65, 63.2},        {"PX100L", "PX100", 100, 211.5},
      {"PX150B", "PX150", 150, 290.78},   {"PX200S", "PX200", 200, 198.5},
      {"PX250B", "PX250", 250, 1021.5},   {"PX350B", "PX350", 350, 2058.48},
      {"PX450M", "PX450", 450, 2200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const phe::ModelInfo* m = phe::FindModel(c.code);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->family, c.family);
    EXPECT_EQ(m->port_diameter, c.port_diameter);
    EXPECT_EQ(m->max_area, c.max_area);
  }
  EXPECT_EQ(phe::FindModel("PX50"), nullptr);
  EXPECT_EQ(phe::FindModel("PX50B-H"), nullptr);
  // The family is the code without its series letter, and the port diameter
  // is the number in it.
  for (const phe::ModelInfo& m : phe::Models()) {
    SCOPED_TRACE(m.code);
    const std::string code = m.code;
    const std::string family = m.family;
    EXPECT_EQ(code.substr(0, family.size()), family);
    EXPECT_LE(code.size() - family.size(), 1u);
    EXPECT_EQ(std::stod(family.substr(2)), m.port_diameter);
  }
}

// Guards against a wrong label format or test order in the arrangement label:
// the three mixed tests are independent, so with both counts 0 the second wins.
TEST(CatalogueArrangement, BplxLabels) {
  struct Case {
    const char* plate_type;
    double channels, hm, ml;
    const char* label;
    const char* type;
  };
  const Case cases[] = {
      {"PX50B-H", 24, 0, 0, "24H", "H"},
      {"PX50B-M", 7, 0, 0, "7M", "M"},
      {"PX50B-L", 3, 0, 0, "3L", "L"},
      {"PX50B-H", 24, 10, 12, "24H", "H"},  // single types ignore the mixed counts
      {"PX450M-L", 700, 0, 0, "700L", "L"},
      {"PX32-M", 2.5, 0, 0, "2.5M", "M"},  // general format keeps a fraction
      {"PX100M-HM", 99, 10, 12, "10H+12M", "HM"},
      {"px100m-hm", 0, 10, 12, "10H+12M", "HM"},
      {"PX65L-ML", 0, 6, 9, "6M+9L", "ML"},
      {"PX100M-HM", 0, 0, 12, "12M", "M"},
      {"PX100M-HM", 0, 10, 0, "10H", "H"},
      {"PX65L-ML", 0, 0, 9, "9L", "L"},
      {"PX65L-ML", 0, 6, 0, "6M", "M"},
      {"PX100M-HM", 5, 0, 0, "0H", "H"},
      {"PX65L-ML", 5, 0, 0, "0M", "M"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.plate_type) + " -> " + c.label);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.channels = c.channels;
    s.channels_hm = c.hm;
    s.channels_ml = c.ml;
    phe::BPLX(s);
    EXPECT_EQ(s.arrangement_dh, c.label);
    EXPECT_EQ(s.arrangement_dz, c.label);
    EXPECT_EQ(s.arrangement_type, c.type);
  }
}

// Guards against a label written for a code outside the catalogue or for
// negative mixed counts, which describe no pack.
TEST(CatalogueArrangement, BplxKeepsPreviousLabel) {
  struct Case {
    const char* plate_type;
    double hm, ml;
  };
  const Case cases[] = {
      {"PX50-H", 4, 4}, {"PX50B-X", 4, 4}, {"", 4, 4},
      {"PX100M-HM", -1, 5}, {"PX100M-HM", 0, -3}, {"PX65L-ML", 4, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plate_type);
    SelectionState s;
    s.plate_type = c.plate_type;
    s.channels = 8;
    s.channels_hm = c.hm;
    s.channels_ml = c.ml;
    s.arrangement_dh = "old dh";
    s.arrangement_dz = "old dz";
    s.arrangement_type = "old";
    phe::BPLX(s);
    EXPECT_EQ(s.arrangement_dh, "old dh");
    EXPECT_EQ(s.arrangement_dz, "old dz");
    EXPECT_EQ(s.arrangement_type, "old");
  }
}

// Guards against >= instead of >, the wrong limit column on the steam side,
// and rows tested from the small end.
TEST(CatalogueFamily, FamilyByFlowAtTheLimits) {
  struct Case {
    double flow_h, flow_c;
    int16_t hot_kind;
    const char* family;
  };
  const Case cases[] = {
      {13, 13.5, 1, "PX50"},
      {13, 13, 1, "PX32"},
      {13.01, 0, 1, "PX50"},
      {0, 13.01, 1, "PX50"},
      {1558, 1558, 1, "PX350"},
      {1558.01, 0, 1, "PX450"},
      {0, 1558.01, 2, "PX450"},
      {5000, 0, 1, "PX450"},
      {100, 0, 1, "PX100"},  // liquid: 100 > 54
      {100, 0, 2, "PX32"},   // steam: 100 is below the steam limit 240
      {100, 0, 0, "PX100"},  // anything but 2 is a liquid
      {2830, 0, 2, "PX100"},
      {2830.01, 0, 2, "PX150"},
      {34600, 0, 2, "PX350"},
      {34600.01, 0, 2, "PX450"},
      {240, 13.01, 2, "PX50"},
      {240, 54.01, 2, "PX100"},
      {0, 0, 1, "PX32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flow_h << " / " << c.flow_c << " kind " << c.hot_kind);
    EXPECT_EQ(phe::FamilyByFlow(c.flow_h, c.flow_c, c.hot_kind), c.family);
  }
  // Every row: at its limit the row below applies, just above it the row itself.
  struct Row {
    const char* family;
    double liquid, steam;
    const char* below;
  };
  const Row rows[] = {
      {"PX450", 1558, 34600, "PX350"}, {"PX350", 795, 17667, "PX250"},
      {"PX250", 509, 11317, "PX200"},  {"PX200", 286, 6370, "PX150"},
      {"PX150", 127, 2830, "PX100"},   {"PX100", 54, 1180, "PX65"},
      {"PX65", 32, 700, "PX50"},       {"PX50", 13, 240, "PX32"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.family);
    EXPECT_EQ(phe::FamilyByFlow(r.liquid, r.liquid, 1), r.below);
    EXPECT_EQ(phe::FamilyByFlow(r.liquid + 0.01, 0, 1), r.family);
    EXPECT_EQ(phe::FamilyByFlow(0, r.liquid + 0.01, 1), r.family);
    EXPECT_EQ(phe::FamilyByFlow(r.steam, r.liquid, 2), r.below);
    EXPECT_EQ(phe::FamilyByFlow(r.steam + 0.01, 0, 2), r.family);
    EXPECT_EQ(phe::FamilyByFlow(0, r.liquid + 0.01, 2), r.family);
  }
}

// Guards against a search order that loses or repeats a plate type, crosses
// families, or puts B before M in PX200 and PX350.
TEST(CatalogueFamily, SearchOrderAndNextFamily) {
  const char* families[] = {"PX32", "PX50", "PX65", "PX100", "PX150", "PX200", "PX250", "PX350", "PX450"};
  std::set<std::string> seen;
  for (const char* family : families) {
    SCOPED_TRACE(family);
    const auto& order = phe::FamilySearchOrder(family);
    ASSERT_FALSE(order.empty());
    for (const std::string& code : order) {
      SelectionState s;
      s.plate_type = code;
      phe::BHXH(s);
      const phe::ModelInfo* m = phe::FindModel(s.model_code);
      ASSERT_NE(m, nullptr) << code;
      EXPECT_STREQ(m->family, family);
      EXPECT_FALSE(phe::IsMixedPlateType(code)) << code;
      EXPECT_TRUE(seen.insert(code).second) << code;
    }
  }
  EXPECT_EQ(seen.size(), 66u);

  EXPECT_EQ(phe::FamilySearchOrder("px200"),
            (std::vector<std::string>{"PX200M-H", "PX200M-M", "PX200M-L", "PX200B-H", "PX200B-M",
                                      "PX200B-L", "PX200S-H", "PX200S-M", "PX200S-L"}));
  EXPECT_EQ(phe::FamilySearchOrder("PX350").front(), "PX350M-H");
  EXPECT_EQ(phe::FamilySearchOrder("PX350")[3], "PX350B-H");
  EXPECT_EQ(phe::FamilySearchOrder("PX250").front(), "PX250B-H");
  EXPECT_EQ(phe::FamilySearchOrder("PX65").back(), "PX65L-L");
  EXPECT_TRUE(phe::FamilySearchOrder("PX75").empty());
  EXPECT_TRUE(phe::FamilySearchOrder("PX50B").empty());

  for (size_t i = 0; i + 1 < std::size(families); ++i) EXPECT_EQ(phe::NextFamily(families[i]), families[i + 1]);
  EXPECT_EQ(phe::NextFamily("px150"), "PX200");
  EXPECT_EQ(phe::NextFamily("PX450"), "");
  EXPECT_EQ(phe::NextFamily("PX75"), "");
}

void PresetPlateData(SelectionState& s, double v) {
  s.plate_area = s.channel_area = s.d_e = s.port_zeta = s.port_d_c = s.port_d_h = s.plate_length = v;
  s.port_k1 = s.port_k2 = s.port_k3 = s.port_k4 = v;
  s.port_k1_2 = s.port_k2_2 = s.port_k3_2 = s.port_k4_2 = v;
  s.cond_coef = s.steam_dp_coef = v;
}

// Guards against a mistyped plate row, checked on the catalogue's own example.
TEST(CataloguePlateData, Px65lRow) {
  SelectionState s;
  s.plate_type = "PX65L-H";
  phe::Br_Cs(s);
  EXPECT_EQ(s.plate_area, 0.25);
  EXPECT_EQ(s.channel_area, 0.000488);
  EXPECT_EQ(s.d_e, 0.004);
  EXPECT_EQ(s.port_zeta, 0.638);
  EXPECT_EQ(s.plate_length, 2.5);
  EXPECT_EQ(s.port_d_c, 65);
  EXPECT_EQ(s.port_d_h, 65);
  EXPECT_EQ(s.port_k1, 0.00005);
  EXPECT_EQ(s.port_k2, -0.001119);
  EXPECT_EQ(s.port_k3, 0.0001293);
  EXPECT_EQ(s.port_k4, 0.000005846);
  EXPECT_EQ(s.cond_coef, 0.88);
  EXPECT_EQ(s.steam_dp_coef, 6.5);
}

// Guards against a mixed type that overwrites the single-type fields, takes
// its second-kind port terms from the wrong kind, or misses the PX32-ML set.
TEST(CataloguePlateData, MixedTypesWriteSecondKindPortTermsOnly) {
  SelectionState s;
  s.plate_type = "PX65L-H";
  phe::Br_Cs(s);
  s.plate_type = "PX65L-HM";
  phe::Br_Cs(s);
  EXPECT_EQ(s.cond_coef, 0.88);
  EXPECT_EQ(s.steam_dp_coef, 6.5);
  EXPECT_EQ(s.port_k1, 0.00005);
  EXPECT_EQ(s.port_k1_2, 0.00026);
  EXPECT_EQ(s.port_k2_2, -0.005205);
  EXPECT_EQ(s.port_k3_2, 0.0005093);
  EXPECT_EQ(s.port_k4_2, 0.00001017);
  EXPECT_EQ(s.plate_area, 0.25);

  for (const phe::ModelInfo& m : phe::Models()) {
    for (const char* mixed : {"HM", "ML"}) {
      const std::string code = std::string(m.code) + "-" + mixed;
      SCOPED_TRACE(code);
      SelectionState single;
      single.plate_type = std::string(m.code) + "-" + mixed[1];
      phe::Br_Cs(single);
      SelectionState t;
      PresetPlateData(t, -7);
      t.plate_type = code;
      phe::Br_Cs(t);
      if (code == "PX32-ML") {
        EXPECT_EQ(t.port_k1_2, 0.00863);
        EXPECT_EQ(t.port_k2_2, -0.01498);
        EXPECT_EQ(t.port_k3_2, 0.005978);
        EXPECT_EQ(t.port_k4_2, 0.0001749);
      } else {
        EXPECT_EQ(t.port_k1_2, single.port_k1);
        EXPECT_EQ(t.port_k2_2, single.port_k2);
        EXPECT_EQ(t.port_k3_2, single.port_k3);
        EXPECT_EQ(t.port_k4_2, single.port_k4);
      }
      EXPECT_EQ(t.port_k1, -7);
      EXPECT_EQ(t.port_k2, -7);
      EXPECT_EQ(t.port_k3, -7);
      EXPECT_EQ(t.port_k4, -7);
      EXPECT_EQ(t.cond_coef, -7);
      EXPECT_EQ(t.steam_dp_coef, -7);
    }
  }
}

// Guards against a single type that touches the second-kind terms, a model
// whose five plate types disagree on geometry, a port diameter that differs
// from the model's, and a code with no row.
TEST(CataloguePlateData, EveryCodeWritesItsFields) {
  for (const phe::ModelInfo& m : phe::Models()) {
    SelectionState first;
    first.plate_type = std::string(m.code) + "-H";
    phe::Br_Cs(first);
    for (const char* c : kChannelCodes) {
      const std::string code = std::string(m.code) + "-" + c;
      SCOPED_TRACE(code);
      SelectionState s;
      PresetPlateData(s, -7);
      s.plate_type = code;
      phe::Br_Cs(s);
      EXPECT_EQ(s.port_d_c, m.port_diameter);
      EXPECT_EQ(s.port_d_h, m.port_diameter);
      EXPECT_EQ(s.plate_area, first.plate_area);
      EXPECT_EQ(s.channel_area, first.channel_area);
      EXPECT_EQ(s.d_e, first.d_e);
      EXPECT_EQ(s.port_zeta, first.port_zeta);
      EXPECT_EQ(s.plate_length, first.plate_length);
      EXPECT_GT(s.plate_area, 0);
      EXPECT_GT(s.channel_area, 0);
      EXPECT_GT(s.d_e, 0);
      EXPECT_GT(s.port_zeta, 0);
      EXPECT_GT(s.plate_length, 0);
      if (std::string(c).size() == 1) {
        EXPECT_GT(s.port_k1, 0);
        EXPECT_GT(s.cond_coef, 0.7);
        EXPECT_LT(s.cond_coef, 1.02);
        EXPECT_GT(s.steam_dp_coef, 0);
        EXPECT_EQ(s.port_k1_2, -7);
        EXPECT_EQ(s.port_k4_2, -7);
      } else {
        EXPECT_GT(s.port_k1_2, 0);
      }
    }
  }
}

// Guards against a slip in single values the catalogue calls out: PX32's
// shared port terms, PX250S's loss coefficient of exactly 1, and the
// condensing factor of PX200S-H, which follows PX200M-H (0.82, not 9.1).
TEST(CataloguePlateData, CalledOutValues) {
  SelectionState h, m, l;
  h.plate_type = "PX32-H";
  m.plate_type = "PX32-M";
  l.plate_type = "PX32-L";
  phe::Br_Cs(h);
  phe::Br_Cs(m);
  phe::Br_Cs(l);
  for (const SelectionState* t : {&m, &l}) {
    EXPECT_EQ(t->port_k1, h.port_k1);
    EXPECT_EQ(t->port_k2, h.port_k2);
    EXPECT_EQ(t->port_k3, h.port_k3);
    EXPECT_EQ(t->port_k4, h.port_k4);
  }
  EXPECT_EQ(h.cond_coef, 0.89);
  EXPECT_EQ(m.cond_coef, 0.85);
  EXPECT_EQ(l.cond_coef, 0.83);
  EXPECT_EQ(h.steam_dp_coef, 52.6);
  EXPECT_EQ(m.steam_dp_coef, 22.9);
  EXPECT_EQ(l.steam_dp_coef, 13);

  SelectionState s;
  s.plate_type = "px250s-ml";
  phe::Br_Cs(s);
  EXPECT_EQ(s.port_zeta, 1.0);
  EXPECT_EQ(s.plate_area, 0.5);

  s.plate_type = "PX200S-H";
  phe::Br_Cs(s);
  EXPECT_EQ(s.cond_coef, 0.82);
  EXPECT_EQ(s.steam_dp_coef, 62);
  EXPECT_EQ(s.plate_area, 0.45);
}

// Guards against a lookup that clears or zeroes the plate data when the code
// is not in the catalogue.
TEST(CataloguePlateData, UnknownCodeKeepsEverything) {
  for (const char* code : {"PX50-H", "PX50B-HH", "", "PX50B-H "}) {
    SCOPED_TRACE(code);
    SelectionState s;
    PresetPlateData(s, 3.25);
    s.plate_type = code;
    phe::Br_Cs(s);
    EXPECT_EQ(s.plate_area, 3.25);
    EXPECT_EQ(s.port_d_h, 3.25);
    EXPECT_EQ(s.port_k1, 3.25);
    EXPECT_EQ(s.port_k4_2, 3.25);
    EXPECT_EQ(s.cond_coef, 3.25);
    EXPECT_EQ(s.steam_dp_coef, 3.25);
  }
}

// Guards against a wrong constant in the port velocity.
TEST(CataloguePort, Velocity) {
  EXPECT_NEAR(phe::PortVelocity(50, 100), 1.768, 0.0005);  // 50e4 / (28.2743334 * 1e4)
  // A round duct of diameter d: v = Q / (pi d^2 / 4), Q in m3/s, d in m.
  EXPECT_NEAR(phe::PortVelocity(36, 200), (36.0 / 3600) / (3.14159265358979 * 0.2 * 0.2 / 4), 1e-7);
  EXPECT_EQ(phe::PortVelocity(0, 65), 0);
}

// Guards against the switch between the linear and the polynomial term at
// the wrong channel count, and a negative term that would make the port
// pressure drop smaller than its single-pass value or negative.
TEST(CataloguePort, DistributionTermAndPressureDrop) {
  // PX65L-H: k1 0.00005, polynomial -0.001119 + 0.0001293 N + 0.000005846 N^2.
  struct Case {
    double n;
    double g;
  };
  const Case cases[] = {
      {1, 0},
      {2, 0.00005},
      {24, 0.00115},
      {25, -0.001119 + 0.0032325 + 0.00365375},
      {100, -0.001119 + 0.01293 + 0.05846},
      {0, 0},  // k1 * (0 - 1) would be negative
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_NEAR(phe::PortDistributionTerm(c.n, 0.00005, -0.001119, 0.0001293, 0.000005846), c.g, 1e-12);
  }

  // PX200B-L: k2 = -0.9 makes the polynomial negative for every N from 25 on.
  SelectionState s;
  s.plate_type = "PX200B-L";
  phe::Br_Cs(s);
  for (double n = 25; n <= 700; n += 1) {
    const double raw = s.port_k2 + s.port_k3 * n + s.port_k4 * n * n;
    ASSERT_LT(raw, 0) << n;
    ASSERT_EQ(phe::PortDistributionTerm(n, s.port_k1, s.port_k2, s.port_k3, s.port_k4), 0) << n;
  }
  EXPECT_NEAR(phe::PortDistributionTerm(24, s.port_k1, s.port_k2, s.port_k3, s.port_k4), 0.00126 * 23, 1e-12);

  // PX100M-L at 700 channels would be about -13.19.
  s.plate_type = "PX100M-L";
  phe::Br_Cs(s);
  EXPECT_EQ(phe::PortDistributionTerm(700, s.port_k1, s.port_k2, s.port_k3, s.port_k4), 0);

  // 0.001 * 0.55 * 1000 * 1.768^2 * (1 + 2 * 0.1) = 2.06304384
  EXPECT_NEAR(phe::PortPressureDrop(0.55, 1000, 1.768, 2, 0.1), 2.06304384, 1e-9);
  EXPECT_NEAR(phe::PortPressureDrop(0.55, 1000, 1.768, 3, 0), 0.001 * 0.55 * 1000 * 1.768 * 1.768, 1e-12);
  EXPECT_EQ(phe::PortPressureDrop(0.55, 1000, 0, 2, 0.1), 0);
}

}  // namespace
