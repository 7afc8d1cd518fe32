// pheselect-cli: runs the window's logic on case files, without a screen.
//
// Exit status: 0 every run produced a result (warnings allowed), 1 a run was
// refused or ended with an error message, 2 bad input, 3 an unusable database,
// 4 an output that could not be written.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/cli_sheet.h"
#include "batch/batch.h"
#include "db/database.h"
#include "driver/case_driver.h"
#include "files/files.h"
#include "sheet/sheet.h"

namespace {

constexpr int kRefused = 1, kBadInput = 2, kBadDatabase = 3, kWriteFailed = 4;

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string db = phe::DefaultDatabasePath();
  std::string case_path, batch_in, batch_out;
  int jobs = 0;  // 0: one per core
  phe::cli::SheetRequest sheet;
  bool alternatives = false;
  bool curves = false;
  bool help = false, version = false;
};

int PositiveInt(const std::string& option, const std::string& v) {
  size_t used = 0;
  int n = 0;
  try {
    n = std::stoi(v, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != v.size() || n < 1 || n > 256)
    throw UsageError(option + " needs a whole number from 1 to 256, not \"" + v + "\"");
  return n;
}

// One row per option: adding an option is adding a row (and its field above).
struct OptionRow {
  const char* name;
  const char* arg;  // nullptr for a flag
  const char* help;
  void (*set)(Options&, const std::string&);
};

const OptionRow kOptions[] = {
    {"--case", "CASE.json", "run one case, or a {\"runs\": [...]} session, and print its JSON",
     [](Options& o, const std::string& v) { o.case_path = v; }},
    {"--batch", "IN", "run every case of IN (JSON Lines, .csv or a folder of case files)",
     [](Options& o, const std::string& v) { o.batch_in = v; }},
    {"--out", "OUT", "where --batch writes one row per case (.csv or .jsonl)",
     [](Options& o, const std::string& v) { o.batch_out = v; }},
    {"--jobs", "N", "cases --batch runs at once (default: one per core)",
     [](Options& o, const std::string& v) { o.jobs = PositiveInt("--jobs", v); }},
    {"--sheet", "OUT.pdf", "with --case: write the calculation sheet of the last run as a PDF",
     [](Options& o, const std::string& v) { o.sheet.path = v; }},
    {"--lang", "zh|en", "language of the sheet; en also adds each message's English text_en (default zh)",
     [](Options& o, const std::string& v) {
       phe::Lang l;
       if (!phe::ParseLang(v, &l)) throw UsageError("--lang must be zh or en, not \"" + v + "\"");
       o.sheet.lang = v;
     }},
    {"--alternatives", nullptr, "with --case: add the table of neighbouring packs to each run",
     [](Options& o, const std::string&) { o.alternatives = true; }},
    {"--curves", nullptr, "with --case: add the operating curves of each run's pack (40-120 % of each flow)",
     [](Options& o, const std::string&) { o.curves = true; }},
    {"--db", "PATH", "the engineering database (default: br.mdb beside the program)",
     [](Options& o, const std::string& v) { o.db = v; }},
    {"--help", nullptr, "print this help and exit",
     [](Options& o, const std::string&) { o.help = true; }},
    {"--version", nullptr, "print the version and exit",
     [](Options& o, const std::string&) { o.version = true; }},
};

std::string HelpText() {
  std::string h =
      "usage: pheselect-cli --case CASE.json [--db PATH] [--sheet OUT.pdf [--lang zh|en]]\n"
      "                     [--alternatives] [--curves]\n"
      "       pheselect-cli --batch IN --out OUT [--jobs N] [--db PATH]\n"
      "       pheselect-cli --case - ... < CASE.json\n"
      "       pheselect-cli --batch - --out - < IN.jsonl > OUT.jsonl\n\n"
      "Runs the selection program's own logic on case files, without a window.\n"
      "- as CASE.json or IN reads standard input (a batch there is JSON Lines only);\n"
      "- as OUT writes JSON Lines rows to standard output. --sheet needs a file name.\n\n"
      "options:\n";
  for (const auto& o : kOptions) {
    std::string left = std::string("  ") + o.name + (o.arg ? std::string(" ") + o.arg : "");
    left.resize(std::max<size_t>(left.size() + 2, 20), ' ');
    h += left + o.help + "\n";
  }
  h +=
      "\nexit status: 0 every run produced a result (warnings allowed), 1 a run was refused\n"
      "or ended with an error message, 2 bad input, 3 a database that cannot be used,\n"
      "4 an output that could not be written (the old file stays as it was).\n";
  return h;
}

Options Parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> seen;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i], value;
    bool inline_value = false;
    if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = a.substr(eq + 1);
      a.resize(eq);
      inline_value = true;
    }
    const OptionRow* row = nullptr;
    for (const auto& s : kOptions)
      if (a == s.name) row = &s;
    if (!row) throw UsageError("unknown argument \"" + std::string(argv[i]) + "\"");
    if (std::find(seen.begin(), seen.end(), a) != seen.end())
      throw UsageError(a + " given twice");
    seen.push_back(a);
    if (row->arg && !inline_value) {
      if (i + 1 >= argc) throw UsageError(a + " needs " + row->arg);
      value = argv[++i];
    } else if (!row->arg && inline_value) {
      throw UsageError(a + " takes no value");
    }
    row->set(o, value);
  }
  if (o.help || o.version) return o;
  if (o.case_path.empty() == o.batch_in.empty())
    throw UsageError("give either --case or --batch");
  if (!o.batch_in.empty() && o.batch_out.empty()) throw UsageError("--batch needs --out");
  if (o.batch_in.empty() && (!o.batch_out.empty() || o.jobs))
    throw UsageError("--out and --jobs go with --batch");
  // The case's JSON already goes to standard output; a PDF there would mix with it.
  if (o.sheet.path == "-")
    throw UsageError("--sheet needs a file name: standard output carries the case's JSON");
  if (!o.batch_in.empty() && (!o.sheet.path.empty() || o.alternatives || o.curves))
    throw UsageError("--sheet, --alternatives and --curves go with --case");
  return o;
}

// The files an output must not overwrite; "-" (standard input) names none.
std::vector<std::string> InputFiles(std::vector<std::string> paths) {
  std::erase(paths, "-");
  return paths;
}

std::string Dump(const nlohmann::json& j) {
  return j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Each run is read as it is reached and its JSON printed as soon as it ends,
// so a long session never holds all of them.
int RunCases(const Options& o) {
  if (!o.sheet.path.empty())
    phe::files::CheckOutputPath(o.sheet.path, phe::files::OutputKind::kPdf, InputFiles({o.db, o.case_path}),
                                "the sheet");
  const auto db = phe::Database::Open(o.db);
  const phe::CaseReader cases = phe::CaseReader::Open(o.case_path);
  const bool several = cases.several();
  phe::CaseSession session(*db);
  session.alternatives = o.alternatives;
  session.curves = o.curves;
  session.english = o.sheet.lang == "en";
  int status = 0;
  size_t i = 0;
  bool failed = false;
  // A heading given by an earlier run of the session still holds.
  phe::CaseInput heading;
  if (several) std::cout << "[";
  cases.ForEach([&](const phe::CaseInput& c) {
    if (failed) return;
    if (!c.project.empty()) heading.project = c.project;
    if (!c.item.empty()) heading.item = c.item;
    if (!c.customer.empty()) heading.customer = c.customer;
    nlohmann::json run;
    try {
      run = session.Run(c);
    } catch (const std::exception& e) {
      if (several) std::cout << "\n]\n" << std::flush;
      std::cerr << "pheselect-cli: run " << i + 1 << ": " << e.what() << "\n";
      failed = true;
      return;
    }
    if (phe::RunShowedError(run) || !session.last_run_has_result) status = kRefused;
    if (several) std::cout << (i ? ",\n" : "\n");
    std::cout << Dump(run) << std::flush;
    ++i;
  });
  if (failed) return kRefused;
  std::cout << (several ? "\n]\n" : "\n") << std::flush;
  if (!o.sheet.path.empty()) status = std::max(status, o.sheet.Write(session, heading));
  return status;
}

int RunBatch(const Options& o) {
  std::string ext = std::filesystem::path(o.batch_out).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (o.batch_out != "-" && (ext == ".csv" || ext == ".jsonl"))
    phe::files::CheckOutputPath(o.batch_out,
                                ext == ".csv" ? phe::files::OutputKind::kCsv
                                              : phe::files::OutputKind::kJsonLines,
                                InputFiles({o.batch_in, o.db}), "the output");
  const auto cases = phe::BatchReader::Open(o.batch_in, &std::cerr);
  phe::BatchOptions b;
  b.db_path = o.db;
  b.jobs = o.jobs ? o.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  b.log = &std::cerr;
  b.progress = isatty(STDERR_FILENO) != 0;
  return phe::RunBatch(*cases, o.batch_out, b).AllRan() ? 0 : kRefused;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options o = Parse(argc, argv);
    if (o.help) {
      std::cout << HelpText();
      return 0;
    }
    if (o.version) {
      std::cout << "pheselect-cli " PHE_VERSION "\n";
      return 0;
    }
    return o.batch_in.empty() ? RunCases(o) : RunBatch(o);
  } catch (const UsageError& e) {
    std::cerr << "pheselect-cli: " << e.what() << " (see --help)\n";
    return kBadInput;
  } catch (const phe::CaseError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return kBadInput;
  } catch (const phe::DbError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return kBadDatabase;
  } catch (const phe::files::FileError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return e.kind == phe::files::FileError::kWrite ? kWriteFailed : kBadInput;
  }
}
