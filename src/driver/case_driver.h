// Drives the window's logic from a case file, as a user would at the keyboard:
// the headless command-line driver and the end-to-end tests use it.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "compare/alternatives.h"
#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"

namespace phe {

class CaseError : public std::runtime_error {
 public:
  // What is wrong, for a message in words before the detail: the file could
  // not be read, its text is no JSON (damaged), or its JSON is no case.
  enum class Kind { kUnreadable, kDamaged, kNotACase };
  explicit CaseError(const std::string& what, Kind kind = Kind::kNotACase)
      : std::runtime_error(what), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// One edit-and-run: the texts typed per control, and the option buttons.
struct CaseInput {
  std::vector<std::pair<std::string, std::string>> controls;
  std::optional<int> selection_option;  // 2 automatic, 3 manual
  std::optional<int> calc_option;       // 4 design, 5 check, 6 simulate
  // Where the case belongs; carried along, never calculated with.
  std::string project, item, customer;
};

// The longest text a case may give one box: typing is one change event per
// character, so a longer text only costs time and memory.
inline constexpr size_t kMaxBoxText = 1000;

// Parses a case object, or {"runs": [case, ...]}. Unknown controls, list items
// that are not in their list (matched without regard to case and surrounding
// blanks), texts longer than kMaxBoxText and values of the wrong type throw
// CaseError.
std::vector<CaseInput> ParseCases(const nlohmann::json& doc, bool* several);
std::vector<CaseInput> ParseCaseFile(const std::string& path, bool* several);

// A case file read (size bounded) and checked whole: its JSON, keys given
// twice and every case. The cases are parsed again as they are handed over, so
// a session of a million runs never holds more than one of them.
class CaseReader {
 public:
  static CaseReader Open(const std::string& path);
  static CaseReader FromText(std::string text, std::string where);
  bool several() const { return several_; }
  size_t size() const { return count_; }
  void ForEach(const std::function<void(const CaseInput&)>& each) const;
  std::vector<CaseInput> All() const;

 private:
  CaseReader() = default;
  std::string text_, where_;
  bool several_ = false;
  size_t count_ = 0;
};

// Parses JSON text strictly: a key twice in one object, a number out of range
// or a syntax error throws CaseError naming `where` (a file, a line).
nlohmann::json ParseJsonStrict(const std::string& text, const std::string& where);

// True when a run of the output of CaseSession::Run showed an error (critical)
// message: it was refused or failed.
bool RunShowedError(const nlohmann::json& run);

class CaseSession {
 public:
  explicit CaseSession(Database& db);

  // Clicks the option buttons, enters the controls in the keyboard focus
  // order, presses Run; returns messages, controls, state and case record.
  nlohmann::json Run(const CaseInput& input);

  // Adds "alternatives" to every design run's output (and the suggestion to
  // its messages), as the window does after every design run.
  bool alternatives = false;
  // Adds "curves" to every run's output: the operating curves of the pack of
  // a run that reached its results, null otherwise.
  bool curves = false;
  // Adds each message's English text ("text_en") beside its Chinese one.
  bool english = false;
  // The table of the last run when alternatives are on.
  std::optional<AlternativesTable> last_alternatives;

  HeadlessForm form;
  SelectionState state;
  Env env;
  // The message boxes of the last Run, in order.
  std::vector<RecordedMessage> last_run_messages;
  // Whether the last Run ended with its results displayed.
  bool last_run_has_result = false;

 private:
  void EnterText(const std::string& control, const std::string& text);
  void Choose(const std::string& control, const std::string& item);
  Database& db_;
};

// The version of the JSON a run prints (its "format_version").
inline constexpr int kOutputFormatVersion = 1;

nlohmann::json StateToJson(const SelectionState& s);

}  // namespace phe
