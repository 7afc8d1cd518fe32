// The alternatives table, as the command line prints it with --alternatives:
// each row is the manual design of its model and channel type, the rows are
// ordered as promised, the program's own choice is marked and the suggestion
// appears exactly when the own choice breaks a limit and another pack fits.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "driver/case_driver.h"
#include "support/scratch.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Water 53->30 / 24->50 degC, 333 kW: the automatic choice outgrows its model.
const char* const kCloseApproach = R"({
  "Com_jh": "Water", "Com_jc": "Water",
  "Txt_Th1": "53", "Txt_Th2": "30", "Txt_Tc1": "24", "Txt_Tc2": "50",
  "Txt_Wq": "333", "Txt_GF1": "10", "Txt_Ph": "50", "Txt_Pc": "50",
  "selection": "auto", "calc": "design"})";

struct Row {
  const char* name;
  const char* example;     // file in examples/, or nullptr for the close approach
  const char* families;    // the families whose models are compared
  bool suggestion;         // the own choice breaks a limit and another pack fits
};

const Row kCases[] = {
    {"water_water_auto", "water_water_auto.json", "PX32 PX50 PX65 PX100", false},
    {"oil_cooler", "oil_cooler.json", "PX32 PX50 PX65 PX100", false},
    {"steam_heater", "steam_heater.json", "PX50 PX65 PX100 PX150", false},
    {"manual_hm_design", "manual_hm_design.json", "PX65 PX100 PX150 PX200", false},
    {"check_mixed_pack", "check_mixed_pack.json", "", false},  // a check has no table
    {"close_approach", nullptr, "PX32 PX50 PX65 PX100", true},
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
    if (!GetParam().example) return json::parse(kCloseApproach);
    std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + GetParam().example);
    return json::parse(in);
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

  json Cli(const json& c, const std::string& extra = "") {
    const std::string file = (dir_ / "case.json").string();
    std::ofstream(file) << c.dump();
    return json::parse(Capture(phe::ExecutableDir() + "/pheselect-cli --alternatives --db " +
                               db_path_ + " --case " + file + extra));
  }

  // The same case designed by hand: manual selection of the row's pack.
  json Manual(json c, const json& row) {
    c["selection"] = "manual";
    c["calc"] = "design";
    c["com_br"] = row["model"];
    c["com_zh"] = row["type"];
    auto db = phe::Database::Open(db_path_);
    phe::CaseSession session(*db);
    bool several = false;
    return session.Run(phe::ParseCases(c, &several).front());
  }

  fs::path dir_;
  std::string db_path_;
};

// Guards against rows that differ from the design the user gets by choosing
// that pack (a state left over from the automatic run, a skipped step), a
// wrong candidate set, a wrong order, an unmarked choice, and a suggestion
// missing where it helps or shown where it misleads.
TEST_P(AlternativesTest, RowsAreTheManualDesignsOrderedWithTheChoiceMarked) {
  const json c = Case();
  const json out = Cli(c);
  const json& rows = out["alternatives"];
  const json& s = out["state"];
  const bool manual = c.value("selection", "") == "manual";

  // Candidates: every single type of the families' models, and the user's
  // own model mixed when the user chose a mixed type.
  std::set<std::string> expected, got;
  const std::string families = std::string(" ") + GetParam().families + " ";
  for (const auto& m : phe::Models())
    if (families.find(std::string(" ") + m.family + " ") != std::string::npos)
      for (const char* t : {"H", "M", "L"}) expected.insert(std::string(m.code) + "-" + t);
  const std::string own_type = manual ? c.value("com_zh", "") : s["arrangement_type"].get<std::string>();
  const std::string own = (manual ? c.value("com_br", "") : s["model_code"].get<std::string>()) + "-" + own_type;
  if (manual && c.value("calc", "") == "design" && phe::IsMixedPlateType(own)) {
    expected.insert(c.value("com_br", "") + "-HM");
    expected.insert(c.value("com_br", "") + "-ML");
  }
  for (const auto& r : rows) got.insert(r["model"].get<std::string>() + "-" + r["type"].get<std::string>());
  EXPECT_EQ(got, expected);
  ASSERT_EQ(rows.size(), expected.size()) << "a candidate appears twice";
  if (rows.empty()) return;

  // Fitting rows first, each group by price, then area.
  for (size_t i = 1; i < rows.size(); ++i) {
    const json& a = rows[i - 1];
    const json& b = rows[i];
    const bool fa = a["status"] == "fits", fb = b["status"] == "fits";
    EXPECT_TRUE(fa || !fb) << "row " << i << " fits after one that does not";
    if (fa == fb) {
      EXPECT_TRUE(a["price"] < b["price"] || (a["price"] == b["price"] && a["area"] <= b["area"]))
          << "rows " << i - 1 << " and " << i << " out of order";
    }
  }

  int chosen = 0;
  for (const auto& r : rows) {
    if (!r["chosen"].get<bool>()) continue;
    ++chosen;
    EXPECT_TRUE(phe::EqualsNoCase(r["model"].get<std::string>() + "-" + r["type"].get<std::string>(), own));
  }
  EXPECT_EQ(chosen, 1);

  const std::string first = rows[0]["model"].get<std::string>() + "-" + rows[0]["type"].get<std::string>();
  const std::string suggestion = "建议：" + first + "，" + rows[0]["designation"].get<std::string>();
  int suggested = 0;
  for (const auto& m : out["messages"])
    if (m["text"].get<std::string>().rfind("建议：", 0) == 0) {
      ++suggested;
      EXPECT_EQ(m["text"].get<std::string>().rfind(suggestion, 0), 0u) << m["text"];
      EXPECT_EQ(m["title"], "提示");
      EXPECT_EQ(m["icon"], "information");
    }
  EXPECT_EQ(suggested, GetParam().suggestion ? 1 : 0);

  // A few rows against their manual designs: the first, the chosen, the last,
  // and for the close approach the pack the engineer found by hand. The
  // channels are those the window's boxes show after that design (a pure L
  // row once listed its count under H/M, the window under M/L).
  std::vector<json> probe = {rows.front(), rows.back()};
  for (const auto& r : rows)
    if (r["chosen"].get<bool>() || (r["model"] == "PX65L" && r["type"] == "H")) probe.push_back(r);
  for (const json& r : probe) {
    const json m = Manual(c, r);
    const json& ms = m["state"];
    const std::string at = r["model"].get<std::string>() + "-" + r["type"].get<std::string>();
    EXPECT_EQ(r["designation"], ms["plate_type"]) << at;
    for (const char* key : {"area", "k_service", "margin", "dp_h", "dp_c", "dp_max_h", "dp_max_c",
                            "v_port_h", "v_port_c", "fouling_out", "price", "weight", "plate_count",
                            "passes"})
      EXPECT_EQ(r[key], ms[key]) << at << " " << key;
    EXPECT_EQ(phe::FormatWhole(r["channels_hm"].get<double>()), m["controls"]["Txt_nh"]) << at;
    EXPECT_EQ(phe::FormatWhole(r["channels_ml"].get<double>()), m["controls"]["Txt_nl"]) << at;
  }
  if (!GetParam().example) {
    // The sheet's last page lists the rows in the same order.
    const std::string pdf = (dir_ / "sheet.pdf").string();
    Cli(c, " --sheet " + pdf);
    const std::string text = Capture("pdftotext -layout " + pdf + " -");
    size_t at = text.find("方案比较");
    ASSERT_NE(at, std::string::npos);
    for (const auto& r : rows) {
      at = text.find(r["model"].get<std::string>() + "-" + r["type"].get<std::string>() + " ", at);
      ASSERT_NE(at, std::string::npos) << r["designation"] << " missing or out of order on the sheet";
    }

    bool px65l = false;
    for (const auto& r : rows)
      if (r["model"] == "PX65L" && r["type"] == "H") px65l = r["status"] == "fits";
    EXPECT_TRUE(px65l) << "the hand-found PX65L-H must be offered as fitting";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlternativesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
