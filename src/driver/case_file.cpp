#include "driver/case_file.h"

#include "files/files.h"
#include "ui/layout.h"

namespace phe {

nlohmann::ordered_json CaseToJson(const CaseInput& in) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  if (!in.project.empty()) j["project"] = in.project;
  if (!in.item.empty()) j["item"] = in.item;
  if (!in.customer.empty()) j["customer"] = in.customer;
  if (in.selection_option) j["selection"] = *in.selection_option == 3 ? "manual" : "auto";
  if (in.calc_option)
    j["calc"] = *in.calc_option == 6 ? "simulate" : *in.calc_option == 5 ? "check" : "design";
  for (const auto& [control, text] : in.controls) j[layout::KeyOfControl(control)] = text;
  return j;
}

void WriteCaseFile(const std::string& path, const CaseInput& in) {
  std::string text;
  try {
    text = CaseToJson(in).dump(2) + "\n";
  } catch (const nlohmann::json::exception& e) {
    throw CaseError(std::string("cannot write the case: ") + e.what());
  }
  // Read back before writing: a file the command line would refuse is never
  // left behind in place of a good one.
  bool several = false;
  ParseCases(nlohmann::json::parse(text), &several);

  try {
    files::WriteWhole(path, text);
  } catch (const files::FileError& e) {
    throw CaseError(e.what());
  }
}

}  // namespace phe
