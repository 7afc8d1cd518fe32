// The alternatives table, as the command line prints it with --alternatives:
// each row is the manual design of its pack (model, channel type, passes,
// units), the rows are ordered as promised, the answer and the rule's pick
// are marked, and the suggestion appears exactly when a fitting pack is better.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <algorithm>
#include <string>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "driver/case_driver.h"
#include "support/scratch.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Cases whose answer the family rule once got wrong. Each is an automatic
// design of water against water with 10 % margin.
const char* const kCloseApproach = R"({"Txt_Th1": "53", "Txt_Th2": "30", "Txt_Tc1": "24", "Txt_Tc2": "50",
  "Txt_Wq": "333"})";
const char* const kSplit = R"({"Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "60",
  "Txt_Wq": "40000"})";
const char* const kChilled = R"({"Txt_Th1": "15", "Txt_Th2": "10", "Txt_Tc1": "7", "Txt_Tc2": "12",
  "Txt_Wq": "500", "Txt_N": "2"})";
const char* const kSubstation = R"({"Txt_Th1": "110", "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "80",
  "Txt_Wq": "2000"})";

struct Row {
  const char* name;
  const char* example;     // file in examples/, or nullptr for `edits` alone
  const char* edits;       // on the example, or on an automatic water design
  const char* answer;      // designation of the answer and its unit count, "" to leave open
  double units;
  bool suggestion;         // a fitting pack is better than the answer
  const char* broken;      // a designation that must not be offered as fitting, or ""
};

const Row kCases[] = {
    {"water_water_auto", "water_water_auto.json", "{}", "", 1, false, ""},
    {"oil_cooler", "oil_cooler.json", "{}", "", 1, false, ""},
    {"steam_heater", "steam_heater.json", "{}", "", 1, false, ""},
    {"manual_hm_design", "manual_hm_design.json", "{}", "", 1, false, ""},
    {"manual_two_units", "manual_hm_design.json", R"({"Txt_NUM1": "2"})", "", 2, false, ""},
    {"check_mixed_pack", "check_mixed_pack.json", "{}", "", 1, false, ""},  // a check has no table
    // The rule took PX50B-471, beyond its model's largest area.
    {"close_approach", nullptr, kCloseApproach, "PX100L-39", 1, false, ""},
    // The rule took 2 x PX450M-291 for 1,152,000 yuan.
    {"split_40MW", nullptr, kSplit, "PX350S-353", 2, false, ""},
    // The rule took PX150M-129; one pass is cheaper still.
    {"chilled_two_passes", nullptr, kChilled, "PX100B-285", 1, true, ""},
    // Its port loss exceeds 30 % of the plates' loss.
    {"substation", nullptr, kSubstation, "", 1, false, "PX65B-107"},
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class AlternativesTest : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    dir_ = phe::testing::ScratchDir() /
           ("phe_alt_" + std::to_string(getpid()) + "_" + GetParam().name);
    fs::create_directories(dir_);
    db_path_ = (dir_ / "br.mdb").string();
    fs::copy_file(phe::DefaultDatabasePath(), db_path_, fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  json Case() const {
    json c = {{"Com_jh", "Water"}, {"Com_jc", "Water"}, {"Txt_GF1", "10"}, {"Txt_Ph", "50"},
              {"Txt_Pc", "50"}, {"selection", "auto"}, {"calc", "design"}};
    if (GetParam().example) {
      std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + GetParam().example);
      c = json::parse(in);
    }
    c.update(json::parse(GetParam().edits));
    return c;
  }

  static std::string Capture(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_EQ(WEXITSTATUS(pclose(p)), 0) << cmd;
    return out;
  }

  json Cli(const json& c, const std::string& extra = "", bool table = true) {
    const std::string file = (dir_ / "case.json").string();
    std::ofstream(file) << c.dump();
    return json::parse(Capture(phe::ExecutableDir() + "/pheselect-cli" + (table ? " --alternatives" : "") +
                               " --db " + db_path_ + " --case " + file + extra));
  }

  // The same case designed by hand: manual selection of the row's pack.
  json Manual(json c, const json& row) {
    c["selection"] = "manual";
    c["calc"] = "design";
    c["com_br"] = row["model"];
    c["com_zh"] = row["type"];
    c["Txt_N"] = phe::FormatWhole(row["passes"].get<double>());
    c["Txt_NUM1"] = phe::FormatWhole(row["units"].get<double>());
    auto db = phe::Database::Open(db_path_);
    phe::CaseSession session(*db);
    bool several = false;
    return session.Run(phe::ParseCases(c, &several).front());
  }

  fs::path dir_;
  std::string db_path_;
};

// Guards against rows that differ from the design the user gets by choosing
// that pack (a state left over from the automatic run, a skipped step, the
// passes or units not carried over), a wrong candidate set, a wrong order, an
// answer that is not the cheapest fitting pack at the entered passes, a row
// called fitting whose design warns (the port-loss rule once was ignored), and
// a suggestion missing where it helps or shown where it misleads.
TEST_P(AlternativesTest, RowsAreTheManualDesignsOrderedWithTheAnswerMarked) {
  const json c = Case();
  const json out = Cli(c);
  const json& rows = out["alternatives"];
  const json& s = out["state"];
  const bool manual = c.value("selection", "") == "manual";
  const bool steam = c.value("Com_jh", "") == "Steam";
  const double entered = steam ? 1 : std::stod(c.value("Txt_N", "1"));
  auto pack = [](const json& r) {
    return r["model"].get<std::string>() + "-" + r["type"].get<std::string>() + " " +
           phe::FormatWhole(r["passes"].get<double>()) + "/" + phe::FormatWhole(r["units"].get<double>());
  };

  // Candidates: every model in H, M and L (and mixed when the user's own
  // choice is mixed), at 1-4 passes and the entered number (steam: 1), at the
  // unit counts from the least needed to two more (and the user's own count).
  if (c.value("calc", "") != "design") {
    EXPECT_TRUE(rows.empty());
    return;
  }
  const std::string own_type = manual ? c.value("com_zh", "") : "";
  std::vector<std::string> types = {"H", "M", "L"};
  if (manual && phe::IsMixedPlateType(c.value("com_br", "") + "-" + own_type)) types = {"H", "M", "L", "HM", "ML"};
  std::set<double> passes = {1, 2, 3, 4, entered};
  if (steam) passes = {1};
  double least = 1e9;
  for (const auto& r : rows) least = std::min(least, r["units"].get<double>());
  std::set<double> units = least > 1 ? std::set<double>{least, least + 1, least + 2} : std::set<double>{1};
  if (manual) units.insert(GetParam().units);
  std::set<std::string> expected, got;
  for (const auto& m : phe::Models())
    for (const auto& t : types)
      for (double p : passes)
        for (double n : units)
          expected.insert(std::string(m.code) + "-" + t + " " + phe::FormatWhole(p) + "/" + phe::FormatWhole(n));
  int rule = 0;
  for (const auto& r : rows) {
    if (r["rule_choice"].get<bool>()) ++rule;
    // The rule's pick may be a mixed pack no candidate holds.
    if (!r["rule_choice"].get<bool>() || expected.count(pack(r))) got.insert(pack(r));
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(rule, manual ? 0 : 1);
  std::set<std::string> distinct;
  for (const auto& r : rows) distinct.insert(pack(r));
  ASSERT_EQ(distinct.size(), rows.size()) << "a candidate appears twice";

  // Fitting rows first, each group by total price, then total area, then units.
  for (size_t i = 1; i < rows.size(); ++i) {
    const json& a = rows[i - 1];
    const json& b = rows[i];
    const bool fa = a["status"] == "fits", fb = b["status"] == "fits";
    EXPECT_TRUE(fa || !fb) << "row " << i << " fits after one that does not";
    if (fa != fb) continue;
    EXPECT_TRUE(a["price_total"] < b["price_total"] ||
                (a["price_total"] == b["price_total"] &&
                 (a["area_total"] < b["area_total"] ||
                  (a["area_total"] == b["area_total"] && a["units"] <= b["units"]))))
        << "rows " << i - 1 << " and " << i << " out of order";
  }
  for (const auto& r : rows) {
    EXPECT_EQ(r["price_total"], r["price"].get<double>() * r["units"].get<double>()) << pack(r);
    EXPECT_EQ(r["area_total"], r["area"].get<double>() * r["units"].get<double>()) << pack(r);
    EXPECT_EQ(r["weight_total"], r["weight"].get<double>() * r["units"].get<double>()) << pack(r);
  }

  // The answer: the user's own pack, else the cheapest fitting one at the
  // entered passes, which is what the run designed.
  int chosen = 0;
  const json* answer = nullptr;
  for (const auto& r : rows)
    if (r["chosen"].get<bool>()) {
      ++chosen;
      answer = &r;
    }
  ASSERT_EQ(chosen, 1);
  const json* cheapest = nullptr;
  for (const auto& r : rows)
    if (!cheapest && r["status"] == "fits" && r["passes"] == entered) cheapest = &r;
  if (manual) {
    EXPECT_TRUE(phe::EqualsNoCase((*answer)["model"].get<std::string>() + "-" + (*answer)["type"].get<std::string>(),
                                  c.value("com_br", "") + "-" + own_type));
    EXPECT_EQ((*answer)["units"], GetParam().units);
  } else if (cheapest) {
    EXPECT_EQ(answer, cheapest);
  } else {
    EXPECT_TRUE((*answer)["rule_choice"].get<bool>());
  }
  EXPECT_EQ((*answer)["designation"], s["plate_type"]);
  EXPECT_EQ((*answer)["units"], std::max(1.0, s["units"].get<double>()));
  EXPECT_EQ((*answer)["passes"], s["passes"]);
  // Without a table only the candidates at the entered passes are designed:
  // the run must still design and store the same pack.
  const json plain = Cli(c, "", false);
  EXPECT_EQ(plain["state"], s);
  EXPECT_EQ(plain["report"], out["report"]);
  if (*GetParam().answer) {
    EXPECT_EQ((*answer)["designation"], GetParam().answer);
    EXPECT_EQ((*answer)["units"], GetParam().units);
  }
  for (const auto& r : rows)
    if (*GetParam().broken && r["designation"] == GetParam().broken) {
      EXPECT_NE(r["status"], "fits") << pack(r);
    }

  // The suggestion names a fitting pack cheaper than the answer, at another
  // pass count when the answer fits.
  int suggested = 0;
  for (const auto& m : out["messages"]) {
    const std::string text = m["text"];
    if (text.rfind("建议：", 0) != 0) continue;
    ++suggested;
    const json* better = nullptr;
    for (const auto& r : rows)
      if (!better && r["status"] == "fits" && ((*answer)["status"] != "fits" || r["passes"] != entered))
        better = &r;
    ASSERT_NE(better, nullptr) << text;
    EXPECT_LT((*better)["price_total"], (*answer)["price_total"]);
    EXPECT_EQ(text.rfind("建议：" + (*better)["model"].get<std::string>() + "-" + (*better)["type"].get<std::string>() +
                             "，" + (*better)["designation"].get<std::string>() + "，" +
                             phe::FormatWhole((*better)["passes"].get<double>()) + "流程",
                         0),
              0u)
        << text;
    EXPECT_EQ(m["title"], "提示");
    EXPECT_EQ(m["icon"], "information");
  }
  EXPECT_EQ(suggested, GetParam().suggestion ? 1 : 0);

  // A few rows against their manual designs: the first, the last, the answer,
  // the rule's pick and a row of more units. A fitting row's design warns of
  // nothing; the split into units is a notice. The channels are those the
  // window's boxes show after that design (a pure L row once listed its count
  // under H/M, the window under M/L).
  std::vector<json> probe = {rows.front(), rows.back()};
  for (const auto& r : rows)
    if (r["chosen"].get<bool>() || r["rule_choice"].get<bool>()) probe.push_back(r);
  for (const auto& r : rows)
    if (r["units"].get<double>() > (*answer)["units"].get<double>()) {
      probe.push_back(r);
      break;
    }
  for (const json& r : probe) {
    const json m = Manual(c, r);
    const json& ms = m["state"];
    const std::string at = pack(r);
    EXPECT_EQ(r["designation"], ms["plate_type"]) << at;
    for (const char* key : {"area", "k_service", "margin", "dp_h", "dp_c", "dp_max_h", "dp_max_c",
                            "v_port_h", "v_port_c", "fouling_out", "price", "weight", "plate_count",
                            "passes"})
      EXPECT_EQ(r[key], ms[key]) << at << " " << key;
    EXPECT_EQ(r["units"], std::max(1.0, ms["units"].get<double>())) << at;
    if (r["status"] == "fits") {
      for (const auto& msg : m["messages"]) EXPECT_EQ(msg["icon"], "information") << at << ": " << msg["text"];
    }
    EXPECT_EQ(phe::FormatWhole(r["channels_hm"].get<double>()), m["controls"]["Txt_nh"]) << at;
    EXPECT_EQ(phe::FormatWhole(r["channels_ml"].get<double>()), m["controls"]["Txt_nl"]) << at;
  }
  if (std::string(GetParam().name) == "close_approach") {
    // The sheet's last page lists the rows in the same order, with every column.
    const std::string pdf = (dir_ / "sheet.pdf").string();
    Cli(c, " --sheet " + pdf);
    const std::string text = Capture("pdftotext -layout " + pdf + " -");
    size_t at = text.find("方案比较");
    ASSERT_NE(at, std::string::npos);
    for (const char* caption : {"流程", "台数", "总面积", "总价格", "总重量"})
      EXPECT_NE(text.find(caption, at), std::string::npos) << caption;
    for (const auto& r : rows) {
      at = text.find(r["designation"].get<std::string>() + " ", at);
      ASSERT_NE(at, std::string::npos) << pack(r) << " missing or out of order on the sheet";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlternativesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
