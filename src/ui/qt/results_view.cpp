// The results frame: every result box, the per-unit marks, values beyond
// their limits in red, and results greyed once the inputs have changed.
#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/numeric.h"
#include "ui/layout.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

constexpr int kResultWidth = 76;

const char* const kMarkBoxesProperty = "phe_boxes";
constexpr const char* kBalanceBoxes[] = {"Txt_Wq", "Txt_Qh", "Txt_Qc", "Txt_Th1",
                                         "Txt_Th2", "Txt_Tc1", "Txt_Tc2"};

bool HotSide(std::string_view name) {
  for (const char* n : {"Txt_D2", "Txt_Wlh", "Txt_Ph2", "Txt_Ph1", "Txt_Dh"})
    if (name == n) return true;
  return false;
}

}  // namespace

QLabel* MainWindow::PerUnitMark(const QStringList& boxes) {
  QLabel* mark = qt::Caption(QStringLiteral("单台"));
  mark->setObjectName(QStringLiteral("per_unit"));
  mark->setProperty(kMarkBoxesProperty, boxes);
  // Shown only when the case was split over parallel units.
  mark->hide();
  per_unit_marks_.push_back(mark);
  return mark;
}

QWidget* MainWindow::BuildResultsFrame() {
  QGroupBox* results = qt::Frame(QStringLiteral("计算结果"));
  auto* grid = new QGridLayout(results);
  auto box = [&](const char* name) { return AddTextBox(name, HotSide(name), true); };
  auto wide = [&](const char* name) {
    QLineEdit* b = box(name);
    b->setFixedWidth(2 * kResultWidth + grid->horizontalSpacing());
    return b;
  };
  struct Row {
    const char* caption;
    const char* hot;
    const char* cold;  // "" for a single box, "wide" for one box over both columns
    const char* unit;
    bool per_unit;
  };
  // Designation and units share a row ("PX50B-41  2 台"), and the clean
  // coefficient stands beside the service one, so the frame grows by two rows.
  const Row rows[] = {{"板换规格", "Txt_Br", "Txt_NUM", "台", false},
                      {nullptr, "", "", "", false},  // the side headings
                      {"流道排列", "Txt_Dh", "Txt_Dz", "", false},
                      {"接口直径", "Txt_D2", "Txt_D1", "mm", false},
                      {"接口流速", "Txt_Wlh", "Txt_Wlc", "m/s", false},
                      {"接口压降", "Txt_Ph2", "Txt_Pc2", "kPa", false},
                      {"计算压降", "Txt_Ph1", "Txt_Pc1", "kPa", false},
                      {"设计裕量", "Txt_GF", "", "%", false},
                      {"污垢系数", "Txt_RHC1", "", "m2.℃/W", false},
                      {"传热系数", "Txt_K", "Txt_K0", "W/m2.℃", false},
                      {"对数温差", "Txt_TM", "", "℃", false},
                      {"换热面积", "Txt_F", "", "m2", true},
                      {"参考价格", "Txt_Y", "", "￥", true},
                      {"运行重量", "Txt_W", "", "kg", true},
                      {"外形尺寸", "Txt_H", "wide", "mm", false}};
  int r = 0;
  for (const Row& row : rows) {
    if (!row.caption) {
      grid->addWidget(qt::Caption(QStringLiteral("热介质")), r, 1, Qt::AlignCenter);
      grid->addWidget(qt::Caption(QStringLiteral("冷介质")), r, 2, Qt::AlignCenter);
      ++r;
      continue;
    }
    grid->addWidget(qt::Caption(QString::fromUtf8(row.caption)), r, 0);
    if (std::string_view(row.cold) == "wide") {
      grid->addWidget(wide(row.hot), r, 1, 1, 2, Qt::AlignCenter);
    } else {
      grid->addWidget(box(row.hot), r, 1, Qt::AlignCenter);
      if (*row.cold) grid->addWidget(box(row.cold), r, 2, Qt::AlignCenter);
    }
    if (*row.unit) grid->addWidget(qt::Unit(QString::fromUtf8(row.unit)), r, 3);
    if (row.per_unit) grid->addWidget(PerUnitMark(), r, 4);
    ++r;
  }
  // Opens the alternatives of the last design run.
  auto* compare = new QPushButton;
  compare->setObjectName(QStringLiteral("cmd_alternatives"));
  qt::SetText(compare, QStringLiteral("方案比较"));
  compare->setFont(qt::CaptionFont());
  controls_.emplace("cmd_alternatives", compare);
  grid->addWidget(compare, r++, 1, 1, 2, Qt::AlignCenter);
  grid->setRowStretch(r, 1);
  return results;
}

void MainWindow::WireStaleMarks() {
  auto changed = [this] { MarkInputsChanged(); };
  for (const auto& name : layout::kInputTextBoxes)
    connect(static_cast<QLineEdit*>(At(name)), &QLineEdit::textEdited, this, changed);
  for (const auto& l : layout::kLists) {
    QComboBox* list = ListAt(l.name);
    connect(list, &QComboBox::activated, this, changed);
    if (list->lineEdit()) connect(list->lineEdit(), &QLineEdit::textEdited, this, changed);
  }
  for (QButtonGroup* group : {selection_group_, calc_group_})
    connect(group, &QButtonGroup::idClicked, this, changed);
}

void MainWindow::MarkInputsChanged() {
  if (!results_on_screen_ || results_stale_) return;
  results_stale_ = true;
  outcome_ = Outcome::kStale;
  RenderStatus();
  PaintResults();
  emit ResultsChanged();
}

void MainWindow::ForgetResults() {
  results_on_screen_ = false;
  results_stale_ = false;
  breaches_.clear();
  outcome_ = Outcome::kNone;
  RenderStatus();
  PaintResults();
  emit ResultsChanged();
}

void MainWindow::AfterRun(bool shown, qint64 ms) {
  if (shown && env_.result) {
    const SelectionState& result = env_.result->record;
    results_on_screen_ = true;
    results_stale_ = false;
    breaches_ = LimitBreaches(result);
    shown_units_ = result.units;
    outcome_ = Outcome::kDone;
    outcome_designation_ = result.plate_type;
    outcome_ms_ = ms;
  } else {
    // A run that ended early leaves the old results, which no longer match.
    if (results_on_screen_) results_stale_ = true;
    if (!last_message_.id.empty()) outcome_ = Outcome::kMessage;
  }
  RenderStatus();
  PaintResults();
  emit ResultsChanged();
}

void MainWindow::PaintResults() {
  for (const auto& name : layout::kResultTextBoxes) {
    QWidget* box = At(name);
    qt::PaintField(box, HotSide(name));
    box->setFont(qt::FieldFont());
    qt::SetBoxToolTip(box, std::string(name));
    if (results_stale_) {
      QPalette p = box->palette();
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        p.setColor(g, QPalette::Text, Qt::gray);
      box->setPalette(p);
    }
  }
  if (!results_stale_) {
    // Hot-side boxes are red already: a pale red ground and bold figures
    // set a breach apart on both sides.
    for (const LimitBreach& b : breaches_) {
      QWidget* box = At(b.box);
      QPalette p = box->palette();
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Text, Qt::red);
        p.setColor(g, QPalette::Base, QColor(255, 226, 226));
      }
      box->setPalette(p);
      QFont f = box->font();
      f.setBold(true);
      box->setFont(f);
      box->setToolTip(box->toolTip() + QLatin1Char('\n') + QString::fromStdString(Format(b.text, MessageLanguage())));
    }
  }
  PaintComputed();
}

void MainWindow::PaintComputed() {
  for (const char* name : kBalanceBoxes) {
    auto* box = static_cast<QLineEdit*>(At(name));
    const auto it = env_.computed_texts.find(name);
    const bool computed = it != env_.computed_texts.end() && it->second == Text(name);
    box->setProperty("computed", computed);
    const std::string_view n = name;
    qt::PaintField(box, n == "Txt_Th1" || n == "Txt_Th2" || n == "Txt_Qh");
    QFont f = qt::FieldFont();
    f.setItalic(computed);
    box->setFont(f);
    qt::SetBoxToolTip(box, name);
    if (!computed) continue;
    QPalette p = box->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
      p.setColor(g, QPalette::Base, QColor(234, 240, 250));
    box->setPalette(p);
    box->setToolTip(box->toolTip() + QLatin1Char('\n') +
                    QString::fromStdString(Format(Message("tip.computed"), MessageLanguage())));
  }
  const bool steam = results_on_screen_ && env_.result && env_.result->record.hot_kind == 2;
  if (steam_mass_) {
    steam_mass_->setVisible(steam);
    if (steam) steam_mass_->setText(QString::fromStdString(FormatFixed(env_.result->record.steam_flow, 1) + " kg/h"));
    QPalette p = steam_mass_->palette();
    p.setColor(QPalette::WindowText, results_stale_ ? QColor(Qt::gray) : palette().color(QPalette::WindowText));
    steam_mass_->setPalette(p);
  }
  for (QLabel* mark : per_unit_marks_) {
    bool shows = results_on_screen_ && shown_units_ > 1;
    const QStringList boxes = mark->property(kMarkBoxesProperty).toStringList();
    if (shows && !boxes.isEmpty())
      shows = std::any_of(boxes.begin(), boxes.end(), [this](const QString& b) {
        return At(b.toStdString())->property("computed").toBool();
      });
    mark->setVisible(shows);
  }
}

}  // namespace phe
