#include "compare/alternatives.h"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "base/numeric.h"
#include "catalogue/catalogue.h"
#include "workflow/engineering_checks.h"
#include "workflow/limits.h"
#include "workflow/selection.h"
#include "workflow/transfer.h"

namespace phe {

namespace {

struct Candidate {
  std::string model;
  std::string type;
  double passes = 1;
  double units = 1;
};

// Unit counts worth a row: one when one unit carries the flows, else from
// the least the flows need to two more; the user's own count as well (0 in
// an automatic design, which has none).
std::vector<double> UnitCounts(const SelectionState& s, double own) {
  const double least = LeastUnits(s);
  std::vector<double> out;
  if (least > 1)
    out = {least, least + 1, least + 2};
  else
    out = {1};
  if (own >= 1 && std::find(out.begin(), out.end(), own) == out.end()) out.push_back(own);
  return out;
}

std::vector<double> PassCounts(const SelectionState& s) {
  if (s.hot_kind == 2) return {1};  // a steam pack has one pass
  std::vector<double> out = {1, 2, 3, 4};
  if (std::find(out.begin(), out.end(), s.passes) == out.end()) out.push_back(s.passes);
  return out;
}

std::vector<Candidate> Candidates(const SelectionState& s, bool mixed, double own_units) {
  std::vector<Candidate> out;
  const auto passes = PassCounts(s);
  const auto units = UnitCounts(s, own_units);
  std::vector<const char*> types = {"H", "M", "L"};
  if (mixed) types.insert(types.end(), {"HM", "ML"});
  for (const ModelInfo& m : Models())
    for (const char* type : types)
      for (double p : passes)
        for (double n : units) out.push_back({m.code, type, p, n});
  return out;
}

// The rule a finished design breaks first, from its record and the warnings
// its run showed; "fits" when it showed none.
std::string Status(const SelectionState& s, const std::vector<RecordedMessage>& shown) {
  const std::string broken = BrokenLimit(s);
  if (!broken.empty()) return broken;
  bool warned = false, port_loss = false;
  for (const RecordedMessage& m : shown) {
    if (m.icon == MsgIcon::kInformation) continue;  // e.g. the split into units
    warned = true;
    if (m.message.id == "warn.port_loss") port_loss = true;
  }
  if (port_loss) return "port_loss";
  if (!LimitBreaches(s).empty()) return "margin";
  return warned ? "warning" : "fits";
}

// A candidate's design as its run ended, with the warnings it showed.
struct Designed {
  SelectionState record;
  std::vector<RecordedMessage> messages;
};

Alternative Row(const Designed& d, const std::string& model, const std::string& type) {
  const SelectionState& s = d.record;
  Alternative a;
  a.designation = s.plate_type;
  a.model = model;
  a.type = type;
  a.passes = s.passes;
  a.units = std::max(1.0, s.units);
  // As the window would show the channels after "采用".
  std::tie(a.channels_hm, a.channels_ml) = ShownChannels(s);
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
  a.price_total = a.price * a.units;
  a.area_total = a.area * a.units;
  a.weight_total = a.weight * a.units;
  a.status = Status(s, d.messages);
  return a;
}

// Runs the selection stage on copies of the start; nullopt when the run ends
// in an error message. `prepare` turns the copy into the design wanted.
template <class Prepare>
std::optional<Designed> RunCopy(const BalancedCase& start, Prepare&& prepare) {
  Designed d{start.state, {}};
  SelectionState& s = d.record;
  HeadlessForm form = start.form;
  form.message_texts = false;  // a row's status reads their ids and icons
  prepare(s, form);
  const size_t before = form.messages.size();
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
  d.messages.assign(std::make_move_iterator(form.messages.begin() + static_cast<std::ptrdiff_t>(before)),
                    std::make_move_iterator(form.messages.end()));
  return d;
}

// One candidate, as the Run command designs a manual choice after the balance.
std::optional<Alternative> Design(const BalancedCase& start, const Candidate& c) {
  auto run = RunCopy(start, [&](SelectionState& s, HeadlessForm& form) {
    s.selection_mode = 1;
    s.passes = c.passes;
    form.SetText("com_br", c.model);
    form.SetText("com_zh", c.type);
    form.SetText("Txt_N", FormatWhole(c.passes));
    form.SetText("Txt_NUM1", FormatWhole(c.units));
  });
  if (!run) return std::nullopt;
  return Row(*run, c.model, c.type);
}

// The pick of the family rule of automatic design.
std::optional<Alternative> RuleDesign(const BalancedCase& start) {
  auto run = RunCopy(start, [](SelectionState& s, HeadlessForm&) { s.selection_mode = 0; });
  if (!run) return std::nullopt;
  const auto parsed = ParsePlateType(run->record.best_plate_type);
  if (!parsed) return std::nullopt;
  return Row(*run, Models()[static_cast<size_t>(parsed->model)].code, ChannelTypeCode(parsed->channel));
}

bool SamePack(const Alternative& a, const std::string& plate_type, double passes, double units) {
  return EqualsNoCase(a.PlateType(), plate_type) && a.passes == passes && a.units == units;
}

// Every candidate, or only those at `passes` when it is given.
std::vector<Alternative> DesignAll(const BalancedCase& start, bool mixed, double own_units,
                                   std::optional<double> passes = std::nullopt) {
  std::vector<Alternative> rows;
  for (const Candidate& c : Candidates(start.state, mixed, own_units))
    if (!passes || c.passes == *passes)
      if (auto row = Design(start, c)) rows.push_back(std::move(*row));
  return rows;
}

// The family rule's pick marked among the rows, or added to them when none
// of them is its pack.
void AddRuleChoice(std::vector<Alternative>& rows, const BalancedCase& start) {
  auto rule = RuleDesign(start);
  if (!rule) return;
  bool found = false;
  for (Alternative& a : rows)
    if (SamePack(a, rule->PlateType(), rule->passes, rule->units)) found = a.rule_choice = true;
  if (!found) {
    rule->rule_choice = true;
    rows.push_back(std::move(*rule));
  }
}

double EnteredPasses(const SelectionState& s) { return s.hot_kind == 2 ? 1 : s.passes; }

// The answer: the first fitting row at the entered passes of the sorted rows.
Alternative* Answer(std::vector<Alternative>& rows, double entered) {
  for (Alternative& a : rows)
    if (a.Fits() && a.passes == entered) return &a;
  return nullptr;
}

void Sort(std::vector<Alternative>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const Alternative& a, const Alternative& b) {
    if (a.Fits() != b.Fits()) return a.Fits();
    if (a.price_total != b.price_total) return a.price_total < b.price_total;
    if (a.area_total != b.area_total) return a.area_total < b.area_total;
    return a.units < b.units;
  });
}

int ChosenRow(const AlternativesTable& t) {
  for (size_t i = 0; i < t.rows.size(); ++i)
    if (t.rows[i].chosen) return static_cast<int>(i);
  return -1;
}

void Suggest(AlternativesTable& t, int best) {
  if (best < 0) return;
  const Alternative& b = t.rows[static_cast<size_t>(best)];
  t.better = best;
  t.suggestion = Message("suggestion")
                     .With("type", b.PlateType())
                     .With("designation", b.designation)
                     .With("passes", FormatWhole(b.passes))
                     .With("units", FormatWhole(b.units))
                     .With("area", FormatFixed(b.area_total, 1))
                     .With("price", FormatGeneral(b.price_total));
}

}  // namespace

BalancedCase CaptureBalance(const SelectionState& s, const FormPort& form) {
  BalancedCase c{s, HeadlessForm()};
  for (const auto& name : c.form.ControlNames()) c.form.SetText(name, form.Text(name));
  return c;
}

PackSearch SearchPacks(const BalancedCase& start) {
  PackSearch out;
  AlternativesTable& t = out.table;
  if (start.state.calc_mode != 1) return out;
  t.rows = DesignAll(start, false, 0);
  AddRuleChoice(t.rows, start);
  Sort(t.rows);
  const double entered = EnteredPasses(start.state);
  if (Alternative* a = Answer(t.rows, entered)) {
    a->chosen = true;
    out.pick = PackPick{a->PlateType(), a->units};
  } else {
    for (Alternative& r : t.rows)
      if (r.rule_choice) r.chosen = true;
  }

  // One notice: a fitting pack at another pass count that the answer does not beat.
  const int answer = ChosenRow(t);
  for (size_t i = 0; i < t.rows.size(); ++i) {
    const Alternative& a = t.rows[i];
    if (!a.Fits() || a.passes == entered) continue;
    if (answer < 0 || !t.rows[static_cast<size_t>(answer)].Fits() ||
        a.price_total < t.rows[static_cast<size_t>(answer)].price_total)
      Suggest(t, static_cast<int>(i));
    break;
  }
  return out;
}

std::optional<PackPick> SearchPick(const BalancedCase& start) {
  if (start.state.calc_mode != 1) return std::nullopt;
  // A gasket or lining unfit for the case breaks a rule whatever the pack:
  // no row could fit, and the run takes the rule's pick without a search.
  if (AnyMaterialWarning(start.state, start.form.Text("Com_jgl"))) return std::nullopt;
  // A row at other passes moves no row at these within the stable sort, and
  // the rule's pack is found among them exactly when it has these passes.
  const double entered = EnteredPasses(start.state);
  std::vector<Alternative> rows = DesignAll(start, false, 0, entered);
  AddRuleChoice(rows, start);
  Sort(rows);
  if (const Alternative* a = Answer(rows, entered)) return PackPick{a->PlateType(), a->units};
  return std::nullopt;
}

AlternativesTable BuildAlternatives(const BalancedCase& start, const RunResult& run) {
  const SelectionState& result = run.record;
  AlternativesTable table;
  const ModelInfo* model = FindModel(result.model_code);
  if (!model || result.calc_mode != 1) return table;
  if (start.state.selection_mode != 1) return SearchPacks(start).table;

  // The user's own plate type, passes and units.
  const std::string own = start.form.Text("com_br") + "-" + start.form.Text("com_zh");
  const auto parsed = ParsePlateType(own);
  const bool own_mixed = parsed && SingleTypeIndex(parsed->channel) < 0;
  const double own_units = EnteredUnits(start.form);
  const double own_passes = EnteredPasses(start.state);

  table.rows = DesignAll(start, own_mixed, own_units);
  for (Alternative& a : table.rows) a.chosen = SamePack(a, own, own_passes, own_units);
  Sort(table.rows);
  const int chosen = ChosenRow(table);
  const bool own_fits = chosen >= 0 && table.rows[static_cast<size_t>(chosen)].Fits();
  if (!own_fits && !table.rows.empty() && table.rows.front().Fits()) Suggest(table, 0);
  return table;
}

AlternativesWatch::AlternativesWatch(Env& env, bool tables)
    : env_(env), outer_(env.on_sizing), tables_(tables) {
  // A watcher already on the hook (a benchmark's, a test's) still hears it.
  env_.on_sizing = [this](const SelectionState& s) {
    if (outer_) outer_(s);
    start_ = CaptureBalance(s, env_.form);
    searched_.reset();
    finished_before_ = env_.results_shown;
  };
  env_.choose_pack = [this](const SelectionState&) -> std::optional<PackPick> {
    if (!start_) return std::nullopt;
    if (!tables_) return SearchPick(*start_);
    PackSearch found = SearchPacks(*start_);
    searched_ = std::move(found.table);
    return found.pick;
  };
}

AlternativesWatch::~AlternativesWatch() {
  env_.on_sizing = outer_;
  env_.choose_pack = nullptr;
}

std::optional<AlternativesTable> AlternativesWatch::Take() {
  std::optional<BalancedCase> start = std::move(start_);
  std::optional<AlternativesTable> searched = std::move(searched_);
  start_.reset();
  searched_.reset();
  if (!start || !env_.result || env_.results_shown <= finished_before_) return std::nullopt;
  if (searched) return searched;
  return BuildAlternatives(*start, *env_.result);
}

MsgAnswer ShowSuggestion(FormPort& form, const AlternativesTable& table) {
  if (table.suggestion.id.empty()) return MsgAnswer::kCancel;
  return form.MessageBox(table.suggestion, Message("title.notice"), MsgIcon::kInformation,
                         MsgButtons::kAdoptClose);
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
                   {"weight", a.weight},           {"units", a.units},
                   {"price_total", a.price_total}, {"area_total", a.area_total},
                   {"weight_total", a.weight_total}, {"status", a.status},
                   {"chosen", a.chosen},           {"rule_choice", a.rule_choice}});
  return out;
}

}  // namespace phe
