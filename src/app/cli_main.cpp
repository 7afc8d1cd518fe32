// pheselect-cli: the window's logic without a screen.
#include <cstdio>
#include <iostream>
#include <string>

#include "db/database.h"

int main(int argc, char** argv) {
  std::string db_path = phe::DefaultDatabasePath();
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--db") db_path = argv[i + 1];
  std::unique_ptr<phe::Database> db;
  try {
    db = phe::Database::Open(db_path);
  } catch (const phe::DbError& e) {
    std::cerr << "pheselect-cli: " << e.what() << "\n";
    return 3;
  }
  for (const auto& t : phe::Database::MediumTables())
    std::cout << t << ": " << db->OpenRecordSet(t)->RowCount() << " rows\n";
  return 0;
}
