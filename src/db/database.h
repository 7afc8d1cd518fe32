// Access to the engineering database br.mdb (SQLite 3).
//
// Tables are read once into memory when first opened; the property and
// interval lookups run inside the sizing loops and must never touch the disk.
// The only write is the single case record of "br_prn".
#pragma once

#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace phe {

class DbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A cell of a table: NULL, a number or a text.
using Cell = std::variant<std::monostate, double, std::string>;

// The rows of one table as read from the file, shared by its record sets.
struct ElastomerLimits {
  double t_min, t_max;  // degC
  bool water, steam, glycol, oil;
};

struct ColumnSet;

struct TableData {
  std::string name;
  std::vector<std::string> columns;  // as spelled in the file
  std::vector<std::vector<Cell>> rows;
  int ColumnIndex(std::string_view column) const;  // -1 when absent

  // Every cell as the number a field reads (NULL and text read 0), row after
  // row, and the columns min_T..max_T when the rows hold ascending,
  // non-overlapping intervals of them, so that a find may bisect instead of
  // scanning. Built on first use, once, from the rows as they are then.
  struct Numbers {
    std::vector<double> cells;
    size_t width = 0;
    int sorted_lo = -1;
    int sorted_hi = -1;
    // When the sorted rows are [first + i·step, first + (i + 1)·step) (a
    // degree each in the media, ten in the plate conductivity), a find can
    // compute the row that may hold x.
    double even_first = 0;
    double even_step = 1;
    double even_count = 0;  // the rows, as a number
    bool even_rows = false;
    size_t rows = 0;
  };
  const Numbers& Index() const;

  // Column indices of a set of names (see ColumnSet), found once per table:
  // every record set opened on it asks for the same few sets. An unknown
  // column throws DbError.
  const std::vector<int>& ColumnsOf(const ColumnSet& set) const;

 private:
  mutable std::once_flag indexed_;
  mutable Numbers numbers_;
  mutable std::mutex resolving_;
  mutable std::vector<std::pair<const ColumnSet*, std::unique_ptr<const std::vector<int>>>> resolved_;
};

// The criterion forms the program searches by. Every number is compared as a
// number; nothing is ever pasted into SQL.
struct Criterion {
  enum class Kind {
    kLowInclusiveHighExclusive,  // lo <= x and hi > x   (medium property tables)
    kLowExclusiveHighInclusive,  // lo <  x and hi >= x  (plate conductivity)
    kModelArea,                  // Br = model and min_f < x and max_f >= x
  };
  Kind kind;
  std::string lo_column;
  std::string hi_column;
  double x = 0;
  std::string model;  // kModelArea only

  static Criterion LowInclusive(std::string lo, std::string hi, double x);
  static Criterion LowExclusive(std::string lo, std::string hi, double x);
  static Criterion ModelArea(std::string model, double area);
};

// An interval criterion and the columns read from the row it finds, declared
// once (as a static) by the code that reads a table that way: a record set
// resolves the names on first use and remembers them by the set's address.
struct ColumnSet {
  Criterion::Kind kind;              // kLowInclusiveHighExclusive or kLowExclusiveHighInclusive
  std::vector<std::string> names;    // the interval's low and high column, then the values
};

// A record set opened by table name: a cursor over the table's rows.
class RecordSet {
 public:
  explicit RecordSet(std::shared_ptr<const TableData> table);

  const std::string& table() const { return table_->name; }
  size_t RowCount() const { return table_->rows.size(); }

  // Moves to the first row satisfying the criterion. When none does, the
  // position stays where it was and NoMatch() turns true.
  bool FindFirst(const Criterion& c);
  bool NoMatch() const { return no_match_; }
  // Finds so far that found nothing (and so left the caller's values as they were).
  long Misses() const { return misses_; }

  // The same find by the interval of `set` at x, without naming columns.
  bool FindFirst(const ColumnSet& set, double x);
  // The same again by the low and high column of Columns(set), for a caller
  // that holds them already.
  bool FindFirst(Criterion::Kind kind, int lo, int hi, double x) {
    // On evenly spaced rows the only row that can hold x is computed here,
    // in the caller's loop, and on other ascending rows the current one is
    // tried (a wall temperature moves little); when it does not hold x the
    // full find decides as ever.
    const TableData::Numbers& n = *numbers_;
    if (lo == n.sorted_lo && hi == n.sorted_hi) {
      const bool inclusive = kind == Criterion::Kind::kLowInclusiveHighExclusive;
      auto holds = [&](size_t r) {
        const double l = n.cells[r * n.width + static_cast<size_t>(lo)];
        const double h = n.cells[r * n.width + static_cast<size_t>(hi)];
        return inclusive ? l <= x && h > x : l < x && h >= x;
      };
      // No two rows overlap: a row that holds x is the only one.
      long r = current_;
      if (n.even_rows) {
        // Row i spans at in [i, i + 1), or (i, i + 1] when its low bound is
        // exclusive; a wrong guess only costs the full find.
        const double at = (x - n.even_first) / n.even_step;
        r = -1;
        if (at >= 0 && at <= n.even_count) {
          r = static_cast<long>(at);
          if (!inclusive && static_cast<double>(r) == at) --r;
        }
      }
      if (r >= 0 && static_cast<size_t>(r) < n.rows && holds(static_cast<size_t>(r))) {
        current_ = r;
        no_match_ = false;
        return true;
      }
    }
    return FindInterval(kind, lo, hi, x);
  }
  // Smallest and largest value in column `value` over the rows that hold
  // some x of [x_lo, x_hi] by the interval of `kind` on the sorted columns lo
  // and hi. False unless every such x has its row (the span lies inside the
  // table and no gap splits it), so that no find in the span can miss.
  // Neither moves the position nor counts a miss. `values`, when given,
  // receives the value of each of those rows.
  bool ValueSpan(Criterion::Kind kind, int lo, int hi, int value, double x_lo, double x_hi, double& v_lo,
                 double& v_hi, std::vector<double>* values = nullptr) const;
  // Column indices of `set` in the order of its names; an unknown column
  // throws DbError.
  const std::vector<int>& Columns(const ColumnSet& set) const {
    // A lookup asks for its set twice in a row: before the find and in it.
    if (last_ < resolved_.size() && resolved_[last_].first == &set) return *resolved_[last_].second;
    return Resolve(set);
  }
  // Value of the current row in a column of Columns().
  double Field(int column) const {
    if (current_ < 0) NoCurrentRow();
    return numbers_->cells[static_cast<size_t>(current_) * numbers_->width + static_cast<size_t>(column)];
  }

  // Values of the current row by column name, without regard to letter case.
  // A NULL cell reads as 0 or the empty text. Unknown columns and a record set
  // without a current row throw DbError.
  double Field(std::string_view column) const;
  std::string Text(std::string_view column) const;

  // Smallest and largest number in a column over all rows (NULL and text
  // cells are skipped); false when the column holds no number. Unknown
  // columns throw DbError.
  bool ColumnSpan(std::string_view column, double& lo, double& hi) const;

  // Lower bounds of the first and the last row of an interval table whose rows
  // ascend (see TableData::Numbers::sorted_lo); false for any other table.
  bool RowSpan(double& first, double& last) const {
    const TableData::Numbers& n = *numbers_;
    if (n.sorted_lo < 0 || n.rows == 0) return false;
    const auto lo = static_cast<size_t>(n.sorted_lo);
    first = n.cells[lo];
    last = n.cells[(n.rows - 1) * n.width + lo];
    return true;
  }

 private:
  const Cell& CellAt(std::string_view column) const;
  const std::vector<int>& Resolve(const ColumnSet& set) const;
  [[noreturn]] void NoCurrentRow() const;
  bool FindInterval(Criterion::Kind kind, int lo, int hi, double x);
  // How many rows of a table sorted by column lo start at or below x
  // (below x where the low end is exclusive).
  size_t RowsStartingBy(bool inclusive, int lo, double x) const;

  std::shared_ptr<const TableData> table_;
  const TableData::Numbers* numbers_;
  long current_ = -1;
  bool no_match_ = false;
  long misses_ = 0;
  mutable std::vector<std::pair<const ColumnSet*, const std::vector<int>*>> resolved_;
  mutable size_t last_ = 0;
};

// An ordered list of field assignments for the case record.
using CaseRecord = std::vector<std::pair<std::string, std::variant<double, std::string>>>;

class Database {
 public:
  // Opens an existing database file. A missing, unreadable or corrupt file, or
  // one that lacks a table the program reads, throws DbError naming the file.
  // A file the user may not write is opened read-only; read_only forces that.
  static std::unique_ptr<Database> Open(const std::string& path, bool read_only = false);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // How long a statement waits for another program that holds the file
  // before it fails as locked (a few seconds from Open).
  void SetBusyTimeout(int milliseconds);

  const std::string& path() const { return path_; }
  bool read_only() const { return read_only_; }

  // The "select * from <table>" form. Tables outside the known set are refused.
  std::unique_ptr<RecordSet> OpenRecordSet(std::string_view table);

  // Writes the single case row of "br_prn": added when the table is empty,
  // else its first row is edited; one transaction. Throws DbError when the
  // file is read-only or a field is not a column of the table.
  void WriteCaseRecord(const CaseRecord& fields);

  // Every row of "br_prn" as (column, cell) pairs, for reports and tests.
  std::vector<std::vector<std::pair<std::string, Cell>>> ReadCaseRecords();

  // The freezing point of a medium table, from "media"; false for a medium
  // without one (the oils).
  bool FreezingPoint(std::string_view table, double& t_f);

  // Continuous service range and fitness of a gasket or port-lining
  // elastomer, from "gaskets"; nullopt for a material without a row.
  std::optional<ElastomerLimits> Elastomer(std::string_view material);

  static bool IsKnownTable(std::string_view table);
  static const std::vector<std::string>& MediumTables();

 private:
  Database(sqlite3* handle, std::string path, bool read_only);
  std::shared_ptr<const TableData> Load(const std::string& table);
  // A statement prepared once and kept for the next same text (every run
  // stores and reads the case record by the same few statements), reset and
  // without bindings; nullptr after an error, with rc set.
  sqlite3_stmt* Kept(const std::string& sql, int& rc);
  std::shared_ptr<const TableData> Read(sqlite3_stmt* st, const std::string& table);
  std::shared_ptr<const TableData> ReadCaseTable();

  sqlite3* handle_ = nullptr;
  std::string path_;
  bool read_only_ = false;
  int busy_ms_ = 0;
  std::unordered_map<std::string, std::shared_ptr<const TableData>> cache_;
  std::vector<std::pair<std::string, sqlite3_stmt*>> kept_;
  // The gaskets table's rows by material, read at the first question: every
  // finished pack asks twice for two materials.
  std::optional<std::vector<std::pair<std::string, ElastomerLimits>>> elastomers_;
};

// Folder of the running executable, for the br.mdb that lies beside it.
std::string ExecutableDir();
std::string DefaultDatabasePath();

}  // namespace phe
