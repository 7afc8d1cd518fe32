// The calculation sheet of a finished run: every input, every result, the
// working behind them and the warnings shown, as a page-independent document
// that a renderer lays out (PDF, printer). No toolkit here, so the content can
// be built and checked without a screen.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "compare/alternatives.h"
#include "curves/curves.h"
#include "messages/messages.h"
#include "state/run_result.h"
#include "state/selection_state.h"

namespace phe::sheet {

using ::phe::Lang;
using ::phe::ParseLang;

enum class Align { kLeft, kRight, kCenter };

// Rows of cells; the first row is the column captions when `header` is set.
struct Table {
  std::string title;
  std::vector<double> widths;  // relative column widths
  std::vector<Align> align;
  bool header = false;
  std::vector<std::vector<std::string>> rows;
  bool new_page = false;  // starts on a page of its own
  // Widths follow the content and the type shrinks until no cell is cut.
  bool fit_columns = false;
};

// Lines of working: a caption and its formula with numbers.
struct Working {
  std::string title;
  std::vector<std::pair<std::string, std::string>> lines;
};

// Numbered notes (the run's warnings); `empty` is shown when there are none.
struct Notes {
  std::string title;
  std::vector<std::string> items;
  std::string empty;
};

// Temperature against transferred duty, kW on x and ℃ on y.
struct Diagram {
  struct Point {
    double q, t;
  };
  struct Label {
    double q, t;
    std::string text;
  };
  std::string title, x_caption, y_caption, hot_caption, cold_caption, note;
  double q_max = 0;
  std::vector<Point> hot, cold;
  std::vector<Label> labels;
};

// Curves against one x: a left axis and, when a series asks for it, a right
// one; a vertical line marks the case's own x, a dot each series' value there.
struct Chart {
  enum class Ink { kHot, kCold, kDuty };
  struct Series {
    std::string caption;
    Ink ink = Ink::kDuty;
    bool dashed = false;
    bool right = false;  // on the right axis
    std::vector<std::pair<double, double>> points;
    std::optional<double> mark;  // the series' value at mark_x
  };
  std::string title, x_caption, y_caption, y2_caption, note;
  double x_min = 0, x_max = 1, mark_x = 0;
  std::string mark_caption;
  std::vector<Series> series;
  bool new_page = false;  // starts on a page of its own
};

using Block = std::variant<Table, Working, Notes, Diagram, Chart>;

struct Document {
  std::string title;
  std::string program;      // name and version
  std::string when;         // date and time of the sheet
  std::string project_line;  // empty when no project, item or customer was given
  std::string designation;
  std::string case_line;    // design or check, automatic or manual selection
  std::vector<Block> blocks;
  std::string footer;
  std::string page_pattern;  // "%1" page number, "%2" page count
  std::string continued;     // added to the caption of a block carried on to the next page
};

// Optional heading data of the sheet.
struct Meta {
  std::string project, item, customer;
  std::string when;  // as it is to be printed
};

// The sheet of a run that ended with a result, from its result record: the
// result boxes' texts as the window shows them, every other number from the
// record; `messages` are that run's message boxes in order, written in the
// sheet's language.
Document BuildSheet(const RunResult& result, const std::vector<Message>& messages, const Meta& meta,
                    Lang lang);

// The optional last page: the alternatives of the run, one line per pack,
// the program's choice marked.
void AppendAlternatives(Document& doc, const AlternativesTable& table, Lang lang);

// The operating curves of the result's pack as two charts: duty and outlet
// temperatures, and pressure drops, against the flow in % of the case's.
std::vector<Chart> CurveCharts(const curves::OperatingCurves& c, Lang lang);
// The same charts on a page of their own at the end of the sheet.
void AppendCurves(Document& doc, const curves::OperatingCurves& c, Lang lang);

}  // namespace phe::sheet
