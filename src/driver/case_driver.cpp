#include "driver/case_driver.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
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
    bool input = false;
    for (const auto& n : layout::kFocusOrder) input = input || n == key;
    if (!input || key.rfind("opt_br", 0) == 0)
      throw CaseError("unknown control \"" + key + "\"");
    const std::string text = ValueText(key, value);
    in.controls.emplace_back(key, form.IsList(key) ? ListItem(form, key, text) : text);
  }
  return in;
}

}  // namespace

std::vector<CaseInput> ParseCases(const nlohmann::json& doc, bool* several) {
  HeadlessForm form;
  std::vector<CaseInput> out;
  *several = false;
  if (doc.is_object() && doc.contains("runs")) {
    if (doc.size() != 1 || !doc["runs"].is_array())
      throw CaseError("\"runs\" must be the only key and hold an array of cases");
    *several = true;
    for (const auto& c : doc["runs"]) out.push_back(ParseOne(c, form));
  } else {
    out.push_back(ParseOne(doc, form));
  }
  return out;
}

namespace {

// Refuses a key given twice in one object in a pass of its own: the parser's
// callback form rescans a container at every value it closes, which makes a
// long array of objects quadratic.
struct DuplicateKeys : nlohmann::json_sax<nlohmann::json> {
  std::vector<std::set<std::string>> keys;  // per open object
  std::string twice;
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    keys.emplace_back();
    return true;
  }
  bool key(string_t& k) override {
    if (keys.back().insert(k).second) return true;
    twice = k;
    return false;
  }
  bool end_object() override {
    keys.pop_back();
    return true;
  }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }
};

}  // namespace

nlohmann::json ParseJsonStrict(const std::string& text, const std::string& where) {
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(text);
  } catch (const nlohmann::json::out_of_range& e) {
    throw CaseError(where + " holds a number out of range: " + e.what());
  } catch (const nlohmann::json::exception& e) {
    throw CaseError(where + " is not valid JSON: " + e.what());
  }
  DuplicateKeys dup;
  nlohmann::json::sax_parse(text, &dup);
  // The parser would keep the last silently; the user meant one of them.
  if (!dup.twice.empty())
    throw CaseError(where + ": key \"" + dup.twice + "\" appears twice in one object");
  return doc;
}

bool RunShowedError(const nlohmann::json& run) {
  for (const auto& m : run["messages"])
    if (m["icon"] == "critical") return true;
  return false;
}

std::vector<CaseInput> ParseCaseFile(const std::string& path, bool* several) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw CaseError("\"" + path + "\" is a folder, not a case file");
  std::string text;
  try {
    text = files::ReadBounded(path, files::kMaxCaseFileBytes, "case file");
  } catch (const files::FileError& e) {
    throw CaseError(e.what());
  }
  return ParseCases(ParseJsonStrict(text, "case file \"" + path + "\""), several);
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
  const size_t first_message = form.messages.size();
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
  AlternativesWatch watch(env);
  cmd_count_Click(state, env);
  last_run_has_result = env.results_shown > shown_before;
  std::optional<AlternativesTable> table = watch.Take(state);
  if (alternatives && table) ShowSuggestion(form, *table);

  nlohmann::json out;
  // Raised whenever a key changes meaning or unit, so a reader can refuse
  // what it does not know.
  out["format_version"] = kOutputFormatVersion;
  out["messages"] = nlohmann::json::array();
  last_run_messages.assign(form.messages.begin() + static_cast<std::ptrdiff_t>(first_message),
                           form.messages.end());
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
    if (last_run_has_result) c = curves::Compute(state, env);
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
