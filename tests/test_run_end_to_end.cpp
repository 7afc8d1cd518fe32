// Whole runs through the window's logic, typed in as a user would: the
// example cases, the warnings of the selection stage, the designation, the
// case record and the result display.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <unistd.h>

#include "batch/batch.h"
#include "catalogue/catalogue.h"
#include "driver/case_driver.h"
#include "driver/case_file.h"
#include "base/numeric.h"
#include "sheet/sheet.h"
#include "ui/layout.h"
#include "support/generated_cases.h"
#include "workflow/engineering_checks.h"
#include "workflow/limits.h"
#include "support/scratch.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Each test works on its own copy of br.mdb, since every run writes the case
// record into the file.
class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (phe::testing::ScratchDir() /
             ("phe_run_" + std::to_string(getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mdb"))
                .string();
    fs::copy_file(phe::DefaultDatabasePath(), path_, fs::copy_options::overwrite_existing);
    db_ = phe::Database::Open(path_);
    session_ = std::make_unique<phe::CaseSession>(*db_);
  }
  void TearDown() override {
    session_.reset();
    db_.reset();
    std::error_code ec;
    fs::remove(path_, ec);
  }
  json Run(const json& c) {
    bool several = false;
    auto cases = phe::ParseCases(c, &several);
    json out;
    for (const auto& in : cases) out = session_->Run(in);
    return out;
  }
  static json Example(const std::string& name) {
    std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + name);
    return json::parse(in);
  }
  static bool HasMessage(const json& out, const std::string& text) {
    for (const auto& m : out["messages"])
      if (m["text"] == text) return true;
    return false;
  }
  static int CountMessage(const json& out, const std::string& text) {
    int n = 0;
    for (const auto& m : out["messages"]) n += m["text"] == text;
    return n;
  }
  std::string path_;
  std::unique_ptr<phe::Database> db_;
  std::unique_ptr<phe::CaseSession> session_;
};

const std::string kAreaTooLarge = "换热面积超过该型号最大值。请选择改变换热器型号或增大介质压力损失！";
const std::string kPort6 = "接口流速>6m/s，请重新选择换热器型号！";
const std::string kPort100 = "接口流速>100m/s，请重新选择换热器型号！";
const std::string kViscous = "粘度大于20cP，不能采用HM、ML板型，否则会造成流量分配不均而使换热失效！";

// A shown number must never be "nan" or "inf", whatever the case.
void ExpectFiniteControls(const json& out) {
  for (const auto& [name, text] : out["controls"].items()) {
    const std::string t = text.get<std::string>();
    EXPECT_EQ(t.find("nan"), std::string::npos) << name << " = " << t;
    EXPECT_EQ(t.find("inf"), std::string::npos) << name << " = " << t;
  }
}

bool HasWarning(const json& out) {
  for (const auto& m : out["messages"])
    if (m["icon"] == "warning") return true;
  return false;
}

// The shipped examples must give engineering answers, not merely finish:
// a water/water exchanger's coefficient is in the thousands, the margin asked
// for is reached, the pressure drops keep their limits unless a warning says
// otherwise, and the case record carries the designation.
TEST_F(RunTest, ExamplesGiveSensibleResults) {
  struct Case {
    const char* file;
    double k_min, k_max;
  } const cases[] = {
      {"water_water_auto.json", 3000, 8000},
      {"steam_heater.json", 1500, 9000},
      {"oil_cooler.json", 100, 2000},
      {"manual_hm_design.json", 3000, 8000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const json out = Run(Example(c.file));
    const json& st = out["state"];
    ExpectFiniteControls(out);
    for (const auto& m : out["messages"]) EXPECT_NE(m["icon"], "critical") << m.dump();
    EXPECT_GE(st["k_service"].get<double>(), c.k_min);
    EXPECT_LE(st["k_service"].get<double>(), c.k_max);
    EXPECT_GE(st["margin"].get<double>(), st["margin_in"].get<double>());
    if (!HasWarning(out)) {
      EXPECT_LE(st["dp_h"].get<double>(), st["dp_max_h"].get<double>());
      EXPECT_LE(st["dp_c"].get<double>(), st["dp_max_c"].get<double>());
    }
    ASSERT_FALSE(out["report"].is_null());
    EXPECT_EQ(out["report"]["Br"], st["plate_type"]);
    EXPECT_EQ(out["controls"]["Txt_K"], phe::FormatWhole(st["k_service"].get<double>()));
    EXPECT_FALSE(out["controls"]["Txt_F"].get<std::string>().empty());
  }
}

// The designation, the pack length and the case record's derived texts must
// follow the plate count of the result.
TEST_F(RunTest, DesignationPackLengthAndRecord) {
  const json out = Run(Example("water_water_auto.json"));
  const json& st = out["state"];
  const double n = st["plate_count"].get<double>();
  const std::string model = st["model_code"].get<std::string>();
  EXPECT_EQ(st["plate_type"], model + "-" + phe::FormatGeneral(n));
  EXPECT_EQ(std::fmod(n, 2.0), 1.0);  // always an odd plate count
  EXPECT_DOUBLE_EQ(st["pack_length"].get<double>(),
                   std::floor(n * 0.5 + n * st["d_e"].get<double>() * 1000 / 2));
  const json& r = out["report"];
  EXPECT_EQ(r["YB"], "A=" + phe::FormatGeneral(st["pack_length"].get<double>()));
  EXPECT_EQ(r["mc_h"], "Water");
  EXPECT_EQ(r["CZ"], "SS");
  EXPECT_EQ(r["Bpc"], "SUS304");
  EXPECT_EQ(r["Dpc"], "EPDM");
  EXPECT_DOUBLE_EQ(r["Wq"].get<double>(), 500.0);
  EXPECT_DOUBLE_EQ(r["NUM"].get<double>(), 1.0);
  EXPECT_DOUBLE_EQ(r["PG"].get<double>(), 1.0);
  EXPECT_DOUBLE_EQ(r["PG1"].get<double>(), 1.0);
  EXPECT_DOUBLE_EQ(r["m"].get<double>(), n);
  EXPECT_EQ(r["H"], phe::FormatGeneral(st["frame_length"].get<double>()) + "x" +
                        phe::FormatGeneral(st["frame_width"].get<double>()) + "x" +
                        phe::FormatGeneral(st["frame_height"].get<double>()));
  EXPECT_EQ(out["controls"]["Txt_H"], r["H"].get<std::string>() + "h");
  EXPECT_GT(st["frame_length"].get<double>(), 0);
  EXPECT_GT(st["price"].get<double>(), 0);
  EXPECT_GT(st["weight"].get<double>(), 0);
}

// Connection labels depend on the number of passes (odd passes bring the hot
// medium out at the far end); a steam case is always one pass.
TEST_F(RunTest, ConnectionLabelsByPasses) {
  struct Case {
    const char* passes;
    const char *jh, *jc, *ch, *cc;
  } const cases[] = {
      {"1", "S1", "S3", "S2", "S4"},
      {"2", "M2", "S3", "S2", "M3"},
      {"3", "M1", "S3", "S2", "M4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.passes);
    json in = Example("water_water_auto.json");
    in["Txt_N"] = c.passes;
    const json out = Run(in);
    ASSERT_FALSE(out["report"].is_null());
    EXPECT_EQ(out["report"]["jh"], c.jh);
    EXPECT_EQ(out["report"]["jc"], c.jc);
    EXPECT_EQ(out["report"]["ch"], c.ch);
    EXPECT_EQ(out["report"]["cc"], c.cc);
    EXPECT_EQ(out["report"]["N"].get<double>(), std::stod(c.passes));
  }
  const json steam = Run(Example("steam_heater.json"));
  EXPECT_EQ(steam["state"]["passes"].get<double>(), 1.0);
  EXPECT_EQ(steam["report"]["jh"], "S1");
  EXPECT_EQ(steam["report"]["cc"], "S4");
}

// A result above the model's largest area is still calculated and reported,
// but area, weight, dimensions and price are blanked and a warning says why.
TEST_F(RunTest, AreaAboveModelLimitIsBlanked) {
  json in = Example("water_water_auto.json");
  in["selection"] = "manual";
  in["com_br"] = "PX32";
  in["com_zh"] = "H";
  in["Txt_Wq"] = "150";
  in["Txt_Th1"] = "60";
  in["Txt_Th2"] = "40";
  in["Txt_Tc1"] = "30";
  in["Txt_Tc2"] = "45";
  const json out = Run(in);
  const json& st = out["state"];
  ASSERT_GT(st["area"].get<double>(), phe::FindModel("PX32")->max_area);
  EXPECT_TRUE(HasMessage(out, kAreaTooLarge));
  for (const char* c : {"Txt_F", "Txt_W", "Txt_H", "Txt_Y"}) EXPECT_EQ(out["controls"][c], "") << c;
  EXPECT_NE(out["controls"]["Txt_K"], "");
  EXPECT_NE(out["controls"]["Txt_Ph1"], "");
  EXPECT_FALSE(out["report"].is_null());
}

// The family rule of automatic design moves to the next family once when the
// best plate type of the first family needs more than its largest area; its
// pick is the one the table marks as the rule's, while the answer is the
// cheapest pack that fits.
TEST_F(RunTest, AreaLimitMovesFamilyOnce) {
  json in = Example("water_water_auto.json");
  // About 30 m3/h on each side (family PX50) with a 1.5 K temperature
  // difference: far more area than a PX50 frame holds.
  in["Txt_Wq"] = "348";
  in["Txt_Th1"] = "60";
  in["Txt_Th2"] = "50";
  in["Txt_Tc1"] = "48.5";
  in["Txt_Tc2"] = "58.5";
  session_->alternatives = true;
  const json out = Run(in);
  session_->alternatives = false;
  int marked = 0;
  for (const auto& r : out["alternatives"]) {
    if (!r["rule_choice"].get<bool>()) continue;
    ++marked;
    EXPECT_EQ(r["model"].get<std::string>().substr(0, 4), "PX65") << r;
  }
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(out["alternatives"][0]["status"], "fits");
  EXPECT_TRUE(out["alternatives"][0]["chosen"].get<bool>());
}

// The 20 cP rule warns once per pass for a mixed arrangement and still shows
// the result.
TEST_F(RunTest, ViscousMixedArrangementWarnsOncePerPass) {
  json in = Example("manual_hm_design.json");
  in["Com_jc"] = "Oil ISO VG46";
  in["Txt_Wq"] = "150";
  in["Txt_Th1"] = "80";
  in["Txt_Th2"] = "70";
  in["Txt_Tc1"] = "30";
  in["Txt_Tc2"] = "55";
  in["Txt_Pc"] = "30";
  const json out = Run(in);
  const json& st = out["state"];
  ASSERT_GT(st["visc_c"].get<double>(), 20);
  ASSERT_EQ(st["arrangement_type"], "HM");
  EXPECT_EQ(CountMessage(out, kViscous), 1);
  EXPECT_NE(out["controls"]["Txt_K"], "");
  EXPECT_FALSE(out["report"].is_null());

  // The same oil where the pack collapses to one channel kind: no warning.
  in["Txt_Tc2"] = "40";
  const json single = Run(in);
  ASSERT_NE(single["state"]["arrangement_type"], "HM");
  EXPECT_EQ(CountMessage(single, kViscous), 0);
}

// A steam case whose steam port runs above 100 m/s and whose water port runs
// above 6 m/s gets both warnings, the 6 m/s one first.
TEST_F(RunTest, SteamPortWarningsInOrder) {
  const json in = {{"Com_jh", "Steam"},   {"Com_jc", "Water"},  {"Txt_Th1", "133"},
                   {"Txt_Tc1", "60"},     {"Txt_Tc2", "74"},    {"Txt_Wq", "334"},
                   {"Txt_Ph", "100"},     {"Txt_Pc", "100"},    {"selection", "manual"},
                   {"calc", "design"},    {"com_br", "PX32"},   {"com_zh", "M"}};
  const json out = Run(in);
  const json& st = out["state"];
  ASSERT_GT(st["v_port_h"].get<double>(), 100);
  ASSERT_GT(st["v_port_c"].get<double>(), 6);
  int i6 = -1, i100 = -1, i = 0;
  for (const auto& m : out["messages"]) {
    if (m["text"] == kPort6) i6 = i;
    if (m["text"] == kPort100) i100 = i;
    ++i;
  }
  ASSERT_GE(i6, 0);
  ASSERT_GE(i100, 0);
  EXPECT_LT(i6, i100);
}

// A check of a mixed pack rates exactly the channels entered.
TEST_F(RunTest, CheckOfMixedPackKeepsTheEnteredChannels) {
  const json out = Run(Example("check_mixed_pack.json"));
  const json& st = out["state"];
  EXPECT_EQ(st["channels_hm"].get<double>(), 10);
  EXPECT_EQ(st["channels_ml"].get<double>(), 12);
  EXPECT_EQ(st["plate_count"].get<double>(), 45);
  EXPECT_NEAR(st["area"].get<double>(), 0.21 * 43, 1e-9);
  EXPECT_EQ(out["controls"]["Txt_nh"], "10");
  EXPECT_EQ(out["controls"]["Txt_nl"], "12");
  EXPECT_EQ(st["plate_type"], "PX100B-45");
  ExpectFiniteControls(out);
}

// The cell of a sheet table whose caption is `caption`: the cell right of it.
std::string SheetCell(const phe::sheet::Document& doc, const std::string& caption) {
  for (const auto& b : doc.blocks)
    if (const auto* t = std::get_if<phe::sheet::Table>(&b))
      for (const auto& row : t->rows)
        for (size_t i = 0; i + 1 < row.size(); ++i)
          if (row[i] == caption) return row[i + 1];
  return "<none>";
}

// Guards against readers that each took the results their own way: the batch
// read the channel boxes (0 / 20 for a designed pure L pack) while the record
// held 20 in its first field, and the sheet reread boxes that a later
// refused run had already changed. The window's boxes, the batch row and the
// sheet all come from the one result record, and a run that ends early
// leaves that record as it was.
TEST_F(RunTest, OneResultRecordFeedsTheBoxesTheBatchAndTheSheet) {
  const json water = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "90"}, {"Txt_Th2", "70"},
                      {"Txt_Tc1", "50"},   {"Txt_Tc2", "65"},   {"Txt_Wq", "500"}, {"Txt_GF1", "5"},
                      {"Txt_Ph", "50"},    {"Txt_Pc", "50"}};
  const struct {
    const char* name;
    json edits;
    const char* ch1;  // channels per pass, as the H/M and M/L boxes show them
    const char* ch2;
  } rows[] = {
      {"designed pure L", {{"selection", "manual"}, {"com_br", "PX100L"}, {"com_zh", "L"}}, "0", nullptr},
      {"designed pure H", {{"selection", "manual"}, {"com_br", "PX100L"}, {"com_zh", "H"}}, nullptr, "0"},
      {"checked pure L",
       {{"selection", "manual"}, {"calc", "check"}, {"com_br", "PX100L"}, {"com_zh", "L"},
        {"Txt_nh", "0"}, {"Txt_nl", "20"}},
       "0", "20"},
      {"checked HM",
       {{"selection", "manual"}, {"calc", "check"}, {"com_br", "PX100B"}, {"com_zh", "HM"},
        {"Txt_nh", "10"}, {"Txt_nl", "12"}},
       "10", "12"},
      {"beyond the largest pack",
       {{"selection", "manual"}, {"com_br", "PX32"}, {"com_zh", "L"}, {"Txt_Wq", "150"},
        {"Txt_Th1", "60"}, {"Txt_Th2", "40"}, {"Txt_Tc1", "30"}, {"Txt_Tc2", "45"}},
       "0", nullptr},
  };
  const auto& columns = phe::BatchResultColumns();
  auto column = [&](const phe::BatchRow& r, const char* name) {
    const auto at = std::find(columns.begin(), columns.end(), name) - columns.begin();
    return r.results.at(static_cast<size_t>(at));
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    json c = water;
    c.update(row.edits);
    session_ = std::make_unique<phe::CaseSession>(*db_);
    const json out = Run(c);
    ASSERT_TRUE(session_->env.result) << out["messages"];
    const phe::RunResult& result = *session_->env.result;
    const json& shown = out["controls"];
    if (row.ch1) {
      EXPECT_EQ(shown["Txt_nh"], row.ch1);
    }
    if (row.ch2) {
      EXPECT_EQ(shown["Txt_nl"], row.ch2);
    }
    EXPECT_NE(shown["Txt_nh"].get<std::string>() + shown["Txt_nl"].get<std::string>(), "00");

    bool several = false;
    const phe::BatchRow batch = phe::RunBatchCase({row.name, phe::ParseCases(c, &several).front(), ""}, *db_);
    ASSERT_NE(batch.status, phe::BatchStatus::kRefused);
    EXPECT_EQ(column(batch, "channels_1"), shown["Txt_nh"]);
    EXPECT_EQ(column(batch, "channels_2"), shown["Txt_nl"]);
    EXPECT_EQ(column(batch, "area_m2").empty(), shown["Txt_F"] == "");
    EXPECT_EQ(column(batch, "designation"), shown["Txt_Br"]);

    const phe::sheet::Document before = phe::sheet::BuildSheet(result, {}, {}, phe::Lang::kEn);
    EXPECT_EQ(SheetCell(before, "Channels per pass H/M"), shown["Txt_nh"]);
    EXPECT_EQ(SheetCell(before, "Channels per pass M/L"), shown["Txt_nl"]);
    EXPECT_EQ(SheetCell(before, "Outline L×B×H"), shown["Txt_H"].get<std::string>() +
                                                     (shown["Txt_H"] == "" ? "" : " mm"));
    EXPECT_EQ(SheetCell(before, "Inlet temperature"), shown["Txt_Th1"]);

    // A later run the validation refuses changes the record's inputs in the
    // state, not the result record.
    const json refused = Run({{"Txt_Th1", "40"}, {"Txt_Th2", "70"}});
    ASSERT_TRUE(phe::RunShowedError(refused)) << refused["messages"];
    const phe::sheet::Document after = phe::sheet::BuildSheet(*session_->env.result, {}, {}, phe::Lang::kEn);
    EXPECT_EQ(SheetCell(after, "Inlet temperature"), shown["Txt_Th1"]);
    EXPECT_EQ(SheetCell(after, "Channels per pass M/L"), shown["Txt_nl"]);
    EXPECT_EQ(session_->env.result->record.plate_type, shown["Txt_Br"]);
  }
}

// A run refused by validation changes no result and stores nothing.
TEST_F(RunTest, RefusedRunChangesNothing) {
  const json first = Run(Example("water_water_auto.json"));
  json bad = Example("water_water_auto.json");
  bad["Txt_Th2"] = "95";  // hot outlet above hot inlet
  const json out = Run(bad);
  ASSERT_EQ(out["messages"].size(), 1u);
  EXPECT_EQ(out["messages"][0]["icon"], "critical");
  EXPECT_TRUE(out["report"].is_null());
  for (const char* c : {"Txt_K", "Txt_F", "Txt_GF", "Txt_Ph1", "Txt_Y"})
    EXPECT_EQ(out["controls"][c], first["controls"][c]) << c;
}

// Guards the flows entered by mass: a mass flow converted at any density but
// the one the balance closes with drifts from its volume twin, and a unit
// lost on the way from the case file leaves t/h read as m³/h.
TEST_F(RunTest, AFlowByMassRunsAsItsVolumeTwin) {
  json sim = Example("simulate_pack.json");
  sim["Txt_Qh"] = "21.3";
  sim["Txt_Qc"] = "8";
  sim["flow_unit_h"] = "t/h";
  sim["flow_unit_c"] = "kg/s";
  const json cases[] = {
      // Duty from the hot side by mass, the cold outlet searched by volume.
      {{"Com_jh", "Water"}, {"Com_jc", "Ethylene glycol 30%"}, {"Txt_Th1", "90"},
       {"Txt_Th2", "70"}, {"Txt_Tc1", "20"}, {"Txt_Qh", "52.4"}, {"Txt_Qc", "40"},
       {"flow_unit_h", "t/h"}},
      // The cold outlet searched with a mass flow; the hot flow computed in t/h.
      {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Wq", "300"}, {"Txt_Th1", "80"},
       {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Qc", "2.5"}, {"flow_unit_c", "kg/s"},
       {"flow_unit_h", "t/h"}},
      sim,
  };
  for (const json& c : cases) {
    SCOPED_TRACE(c.dump());
    // Each run in a fresh window, so that no unit or box is left from another.
    session_ = std::make_unique<phe::CaseSession>(*db_);
    const json mass = Run(c);
    ASSERT_TRUE(mass["report"].is_object()) << mass["messages"].dump();
    const json& st = mass["state"];
    // The entered flow is shown as typed and is the mass the balance carries.
    for (const auto& [box, unit, per_kg_h] : {std::tuple{"Txt_Qh", "flow_unit_h", "h"},
                                              std::tuple{"Txt_Qc", "flow_unit_c", "c"}}) {
      if (!c.contains(unit) || !c.contains(box)) continue;
      EXPECT_EQ(std::stod(mass["controls"][box].get<std::string>()),
                std::stod(c[box].get<std::string>()));
      const double factor = c[unit] == "t/h" ? 1000 : 3600;
      const std::string side = per_kg_h;
      EXPECT_NEAR(st["flow_" + side].get<double>() * st["rho_balance_" + side].get<double>(),
                  std::stod(c[box].get<std::string>()) * factor, 1e-9 * factor);
    }
    json twin = c;
    twin.erase("flow_unit_h");
    twin.erase("flow_unit_c");
    if (c.contains("Txt_Qh")) twin["Txt_Qh"] = st["flow_h"];
    if (c.contains("Txt_Qc")) twin["Txt_Qc"] = st["flow_c"];
    session_ = std::make_unique<phe::CaseSession>(*db_);
    const json volume = Run(twin);
    ASSERT_TRUE(volume["report"].is_object());
    for (const auto& [box, text] : mass["controls"].items()) {
      if (box == "Txt_Qh" || box == "Txt_Qc" || box == "Com_uh" || box == "Com_uc") continue;
      EXPECT_EQ(volume["controls"][box], text) << box;
    }
    // A simulation is its own answer to the 0.0005 degC it converges to.
    const double tolerance = c.value("calc", "") == "simulate" ? 1e-5 : 1e-9;
    for (const char* f : {"duty", "t_h_out", "t_c_out", "flow_h", "flow_c", "area", "k_calc", "dp_h", "dp_c"})
      EXPECT_NEAR(volume["state"][f].get<double>(), st[f].get<double>(),
                  tolerance * std::max(1.0, std::abs(st[f].get<double>()))) << f;
  }
  // One spelling per control in files: the unit lists go by their own words.
  bool several = false;
  EXPECT_THROW(phe::ParseCases(json{{"Com_uh", "t/h"}}, &several), phe::CaseError);
  EXPECT_EQ(phe::CaseToJson(phe::ParseCases(cases[0], &several)[0])["flow_unit_h"], "t/h");
}

// Guards the simulation as a run: outlets and duty come from the pack (a
// check with one outlet empty took them from the heat balance, 65.0 ℃ for
// 10 and for 20 channels), stale outlet and duty boxes are not read, the case
// is stored, and a missing cold flow is refused with nothing stored.
TEST_F(RunTest, SimulationGivesTheOutletsOfThePack) {
  json c = Example("simulate_pack.json");
  c["Txt_Th2"] = "10";  // left from another case: results, not inputs
  c["Txt_Wq"] = "1";
  const json twenty = Run(c);
  c["Txt_nh"] = "10";
  const json ten = Run(c);
  for (const json* out : {&twenty, &ten}) {
    EXPECT_TRUE((*out)["report"].is_object());
    const double tc2 = std::stod((*out)["controls"]["Txt_Tc2"].get<std::string>());
    const double th2 = std::stod((*out)["controls"]["Txt_Th2"].get<std::string>());
    const double wq = std::stod((*out)["controls"]["Txt_Wq"].get<std::string>());
    // Both flows carry the same duty.
    EXPECT_NEAR(wq, 22.1 * (90 - th2) * 4.19 * 0.966 / 3.6, 0.01 * wq);
    EXPECT_NEAR(wq, 29.1 * (tc2 - 50) * 4.18 * 0.98 / 3.6, 0.01 * wq);
    ExpectFiniteControls(*out);
  }
  EXPECT_GT(std::stod(twenty["controls"]["Txt_Tc2"].get<std::string>()),
            std::stod(ten["controls"]["Txt_Tc2"].get<std::string>()) + 1);
  EXPECT_EQ(twenty["report"]["Br"], "PX50B-41");

  c["Txt_Qc"] = "";
  const json refused = Run(c);
  ASSERT_EQ(refused["messages"].size(), 1u);
  EXPECT_EQ(refused["messages"][0]["text"], "模拟计算需要冷介质流量，请输入！");
  EXPECT_TRUE(refused["report"].is_null());
}

// A sweep of generated cases: every run ends, with results or with a message,
// and never shows a NaN or an infinity.
// Thousands of runs: a suite named *Sweep is the slow tier (ctest -L sweep).
class RunSweep : public RunTest {};

TEST_F(RunSweep, GeneratedCasesAlwaysEnd) {
  std::mt19937 rng(20261207);
  int with_results = 0;
  const int runs = 2000;
  for (int i = 0; i < runs; ++i) {
    const json c = phe::testing::GeneratedCase(rng);
    SCOPED_TRACE(c.dump());
    const json out = Run(c);
    ExpectFiniteControls(out);
    if (!out["report"].is_null()) {
      ++with_results;
      for (const auto& [k, v] : out["report"].items())
        EXPECT_TRUE(!v.is_number() || std::isfinite(v.get<double>())) << k;
    } else {
      EXPECT_FALSE(out["messages"].empty());
    }
    if (::testing::Test::HasFailure()) break;
  }
  // Most generated cases are valid designs.
  EXPECT_GT(with_results, runs / 4);
}

}  // namespace

namespace {

// A database the user may not write still calculates; the results are shown
// and the user is told that the case was not stored.
TEST(ReadOnlyDatabase, RunShowsResultsAndSaysTheCaseWasNotStored) {
  auto db = phe::Database::Open(phe::DefaultDatabasePath(), /*read_only=*/true);
  phe::CaseSession session(*db);
  std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/water_water_auto.json");
  bool several = false;
  const auto cases = phe::ParseCases(json::parse(in), &several);
  const json out = session.Run(cases[0]);
  ASSERT_EQ(out["messages"].size(), 1u);
  EXPECT_EQ(out["messages"][0]["title"], "错误");
  EXPECT_EQ(out["messages"][0]["icon"], "critical");
  EXPECT_NE(out["messages"][0]["text"].get<std::string>().find(phe::DefaultDatabasePath()),
            std::string::npos);
  EXPECT_TRUE(out["report"].is_null());
  EXPECT_NE(out["controls"]["Txt_K"], "");
  EXPECT_NE(out["controls"]["Txt_F"], "");
}

}  // namespace

namespace {

// A run stopped by an arithmetic fault must not leave numbers behind that let
// the same case, run again, slip past the check and show "inf" or store it.
TEST_F(RunTest, ArithmeticFaultStopsEveryRepeatedRun) {
  // Entries are range-checked now; a zero conductivity in the data makes the
  // Prandtl number infinite instead.
  sqlite3* h = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &h), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(h, "update water set L = 0", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(h);
  const json in = Example("check_mixed_pack.json");
  for (int run = 1; run <= 4; ++run) {
    SCOPED_TRACE(run);
    const json out = Run(in);
    ExpectFiniteControls(out);
    EXPECT_TRUE(out["report"].is_null());
    ASSERT_FALSE(out["messages"].empty());
    const json& last = out["messages"].back();
    EXPECT_EQ(last["title"], "错误");
    EXPECT_EQ(last["text"].get<std::string>().rfind("计算错误", 0), 0u) << last["text"];
  }
}

}  // namespace

namespace {

// Cases that pass validation but cannot be sized must end with a message and
// no result: a steam case whose balance stays open (the engines would divide
// by the missing duty and flows), and computed temperatures that cross.
TEST_F(RunTest, CasesThatCannotBeSizedEndWithAMessage) {
  struct Case {
    const char* why;
    json in;
    const char* starts;
    const char* focus;
  } const cases[] = {
      {"steam with the balance open",
       {{"Com_jh", "Steam"}, {"Txt_Th1", "120"}, {"Txt_Qh", "100"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "60"}},
       "热平衡不完整",
       "Txt_Wq"},
      {"steam below the cold outlet",
       {{"Com_jh", "Steam"}, {"Txt_Th1", "110"}, {"Txt_Tc1", "115"}, {"Txt_Tc2", "130"}, {"Txt_Wq", "100"}},
       "计算错误",
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const json out = Run(c.in);
    ASSERT_EQ(out["messages"].size(), 1u) << out["messages"].dump();
    const json& m = out["messages"][0];
    EXPECT_EQ(m["title"], "错误");
    EXPECT_EQ(m["icon"], "critical");
    EXPECT_EQ(m["text"].get<std::string>().rfind(c.starts, 0), 0u) << m["text"];
    EXPECT_EQ(m["focus"], c.focus ? json(c.focus) : json());
    EXPECT_TRUE(out["report"].is_null());
    EXPECT_EQ(out["controls"]["Txt_K"], "");
  }
}

}  // namespace

namespace {

// A case that sets every input box and list the examples use, so that a
// run in a session inherits no text from the run before it.
json Complete(json c) {
  for (const auto& box : phe::layout::kInputTextBoxes) {
    if (c.contains(box)) continue;
    c[box] = "";
    for (const auto& st : phe::layout::kStartTexts)
      if (st.name == box) c[box] = st.text;
  }
  if (!c.contains("com_br")) c["com_br"] = "PX32";
  if (!c.contains("com_zh")) c["com_zh"] = "H";
  return c;
}

json Results(const json& out) {
  json r = out["controls"];
  r["messages"] = out["messages"];
  return r;
}

}  // namespace

// Guards the independence of runs: the correction exponents once followed the
// plate type of the previous run (an oil cooler showed 12 % margin on the
// first run and 8 % on the second), and a check of a designed pack disagreed
// with its design by up to 15 points. Every case run after others gives what
// it gives in a fresh window, and the check of a design reproduces it.
TEST_F(RunTest, RunsDependOnlyOnTheirInputs) {
  const json oil = {{"Com_jh", "Oil ISO VG68"}, {"Com_jc", "Water"}, {"Txt_Th1", "60"},
                    {"Txt_Th2", "45"}, {"Txt_Tc1", "30"}, {"Txt_Tc2", "36"}, {"Txt_Wq", "100"},
                    {"selection", "auto"}, {"calc", "design"}};
  const json steam = Complete(Example("steam_heater.json"));
  const json mixed = Complete(Example("manual_hm_design.json"));
  const json check = Complete(Example("check_mixed_pack.json"));
  const std::vector<json> order = {Complete(oil), steam, Complete(oil), mixed, check, Complete(oil), steam};
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE("run " + std::to_string(i + 1) + ": " + order[i].dump());
    const json in_session = Results(Run(order[i]));
    phe::CaseSession fresh(*db_);
    bool several = false;
    const json alone = Results(fresh.Run(phe::ParseCases(order[i], &several).front()));
    EXPECT_EQ(in_session, alone);
  }

  const json design = Run(Complete(oil))["controls"];
  json rate = Complete(oil);
  rate.update({{"selection", "manual"}, {"calc", "check"}, {"com_br", design["com_br"]},
               {"com_zh", design["com_zh"]}, {"Txt_nh", design["Txt_nh"]}, {"Txt_nl", design["Txt_nl"]}});
  const json rated = Run(rate)["controls"];
  EXPECT_LE(std::abs(std::stod(rated["Txt_GF"].get<std::string>()) -
                     std::stod(design["Txt_GF"].get<std::string>())), 1);
  for (const char* dp : {"Txt_Ph1", "Txt_Pc1"}) {
    const double d = std::stod(design[dp].get<std::string>());
    EXPECT_NEAR(std::stod(rated[dp].get<std::string>()), d, 0.01 * d) << dp;
  }
}

// Guards the warnings of a pack that breaks a limit: a design that stopped at
// 700 channels once showed pressure drops of 0.00 and no word; a check above
// the allowed drops said nothing; a split into units rewrote the duty box
// silently. Each now says so, and the numbers stay as computed.
TEST_F(RunTest, APackBeyondALimitSaysSo) {
  const json water = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "15"}, {"Txt_Th2", "10"},
                      {"Txt_Tc1", "7"}, {"Txt_Tc2", "12"}, {"Txt_Wq", "500"}, {"Txt_GF1", "10"},
                      {"selection", "auto"}, {"calc", "design"}};
  const struct {
    const char* name;
    json edits;
    std::vector<std::string> warnings;  // in the order shown
    const char* icon;
  } rows[] = {
      {"manual design ending at 700 channels",
       {{"selection", "manual"}, {"com_br", "PX100M"}, {"com_zh", "L"}},
       {kAreaTooLarge, "每程流道数已达到上限700，该型号不能满足设计要求，请选择其他型号或改变流程数、允许压降！",
        "热介质板间流速 0.028 m/s 低于 0.1 m/s", "冷介质板间流速 0.028 m/s 低于 0.1 m/s"},
       "warning"},
      {"check above the allowed drops",
       {{"selection", "manual"}, {"calc", "check"}, {"com_br", "PX50B"}, {"com_zh", "H"}, {"Txt_nh", "10"}},
       {kPort6, "热介质压降 ", "冷介质压降 "},
       "warning"},
      {"split into units",
       {{"Txt_Th1", "90"}, {"Txt_Th2", "70"}, {"Txt_Tc1", "50"}, {"Txt_Tc2", "60"}, {"Txt_Wq", "100000"}},
       {"流量超过单台换热器的处理能力，已分为"},
       "information"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    json c = water;
    c.update(row.edits);
    const json out = Run(Complete(c));
    ASSERT_FALSE(out["report"].is_null());
    ASSERT_EQ(out["messages"].size(), row.warnings.size()) << out["messages"];
    for (size_t i = 0; i < row.warnings.size(); ++i)
      EXPECT_EQ(out["messages"][i]["text"].get<std::string>().rfind(row.warnings[i], 0), 0u)
          << out["messages"][i]["text"];
    EXPECT_EQ(out["messages"].back()["icon"], row.icon);
    EXPECT_GT(out["state"]["dp_h"].get<double>(), 0);
    EXPECT_GT(out["state"]["dp_c"].get<double>(), 0);
    for (const auto& m : out["messages"]) {
      const std::string t = m["text"];
      if (t.rfind("热介质压降 ", 0) == 0) {
        EXPECT_NE(t.find(phe::FormatFixed(out["state"]["dp_h"], 2) + " kPa 超过允许值 50 kPa"), std::string::npos);
      }
    }
  }
}

// Guards against physically impossible cases sized without a word: water at
// 230 degC under 1.0 MPa (it boils), water at -5 degC (ice), a hot water
// outlet computed below 0 degC, an oil flow of 1e-150 m3/h and a duty of
// 1e-9 kW (a pack of K 0 or a margin of 40 million %), a simulation of a
// frozen inlet. Each ends at Run as an input error at the box at fault and
// stores nothing; cases just inside the limits still run.
TEST_F(RunTest, ImpossibleCasesAreRefusedAtRun) {
  const json water = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "90"}, {"Txt_Th2", "70"},
                      {"Txt_Tc1", "50"}, {"Txt_Tc2", "65"}, {"Txt_Wq", "500"}, {"Txt_GF1", "10"},
                      {"selection", "auto"}, {"calc", "design"}};
  const struct {
    const char* name;
    json edits;
    const char* refusal;  // nullptr: the run gives a pack
    const char* focus;
  } rows[] = {
      {"water boiling under 1.0 MPa", {{"Txt_Th1", "230"}, {"Txt_Th2", "200"}},
       "热介质（Water）最高温度230.0℃不低于设计压力1 MPa（表压）下的饱和温度184.1℃，介质将汽化，请降低温度或提高设计压力！",
       "Txt_Th1"},
      {"water boiling under 1.6 MPa", {{"Com_pg", "1.6MPa"}, {"Txt_Th1", "230"}, {"Txt_Th2", "200"}},
       "热介质（Water）最高温度230.0℃不低于设计压力1.6 MPa（表压）下的饱和温度204.3℃，介质将汽化，请降低温度或提高设计压力！",
       "Txt_Th1"},
      {"water below saturation under 1.6 MPa", {{"Com_pg", "1.6MPa"}, {"Txt_Th1", "200"}, {"Txt_Th2", "170"}},
       nullptr, nullptr},
      {"cold water at -5", {{"Txt_Tc1", "-5"}, {"Txt_Tc2", "20"}, {"Txt_Th2", "40"}},
       "冷介质（Water）最低温度-5.0℃不高于其冰点0℃，介质将冻结，请重新输入！", "Txt_Tc1"},
      {"hot water outlet computed below 0",
       {{"Com_jc", "25% Glycol"}, {"Txt_Th1", "15"}, {"Txt_Th2", ""}, {"Txt_Qh", "10"},
        {"Txt_Wq", "200"}, {"Txt_Tc1", "-9"}, {"Txt_Tc2", "-4"}},
       "热介质（Water）最低温度-2.1℃不高于其冰点0℃，介质将冻结，请重新输入！", "Txt_Th2"},
      {"cold 25 % glycol at -10", {{"Com_jc", "25% Glycol"}, {"Txt_Tc1", "-10"}, {"Txt_Tc2", "20"},
        {"Txt_Th2", "40"}}, nullptr, nullptr},
      {"oil flow of 1e-150 m3/h",
       {{"Com_jh", "Oil ISO VG46"}, {"Txt_Th1", "60"}, {"Txt_Th2", "45"}, {"Txt_Tc1", "30"},
        {"Txt_Tc2", "35"}, {"Txt_Wq", ""}, {"Txt_Qh", "1e-150"}},
       "热介质（Oil ISO VG46）流量1e-150 m3/h太小", "Txt_Qh"},
      {"duty of 1e-9 kW", {{"Txt_Wq", "1e-9"}},
       "热介质（Water）流量4.41e-11 m3/h太小：任何型号的单个流道中雷诺数都低于其关联式的适用范围，至少需要0.000577 m3/h（PX32-H板型，一个流道），请增大流量或热交换量！",
       "Txt_Wq"},
      {"simulated pack with a frozen inlet",
       {{"calc", "simulate"}, {"selection", "manual"}, {"com_br", "PX50B"}, {"com_zh", "L"},
        {"Txt_nh", "20"}, {"Txt_nl", "0"}, {"Txt_Th2", ""}, {"Txt_Tc2", ""}, {"Txt_Wq", ""},
        {"Txt_Qh", "22.1"}, {"Txt_Qc", "29.1"}, {"Txt_Tc1", "0"}},
       "冷介质（Water）最低温度0.0℃不高于其冰点0℃，介质将冻结，请重新输入！", "Txt_Tc1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    json c = water;
    c.update(row.edits);
    const auto stored_before = db_->ReadCaseRecords();
    const json out = Run(Complete(c));
    if (!row.refusal) {
      EXPECT_FALSE(out["report"].is_null()) << out["messages"];
      for (const auto& m : out["messages"]) EXPECT_NE(m["title"], "错误") << m["text"];
      continue;
    }
    ASSERT_FALSE(out["messages"].empty());
    const json& m = out["messages"].back();
    EXPECT_EQ(m["text"].get<std::string>().rfind(row.refusal, 0), 0u) << out["messages"];
    EXPECT_EQ(m["icon"], "critical");
    EXPECT_EQ(m["focus"], row.focus);
    EXPECT_TRUE(out["report"].is_null());
    EXPECT_EQ(db_->ReadCaseRecords(), stored_before);
  }
}

// Guards against packs unfit for their case reported as fitting: 160 degC
// steam on NBR gaskets, an oil cooler on the default EPDM (it swells in
// mineral oil), an NBR port lining at 130 degC, and an oversized pack run at
// 0.1 kW whose channels crawl, whose Reynolds numbers lie below the plate's
// correlations and whose fouling search stopped at its cap (10.000000 shown
// as a capacity). The run finishes with its numbers; each fault is warned
// and the pack no longer "fits", in the window, the alternatives and a batch row.
TEST_F(RunTest, UnfitPacksAreWarnedAndNoLongerFit) {
  const json water = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_Th1", "90"}, {"Txt_Th2", "70"},
                      {"Txt_Tc1", "50"}, {"Txt_Tc2", "65"}, {"Txt_Wq", "500"}, {"Txt_GF1", "10"},
                      {"selection", "auto"}, {"calc", "design"},
                      {"Com_dpc", "EPDM"}, {"Com_jgl", "SS"}};  // as a fresh window starts
  const struct {
    const char* name;
    json edits;
    std::vector<std::string> warnings;  // the new ones, in the order shown
    const char* focus;                  // after the last of them
  } rows[] = {
      {"steam at 160 on NBR",
       {{"Com_jh", "Steam"}, {"Txt_Th1", "160"}, {"Txt_Th2", ""}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "60"},
        {"Com_dpc", "NBR"}},
       {"垫片材质NBR的连续使用温度为-10～110℃，介质温度20.0℃～160.0℃超出该范围，请选择其他材质！",
        "垫片材质NBR不适用于热介质（蒸汽），请选择其他材质！"},
       "Com_dpc"},
      {"oil cooler on EPDM",
       {{"Com_jh", "Oil ISO VG46"}, {"Txt_Th1", "60"}, {"Txt_Th2", "45"}, {"Txt_Tc1", "30"},
        {"Txt_Tc2", "35"}, {"Txt_Wq", "100"}},
       {"垫片材质EPDM不适用于热介质（矿物油），请选择其他材质！"}, "Com_dpc"},
      {"NBR lining at 130", {{"Txt_Th1", "130"}, {"Com_jgl", "NBR"}},
       {"接口衬里材质NBR的连续使用温度为-10～110℃，介质温度50.0℃～130.0℃超出该范围，请选择其他材质！"},
       "Com_jgl"},
      {"oversized pack at 0.1 kW",
       {{"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "40"}, {"Txt_Wq", "0.1"},
        {"selection", "manual"}, {"calc", "check"}, {"com_br", "PX450M"}, {"com_zh", "H"},
        {"Txt_nh", "100"}, {"Txt_nl", "0"}},
       {"热介质板间流速 2.85e-06 m/s 低于 0.1 m/s，流量分配不均且易结垢，请选择较小的型号或增加流程数！",
        "冷介质板间流速 2.81e-06 m/s 低于 0.1 m/s，流量分配不均且易结垢，请选择较小的型号或增加流程数！",
        "热介质雷诺数 Re=0.0553 低于PX450M-H板型关联式的适用范围（Re≥10），计算结果为外推值！",
        "冷介质雷诺数 Re=0.028 低于PX450M-H板型关联式的适用范围（Re≥10），计算结果为外推值！",
        "污垢系数搜索已达到步数上限，该换热器可承受的污垢系数大于 1 m2.℃/W，显示值不是计算结果！"},
       nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    json c = water;
    c.update(row.edits);
    const json out = Run(Complete(c));
    ASSERT_FALSE(out["report"].is_null()) << out["messages"];
    std::vector<std::string> shown;
    for (const auto& m : out["messages"]) {
      EXPECT_EQ(m["icon"], "warning") << m["text"];
      shown.push_back(m["text"]);
    }
    ASSERT_GE(shown.size(), row.warnings.size()) << out["messages"];
    EXPECT_EQ(std::vector<std::string>(shown.end() - static_cast<long>(row.warnings.size()), shown.end()),
              row.warnings);
    if (row.focus) {
      EXPECT_EQ(out["messages"].back()["focus"], row.focus);
      // The pack breaks no other limit, so the warning is what stops it fitting.
      EXPECT_EQ(phe::BrokenLimit(session_->state), "engineering");
    }
    EXPECT_NE(phe::BrokenLimit(session_->state), "");

    bool several = false;
    const phe::BatchRow batch = phe::RunBatchCase({row.name, phe::ParseCases(Complete(c), &several).front(), ""}, *db_);
    EXPECT_EQ(batch.status, phe::BatchStatus::kWarning);
    EXPECT_EQ(batch.messages, shown);
  }
}

// Guards the boiling limit against a wrong saturation line: the pressures of
// the reference steam table (IAPWS, kPa absolute) and the saturation
// temperatures of the two design pressures (gauge + 0.101 MPa).
TEST(SaturationLine, MatchesTheSteamTable) {
  const struct {
    double t, p_kpa;
  } rows[] = {{100, 101.418}, {120, 198.674}, {160, 618.235}, {184, 1098.466}, {200, 1554.928}};
  for (const auto& r : rows) {
    EXPECT_NEAR(phe::SaturationPressure(r.t) * 1000, r.p_kpa, 5e-4 * r.p_kpa) << r.t;
    EXPECT_NEAR(phe::SaturationTemperature(r.p_kpa / 1000), r.t, 0.01) << r.p_kpa;
  }
  EXPECT_NEAR(phe::SaturationTemperature(1.0 + phe::kAtmosphere), 184.1, 0.05);
  EXPECT_NEAR(phe::SaturationTemperature(1.6 + phe::kAtmosphere), 204.3, 0.05);
}
