#include "batch/batch.h"

#include <csv.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "ui/layout.h"

namespace phe {

namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CaseError("cannot read \"" + path + "\"");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw CaseError("cannot read \"" + path + "\"");
  // Spreadsheets write a byte-order mark before UTF-8 text.
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  return text;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A case of its own: a session of several runs would make the row depend on
// the order of its runs, which a batch promises never to do.
BatchCase FromJson(std::string name, nlohmann::json doc, bool name_key) {
  BatchCase c;
  c.name = std::move(name);
  try {
    if (name_key && doc.is_object() && doc.contains("name")) {
      if (!doc["name"].is_string()) throw CaseError("\"name\" must be a text");
      c.name = doc["name"].get<std::string>();
      doc.erase("name");
    }
    bool several = false;
    auto inputs = ParseCases(doc, &several);
    if (several) throw CaseError("a session of runs cannot be one batch case");
    c.input = std::move(inputs.front());
  } catch (const CaseError& e) {
    c.error = e.what();
  }
  return c;
}

BatchCase FromJsonText(std::string name, const std::string& text, const std::string& where,
                       bool name_key) {
  try {
    return FromJson(std::move(name), ParseJsonStrict(text, where), name_key);
  } catch (const CaseError& e) {
    BatchCase c;
    c.name = std::move(name);
    c.error = e.what();
    return c;
  }
}

std::vector<BatchCase> ReadFolder(const std::string& path) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(path, ec))
    if (e.is_regular_file(ec) && Lower(e.path().filename().string()).ends_with(".json"))
      files.push_back(e.path());
  if (ec) throw CaseError("cannot read the folder \"" + path + "\": " + ec.message());
  if (files.empty()) throw CaseError("the folder \"" + path + "\" holds no case file (*.json)");
  std::sort(files.begin(), files.end());
  std::vector<BatchCase> out;
  for (const auto& f : files) {
    const std::string name = f.filename().string();
    try {
      out.push_back(FromJsonText(name, ReadWhole(f.string()), "the case", false));
    } catch (const CaseError& e) {
      out.push_back({name, std::nullopt, e.what()});
    }
  }
  return out;
}

std::vector<BatchCase> ReadJsonLines(const std::string& text) {
  std::vector<BatchCase> out;
  size_t line = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string l = text.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (l.find_first_not_of(" \t\r") == std::string::npos) continue;
    out.push_back(FromJsonText("line " + std::to_string(line), l, "the case", true));
  }
  return out;
}

// Records of a CSV text as libcsv splits them (quotes, doubled quotes and line
// breaks inside quotes as RFC 4180 has them).
std::vector<std::vector<std::string>> SplitCsv(const std::string& text, const std::string& path) {
  struct Sink {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
  } sink;
  auto field = [](void* s, size_t len, void* data) {
    static_cast<Sink*>(data)->record.emplace_back(static_cast<const char*>(s), len);
  };
  auto end = [](int, void* data) {
    auto* k = static_cast<Sink*>(data);
    k->records.push_back(std::move(k->record));
    k->record.clear();
  };
  csv_parser p;
  if (csv_init(&p, CSV_STRICT | CSV_STRICT_FINI) != 0) throw CaseError("out of memory");
  const bool ok = csv_parse(&p, text.data(), text.size(), field, end, &sink) == text.size() &&
                  csv_fini(&p, field, end, &sink) == 0;
  const std::string why = ok ? "" : csv_strerror(csv_error(&p));
  csv_free(&p);
  if (!ok) throw CaseError("\"" + path + "\" is not valid CSV: " + why);
  return std::move(sink.records);
}

std::vector<BatchCase> ReadCsv(const std::string& text, const std::string& path) {
  auto records = SplitCsv(text, path);
  if (records.empty()) throw CaseError("\"" + path + "\" has no header row");
  const auto& header = records.front();
  const std::vector<std::string> extra = {"name",    "selection", "calc",
                                          "project", "item",      "customer"};
  for (size_t i = 0; i < header.size(); ++i) {
    const auto& h = header[i];
    const bool control = h.rfind("opt_br", 0) != 0 &&
                         std::find(layout::kFocusOrder.begin(), layout::kFocusOrder.end(), h) !=
                             layout::kFocusOrder.end();
    if (!control && std::find(extra.begin(), extra.end(), h) == extra.end())
      throw CaseError("\"" + path + "\": unknown column \"" + h + "\"");
    if (std::find(header.begin(), header.begin() + static_cast<long>(i), h) !=
        header.begin() + static_cast<long>(i))
      throw CaseError("\"" + path + "\": column \"" + h + "\" appears twice");
  }
  std::vector<BatchCase> out;
  for (size_t r = 1; r < records.size(); ++r) {
    const auto& cells = records[r];
    const std::string where = "row " + std::to_string(r);
    if (cells.size() != header.size()) {
      out.push_back({where, std::nullopt,
                     where + " has " + std::to_string(cells.size()) + " cells, the header " +
                         std::to_string(header.size())});
      continue;
    }
    nlohmann::json doc = nlohmann::json::object();
    for (size_t i = 0; i < cells.size(); ++i)
      if (!cells[i].empty()) doc[header[i]] = cells[i];
    out.push_back(FromJson(where, std::move(doc), true));
  }
  return out;
}

std::string Number(double v) {
  if (!std::isfinite(v)) return "";
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

struct ResultColumn {
  const char* name;
  bool numeric;
  std::string (*value)(const CaseSession&);
};

// A box the window leaves empty (area, weight, price beyond the largest pack)
// stays empty here too.
std::string IfShown(const CaseSession& c, const char* box, double v) {
  return c.form.Text(box).empty() ? "" : Number(v);
}

const ResultColumn kResultColumns[] = {
    {"designation", false, [](const CaseSession& c) { return c.state.plate_type; }},
    {"model", false, [](const CaseSession& c) { return c.state.model_code; }},
    {"type", false, [](const CaseSession& c) { return c.state.arrangement_type; }},
    {"channels_1", true, [](const CaseSession& c) { return c.form.Text("Txt_nh"); }},
    {"channels_2", true, [](const CaseSession& c) { return c.form.Text("Txt_nl"); }},
    {"passes", true, [](const CaseSession& c) { return Number(c.state.passes); }},
    {"plates", true, [](const CaseSession& c) { return Number(c.state.plate_count); }},
    {"area_m2", true, [](const CaseSession& c) { return IfShown(c, "Txt_F", c.state.area); }},
    {"k_w_m2c", true, [](const CaseSession& c) { return Number(c.state.k_service); }},
    {"lmtd_c", true, [](const CaseSession& c) { return Number(c.state.lmtd); }},
    {"margin_pct", true, [](const CaseSession& c) { return Number(c.state.margin); }},
    {"fouling_capacity_m2c_w", true,
     [](const CaseSession& c) { return Number(c.state.fouling_out); }},
    {"dp_hot_kpa", true, [](const CaseSession& c) { return Number(c.state.dp_h); }},
    {"dp_cold_kpa", true, [](const CaseSession& c) { return Number(c.state.dp_c); }},
    {"dp_port_hot_kpa", true, [](const CaseSession& c) { return Number(c.state.dp_port_h); }},
    {"dp_port_cold_kpa", true, [](const CaseSession& c) { return Number(c.state.dp_port_c); }},
    {"v_port_hot_m_s", true, [](const CaseSession& c) { return Number(c.state.v_port_h); }},
    {"v_port_cold_m_s", true, [](const CaseSession& c) { return Number(c.state.v_port_c); }},
    {"price_cny", true, [](const CaseSession& c) { return IfShown(c, "Txt_Y", c.state.price); }},
    {"weight_kg", true,
     [](const CaseSession& c) { return IfShown(c, "Txt_W", static_cast<double>(c.state.weight)); }},
    {"units", true, [](const CaseSession& c) { return Number(c.state.units); }},
};

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (const char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string JoinedMessages(const BatchRow& row) {
  std::string all;
  for (const auto& m : row.messages) all += (all.empty() ? "" : " | ") + m;
  return all;
}

std::string CsvLine(const BatchRow& row) {
  std::string line = CsvField(row.name) + "," + StatusName(row.status) + "," +
                     CsvField(JoinedMessages(row));
  for (size_t i = 0; i < std::size(kResultColumns); ++i) {
    line += ',';
    if (!row.results.empty()) line += CsvField(row.results[i]);
  }
  return line + "\r\n";
}

std::string JsonLine(const BatchRow& row) {
  nlohmann::ordered_json j;
  j["name"] = row.name;
  j["status"] = StatusName(row.status);
  j["messages"] = row.messages;
  for (size_t i = 0; i < std::size(kResultColumns); ++i) {
    const std::string v = row.results.empty() ? "" : row.results[i];
    if (v.empty())
      j[kResultColumns[i].name] = nullptr;
    else if (kResultColumns[i].numeric)
      j[kResultColumns[i].name] = nlohmann::ordered_json::parse(v);
    else
      j[kResultColumns[i].name] = v;
  }
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string Clock(double seconds) {
  const long s = std::lround(std::max(0.0, seconds));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

}  // namespace

const char* StatusName(BatchStatus status) {
  switch (status) {
    case BatchStatus::kOk: return "ok";
    case BatchStatus::kWarning: return "warning";
    case BatchStatus::kRefused: return "refused";
    case BatchStatus::kError: return "error";
  }
  return "error";
}

const std::vector<std::string>& BatchResultColumns() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& c : kResultColumns) n.emplace_back(c.name);
    return n;
  }();
  return names;
}

std::vector<BatchCase> ReadBatchInput(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return ReadFolder(path);
  const std::string text = ReadWhole(path);
  if (Lower(fs::path(path).extension().string()) == ".csv") return ReadCsv(text, path);
  return ReadJsonLines(text);
}

BatchRow RunBatchCase(const BatchCase& c, Database& db) {
  BatchRow row;
  row.name = c.name;
  if (!c.input) {
    row.messages.push_back(c.error);
    return row;
  }
  try {
    CaseSession session(db);
    session.env.store_case_record = false;
    const nlohmann::json out = session.Run(*c.input);
    const bool refused = RunShowedError(out) || !session.last_run_has_result;
    for (const auto& m : out["messages"]) row.messages.push_back(m["text"].get<std::string>());
    row.status = refused                 ? BatchStatus::kRefused
                 : row.messages.empty() ? BatchStatus::kOk
                                        : BatchStatus::kWarning;
    if (!refused)
      for (const auto& col : kResultColumns) row.results.push_back(col.value(session));
  } catch (const std::exception& e) {
    row.status = BatchStatus::kError;
    row.messages.push_back(e.what());
  } catch (...) {
    // One case must not end the batch, whatever it throws.
    row.status = BatchStatus::kError;
    row.messages.push_back("the run ended abnormally");
  }
  return row;
}

BatchSummary RunBatch(const std::vector<BatchCase>& cases, const std::string& out_path,
                      const BatchOptions& options) {
  const std::string ext = Lower(fs::path(out_path).extension().string());
  if (ext != ".csv" && ext != ".jsonl")
    throw CaseError("the output \"" + out_path + "\" must end in .csv or .jsonl");
  const bool csv = ext == ".csv";
  std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
  if (!out) throw CaseError("cannot write \"" + out_path + "\"");
  if (csv) {
    std::string header = "name,status,messages";
    for (const auto& c : kResultColumns) header += std::string(",") + c.name;
    out << header << "\r\n";
  }

  const size_t n = cases.size();
  const size_t jobs = std::clamp<size_t>(static_cast<size_t>(std::max(1, options.jobs)), 1,
                                         std::max<size_t>(n, 1));
  // The tables each connection caches are its own, so no lock is shared.
  std::vector<std::unique_ptr<Database>> dbs;
  for (size_t j = 0; j < jobs; ++j) dbs.push_back(Database::Open(options.db_path, true));

  std::vector<std::optional<BatchRow>> rows(n);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<size_t> next{0};
  std::vector<std::thread> workers;
  for (size_t j = 0; j < jobs; ++j) {
    workers.emplace_back([&, j] {
      for (size_t i; (i = next++) < n;) {
        BatchRow row = RunBatchCase(cases[i], *dbs[j]);
        {
          std::lock_guard lock(mutex);
          rows[i] = std::move(row);
        }
        ready.notify_one();
      }
    });
  }

  using Clk = std::chrono::steady_clock;
  const auto start = Clk::now();
  auto last_draw = start - std::chrono::seconds(1);
  BatchSummary summary;
  std::ostream* log = options.log;
  auto draw = [&](size_t done) {
    const double t = std::chrono::duration<double>(Clk::now() - start).count();
    const double rate = t >= 0.5 ? done / t : 0;  // earlier rates are noise
    const int width = 30;
    const int filled = n ? static_cast<int>(width * done / n) : width;
    *log << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << done
         << "/" << n << "  " << (rate > 0 ? Number(std::round(rate)) : std::string("-")) << " cases/s  "
         << (rate > 0 ? Clock((n - done) / rate) : std::string("-:--")) << " left\x1b[K"
         << std::flush;
  };
  std::unique_lock lock(mutex);
  for (size_t written = 0; written < n;) {
    ready.wait_for(lock, std::chrono::milliseconds(100), [&] { return rows[written].has_value(); });
    while (written < n && rows[written]) {
      const BatchRow row = std::move(*rows[written]);
      rows[written].reset();
      lock.unlock();
      out << (csv ? CsvLine(row) : JsonLine(row));
      ++summary.count[static_cast<int>(row.status)];
      if (row.status == BatchStatus::kError && log)
        *log << (options.progress ? "\r\x1b[K" : "") << "pheselect-cli: " << row.name << ": "
             << JoinedMessages(row) << "\n";
      lock.lock();
      ++written;
    }
    // At most ten redraws a second.
    if (log && options.progress && Clk::now() - last_draw >= std::chrono::milliseconds(100)) {
      last_draw = Clk::now();
      draw(written);
    }
  }
  lock.unlock();
  for (auto& w : workers) w.join();
  out.flush();
  if (!out) throw CaseError("cannot write \"" + out_path + "\"");
  summary.seconds = std::chrono::duration<double>(Clk::now() - start).count();
  if (log) {
    if (options.progress) draw(n), *log << "\n";
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.1f", summary.seconds);
    *log << "pheselect-cli: " << n << " cases in " << secs << " s: " << summary.count[0]
         << " ok, " << summary.count[1] << " warning, " << summary.count[2] << " refused, "
         << summary.count[3] << " error\n";
  }
  return summary;
}

}  // namespace phe
