#include "batch/batch.h"

#include <csv.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

#include "base/numeric.h"
#include "files/files.h"
#include "ui/layout.h"

namespace phe {

namespace fs = std::filesystem;

namespace {

// Spreadsheets write a byte-order mark before UTF-8 text.
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool ValidUtf8(const std::string& s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    const unsigned c = *p;
    size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (n == 9 || static_cast<size_t>(end - p) <= n) return false;
    unsigned cp = n == 0 ? c : c & (0x3F >> n);
    for (size_t i = 1; i <= n; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode.
    if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    p += n + 1;
  }
  return true;
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

// A regular file read in pieces, so a batch's memory does not grow with it.
class Chunks {
 public:
  explicit Chunks(const std::string& path) : path_(path) {
    try {
      fd_ = path == "-" ? files::SpoolStandardInput("the batch input")
                        : files::OpenRegular(path, "the batch input");
    } catch (const files::FileError& e) {
      throw CaseError(e.what());
    }
  }
  ~Chunks() { ::close(fd_); }
  Chunks(const Chunks&) = delete;
  Chunks& operator=(const Chunks&) = delete;

  // The next piece; empty at the end of the file.
  std::string_view Next() {
    ssize_t n;
    do n = ::read(fd_, buf_, sizeof buf_);
    while (n < 0 && errno == EINTR);
    if (n < 0) throw CaseError("cannot read \"" + path_ + "\": " + std::strerror(errno));
    std::string_view piece(buf_, static_cast<size_t>(n));
    if (done_ == 0 && piece.starts_with(kBom)) piece.remove_prefix(kBom.size());
    done_ += static_cast<size_t>(n);
    return piece;
  }
  void Rewind() {
    ::lseek(fd_, 0, SEEK_SET);
    done_ = 0;
  }

 private:
  std::string path_;
  int fd_ = -1;
  size_t done_ = 0;
  char buf_[1 << 16];
};

// One case a line; a line longer than a case file may be is an error row,
// skipped without being held.
class JsonLinesReader : public BatchReader {
 public:
  explicit JsonLinesReader(const std::string& path) : in_(path) {
    char first = 0;
    for (std::string_view piece; !(piece = in_.Next()).empty();)
      for (const char c : piece) {
        if (c == '\n') count_ += filled_, filled_ = false;
        else if (c != ' ' && c != '\t' && c != '\r') filled_ = true, first = first ? first : c;
      }
    // Standard input has no name to tell a CSV by: only JSON Lines is read there.
    if (path == "-" && first && first != '{')
      throw CaseError("standard input is read as JSON Lines (one {...} case a line); give a CSV as a file");
    count_ += filled_;
    in_.Rewind();
  }
  size_t Count() const override { return count_; }
  std::optional<BatchCase> Next() override {
    for (;;) {
      std::string line;
      bool too_long = false, end = true;
      for (;;) {
        if (pos_ == piece_.size()) {
          piece_ = in_.Next();
          pos_ = 0;
          if (piece_.empty()) break;
        }
        end = false;
        const size_t nl = piece_.find('\n', pos_);
        const size_t stop = nl == std::string_view::npos ? piece_.size() : nl;
        if (!too_long) line.append(piece_.substr(pos_, stop - pos_));
        if (line.size() > files::kMaxCaseFileBytes) too_long = true, line.clear();
        pos_ = nl == std::string_view::npos ? piece_.size() : nl + 1;
        if (nl != std::string_view::npos) break;
      }
      if (end && line.empty() && !too_long) return std::nullopt;
      ++line_;
      const std::string where = "line " + std::to_string(line_);
      if (too_long)
        return BatchCase{where, std::nullopt,
                         "the line is longer than " +
                             std::to_string(files::kMaxCaseFileBytes >> 20) + " MB"};
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      return FromJsonText(where, line, "the case", true);
    }
  }

 private:
  Chunks in_;
  std::string_view piece_;
  size_t pos_ = 0, line_ = 0, count_ = 0;
  bool filled_ = false;
};

// Records as libcsv splits them (quotes, doubled quotes and line breaks inside
// quotes as RFC 4180 has them), fed a piece at a time.
class CsvRecords {
 public:
  explicit CsvRecords(const std::string& path) : path_(path), in_(path) {
    delim_ = Separator(in_.Next());
    in_.Rewind();
    Start();
  }
  ~CsvRecords() { csv_free(&p_); }
  CsvRecords(const CsvRecords&) = delete;
  CsvRecords& operator=(const CsvRecords&) = delete;

  // The next record, false at the end. Throws CaseError for text that is not
  // CSV or a record longer than a case file may be.
  bool Next(std::vector<std::string>* record) {
    while (ready_.empty() && !ended_) Feed();
    if (ready_.empty()) return false;
    *record = std::move(ready_.front());
    ready_.pop_front();
    return true;
  }
  void Rewind() {
    csv_free(&p_);
    in_.Rewind();
    ready_.clear();
    record_.clear();
    record_bytes_ = 0;
    ended_ = false;
    Start();
  }
  // Records are only counted, not kept; a record of empty cells only is no
  // record (a spreadsheet writes them for rows it has formatted).
  bool counting = false;
  size_t counted = 0;
  // Whether every cell seen while counting was UTF-8.
  bool all_utf8 = true;

 private:
  void Start() {
    if (csv_init(&p_, CSV_STRICT | CSV_STRICT_FINI) != 0) throw CaseError("out of memory");
    csv_set_delim(&p_, delim_);
  }
  // European spreadsheets separate by ";", a "text" export by tabs: the
  // separator is the one of the three the first line holds most of, outside
  // quotes (a tie keeps the comma).
  static unsigned char Separator(std::string_view head) {
    size_t comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const char c : head) {
      if (c == '"') quoted = !quoted;
      else if (!quoted && (c == '\n' || c == '\r')) break;
      else if (!quoted) comma += c == ',', semicolon += c == ';', tab += c == '\t';
    }
    if (semicolon > comma && semicolon >= tab) return ';';
    if (tab > comma && tab > semicolon) return '\t';
    return ',';
  }
  static void Field(void* s, size_t len, void* data) {
    auto* k = static_cast<CsvRecords*>(data);
    k->record_bytes_ += len;
    if (!k->counting) k->record_.emplace_back(static_cast<const char*>(s), len);
    else if (k->all_utf8 && len)
      k->all_utf8 = ValidUtf8(std::string(static_cast<const char*>(s), len));
  }
  static void End(int, void* data) {
    auto* k = static_cast<CsvRecords*>(data);
    const bool empty = k->record_bytes_ == 0;
    k->record_bytes_ = 0;
    if (k->counting) {
      k->counted += !empty;
      return;
    }
    k->ready_.push_back(std::move(k->record_));
    k->record_.clear();
  }
  void Feed() {
    const std::string_view piece = in_.Next();
    const bool ok = piece.empty()
                        ? csv_fini(&p_, Field, End, this) == 0
                        : csv_parse(&p_, piece.data(), piece.size(), Field, End, this) == piece.size();
    if (!ok) throw CaseError("\"" + path_ + "\" is not valid CSV: " + csv_strerror(csv_error(&p_)));
    if (record_bytes_ + p_.entry_pos > files::kMaxCaseFileBytes)
      throw CaseError("\"" + path_ + "\": a row is longer than " +
                      std::to_string(files::kMaxCaseFileBytes >> 20) + " MB");
    ended_ = piece.empty();
  }

  std::string path_;
  Chunks in_;
  csv_parser p_;
  std::deque<std::vector<std::string>> ready_;
  std::vector<std::string> record_;
  size_t record_bytes_ = 0;
  bool ended_ = false;
  unsigned char delim_ = ',';
};

// Chinese Windows spreadsheets save "CSV" in GBK; GB18030 reads every GBK text.
// Empty when the text is not GB18030 either.
std::optional<std::string> FromGb18030(const std::string& text) {
  iconv_t cd = ::iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(text.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* to = out.data();
  size_t to_left = out.size();
  const size_t r = ::iconv(cd, &in, &in_left, &to, &to_left);
  ::iconv_close(cd);
  if (r == static_cast<size_t>(-1) || in_left != 0) return std::nullopt;
  out.resize(out.size() - to_left);
  return out;
}

// A header row of control names and extra columns, then one case a row. The
// whole text is checked first, so a file that is not CSV runs nothing.
class CsvReader : public BatchReader {
 public:
  explicit CsvReader(const std::string& path) : path_(path), records_(path) {
    records_.counting = true;
    for (std::vector<std::string> unused; records_.Next(&unused);) {
    }
    records_.counting = false;
    count_ = records_.counted ? records_.counted - 1 : 0;
    gb18030_ = !records_.all_utf8;
    records_.Rewind();
    if (!NextRecord(&header_)) throw CaseError("\"" + path + "\" has no header row");
    // A spreadsheet may carry empty columns at the right.
    while (!header_.empty() && header_.back().empty()) header_.pop_back();
    const std::vector<std::string> extra = {"name",    "selection", "calc",
                                            "project", "item",      "customer"};
    for (size_t i = 0; i < header_.size(); ++i) {
      const auto& h = header_[i];
      const std::string named = layout::ControlOfKey(h);
      const bool control = named.rfind("opt_br", 0) != 0 &&
                           std::find(layout::kFocusOrder.begin(), layout::kFocusOrder.end(),
                                     named) != layout::kFocusOrder.end();
      if (!control && std::find(extra.begin(), extra.end(), h) == extra.end())
        throw CaseError("\"" + path + "\": unknown column \"" + h + "\"");
      if (std::find(header_.begin(), header_.begin() + static_cast<long>(i), h) !=
          header_.begin() + static_cast<long>(i))
        throw CaseError("\"" + path + "\": column \"" + h + "\" appears twice");
    }
  }
  size_t Count() const override { return count_; }
  std::optional<BatchCase> Next() override {
    std::vector<std::string> cells;
    if (!NextRecord(&cells)) return std::nullopt;
    const std::string where = "row " + std::to_string(++row_);
    while (cells.size() > header_.size() && cells.back().empty()) cells.pop_back();
    if (cells.size() != header_.size())
      return BatchCase{where, std::nullopt,
                       "the row has " + std::to_string(cells.size()) + " cells, the header " +
                           std::to_string(header_.size())};
    nlohmann::json doc = nlohmann::json::object();
    for (size_t i = 0; i < cells.size(); ++i) {
      if (cells[i].empty()) continue;
      // As a JSON Lines case would be: text that is not UTF-8 is no text.
      if (gb18030_) {
        std::optional<std::string> text = FromGb18030(cells[i]);
        if (!text)
          return BatchCase{where, std::nullopt,
                           "column \"" + header_[i] +
                               "\" is neither UTF-8 nor GBK text; save the file as UTF-8 CSV"};
        cells[i] = std::move(*text);
      } else if (!ValidUtf8(cells[i])) {
        return BatchCase{where, std::nullopt,
                         "column \"" + header_[i] + "\" is not valid UTF-8"};
      }
      doc[header_[i]] = cells[i];
    }
    return FromJson(where, std::move(doc), true);
  }

 private:
  std::string path_;
  CsvRecords records_;
  // The next record that is not empty; an empty row is skipped, not refused.
  bool NextRecord(std::vector<std::string>* cells) {
    while (records_.Next(cells)) {
      if (std::any_of(cells->begin(), cells->end(), [](const std::string& c) { return !c.empty(); }))
        return true;
      ++row_;
    }
    return false;
  }

  std::vector<std::string> header_;
  size_t count_ = 0, row_ = 0;
  bool gb18030_ = false;
};

// Every *.json of a folder, by name. An entry that cannot be read (a dangling
// symlink, no permission) is skipped with a line on the log.
class FolderReader : public BatchReader {
 public:
  FolderReader(const std::string& path, std::ostream* log) {
    std::error_code ec;
    fs::directory_iterator it(path, ec), end;
    if (ec) throw CaseError("cannot read the folder \"" + path + "\": " + ec.message());
    for (; it != end; it.increment(ec)) {
      if (ec) throw CaseError("cannot read the folder \"" + path + "\": " + ec.message());
      const fs::path f = it->path();
      if (!Lower(f.filename().string()).ends_with(".json")) continue;
      struct stat st;
      std::string why;
      if (::stat(f.c_str(), &st) != 0) why = std::strerror(errno);
      else if (S_ISDIR(st.st_mode)) continue;
      else if (!S_ISREG(st.st_mode)) why = "not a regular file";
      else if (::access(f.c_str(), R_OK) != 0) why = std::strerror(errno);
      if (why.empty()) files_.push_back(f);
      else if (log) *log << "pheselect-cli: skipped \"" << f.string() << "\": " << why << "\n";
    }
    if (files_.empty()) throw CaseError("the folder \"" + path + "\" holds no case file (*.json)");
    std::sort(files_.begin(), files_.end());
  }
  size_t Count() const override { return files_.size(); }
  std::optional<BatchCase> Next() override {
    if (next_ == files_.size()) return std::nullopt;
    const fs::path& f = files_[next_++];
    const std::string name = f.filename().string();
    try {
      std::string text = files::ReadBounded(f.string(), files::kMaxCaseFileBytes, "the case");
      if (text.starts_with(kBom)) text.erase(0, kBom.size());
      return FromJsonText(name, text, "the case", false);
    } catch (const files::FileError& e) {
      return BatchCase{name, std::nullopt, e.what()};
    }
  }

 private:
  std::vector<fs::path> files_;
  size_t next_ = 0;
};

std::string Number(double v) {
  if (!std::isfinite(v)) return "";
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

struct ResultColumn {
  const char* name;
  bool numeric;
  std::string (*value)(const RunResult&);
};

// A split case's row is the whole case, not one of its units.
double WholeCase(const RunResult& r, double per_unit, double total) {
  return r.record.units > 1 ? total : per_unit;
}

// What the window leaves empty (area, weight, price beyond the largest pack)
// stays empty here too.
std::string IfShown(const RunResult& r, double v) { return r.beyond_largest_pack ? "" : Number(v); }

const ResultColumn kResultColumns[] = {
    {"designation", false, [](const RunResult& r) { return r.record.plate_type; }},
    {"model", false, [](const RunResult& r) { return r.record.model_code; }},
    {"type", false, [](const RunResult& r) { return r.record.arrangement_type; }},
    {"channels_1", true, [](const RunResult& r) { return Number(r.channels_1); }},
    {"channels_2", true, [](const RunResult& r) { return Number(r.channels_2); }},
    {"passes", true, [](const RunResult& r) { return Number(r.record.passes); }},
    {"plates", true, [](const RunResult& r) { return Number(r.record.plate_count); }},
    {"area_m2", true, [](const RunResult& r) { return IfShown(r, r.record.area); }},
    {"k_w_m2c", true, [](const RunResult& r) { return Number(r.record.k_service); }},
    {"lmtd_c", true, [](const RunResult& r) { return Number(r.record.lmtd); }},
    {"margin_pct", true, [](const RunResult& r) { return Number(r.record.margin); }},
    {"fouling_capacity_m2c_w", true, [](const RunResult& r) { return Number(r.record.fouling_out); }},
    {"dp_hot_kpa", true, [](const RunResult& r) { return Number(r.record.dp_h); }},
    {"dp_cold_kpa", true, [](const RunResult& r) { return Number(r.record.dp_c); }},
    {"dp_port_hot_kpa", true, [](const RunResult& r) { return Number(r.record.dp_port_h); }},
    {"dp_port_cold_kpa", true, [](const RunResult& r) { return Number(r.record.dp_port_c); }},
    {"v_port_hot_m_s", true, [](const RunResult& r) { return Number(r.record.v_port_h); }},
    {"v_port_cold_m_s", true, [](const RunResult& r) { return Number(r.record.v_port_c); }},
    {"price_cny", true, [](const RunResult& r) { return IfShown(r, r.record.price); }},
    {"weight_kg", true, [](const RunResult& r) { return IfShown(r, static_cast<double>(r.record.weight)); }},
    {"units", true, [](const RunResult& r) { return Number(r.record.units); }},
    // The case as the run completed it: what the user left empty is worked out.
    {"duty_kw", true,
     [](const RunResult& r) { return Number(WholeCase(r, r.record.duty, r.record.duty_total) / 1000); }},
    {"flow_hot_m3h", true,
     [](const RunResult& r) { return Number(WholeCase(r, r.record.flow_h, r.record.flow_h_total)); }},
    {"flow_cold_m3h", true,
     [](const RunResult& r) { return Number(WholeCase(r, r.record.flow_c, r.record.flow_c_total)); }},
    {"t_hot_in_c", true, [](const RunResult& r) { return Number(r.record.t_h_in); }},
    {"t_hot_out_c", true, [](const RunResult& r) { return Number(r.record.t_h_out); }},
    {"t_cold_in_c", true, [](const RunResult& r) { return Number(r.record.t_c_in); }},
    {"t_cold_out_c", true, [](const RunResult& r) { return Number(r.record.t_c_out); }},
};

// Decimals of a number in a CSV row, as the window shows it (-1: the whole
// part, -2: as it is, -3: four significant digits, -4: a temperature).
// JSON Lines keeps every digit.
int ShownDecimals(std::string_view column) {
  static const std::pair<std::string_view, int> kShown[] = {
      {"area_m2", 1},        {"lmtd_c", 1},         {"k_w_m2c", -1},      {"margin_pct", -1},
      {"fouling_capacity_m2c_w", 6}, {"dp_hot_kpa", 2}, {"dp_cold_kpa", 2}, {"dp_port_hot_kpa", 2},
      {"dp_port_cold_kpa", 2}, {"v_port_hot_m_s", 2}, {"v_port_cold_m_s", 2}, {"duty_kw", -3},
      {"flow_hot_m3h", -3},  {"flow_cold_m3h", -3}, {"t_hot_in_c", -4},   {"t_hot_out_c", -4},
      {"t_cold_in_c", -4},   {"t_cold_out_c", -4}};
  for (const auto& [name, decimals] : kShown)
    if (name == column) return decimals;
  return -2;
}

std::string Shown(std::string_view column, const std::string& value) {
  const int decimals = ShownDecimals(column);
  double v;
  if (decimals == -2 || value.empty() ||
      std::from_chars(value.data(), value.data() + value.size(), v).ec != std::errc())
    return value;
  switch (decimals) {
    case -1: return FormatWhole(v);
    case -3: return FormatSignificant(v, 4);
    case -4: return FormatTemperature(v);
    default: return FormatFixed(v, decimals);
  }
}

bool IsNumber(const std::string& s) {
  double v;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string CsvField(std::string s) {
  // A spreadsheet runs a cell that starts like a formula; a quote before it
  // keeps it text. Negative numbers stay numbers.
  if (!s.empty() && std::string_view("=+-@").find(s.front()) != std::string_view::npos &&
      !IsNumber(s))
    s.insert(0, 1, '\'');
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
    if (!row.results.empty())
      line += CsvField(kResultColumns[i].numeric ? Shown(kResultColumns[i].name, row.results[i])
                                                 : row.results[i]);
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

std::unique_ptr<BatchReader> BatchReader::Open(const std::string& path, std::ostream* log) {
  std::error_code ec;
  if (path == "-") return std::make_unique<JsonLinesReader>(path);
  if (fs::is_directory(path, ec)) return std::make_unique<FolderReader>(path, log);
  if (Lower(fs::path(path).extension().string()) == ".csv") return std::make_unique<CsvReader>(path);
  return std::make_unique<JsonLinesReader>(path);
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
    const bool refused = RunShowedError(out) || !session.last_run_has_result || !session.env.result;
    for (const auto& m : out["messages"]) row.messages.push_back(m["text"].get<std::string>());
    row.status = refused                 ? BatchStatus::kRefused
                 : row.messages.empty() ? BatchStatus::kOk
                                        : BatchStatus::kWarning;
    if (!refused)
      for (const auto& col : kResultColumns) row.results.push_back(col.value(*session.env.result));
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

namespace {

// Cases flow from the reader through the workers to the output in input
// order; at most `window` cases are read and not yet written, so memory does
// not grow with the length of the batch.
class Pipeline {
 public:
  Pipeline(std::vector<std::unique_ptr<Database>>& dbs, size_t window) : window_(window) {
    for (auto& db : dbs) workers_.emplace_back([this, &db] { Work(*db); });
  }
  ~Pipeline() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    work_ready_.notify_all();
    for (auto& w : workers_) w.join();
  }
  bool HasRoom() {
    std::lock_guard lock(mutex_);
    return rows_.size() < window_;
  }
  void Add(BatchCase c) {
    {
      std::lock_guard lock(mutex_);
      work_.emplace_back(taken_++, std::move(c));
      rows_.emplace_back();
    }
    work_ready_.notify_one();
  }
  void Close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    work_ready_.notify_all();
  }
  // The next row in input order once it is done; nothing after `wait`.
  std::optional<BatchRow> Take(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    row_ready_.wait_for(lock, wait, [&] { return !rows_.empty() && rows_.front(); });
    if (rows_.empty() || !rows_.front()) return std::nullopt;
    std::optional<BatchRow> row = std::move(rows_.front());
    rows_.pop_front();
    ++written_;
    return row;
  }
  bool Empty() {
    std::lock_guard lock(mutex_);
    return rows_.empty();
  }

 private:
  void Work(Database& db) {
    for (;;) {
      std::unique_lock lock(mutex_);
      work_ready_.wait(lock, [&] { return stop_ || closed_ || !work_.empty(); });
      if (stop_ || work_.empty()) return;
      auto [index, c] = std::move(work_.front());
      work_.pop_front();
      lock.unlock();
      BatchRow row = RunBatchCase(c, db);
      lock.lock();
      rows_[index - written_] = std::move(row);
      lock.unlock();
      row_ready_.notify_one();
    }
  }

  const size_t window_;
  std::mutex mutex_;
  std::condition_variable work_ready_, row_ready_;
  std::deque<std::pair<size_t, BatchCase>> work_;
  std::deque<std::optional<BatchRow>> rows_;  // rows_[0] is case number written_
  size_t taken_ = 0, written_ = 0;
  bool closed_ = false, stop_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

BatchSummary RunBatch(BatchReader& cases, const std::string& out_path,
                      const BatchOptions& options) {
  const bool to_stdout = out_path == "-";
  const std::string ext = to_stdout ? ".jsonl" : Lower(fs::path(out_path).extension().string());
  if (ext != ".csv" && ext != ".jsonl")
    throw CaseError("the output \"" + out_path + "\" must end in .csv or .jsonl");
  const bool csv = ext == ".csv";
  const size_t n = cases.Count();
  const size_t jobs = std::clamp<size_t>(static_cast<size_t>(std::max(1, options.jobs)), 1,
                                         std::max<size_t>(n, 1));
  // The tables each connection caches are its own, so no lock is shared.
  std::vector<std::unique_ptr<Database>> dbs;
  for (size_t j = 0; j < jobs; ++j) dbs.push_back(Database::Open(options.db_path, true));
  // Written beside the output and put in its place at the end: a batch that
  // fails or is stopped leaves the old output as it was.
  // Standard output gets each row as it ends; it cannot be put back as it was.
  std::optional<files::AtomicFile> file;
  if (!to_stdout) file.emplace(out_path);
  auto put = [&](const std::string& text) {
    if (file) return file->Write(text);
    for (size_t done = 0; done < text.size();) {
      const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0)
        throw files::FileError(files::FileError::kWrite,
                               std::string("cannot write to standard output: ") + std::strerror(errno));
      done += static_cast<size_t>(n);
    }
  };
  if (csv) {
    // The byte-order mark makes a spreadsheet read the Chinese as UTF-8.
    std::string header = std::string(kBom) + "name,status,messages";
    for (const auto& c : kResultColumns) header += std::string(",") + c.name;
    put(header + "\r\n");
  }

  using Clk = std::chrono::steady_clock;
  const auto start = Clk::now();
  auto last_draw = start - std::chrono::seconds(1);
  BatchSummary summary;
  std::ostream* log = options.log;
  size_t written = 0;
  auto draw = [&] {
    const double t = std::chrono::duration<double>(Clk::now() - start).count();
    const double rate = t >= 0.5 ? written / t : 0;  // earlier rates are noise
    const int width = 30;
    const int filled = n ? static_cast<int>(width * std::min(written, n) / n) : width;
    *log << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << written
         << "/" << n << "  " << (rate > 0 ? Number(std::round(rate)) : std::string("-"))
         << " cases/s  "
         << (rate > 0 ? Clock((n > written ? n - written : 0) / rate) : std::string("-:--"))
         << " left\x1b[K" << std::flush;
  };
  {
    Pipeline pipeline(dbs, jobs * 16);
    bool more = true;
    while (more || !pipeline.Empty()) {
      while (more && pipeline.HasRoom()) {
        std::optional<BatchCase> c = cases.Next();
        if (c) pipeline.Add(std::move(*c));
        else more = false, pipeline.Close();
      }
      while (std::optional<BatchRow> row = pipeline.Take(std::chrono::milliseconds(100))) {
        put(csv ? CsvLine(*row) : JsonLine(*row));
        ++written;
        ++summary.count[static_cast<int>(row->status)];
        if (row->status == BatchStatus::kError && log)
          *log << (options.progress ? "\r\x1b[K" : "") << "pheselect-cli: " << row->name << ": "
               << JoinedMessages(*row) << "\n";
        if (more && pipeline.HasRoom()) break;  // keep the workers fed
      }
      // At most ten redraws a second.
      if (log && options.progress && Clk::now() - last_draw >= std::chrono::milliseconds(100)) {
        last_draw = Clk::now();
        draw();
      }
    }
  }
  if (file) file->Commit();
  summary.seconds = std::chrono::duration<double>(Clk::now() - start).count();
  if (log) {
    if (options.progress) draw(), *log << "\n";
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.1f", summary.seconds);
    *log << "pheselect-cli: " << written << " cases in " << secs << " s: " << summary.count[0]
         << " ok, " << summary.count[1] << " warning, " << summary.count[2] << " refused, "
         << summary.count[3] << " error\n";
  }
  return summary;
}

}  // namespace phe
