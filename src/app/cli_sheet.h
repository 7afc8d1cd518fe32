// The calculation-sheet options of pheselect-cli: --sheet OUT.pdf [--lang zh|en].
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "driver/case_driver.h"

namespace phe::cli {

struct SheetRequest {
  std::string path;  // empty: no sheet wanted
  std::string lang = "zh";
  // Writes the sheet of the session's last run. Exit status: 0 written, 1 no
  // result to show or no means to lay it out, 4 the file could not be written
  // (the old one stays). Each said on stderr.
  int Write(CaseSession& session, const CaseInput& heading) const;
};

}  // namespace phe::cli
