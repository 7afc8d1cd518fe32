// The calculation sheet as pheselect-cli writes it, read back with poppler's
// pdftotext and pdffonts: it must repeat the window's own result texts of the
// same run, close its "Q = K·A·ΔTm" line with the printed numbers, embed its
// fonts, and be refused when the last run showed no result.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/numeric.h"
#include "db/database.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

struct Output {
  int status = -1;
  std::string out;
};

Output Capture(const std::string& cmd) {
  Output r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  r.status = WEXITSTATUS(pclose(p));
  return r;
}

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef PHE_CLI_WRITES_SHEETS
    GTEST_SKIP() << "Qt was not found at build time: pheselect-cli writes no sheets";
#endif
    dir_ = phe::testing::ScratchDir() /
           ("phe_sheet_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    db_ = (dir_ / "br.mdb").string();
    fs::copy_file(phe::DefaultDatabasePath(), db_, fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Output Cli(const std::string& args) {
    return Capture(phe::ExecutableDir() + "/pheselect-cli --db " + db_ + " " + args + " 2>" +
                   (dir_ / "stderr").string());
  }
  std::string Stderr() const {
    std::ifstream e(dir_ / "stderr");
    return {std::istreambuf_iterator<char>(e), {}};
  }
  fs::path dir_;
  std::string db_;
};

// Words of a line with brackets and separators taken off their ends.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string w;
  const std::string strip = "()（）,，:：";
  while (in >> w) {
    while (!w.empty() && strip.find(w.back()) != std::string::npos) w.pop_back();
    while (!w.empty() && strip.find(w.front()) != std::string::npos) w.erase(0, 1);
    if (!w.empty()) out.push_back(w);
  }
  return out;
}

// Whether some line holding `caption` also holds every expected word, in order.
bool LineShows(const std::string& text, const std::string& caption,
               const std::vector<std::string>& expected) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find(caption) == std::string::npos) continue;
    const auto words = Words(line);
    auto at = words.begin();
    bool all = true;
    for (const auto& e : expected) {
      at = std::find(at, words.end(), e);
      if (at == words.end()) {
        all = false;
        break;
      }
      ++at;
    }
    if (all) return true;
  }
  return false;
}

bool HasHan(const std::string& s) {
  // UTF-8 lead bytes E4..E9 start the CJK unified ideographs U+4E00..U+9FFF.
  for (size_t i = 0; i + 2 < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0xE4 && c <= 0xE9) return true;
  }
  return false;
}

// Each shipped example, in each language: the sheet repeats the designation,
// duty, K, area, LMTD and both pressure drops exactly as the window shows
// them, its Q = K·A·ΔTm line holds within 0.5 % with its own rounded
// numbers, its margin line gives the window's margin, and a simulation's
// effectiveness working gives its duty. Guards against a sheet that formats results on its own and
// drifts from the window, against rounding that breaks the check line, and
// against text that cannot be searched: digits of shaped glyphs once came out
// of the PDF without their characters, and 面 of 换热面积 as the radical ⾯.
TEST_F(SheetTest, ExamplesRepeatTheWindowsResults) {
  struct Caption {
    const char* zh;
    const char* en;
    std::vector<std::string> controls;  // "@Br": the designation
  };
  const std::vector<Caption> captions = {
      {"型号规格", "Designation", {"@Br"}},
      {"换热量", "Duty", {"Txt_Wq"}},
      {"所需传热系数", "Required coefficient", {"Txt_K"}},
      {"换热面积", "Heat-transfer area", {"Txt_F"}},
      {"平均温差", "LMTD", {"Txt_TM"}},
      {"计算压降", "Calculated pressure drop", {"Txt_Ph1", "Txt_Pc1"}},
      {"总压降", "Total pressure drop", {"Txt_Ph1", "Txt_Pc1"}},
  };
  const std::regex check(R"(Q = K·A·ΔTm = ([0-9.]+) × ([0-9.]+) × ([0-9.]+) = ([0-9.]+) kW)");
  const std::regex margin(R"(100 × \(([0-9.]+) / ([0-9.]+) − 1\) → (-?[0-9]+) %)");
  // A simulation's working finds the pack's duty from its coefficient and area.
  const std::regex simulated(R"(Q = ε·Cmin·\(Th1 − Tc1\) = [0-9.]+ × [0-9.]+ × [0-9.]+ = ([0-9.]+) kW)");
  for (const char* example : {"water_water_auto", "steam_heater", "oil_cooler",
                              "manual_hm_design", "check_mixed_pack", "simulate_pack"}) {
    for (const std::string lang : {"zh", "en"}) {
      SCOPED_TRACE(std::string(example) + " " + lang);
      const std::string pdf = (dir_ / (std::string(example) + "_" + lang + ".pdf")).string();
      const Output run = Cli("--case " + std::string(PHE_SOURCE_DIR) + "/examples/" + example +
                             ".json --sheet " + pdf + " --lang " + lang);
      ASSERT_EQ(run.status, 0) << Stderr();
      const auto out = nlohmann::json::parse(run.out);
      const auto& controls = out["controls"];
      const Output text = Capture("pdftotext -layout " + pdf + " -");
      ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed";

      for (const auto& c : captions) {
        std::vector<std::string> expected;
        for (const auto& name : c.controls)
          expected.push_back(name == "@Br" ? out["state"]["plate_type"].get<std::string>()
                                           : controls[name].get<std::string>());
        EXPECT_TRUE(LineShows(text.out, lang == "zh" ? c.zh : c.en, expected))
            << (lang == "zh" ? c.zh : c.en) << " " << expected.front();
      }

      std::smatch m;
      ASSERT_TRUE(std::regex_search(text.out, m, check)) << text.out;
      const double duty = phe::Val(controls["Txt_Wq"].get<std::string>());
      const double product = std::stod(m[1]) * std::stod(m[2]) * std::stod(m[3]) / 1000;
      EXPECT_NEAR(product, duty, 0.005 * duty) << m[0];
      EXPECT_NEAR(std::stod(m[4]), duty, 0.005 * duty) << m[0];
      if (std::string(example) == "simulate_pack") {
        ASSERT_TRUE(std::regex_search(text.out, m, simulated)) << text.out;
        EXPECT_NEAR(std::stod(m[1]), duty, 0.0005 * duty) << m[0];
      }
      // The margin worked out on the sheet is the one the window shows
      // (whole percent, truncated toward zero).
      ASSERT_TRUE(std::regex_search(text.out, m, margin)) << text.out;
      const double worked = 100 * (std::stod(m[1]) / std::stod(m[2]) - 1);
      const double shown = std::stod(m[3]);
      EXPECT_EQ(m[3].str(), controls["Txt_GF"].get<std::string>());
      EXPECT_NEAR(worked, shown + (shown >= 0 ? 0.5 : -0.5), 0.51) << m[0];

      if (lang == "en") {
        // Every caption is English; only the run's own messages stay Chinese.
        const auto from = text.out.find("Warnings");
        const auto to = text.out.find("Temperature", from);
        ASSERT_NE(from, std::string::npos);
        EXPECT_FALSE(HasHan(text.out.substr(0, from)) || HasHan(text.out.substr(to)));
      }

      const Output fonts = Capture("pdffonts " + pdf);
      ASSERT_EQ(fonts.status, 0);
      std::istringstream rows(fonts.out);
      std::string row;
      int listed = 0;
      std::getline(rows, row);
      std::getline(rows, row);
      while (std::getline(rows, row)) {
        ++listed;
        EXPECT_NE(row.find("NotoSansCJK"), std::string::npos) << row;
        // Columns from the right: emb sub uni object-id generation.
        const auto cells = Words(row);
        ASSERT_GE(cells.size(), 5u) << row;
        EXPECT_EQ(cells[cells.size() - 5], "yes") << "not embedded: " << row;
      }
      EXPECT_GT(listed, 0);
    }
  }
}

// Only a run that showed its results has a sheet: when the last run of a
// session is refused, the results of the earlier run must not be passed off
// as its sheet.
TEST_F(SheetTest, NoSheetWhenTheLastRunShowsNoResult) {
  const std::string pdf = (dir_ / "refused.pdf").string();
  const std::string file = (dir_ / "case.json").string();
  std::ofstream(file) << R"({"runs": [
    {"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70",
     "Txt_Tc1": "50", "Txt_Tc2": "65", "Txt_Wq": "500", "project": "P-1"},
    {"Txt_Th2": "95"}]})";
  const Output run = Cli("--case " + file + " --sheet " + pdf);
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_NE(Stderr().find("without a result"), std::string::npos) << Stderr();
  // The runs themselves are still reported.
  EXPECT_EQ(nlohmann::json::parse(run.out).size(), 2u);
}

}  // namespace
