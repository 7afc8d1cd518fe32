#include "ui/qt/alternatives_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <string>

#include "base/numeric.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

using qt::Q;

constexpr int kRowIndexRole = Qt::UserRole + 1;  // position in the table, kept through sorting
constexpr int kSortRole = Qt::UserRole;

// Sorts by the number behind the text, not by the text.
class NumberItem : public QTableWidgetItem {
 public:
  NumberItem(const QString& text, double key) : QTableWidgetItem(text) {
    setData(kSortRole, key);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(kSortRole).toDouble() < other.data(kSortRole).toDouble();
  }
};

QString StatusText(const std::string& status) {
  if (status == "fits") return qt::Tr("满足");
  if (status == "area") return qt::Tr("面积超限");
  if (status == "pressure_drop") return qt::Tr("压降超限");
  if (status == "port_velocity") return qt::Tr("接口流速超限");
  if (status == "channel_limit") return qt::Tr("流道数达上限");
  if (status == "engineering") return qt::Tr("工程校核警告");
  if (status == "port_loss") return qt::Tr("接口压损占比大");
  if (status == "margin") return qt::Tr("裕量不足");
  if (status == "warning") return qt::Tr("有警告");
  return Q(status);
}

// Column captions, Chinese sources translated where shown.
const char* const kHeaders[] = {
    "选中",       "板型",         "型号",          "流程",          "台数",
    "流道数H/M",  "流道数M/L",    "板片数",        "面积 m2",       "传热系数 W/m2.℃",
    "裕量 %",     "热侧压降/允许 kPa", "冷侧压降/允许 kPa", "接口流速热 m/s", "接口流速冷 m/s",
    "污垢系数 m2.℃/W", "价格 ￥", "重量 kg", "总面积 m2", "总价格 ￥", "总重量 kg", "状态"};

// ★ the answer, ☆ the family rule's pick; both when they agree.
std::string Mark(const Alternative& a) {
  return std::string(a.chosen ? "★" : "") + (a.rule_choice ? "☆" : "");
}

QStringList Headers() {
  QStringList h;
  for (const char* c : kHeaders) h << qt::Tr(c);
  return h;
}

}  // namespace

AlternativesDialog::AlternativesDialog(MainWindow& window, QPushButton* button)
    : QDialog(&window), window_(window), watch_(window.env()) {
  setObjectName(QStringLiteral("frm_alternatives"));
  setWindowTitle(qt::Tr("方案比较"));
  setFont(qt::CaptionFont());

  note_ = new QLabel;
  grid_ = new QTableWidget(0, static_cast<int>(Headers().size()));
  grid_->setObjectName(QStringLiteral("grid_alternatives"));
  grid_->setHorizontalHeaderLabels(Headers());
  grid_->setFont(qt::FieldFont());
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->setVisible(false);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  adopt_ = new QPushButton;
  qt::SetText(adopt_, QStringLiteral("采用"));
  adopt_->setObjectName(QStringLiteral("cmd_adopt"));
  adopt_->setEnabled(false);
  auto* close = new QPushButton;
  qt::SetText(close, QStringLiteral("关闭"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(adopt_);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);
  resize(1100, 460);

  connect(adopt_, &QPushButton::clicked, this, &AlternativesDialog::AdoptSelected);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  connect(grid_, &QTableWidget::itemSelectionChanged, this,
          [this] { adopt_->setEnabled(!grid_->selectedItems().isEmpty()); });

  auto open = [this] {
    // Never wider or taller than the screen leaves room for (1366x768 at
    // 125 % is 1093 points wide), title bar and borders included.
    if (const QScreen* s = window_.screen()) {
      const QRect avail = s->availableGeometry();
      resize(size().boundedTo(avail.size() - QSize(16, 40)));
      if (!avail.contains(frameGeometry())) move(avail.topLeft());
    }
    show();
    raise();
    activateWindow();
  };
  if (button) connect(button, &QPushButton::clicked, this, open);
  // The menu sits before the language and help menus, which stay last.
  auto* menu = new QMenu(&window);
  qt::SetText(menu->menuAction(), QStringLiteral("方案(&A)"));
  menu->setFont(qt::CaptionFont());
  QAction* entry = menu->addAction(QString());
  qt::SetText(entry, QStringLiteral("方案比较"));
  entry->setObjectName(QStringLiteral("mnu_alternatives"));
  connect(entry, &QAction::triggered, this, open);
  const auto bar = window.menuBar()->actions();
  window.menuBar()->insertMenu(bar.size() >= 2 ? bar[bar.size() - 2] : nullptr, menu);
  Fill();
}

AlternativesDialog::~AlternativesDialog() = default;

void AlternativesDialog::RunFinished() {
  auto table = watch_.Take();
  if (!table) return;
  table_ = std::move(*table);
  Fill();
  // Adopted once the run that showed it has ended and Run can be pressed again.
  if (ShowSuggestion(window_, table_) == MsgAnswer::kAdopt)
    QTimer::singleShot(0, this, [this, better = static_cast<size_t>(table_.better)] { Adopt(better); });
}

void AlternativesDialog::changeEvent(QEvent* event) {
  // Column captions and status texts are no objects the window retranslates.
  if (event->type() == QEvent::LanguageChange) {
    setWindowTitle(qt::Tr("方案比较"));
    Fill();
  }
  QDialog::changeEvent(event);
}

void AlternativesDialog::Fill() {
  grid_->setHorizontalHeaderLabels(Headers());
  grid_->setSortingEnabled(false);
  grid_->clearContents();
  grid_->setRowCount(static_cast<int>(table_.rows.size()));
  for (size_t i = 0; i < table_.rows.size(); ++i) {
    const Alternative& a = table_.rows[i];
    const int r = static_cast<int>(i);
    auto text = [](const std::string& t) { return new QTableWidgetItem(Q(t)); };
    auto number = [](const std::string& t, double key) { return new NumberItem(Q(t), key); };
    QTableWidgetItem* cells[] = {
        text(Mark(a)),
        text(a.PlateType()),
        text(a.designation),
        number(FormatGeneral(a.passes), a.passes),
        number(FormatWhole(a.units), a.units),
        number(FormatWhole(a.channels_hm), a.channels_hm),
        number(FormatWhole(a.channels_ml), a.channels_ml),
        number(FormatGeneral(a.plate_count), a.plate_count),
        number(FormatFixed(a.area, 1), a.area),
        number(FormatWhole(a.k_service), a.k_service),
        number(FormatWhole(a.margin), a.margin),
        number(FormatFixed(a.dp_h, 2) + "/" + FormatGeneral(a.dp_max_h), a.dp_h),
        number(FormatFixed(a.dp_c, 2) + "/" + FormatGeneral(a.dp_max_c), a.dp_c),
        number(FormatFixed(a.v_port_h, 2), a.v_port_h),
        number(FormatFixed(a.v_port_c, 2), a.v_port_c),
        number(FormatFixed(a.fouling_out, 6), a.fouling_out),
        number(FormatGeneral(a.price), a.price),
        number(FormatGeneral(a.weight), a.weight),
        number(FormatFixed(a.area_total, 1), a.area_total),
        number(FormatGeneral(a.price_total), a.price_total),
        number(FormatGeneral(a.weight_total), a.weight_total),
        text(""),
    };
    cells[std::size(cells) - 1]->setText(StatusText(a.status));
    cells[0]->setData(kRowIndexRole, r);
    for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
      if (a.chosen) {
        QFont f = grid_->font();
        f.setBold(true);
        cells[c]->setFont(f);
      }
      grid_->setItem(r, c, cells[c]);
    }
  }
  // Shown in the order it was built (fitting rows by price, then area) until
  // the user sorts by a column.
  grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  grid_->setSortingEnabled(true);
  grid_->resizeColumnsToContents();
  qt::SetText(note_, table_.rows.empty()
                        ? QStringLiteral("设计计算完成后显示各可选方案。")
                        : QStringLiteral("★ 为程序选型结果，☆ 为按型号族规则的选型；满足全部限值的方案按总价格、总面积、台数排在前面。"));
  adopt_->setEnabled(false);
}

void AlternativesDialog::AdoptSelected() {
  const auto selected = grid_->selectedItems();
  if (selected.isEmpty()) return;
  const int row = selected.front()->row();
  const QTableWidgetItem* first = grid_->item(row, 0);
  if (!first) return;
  Adopt(static_cast<size_t>(first->data(kRowIndexRole).toInt()));
}

void AlternativesDialog::Adopt(size_t index) {
  // The dialog stays usable while a run yields; the options must not change under it.
  if (index >= table_.rows.size() || window_.env().running) return;
  const Alternative a = table_.rows[index];
  for (const char* option : {"opt_br(3)", "opt_br(4)"})
    if (auto* b = qobject_cast<QAbstractButton*>(window_.Control(option))) b->click();
  window_.EnterText("com_br", a.model);
  window_.EnterText("com_zh", a.type);
  window_.EnterText("Txt_N", FormatWhole(a.passes));
  window_.EnterText("Txt_NUM1", FormatWhole(a.units));
  window_.RunButton()->click();
}

}  // namespace phe
