// What a procedure reaches besides the calculation record: the window (through
// its port), the record sets a run keeps open, and the window-level fields.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "db/database.h"
#include "state/form_port.h"
#include "state/run_result.h"

namespace phe {

struct SelectionState;

// A pack an automatic design is told to take instead of the rule's: designed
// as the manual design of that plate type at that many units would be.
struct PackPick {
  std::string plate_type;  // model and channel type, e.g. PX350S-L
  double units = 1;
};

struct Env {
  explicit Env(FormPort& f) : form(f) {}

  FormPort& form;

  // Open from the start of a run to its normal end.
  std::unique_ptr<RecordSet> rs_hot;     // property table of the hot medium
  std::unique_ptr<RecordSet> rs_cold;    // property table of the cold medium
  std::unique_ptr<RecordSet> rs_bpdrxs;  // plate conductivity

  // Window-level fields.
  int16_t anim_index = 0;
  int16_t anim_last = 0;
  bool confirm_exit = false;
  bool pass_complete = false;
  bool running = false;  // a Run is in progress; a second press is ignored
  int case_records_written = 0;  // case records stored since the window opened
  int results_shown = 0;         // runs that ended with their results displayed
  std::string sized_plate_type;  // plate type the last run sized (e.g. PX100B-HM)
  bool store_case_record = true;  // false for batch runs, which only read the database
  std::string fouling_refused_text;  // the fouling text last refused while typing
  // Balance boxes the last run filled with a value it computed, with the text
  // it wrote: not inputs until the user edits them.
  std::map<std::string, std::string, std::less<>> computed_texts;
  // The last run that ended with its results; a run that ends early leaves it.
  std::optional<RunResult> result;

  // Called once a run has its heat balance and is about to size: the record
  // as it stands then is where the alternatives start from.
  std::function<void(const SelectionState&)> on_sizing;
  // Called after on_sizing in an automatic design: the pack the search found
  // best, or nullopt to keep the rule's pick. `pick` holds it during the run.
  std::function<std::optional<PackPick>(const SelectionState&)> choose_pack;
  std::optional<PackPick> pick;
};

// Thrown after a message box has told the user why a run cannot go on; the
// Run command catches it, leaves the shown results as they were and ends.
struct RunAborted {};

}  // namespace phe
