#include "compare/alternatives.h"

#include <algorithm>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "workflow/limits.h"
#include "workflow/selection.h"
#include "workflow/transfer.h"

namespace phe {

namespace {

// Families in catalogue order, PX32 to PX450.
std::vector<std::string> Families() {
  std::vector<std::string> out;
  for (const ModelInfo& m : Models())
    if (out.empty() || out.back() != m.family) out.push_back(m.family);
  return out;
}

struct Candidate {
  std::string model;
  std::string type;
};

// The models of the family of `model`, the family below and the two above,
// each with H, M and L; the user's own model also mixed when chosen so.
std::vector<Candidate> Candidates(const ModelInfo& model, const std::string& mixed_type) {
  const auto families = Families();
  const auto at = std::find(families.begin(), families.end(), model.family) - families.begin();
  const auto first = std::max<std::ptrdiff_t>(0, at - 1);
  const auto last = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(families.size()) - 1, at + 2);
  std::vector<Candidate> out;
  for (const ModelInfo& m : Models()) {
    const auto f = std::find(families.begin(), families.end(), m.family) - families.begin();
    if (f < first || f > last) continue;
    for (const char* type : {"H", "M", "L"}) out.push_back({m.code, type});
  }
  if (!mixed_type.empty())
    for (const char* type : {"HM", "ML"}) out.push_back({model.code, type});
  return out;
}

std::string Status(const SelectionState& s) {
  const std::string broken = BrokenLimit(s);
  return broken.empty() ? "fits" : broken;
}

// One candidate, as the Run command designs a manual choice after the
// balance; nullopt when that design ends in an error message.
std::optional<Alternative> Design(const BalancedCase& start, const Candidate& c) {
  SelectionState s = start.state;
  HeadlessForm form = start.form;
  s.selection_mode = 1;
  form.SetText("com_br", c.model);
  form.SetText("com_zh", c.type);
  Env env(form);
  try {
    env.rs_hot = s.db->OpenRecordSet(s.table_h);
    env.rs_cold = s.db->OpenRecordSet(s.table_c);
    env.rs_bpdrxs = s.db->OpenRecordSet("BPDRXS");
    CalculateResults(s, env);
  } catch (const RunAborted&) {
    return std::nullopt;
  } catch (const DbError&) {
    return std::nullopt;
  }
  // Channels as the window would show this design after "采用".
  const RunResult shown = MakeRunResult(s, env);
  Alternative a;
  a.designation = s.plate_type;
  a.model = c.model;
  a.type = c.type;
  a.passes = s.passes;
  a.channels_hm = shown.channels_1;
  a.channels_ml = shown.channels_2;
  a.plate_count = s.plate_count;
  a.area = s.area;
  a.k_service = s.k_service;
  a.margin = s.margin;
  a.dp_h = s.dp_h;
  a.dp_c = s.dp_c;
  a.dp_max_h = s.dp_max_h;
  a.dp_max_c = s.dp_max_c;
  a.v_port_h = s.v_port_h;
  a.v_port_c = s.v_port_c;
  a.fouling_out = s.fouling_out;
  a.price = s.price;
  a.weight = s.weight;
  a.status = Status(s);
  return a;
}

}  // namespace

BalancedCase CaptureBalance(const SelectionState& s, const FormPort& form) {
  BalancedCase c{s, HeadlessForm()};
  for (const auto& name : c.form.ControlNames()) c.form.SetText(name, form.Text(name));
  return c;
}

AlternativesTable BuildAlternatives(const BalancedCase& start, const RunResult& run) {
  const SelectionState& result = run.record;
  AlternativesTable table;
  const ModelInfo* model = FindModel(result.model_code);
  if (!model || result.calc_mode != 1) return table;

  // The program's own choice: the user's plate type, or the search's.
  const bool manual = start.state.selection_mode == 1;
  const std::string own = manual ? start.form.Text("com_br") + "-" + start.form.Text("com_zh")
                                 : result.best_plate_type;
  const auto parsed = ParsePlateType(own);
  const bool own_mixed = manual && parsed && SingleTypeIndex(parsed->channel) < 0;
  const ModelInfo& base = parsed ? Models()[static_cast<size_t>(parsed->model)] : *model;

  for (const Candidate& c : Candidates(base, own_mixed ? ChannelTypeCode(parsed->channel) : "")) {
    auto row = Design(start, c);
    if (!row) continue;
    row->chosen = EqualsNoCase(row->PlateType(), own);
    table.rows.push_back(std::move(*row));
  }
  std::stable_sort(table.rows.begin(), table.rows.end(), [](const Alternative& a, const Alternative& b) {
    if (a.Fits() != b.Fits()) return a.Fits();
    if (a.price != b.price) return a.price < b.price;
    return a.area < b.area;
  });

  if (!BrokenLimit(result).empty() && !table.rows.empty() && table.rows.front().Fits()) {
    const Alternative& best = table.rows.front();
    table.suggestion = Message("suggestion")
                           .With("type", best.PlateType())
                           .With("designation", best.designation)
                           .With("area", FormatFixed(best.area, 1))
                           .With("price", FormatGeneral(best.price));
  }
  return table;
}

AlternativesWatch::AlternativesWatch(Env& env) : env_(env) {
  env_.on_sizing = [this](const SelectionState& s) {
    start_ = CaptureBalance(s, env_.form);
    finished_before_ = env_.results_shown;
  };
}

AlternativesWatch::~AlternativesWatch() { env_.on_sizing = nullptr; }

std::optional<AlternativesTable> AlternativesWatch::Take() {
  std::optional<BalancedCase> start = std::move(start_);
  start_.reset();
  if (!start || !env_.result || env_.results_shown <= finished_before_) return std::nullopt;
  return BuildAlternatives(*start, *env_.result);
}

void ShowSuggestion(FormPort& form, const AlternativesTable& table) {
  if (!table.suggestion.id.empty()) ShowMessage(form, table.suggestion, "title.notice", 64);
}

nlohmann::json AlternativesToJson(const AlternativesTable& table) {
  nlohmann::json out = nlohmann::json::array();
  for (const Alternative& a : table.rows)
    out.push_back({{"designation", a.designation}, {"model", a.model},
                   {"type", a.type},               {"passes", a.passes},
                   {"channels_hm", a.channels_hm}, {"channels_ml", a.channels_ml},
                   {"plate_count", a.plate_count}, {"area", a.area},
                   {"k_service", a.k_service},     {"margin", a.margin},
                   {"dp_h", a.dp_h},               {"dp_c", a.dp_c},
                   {"dp_max_h", a.dp_max_h},       {"dp_max_c", a.dp_max_c},
                   {"v_port_h", a.v_port_h},       {"v_port_c", a.v_port_c},
                   {"fouling_out", a.fouling_out}, {"price", a.price},
                   {"weight", a.weight},           {"status", a.status},
                   {"chosen", a.chosen}});
  return out;
}

}  // namespace phe
