// Completion of the heat balance when Run is pressed: the missing duty, flow
// or temperature of each side, the 0.1 degC searches and their bounds, steam
// flows, and the guards on the property data.
//
// Expected values are worked out here from the two table rows around each
// mean temperature, read through a record set of the test's own.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "ui/input_panel.h"
#include "base/numeric.h"
#include "workflow/run_command.h"
#include "support/typing.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace phe {
namespace {

struct Entry {
  std::string control;
  std::string text;
};

struct Session {
  explicit Session(const std::string& db_path = DefaultDatabasePath())
      : db(Database::Open(db_path, /*read_only=*/true)) {
    s.db = db.get();
    Form_Load(s, env);
  }

  void Type(const std::string& control, const std::string& text) {
    testing::TypeKeys(form, s, env, control, text);
  }

  void Choose(const std::string& list, const std::string& item) {
    form.SetListIndex(list, form.FindItem(list, item));
    if (const Handler lost = LostFocusHandler(list)) lost(s, env);
  }

  void Fill(const std::string& hot, const std::vector<Entry>& typed,
            const std::vector<Entry>& written = {}) {
    Choose("Com_jc", "Water");
    Choose("Com_jh", hot);
    for (const auto& e : typed) Type(e.control, e.text);
    // Text the program wrote into a box (an earlier run's balance written
    // back) is not an entry: its flag stays as it was.
    for (const auto& e : written) form.SetText(e.control, e.text);
  }

  std::map<std::string, std::string> Boxes() const { return testing::Boxes(form); }

  std::unique_ptr<Database> db;
  HeadlessForm form;
  Env env{form};
  SelectionState s;
};

// Property values of the water table worked out by hand from its rows.
struct Water {
  std::unique_ptr<Database> db = Database::Open(DefaultDatabasePath(), true);
  std::unique_ptr<RecordSet> rs = db->OpenRecordSet("water");

  double Row(double t, const char* column) {
    EXPECT_TRUE(rs->FindFirst(Criterion::LowInclusive("min_T", "max_T", t))) << t;
    return rs->Field(column);
  }
  double At(double t, const char* column) {
    const double t0 = std::trunc(t);
    const double p0 = Row(t0, column);
    return t == t0 ? p0 : p0 + (Row(t0 + 1, column) - p0) * (t - t0);
  }
  double RhoCp(double t) { return At(t, "R") * At(t, "cP"); }
  // Heat of a side between a known and a trial temperature, W.
  double Heat(double flow, double known, double trial) {
    return flow * RhoCp((known + trial) / 2) * std::fabs(trial - known) / 3.6;
  }
};

// A computed flow or duty is written back to at least four significant
// digits: one decimal changed the duty by up to 8 % when typed in again.
::testing::AssertionResult Shows(const std::string& text, double x) {
  if (std::fabs(Val(text) - x) <= 5e-4 * std::fabs(x)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" for " << x;
}

// Guards against the first liquid case: duty from the complete hot side at its
// mean temperature, then the missing cold flow at the cold mean; written back
// to four digits, the entry flags untouched.
TEST(Balance, LiquidDutyFromHotSideThenColdFlow) {
  Water w;
  Session r;
  r.Fill("Water", {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
                   {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  const double duty = 10 * w.RhoCp(70) * 20 / 3.6;
  const double flow_c = 3.6 * duty / (w.RhoCp(35) * 30);
  EXPECT_NEAR(r.s.duty, duty, 1e-6);
  EXPECT_NEAR(r.s.flow_c, flow_c, 1e-9);
  EXPECT_EQ(r.s.t_h_mean, 70);
  EXPECT_EQ(r.s.t_c_mean, 35);
  // Water near 70 degC carries about 977.8 * 4.19 kJ/(m3.degC): 228 kW.
  EXPECT_NEAR(r.s.duty, 227.6e3, 3e3);
  EXPECT_TRUE(Shows(r.form.Text("Txt_Wq"), duty / 1000));
  EXPECT_TRUE(Shows(r.form.Text("Txt_Qc"), flow_c));
  EXPECT_EQ(r.form.Text("Txt_Qh"), "10.0");
  EXPECT_EQ(r.form.Text("Txt_Th1"), "80.0");
  EXPECT_EQ(r.s.given_flow_c, 0) << "a computed value is not an entry";
  EXPECT_EQ(r.s.given_duty, 0.0f);
}

// Guards against the second liquid case: duty from the cold side, then the
// missing hot flow.
TEST(Balance, LiquidDutyFromColdSideThenHotFlow) {
  Water w;
  Session r;
  r.Fill("Water", {{"Txt_Qc", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
                   {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  const double duty = 10 * w.RhoCp(35) * 30 / 3.6;
  EXPECT_NEAR(r.s.duty, duty, 1e-6);
  EXPECT_NEAR(r.s.flow_h, 3.6 * duty / (w.RhoCp(70) * 20), 1e-9);
  EXPECT_TRUE(Shows(r.form.Text("Txt_Qh"), r.s.flow_h));
}

// Guards against the given-duty case computing one side only: both flows come
// from the duty.
TEST(Balance, GivenDutyGivesBothFlows) {
  Water w;
  Session r;
  r.Fill("Water", {{"Txt_Wq", "200"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
                   {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  EXPECT_EQ(r.s.duty, 200000);
  EXPECT_NEAR(r.s.flow_h, 3.6 * 200000 / (w.RhoCp(70) * 20), 1e-9);
  EXPECT_NEAR(r.s.flow_c, 3.6 * 200000 / (w.RhoCp(35) * 30), 1e-9);
  EXPECT_EQ(r.form.Text("Txt_Wq"), "200.0");
}

// Guards against the search stopping on the grid: for a duty whose exact
// cold outlet is 45.04 degC above an inlet of 20 degC, the grid step below it
// (45.0) left the cold side short of the duty; the result is the temperature
// inside the last step where the side's heat meets the duty.
TEST(Balance, SearchSolvesTheTemperatureInsideTheLastStep) {
  Water w;
  const double duty = w.Heat(10, 20, 45.04);
  ASSERT_LT(w.Heat(10, 20, 45.0), duty);

  Session r;
  char wq[64];
  std::snprintf(wq, sizeof wq, "%.9f", duty / 1000);
  r.Fill("Water",
         {{"Txt_Wq", wq}, {"Txt_Qc", "10"}, {"Txt_Tc1", "20"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}},
         {{"Txt_Tc2", "30.0"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  EXPECT_NEAR(r.s.t_c_out, 45.04, 1e-6);
  EXPECT_EQ(r.form.Text("Txt_Tc2"), "45.04");
  EXPECT_NEAR(r.s.t_c_out_trial, 45.1, 1e-9);
  EXPECT_NEAR(r.s.q_part, r.s.duty, 1e-6 * r.s.duty);
}

struct SearchCase {
  const char* name;
  const char* hot;
  std::vector<Entry> typed;
  std::vector<Entry> written;
  const char* result_box;
  double known;  // the fixed temperature of the searched side
  int dir;       // +1 upward, -1 downward
};

// Guards against each of the searches: the side's heat between the known and
// the found temperature is the duty, and the box shows it to 0.01 degC.
TEST(Balance, EverySearchClosesOnTheDuty) {
  const SearchCase cases[] = {
      {"cold inlet, duty from the hot side", "Water",
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Qc", "20"}, {"Txt_Tc2", "50"}},
       {}, "Txt_Tc1", 50, -1},
      {"hot outlet, duty from the cold side", "Water",
       {{"Txt_Qc", "10"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}, {"Txt_Qh", "20"}, {"Txt_Th1", "80"}},
       {{"Txt_Th2", "70.0"}}, "Txt_Th2", 80, -1},
      {"hot inlet, duty from the cold side", "Water",
       {{"Txt_Qc", "10"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}, {"Txt_Qh", "20"}, {"Txt_Th2", "60"}},
       {{"Txt_Th1", "90.0"}}, "Txt_Th1", 60, +1},
      {"hot outlet, given duty", "Water",
       {{"Txt_Wq", "200"}, {"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}},
       {{"Txt_Th2", "70.0"}}, "Txt_Th2", 80, -1},
      {"cold inlet, given duty", "Water",
       {{"Txt_Wq", "200"}, {"Txt_Qc", "10"}, {"Txt_Tc2", "50"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}},
       {}, "Txt_Tc1", 50, -1},
      {"cold outlet, given duty", "Water",
       {{"Txt_Wq", "200"}, {"Txt_Qc", "10"}, {"Txt_Tc1", "20"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}},
       {{"Txt_Tc2", "30.0"}}, "Txt_Tc2", 20, +1},
      {"cold outlet, steam", "Steam",
       {{"Txt_Wq", "300"}, {"Txt_Th1", "120"}, {"Txt_Qc", "10"}, {"Txt_Tc1", "20"}},
       {{"Txt_Tc2", "30.0"}}, "Txt_Tc2", 20, +1},
  };
  Water w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session r;
    r.Fill(c.hot, c.typed, c.written);
    ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
    ASSERT_TRUE(r.form.messages.empty());
    const std::string box = c.result_box;
    const double result = box == "Txt_Tc1"   ? r.s.t_c_in
                          : box == "Txt_Tc2" ? r.s.t_c_out
                          : box == "Txt_Th1" ? r.s.t_h_in
                                             : r.s.t_h_out;
    const bool hot_side = box.rfind("Txt_Th", 0) == 0;
    const double flow = hot_side ? r.s.flow_h : r.s.flow_c;
    EXPECT_GT((result - c.known) * c.dir, 0);
    EXPECT_NEAR(w.Heat(flow, c.known, result), r.s.duty, 1e-6 * r.s.duty) << result;
    EXPECT_NEAR(Val(r.form.Text(c.result_box)), result, 0.005 + 1e-9);
  }
}

// Guards against the steam balance: the steam mass flow carries the duty with
// the latent heat of the row at the steam temperature, and the steam volume
// flow uses that row's vapour density; the cold flow follows from the duty.
TEST(Balance, SteamFlowsFromTheDuty) {
  Water w;
  auto row = w.db->OpenRecordSet("water");
  ASSERT_TRUE(row->FindFirst(Criterion::LowInclusive("min_t", "max_t", 133.3)));
  const double latent = row->Field("Ic");
  const double vapour = row->Field("Rz");

  Session r;
  r.Fill("Steam", {{"Txt_Wq", "500"}, {"Txt_Th1", "133.3"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  EXPECT_NEAR(r.s.steam_flow, 3.6 * 500000 / latent, 1e-9);
  EXPECT_NEAR(r.s.flow_h, 3.6 * 500000 / latent / vapour, 1e-9);
  EXPECT_NEAR(r.s.flow_c, 3.6 * 500000 / (w.RhoCp(35) * 30), 1e-9);
  EXPECT_TRUE(Shows(r.form.Text("Txt_Qh"), r.s.flow_h));
  // About 2160 kJ/kg near 133 degC: some 830 kg/h of steam for 500 kW.
  EXPECT_NEAR(r.s.steam_flow, 833, 20);

  // Duty from the complete cold side instead.
  Session q;
  q.Fill("Steam", {{"Txt_Qc", "10"}, {"Txt_Th1", "133.3"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(q.s, q.env));
  const double duty = 10 * w.RhoCp(35) * 30 / 3.6;
  EXPECT_NEAR(q.s.duty, duty, 1e-6);
  EXPECT_NEAR(q.s.steam_flow, 3.6 * duty / latent, 1e-9);
  EXPECT_NEAR(q.s.flow_h, 3.6 * duty / latent / vapour, 1e-9);
}

// Guards against the steam case without duty and with an incomplete cold
// side: it passes validation and the balance stays as entered.
TEST(Balance, SteamWithoutDutyAndIncompleteColdSideStaysAsEntered) {
  Session r;
  r.Fill("Steam", {{"Txt_Qc", "10"}, {"Txt_Th1", "120"}, {"Txt_Tc2", "50"}});
  ASSERT_TRUE(RunValidateAndBalance(r.s, r.env));
  EXPECT_TRUE(r.form.messages.empty());
  EXPECT_EQ(r.s.duty, 0);
  EXPECT_EQ(r.s.flow_h, 0);
  EXPECT_EQ(r.s.steam_flow, 0);
  EXPECT_EQ(r.form.Text("Txt_Wq"), "0.0");
}

struct BoundCase {
  const char* name;
  const char* hot;
  std::vector<Entry> typed;
  std::vector<Entry> written;
  const char* quantity;
};

// Guards against a search that never ends: one whose trial passes the other
// side's inlet, or leaves the property table, ends the run with an error
// naming the quantity; no box changes.
TEST(Balance, UnreachableDutyEndsTheSearchWithAMessage) {
  const BoundCase cases[] = {
      {"cold outlet above the hot inlet", "Water",
       {{"Txt_Wq", "100000"}, {"Txt_Qc", "10"}, {"Txt_Tc1", "20"}, {"Txt_Th1", "80"},
        {"Txt_Th2", "60"}},
       {{"Txt_Tc2", "30.0"}}, "冷介质出口温度"},
      {"cold outlet above the steam temperature", "Steam",
       {{"Txt_Wq", "100000"}, {"Txt_Th1", "120"}, {"Txt_Qc", "10"}, {"Txt_Tc1", "20"}},
       {{"Txt_Tc2", "30.0"}}, "冷介质出口温度"},
      {"hot outlet below the cold inlet", "Water",
       {{"Txt_Qc", "100"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}, {"Txt_Qh", "1"}, {"Txt_Th1", "80"}},
       {{"Txt_Th2", "70.0"}}, "热介质出口温度"},
      {"cold inlet out of the table", "Water",
       {{"Txt_Qh", "1000"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Qc", "1"}, {"Txt_Tc2", "50"}},
       {}, "冷介质进口温度"},
      {"hot inlet out of the table", "Water",
       {{"Txt_Qc", "1000"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}, {"Txt_Qh", "1"}, {"Txt_Th2", "60"}},
       {{"Txt_Th1", "90.0"}}, "热介质进口温度"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Session r;
    r.Fill(c.hot, c.typed, c.written);
    const auto boxes = r.Boxes();
    EXPECT_FALSE(RunValidateAndBalance(r.s, r.env));
    ASSERT_EQ(r.form.messages.size(), 1u);
    const RecordedMessage& m = r.form.messages[0];
    EXPECT_EQ(m.text.rfind("热平衡", 0), 0u) << m.text;
    EXPECT_NE(m.text.find(c.quantity), std::string::npos) << m.text;
    EXPECT_EQ(m.title, "错误");
    EXPECT_EQ(m.icon, MsgIcon::kCritical);
    EXPECT_EQ(m.buttons, MsgButtons::kOk);
    EXPECT_EQ(r.Boxes(), boxes);
  }
}

// A copy of the shipped database with one statement applied to it.
struct AlteredDatabase {
  explicit AlteredDatabase(const std::string& sql) {
    path = (phe::testing::ScratchDir() /
            ("phe_balance_" + std::to_string(getpid()) + "_" + std::to_string(++count) + ".mdb"))
               .string();
    fs::copy_file(DefaultDatabasePath(), path, fs::copy_options::overwrite_existing);
    sqlite3* h = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &h), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    EXPECT_GT(sqlite3_changes(h), 0) << sql;
    sqlite3_close(h);
  }
  ~AlteredDatabase() {
    std::error_code ec;
    fs::remove(path, ec);
  }
  std::string path;
  static inline int count = 0;
};

struct DataCase {
  const char* name;
  const char* sql;  // empty: the shipped data
  const char* hot;
  std::vector<Entry> typed;
  const char* names;  // what the message must name
};

// Guards against dividing by a missing or zero property, and against a
// balance at a temperature outside every row silently using old values: the
// run ends with an error naming the medium.
TEST(Balance, MissingPropertyDataEndsTheRun) {
  const DataCase cases[] = {
      {"hot mean in a gap of the table", "delete from water where min_T between 68 and 72",
       "Water",
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}},
       "热介质（Water）"},
      {"zero specific heat of the cold side", "update water set cP = 0 where min_T in (35, 36)",
       "Water",
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}},
       "冷介质（Water）"},
      {"missing density of the hot side", "update water set R = null where min_T = 70", "Water",
       {{"Txt_Wq", "200"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Tc1", "20"},
        {"Txt_Tc2", "50"}},
       "热介质（Water）"},
      {"missing latent heat", "update water set Ic = null where min_T = 120", "Steam",
       {{"Txt_Wq", "300"}, {"Txt_Th1", "120.5"}, {"Txt_Tc1", "20"}, {"Txt_Tc2", "50"}}, "蒸汽"},
      {"zero cold density inside a search", "update water set R = 0 where min_T = 20", "Water",
       {{"Txt_Qh", "10"}, {"Txt_Th1", "80"}, {"Txt_Th2", "60"}, {"Txt_Qc", "20"},
        {"Txt_Tc2", "21"}},
       "冷介质（Water）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AlteredDatabase> altered;
    if (*c.sql) altered = std::make_unique<AlteredDatabase>(c.sql);
    Session r(altered ? altered->path : DefaultDatabasePath());
    r.Fill(c.hot, c.typed);
    const auto boxes = r.Boxes();
    EXPECT_FALSE(RunValidateAndBalance(r.s, r.env));
    ASSERT_EQ(r.form.messages.size(), 1u);
    const RecordedMessage& m = r.form.messages[0];
    EXPECT_EQ(m.text.rfind("物性数据", 0), 0u) << m.text;
    EXPECT_NE(m.text.find(c.names), std::string::npos) << m.text;
    EXPECT_EQ(m.title, "错误");
    EXPECT_EQ(m.icon, MsgIcon::kCritical);
    EXPECT_EQ(r.Boxes(), boxes);
    for (const char* box : {"Txt_Wq", "Txt_Qh", "Txt_Qc"})
      EXPECT_EQ(r.form.Text(box).find("inf"), std::string::npos);
  }
}

}  // namespace
}  // namespace phe
