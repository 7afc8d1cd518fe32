#include "driver/case_driver.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <set>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "compare/alternatives.h"
#include "curves/curves.h"
#include "files/files.h"
#include "ui/input_panel.h"
#include "ui/layout.h"
#include "workflow/run_command.h"

namespace phe {

namespace {

const char* IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kCritical: return "critical";
    case MsgIcon::kWarning: return "warning";
    case MsgIcon::kQuestion: return "question";
    case MsgIcon::kInformation: return "information";
  }
  return "information";
}

nlohmann::json MessageToJson(const RecordedMessage& m, bool english) {
  nlohmann::json j = {{"title", m.title},
                      {"text", m.text},
                      {"id", m.message.id},
                      {"icon", IconName(m.icon)},
                      {"focus", m.focus ? nlohmann::json(*m.focus) : nlohmann::json()}};
  if (english) j["text_en"] = Format(m.message, Lang::kEn);
  return j;
}

size_t CharacterCount(const std::string& utf8) {
  size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string ValueText(const std::string& key, const nlohmann::json& v) {
  std::string text;
  if (v.is_string())
    text = v.get<std::string>();
  else if (v.is_number())
    text = v.dump();  // a number is taken as the text it prints as (C locale, as JSON is)
  else
    throw CaseError("\"" + key + "\": value must be a text or a number");
  if (CharacterCount(text) > kMaxBoxText)
    throw CaseError("\"" + key + "\": text longer than " + std::to_string(kMaxBoxText) +
                    " characters");
  return text;
}

// The list's own spelling of an item typed loosely ("water" for "Water").
std::string ListItem(const HeadlessForm& form, const std::string& list, const std::string& text) {
  const std::string wanted = Trimmed(text);
  const auto& items = form.Items(list);
  for (const auto& item : items)
    if (EqualsNoCase(item, wanted)) return item;
  std::string valid;
  for (const auto& item : items) valid += (valid.empty() ? "\"" : ", \"") + item + "\"";
  throw CaseError("list " + list + " has no item \"" + text + "\"; valid items: " + valid);
}

CaseInput ParseOne(const nlohmann::json& obj, const HeadlessForm& form) {
  if (!obj.is_object()) throw CaseError("a case must be a JSON object");
  CaseInput in;
  for (const auto& [key, value] : obj.items()) {
    if (key == "selection") {
      const std::string v = value.is_string() ? value.get<std::string>() : "";
      if (v == "auto") in.selection_option = 2;
      else if (v == "manual") in.selection_option = 3;
      else throw CaseError("\"selection\" must be \"auto\" or \"manual\"");
      continue;
    }
    if (key == "calc") {
      const std::string v = value.is_string() ? value.get<std::string>() : "";
      if (v == "design") in.calc_option = 4;
      else if (v == "check") in.calc_option = 5;
      else if (v == "simulate") in.calc_option = 6;
      else throw CaseError("\"calc\" must be \"design\", \"check\" or \"simulate\"");
      continue;
    }
    if (key == "project" || key == "item" || key == "customer") {
      if (!value.is_string()) throw CaseError("\"" + key + "\" must be a text");
      std::string& field = key == "project" ? in.project : key == "item" ? in.item : in.customer;
      field = ValueText(key, value);
      continue;
    }
    const std::string control = layout::ControlOfKey(key);
    bool input = false;
    for (const auto& n : layout::kFocusOrder) input = input || n == control;
    if (!input || control.rfind("opt_br", 0) == 0)
      throw CaseError("unknown control \"" + key + "\"");
    const std::string text = ValueText(key, value);
    in.controls.emplace_back(control, form.IsList(control) ? ListItem(form, control, text) : text);
  }
  return in;
}

void CheckSession(const nlohmann::json& doc) {
  if (!doc.is_object() || !doc.contains("runs")) return;
  if (doc.size() != 1 || !doc["runs"].is_array())
    throw CaseError("\"runs\" must be the only key and hold an array of cases");
}

}  // namespace

std::vector<CaseInput> ParseCases(const nlohmann::json& doc, bool* several) {
  HeadlessForm form;
  std::vector<CaseInput> out;
  *several = false;
  if (doc.is_object() && doc.contains("runs")) {
    CheckSession(doc);
    *several = true;
    for (const auto& c : doc["runs"]) out.push_back(ParseOne(c, form));
  } else {
    out.push_back(ParseOne(doc, form));
  }
  return out;
}

namespace {

// Builds the document as nlohmann's own parser would, refusing a key given
// twice in one object as it goes (its callback form rescans a container at
// every value it closes, which makes a long array of objects quadratic). With
// `on_run` set, the elements of a top-level "runs" array are handed over one
// by one as they close and not kept, so a session costs the memory of one run.
struct StrictBuilder : nlohmann::json_sax<nlohmann::json> {
  nlohmann::json root;
  std::function<void(const nlohmann::json&)> on_run;
  size_t runs = 0;
  std::string twice;      // a key given twice
  std::string error;      // the parser's own words
  bool out_of_range = false;

  bool null() override { return Put(nullptr); }
  bool boolean(bool v) override { return Put(v); }
  bool number_integer(number_integer_t v) override { return Put(v); }
  bool number_unsigned(number_unsigned_t v) override { return Put(v); }
  bool number_float(number_float_t v, const string_t&) override { return Put(v); }
  bool string(string_t& v) override { return Put(std::move(v)); }
  bool binary(binary_t& v) override { return Put(nlohmann::json::binary_t(std::move(v))); }
  bool start_object(std::size_t) override {
    stack_.push_back(Place(nlohmann::json::object()));
    keys_.emplace_back();
    return true;
  }
  bool key(string_t& k) override {
    if (!keys_.back().insert(k).second) {
      twice = k;
      return false;
    }
    member_ = &(*stack_.back())[k];
    if (on_run && stack_.size() == 1 && k == "runs") runs_key_ = true;
    return true;
  }
  bool end_object() override {
    keys_.pop_back();
    stack_.pop_back();
    return Closed();
  }
  bool start_array(std::size_t) override {
    const bool runs_array = runs_key_ && stack_.size() == 1;
    stack_.push_back(Place(nlohmann::json::array()));
    if (runs_array) runs_array_ = stack_.back();
    return true;
  }
  bool end_array() override {
    stack_.pop_back();
    return Closed();
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    error = e.what();
    out_of_range = dynamic_cast<const nlohmann::json::out_of_range*>(&e) != nullptr;
    return false;
  }

 private:
  nlohmann::json* Place(nlohmann::json v) {
    if (stack_.empty()) {
      root = std::move(v);
      return &root;
    }
    if (stack_.back()->is_array()) {
      stack_.back()->push_back(std::move(v));
      return &stack_.back()->back();
    }
    *member_ = std::move(v);
    return member_;
  }
  template <class V>
  bool Put(V&& v) {
    Place(nlohmann::json(std::forward<V>(v)));
    return Closed();
  }
  // A value just ended; one that is a run of the session goes to on_run.
  bool Closed() {
    if (stack_.size() == 1 && runs_key_ && !runs_array_) runs_key_ = false;
    if (runs_array_ == nullptr || stack_.empty() || stack_.back() != runs_array_) return true;
    on_run(runs_array_->back());
    runs_array_->erase(runs_array_->size() - 1);
    ++runs;
    return true;
  }
  std::vector<nlohmann::json*> stack_;            // open containers
  std::vector<std::set<std::string>> keys_;       // per open object
  nlohmann::json* member_ = nullptr;              // where an object's next value goes
  bool runs_key_ = false;                         // the top object's "runs" is next
  nlohmann::json* runs_array_ = nullptr;
};

// Parses `text` strictly, handing a session's runs to `on_run` when it is set.
nlohmann::json Build(const std::string& text, const std::string& where,
                     std::function<void(const nlohmann::json&)> on_run, size_t* runs) {
  StrictBuilder b;
  b.on_run = std::move(on_run);
  nlohmann::json::sax_parse(text, &b);
  // The parser would keep the last silently; the user meant one of them.
  if (!b.twice.empty())
    throw CaseError(where + ": key \"" + b.twice + "\" appears twice in one object",
                    CaseError::Kind::kDamaged);
  if (b.out_of_range)
    throw CaseError(where + " holds a number out of range: " + b.error, CaseError::Kind::kDamaged);
  if (!b.error.empty()) throw CaseError(where + " is not valid JSON: " + b.error, CaseError::Kind::kDamaged);
  if (runs) *runs = b.runs;
  return std::move(b.root);
}

}  // namespace

nlohmann::json ParseJsonStrict(const std::string& text, const std::string& where) {
  return Build(text, where, nullptr, nullptr);
}

CaseReader CaseReader::Open(const std::string& path) {
  const bool standard_input = path == "-";
  std::error_code ec;
  if (!standard_input && std::filesystem::is_directory(path, ec))
    throw CaseError("\"" + path + "\" is a folder, not a case file", CaseError::Kind::kUnreadable);
  try {
    return FromText(files::ReadBounded(path, files::kMaxCaseFileBytes,
                                        standard_input ? "the case" : "case file"),
                    standard_input ? "the case on standard input" : "case file \"" + path + "\"");
  } catch (const files::FileError& e) {
    throw CaseError(e.what(), CaseError::Kind::kUnreadable);
  }
}

CaseReader CaseReader::FromText(std::string text, std::string where) {
  CaseReader r;
  r.text_ = std::move(text);
  r.where_ = std::move(where);
  // Every run is checked before any runs, and none is kept.
  const HeadlessForm form;
  const nlohmann::json rest = Build(
      r.text_, r.where_, [&](const nlohmann::json& run) { ParseOne(run, form); }, &r.count_);
  CheckSession(rest);
  r.several_ = rest.is_object() && rest.contains("runs");
  if (!r.several_) {
    ParseOne(rest, form);
    r.count_ = 1;
  }
  return r;
}

void CaseReader::ForEach(const std::function<void(const CaseInput&)>& each) const {
  const HeadlessForm form;
  const nlohmann::json rest = Build(
      text_, where_, [&](const nlohmann::json& run) { each(ParseOne(run, form)); }, nullptr);
  if (!several_) each(ParseOne(rest, form));
}

std::vector<CaseInput> CaseReader::All() const {
  std::vector<CaseInput> out;
  ForEach([&](const CaseInput& c) { out.push_back(c); });
  return out;
}

bool RunShowedError(const nlohmann::json& run) {
  for (const auto& m : run["messages"])
    if (m["icon"] == "critical") return true;
  return false;
}

std::vector<CaseInput> ParseCaseFile(const std::string& path, bool* several) {
  const CaseReader r = CaseReader::Open(path);
  *several = r.several();
  return r.All();
}

CaseSession::CaseSession(Database& db) : env(form), db_(db) {
  state.db = &db_;
  Form_Load(state, env);
}

void CaseSession::EnterText(const std::string& control, const std::string& text) {
  // The whole text at once, as a paste or the window's file open enters it:
  // handlers that judge a half-typed number ("5" of "5e-05") never see one.
  form.SetText(control, text);
  TextEdited(env, control);
  if (const Handler change = ChangeHandler(control)) change(state, env);
  if (const Handler lost = LostFocusHandler(control)) lost(state, env);
}

void CaseSession::Choose(const std::string& control, const std::string& item) {
  form.SetListIndex(control, form.FindItem(control, item));
  if (const Handler click = ClickHandler(control)) click(state, env);
  if (const Handler change = ChangeHandler(control)) change(state, env);
  if (const Handler lost = LostFocusHandler(control)) lost(state, env);
}

nlohmann::json CaseSession::Run(const CaseInput& input) {
  // Only this run's messages are kept: a long session must not grow by them.
  form.messages.clear();
  const int stored_before = env.case_records_written;
  const int shown_before = env.results_shown;
  if (input.selection_option) opt_br_Click(state, env, *input.selection_option);
  if (input.calc_option) opt_br_Click(state, env, *input.calc_option);
  for (const auto& name : layout::kFocusOrder) {
    for (const auto& [control, text] : input.controls) {
      if (control != name) continue;
      if (form.IsList(control))
        Choose(control, text);
      else
        EnterText(control, text);
    }
  }
  // Every automatic design takes the search's answer, table shown or not.
  AlternativesWatch watch(env, alternatives);
  cmd_count_Click(state, env);
  last_run_has_result = env.results_shown > shown_before;
  // A manual design's table costs a design per candidate: only when asked.
  std::optional<AlternativesTable> table;
  if (alternatives && (table = watch.Take())) ShowSuggestion(form, *table);

  nlohmann::json out;
  // Raised whenever a key changes meaning or unit, so a reader can refuse
  // what it does not know.
  out["format_version"] = kOutputFormatVersion;
  out["messages"] = nlohmann::json::array();
  last_run_messages = form.messages;
  for (const auto& m : last_run_messages) out["messages"].push_back(MessageToJson(m, english));
  nlohmann::json controls = nlohmann::json::object();
  for (const auto& n : form.ControlNames()) controls[n] = form.Text(n);
  out["controls"] = controls;
  out["state"] = StateToJson(state);
  out["report"] = nullptr;
  if (env.case_records_written > stored_before) {
    std::vector<std::vector<std::pair<std::string, Cell>>> rows;
    try {
      rows = db_.ReadCaseRecords();
    } catch (const DbError& e) {
      // Another program may hold the file: this run says so, the next goes on.
      RecordedMessage m;
      m.message = Message("record_not_read").With("detail", e.what());
      m.title_message = Message("title.error");
      m.text = Format(m.message, Lang::kZh);
      m.title = Format(m.title_message, Lang::kZh);
      m.icon = MsgIcon::kCritical;
      out["messages"].push_back(MessageToJson(m, english));
      last_run_messages.push_back(std::move(m));
    }
    if (!rows.empty()) {
      nlohmann::json rec = nlohmann::json::object();
      for (const auto& [col, cell] : rows.front()) {
        if (const double* d = std::get_if<double>(&cell)) rec[col] = *d;
        else if (const std::string* t = std::get_if<std::string>(&cell)) rec[col] = *t;
        else rec[col] = nullptr;
      }
      out["report"] = rec;
    }
  }
  if (alternatives) out["alternatives"] = table ? AlternativesToJson(*table) : nlohmann::json::array();
  last_alternatives = std::move(table);
  if (curves) {
    std::optional<curves::OperatingCurves> c;
    if (last_run_has_result && env.result) c = curves::Compute(*env.result);
    out["curves"] = c ? curves::ToJson(*c) : nlohmann::json();
  }
  return out;
}

nlohmann::json StateToJson(const SelectionState& s) {
  nlohmann::json j = nlohmann::json::object();
  for_each_field(s, [&](const char* name, const auto& v) {
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, float>)
      j[name] = static_cast<double>(v);
    else
      j[name] = v;
  });
  return j;
}

}  // namespace phe
