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
  explicit ExampleSession(const std::string& file) : ExampleSession(Read(file), {}) {}
  // An example with some of its inputs changed.
  ExampleSession(const std::string& file, const nlohmann::json& changes)
      : ExampleSession(Changed(Read(file), changes), {}) {}

  static nlohmann::json Read(const std::string& file) {
    std::ifstream in(std::string(PHE_SOURCE_DIR) + "/examples/" + file);
    return nlohmann::json::parse(in);
  }
  static nlohmann::json Changed(nlohmann::json doc, const nlohmann::json& changes) {
    doc.update(changes);
    return doc;
  }

  struct Parsed {};
  ExampleSession(const nlohmann::json& doc, Parsed)
      : copy((ScratchDir() /
              ("phe_bench_" + std::to_string(getpid()) + ".mdb"))
                 .string()) {
    std::filesystem::copy_file(DefaultDatabasePath(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    db = Database::Open(copy);
    bool several = false;
    cases = ParseCases(doc, &several);
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
