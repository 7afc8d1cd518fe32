// The alternatives table and the search of automatic design: a manual design
// of every model of the catalogue in the single types H, M and L at 1 to 4
// passes and the entered number (steam: 1 pass), of every model in both mixed
// types when the user chose a mixed one, and at every unit count from the
// least the flows need to two more when they need several; side by side with
// price, weight and the first limit each breaks.
#pragma once

#include <nlohmann/json.hpp>
#include <functional>
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
  double units = 1;
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
  double weight = 0;  // kg, one unit
  double price_total = 0, area_total = 0, weight_total = 0;  // all units
  // "fits" (its manual design warns of nothing), else the first rule broken:
  // "area", "pressure_drop", "port_velocity", "channel_limit", "engineering",
  // "port_loss", "margin", "warning".
  std::string status;
  bool chosen = false;       // the program's answer (or the user's own choice)
  bool rule_choice = false;  // what the family rule of automatic design picked

  std::string PlateType() const { return model + "-" + type; }
  bool Fits() const { return status == "fits"; }
};

struct AlternativesTable {
  // Fitting rows by total price, then total area, then units; the others
  // after them, likewise.
  std::vector<Alternative> rows;
  // "建议：..." when a fitting row is better than the answer: the answer
  // breaks a limit, or a row at another pass count is cheaper; no id else.
  Message suggestion;
  int better = -1;  // the row the suggestion names
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

// The search of an automatic design from its balanced record: the table, and
// the pack to design (the cheapest fitting row at the entered passes), or
// nullopt when none fits there and the rule's pick stands.
struct PackSearch {
  AlternativesTable table;
  std::optional<PackPick> pick;
};
PackSearch SearchPacks(const BalancedCase& start);

// The search's answer alone, for a caller that shows no table: the same
// pick as SearchPacks, from the candidates at the entered passes only (the
// others can only make the notice).
std::optional<PackPick> SearchPick(const BalancedCase& start);

// Keeps the start of each run on `env`, makes every automatic design take
// the search's answer, and, once a design run has reached its results,
// builds its table. Without `tables` the search finds the answer alone, and
// Take designs the whole table anew.
class AlternativesWatch {
 public:
  explicit AlternativesWatch(Env& env, bool tables = true);
  ~AlternativesWatch();
  AlternativesWatch(const AlternativesWatch&) = delete;
  AlternativesWatch& operator=(const AlternativesWatch&) = delete;

  // After the Run command: the table of that run's result (empty for a
  // check), or nullopt when the run did not reach its results.
  std::optional<AlternativesTable> Take();

 private:
  Env& env_;
  std::function<void(const SelectionState&)> outer_;
  std::optional<BalancedCase> start_;
  std::optional<AlternativesTable> searched_;  // the automatic design's own
  int finished_before_ = 0;
  bool tables_ = true;
};

// The suggestion, when there is one, as an information box titled "提示"
// with "采用" and "关闭"; kAdopt when the user asked for the pack `better`.
MsgAnswer ShowSuggestion(FormPort& form, const AlternativesTable& table);

nlohmann::json AlternativesToJson(const AlternativesTable& table);

}  // namespace phe
