// Case files written for the window: they must read back through the
// command line's own reader exactly as they were written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "driver/case_driver.h"
#include "driver/case_file.h"

namespace phe {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class CaseFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("phe_casefile_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

// Guards against a writer that loses or retypes what was typed: texts turned
// into JSON numbers ("1e3" would read back as "1000"), swapped option
// mappings, a dropped project/item/customer, escaped or mangled UTF-8.
TEST_F(CaseFileTest, WrittenCaseReadsBackToTheSameInputs) {
  CaseInput full;
  full.project = "热力站改造 2号";
  full.item = "HX-01";
  full.customer = "Müller & Söhne";
  full.selection_option = 3;
  full.calc_option = 5;
  full.controls = {{"Com_jc", "25% Glycol"}, {"Com_jh", "Oil ISO VG46"}, {"Txt_Th1", "1e3"},
                   {"Txt_Tc1", "0"},         {"Txt_Qh", "1,5"},           {"Txt_Rhc", "0.00015"},
                   {"Txt_N", " 2 "},         {"com_br", "PX100B"},        {"com_zh", "HM"},
                   {"Txt_nh", "10"},         {"Txt_nl", ""}};
  CaseInput automatic;
  automatic.selection_option = 2;
  automatic.calc_option = 4;
  automatic.controls = {{"Txt_Wq", "500"}};
  const CaseInput empty;

  for (const CaseInput* in : std::initializer_list<const CaseInput*>{&full, &automatic, &empty}) {
    const fs::path path = dir_ / "case.phe.json";
    WriteCaseFile(path.string(), *in);
    bool several = true;
    const auto back = ParseCaseFile(path.string(), &several);
    EXPECT_FALSE(several);
    ASSERT_EQ(back.size(), 1u);
    // The reader keeps no key order; the driver enters in focus order anyway.
    using Controls = std::map<std::string, std::string>;
    EXPECT_EQ(Controls(back[0].controls.begin(), back[0].controls.end()),
              Controls(in->controls.begin(), in->controls.end()));
    EXPECT_EQ(back[0].selection_option, in->selection_option);
    EXPECT_EQ(back[0].calc_option, in->calc_option);
    EXPECT_EQ(back[0].project, in->project);
    EXPECT_EQ(back[0].item, in->item);
    EXPECT_EQ(back[0].customer, in->customer);
  }
  // Readable as typed, not as \u escapes.
  WriteCaseFile((dir_ / "case.phe.json").string(), full);
  EXPECT_NE(Slurp(dir_ / "case.phe.json").find("热力站改造 2号"), std::string::npos);
}

// Guards against a save that replaces a good file by one the reader refuses,
// or leaves its temporary file behind.
TEST_F(CaseFileTest, ACaseTheReaderRefusesLeavesTheOldFileAsItWas) {
  const fs::path path = dir_ / "case.phe.json";
  CaseInput good;
  good.controls = {{"Txt_Wq", "500"}};
  WriteCaseFile(path.string(), good);
  const std::string before = Slurp(path);

  CaseInput bad;
  bad.controls = {{"com_br", "PX999"}};
  EXPECT_THROW(WriteCaseFile(path.string(), bad), CaseError);
  EXPECT_THROW(WriteCaseFile((dir_ / "no such folder" / "x.phe.json").string(), good), CaseError);
  EXPECT_EQ(Slurp(path), before);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1);
}

// Guards the session reader that hands the runs over one at a time instead of
// holding the whole document (a session of 400,000 runs held 220 MB and every
// run's messages): it must accept and refuse exactly what the whole-document
// reader does, with the same cases in the same order.
TEST(CaseReaderTest, StreamedRunsAreTheWholeDocumentsCases) {
  const char* const kTexts[] = {
      R"({"Txt_Wq": "500", "calc": "check"})",
      R"({"runs": [{"Txt_Wq": "500"}, {}, {"com_br": " px100b ", "selection": "manual"}]})",
      R"({"runs": []})",
      R"({"runs": [{"Txt_Wq": "1", "Txt_Th1": "90"}], "Txt_Wq": "5"})",  // a key beside runs
      R"({"Txt_Wq": "5", "runs": [{}]})",
      R"({"runs": {"Txt_Wq": "5"}})",                                   // runs not an array
      R"({"runs": [5]})",                                               // a run not an object
      R"({"runs": [{"runs": [{}]}]})",                                  // runs inside a run
      R"({"runs": [{"Txt_Wq": "1"}, {"Txt_Wq": "1", "Txt_Wq": "2"}]})",  // a key twice in a run
      R"({"runs": [{"Txt_Wq": "1"}, {"Txt_Wq": 1e400}]})",
      R"({"runs": [{"Txt_Wq": "1"}, {"Txt_Wq": "1"})",                  // cut short
      R"({"runs": [{"project": "热力站", "Txt_Qh": 12.5, "Com_jh": "water"}]})",
      R"([{"Txt_Wq": "500"}])",
  };
  for (const char* text : kTexts) {
    SCOPED_TRACE(text);
    std::vector<CaseInput> whole;
    bool several = false;
    std::string whole_error, streamed_error;
    try {
      // The plain parser keeps the last of a key given twice; the reader refuses it.
      if (std::string(text).find(R"("Txt_Wq": "1", "Txt_Wq")") != std::string::npos)
        throw CaseError("key twice");
      whole = ParseCases(nlohmann::json::parse(text), &several);
    } catch (const std::exception& e) {
      whole_error = e.what();
    }
    std::vector<CaseInput> streamed;
    try {
      const CaseReader r = CaseReader::FromText(text, "t");
      EXPECT_EQ(r.several(), several);
      EXPECT_EQ(r.size(), whole.size());
      streamed = r.All();
    } catch (const CaseError& e) {
      streamed_error = e.what();
    }
    EXPECT_EQ(streamed_error.empty(), whole_error.empty()) << streamed_error << " / " << whole_error;
    ASSERT_EQ(streamed.size(), whole.size());
    for (size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(streamed[i].controls, whole[i].controls);
      EXPECT_EQ(streamed[i].selection_option, whole[i].selection_option);
      EXPECT_EQ(streamed[i].calc_option, whole[i].calc_option);
      EXPECT_EQ(streamed[i].project, whole[i].project);
    }
  }
}

}  // namespace
}  // namespace phe
