// pheselect-cli: runs the window's logic on a case file, without a screen.
//
//   pheselect-cli --case CASE.json [--db PATH] [--sheet OUT.pdf [--lang zh|en]] [--alternatives]
//
// Prints one JSON object per run (an array for {"runs": [...]}). Bad input:
// exit 2; an unusable database: exit 3.
#include <iostream>
#include <memory>
#include <string>

#include "app/cli_sheet.h"
#include "db/database.h"
#include "driver/case_driver.h"

namespace {

int Usage(const std::string& why) {
  std::cerr << "pheselect-cli: " << why << "\nusage: pheselect-cli --case CASE.json [--db PATH] [--sheet OUT.pdf [--lang zh|en]] [--alternatives]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string db_path = phe::DefaultDatabasePath();
  std::string case_path;
  phe::cli::SheetRequest sheet;
  bool alternatives = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--db" || a == "--case") && i + 1 < argc) {
      (a == "--db" ? db_path : case_path) = argv[++i];
    } else if (a == "--alternatives") {
      alternatives = true;
    } else if (const int used = sheet.Take(argc, argv, i)) {
      if (used < 0) return Usage(sheet.error);
      i += used - 1;
    } else {
      return Usage("unexpected argument \"" + a + "\"");
    }
  }
  if (case_path.empty()) return Usage("no case file given");

  std::unique_ptr<phe::Database> db;
  try {
    db = phe::Database::Open(db_path);
  } catch (const phe::DbError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return 3;
  }

  std::vector<phe::CaseInput> cases;
  bool several = false;
  try {
    cases = phe::ParseCaseFile(case_path, &several);
  } catch (const phe::CaseError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return 2;
  }

  phe::CaseSession session(*db);
  session.alternatives = alternatives;
  nlohmann::json out = nlohmann::json::array();
  for (const auto& c : cases) out.push_back(session.Run(c));
  std::cout << (several ? out : out[0]).dump(1, ' ', false, nlohmann::json::error_handler_t::replace)
            << "\n";
  if (!sheet.path.empty()) return sheet.Write(session, cases, out.back());
  return 0;
}
