// Builds the engineering database from the reviewable sources in data/:
// schema.sql creates the tables, and every <table>.csv (header line = column
// names) fills the table of its name. Numbers are read in the C locale.
//
//   mkdb DATA_DIR OUTPUT_FILE
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& msg) {
  std::cerr << "mkdb: " << msg << "\n";
  std::exit(1);
}

std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cur += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cur += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      out.push_back(cur);
      cur.clear();
    } else if (c != '\r') {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

// strtod honours the C locale, which is the only locale this tool runs in.
bool ParseNumber(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  v = std::strtod(s.c_str(), &end);
  return errno == 0 && end && *end == '\0';
}

void Exec(sqlite3* db, const std::string& sql, const std::string& what) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK)
    Fail(what + ": " + (err ? err : "unknown error"));
}

std::string Quote(const std::string& ident) {
  std::string q = "\"";
  for (char c : ident) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

void LoadCsv(sqlite3* db, const fs::path& file) {
  const std::string table = file.stem().string();
  std::ifstream in(file);
  if (!in) Fail("cannot read " + file.string());
  std::string line;
  if (!std::getline(in, line)) Fail(file.string() + " is empty");
  const auto columns = SplitCsv(line);
  // Appended piece by piece: g++ 12 warns falsely on "literal" + temporary.
  std::string sql = "insert into ";
  sql += Quote(table);
  sql += " (";
  std::string marks;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) sql += ",";
    sql += Quote(columns[i]);
    marks += i ? ",?" : "?";
  }
  sql += ") values (" + marks + ")";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    Fail(file.string() + ": " + sqlite3_errmsg(db));
  int lineno = 1;
  while (std::getline(in, line)) {
    ++lineno;
    if (line.empty() || line == "\r") continue;
    const auto cells = SplitCsv(line);
    if (cells.size() != columns.size())
      Fail(file.string() + ":" + std::to_string(lineno) + ": expected " +
           std::to_string(columns.size()) + " cells, found " + std::to_string(cells.size()));
    sqlite3_reset(st);
    for (size_t i = 0; i < cells.size(); ++i) {
      double v;
      const int idx = static_cast<int>(i) + 1;
      if (cells[i].empty())
        sqlite3_bind_null(st, idx);
      else if (ParseNumber(cells[i], v))
        sqlite3_bind_double(st, idx, v);
      else
        sqlite3_bind_text(st, idx, cells[i].c_str(), -1, SQLITE_TRANSIENT);
    }
    if (sqlite3_step(st) != SQLITE_DONE)
      Fail(file.string() + ":" + std::to_string(lineno) + ": " + sqlite3_errmsg(db));
  }
  sqlite3_finalize(st);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: mkdb DATA_DIR OUTPUT_FILE");
  const fs::path data = argv[1];
  const fs::path out = argv[2];
  const fs::path tmp = out.string() + ".tmp";
  std::error_code ec;
  fs::remove(tmp, ec);

  std::ifstream schema_in(data / "schema.sql");
  if (!schema_in) Fail("cannot read " + (data / "schema.sql").string());
  std::stringstream schema;
  schema << schema_in.rdbuf();

  sqlite3* db = nullptr;
  if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) Fail("cannot create " + tmp.string());
  Exec(db, schema.str(), "schema.sql");
  Exec(db, "begin", "begin");
  std::vector<fs::path> csvs;
  for (const auto& e : fs::directory_iterator(data))
    if (e.path().extension() == ".csv") csvs.push_back(e.path());
  std::sort(csvs.begin(), csvs.end());
  for (const auto& f : csvs) LoadCsv(db, f);
  Exec(db, "commit", "commit");
  sqlite3_close(db);
  fs::rename(tmp, out, ec);
  if (ec) Fail("cannot write " + out.string() + ": " + ec.message());
  return 0;
}
