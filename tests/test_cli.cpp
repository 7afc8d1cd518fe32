// The command-line driver: what it refuses before running anything, and what
// it prints for a session of several runs.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "db/database.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

Result RunCli(const std::string& args) {
  const fs::path dir = fs::temp_directory_path() / ("phe_cli_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string err_file = (dir / "stderr").string();
  const std::string cmd = phe::ExecutableDir() + "/pheselect-cli " + args + " 2>" + err_file;
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  r.status = WEXITSTATUS(pclose(p));
  {
    std::ifstream e(err_file);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return r;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("phe_cli_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    db_ = (dir_ / "br.mdb").string();
    fs::copy_file(phe::DefaultDatabasePath(), db_, fs::copy_options::overwrite_existing);
    sqlite3* h = nullptr;
    sqlite3_open(db_.c_str(), &h);
    sqlite3_exec(h, "delete from br_prn", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string p = (dir_ / name).string();
    std::ofstream(p) << text;
    return p;
  }
  fs::path dir_;
  std::string db_;
};

// Bad input must be refused with one line on standard error and status 2,
// before any run could store a case record.
TEST_F(CliTest, BadInputIsRefusedBeforeAnythingRuns) {
  struct Case {
    const char* why;
    const char* json;  // nullptr: the file does not exist
    const char* said;  // part of the error line
  } const cases[] = {
      {"missing file", nullptr, "cannot read"},
      {"invalid JSON", "{\"Txt_Wq\": ", "not valid JSON"},
      {"unknown control", "{\"Txt_Wq\": \"500\", \"Txt_Foo\": \"1\"}", "Txt_Foo"},
      {"result box is not an input", "{\"Txt_K\": \"1\"}", "Txt_K"},
      {"item not in its list", "{\"Com_jh\": \"Oil ISO VG47\"}", "Oil ISO VG47"},
      {"bad option", "{\"calc\": \"rating\"}", "calc"},
      {"bad value type", "{\"Txt_Wq\": true}", "Txt_Wq"},
      {"bad run in a session", "{\"runs\": [{\"Txt_Wq\": \"500\"}, {\"Com_jc\": \"Steam\"}]}",
       "Steam"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string file =
        c.json ? Write("case.json", c.json) : (dir_ / "absent.json").string();
    const Result r = RunCli("--db " + db_ + " --case " + file);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(phe::Database::Open(db_)->ReadCaseRecords().empty());
}

// A session keeps the state between runs as the window does: the second run
// only changes the duty and reuses everything typed before.
TEST_F(CliTest, SessionOfRunsKeepsTheState) {
  const std::string file = Write("case.json", R"({"runs": [
    {"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70",
     "Txt_Tc1": "50", "Txt_Tc2": "65", "Txt_Wq": "500"},
    {"Txt_Wq": "250"},
    {"Txt_Th2": "95"}]})");
  const Result r = RunCli("--db " + db_ + " --case " + file);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto out = nlohmann::json::parse(r.out);
  ASSERT_TRUE(out.is_array());
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0]["controls"]["Txt_Wq"], "500.0");
  EXPECT_EQ(out[1]["controls"]["Txt_Wq"], "250.0");
  EXPECT_EQ(out[1]["controls"]["Txt_Th1"], "90.0");
  // Half the duty at the same temperatures needs half the flow.
  EXPECT_NEAR(out[1]["state"]["flow_h"].get<double>(),
              out[0]["state"]["flow_h"].get<double>() / 2, 1e-9);
  EXPECT_FALSE(out[1]["report"].is_null());
  // The third run is refused: its message names the hot temperatures, and no
  // case record is reported for it.
  ASSERT_EQ(out[2]["messages"].size(), 1u);
  EXPECT_EQ(out[2]["messages"][0]["focus"], "Txt_Th1");
  EXPECT_EQ(out[2]["messages"][0]["icon"], "critical");
  EXPECT_TRUE(out[2]["report"].is_null());
  for (const char* key : {"duty", "plate_type", "k_service", "given_duty"})
    EXPECT_TRUE(out[0]["state"].contains(key)) << key;
}

}  // namespace
