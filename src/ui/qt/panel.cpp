// The window's panel: the input frames (hot medium red on the left, cold
// medium blue on the right), equipment, design parameters, plate type, the
// results frame and the Run button, laid out from the shared layout tables.
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <set>
#include <stdexcept>

#include "ui/layout.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

using qt::Q;

// Fields of the hot medium; they are drawn red.
const std::set<std::string, std::less<>> kHotSide = {
    "Com_jh", "Txt_Th1", "Txt_Th2", "Txt_Qh", "Txt_Ph",
    "Txt_D2", "Txt_Wlh", "Txt_Ph2", "Txt_Ph1"};

// Lists whose text is typed or written, not only picked: the lining and the
// two plate-type lists (the Run command writes the chosen model and type back).
const std::set<std::string, std::less<>> kEditableLists = {"Com_jgl", "com_br", "com_zh"};

const std::vector<std::string>& ItemsOf(const std::string& list) {
  for (const auto& l : layout::kLists)
    if (l.name == list) return l.items;
  throw std::out_of_range("no list named " + list);
}

using qt::Caption;
using qt::Frame;
using qt::Unit;

}  // namespace

QLineEdit* MainWindow::AddTextBox(const std::string& name, bool hot_side, bool result) {
  auto* box = new QLineEdit;
  box->setObjectName(Q(name));
  box->setFont(qt::FieldFont());
  box->setFixedWidth(result ? 76 : 70);
  qt::PaintField(box, hot_side);
  qt::SetBoxToolTip(box, std::string(name));
  if (result) {
    box->setReadOnly(true);
    // Selectable for copying, but Tab passes them by.
    box->setFocusPolicy(Qt::ClickFocus);
  }
  controls_.emplace(name, box);
  return box;
}

QComboBox* MainWindow::AddList(const std::string& name, bool hot_side) {
  auto* list = new QComboBox;
  list->setObjectName(Q(name));
  list->setFont(qt::FieldFont());
  for (const auto& item : ItemsOf(name)) list->addItem(Q(item));
  if (kEditableLists.count(name)) {
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // No completion: the text is what the user typed, nothing more.
    list->setCompleter(nullptr);
  }
  list->setCurrentIndex(-1);
  qt::PaintField(list, hot_side);
  qt::SetBoxToolTip(list, std::string(name));
  controls_.emplace(name, list);
  return list;
}

QRadioButton* MainWindow::AddOption(int index, const QString& caption) {
  auto* option = new QRadioButton;
  qt::SetText(option, caption);
  const std::string name = layout::OptionName(index);
  option->setObjectName(Q(name));
  option->setFont(qt::CaptionFont());
  controls_.emplace(name, option);
  return option;
}

void MainWindow::BuildPanel() {
  auto hot = [](const std::string& n) { return kHotSide.count(n) > 0; };
  auto text_box = [&](const std::string& n) { return AddTextBox(n, hot(n), false); };

  // Operating case: hot side left, cold side right.
  QGroupBox* operating = Frame(QStringLiteral("工况参数"));
  {
    auto* grid = new QGridLayout(operating);
    grid->addWidget(Caption(QStringLiteral("热介质")), 0, 1, Qt::AlignCenter);
    grid->addWidget(Caption(QStringLiteral("冷介质")), 0, 2, Qt::AlignCenter);
    QComboBox* jh = AddList("Com_jh", true);
    QComboBox* jc = AddList("Com_jc", false);
    jh->setMinimumWidth(130);
    jc->setMinimumWidth(130);
    grid->addWidget(Caption(QStringLiteral("介质名称")), 1, 0);
    grid->addWidget(jh, 1, 1);
    grid->addWidget(jc, 1, 2);
    struct Row {
      const char* caption;
      const char* hot;
      const char* cold;
      const char* unit;
    };
    const Row rows[] = {{"进口温度", "Txt_Th1", "Txt_Tc1", "℃"},
                        {"出口温度", "Txt_Th2", "Txt_Tc2", "℃"},
                        {"介质流量", "Txt_Qh", "Txt_Qc", ""},
                        {"最大压降", "Txt_Ph", "Txt_Pc", "kPa"}};
    // A flow box with its unit list (by volume or by mass) beside it, so the
    // panel grows no taller.
    auto with_unit = [&](const char* box, const char* unit, bool hot_side) {
      auto* pair = new QHBoxLayout;
      pair->setContentsMargins(0, 0, 0, 0);
      pair->addWidget(text_box(box));
      pair->addWidget(AddList(unit, hot_side));
      return pair;
    };
    int r = 2;
    for (const Row& row : rows) {
      grid->addWidget(Caption(QString::fromUtf8(row.caption)), r, 0);
      if (std::string_view(row.hot) == "Txt_Qh") {
        grid->addLayout(with_unit("Txt_Qh", "Com_uh", true), r, 1, Qt::AlignCenter);
        grid->addLayout(with_unit("Txt_Qc", "Com_uc", false), r, 2, Qt::AlignCenter);
      } else {
        grid->addWidget(text_box(row.hot), r, 1, Qt::AlignCenter);
        grid->addWidget(text_box(row.cold), r, 2, Qt::AlignCenter);
      }
      grid->addWidget(Unit(QString::fromUtf8(row.unit)), r, 3);
      if (std::string_view(row.hot) == "Txt_Qh") {
        grid->addWidget(PerUnitMark({"Txt_Qh", "Txt_Qc"}), r, 4);
        // Steam is metered by mass: its flow in kg/h under the volume flow.
        steam_mass_ = new QLabel;
        steam_mass_->setObjectName(QStringLiteral("steam_flow_mass"));
        steam_mass_->setFont(qt::CaptionFont());
        steam_mass_->hide();
        grid->addWidget(steam_mass_, ++r, 1, Qt::AlignCenter);
      }
      ++r;
    }
  }

  // Equipment options, one list per row.
  QGroupBox* equipment = Frame(QStringLiteral("设备参数"));
  {
    auto* grid = new QGridLayout(equipment);
    const std::pair<const char*, const char*> rows[] = {{"设计压力", "Com_pg"},
                                                        {"板片材质", "Com_bpc"},
                                                        {"板片厚度", "Com_bph"},
                                                        {"垫片材质", "Com_dpc"},
                                                        {"接口材质", "Com_jgl"}};
    int r = 0;
    for (const auto& [caption, name] : rows) {
      grid->addWidget(Caption(QString::fromUtf8(caption)), r, 0);
      QComboBox* list = AddList(name, false);
      list->setMinimumWidth(100);
      grid->addWidget(list, r, 1);
      ++r;
    }
  }

  // Design parameters, with the calculation-mode pair.
  QGroupBox* design = Frame(QStringLiteral("设计参数"));
  {
    auto* grid = new QGridLayout(design);
    QRadioButton* opt4 = AddOption(4, QStringLiteral("设计计算"));
    QRadioButton* opt5 = AddOption(5, QStringLiteral("校核计算"));
    QRadioButton* opt6 = AddOption(6, QStringLiteral("模拟计算"));
    calc_group_ = new QButtonGroup(this);
    calc_group_->addButton(opt4, 4);
    calc_group_->addButton(opt5, 5);
    calc_group_->addButton(opt6, 6);
    opt4->setChecked(true);
    auto* modes = new QHBoxLayout;
    modes->addWidget(opt4);
    modes->addWidget(opt5);
    modes->addWidget(opt6);
    grid->addLayout(modes, 0, 0, 1, 3);
    struct Row {
      const char* caption;
      const char* name;
      const char* unit;
    };
    const Row rows[] = {{"热交换量", "Txt_Wq", "kW"},
                        {"流程数量", "Txt_N", ""},
                        {"设计裕量", "Txt_GF1", "%"},
                        {"污垢系数", "Txt_Rhc", "m2.℃/W"}};
    int r = 1;
    for (const Row& row : rows) {
      grid->addWidget(Caption(QString::fromUtf8(row.caption)), r, 0);
      grid->addWidget(text_box(row.name), r, 1);
      if (*row.unit) grid->addWidget(Unit(QString::fromUtf8(row.unit)), r, 2);
      if (std::string_view(row.name) == "Txt_Wq") grid->addWidget(PerUnitMark({"Txt_Wq"}), r, 3);
      ++r;
    }
  }

  // Plate type, with the selection-mode pair.
  QGroupBox* plate = Frame(QStringLiteral("板型参数"));
  {
    auto* grid = new QGridLayout(plate);
    QRadioButton* opt2 = AddOption(2, QStringLiteral("自动选型"));
    QRadioButton* opt3 = AddOption(3, QStringLiteral("人工选型"));
    selection_group_ = new QButtonGroup(this);
    selection_group_->addButton(opt2, 2);
    selection_group_->addButton(opt3, 3);
    opt2->setChecked(true);
    grid->addWidget(opt2, 0, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(opt3, 0, 2, 1, 2, Qt::AlignLeft);
    QComboBox* br = AddList("com_br", false);
    QComboBox* zh = AddList("com_zh", false);
    br->setMinimumWidth(100);
    zh->setMinimumWidth(70);
    grid->addWidget(Caption(QStringLiteral("板换型号")), 1, 0);
    grid->addWidget(br, 1, 1);
    grid->addWidget(Caption(QStringLiteral("板片类型")), 1, 2);
    grid->addWidget(zh, 1, 3);
    grid->addWidget(Caption(QStringLiteral("流道数H/M")), 2, 0);
    grid->addWidget(text_box("Txt_nh"), 2, 1);
    grid->addWidget(Caption(QStringLiteral("流道数M/L")), 2, 2);
    grid->addWidget(text_box("Txt_nl"), 2, 3);
    // Beside the channel counts, so the frame keeps its height on a small screen.
    grid->addWidget(Caption(QStringLiteral("并联台数")), 2, 4);
    grid->addWidget(text_box("Txt_NUM1"), 2, 5);
  }

  QWidget* results = BuildResultsFrame();

  run_button_ = new QPushButton;
  run_button_->setObjectName(QStringLiteral("cmd_count"));
  // The caption shows the key that runs as well.
  qt::SetText(run_button_, QStringLiteral("运行 (F5)"));
  run_button_->setFont(qt::CaptionFont());
  run_button_->setMinimumSize(96, 32);
  controls_.emplace("cmd_count", run_button_);

  panel_ = new QWidget;
  auto* grid = new QGridLayout(panel_);
  grid->addWidget(operating, 0, 0, 1, 2);
  grid->addWidget(equipment, 1, 0);
  grid->addWidget(design, 1, 1);
  grid->addWidget(plate, 2, 0, 1, 2);
  grid->addWidget(results, 0, 2, 3, 1);
  // On a small screen the panel scrolls; the Run button below it never does.
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(panel_);
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(scroll_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(grid->contentsMargins().left(), 0, grid->contentsMargins().right(),
                             grid->contentsMargins().bottom());
  bottom->addStretch(1);
  bottom->addWidget(run_button_);
  column->addLayout(bottom);
  setCentralWidget(central);

  for (const auto& st : layout::kStartTexts)
    static_cast<QLineEdit*>(At(st.name))->setText(Q(st.text));

  QWidget* previous = nullptr;
  for (const auto& name : layout::kFocusOrder) {
    QWidget* w = At(name);
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
  setTabOrder(previous, run_button_);
}

}  // namespace phe
