// The command-line driver: what it refuses before running anything, and what
// it prints for a session of several runs.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "db/database.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

Result RunCli(const std::string& args) {
  const fs::path dir = phe::testing::ScratchDir() / ("phe_cli_" + std::to_string(getpid()));
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
    dir_ = phe::testing::ScratchDir() /
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
  const std::string long_text = "{\"Txt_Wq\": \"" + std::string(1001, '5') + "\"}";
  struct Case {
    const char* why;
    std::string json;  // written to case.json
    const char* args;  // after --db; {case} is case.json, {dir} its folder
    const char* said;  // part of the error line
  } const cases[] = {
      {"missing file", "", "--case {dir}/absent.json", "cannot read"},
      {"folder as case file (aborted with 134)", "", "--case {dir}", "is a folder"},
      {"invalid JSON", "{\"Txt_Wq\": ", "--case {case}", "not valid JSON"},
      {"number out of range (aborted with 134)", "{\"Txt_Wq\": 1e400}", "--case {case}",
       "out of range"},
      {"duplicate key (the last one was kept silently)",
       "{\"Txt_Wq\": \"500\", \"Txt_Wq\": \"5\"}", "--case {case}", "\"Txt_Wq\" appears twice"},
      {"text over 1000 characters (typing it was quadratic)", long_text, "--case {case}",
       "longer than 1000"},
      {"unknown control", "{\"Txt_Wq\": \"500\", \"Txt_Foo\": \"1\"}", "--case {case}",
       "Txt_Foo"},
      {"result box is not an input", "{\"Txt_K\": \"1\"}", "--case {case}", "Txt_K"},
      {"item not in its list names the valid ones", "{\"Com_jh\": \"Oil ISO VG47\"}",
       "--case {case}", "\"Oil ISO VG47\"; valid items: \"Water\", \"Steam\", \"Oil ISO VG10\""},
      {"bad option", "{\"calc\": \"rating\"}", "--case {case}", "calc"},
      {"bad value type", "{\"Txt_Wq\": true}", "--case {case}", "Txt_Wq"},
      {"project is not a text", "{\"project\": 7}", "--case {case}", "project"},
      {"bad run in a session", "{\"runs\": [{\"Txt_Wq\": \"500\"}, {\"Com_jc\": \"Steam\"}]}",
       "--case {case}", "Steam"},
      {"unknown option", "{}", "--case {case} --sheets x", "--sheets"},
      {"jobs without a batch", "{}", "--case {case} --jobs 2", "--jobs"},
      {"curves with a batch", "{}", "--batch {case} --out {dir}/o.csv --curves", "--curves"},
      {"batch without an output", "{}", "--batch {case}", "--out"},
      {"jobs not a count", "{}", "--batch {case} --out {dir}/o.csv --jobs 0", "--jobs"},
      {"output of unknown kind", "{}", "--batch {case} --out {dir}/o.txt", ".jsonl"},
      {"sheet over the database (left a PDF there)", "{}", "--case {case} --sheet {db}",
       "is the input"},
      {"sheet over a file of another kind", "{}", "--case {case} --sheet {dir}/notes.csv",
       "is not a PDF"},
      {"batch output is its input by another spelling (replaced the cases)", "{}",
       "--batch {dir}/same.jsonl --out {dir}/./same.jsonl", "is the input"},
      {"batch output over a foreign file", "{}", "--batch {case} --out {dir}/notes.csv",
       "is not a batch output"},
      {"endless device as case file (aborted with 134)", "", "--case /dev/zero",
       "not a regular file"},
      {"FIFO as case file (hung)", "", "--case {dir}/fifo", "not a regular file"},
  };
  Write("same.jsonl", "{}\n");
  Write("notes.csv", "a,b\n1,2\n");
  mkfifo((dir_ / "fifo").c_str(), 0600);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string file = Write("case.json", c.json);
    std::string args = c.args;
    for (const auto& [key, value] :
         {std::pair{"{case}", file}, {"{dir}", dir_.string()}, {"{db}", db_}})
      for (auto at = args.find(key); at != std::string::npos; at = args.find(key))
        args.replace(at, std::string(key).size(), value);
    const Result r = RunCli("--db " + db_ + " " + args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(phe::Database::Open(db_)->ReadCaseRecords().empty());
}

// The exit status tells a script whether every run produced a result; --help
// and --version answer without a case; list items are matched loosely.
TEST_F(CliTest, ExitStatusSaysWhetherEveryRunProducedAResult) {
  const std::string water = R"("Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "65")";
  Write("broken.mdb", "not a database");
  struct Case {
    const char* why;
    std::string json;
    const char* args;
    int status;
    const char* printed;  // part of standard output
  } const cases[] = {
      {"help lists every option", "", "--help", 0, "--batch IN --out OUT [--jobs N] [--db PATH]"},
      {"version", "", "--version", 0, "pheselect-cli " PHE_VERSION},
      {"loose list items choose the item", "{\"Com_jh\": \" water \", \"Com_jc\": \"WATER\", " +
           water + ", \"Txt_Wq\": \"500\"}",
       "--case {case}", 0, "\"Com_jh\": \"Water\""},
      {"a refused run still prints its JSON (exited 0)", "{" + water + "}", "--case {case}", 1,
       "换热量、介质流量缺失"},
      {"a refused run has no curves", "{" + water + "}", "--case {case} --curves", 1, "\"curves\": null"},
      {"a simulation's curves: 9 points a side, the 40 % hot point first",
       R"({"Txt_Th1": "90", "Txt_Tc1": "50", "Txt_Qh": "22.1", "Txt_Qc": "29.1", "selection": "manual",
           "calc": "simulate", "com_br": "PX50B", "com_zh": "L", "Txt_nh": "20", "Txt_nl": "0"})",
       "--case {case} --curves", 0, "\"hot\": [\n   {\n    \"dp_c\""},
      {"damaged database", "{" + water + "}", "--case {case} --db {dir}/broken.mdb", 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::string args = c.args;
    if (const auto at = args.find("{case}"); at != std::string::npos)
      args.replace(at, 6, Write("case.json", c.json));
    if (const auto at = args.find("{dir}"); at != std::string::npos)
      args.replace(at, 5, dir_.string());
    // A later --db would be refused as given twice, so the default goes first only when absent.
    const Result r = RunCli(args.find("--db") == std::string::npos ? "--db " + db_ + " " + args
                                                                   : args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.out.find(c.printed), std::string::npos) << r.out.substr(0, 400);
    if (r.out.find("\"curves\": {") != std::string::npos) {
      const auto j = nlohmann::json::parse(r.out);
      ASSERT_EQ(j["curves"]["hot"].size(), 9u);
      ASSERT_EQ(j["curves"]["cold"].size(), 9u);
      EXPECT_DOUBLE_EQ(j["curves"]["hot"][0]["flow_h"].get<double>(), 0.4 * 22.1);
      EXPECT_DOUBLE_EQ(j["curves"]["cold"][6]["duty"].get<double>(), j["state"]["duty"].get<double>());
    }
  }
  EXPECT_EQ(phe::Database::Open(db_)->ReadCaseRecords().size(), 1u);
}

// A batch: rows in input order whatever the number of threads, each case in a
// fresh session (a repeated case gives the same row), a bad case an "error"
// row while the batch goes on, and no case record stored. The same cases as
// JSON Lines, CSV and a folder of case files.
// Guards against a half-typed text judged as a value: "5e-05" (Python's
// str() of 0.00005) entered a character at a time read "5" first and warned
// "污垢系数太大" in the case and the batch though the window, which sets the
// whole text, did not; and against a message without its id or, with --lang
// en, its English text beside the Chinese one.
TEST_F(CliTest, ACaseTextIsEnteredWholeAndMessagesCarryTheirIdAndEnglish) {
  const std::string fine = R"({"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "110",
    "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "80", "Txt_Wq": "2000", "Txt_Rhc": "5e-05"})";
  const Result one = RunCli("--db " + db_ + " --case " + Write("fine.json", fine));
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(nlohmann::json::parse(one.out)["messages"], nlohmann::json::array());
  std::string line = fine;
  std::replace(line.begin(), line.end(), '\n', ' ');
  const std::string rows = (dir_ / "rows.csv").string();
  const Result batch =
      RunCli("--db " + db_ + " --batch " + Write("fine.jsonl", line + "\n") + " --out " + rows);
  ASSERT_EQ(batch.status, 0) << batch.err;
  std::ifstream in(rows);
  std::string header, row;
  std::getline(in, header);
  std::getline(in, row);
  EXPECT_EQ(row.substr(0, row.find(',', row.find(',') + 1) + 1), "line 1,ok,") << row;

  auto margin = nlohmann::json::parse(fine);
  margin["Txt_GF1"] = "150";
  for (const bool english : {false, true}) {
    const Result r = RunCli("--db " + db_ + (english ? " --lang en" : "") + " --case " +
                            Write("margin.json", margin.dump()));
    EXPECT_EQ(r.status, 1) << r.err;
    const auto messages = nlohmann::json::parse(r.out)["messages"];
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0]["id"], "input.margin");
    EXPECT_EQ(messages[0]["text"], "“设计裕量”必须介于0和100 %之间，请重新输入！");
    if (english)
      EXPECT_EQ(messages[0]["text_en"], "“Design margin” must lie between 0 and 100 %; please enter it again!");
    else
      EXPECT_FALSE(messages[0].contains("text_en"));
  }
}

TEST_F(CliTest, BatchRowsFollowTheInputAndStoreNothing) {
  const char* ok = R"({"name": "ok", "Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90",
    "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "65", "Txt_Wq": "500"})";
  const char* warn = R"({"name": "warn", "Com_jh": "Water", "Com_jc": "25% Glycol",
    "Txt_Th1": "65", "Txt_Th2": "35", "Txt_Tc1": "30", "Txt_Tc2": "35", "Txt_Wq": "3000",
    "Txt_Ph": "100", "Txt_Pc": "100", "selection": "manual", "calc": "check",
    "com_br": "PX65B", "com_zh": "HM", "Txt_nh": "22", "Txt_nl": "11"})";
  // The hot outlet above its inlet; a first case that changed the session
  // state would let the repeated "ok" case come out differently.
  const char* refused = R"({"name": "refused", "Com_jh": "oil iso vg46", "Txt_Th1": "60",
    "Txt_Th2": "80", "Txt_Tc1": "30", "Txt_Tc2": "36", "Txt_Wq": "60"})";
  auto unnamed = [](const char* c) {
    auto j = nlohmann::json::parse(c);
    j.erase("name");
    return j.dump();
  };
  auto one_line = [](std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
  };
  const std::string csv_header =
      "name,Com_jh,Com_jc,Txt_Th1,Txt_Th2,Txt_Tc1,Txt_Tc2,Txt_Wq,Txt_Ph,Txt_Pc,selection,calc,"
      "com_br,com_zh,Txt_nh,Txt_nl\n";
  const std::string csv_ok = "ok,Water,Water,90,70,50,65,500,,,,,,,,\n";
  struct Format {
    const char* why;
    std::function<std::string()> input;  // path of the batch input
    const char* out;
    const char* bad_name;
  } const formats[] = {
      {"JSON Lines, invalid line",
       [&] {
         return Write("in.jsonl", one_line(ok) + "\n" + one_line(warn) + "\n" + one_line(refused) +
                                      "\n{\"Txt_Wq\": \n\n" + one_line(ok) + "\n");
       },
       "out.jsonl", "line 4"},
      {"CSV, item not in its list",
       [&] {
         return Write("in.csv", csv_header + csv_ok +
                                    "warn,Water,25% Glycol,65,35,30,35,3000,100,100,manual,check,"
                                    "PX65B,HM,22,11\n"
                                    "refused,oil iso vg46,,60,80,30,36,60,,,,,,,,\n"
                                    "bad,Wasser,Water,90,70,50,65,500,,,,,,,,\n" +
                                    csv_ok);
       },
       "out.csv", "bad"},
      {"folder, duplicate key",
       [&] {
         // A case file has no name of its own: the file's name is it.
         fs::create_directories(dir_ / "in");
         Write("in/1.json", unnamed(ok));
         Write("in/2.json", unnamed(warn));
         Write("in/3.json", unnamed(refused));
         Write("in/4.json", R"({"Txt_Wq": "1", "Txt_Wq": "2"})");
         Write("in/5.json", unnamed(ok));
         Write("in/notes.txt", "not a case");
         return (dir_ / "in").string();
       },
       "out.jsonl", "4.json"},
  };
  for (const auto& f : formats) {
    SCOPED_TRACE(f.why);
    const std::string out = (dir_ / f.out).string();
    const Result r = RunCli("--db " + db_ + " --batch " + f.input() + " --out " + out + " --jobs 2");
    EXPECT_EQ(r.status, 1) << r.err;  // a refused and a bad case
    EXPECT_TRUE(r.out.empty());
    // Standard error is not a terminal: the bad case and the summary only.
    EXPECT_NE(r.err.find("pheselect-cli: " + std::string(f.bad_name) + ": "), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("5 cases in"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 ok, 1 warning, 1 refused, 1 error"), std::string::npos) << r.err;

    std::ifstream in(out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    const std::vector<std::string> statuses = {"ok", "warning", "refused", "error", "ok"};
    if (std::string(f.out).ends_with(".csv")) {
      ASSERT_EQ(lines.size(), 6u);
      EXPECT_EQ(lines[0].rfind("\xEF\xBB\xBFname,status,messages,designation,", 0), 0u);
      for (size_t i = 0; i < statuses.size(); ++i)
        EXPECT_EQ(lines[i + 1].substr(lines[i + 1].find(',') + 1, statuses[i].size() + 1),
                  statuses[i] + ",");
      EXPECT_EQ(lines[1], lines[5]);
      continue;
    }
    ASSERT_EQ(lines.size(), 5u);
    std::vector<nlohmann::json> rows;
    for (const auto& l : lines) rows.push_back(nlohmann::json::parse(l));
    for (size_t i = 0; i < statuses.size(); ++i) EXPECT_EQ(rows[i]["status"], statuses[i]) << i;
    EXPECT_EQ(rows[3]["name"], f.bad_name);
    EXPECT_TRUE(rows[0]["messages"].empty());
    EXPECT_GT(rows[0]["area_m2"].get<double>(), 0);
    EXPECT_GT(rows[0]["k_w_m2c"].get<double>(), 0);
    EXPECT_FALSE(rows[1]["messages"].empty());
    EXPECT_TRUE(rows[2]["designation"].is_null());
    rows[4].erase("name"), rows[0].erase("name");
    EXPECT_EQ(rows[4], rows[0]);
  }
  EXPECT_TRUE(phe::Database::Open(db_)->ReadCaseRecords().empty());
}

// "-" is standard input for --case and --batch and standard output for --out:
// the same case or rows as through files, bad or endless input refused as a
// file is, and no PDF mixed into the JSON on standard output.
TEST_F(CliTest, DashIsStandardInputAndOutput) {
  const std::string one = R"({"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70", )"
                          R"("Txt_Tc1": "50", "Txt_Tc2": "65", "Txt_Wq": "500"})";
  const std::string two = R"({"name": "b", "Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "80", )"
                          R"("Txt_Th2": "60", "Txt_Tc1": "40", "Txt_Tc2": "55", "Txt_Wq": "300"})";
  const std::string case_file = Write("case.json", one);
  const std::string batch_file = Write("in.jsonl", one + "\n" + two + "\n");
  const Result by_file = RunCli("--db " + db_ + " --case " + case_file);
  ASSERT_EQ(by_file.status, 0) << by_file.err;
  const std::string rows_file = (dir_ / "rows.jsonl").string();
  ASSERT_EQ(RunCli("--db " + db_ + " --batch " + batch_file + " --out " + rows_file).status, 0);
  std::ifstream rows_in(rows_file);
  const std::string rows((std::istreambuf_iterator<char>(rows_in)), {});
  ASSERT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);

  struct Case {
    const char* why;
    std::string in;    // standard input, unless args redirect it
    const char* args;  // after --db
    int status;
    std::string out;   // standard output, whole
    const char* said;  // part of the one line on standard error; nullptr: nothing said
  } const cases[] = {
      {"case on standard input runs as its file", one, "--case -", 0, by_file.out, nullptr},
      {"empty standard input", "", "--case -", 2, "", "the case on standard input is not valid JSON"},
      {"endless standard input (read without bound)", "", "--case - < /dev/zero", 2, "",
       "the case on standard input is larger than 64 MB"},
      {"invalid JSON on standard input", "{\"Txt_Wq\": ", "--case -", 2, "",
       "the case on standard input is not valid JSON"},
      {"batch of JSON Lines to standard output gives the file's rows", one + "\n" + two + "\n",
       "--batch - --out -", 0, rows, "2 ok, 0 warning, 0 refused, 0 error"},
      {"CSV on standard input (no name tells its kind)", "name,Txt_Wq\na,500\n",
       "--batch - --out -", 2, "", "standard input is read as JSON Lines"},
      {"sheet on standard output would mix a PDF into the JSON", one, "--case - --sheet -", 2, "",
       "--sheet needs a file name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string in = Write("stdin", c.in);
    std::string args = c.args;
    if (args.find('<') == std::string::npos) args += " < " + in;
    const Result r = RunCli("--db " + db_ + " " + args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, c.out);
    if (!c.said) {
      EXPECT_TRUE(r.err.empty()) << r.err;
      continue;
    }
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

// Batches as spreadsheets save them: GBK text (the "CSV" of Chinese Windows),
// a byte-order mark, ";" or tab separators, empty rows and empty columns at the
// right give the rows of the plain UTF-8 file; the output carries the mark a
// spreadsheet needs, the values the run completed, and numbers as the window
// shows them.
TEST_F(CliTest, SpreadsheetCsvGivesThePlainRows) {
  const std::vector<std::string> plain = {"name,Com_jh,Txt_Th1,Txt_Th2,Txt_Tc1,Txt_Tc2,Txt_Wq",
                                          "\xE6\x8D\xA2\xE7\x83\xAD\xE7\xAB\x99,Water,90,70,50,65,500",
                                          "wide,Water,90,70,50,65,\xEF\xBC\x95\xEF\xBC\x90\xEF\xBC\x90"};
  auto joined = [](std::vector<std::string> lines, const std::string& sep, const std::string& end) {
    std::string text;
    for (auto& l : lines) {
      std::replace(l.begin(), l.end(), ',', sep[0]);
      text += l + end;
    }
    return text;
  };
  const std::string gbk_name = "\xBB\xBB\xC8\xC8\xD5\xBE", gbk_wide = "\xA3\xB5\xA3\xB0\xA3\xB0";
  const struct {
    const char* why;
    std::string text;
  } inputs[] = {
      {"plain UTF-8", joined(plain, ",", "\n")},
      {"byte-order mark, CR LF", "\xEF\xBB\xBF" + joined(plain, ",", "\r\n")},
      {"GBK", joined({plain[0], gbk_name + ",Water,90,70,50,65,500",
                      "wide,Water,90,70,50,65," + gbk_wide}, ",", "\r\n")},
      {"semicolons", joined(plain, ";", "\n")},
      {"tabs", joined(plain, "\t", "\n")},
      {"empty rows and columns", plain[0] + ",,\n,,,,,,,,\n" + plain[1] + ",,\n\n" + plain[2] + "\n,,,,\n"},
  };
  std::string first;
  for (const auto& in : inputs) {
    SCOPED_TRACE(in.why);
    const std::string out = (dir_ / "out.csv").string();
    const Result r = RunCli("--db " + db_ + " --batch " + Write("in.csv", in.text) + " --out " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream f(out, std::ios::binary);
    const std::string rows(std::istreambuf_iterator<char>(f), {});
    if (first.empty()) {
      first = rows;
      ASSERT_TRUE(rows.starts_with("\xEF\xBB\xBFname,status,messages,")) << rows;
      EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 3) << rows;
      // The flows left empty come back as the run worked them out, with the
      // window's four digits; the duty typed in full-width digits is 500 kW.
      const std::string header = rows.substr(0, rows.find('\r'));
      EXPECT_NE(header.find(",duty_kw,flow_hot_m3h,flow_cold_m3h,t_hot_in_c,"), std::string::npos);
      EXPECT_NE(rows.find("\r\n\xE6\x8D\xA2\xE7\x83\xAD\xE7\xAB\x99,ok,"), std::string::npos) << rows;
      EXPECT_NE(rows.find(",500.0,22.07,29.13,90.0,70.0,50.0,65.0\r\n"), std::string::npos) << rows;
      EXPECT_NE(rows.find("\r\nwide,ok,"), std::string::npos) << rows;
    }
    EXPECT_EQ(rows, first);
  }
}

// An output is replaced only by a whole new one: a batch that cannot start
// leaves the old output as it was, a place that cannot be written is said
// with status 4. A folder entry that cannot be read is skipped, a CSV cell
// that is not UTF-8 is an error row, and a cell a spreadsheet would run as a
// formula is written as text.
TEST_F(CliTest, OutputsAreWrittenWholeAndInputsCellByCell) {
  Write("broken.mdb", "not a database");
  const std::string old_out = "name,status,messages,designation\r\nold,ok,,PX\r\n";
  const std::string out = Write("out.csv", old_out);
  const std::string in = Write("in.csv",
                               "name,Com_jh,Txt_Th1,Txt_Th2,Txt_Tc1,Txt_Tc2,Txt_Wq\n"
                               "=HYPERLINK(1),Water,90,70,50,65,500\n"
                               "-5,Water,90,70,50,65,500\n"
                               "bad,Water,90,70,50,65,\xff\xfe\n");
  auto slurp = [](const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  Result r = RunCli("--db " + (dir_ / "broken.mdb").string() + " --batch " + in + " --out " + out);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_EQ(slurp(out), old_out);  // was emptied before the database was opened
  r = RunCli("--db " + db_ + " --batch " + in + " --out " + (dir_ / "absent" / "o.csv").string());
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;

  r = RunCli("--db " + db_ + " --batch " + in + " --out " + out);
  EXPECT_EQ(r.status, 1) << r.err;
  const std::string rows = slurp(out);
  EXPECT_NE(rows.find("\r\n'=HYPERLINK(1),ok,"), std::string::npos) << rows;
  EXPECT_NE(rows.find("\r\n-5,ok,"), std::string::npos) << rows;
  EXPECT_NE(rows.find("\r\nrow 3,error,\"column \"\"Txt_Wq\"\" is neither UTF-8 nor GBK"),
            std::string::npos)
      << rows;
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4);
  for (const auto& e : fs::directory_iterator(dir_))
    EXPECT_FALSE(e.path().filename().string().starts_with(".phe")) << "temporary file left";

  fs::create_directories(dir_ / "cases");
  Write("cases/a.json", R"({"Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50", "Txt_Tc2": "65",
                            "Txt_Wq": "500"})");
  fs::create_symlink(dir_ / "gone.json", dir_ / "cases" / "b.json");
  r = RunCli("--db " + db_ + " --batch " + (dir_ / "cases").string() + " --out " +
             (dir_ / "o.jsonl").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("skipped \"" + (dir_ / "cases" / "b.json").string()), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("1 cases in"), std::string::npos) << r.err;
#ifdef PHE_CLI_WRITES_SHEETS
  const std::string c = Write("case.json", R"({"Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50",
                                               "Txt_Tc2": "65", "Txt_Wq": "500"})");
  r = RunCli("--db " + db_ + " --case " + c + " --sheet " + (dir_ / "absent" / "s.pdf").string());
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("sheet not written"), std::string::npos) << r.err;
#endif
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
  ASSERT_EQ(r.status, 1) << r.err;  // the third run is refused
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
