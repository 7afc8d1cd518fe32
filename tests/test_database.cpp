// The engineering database layer: interval conventions, column names, the
// case record, and opening damaged or missing files.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "db/database.h"
#include "state/selection_state.h"
#include "support/scratch.h"

namespace fs = std::filesystem;
using phe::ColumnSet;
using phe::Criterion;
using phe::Database;
using phe::DbError;

namespace {

// A scratch copy of br.mdb whose small tables each test can fill as it likes.
class ScratchDb : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = phe::testing::ScratchDir() /
           ("phe_db_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    path_ = (dir_ / "br.mdb").string();
    fs::copy_file(phe::DefaultDatabasePath(), path_, fs::copy_options::overwrite_existing);
    // The shipped file keeps the last case a program run stored.
    Sql("delete from br_prn");
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  void Sql(const std::string& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &h), SQLITE_OK);
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << err;
    sqlite3_close(h);
  }
  fs::path dir_;
  std::string path_;
};

}  // namespace

// Guards the interval conventions every lookup relies on: a whole degree equal
// to a property row's max_T belongs to the next row, a wall temperature equal
// to max_t belongs to its own conductivity row, and an area equal to max_f
// belongs to its own frame row.
TEST_F(ScratchDb, IntervalConventions) {
  Sql("delete from glycol; insert into glycol values (10, 11, 1.0, 0, 0, 0), (11, 12, 2.0, 0, 0, 0);"
      "delete from BPDRXS; insert into BPDRXS values (0, 10, 1.0, 0), (10, 20, 2.0, 0);"
      "delete from br_wx; insert into br_wx values ('PX50B', 0, 5, 1.0, 0, 0),"
      " ('PX50B', 5, 10, 2.0, 0, 0), ('PX65B', 0, 10, 3.0, 0, 0);");
  auto db = Database::Open(path_);
  struct Case {
    const char* table;
    Criterion c;
    double expect;  // value of the first numeric data column, or 0 for no match
  };
  const Case cases[] = {
      {"glycol", Criterion::LowInclusive("min_T", "max_T", 10), 1.0},
      {"glycol", Criterion::LowInclusive("min_T", "max_T", 10.999), 1.0},
      {"glycol", Criterion::LowInclusive("min_T", "max_T", 11), 2.0},
      {"glycol", Criterion::LowInclusive("min_T", "max_T", 12), 0},
      {"glycol", Criterion::LowInclusive("min_T", "max_T", 9.999), 0},
      {"BPDRXS", Criterion::LowExclusive("min_t", "max_t", 10), 1.0},
      {"BPDRXS", Criterion::LowExclusive("min_t", "max_t", 10.001), 2.0},
      {"BPDRXS", Criterion::LowExclusive("min_t", "max_t", 0), 0},
      {"BPDRXS", Criterion::LowExclusive("min_t", "max_t", 20), 2.0},
      {"br_wx", Criterion::ModelArea("PX50B", 5), 1.0},
      {"br_wx", Criterion::ModelArea("PX50B", 5.0001), 2.0},
      {"br_wx", Criterion::ModelArea("px50b", 10), 2.0},
      {"br_wx", Criterion::ModelArea("PX50B", 0), 0},
      {"br_wx", Criterion::ModelArea("PX65B", 7), 3.0},
      {"br_wx", Criterion::ModelArea("PX50B'; drop table br_wx; --", 7), 0},
  };
  for (const auto& c : cases) {
    auto rs = db->OpenRecordSet(c.table);
    const char* col = std::string(c.table) == "glycol" ? "R"
                      : std::string(c.table) == "BPDRXS" ? "SUS304"
                                                          : "L";
    const bool found = rs->FindFirst(c.c);
    SCOPED_TRACE(std::string(c.table) + " x=" + std::to_string(c.c.x));
    EXPECT_EQ(found, c.expect != 0);
    EXPECT_EQ(rs->NoMatch(), c.expect == 0);
    if (found) {
      EXPECT_DOUBLE_EQ(rs->Field(col), c.expect);
    }
  }
  // The text criterion above must not have touched the table.
  EXPECT_EQ(db->OpenRecordSet("br_wx")->RowCount(), 3u);
}

// Guards the keep-previous rule: a failed find must not move the record set to
// another row, so a caller that reads after a miss sees the last match.
TEST_F(ScratchDb, FailedFindKeepsPosition) {
  Sql("delete from glycol; insert into glycol values (10, 11, 1.0, 0, 0, 0), (11, 12, 2.0, 0, 0, 0);");
  auto db = Database::Open(path_);
  auto rs = db->OpenRecordSet("glycol");
  ASSERT_TRUE(rs->FindFirst(Criterion::LowInclusive("min_T", "max_T", 11.5)));
  EXPECT_FALSE(rs->FindFirst(Criterion::LowInclusive("min_T", "max_T", 50)));
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_DOUBLE_EQ(rs->Field("R"), 2.0);
}

// Column names come from the file in one spelling and are asked for in
// another ("min_T" and "min_t"); both must work, and a wrong name must fail
// loudly rather than read as 0.
TEST(Database, ColumnNamesIgnoreCaseAndUnknownOnesFail) {
  auto db = Database::Open(phe::DefaultDatabasePath());
  auto rs = db->OpenRecordSet("WATER");
  ASSERT_TRUE(rs->FindFirst(Criterion::LowInclusive("MIN_t", "max_T", 20)));
  EXPECT_DOUBLE_EQ(rs->Field("r"), rs->Field("R"));
  EXPECT_DOUBLE_EQ(rs->Field("cp"), rs->Field("cP"));
  EXPECT_GT(rs->Field("R"), 990.0);
  EXPECT_THROW(rs->Field("density"), DbError);
  EXPECT_THROW(rs->FindFirst(Criterion::LowInclusive("t_min", "max_T", 20)), DbError);
}

// Guards against a table name reaching SQL unchecked.
TEST(Database, UnknownTablesAreRefused) {
  auto db = Database::Open(phe::DefaultDatabasePath());
  for (const char* bad : {"sqlite_master", "water; drop table water", "oil", ""}) {
    try {
      db->OpenRecordSet(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const DbError& e) {
      EXPECT_NE(std::string(e.what()).find("unknown table"), std::string::npos);
    }
  }
}

// The case record must stay a single row however often it is written, and the
// second write must replace the first one's values.
TEST_F(ScratchDb, CaseRecordWrittenTwiceIsOneRow) {
  auto db = Database::Open(path_);
  ASSERT_TRUE(db->ReadCaseRecords().empty());
  db->WriteCaseRecord({{"mc_h", std::string("Water")}, {"Qh", 12.5}, {"Br", std::string("PX32-11")}});
  db->WriteCaseRecord({{"mc_h", std::string("Steam")}, {"Qh", 7.0}});
  const auto rows = db->ReadCaseRecords();
  ASSERT_EQ(rows.size(), 1u);
  auto value = [&](const std::string& name) -> phe::Cell {
    for (const auto& [col, cell] : rows[0])
      if (col == name) return cell;
    return {};
  };
  EXPECT_EQ(std::get<std::string>(value("mc_h")), "Steam");
  EXPECT_DOUBLE_EQ(std::get<double>(value("Qh")), 7.0);
  // Fields not written the second time keep the first run's values.
  EXPECT_EQ(std::get<std::string>(value("Br")), "PX32-11");
}

// A misspelt field must not be dropped silently, and the failed write must
// leave the stored record untouched.
TEST_F(ScratchDb, CaseRecordRejectsUnknownField) {
  auto db = Database::Open(path_);
  db->WriteCaseRecord({{"Qh", 1.0}});
  EXPECT_THROW(db->WriteCaseRecord({{"Qh", 2.0}, {"NoSuchField", 3.0}}), DbError);
  EXPECT_DOUBLE_EQ(std::get<double>(db->ReadCaseRecords()[0][3].second), 1.0);
}

// A read-only file still serves every lookup; only storing the case fails,
// with a message that names the file.
TEST_F(ScratchDb, ReadOnlyFileCalculatesButDoesNotStore) {
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
  // Root may write any file, so there the read-only opening is asked for.
  auto db = Database::Open(path_, geteuid() == 0);
  EXPECT_TRUE(db->read_only());
  EXPECT_TRUE(db->OpenRecordSet("water")->FindFirst(Criterion::LowInclusive("min_T", "max_T", 20)));
  try {
    db->WriteCaseRecord({{"Qh", 1.0}});
    ADD_FAILURE() << "stored into a read-only file";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find(path_), std::string::npos);
  }
}

// A missing, corrupt or incomplete database must end in a message naming the
// file, never a crash or a half-working program.
TEST_F(ScratchDb, BadFilesAreRefusedWithTheirName) {
  const std::string missing = (dir_ / "nothere.mdb").string();
  const std::string garbage = (dir_ / "garbage.mdb").string();
  std::ofstream(garbage) << "this is not a database, just some text long enough to have a header";
  const std::string partial = (dir_ / "partial.mdb").string();
  fs::copy_file(path_, partial);
  {
    sqlite3* h = nullptr;
    sqlite3_open(partial.c_str(), &h);
    sqlite3_exec(h, "drop table BPDRXS", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  // A missing column is refused at the start like a missing table, not in a run.
  const std::string no_column = (dir_ / "no_column.mdb").string();
  fs::copy_file(path_, no_column);
  {
    sqlite3* h = nullptr;
    sqlite3_open(no_column.c_str(), &h);
    sqlite3_exec(h, "alter table VG68 drop column V", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  try {
    Database::Open(no_column);
    ADD_FAILURE() << "opened a file without the column V of VG68";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find("\"V\" of the table \"VG68\""), std::string::npos)
        << e.what();
  }
  for (const auto& p : {missing, garbage, partial}) {
    try {
      Database::Open(p);
      ADD_FAILURE() << "opened " << p;
    } catch (const DbError& e) {
      EXPECT_NE(std::string(e.what()).find(p), std::string::npos) << e.what();
    }
  }
}

// Guards the save against a transaction left open after a failure (every
// later save of the session failed with "cannot start a transaction within a
// transaction" and every other program found the file locked) and against a
// lock reported as damage: after each fault the record is as before, the next
// save succeeds and another program can write at once.
TEST_F(ScratchDb, FailedSaveRollsBackAndFreesTheFile) {
  const struct {
    const char* name;
    const char* other_sql;  // run by another program, held during the save
    bool other_reads;       // the other program is in the middle of a read
    const char* reason;
  } faults[] = {
      {"another program writes", "begin immediate", false, "locked by another program"},
      {"another program reads while the save commits", nullptr, true,
       "locked by another program"},
      {"the update itself fails",
       "create trigger refuse before update on br_prn begin select raise(abort, 'no update'); end",
       false, "no update"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.name);
    Sql("delete from br_prn; drop trigger if exists refuse");
    auto db = Database::Open(path_);
    db->SetBusyTimeout(100);
    db->WriteCaseRecord({{"Qh", 1.0}});

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
    sqlite3_stmt* reading = nullptr;
    if (f.other_sql) {
      ASSERT_EQ(sqlite3_exec(other, f.other_sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    if (f.other_reads) {
      ASSERT_EQ(sqlite3_prepare_v2(other, "select * from water", -1, &reading, nullptr), SQLITE_OK);
      ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW);
    }
    try {
      db->WriteCaseRecord({{"Qh", 2.0}});
      ADD_FAILURE() << "the save went through";
    } catch (const DbError& e) {
      EXPECT_NE(std::string(e.what()).find(f.reason), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
    sqlite3_finalize(reading);
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);  // fails when none is open
    ASSERT_EQ(sqlite3_exec(other, "drop trigger if exists refuse", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);

    EXPECT_DOUBLE_EQ(std::get<double>(db->ReadCaseRecords()[0][3].second), 1.0);
    // The file is free for another program at once, and the session saves again.
    Sql("begin immediate; commit");
    EXPECT_NO_THROW(db->WriteCaseRecord({{"Qh", 3.0}}));
    EXPECT_DOUBLE_EQ(std::get<double>(db->ReadCaseRecords()[0][3].second), 3.0);
  }
}

// The command-line program must end with status 3 and the file's name when
// its database is missing.
TEST(Database, CliExitsWithStatus3OnMissingDatabase) {
  const std::string cmd = phe::ExecutableDir() +
                          "/pheselect-cli --db /nonexistent/br.mdb --case /dev/null 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[256];
  while (fgets(buf, sizeof buf, p)) out += buf;
  const int status = pclose(p);
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_NE(out.find("/nonexistent/br.mdb"), std::string::npos) << out;
}

// Every field of the record must start at 0 or empty: procedures rely on a
// never-assigned value reading as 0.
TEST(SelectionState, EveryFieldStartsEmpty) {
  phe::SelectionState s;
  int fields = 0;
  phe::for_each_field(s, [&](const char* name, const auto& v) {
    ++fields;
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, std::string>)
      EXPECT_TRUE(v.empty()) << name;
    else
      EXPECT_EQ(v, T{}) << name;
  });
  EXPECT_GT(fields, 250);
  EXPECT_EQ(s.db, nullptr);
}

// Finds bisect sorted interval tables and compute the row of evenly spaced
// ones; the answer must be the one a plain scan gives, also at the bounds
// and past the ends, by criterion and by resolved columns alike (the lookups
// of the sizing loops), and a table written out of order must still be
// searched correctly.
TEST_F(ScratchDb, SortedAndUnsortedTablesAnswerAlike) {
  Sql("delete from glycol; delete from VG10; delete from EG10; delete from EG15;"
      "insert into glycol values (-2, -1, 1, 0, 0, 0), (-1, 0, 2, 0, 0, 0), (0, 1, 3, 0, 0, 0),"
      " (1, 2, 4, 0, 0, 0), (3, 4, 5, 0, 0, 0);"
      "insert into VG10 values (1, 2, 4, 0, 0, 0), (-2, -1, 1, 0, 0, 0), (3, 4, 5, 0, 0, 0),"
      " (0, 1, 3, 0, 0, 0), (-1, 0, 2, 0, 0, 0);"
      "insert into EG10 values (-20, -10, 1, 0, 0, 0), (-10, 0, 2, 0, 0, 0), (0, 10, 3, 0, 0, 0),"
      " (10, 20, 4, 0, 0, 0);"
      "insert into EG15 values (10, 20, 4, 0, 0, 0), (-10, 0, 2, 0, 0, 0), (-20, -10, 1, 0, 0, 0),"
      " (0, 10, 3, 0, 0, 0);");
  auto db = Database::Open(path_);
  struct Pair {
    const char *sorted, *shuffled;
    double from, to, step;
  };
  for (const Pair& p : {Pair{"glycol", "VG10", -3, 5, 0.25}, Pair{"EG10", "EG15", -25, 25, 2.5}}) {
    auto sorted = db->OpenRecordSet(p.sorted);
    auto by_columns = db->OpenRecordSet(p.sorted);
    auto shuffled = db->OpenRecordSet(p.shuffled);
    for (bool inclusive : {true, false}) {
      const ColumnSet set{inclusive ? Criterion::Kind::kLowInclusiveHighExclusive
                                    : Criterion::Kind::kLowExclusiveHighInclusive,
                          {"min_T", "max_T", "R"}};
      const std::vector<int> c = by_columns->Columns(set);
      // Up and back down, so that the current row is both behind and ahead;
      // each point also a hair either side, where a computed row can round
      // into the neighbour (the smallest number below 0, less -20, is 20).
      std::vector<double> xs;
      const double inf = std::numeric_limits<double>::infinity();
      for (double x = p.from; x <= p.to; x += p.step)
        for (double y : {std::nextafter(x, -inf), x, std::nextafter(x, inf)}) xs.push_back(y);
      for (double x = p.to; x >= p.from; x -= p.step) xs.push_back(x);
      for (double x : xs) {
        const Criterion cr = inclusive ? Criterion::LowInclusive("min_T", "max_T", x)
                                       : Criterion::LowExclusive("min_t", "max_t", x);
        const bool a = sorted->FindFirst(cr);
        const bool b = shuffled->FindFirst(cr);
        const bool d = by_columns->FindFirst(set.kind, c[0], c[1], x);
        ASSERT_EQ(a, b) << p.sorted << " " << x << (inclusive ? " [)" : " (]");
        ASSERT_EQ(d, b) << p.sorted << " " << x << (inclusive ? " [)" : " (]");
        if (a) {
          EXPECT_EQ(sorted->Field("R"), shuffled->Field("R")) << x;
          EXPECT_EQ(by_columns->Field(c[2]), shuffled->Field("R")) << x;
        }
      }
    }
  }
  auto sorted = db->OpenRecordSet("glycol");
  // The gap between 2 and 3 holds nothing.
  EXPECT_FALSE(sorted->FindFirst(Criterion::LowInclusive("min_T", "max_T", 2.5)));
}
