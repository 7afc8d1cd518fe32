// Batch runs: many cases from one input, each in a fresh session, in parallel,
// one output row per case in input order. Batch runs only read the database.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "db/database.h"
#include "driver/case_driver.h"

namespace phe {

// One case as read from the input: the case, or why it cannot run.
struct BatchCase {
  std::string name;  // the file name, the "name" given, or "line N" / "row N"
  std::optional<CaseInput> input;
  std::string error;  // why input is empty
};

// The cases of a batch input, one at a time: a folder of case files (*.json,
// by name; entries that cannot be read are skipped with a line on the log), a
// CSV file (*.csv: a header row of control names plus optional "name",
// "selection", "calc", "project", "item", "customer"; an empty cell leaves
// its control as it starts) or a JSON Lines file (anything else: one case
// object a line, an optional "name" key). A bad case becomes a BatchCase with
// its error; an input that cannot be read at all, text that is not CSV or a
// CSV header naming an unknown column throws CaseError from Open, before any
// case is run.
class BatchReader {
 public:
  static std::unique_ptr<BatchReader> Open(const std::string& path, std::ostream* log);
  virtual ~BatchReader() = default;
  virtual std::optional<BatchCase> Next() = 0;
  virtual size_t Count() const = 0;  // cases in the input
};

enum class BatchStatus { kOk, kWarning, kRefused, kError };
const char* StatusName(BatchStatus status);

struct BatchRow {
  std::string name;
  BatchStatus status = BatchStatus::kError;
  std::vector<std::string> messages;
  std::vector<std::string> results;  // one text per BatchResultColumns(); empty when none
};

// Names of the result columns, after name, status and messages.
const std::vector<std::string>& BatchResultColumns();

// Runs one case in a fresh session; never stores a case record.
BatchRow RunBatchCase(const BatchCase& c, Database& db);

struct BatchOptions {
  std::string db_path;
  int jobs = 1;
  std::ostream* log = nullptr;  // errors, the progress bar and the summary
  bool progress = false;        // draw the progress bar (log is a terminal)
};

struct BatchSummary {
  size_t count[4] = {0, 0, 0, 0};  // by BatchStatus
  double seconds = 0;
  bool AllRan() const { return count[2] == 0 && count[3] == 0; }
};

// Runs every case with options.jobs threads, each with its own read-only
// connection, and writes the rows to out_path (".csv" or ".jsonl") in input
// order as they become ready, into a file put in place of out_path only when
// the batch is done. Throws CaseError for an output of unknown kind, DbError
// for a database it cannot open, files::FileError (kWrite) as soon as the
// output cannot be written.
BatchSummary RunBatch(BatchReader& cases, const std::string& out_path,
                      const BatchOptions& options);

}  // namespace phe
