// The alternatives table: after a design run, a manual design of every
// single-type plate type of the chosen family, the family below and the two
// above (and of the user's model in both mixed types when the user chose a
// mixed one), side by side with price, weight and the first limit each breaks.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "state/env.h"
#include "state/form_port.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"

namespace phe {

struct Alternative {
  std::string designation;  // model and plate count, e.g. PX65L-41
  std::string model;        // model code
  std::string type;         // channel type chosen: H, M, L, HM or ML
  double passes = 0;
  // Channels per pass as the boxes 流道数H/M and 流道数M/L would show them.
  double channels_hm = 0;
  double channels_ml = 0;
  double plate_count = 0;
  double area = 0;       // m2
  double k_service = 0;  // W/m2.C required
  double margin = 0;     // %, whole
  double dp_h = 0, dp_c = 0;          // kPa
  double dp_max_h = 0, dp_max_c = 0;  // kPa
  double v_port_h = 0, v_port_c = 0;  // m/s
  double fouling_out = 0;             // m2.C/W
  double price = 0;
  double weight = 0;  // kg
  std::string status;  // "fits" or the first limit broken (see BrokenLimit)
  bool chosen = false;  // the program's own choice

  std::string PlateType() const { return model + "-" + type; }
  bool Fits() const { return status == "fits"; }
};

struct AlternativesTable {
  // Fitting rows by price, then area; the others after them, likewise.
  std::vector<Alternative> rows;
  // "建议：..." when the program's own choice breaks a limit and a row fits;
  // empty otherwise.
  Message suggestion;  // no id when there is none
};

// Where every alternative starts: the record as the heat balance left it and
// the window's texts at that moment (the engines read a few of them).
struct BalancedCase {
  SelectionState state;
  HeadlessForm form;
};
BalancedCase CaptureBalance(const SelectionState& s, const FormPort& form);

// Designs every candidate as a manual design of its model and channel type
// would, on copies: nothing is shown, stored or written to the window.
// `run` is the finished run's result (its model, choice and limits); a check
// run has no alternatives.
AlternativesTable BuildAlternatives(const BalancedCase& start, const RunResult& run);

// Keeps the start of each run on `env` and, once a design run has reached its
// results, builds its table.
class AlternativesWatch {
 public:
  explicit AlternativesWatch(Env& env);
  ~AlternativesWatch();
  AlternativesWatch(const AlternativesWatch&) = delete;
  AlternativesWatch& operator=(const AlternativesWatch&) = delete;

  // After the Run command: the table of that run's result (empty for a
  // check), or nullopt when the run did not reach its results.
  std::optional<AlternativesTable> Take();

 private:
  Env& env_;
  std::optional<BalancedCase> start_;
  int finished_before_ = 0;
};

// The suggestion, when there is one, as an information box titled "提示".
void ShowSuggestion(FormPort& form, const AlternativesTable& table);

nlohmann::json AlternativesToJson(const AlternativesTable& table);

}  // namespace phe
