#include "db/database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>

namespace phe {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Column names are ASCII; std::tolower is a library call per letter, and the
// sizing loops look columns up by name millions of times.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

double AsNumber(const Cell& c) {
  if (const double* d = std::get_if<double>(&c)) return *d;
  return 0.0;
}

// Quotes an identifier that has already been checked against the schema.
std::string QuoteIdent(std::string_view name) {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

const std::vector<std::string> kMediumTables = {
    "water", "glycol", "VG10",  "VG22",  "VG32",  "VG46",  "VG68",
    "VG100", "VG150",  "VG220", "VG320", "VG460", "SAE10", "SAE20",
    "SAE30", "SAE40",  "SAE50", "SAE60", "SAE70",
    "EG10",  "EG15",   "EG20",  "EG25",  "EG30",  "EG35",  "EG40",
    "EG45",  "EG50",   "EG55",  "EG60",
    "PG10",  "PG15",   "PG20",  "PG25",  "PG30",  "PG35",  "PG40",
    "PG45",  "PG50",   "PG55",  "PG60"};

const std::array<const char*, 6> kOtherTables = {"BPDRXS", "br_wx", "br_prn", "br_cs", "media",
                                                  "gaskets"};

// Columns the program reads or writes, per table ("" stands for every medium
// table); a file without one is refused when it is opened, not in a run.
struct TableColumns {
  const char* table;
  std::vector<const char*> columns;
};

const std::vector<TableColumns> kColumns = {
    {"", {"min_T", "max_T", "R", "cP", "L", "V"}},
    {"water", {"Ic", "Rz", "Cpz", "Lz", "Vz"}},
    {"BPDRXS", {"min_t", "max_t", "SUS304", "SUS316"}},
    {"br_wx", {"Br", "min_f", "max_f", "L", "B", "H"}},
    {"media", {"tbl", "T_f"}},
    {"gaskets", {"material", "T_min", "T_max", "water", "steam", "glycol", "oil"}},
    {"br_prn",
     {"mc_h", "mc_c", "Qc",   "Qh",   "G",    "Tc1",  "Tc2", "Th1", "Th2", "Tc",  "Th",  "Rc",
      "Rh",   "Rz",   "Cpc",  "Cph",  "Cpz",  "Lc",   "Lh",  "Lz",  "Vc",  "Vh",  "Vz",  "Prc",
      "Prh",  "Wq",   "TM",   "RHC",  "K",    "GF",   "Br",  "F",   "m",   "N",   "Dh",  "Dz",
      "CZ",   "YB",   "Wlc",  "Wlh",  "WC",   "WH",   "REC", "REH", "Pc1", "Ph1", "Pc2", "Ph2",
      "Pc3",  "Ph3",  "Taoh", "Taoc", "PG1",  "PG",   "Bpc", "BPH", "Dpc", "D1",  "D2",  "L",
      "B",    "H",    "W",    "NUM",  "Y1",   "Y2",   "Y",   "jh",  "jc",  "ch",  "cc"}},
};

// Seconds a statement waits for another program to release the file.
constexpr int kBusySeconds = 5;

bool IsLock(int rc) {
  rc &= 0xFF;
  return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

// Why a statement on the file failed, in words that tell a lock from damage.
std::string Reason(sqlite3* h, int rc, int busy_ms) {
  if (IsLock(rc))
    return "the file is locked by another program (still busy after " +
           std::to_string(busy_ms) + " ms)";
  return sqlite3_errmsg(h);
}

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

}  // namespace

int TableData::ColumnIndex(std::string_view column) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (EqualNoCase(columns[i], column)) return static_cast<int>(i);
  return -1;
}

const TableData::Numbers& TableData::Index() const {
  std::call_once(indexed_, [this] {
    Numbers& n = numbers_;
    n.width = columns.size();
    n.rows = rows.size();
    n.cells.reserve(rows.size() * n.width);
    for (const auto& row : rows)
      for (size_t i = 0; i < n.width; ++i) n.cells.push_back(i < row.size() ? AsNumber(row[i]) : 0.0);
    // Interval tables are written in ascending order; when one is, finds bisect.
    const int lo = ColumnIndex("min_T"), hi = ColumnIndex("max_T");
    if (lo < 0 || hi < 0) return;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].size() != n.width) return;
      const Cell& l = rows[i][lo];
      const Cell& h = rows[i][hi];
      if (!std::holds_alternative<double>(l) || !std::holds_alternative<double>(h)) return;
      if (!(std::get<double>(l) < std::get<double>(h))) return;
      if (i > 0 && !(std::get<double>(rows[i - 1][hi]) <= std::get<double>(l))) return;
    }
    n.sorted_lo = lo;
    n.sorted_hi = hi;
    n.even_rows = !rows.empty();
    const double first = rows.empty() ? 0 : std::get<double>(rows[0][lo]);
    const double step = rows.empty() ? 1 : std::get<double>(rows[0][hi]) - first;
    for (size_t i = 0; i < rows.size() && n.even_rows; ++i)
      n.even_rows = std::get<double>(rows[i][lo]) == first + step * static_cast<double>(i) &&
                    std::get<double>(rows[i][hi]) == first + step * static_cast<double>(i + 1);
    n.even_first = first;
    n.even_step = step;
    n.even_count = static_cast<double>(rows.size());
  });
  return numbers_;
}

Criterion Criterion::LowInclusive(std::string lo, std::string hi, double x) {
  return {Kind::kLowInclusiveHighExclusive, std::move(lo), std::move(hi), x, {}};
}

Criterion Criterion::LowExclusive(std::string lo, std::string hi, double x) {
  return {Kind::kLowExclusiveHighInclusive, std::move(lo), std::move(hi), x, {}};
}

Criterion Criterion::ModelArea(std::string model, double area) {
  return {Kind::kModelArea, "min_f", "max_f", area, std::move(model)};
}

RecordSet::RecordSet(std::shared_ptr<const TableData> table)
    : table_(std::move(table)), numbers_(&table_->Index()) {
  if (!table_->rows.empty()) current_ = 0;
}

bool RecordSet::FindFirst(const Criterion& c) {
  const int lo = table_->ColumnIndex(c.lo_column);
  const int hi = table_->ColumnIndex(c.hi_column);
  if (lo < 0 || hi < 0)
    throw DbError("table \"" + table_->name + "\" has no column \"" +
                  (lo < 0 ? c.lo_column : c.hi_column) + "\"");
  if (c.kind != Criterion::Kind::kModelArea) return FindInterval(c.kind, lo, hi, c.x);
  const int br = table_->ColumnIndex("Br");
  if (br < 0) throw DbError("table \"" + table_->name + "\" has no column \"Br\"");
  const auto& rows = table_->rows;
  const size_t width = numbers_->width;
  const double* cells = numbers_->cells.data();
  for (size_t i = 0; i < rows.size(); ++i) {
    // The numbers first: they rule out most rows without a text comparison.
    const double l = cells[i * width + static_cast<size_t>(lo)];
    const double h = cells[i * width + static_cast<size_t>(hi)];
    if (!(l < c.x && h >= c.x)) continue;
    const std::string* m = std::get_if<std::string>(&rows[i][br]);
    if (m && EqualNoCase(*m, c.model)) {
      current_ = static_cast<long>(i);
      no_match_ = false;
      return true;
    }
  }
  no_match_ = true;
  ++misses_;
  return false;
}

bool RecordSet::FindFirst(const ColumnSet& set, double x) {
  const std::vector<int>& c = Columns(set);
  return FindInterval(set.kind, c[0], c[1], x);
}

size_t RecordSet::RowsStartingBy(bool inclusive, int lo, double x) const {
  const size_t width = numbers_->width;
  const double* cells = numbers_->cells.data();
  size_t first = 0, count = numbers_->rows;
  while (count > 0) {
    const size_t half = count / 2;
    const double l = cells[(first + half) * width + static_cast<size_t>(lo)];
    if (inclusive ? l <= x : l < x) {
      first += half + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return first;
}

bool RecordSet::FindInterval(Criterion::Kind kind, int lo, int hi, double x) {
  const bool inclusive = kind == Criterion::Kind::kLowInclusiveHighExclusive;
  const size_t width = numbers_->width;
  const double* cells = numbers_->cells.data();
  const size_t n = table_->rows.size();
  auto holds = [&](size_t row) {
    const double l = cells[row * width + lo];
    const double h = cells[row * width + hi];
    return inclusive ? l <= x && h > x : l < x && h >= x;
  };
  auto found = [&](size_t row) {
    current_ = static_cast<long>(row);
    no_match_ = false;
    return true;
  };
  if (lo == numbers_->sorted_lo && hi == numbers_->sorted_hi) {
    // No two rows overlap, so a row holding x is the first one. Lookups walk
    // the table in whole degrees: the current row or a neighbour is the usual answer.
    if (current_ >= 0) {
      const size_t cur = static_cast<size_t>(current_);
      if (holds(cur)) return found(cur);
      if (cur + 1 < n && holds(cur + 1)) return found(cur + 1);
      if (cur > 0 && holds(cur - 1)) return found(cur - 1);
    }
    // Only the last interval starting at or below x can hold it.
    const size_t first = RowsStartingBy(inclusive, lo, x);
    if (first > 0 && holds(first - 1)) return found(first - 1);
    no_match_ = true;
    ++misses_;
    return false;
  }
  for (size_t i = 0; i < n; ++i)
    if (holds(i)) return found(i);
  no_match_ = true;
  ++misses_;
  return false;
}

bool RecordSet::ValueSpan(Criterion::Kind kind, int lo, int hi, int value, double x_lo, double x_hi,
                          double& v_lo, double& v_hi, std::vector<double>* values) const {
  const TableData::Numbers& n = *numbers_;
  if (lo != n.sorted_lo || hi != n.sorted_hi || n.rows == 0 || !(x_lo <= x_hi)) return false;
  const bool inclusive = kind == Criterion::Kind::kLowInclusiveHighExclusive;
  auto cell = [&](size_t row, int column) { return n.cells[row * n.width + static_cast<size_t>(column)]; };
  auto above = [&](double h, double x) { return inclusive ? h > x : h >= x; };
  // The last row starting at or below x_lo is the only one that can hold it.
  const size_t first = RowsStartingBy(inclusive, lo, x_lo);
  if (first == 0) return false;
  size_t row = first - 1;
  if (!above(cell(row, hi), x_lo)) return false;
  v_lo = v_hi = cell(row, value);
  bool numbers = !std::isnan(v_lo);
  if (values) values->assign(1, v_lo);
  // Each next row must start where the one before ends, until one holds x_hi.
  while (!above(cell(row, hi), x_hi)) {
    if (row + 1 >= n.rows || cell(row + 1, lo) != cell(row, hi)) return false;
    ++row;
    const double v = cell(row, value);
    numbers = numbers && !std::isnan(v);
    if (values) values->push_back(v);
    v_lo = std::min(v_lo, v);
    v_hi = std::max(v_hi, v);
  }
  return numbers;
}

const std::vector<int>& RecordSet::Resolve(const ColumnSet& set) const {
  for (size_t i = 0; i < resolved_.size(); ++i)
    if (resolved_[i].first == &set) {
      last_ = i;
      return *resolved_[i].second;
    }
  resolved_.emplace_back(&set, &table_->ColumnsOf(set));
  last_ = resolved_.size() - 1;
  return *resolved_.back().second;
}

const std::vector<int>& TableData::ColumnsOf(const ColumnSet& set) const {
  const std::lock_guard<std::mutex> lock(resolving_);
  for (const auto& [known, columns] : resolved_)
    if (known == &set) return *columns;
  auto columns = std::make_unique<std::vector<int>>();
  for (const std::string& column : set.names) {
    const int idx = ColumnIndex(column);
    if (idx < 0) throw DbError("table \"" + name + "\" has no column \"" + column + "\"");
    columns->push_back(idx);
  }
  resolved_.emplace_back(&set, std::move(columns));
  return *resolved_.back().second;
}

void RecordSet::NoCurrentRow() const {
  throw DbError("table \"" + table_->name + "\" has no current row");
}

const Cell& RecordSet::CellAt(std::string_view column) const {
  const int idx = table_->ColumnIndex(column);
  if (idx < 0)
    throw DbError("table \"" + table_->name + "\" has no column \"" + std::string(column) + "\"");
  if (current_ < 0) throw DbError("table \"" + table_->name + "\" has no current row");
  return table_->rows[static_cast<size_t>(current_)][static_cast<size_t>(idx)];
}

double RecordSet::Field(std::string_view column) const { return AsNumber(CellAt(column)); }

bool RecordSet::ColumnSpan(std::string_view column, double& lo, double& hi) const {
  const int idx = table_->ColumnIndex(column);
  if (idx < 0)
    throw DbError("table \"" + table_->name + "\" has no column \"" + std::string(column) + "\"");
  bool any = false;
  for (const auto& row : table_->rows) {
    const double* d = std::get_if<double>(&row[static_cast<size_t>(idx)]);
    if (!d) continue;
    lo = any ? std::min(lo, *d) : *d;
    hi = any ? std::max(hi, *d) : *d;
    any = true;
  }
  return any;
}

std::string RecordSet::Text(std::string_view column) const {
  const Cell& c = CellAt(column);
  if (const std::string* s = std::get_if<std::string>(&c)) return *s;
  if (const double* d = std::get_if<double>(&c)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  return {};
}

Database::Database(sqlite3* handle, std::string path, bool read_only)
    : handle_(handle), path_(std::move(path)), read_only_(read_only) {}

Database::~Database() {
  for (auto& k : kept_) sqlite3_finalize(k.second);
  sqlite3_close(handle_);
}

sqlite3_stmt* Database::Kept(const std::string& sql, int& rc) {
  for (auto& k : kept_)
    if (k.first == sql) {
      rc = SQLITE_OK;
      return k.second;
    }
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_prepare_v3(handle_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(st);
    return nullptr;
  }
  kept_.emplace_back(sql, st);
  return st;
}

namespace {

// A kept statement is reset however its use ends: a statement left stepping
// would hold the file's read lock.
struct Resetting {
  sqlite3_stmt* stmt;
  ~Resetting() {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
  }
};

}  // namespace

void Database::SetBusyTimeout(int milliseconds) {
  sqlite3_busy_timeout(handle_, milliseconds);
  busy_ms_ = milliseconds;
}

bool Database::IsKnownTable(std::string_view table) {
  for (const auto& t : kMediumTables)
    if (EqualNoCase(t, table)) return true;
  for (const char* t : kOtherTables)
    if (EqualNoCase(t, table)) return true;
  return false;
}

const std::vector<std::string>& Database::MediumTables() { return kMediumTables; }

std::unique_ptr<Database> Database::Open(const std::string& path, bool force_read_only) {
  if (access(path.c_str(), F_OK) != 0)
    throw DbError("engineering database \"" + path + "\" not found");
  if (access(path.c_str(), R_OK) != 0)
    throw DbError("engineering database \"" + path + "\" cannot be read");
  const bool read_only = force_read_only || access(path.c_str(), W_OK) != 0;
  sqlite3* h = nullptr;
  const int flags = read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (sqlite3_open_v2(path.c_str(), &h, flags, nullptr) != SQLITE_OK) {
    std::string msg = h ? sqlite3_errmsg(h) : "out of memory";
    sqlite3_close(h);
    throw DbError("engineering database \"" + path + "\" cannot be opened: " + msg);
  }
  std::unique_ptr<Database> db(new Database(h, path, read_only));
  db->SetBusyTimeout(kBusySeconds * 1000);

  // Reading the catalogue proves the file is a database; then every table the
  // program reads must be there.
  auto unreadable = [&](int rc) {
    if (IsLock(rc))
      return DbError("engineering database \"" + path + "\": " + Reason(h, rc, db->busy_ms_));
    return DbError("engineering database \"" + path + "\" is damaged or not a database: " +
                   sqlite3_errmsg(h));
  };
  Statement st;
  int rc = sqlite3_prepare_v2(h, "select name from sqlite_master where type='table'", -1,
                              &st.stmt, nullptr);
  if (rc != SQLITE_OK) throw unreadable(rc);
  std::vector<std::string> present;
  while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW)
    present.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, 0)));
  if (rc != SQLITE_DONE) throw unreadable(rc);
  auto has = [&](std::string_view t) {
    return std::any_of(present.begin(), present.end(),
                       [&](const std::string& p) { return EqualNoCase(p, t); });
  };
  for (const auto& t : kMediumTables)
    if (!has(t))
      throw DbError("engineering database \"" + path + "\" lacks the table \"" + t + "\"");
  for (const char* t : kOtherTables)
    if (!has(t))
      throw DbError("engineering database \"" + path + "\" lacks the table \"" + t + "\"");

  // The columns from the schema the statement above has read: preparing a
  // select of each table would parse it again for every table.
  for (const TableColumns& tc : kColumns) {
    std::vector<std::string> tables;
    if (*tc.table)
      tables.emplace_back(tc.table);
    else
      tables = kMediumTables;
    for (const std::string& t : tables) {
      for (const char* want : tc.columns) {
        rc = sqlite3_table_column_metadata(h, "main", t.c_str(), want, nullptr, nullptr, nullptr,
                                           nullptr, nullptr);
        if (rc == SQLITE_OK) continue;
        if (IsLock(rc) || rc == SQLITE_NOMEM) throw unreadable(rc);
        throw DbError("engineering database \"" + path + "\" lacks the column \"" + want +
                      "\" of the table \"" + t + "\"");
      }
    }
  }
  return db;
}

std::shared_ptr<const TableData> Database::Load(const std::string& table) {
  Statement st;
  // The name was checked against the known set, so quoting it is enough.
  const std::string sql = "select * from " + QuoteIdent(table);
  int rc = sqlite3_prepare_v2(handle_, sql.c_str(), -1, &st.stmt, nullptr);
  if (rc != SQLITE_OK)
    throw DbError("cannot read table \"" + table + "\" of \"" + path_ +
                  "\": " + Reason(handle_, rc, busy_ms_));
  return Read(st.stmt, table);
}

// The case record changes under the program, so it is read again each time,
// by a statement kept from the first time.
std::shared_ptr<const TableData> Database::ReadCaseTable() {
  int rc = SQLITE_OK;
  sqlite3_stmt* st = Kept("select * from br_prn", rc);
  if (!st)
    throw DbError("cannot read table \"br_prn\" of \"" + path_ + "\": " + Reason(handle_, rc, busy_ms_));
  const Resetting reset{st};
  return Read(st, "br_prn");
}

std::shared_ptr<const TableData> Database::Read(sqlite3_stmt* st, const std::string& table) {
  auto data = std::make_shared<TableData>();
  data->name = table;
  int rc = sqlite3_step(st);
  // After the first step: a statement prepared before the schema changed has
  // been prepared again by it.
  const int n = sqlite3_column_count(st);
  for (int i = 0; i < n; ++i) data->columns.emplace_back(sqlite3_column_name(st, i));
  for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
    std::vector<Cell> row(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
          row[i] = sqlite3_column_double(st, i);
          break;
        case SQLITE_TEXT:
          row[i] = std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
          break;
        default:
          break;
      }
    }
    data->rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE)
    throw DbError("cannot read table \"" + table + "\" of \"" + path_ +
                  "\": " + Reason(handle_, rc, busy_ms_));
  return data;
}

bool Database::FreezingPoint(std::string_view table, double& t_f) {
  auto it = cache_.find("media");
  if (it == cache_.end()) it = cache_.emplace("media", Load("media")).first;
  const TableData& media = *it->second;
  const int name = media.ColumnIndex("tbl"), value = media.ColumnIndex("T_f");
  if (name < 0 || value < 0) return false;
  for (const auto& row : media.rows) {
    const std::string* n = std::get_if<std::string>(&row[static_cast<size_t>(name)]);
    const double* v = std::get_if<double>(&row[static_cast<size_t>(value)]);
    if (n && v && EqualNoCase(*n, table)) {
      t_f = *v;
      return true;
    }
  }
  return false;
}

std::optional<ElastomerLimits> Database::Elastomer(std::string_view material) {
  if (!elastomers_) {
    auto it = cache_.find("gaskets");
    if (it == cache_.end()) it = cache_.emplace("gaskets", Load("gaskets")).first;
    const TableData& t = *it->second;
    elastomers_.emplace();
    const int name = t.ColumnIndex("material");
    if (name < 0) return std::nullopt;
    auto number = [&](const std::vector<Cell>& row, const char* column) {
      const int c = t.ColumnIndex(column);
      const double* v = c < 0 ? nullptr : std::get_if<double>(&row[static_cast<size_t>(c)]);
      return v ? *v : NAN;
    };
    for (const auto& row : t.rows)
      if (const std::string* n = std::get_if<std::string>(&row[static_cast<size_t>(name)]))
        elastomers_->emplace_back(*n, ElastomerLimits{number(row, "T_min"), number(row, "T_max"),
                                                      number(row, "water") == 1, number(row, "steam") == 1,
                                                      number(row, "glycol") == 1, number(row, "oil") == 1});
  }
  for (const auto& [n, limits] : *elastomers_)
    if (EqualNoCase(n, material)) return limits;
  return std::nullopt;
}

std::unique_ptr<RecordSet> Database::OpenRecordSet(std::string_view table) {
  const std::string key = Lower(table);
  // Only known tables are ever read into the cache: one found there is known.
  auto it = cache_.find(key);
  if (it != cache_.end()) return std::make_unique<RecordSet>(it->second);
  if (!IsKnownTable(table))
    throw DbError("unknown table \"" + std::string(table) + "\" refused");
  // The case record changes under the program; everything else is read once.
  if (key == "br_prn") return std::make_unique<RecordSet>(ReadCaseTable());
  it = cache_.emplace(key, Load(std::string(table))).first;
  return std::make_unique<RecordSet>(it->second);
}

void Database::WriteCaseRecord(const CaseRecord& fields) {
  if (read_only_)
    throw DbError("the case record cannot be stored: \"" + path_ + "\" is read-only");
  for (const auto& [name, value] : fields) {
    const int rc = sqlite3_table_column_metadata(handle_, "main", "br_prn", name.c_str(), nullptr,
                                                 nullptr, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) continue;
    if (rc != SQLITE_ERROR)
      throw DbError("cannot read table \"br_prn\" of \"" + path_ + "\": " + Reason(handle_, rc, busy_ms_));
    throw DbError("table \"br_prn\" has no column \"" + name + "\"");
  }

  auto fail = [&](int rc) {
    return DbError("the case record cannot be stored in \"" + path_ +
                   "\": " + Reason(handle_, rc, busy_ms_));
  };
  int rc = sqlite3_exec(handle_, "begin immediate", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw fail(rc);
  // Every way out of the transaction but the commit rolls it back: a
  // transaction left open would refuse every later save and keep the file
  // locked for every other program.
  try {
    long long rowid = -1;
    {
      sqlite3_stmt* st = Kept("select rowid from br_prn order by rowid limit 1", rc);
      if (!st) throw fail(rc);
      const Resetting reset{st};
      rc = sqlite3_step(st);
      if (rc == SQLITE_ROW)
        rowid = sqlite3_column_int64(st, 0);
      else if (rc != SQLITE_DONE)
        throw fail(rc);
    }
    std::string sql;
    if (rowid < 0) {
      sql = "insert into br_prn (";
      std::string marks;
      for (size_t i = 0; i < fields.size(); ++i) {
        sql += (i ? ", " : "") + QuoteIdent(fields[i].first);
        marks += i ? ", ?" : "?";
      }
      sql += ") values (" + marks + ")";
    } else {
      sql = "update br_prn set ";
      for (size_t i = 0; i < fields.size(); ++i)
        sql += (i ? ", " : "") + QuoteIdent(fields[i].first) + " = ?";
      sql += " where rowid = ?";
    }
    {
      sqlite3_stmt* st = Kept(sql, rc);
      if (!st) throw fail(rc);
      const Resetting reset{st};
      int i = 1;
      for (const auto& [name, value] : fields) {
        if (const double* d = std::get_if<double>(&value))
          sqlite3_bind_double(st, i++, *d);
        else {
          const std::string& s = std::get<std::string>(value);
          sqlite3_bind_text(st, i++, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
      }
      if (rowid >= 0) sqlite3_bind_int64(st, i, rowid);
      rc = sqlite3_step(st);
      if (rc != SQLITE_DONE) throw fail(rc);
    }
    rc = sqlite3_exec(handle_, "commit", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw fail(rc);
  } catch (...) {
    if (!sqlite3_get_autocommit(handle_))
      sqlite3_exec(handle_, "rollback", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<std::vector<std::pair<std::string, Cell>>> Database::ReadCaseRecords() {
  auto table = ReadCaseTable();
  std::vector<std::vector<std::pair<std::string, Cell>>> out;
  for (const auto& row : table->rows) {
    std::vector<std::pair<std::string, Cell>> r;
    for (size_t i = 0; i < row.size(); ++i) r.emplace_back(table->columns[i], row[i]);
    out.push_back(std::move(r));
  }
  return out;
}

std::string ExecutableDir() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, static_cast<size_t>(n));
  const auto slash = p.rfind('/');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string DefaultDatabasePath() { return ExecutableDir() + "/br.mdb"; }

}  // namespace phe
