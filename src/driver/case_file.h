// Writing a case file: the same format the command line reads, so that a case
// saved by the window runs unchanged with pheselect-cli --case.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "driver/case_driver.h"

namespace phe {

// The extension the window offers for case files.
inline constexpr const char* kCaseFileExtension = ".phe.json";

// One case as a JSON object: "project", "item", "customer" when given, then
// "selection", "calc" and the controls in the order of `in`, values as the
// texts typed.
nlohmann::ordered_json CaseToJson(const CaseInput& in);

// Writes the case as UTF-8, whole or not at all: a crash leaves either the old
// file or the new one, a symlink is written through, an existing file keeps
// its permissions. A case the reader would refuse is not written. Throws
// CaseError.
void WriteCaseFile(const std::string& path, const CaseInput& in);

}  // namespace phe
