// A window session on a scratch copy of br.mdb (every run stores its case
// record) with one of the shipped example cases parsed, for the benchmarks.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "db/database.h"
#include "driver/case_driver.h"
#include "support/scratch.h"

namespace phe::testing {

struct ExampleSession {
  explicit ExampleSession(const std::string& file)
      : copy((phe::testing::ScratchDir() /
              ("phe_bench_" + std::to_string(getpid()) + ".mdb"))
                 .string()) {
    std::filesystem::copy_file(DefaultDatabasePath(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    db = Database::Open(copy);
    std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + file);
    bool several = false;
    cases = ParseCases(nlohmann::json::parse(in), &several);
    session = std::make_unique<CaseSession>(*db);
  }
  ~ExampleSession() {
    session.reset();
    db.reset();
    std::error_code ec;
    std::filesystem::remove(copy, ec);
  }

  std::string copy;
  std::unique_ptr<Database> db;
  std::vector<CaseInput> cases;
  std::unique_ptr<CaseSession> session;
};

}  // namespace phe::testing
