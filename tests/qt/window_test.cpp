// The Qt window, driven as a user would drive it: keys, Tab, mouse clicks.
// Runs on Qt's offscreen platform; message boxes are answered by a hook.
#include <gtest/gtest.h>

#include <QAction>
#include <unistd.h>

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QRegularExpression>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <type_traits>
#include <variant>
#include <atomic>
#include <chrono>
#include <functional>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compare/alternatives.h"
#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "ui/input_panel.h"
#include "ui/layout.h"
#include "base/numeric.h"
#include "driver/case_driver.h"
#include "ui/qt/case_files.h"
#include "ui/qt/main_window.h"
#include "ui/qt/sheet_actions.h"
#include "workflow/run_command.h"
#include "sheet/sheet.h"
#include "support/generated_cases.h"
#include "support/scratch.h"

namespace phe {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// ---- user input ----

int KeyFor(QChar c) {
  if (c == '.') return Qt::Key_Period;
  if (c == ',') return Qt::Key_Comma;
  if (c == ' ') return Qt::Key_Space;
  return c.toUpper().unicode();
}

void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr) << "no widget has the keyboard focus";
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(target, &release);
}

// A click as the mouse gives it: the focus first (a synthetic press does not
// move it), then press and release.
void Click(QWidget* w) {
  if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
  const QPointF p = QRectF(w->rect()).center();
  const QPointF g = w->mapToGlobal(p);
  QMouseEvent press(QEvent::MouseButtonPress, p, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, g, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

std::string FocusName() {
  QWidget* w = QApplication::focusWidget();
  return w ? w->objectName().toStdString() : std::string("<none>");
}

// Snapshot of the whole record, for "nothing changed" and "same record" checks.
std::map<std::string, std::string> Dump(const SelectionState& s) {
  std::map<std::string, std::string> out;
  for_each_field(s, [&](const char* name, const auto& v) {
    std::ostringstream os;
    os.precision(17);
    os << v;
    out[name] = os.str();
  });
  return out;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    db_path_ = phe::testing::ScratchDir() /
               (std::string("qt_") + info->test_suite_name() + "_" + info->name() + "_" +
                std::to_string(getpid()) + ".mdb");
    fs::copy_file(DefaultDatabasePath(), db_path_, fs::copy_options::overwrite_existing);
    window_ = MakeWindow();
  }

  // A window on the test's database, shown and active, its boxes answered.
  std::unique_ptr<MainWindow> MakeWindow() {
    auto window = std::make_unique<MainWindow>(Database::Open(db_path_.string()));
    window->SetMessageHook([this](const RecordedMessage& m) {
      messages_.push_back(m);
      messages_.back().answer = m.buttons == MsgButtons::kYesNo               ? yes_no_answer_
                                : m.buttons == MsgButtons::kSaveDiscardCancel ? save_answer_
                                                                              : MsgAnswer::kOk;
      if (on_message_) on_message_();
      return messages_.back().answer;
    });
    window->show();
    window->activateWindow();
    for (int i = 0; i < 200 && !window->isActiveWindow(); ++i) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
    EXPECT_TRUE(window->isActiveWindow()) << "the window never became active";
    return window;
  }

  void TearDown() override {
    window_.reset();
    std::error_code ec;
    fs::remove(db_path_, ec);
  }

  QWidget* W(const std::string& name) {
    QWidget* w = window_->Control(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* Box(const std::string& name) { return qobject_cast<QLineEdit*>(W(name)); }
  QComboBox* List(const std::string& name) { return qobject_cast<QComboBox*>(W(name)); }

  // Into the box as by a mouse click, replace its text by typing.
  void TypeInto(const std::string& name, const std::string& text) {
    W(name)->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(FocusName(), name);
    Key(Qt::Key_A, Qt::ControlModifier);
    if (text.empty()) Key(Qt::Key_Delete);
    for (QChar c : Q(text)) Key(KeyFor(c), Qt::NoModifier, QString(c));
  }
  void Leave() { Key(Qt::Key_Tab); }
  void Enter(const std::string& name, const std::string& text) {
    TypeInto(name, text);
    Leave();
  }

  // Picks an item of a drop-down list with the arrow keys.
  void Choose(const std::string& name, int index) {
    QComboBox* list = List(name);
    list->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(FocusName(), name);
    for (int guard = 0; guard < 40 && list->currentIndex() != index; ++guard)
      Key(list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_EQ(list->currentIndex(), index);
  }

  std::vector<std::string> ControlTexts() {
    std::vector<std::string> out;
    for (const auto& l : layout::kLists) out.push_back(window_->Text(l.name));
    for (const auto& n : layout::kInputTextBoxes) out.push_back(window_->Text(n));
    for (const auto& n : layout::kResultTextBoxes) out.push_back(window_->Text(n));
    return out;
  }

  fs::path db_path_;
  std::unique_ptr<MainWindow> window_;
  std::vector<RecordedMessage> messages_;
  MsgAnswer yes_no_answer_ = MsgAnswer::kYes;
  MsgAnswer save_answer_ = MsgAnswer::kCancel;
  std::function<void()> on_message_;
};

// Guards against a window that starts with other defaults than the headless
// form: wrong list selections, a lost start text, the wrong option buttons.
TEST_F(WindowTest, StartsWithTheDefaultsOfTheStateListsAndTexts) {
  const SelectionState& s = window_->state();
  EXPECT_EQ(s.calc_mode, 1);
  EXPECT_EQ(s.selection_mode, 0);
  EXPECT_EQ(s.fouling, 0);
  EXPECT_EQ(s.units, 1);
  EXPECT_EQ(s.design_pressure, 1);
  EXPECT_EQ(s.plate_thickness, 0.5);
  EXPECT_EQ(s.plate_material, "SUS304");
  EXPECT_EQ(s.gasket_material, "EPDM");
  EXPECT_TRUE(window_->env().confirm_exit);
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8(layout::kWindowTitle));

  const struct {
    const char* list;
    int index;
    const char* text;
  } lists[] = {{"Com_jh", 0, "Water"},  {"Com_jc", 0, "Water"},   {"Com_pg", 0, "1.0MPa"},
               {"Com_bpc", 0, "SUS304"}, {"Com_bph", 0, "0.5mm"}, {"Com_dpc", 1, "EPDM"},
               {"Com_jgl", 3, "SS"},     {"com_br", -1, ""},      {"com_zh", -1, ""}};
  for (const auto& l : lists) {
    EXPECT_EQ(window_->ListIndex(l.list), l.index) << l.list;
    EXPECT_EQ(window_->Text(l.list), l.text) << l.list;
  }
  // Every list offers exactly its items, in order (no item typed in or lost).
  for (const auto& list_layout : layout::kLists) {
    QComboBox* list = List(list_layout.name);
    ASSERT_EQ(list->count(), static_cast<int>(list_layout.items.size())) << list_layout.name;
    for (int i = 0; i < list->count(); ++i)
      EXPECT_EQ(list->itemText(i).toStdString(), list_layout.items[static_cast<size_t>(i)]) << list_layout.name;
  }
  std::map<std::string, std::string> start;
  for (const auto& st : layout::kStartTexts) start[st.name] = st.text;
  for (const auto& n : layout::kInputTextBoxes) EXPECT_EQ(window_->Text(n), start[n]) << n;
  for (const auto& n : layout::kResultTextBoxes) EXPECT_EQ(window_->Text(n), "") << n;
  EXPECT_EQ(window_->Text(layout::OptionName(2)), "True");
  EXPECT_EQ(window_->Text(layout::OptionName(3)), "False");
  EXPECT_EQ(window_->Text(layout::OptionName(4)), "True");
  EXPECT_EQ(window_->Text(layout::OptionName(5)), "False");
  for (const char* c : {"com_br", "com_zh", "Txt_nh", "Txt_nl", "Txt_Rhc", "Txt_GF1"})
    EXPECT_TRUE(window_->Enabled(c)) << c;
  EXPECT_TRUE(messages_.empty());
}

// Guards against fields the user can overwrite (results), inputs locked by
// mistake, and hot and cold fields painted alike.
TEST_F(WindowTest, ResultsAreReadOnlyAndSidesAreColouredApart) {
  for (const auto& n : layout::kInputTextBoxes) EXPECT_FALSE(Box(n)->isReadOnly()) << n;
  for (const auto& n : layout::kResultTextBoxes) EXPECT_TRUE(Box(n)->isReadOnly()) << n;

  const std::set<std::string> hot = {"Com_jh", "Txt_Th1", "Txt_Th2", "Txt_Qh", "Com_uh", "Txt_Ph",
                                     "Txt_D2", "Txt_Wlh", "Txt_Ph2", "Txt_Ph1", "Txt_Dh"};
  std::vector<std::string> fields = layout::kInputTextBoxes;
  fields.insert(fields.end(), layout::kResultTextBoxes.begin(), layout::kResultTextBoxes.end());
  for (const auto& l : layout::kLists) fields.push_back(l.name);
  for (const auto& n : fields) {
    const QPalette p = W(n)->palette();
    const QColor ink = hot.count(n) ? QColor(Qt::red) : QColor(Qt::blue);
    const QPalette::ColorRole text_role = qobject_cast<QComboBox*>(W(n)) && !List(n)->isEditable()
                                              ? QPalette::ButtonText
                                              : QPalette::Text;
    EXPECT_EQ(p.color(QPalette::Active, text_role), ink) << n;
    EXPECT_EQ(p.color(QPalette::Active, QPalette::Base), QColor(Qt::white)) << n;
  }
}

// Guards against captions drawn as empty boxes: every caption must ask for a
// font that is installed and writes Simplified Chinese.
TEST_F(WindowTest, EveryCaptionHasAnInstalledChineseFont) {
  auto writes_chinese = [](const QFont& f) {
    for (const QString& family : f.families())
      if (QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        return true;
    return false;
  };
  int captions = 0;
  for (QLabel* l : window_->findChildren<QLabel*>()) {
    EXPECT_TRUE(writes_chinese(l->font())) << l->text().toStdString();
    ++captions;
  }
  for (QGroupBox* g : window_->findChildren<QGroupBox*>()) {
    EXPECT_TRUE(writes_chinese(g->font())) << g->title().toStdString();
    ++captions;
  }
  for (QRadioButton* r : window_->findChildren<QRadioButton*>())
    EXPECT_TRUE(writes_chinese(r->font())) << r->text().toStdString();
  EXPECT_TRUE(writes_chinese(window_->RunButton()->font()));
  EXPECT_GE(captions, 40);  // five frames and every row caption and unit
}

// Guards against a Tab order that wanders: from the cold medium the Tab key
// visits the inputs in the fixed order, then the Run button. Each group of
// option buttons is entered at its chosen button (the arrow keys move inside
// the group), so the chosen ones stand for their group.
TEST_F(WindowTest, TabVisitsTheInputsInTheirOrder) {
  for (int chosen_selection : {2, 3}) {
    SCOPED_TRACE(chosen_selection);
    Click(W(layout::OptionName(chosen_selection)));
    ASSERT_EQ(window_->Text(layout::OptionName(chosen_selection)), "True");
    std::vector<std::string> expected;
    for (const auto& name : layout::kFocusOrder)
      if (name.rfind("opt_br(", 0) != 0 || window_->Text(name) == "True") expected.push_back(name);
    expected.push_back("cmd_count");
    // One unchosen selection button, two unchosen calculation buttons, the Run button.
    ASSERT_EQ(expected.size(), layout::kFocusOrder.size() - 2);

    W(layout::kFocusOrder.front())->setFocus(Qt::MouseFocusReason);
    std::vector<std::string> visited = {FocusName()};
    while (visited.size() < expected.size()) {
      Key(Qt::Key_Tab);
      visited.push_back(FocusName());
    }
    EXPECT_EQ(visited, expected);
  }
}

// Guards against LostFocus handlers wired to the wrong event (running while
// typing, or not on leaving) and against the entered-flag rules of the hot
// and cold sides.
TEST_F(WindowTest, TypingAndLeavingAFieldSetsItsValueAndFlag) {
  const struct {
    const char* box;
    const char* typed;
    double SelectionState::*value;
    double expected;
    double (*flag)(const SelectionState&);
    double expected_flag;
  } cases[] = {
      {"Txt_Th1", "95", &SelectionState::t_h_in, 95, [](const SelectionState& s) { return double(s.given_t_h_in); }, 1},
      {"Txt_Th1", "0", &SelectionState::t_h_in, 0, [](const SelectionState& s) { return double(s.given_t_h_in); }, 0},
      {"Txt_Th2", "12abc", &SelectionState::t_h_out, 12, [](const SelectionState& s) { return double(s.given_t_h_out); }, 1},
      {"Txt_Tc1", "0", &SelectionState::t_c_in, 0, [](const SelectionState& s) { return double(s.given_t_c_in); }, 1},
      {"Txt_Tc1", "", &SelectionState::t_c_in, 0, [](const SelectionState& s) { return double(s.given_t_c_in); }, 0},
      {"Txt_Tc2", "1 2", &SelectionState::t_c_out, 12, [](const SelectionState& s) { return double(s.given_t_c_out); }, 1},
      {"Txt_Qh", "1,5", &SelectionState::flow_h, 1, [](const SelectionState& s) { return double(s.given_flow_h); }, 1},
      {"Txt_Qc", "0", &SelectionState::flow_c, 0, [](const SelectionState& s) { return double(s.given_flow_c); }, 0},
      {"Txt_Wq", "150", &SelectionState::duty, 150000, [](const SelectionState& s) { return double(s.given_duty); }, 1},
      {"Txt_Wq", "", &SelectionState::duty, 0, [](const SelectionState& s) { return double(s.given_duty); }, 0},
  };
  SelectionState& s = window_->state();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.box) + " <- \"" + c.typed + "\"");
    // A value that differs from the expected one shows whether leaving wrote it.
    s.*c.value = -7;
    TypeInto(c.box, c.typed);
    EXPECT_EQ(s.*c.value, -7) << "ran before the field was left";
    Leave();
    EXPECT_EQ(s.*c.value, c.expected);
    EXPECT_EQ(c.flag(s), c.expected_flag);
    EXPECT_EQ(window_->Text(c.box), c.typed);
  }
  EXPECT_TRUE(messages_.empty());
}

// Guards against Change handlers that wait for the field to be left.
TEST_F(WindowTest, MarginAndPassesFollowEveryKeystroke) {
  SelectionState& s = window_->state();
  TypeInto("Txt_N", "2");
  EXPECT_EQ(s.passes, 2);
  Key(Qt::Key_3, Qt::NoModifier, "3");
  EXPECT_EQ(s.passes, 23);
  TypeInto("Txt_GF1", "10");
  EXPECT_EQ(s.margin_in, 10);
  TypeInto("Txt_Rhc", "0.0001");
  EXPECT_DOUBLE_EQ(s.fouling, 0.0001);
}

// Guards against handlers run by the program's own writes: a text written
// back by the Run command must not count as typed.
TEST_F(WindowTest, TextsWrittenByTheProgramRunNoHandler) {
  SelectionState& s = window_->state();
  const auto before = Dump(s);
  window_->SetText("Txt_Rhc", "0.0005");
  window_->SetText("Txt_N", "4");
  window_->SetText("Txt_GF1", "15");
  window_->SetText("com_br", "PX100M");
  window_->SetText("com_zh", "HM");
  window_->SetText("Com_jgl", "NBR");
  window_->SetListIndex("Com_bph", 2);
  window_->SetListIndex("Com_jh", 1);
  EXPECT_EQ(Dump(s), before);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(window_->Text("com_br"), "PX100M");
  EXPECT_EQ(window_->ListIndex("com_br"), List("com_br")->findText("PX100M"));
  EXPECT_EQ(window_->Text("com_zh"), "HM");
  EXPECT_EQ(window_->ListIndex("com_zh"), 1);
  EXPECT_EQ(window_->Text("Com_bph"), "0.7mm");
  // Writing the Txt_Th1 box and then leaving it does count: the flag follows
  // the box when the user leaves it.
  window_->SetText("Txt_Th1", "80.0");
  W("Txt_Th1")->setFocus(Qt::MouseFocusReason);
  Leave();
  EXPECT_EQ(s.t_h_in, 80);
  EXPECT_EQ(s.given_t_h_in, 1);
}

// Guards against lists that react to the wrong event: a pick runs Click at
// once, the medium lists only act when left, and a typed lining is taken.
TEST_F(WindowTest, ChoosingListItemsSetsTheState) {
  SelectionState& s = window_->state();
  Choose("Com_bph", 2);
  EXPECT_EQ(s.plate_thickness, 0.7);
  Choose("Com_pg", 1);
  EXPECT_EQ(s.design_pressure, 1.6);
  EXPECT_EQ(s.design_pressure_report, 1.6);
  Choose("Com_bpc", 1);
  EXPECT_EQ(s.plate_material, "SUS316");
  Choose("Com_dpc", 0);
  EXPECT_EQ(s.gasket_material, "NBR");
  Choose("com_br", 7);
  EXPECT_EQ(s.plate_type, "PX100M");

  // Steam on the hot side: nothing at the moment of choosing, all on leaving.
  s.hot_kind = 1;
  s.table_h = "";
  Choose("Com_jh", 1);
  EXPECT_EQ(s.hot_kind, 1);
  EXPECT_EQ(s.table_h, "");
  Leave();
  EXPECT_EQ(s.hot_kind, 2);
  EXPECT_EQ(s.table_h, "water");
  EXPECT_EQ(s.medium_h_index, 2);

  Choose("Com_jc", 1);
  Leave();
  EXPECT_EQ(s.table_c, "glycol");
  EXPECT_EQ(s.medium_c_index, 2);

  TypeInto("Com_jgl", "EPDM");
  EXPECT_EQ(s.port_lining, "EPDM");
}

// Guards against the option buttons acting as one group of four, and against
// the wrong fields being switched off in check calculation.
TEST_F(WindowTest, OptionButtonsSwitchModesAndFieldsInTwoIndependentPairs) {
  SelectionState& s = window_->state();
  TypeInto("Txt_Rhc", "0.0001");
  TypeInto("Txt_GF1", "10");

  Click(W(layout::OptionName(5)));
  EXPECT_EQ(s.calc_mode, 2);
  EXPECT_FALSE(window_->Enabled("Txt_Rhc"));
  EXPECT_FALSE(window_->Enabled("Txt_GF1"));
  EXPECT_EQ(window_->Text("Txt_Rhc"), "0.0001");
  EXPECT_EQ(window_->Text("Txt_GF1"), "10");
  EXPECT_DOUBLE_EQ(s.fouling, 0.0001);
  EXPECT_EQ(s.margin_in, 10);
  EXPECT_EQ(window_->Text(layout::OptionName(2)), "True") << "the other pair moved";

  Click(W(layout::OptionName(3)));
  EXPECT_EQ(s.selection_mode, 1);
  EXPECT_EQ(window_->Text(layout::OptionName(5)), "True") << "the other pair moved";
  EXPECT_EQ(s.calc_mode, 2);
  for (const char* c : {"com_br", "com_zh", "Txt_nh", "Txt_nl"}) EXPECT_TRUE(window_->Enabled(c));

  Click(W(layout::OptionName(4)));
  EXPECT_EQ(s.calc_mode, 1);
  EXPECT_TRUE(window_->Enabled("Txt_Rhc"));
  EXPECT_TRUE(window_->Enabled("Txt_GF1"));
  EXPECT_EQ(window_->Text(layout::OptionName(3)), "True");

  Click(W(layout::OptionName(2)));
  EXPECT_EQ(s.selection_mode, 0);
  EXPECT_TRUE(messages_.empty());
}

// Guards against the fouling limit: the message when the last digit of 0.0002
// is typed in a water/water design, the focus kept in the box, the previous
// value kept; no message with steam on the hot side.
TEST_F(WindowTest, FoulingAtTheLimitIsRefusedWithAMessage) {
  SelectionState& s = window_->state();
  Choose("Com_jh", 0);
  Leave();  // the hot medium counts as liquid once its list is left
  // A box would take the focus away while it is open.
  on_message_ = [this] { W("Txt_Wq")->setFocus(Qt::OtherFocusReason); };
  TypeInto("Txt_Rhc", "0.0002");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "污垢系数太大，请重新输入！");
  EXPECT_EQ(messages_[0].title, "提示");
  EXPECT_EQ(messages_[0].icon, MsgIcon::kWarning);
  EXPECT_EQ(messages_[0].buttons, MsgButtons::kOk);
  EXPECT_EQ(FocusName(), "Txt_Rhc");
  EXPECT_EQ(s.fouling, 0);
  EXPECT_EQ(window_->Text("Txt_Rhc"), "0.0002");

  messages_.clear();
  on_message_ = nullptr;
  TypeInto("Txt_Rhc", "0.00019");
  EXPECT_TRUE(messages_.empty());
  EXPECT_DOUBLE_EQ(s.fouling, 0.00019);

  Choose("Com_jh", 1);
  Leave();
  TypeInto("Txt_Rhc", "0.0002");
  EXPECT_TRUE(messages_.empty());
  EXPECT_DOUBLE_EQ(s.fouling, 0.0002);
}

// Guards against input errors that do not stop the run where the user must
// correct them: the message with its critical icon, the focus moved, no
// result box touched, and the Run button off only while the run lasts.
TEST_F(WindowTest, AnInputErrorShowsItsMessageAndMovesTheFocus) {
  const struct {
    std::vector<std::pair<std::string, std::string>> typed;
    const char* text;
    const char* title;
    const char* focus;
  } cases[] = {
      {{}, "换热量、介质流量缺失，请重新输入！  ", "提示", "Txt_Wq"},
      {{{"Txt_Th1", "60"}, {"Txt_Tc1", "20"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "30"}, {"Txt_Wq", "100"}},
       "热介质进口温度必须大于热介质出口温度，请重新输入！", "错误", "Txt_Th1"},
      {{{"Txt_Th1", "90"}, {"Txt_Tc1", "40"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "30"}},
       "冷介质进口温度必须小于冷介质出口温度，请重新输入！", "错误", "Txt_Tc1"},
      // The port lining once took any typed text at Run, though Save refused it.
      {{{"Txt_Tc1", "50"}, {"Txt_Tc2", "60"}, {"Txt_Wq", "500"}, {"Com_jgl", "Rubber"}},
       "“接口材质”中的“Rubber”不是列表中的选项，请从列表中选择！", "错误", "Com_jgl"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    for (const auto& [box, text] : c.typed) {
      if (box.rfind("Com_", 0) == 0)
        window_->EnterText(box, text);
      else
        Enter(box, text);
    }
    messages_.clear();
    bool enabled_during_run = true;
    on_message_ = [&] { enabled_during_run = window_->RunButton()->isEnabled(); };
    Click(window_->RunButton());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, c.text);
    EXPECT_EQ(messages_[0].title, c.title);
    EXPECT_EQ(messages_[0].icon, MsgIcon::kCritical);
    EXPECT_EQ(messages_[0].buttons, MsgButtons::kOk);
    EXPECT_EQ(FocusName(), c.focus);
    EXPECT_FALSE(enabled_during_run);
    EXPECT_TRUE(window_->RunButton()->isEnabled());
    for (const auto& n : layout::kResultTextBoxes) EXPECT_EQ(window_->Text(n), "") << n;
  }
}

// The water/water design case: 90/70 degC water heats water from 50 to
// 60 degC, 500 kW; the flows come from the heat balance.
const std::vector<std::pair<std::string, std::string>> kWaterWater = {
    {"Txt_Th1", "90"}, {"Txt_Tc1", "50"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "60"}, {"Txt_Wq", "500"}};

void EnterWaterWater(MainWindow& w, const char* duty = "500") {
  for (const auto& [box, text] : kWaterWater) w.EnterText(box, box == "Txt_Wq" ? duty : text);
}

// Guards against the two faces drifting apart: the same case typed into the
// window and entered through the headless form with the same handlers must
// leave every box, every message and the whole record the same.
TEST_F(WindowTest, DesignRunFillsTheSameBoxesAsTheHeadlessForm) {
  for (const auto& [box, text] : kWaterWater) Enter(box, text);
  // Looks at the window from inside the run, at its first yield.
  bool probed = false, enabled_in_run = true, busy_in_run = false;
  QTimer::singleShot(0, window_.get(), [&] {
    probed = true;
    enabled_in_run = window_->RunButton()->isEnabled();
    busy_in_run = window_->Busy();
  });
  Click(window_->RunButton());
  EXPECT_TRUE(probed) << "the run never yielded to the window";
  EXPECT_FALSE(enabled_in_run);
  EXPECT_TRUE(busy_in_run);

  auto db = Database::Open(db_path_.string());
  HeadlessForm form;
  Env env(form);
  SelectionState s;
  s.db = db.get();
  Form_Load(s, env);
  for (const auto& [box, text] : kWaterWater) {
    form.SetText(box, text);
    if (Handler h = ChangeHandler(box)) h(s, env);
    if (Handler h = LostFocusHandler(box)) h(s, env);
  }
  // The window's automatic design takes the search's pack, as every front end does.
  AlternativesWatch watch(env);
  cmd_count_Click(s, env);

  for (const auto& l : layout::kLists) EXPECT_EQ(window_->Text(l.name), form.Text(l.name)) << l.name;
  for (const auto& n : layout::kInputTextBoxes) EXPECT_EQ(window_->Text(n), form.Text(n)) << n;
  for (const auto& n : layout::kResultTextBoxes) EXPECT_EQ(window_->Text(n), form.Text(n)) << n;
  ASSERT_EQ(messages_.size(), form.messages.size());
  for (size_t i = 0; i < messages_.size(); ++i) {
    EXPECT_EQ(messages_[i].text, form.messages[i].text);
    EXPECT_EQ(messages_[i].title, form.messages[i].title);
    EXPECT_EQ(messages_[i].icon, form.messages[i].icon);
  }
  EXPECT_EQ(Dump(window_->state()), Dump(s));

  // The balance written back: 500 kW over 20 K of water at 80 degC
  // (rho 971.8 kg/m3, cp 4.197 kJ/(kg K)) is 22.07 m3/h, over 10 K at 55 degC
  // (985.7, 4.183) 43.66 m3/h.
  EXPECT_NEAR(Val(window_->Text("Txt_Qh")), 22.07, 0.15);
  EXPECT_NEAR(Val(window_->Text("Txt_Qc")), 43.66, 0.25);
  // Counter-current ends of 30 K and 20 K: 10 / ln(1.5) = 24.66 K.
  EXPECT_EQ(window_->Text("Txt_TM"), "24.7");
  for (const auto& n : layout::kResultTextBoxes) EXPECT_NE(window_->Text(n), "") << n;
  EXPECT_NE(window_->Text("com_br"), "");
  EXPECT_NE(window_->Text("com_zh"), "");
  EXPECT_FALSE(window_->Busy());
  EXPECT_FALSE(window_->BusyTimer()->isActive());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(window_->RunButton()->isEnabled());
}

// Guards against an animation that shows the spare picture, repeats one
// picture, or leaves the busy cursor behind.
TEST_F(WindowTest, BusyCursorCyclesThreePicturesAndIsRemoved) {
  const auto& pictures = window_->CursorPictures();
  for (size_t i = 0; i < pictures.size(); ++i) {
    EXPECT_EQ(pictures[i].size(), QSize(32, 32));
    for (size_t j = 0; j < i; ++j)
      EXPECT_NE(pictures[i].toImage(), pictures[j].toImage()) << i << " " << j;
  }
  window_->env().anim_index = 0;
  window_->env().anim_last = 3;
  window_->BusyOn();
  EXPECT_TRUE(window_->Busy());
  EXPECT_EQ(window_->CursorPicture(), 0);
  EXPECT_TRUE(window_->BusyTimer()->isActive());
  EXPECT_EQ(window_->BusyTimer()->interval(), 100);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);

  std::vector<int> shown;
  for (int tick = 0; tick < 7; ++tick) {
    QMetaObject::invokeMethod(window_->BusyTimer(), "timeout");
    shown.push_back(window_->CursorPicture());
    EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(),
              pictures[static_cast<size_t>(window_->CursorPicture())].toImage());
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));

  window_->BusyOff();
  EXPECT_FALSE(window_->Busy());
  EXPECT_FALSE(window_->BusyTimer()->isActive());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Guards against a Yield that never hands the thread to the event loop (the
// window would freeze and the cursor stand still during a run).
TEST_F(WindowTest, YieldDeliversPendingEvents) {
  std::atomic<bool> delivered{false};
  QTimer::singleShot(0, window_.get(), [&] { delivered = true; });
  const auto start = std::chrono::steady_clock::now();
  while (!delivered && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    window_->Yield();
  EXPECT_TRUE(delivered);
}

// Guards against a close that ignores the answer, or a confirmation with the
// wrong text or buttons.
TEST_F(WindowTest, CloseAnsweredNoKeepsTheWindowAndItsContents) {
  Enter("Txt_Th1", "90");
  // Saved, so closing asks the plain question, not whether to save.
  const fs::path file = db_path_.string() + ".phe.json";
  ASSERT_TRUE(window_->Files().SaveTo(QString::fromStdString(file.string())));
  fs::remove(file);
  const auto texts = ControlTexts();
  const auto state = Dump(window_->state());
  yes_no_answer_ = MsgAnswer::kNo;
  EXPECT_FALSE(window_->close());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "您确定退出吗？");
  EXPECT_EQ(messages_[0].title, "提示");
  EXPECT_EQ(messages_[0].icon, MsgIcon::kQuestion);
  EXPECT_EQ(messages_[0].buttons, MsgButtons::kYesNo);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(ControlTexts(), texts);
  EXPECT_EQ(Dump(window_->state()), state);

  yes_no_answer_ = MsgAnswer::kYes;
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(window_->isVisible());
}

// Guards against a save that makes a private file readable by all, replaces a
// symlink by a plain file, replaces a read-only file unasked, fails on a name
// as long as the file system allows, or leaves a temporary file behind.
TEST_F(WindowTest, SavingACaseKeepsTheFilesKindAndLeavesNothingBehind) {
  const fs::path dir = db_path_.string() + ".d";
  fs::remove_all(dir);
  fs::create_directories(dir);
  auto mode = [](const fs::path& p) { return fs::status(p).permissions() & fs::perms::mask; };
  auto saved_wq = [](const fs::path& p) {
    bool several = false;
    const auto cases = ParseCaseFile(p.string(), &several);
    for (const auto& [control, text] : cases.at(0).controls)
      if (control == "Txt_Wq") return text;
    return std::string();
  };
  auto save = [&](const fs::path& p, const char* wq) {
    Enter("Txt_Wq", wq);
    return window_->Files().SaveTo(QString::fromStdString(p.string()));
  };
  const fs::path priv = dir / "private.phe.json";
  ASSERT_TRUE(save(priv, "1"));
  fs::permissions(priv, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(save(priv, "2"));
  EXPECT_EQ(mode(priv), fs::perms::owner_read | fs::perms::owner_write);

  const fs::path link = dir / "link.phe.json";
  fs::create_symlink(priv.filename(), link);
  ASSERT_TRUE(save(link, "3"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(saved_wq(priv), "3");

  fs::permissions(priv, fs::perms::owner_read);
  messages_.clear();
  yes_no_answer_ = MsgAnswer::kNo;
  EXPECT_FALSE(save(priv, "4"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].text.find("只读"), std::string::npos) << messages_[0].text;
  EXPECT_EQ(saved_wq(priv), "3");
  yes_no_answer_ = MsgAnswer::kYes;
  EXPECT_TRUE(save(priv, "5"));
  EXPECT_EQ(saved_wq(priv), "5");
  EXPECT_EQ(mode(priv), fs::perms::owner_read);

  const fs::path longest = dir / (std::string(255 - 9, 'x') + ".phe.json");
  EXPECT_TRUE(save(longest, "6"));
  EXPECT_EQ(saved_wq(longest), "6");
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_FALSE(e.path().filename().string().starts_with(".")) << e.path();
  fs::remove_all(dir);
}

QAction* FileMenuEntry(MainWindow& window, const QString& prefix) {
  for (QAction* menu : window.menuBar()->actions()) {
    if (menu->text() != QStringLiteral("文件(&F)")) continue;
    for (QAction* entry : menu->menu()->actions())
      if (entry->text().startsWith(prefix)) return entry;
  }
  ADD_FAILURE() << "no entry " << prefix.toStdString() << " in the menu 文件";
  static QAction none;
  return &none;
}

std::map<std::string, std::string> SavedControls(const fs::path& file) {
  bool several = false;
  std::map<std::string, std::string> out;
  const auto cases = ParseCaseFile(file.string(), &several);
  for (const auto& [control, text] : cases.at(0).controls) out[control] = text;
  return out;
}

// Guards against a case file that does not bring back what was typed (a lost
// field or mode, a value a run wrote back saved in place of the one typed, an
// entry that skips its handlers so the record differs), a title without the
// unsaved mark, and a save question whose answer is not obeyed.
TEST_F(WindowTest, ASavedCaseReopensInAFreshWindowWithTheSameInputsAndRecord) {
  const fs::path file = fs::temp_directory_path() /
                        ("qt_case_" + std::to_string(QCoreApplication::applicationPid()) + ".phe.json");
  const auto choose_file = [&](bool) { return QString::fromStdString(file.string()); };
  const QString base = QString::fromUtf8(layout::kWindowTitle);
  const QString named = QString::fromStdString(file.filename().string()) + " - " + base;
  const auto start_texts = ControlTexts();
  const auto start_state = Dump(window_->state());
  window_->Files().SetFileDialogHook(choose_file);

  Choose("Com_bpc", 1);
  for (const auto& [box, text] : std::vector<std::pair<std::string, std::string>>{
           {"Txt_Th1", "90"}, {"Txt_Tc1", "50"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "65"},
           {"Txt_Wq", "500"}, {"Txt_GF1", "5"}})
    Enter(box, text);
  Click(W("opt_br(3)"));
  Choose("com_br", 6);
  Choose("com_zh", 1);
  Leave();
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("未命名* - ") + base);
  const auto typed_texts = ControlTexts();
  const auto typed_state = Dump(window_->state());
  window_->RunButton()->click();
  ASSERT_NE(window_->Text("Txt_Qh"), "") << "the run wrote no flow back";
  FileMenuEntry(*window_, QStringLiteral("保存"))->trigger();
  EXPECT_FALSE(window_->Files().Unsaved());
  EXPECT_EQ(window_->windowTitle(), named);
  EXPECT_EQ(SavedControls(file).count("Txt_Qh"), 0u) << "a computed flow was saved as typed";

  window_.reset();
  window_ = MakeWindow();
  window_->Files().SetFileDialogHook(choose_file);
  messages_.clear();
  FileMenuEntry(*window_, QStringLiteral("打开"))->trigger();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(ControlTexts(), typed_texts);
  EXPECT_EQ(Dump(window_->state()), typed_state);
  EXPECT_TRUE(qobject_cast<QRadioButton*>(W("opt_br(3)"))->isChecked());
  EXPECT_EQ(window_->windowTitle(), named);

  // A file that is no valid case is named with its problem; nothing changes.
  const fs::path bad = file.string() + ".bad.phe.json";
  std::ofstream(bad) << R"({"Txt_Wq": "700", "Txt_Nonsense": "1"})";
  EXPECT_FALSE(window_->Files().OpenFile(QString::fromStdString(bad.string())));
  fs::remove(bad);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].text.find(bad.string()), std::string::npos);
  EXPECT_NE(messages_[0].text.find("Txt_Nonsense"), std::string::npos);
  EXPECT_EQ(ControlTexts(), typed_texts);
  EXPECT_EQ(Dump(window_->state()), typed_state);
  EXPECT_EQ(window_->windowTitle(), named);
  messages_.clear();

  Enter("Txt_Wq", "600");
  EXPECT_EQ(window_->windowTitle(), QString::fromStdString(file.filename().string()) + "* - " + base);
  save_answer_ = MsgAnswer::kCancel;
  FileMenuEntry(*window_, QStringLiteral("新建"))->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "保存对案例的修改吗？");
  EXPECT_EQ(messages_[0].buttons, MsgButtons::kSaveDiscardCancel);
  EXPECT_EQ(window_->Text("Txt_Wq"), "600");
  EXPECT_TRUE(window_->Files().Unsaved());

  save_answer_ = MsgAnswer::kDiscard;
  FileMenuEntry(*window_, QStringLiteral("新建"))->trigger();
  EXPECT_EQ(ControlTexts(), start_texts);
  EXPECT_EQ(Dump(window_->state()), start_state);
  EXPECT_EQ(window_->windowTitle(), base);

  // Back through the recent files; a change is saved on closing, with no
  // second question.
  FileMenuEntry(*window_, QStringLiteral("&1 "))->trigger();
  EXPECT_EQ(window_->Text("Txt_Wq"), "500");
  Enter("Txt_Wq", "600");
  messages_.clear();
  save_answer_ = MsgAnswer::kSave;
  EXPECT_TRUE(window_->close());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(SavedControls(file)["Txt_Wq"], "600");
  fs::remove(file);
}

// Guards against reference entries that do something, and a menu bar that
// lost or reordered a menu.
TEST_F(WindowTest, ReferenceMenusChangeNothing) {
  std::vector<std::string> titles;
  for (QAction* a : window_->menuBar()->actions()) titles.push_back(a->text().toStdString());
  EXPECT_EQ(titles, (std::vector<std::string>{"文件(&F)", "软件说明(&N)", "板换特点(&T)",
                                              "传热系数(&K)", "污垢系数(&R)", "蒸汽温度(&S)",
                                              "方案(&A)", "语言 / Language(&L)", "帮助(&H)"}));
  Enter("Txt_Th1", "90");
  const auto texts = ControlTexts();
  const auto state = Dump(window_->state());
  int entries = 0;
  for (QAction* menu : window_->menuBar()->actions()) {
    if (menu->text() == QStringLiteral("帮助(&H)") || menu->text() == QStringLiteral("文件(&F)") ||
        menu->text().startsWith(QStringLiteral("语言")) || menu->text() == QStringLiteral("方案(&A)"))
      continue;
    for (QAction* entry : menu->menu()->actions()) {
      entry->trigger();
      ++entries;
    }
  }
  EXPECT_EQ(entries, 12 + 10 + 7 + 12 + 12);
  EXPECT_EQ(ControlTexts(), texts);
  EXPECT_EQ(Dump(window_->state()), state);
  EXPECT_TRUE(messages_.empty());

  QAction* help = window_->menuBar()->actions().back();
  ASSERT_EQ(help->menu()->actions().size(), 1);
  help->menu()->actions().front()->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].title, "关于");
  EXPECT_NE(messages_[0].text.find(PHE_VERSION), std::string::npos);
  EXPECT_EQ(messages_[0].icon, MsgIcon::kInformation);
}

// Guards against sheet commands offered before any result, or still offering
// an earlier run's sheet after a refused run, and against a sheet that is not
// the window's: its numbers, heading and the messages of the run.
TEST_F(WindowTest, SheetCommandsFollowTheLastRunWithAResult) {
  auto* sheet = window_->findChild<SheetActions*>();
  ASSERT_NE(sheet, nullptr);
  EXPECT_FALSE(sheet->ExportAction()->isEnabled());
  EXPECT_FALSE(sheet->PrintAction()->isEnabled());
  EXPECT_EQ(sheet->ExportAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
  EXPECT_EQ(sheet->PrintAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

  for (const auto& [box, text] : kWaterWater) Enter(box, text);
  Click(window_->RunButton());
  EXPECT_TRUE(sheet->ExportAction()->isEnabled());
  EXPECT_TRUE(sheet->PrintAction()->isEnabled());
  const fs::path pdf = fs::temp_directory_path() / "qt_sheet_window.pdf";
  sheet::Meta meta;
  meta.project = "P-7";
  meta.customer = "ACME";
  ASSERT_TRUE(sheet->ExportTo(Q(pdf.string()), meta));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {Q(pdf.string()), QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) is needed";
  const std::string out = text.readAllStandardOutput().toStdString();
  fs::remove(pdf);
  for (const char* box : {"Txt_K", "Txt_TM", "Txt_Ph1", "Txt_Pc1", "Txt_Wq"})
    EXPECT_NE(out.find(window_->Text(box)), std::string::npos) << box;
  EXPECT_NE(out.find(window_->state().plate_type), std::string::npos);
  EXPECT_NE(out.find("P-7"), std::string::npos);
  EXPECT_NE(out.find("ACME"), std::string::npos);

  // An outlet above the inlet is refused: no result, so no sheet, and the
  // refusal is what the window recorded for this run.
  messages_.clear();
  Enter("Txt_Th2", "95");
  Click(window_->RunButton());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(window_->RunMessages(), std::vector<Message>{messages_[0].message});
  EXPECT_FALSE(sheet->ExportAction()->isEnabled());
  EXPECT_FALSE(sheet->PrintAction()->isEnabled());
}

// Guards against a sheet that leaves the office untrue: export and print were
// enabled by a click on 运行 only (not by F5 or Enter), stayed enabled over
// edited inputs (the new cold outlet printed beside the old results), Ctrl+E
// did nothing while a text box had the focus (the box took it), and one
// heading was carried into every later case's sheet.
TEST_F(WindowTest, TheSheetGoesOutOnlyWhileItsResultsAreCurrent) {
  auto* sheet = window_->findChild<SheetActions*>();
  ASSERT_NE(sheet, nullptr);
  auto enabled = [&] {
    EXPECT_EQ(sheet->ExportAction()->isEnabled(), sheet->PrintAction()->isEnabled());
    return sheet->ExportAction()->isEnabled();
  };
  // What Ctrl+E opens, closed again: the file dialog, or the heading's
  // dialog with the texts it offers.
  auto ctrl_e = [&] {
    QString opened;
    QStringList offered;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      opened = QString::fromLatin1(dialog->metaObject()->className());
      for (QLineEdit* e : dialog->findChildren<QLineEdit*>()) offered << e->text();
      dialog->reject();
    });
    W("Txt_Wq")->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    window_->activateWindow();
    for (int i = 0; i < 200 && !window_->isActiveWindow(); ++i) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
    return std::pair{opened, offered};
  };

  EnterWaterWater(*window_);
  window_->Files().SetHeading("P-7", "T-101", "ACME");
  TypeInto("Txt_Wq", "500");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
  ASSERT_FALSE(window_->ResultsStale());
  EXPECT_TRUE(enabled());
  EXPECT_EQ(ctrl_e().first, QStringLiteral("QFileDialog"));

  Enter("Txt_Tc2", "62");
  EXPECT_TRUE(window_->ResultsStale());
  EXPECT_FALSE(enabled());
  QTest::keyClick(W("Txt_Wq"), Qt::Key_Return);
  EXPECT_TRUE(enabled());

  // The heading travels with the case file, and a new case has none.
  const fs::path file = db_path_.string() + ".json";
  ASSERT_TRUE(window_->Files().SaveTo(Q(file.string())));
  window_->Files().New();
  std::string project, item, customer;
  window_->Files().Heading(&project, &item, &customer);
  EXPECT_EQ(project + item + customer, "");
  EXPECT_FALSE(enabled());
  ASSERT_TRUE(window_->Files().OpenFile(Q(file.string())));
  window_->Files().Heading(&project, &item, &customer);
  EXPECT_EQ(project + "/" + item + "/" + customer, "P-7/T-101/ACME");
  fs::remove(file);

  window_->Files().New();
  EnterWaterWater(*window_);
  Click(window_->RunButton());
  ASSERT_TRUE(enabled());
  const auto [opened, offered] = ctrl_e();
  EXPECT_EQ(opened, QStringLiteral("QDialog"));
  EXPECT_EQ(offered, (QStringList{"", "", ""}));
}

// Guards against a box whose icon or buttons do not match its style, whose
// answer is lost, or whose default lets Enter discard the session: without the
// hook the window shows a real modal box.
TEST_F(WindowTest, WithoutTheHookARealModalBoxAsksAndAnswers) {
  window_->SetMessageHook(nullptr);
  using B = QMessageBox;
  const struct {
    MsgIcon icon;
    MsgButtons buttons;
    QMessageBox::Icon qt_icon;
    QMessageBox::StandardButtons qt_buttons;
    QMessageBox::StandardButton default_button;  // NoButton: not checked
    QMessageBox::StandardButton press;
    MsgAnswer answer;
  } cases[] = {
      {MsgIcon::kCritical, MsgButtons::kOk, B::Critical, B::Ok, B::NoButton, B::Ok, MsgAnswer::kOk},
      {MsgIcon::kWarning, MsgButtons::kOk, B::Warning, B::Ok, B::NoButton, B::Ok, MsgAnswer::kOk},
      {MsgIcon::kInformation, MsgButtons::kOk, B::Information, B::Ok, B::NoButton, B::Ok,
       MsgAnswer::kOk},
      {MsgIcon::kQuestion, MsgButtons::kYesNo, B::Question, B::Yes | B::No, B::No, B::No,
       MsgAnswer::kNo},
      {MsgIcon::kQuestion, MsgButtons::kYesNo, B::Question, B::Yes | B::No, B::No, B::Yes,
       MsgAnswer::kYes},
      {MsgIcon::kQuestion, MsgButtons::kSaveDiscardCancel, B::Question,
       B::Save | B::Discard | B::Cancel, B::Save, B::Discard, MsgAnswer::kDiscard},
      {MsgIcon::kQuestion, MsgButtons::kSaveDiscardCancel, B::Question,
       B::Save | B::Discard | B::Cancel, B::Save, B::Cancel, MsgAnswer::kCancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.press));
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool right_default = false;
    QString title, text;
    // Answers the box from inside its own event loop.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr) << "no modal box is open";
      icon = box->icon();
      buttons = box->standardButtons();
      title = box->windowTitle();
      text = box->text();
      right_default = c.default_button == B::NoButton ||
                      box->defaultButton() == box->button(c.default_button);
      box->button(c.press)->click();
    });
    const MsgAnswer answer = window_->MessageBox(Message("confirm_exit"), Message("title.notice"), c.icon, c.buttons);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(icon, c.qt_icon);
    EXPECT_EQ(buttons, c.qt_buttons);
    EXPECT_TRUE(right_default);
    EXPECT_EQ(title, QStringLiteral("提示"));
    EXPECT_EQ(text, QStringLiteral("您确定退出吗？"));
  }
}

// The water/water case entered as the screenshot run enters it.

// Guards against a split into parallel units that passes unseen: the number
// of units, the duty box keeping the plant's duty as entered, and "单台"
// beside the per-unit values exactly when the duty was split.
// Guards against a status line that kept the last run's outcome while the
// next one ran and counted the time a message box waited for the user as
// calculation time; and against a steam flow shown only as a volume.
TEST_F(WindowTest, TheStatusLineFollowsEachRunAndSteamShowsItsMassFlow) {
  const struct {
    std::vector<std::pair<std::string, std::string>> typed;
    bool steam;
  } cases[] = {
      {{{"Txt_Th1", "90"}, {"Txt_Tc1", "50"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "60"}, {"Txt_Wq", "100000"}}, false},
      {{{"Com_jh", "Steam"}, {"Txt_Th1", "133"}, {"Txt_Th2", ""}, {"Txt_Tc1", "60"}, {"Txt_Tc2", "90"},
        {"Txt_Wq", "800"}},
       true},
  };
  QLabel* mass = window_->findChild<QLabel*>(QStringLiteral("steam_flow_mass"));
  ASSERT_NE(mass, nullptr);
  constexpr int kAnswerMs = 1500;  // the user reads the box this long
  for (const auto& c : cases) {
    SCOPED_TRACE(c.steam ? "steam" : "water split");
    for (const auto& [box, text] : c.typed) window_->EnterText(box, text);
    Click(window_->RunButton());  // a first run leaves its outcome on the line
    ASSERT_FALSE(window_->StatusOutcome()->text().isEmpty());
    messages_.clear();
    QStringList status_in_box;
    on_message_ = [&] {
      status_in_box << window_->StatusOutcome()->text();
      QThread::msleep(kAnswerMs);
    };
    QElapsedTimer wall;
    wall.start();
    Click(window_->RunButton());
    const qint64 wall_ms = wall.elapsed();
    on_message_ = nullptr;
    // The split is told in a notice; the steam case runs without one.
    ASSERT_EQ(messages_.empty(), c.steam);
    for (const QString& s : status_in_box) EXPECT_TRUE(s.isEmpty()) << s.toStdString();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("用时 (\\d+) ms")).match(window_->StatusOutcome()->text());
    ASSERT_TRUE(m.hasMatch()) << window_->StatusOutcome()->text().toStdString();
    // Without the boxes' time the run took at most the click's time less
    // the reading (a bound no busy machine can break).
    EXPECT_LE(m.captured(1).toLongLong(),
              wall_ms - kAnswerMs * static_cast<qint64>(messages_.size()) + 1);
    EXPECT_EQ(mass->isVisible(), c.steam);
    if (c.steam) {
      EXPECT_EQ(mass->text().toStdString(), FormatFixed(window_->state().steam_flow, 1) + " kg/h");
    }
  }
}

// Guards against a damaged case file named only by the parser's English
// detail: the message says in words what is wrong, the detail follows.
TEST_F(WindowTest, ACaseFileThatCannotBeOpenedIsExplainedInWords) {
  const fs::path file = db_path_.string() + ".case.json";
  const struct {
    const char* content;  // nullptr: no file at all
    const char* words;
  } cases[] = {
      {R"({"Txt_Wq": "700", "Txt_Th1": )", "文件已损坏"},
      {R"({"Txt_Wq": "700", "Txt_Nonsense": "1"})", "文件不是本程序的案例"},
      {nullptr, "文件无法读取"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words);
    std::error_code ec;
    fs::remove(file, ec);
    if (c.content) std::ofstream(file) << c.content;
    messages_.clear();
    EXPECT_FALSE(window_->Files().OpenFile(Q(file.string())));
    ASSERT_EQ(messages_.size(), 1u);
    const std::string& text = messages_[0].text;
    const size_t words = text.find(c.words), detail = text.find("详细信息：");
    EXPECT_NE(words, std::string::npos) << text;
    EXPECT_NE(detail, std::string::npos) << text;
    EXPECT_LT(words, detail) << text;
    EXPECT_GT(text.size(), detail + std::string("详细信息：").size()) << text;
  }
  std::error_code ec;
  fs::remove(file, ec);
}

TEST_F(WindowTest, ASplitCaseShowsItsUnitsAndMarksThePerUnitValues) {
  const struct {
    const char* duty;
    bool split;
  } cases[] = {{"500", false}, {"100000", true}, {"500", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.duty);
    messages_.clear();
    EnterWaterWater(*window_, c.duty);
    Click(window_->RunButton());
    ASSERT_NE(window_->Text("Txt_Br"), "");
    const double units = window_->state().units;
    EXPECT_EQ(units > 1, c.split);
    EXPECT_EQ(window_->Text("Txt_NUM"), FormatWhole(units));
    // The duty the user gave stays the plant's; the computed flows are one unit's.
    EXPECT_EQ(Val(window_->Text("Txt_Wq")), Val(c.duty));
    EXPECT_NEAR(window_->state().duty * units, Val(c.duty) * 1000, 1);
    const auto marks = window_->findChildren<QLabel*>(QStringLiteral("per_unit"));
    ASSERT_GE(marks.size(), 5);  // duty, flows, area, price, weight
    for (QLabel* m : marks) {
      const bool beside_duty = m->property("phe_boxes").toStringList() == QStringList{"Txt_Wq"};
      EXPECT_EQ(m->isVisible(), c.split && !beside_duty);
      EXPECT_EQ(m->text(), QStringLiteral("单台"));
    }
    // The split is also told once, in a notice.
    ASSERT_EQ(messages_.size(), c.split ? 1u : 0u);
    if (c.split) {
      EXPECT_EQ(messages_[0].text.rfind("流量超过单台换热器的处理能力", 0), 0u);
    }
  }
}

// Guards against computed values turning into inputs by focus alone. After
// the 2 MW substation's run, Tab through the two computed flow boxes made
// them entered ("换热量、热介质流量、进出口温度数值过多"); after a 100 MW case split
// over parallel units, a click and Tab in the duty box, which showed 50000.0,
// ran one unit for half the plant. A computed box looks apart, says so in
// its tooltip and becomes an input when its text is edited.
TEST_F(WindowTest, ComputedValuesStayResultsUntilEdited) {
  const std::vector<std::pair<std::string, std::string>> substation = {
      {"Txt_Th1", "110"}, {"Txt_Tc1", "50"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "80"}, {"Txt_Wq", "2000"}};
  for (const auto& [box, text] : substation) Enter(box, text);
  Click(window_->RunButton());
  ASSERT_TRUE(messages_.empty()) << messages_[0].text;
  auto computed = [this](const char* box) { return W(box)->property("computed").toBool(); };
  for (const char* box : {"Txt_Qh", "Txt_Qc"}) {
    EXPECT_TRUE(computed(box)) << box;
    EXPECT_TRUE(Box(box)->font().italic()) << box;
    EXPECT_TRUE(W(box)->toolTip().contains(QStringLiteral("由上次运行计算得出"))) << box;
  }
  for (const char* box : {"Txt_Wq", "Txt_Th1", "Txt_Tc2"}) EXPECT_FALSE(computed(box)) << box;

  Enter("Txt_Tc2", "75");
  ASSERT_EQ(FocusName(), "Txt_Qc");
  Leave();
  Leave();  // through both flow boxes
  Click(window_->RunButton());
  EXPECT_TRUE(messages_.empty()) << messages_[0].text;
  EXPECT_FALSE(window_->ResultsStale());
  EXPECT_EQ(window_->state().given_flow_h + window_->state().given_flow_c, 0);
  EXPECT_NEAR(window_->state().t_c_out, 75, 1e-9);

  // Edited, a computed flow is an input: with the duty and both
  // temperatures of its side, one too many.
  Enter("Txt_Qc", "60");
  EXPECT_FALSE(computed("Txt_Qc"));
  Click(window_->RunButton());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].message.id, "given.too_many_cold");

  messages_.clear();
  window_->EnterText("Txt_Qc", "");
  EnterWaterWater(*window_, "100000");
  Click(window_->RunButton());
  const double units = window_->state().units;
  ASSERT_GT(units, 1);
  EXPECT_EQ(Val(window_->Text("Txt_Wq")), 100000);
  Click(W("Txt_Wq"));
  Leave();
  Click(window_->RunButton());
  EXPECT_EQ(window_->state().units, units);
  EXPECT_NEAR(window_->state().duty * window_->state().units, 100000e3, 1);
}

// Guards against a value beyond its limit that looks like any other: a check
// of a pack far too small for the duty has both pressure drops above 50 kPa;
// exactly the boxes judged beyond a limit are bold, red on pale red, and
// name the limit in their tooltip.
TEST_F(WindowTest, ValuesBeyondTheirLimitsAreHighlighted) {
  Click(W(layout::OptionName(3)));
  Click(W(layout::OptionName(5)));
  EnterWaterWater(*window_);
  window_->EnterText("com_br", "PX100B");
  window_->EnterText("com_zh", "H");
  window_->EnterText("Txt_nh", "4");
  Click(window_->RunButton());
  ASSERT_NE(window_->Text("Txt_Br"), "");
  std::map<std::string, std::string> over;
  for (const auto& b : window_->Breaches()) over[b.box] = Format(b.text, Lang::kZh);
  EXPECT_EQ(over["Txt_Ph1"], "超过最大压降 50 kPa");
  EXPECT_EQ(over["Txt_Pc1"], "超过最大压降 50 kPa");
  for (const auto& n : layout::kResultTextBoxes) {
    SCOPED_TRACE(n);
    const bool beyond = over.count(n) > 0;
    const QPalette p = Box(n)->palette();
    EXPECT_EQ(Box(n)->font().bold(), beyond);
    EXPECT_EQ(p.color(QPalette::Active, QPalette::Base) != QColor(Qt::white), beyond);
    if (beyond) {
      EXPECT_EQ(p.color(QPalette::Active, QPalette::Text), QColor(Qt::red));
      EXPECT_TRUE(Box(n)->toolTip().contains(Q(over[n])));
    }
  }
}

// Guards against results that look current when they are not: each kind of
// input change greys them and says so in the status line, a run clears it,
// and a run stopped by an input error leaves them grey.
TEST_F(WindowTest, ChangedInputsGreyTheResultsUntilTheNextRun) {
  auto grey = [this] {
    for (const auto& n : layout::kResultTextBoxes)
      if (Box(n)->palette().color(QPalette::Active, QPalette::Text) != QColor(Qt::gray)) return false;
    return true;
  };
  EnterWaterWater(*window_);
  const struct {
    const char* what;
    std::function<void()> change;
  } changes[] = {
      {"typed margin", [&] { TypeInto("Txt_GF1", "5"); }},
      {"chosen thickness", [&] { Choose("Com_bph", 1); }},
      {"option clicked", [&] { Click(W(layout::OptionName(4))); }},
  };
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    Click(window_->RunButton());
    ASSERT_FALSE(window_->ResultsStale());
    EXPECT_FALSE(grey());
    EXPECT_TRUE(window_->StatusOutcome()->text().startsWith(
        QStringLiteral("计算完成：") + Q(window_->Text("Txt_Br")) + QStringLiteral("，用时 ")));
    c.change();
    EXPECT_TRUE(window_->ResultsStale());
    EXPECT_TRUE(grey());
    EXPECT_EQ(window_->StatusOutcome()->text(), QStringLiteral("输入已修改，请重新运行"));
  }
  messages_.clear();
  Enter("Txt_Th2", "95");
  Click(window_->RunButton());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(grey());
  EXPECT_EQ(window_->StatusOutcome()->text(), Q(messages_[0].text).trimmed());
  Enter("Txt_Th2", "70");
  Click(window_->RunButton());
  EXPECT_FALSE(window_->ResultsStale());
  EXPECT_FALSE(grey());
}

// Guards against keys that run on an entry not yet taken: Enter in the box
// being typed and F5 run as the Run button does, the box counted as entered
// (an uncounted duty leaves the balance open and the run fails).
TEST_F(WindowTest, EnterAndF5RunLikeTheRunButton) {
  EXPECT_TRUE(window_->RunButton()->text().contains(QStringLiteral("F5")));
  const struct {
    Qt::Key key;
    const char* duty;
  } keys[] = {{Qt::Key_Return, "500"}, {Qt::Key_F5, "400"}};
  EnterWaterWater(*window_, "");
  for (const auto& k : keys) {
    SCOPED_TRACE(k.duty);
    const int runs = window_->env().results_shown;
    TypeInto("Txt_Wq", k.duty);
    QTest::keyClick(QApplication::focusWidget(), k.key);
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
    EXPECT_EQ(window_->env().results_shown, runs + 1);
    EXPECT_EQ(window_->state().given_duty, 1);
    EXPECT_EQ(window_->Text("Txt_Wq"), std::string(k.duty) + ".0");
    window_->EnterText("Txt_Wq", "");
  }
}

// Guards against a language switch that misses a caption, a tooltip, a menu,
// the core's messages or Qt's own buttons, or that cannot come back.
TEST_F(WindowTest, SwitchingToEnglishAndBackChangesCaptionsMessagesAndButtons) {
  window_->SetMessageHook(nullptr);
  auto has_chinese = [](const QString& s) {
    for (QChar c : s)
      if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
  };
  // Every text of the window a user reads, but for the language menu, which
  // is the same in both.
  auto texts = [this] {
    QStringList out{window_->windowTitle()};
    for (QLabel* l : window_->findChildren<QLabel*>()) out << l->text();
    for (QGroupBox* g : window_->findChildren<QGroupBox*>()) out << g->title();
    for (QAbstractButton* b : window_->findChildren<QAbstractButton*>()) out << b->text();
    for (QWidget* w : window_->findChildren<QWidget*>()) out << w->toolTip();
    for (QAction* menu : window_->menuBar()->actions()) {
      if (menu->text().startsWith(QStringLiteral("语言"))) continue;
      out << menu->text();
      for (QAction* entry : menu->menu()->actions()) out << entry->text();
    }
    return out;
  };
  const struct {
    const char* action;
    const char* code;
    bool chinese;
    const char* results;
    const char* message;
    const char* yes;
    const char* ok;  // Qt's own text, from Qt's translations
  } languages[] = {
      {"English", "en", false, "Results", "Are you sure you want to exit?", "&Yes", "OK"},
      {"中文", "zh", true, "计算结果", "您确定退出吗？", "是", "确定"},
  };
  for (const auto& l : languages) {
    SCOPED_TRACE(l.code);
    QAction* choice = nullptr;
    for (QAction* a : window_->findChildren<QAction*>())
      if (a->text() == QString::fromUtf8(l.action)) choice = a;
    ASSERT_NE(choice, nullptr);
    choice->trigger();
    QApplication::processEvents();  // the change reaches every widget
    EXPECT_EQ(window_->Language(), QString::fromLatin1(l.code));
    EXPECT_EQ(QSettings(QStringLiteral("pheselect"), QStringLiteral("pheselect")).value("language"),
              QString::fromLatin1(l.code));
    int chinese = 0;
    for (const QString& s : texts())
      if (has_chinese(s)) ++chinese;
    if (l.chinese)
      EXPECT_GT(chinese, 100);
    else
      EXPECT_EQ(chinese, 0) << texts().filter(QRegularExpression("[\\x{4e00}-\\x{9fff}]")).join(" | ").toStdString();
    const auto frames = window_->findChildren<QGroupBox*>();
    EXPECT_TRUE(std::any_of(frames.begin(), frames.end(),
                            [&](QGroupBox* g) { return g->title() == QString::fromUtf8(l.results); }));

    QString text, yes, ok;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      text = box->text();
      yes = box->button(QMessageBox::Yes)->text();
      box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(window_->MessageBox(Message("confirm_exit"), Message("title.notice"), MsgIcon::kQuestion, MsgButtons::kYesNo),
              MsgAnswer::kNo);
    EXPECT_EQ(text, QString::fromUtf8(l.message));
    EXPECT_EQ(yes, QString::fromUtf8(l.yes));
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      ok = box->button(QMessageBox::Ok)->text();
      box->button(QMessageBox::Ok)->click();
    });
    window_->MessageBox(Message("fouling_too_large"), Message("title.notice"), MsgIcon::kWarning, MsgButtons::kOk);
    EXPECT_EQ(ok, QString::fromUtf8(l.ok));
  }
}

// Han characters and the full-width punctuation that goes with them.
int ChineseCount(const QString& s) {
  int n = 0;
  for (QChar c : s) {
    const auto u = c.unicode();
    if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF01 && u <= 0xFF5E))
      ++n;
  }
  return n;
}

// Every text a reader of the sheet sees.
QStringList SheetTexts(const sheet::Document& d) {
  QStringList out;
  auto add = [&](const std::string& s) { out << QString::fromStdString(s); };
  for (const std::string* s : {&d.title, &d.program, &d.project_line, &d.designation, &d.case_line,
                               &d.footer, &d.page_pattern, &d.continued})
    add(*s);
  for (const sheet::Block& b : d.blocks) {
    std::visit(
        [&](const auto& block) {
          using B = std::decay_t<decltype(block)>;
          add(block.title);
          if constexpr (std::is_same_v<B, sheet::Table>) {
            for (const auto& row : block.rows)
              for (const auto& cell : row) add(cell);
          } else if constexpr (std::is_same_v<B, sheet::Working>) {
            for (const auto& [caption, formula] : block.lines) add(caption + formula);
          } else if constexpr (std::is_same_v<B, sheet::Notes>) {
            for (const auto& item : block.items) add(item);
            add(block.empty);
          } else if constexpr (std::is_same_v<B, sheet::Chart>) {
            for (const std::string* s :
                 {&block.x_caption, &block.y_caption, &block.y2_caption, &block.note, &block.mark_caption})
              add(*s);
            for (const auto& series : block.series) add(series.caption);
          } else {
            for (const std::string* s : {&block.x_caption, &block.y_caption, &block.hot_caption,
                                         &block.cold_caption, &block.note})
              add(*s);
            for (const auto& label : block.labels) add(label.text);
          }
        },
        b);
  }
  return out;
}

// Generated case files opened in the English window and run, and run by the
// command-line driver: the same messages in the same order, and no Chinese in
// what the English window, its messages, tooltips or sheet show.
class WindowEnglish : public WindowTest {
 protected:
  struct Tally {
    int cases = 0, with_result = 0, messages = 0, chinese = 0;
  };
  Tally SweepCases(int runs, unsigned seed) {
    Tally tally;
    window_->SetLanguage(QStringLiteral("en"), false);
    QApplication::processEvents();  // the change reaches every widget
    const fs::path driver_db = db_path_.string() + ".cli";
    fs::copy_file(DefaultDatabasePath(), driver_db, fs::copy_options::overwrite_existing);
    auto db = Database::Open(driver_db.string());
    const fs::path file = db_path_.string() + ".json";
    std::mt19937 rng(seed);
    for (int i = 0; i < runs && !::testing::Test::HasFailure(); ++i) {
      const nlohmann::json c = phe::testing::GeneratedCase(rng);
      SCOPED_TRACE(c.dump());
      std::ofstream(file) << c.dump();
      messages_.clear();
      const int shown = window_->env().results_shown;
      EXPECT_TRUE(window_->Files().OpenFile(Q(file.string())));
      window_->RunButton()->click();
      bool several = false;
      CaseSession session(*db);
      session.alternatives = true;  // the window offers them after every design
      session.Run(ParseCases(c, &several).at(0));

      std::vector<std::string> in_window, by_driver;
      for (const auto& m : messages_) in_window.push_back(Format(m.message, Lang::kZh));
      for (const auto& m : session.last_run_messages) by_driver.push_back(Format(m.message, Lang::kZh));
      EXPECT_EQ(in_window, by_driver);
      EXPECT_EQ(window_->env().results_shown > shown, session.last_run_has_result);

      QStringList seen;
      for (const auto& m : messages_)
        seen << Q(Format(m.message, window_->MessageLanguage()))
             << Q(Format(m.title_message, window_->MessageLanguage()));
      for (QLabel* l : window_->findChildren<QLabel*>()) seen << l->text();
      for (QAbstractButton* b : window_->findChildren<QAbstractButton*>()) seen << b->text();
      for (QGroupBox* g : window_->findChildren<QGroupBox*>()) seen << g->title();
      for (QLineEdit* e : window_->findChildren<QLineEdit*>()) seen << e->text();
      for (QComboBox* l : window_->findChildren<QComboBox*>())
        for (int k = 0; k < l->count(); ++k) seen << l->itemText(k);
      for (QWidget* w : window_->findChildren<QWidget*>()) seen << w->toolTip() << w->windowTitle();
      for (QAction* a : window_->findChildren<QAction*>())
        // The language menu reads the same in both languages.
        if (a->text() != QStringLiteral("中文") && !a->text().startsWith(QStringLiteral("语言 / ")))
          seen << a->text() << a->toolTip();
      if (window_->env().results_shown > shown) {
        ++tally.with_result;
        seen << SheetTexts(sheet::BuildSheet(*window_->env().result, window_->RunMessages(), {}, Lang::kEn));
      }
      int chinese = 0;
      for (const QString& s : seen) chinese += ChineseCount(s);
      EXPECT_EQ(chinese, 0) << seen.filter(QRegularExpression("[\\x{4e00}-\\x{9fff}]")).join(" | ").toStdString();
      tally.chinese += chinese;
      tally.messages += static_cast<int>(messages_.size());
      ++tally.cases;
    }
    std::error_code ec;
    fs::remove(file, ec);
    db.reset();
    fs::remove(driver_db, ec);
    return tally;
  }
};

// Guards against a case file that gives other messages in the window than in
// the command line (a fouling of "5e-05" typed a character at a time warned
// four times there), and Chinese left in the English window.
TEST_F(WindowEnglish, CaseFilesGiveTheDriversMessagesAndNoChinese) {
  const Tally t = SweepCases(60, 20261209);
  EXPECT_EQ(t.cases, 60);
  EXPECT_GT(t.with_result, 10);
  EXPECT_GT(t.messages, 10);
}

// The same over many cases: a suite named *Sweep is the slow tier.
class WindowEnglishSweep : public WindowEnglish {};

// Every design here searches or tabulates the whole catalogue twice (window
// and driver), so the case count is kept to what finishes in minutes.
TEST_F(WindowEnglishSweep, CaseFilesGiveTheDriversMessagesAndNoChinese) {
  const Tally t = SweepCases(600, 20261210);
  std::printf("window sweep: %d cases, %d with a result, %d messages, %d Chinese characters\n",
              t.cases, t.with_result, t.messages, t.chinese);
  EXPECT_EQ(t.cases, 600);
  EXPECT_EQ(t.chinese, 0);
}

// Guards against the layouts the trial found: at 1920x1080 with 150 % the
// Chinese window opened with both scroll bars and cut frames, a switch to
// English hid the cold-side column behind a scroll bar, and at 1366x768 with
// 125 % the window stood above the screen. The screenshot run opens the
// window in one language, switches it to the other and says where it lies.
TEST(GuiProgram, OpensAndRelayoutsInsideTheScreenWithoutAHorizontalScrollBar) {
  const fs::path exe = fs::path(QCoreApplication::applicationDirPath().toStdString()) / "pheselect";
  const struct {
    const char* screen;
    const char* scale;
    bool room_for_all;  // the whole panel fits: no scroll bar at all
  } screens[] = {{"1366x768", "1.25", false}, {"1920x1080", "1", true}, {"1920x1080", "1.5", true}};
  const fs::path shot = phe::testing::ScratchDir() / ("layout_" + std::to_string(getpid()) + ".png");
  for (const auto& sc : screens) {
    for (const char* lang : {"zh", "en"}) {
      SCOPED_TRACE(std::string(sc.screen) + " " + sc.scale + " " + lang);
      QProcess program;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=%1/docs/screens/%2.json")
                                        .arg(QStringLiteral(PHE_SOURCE_DIR), QString::fromLatin1(sc.screen)));
      env.insert("QT_SCALE_FACTOR", sc.scale);
      program.setProcessEnvironment(env);
      program.start(QString::fromStdString(exe.string()),
                    {"--lang", lang, "--screenshot", QString::fromStdString(shot.string())});
      ASSERT_TRUE(program.waitForFinished(60000));
      ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
      const QString out = QString::fromUtf8(program.readAllStandardOutput());
      const QRegularExpressionMatch m =
          QRegularExpression(QStringLiteral("window (\\d+)x(\\d+)([+-]\\d+)([+-]\\d+) available (\\d+)x(\\d+)"
                                            "([+-]\\d+)([+-]\\d+) horizontal_scroll (\\d) vertical_scroll (\\d)"))
              .match(out);
      ASSERT_TRUE(m.hasMatch()) << out.toStdString();
      auto n = [&](int i) { return m.captured(i).toInt(); };
      const QRect frame(n(3), n(4), n(1), n(2)), avail(n(7), n(8), n(5), n(6));
      EXPECT_TRUE(avail.contains(frame)) << out.toStdString();
      EXPECT_EQ(n(9), 0) << "horizontal scroll bar: " << out.toStdString();
      if (sc.room_for_all) {
        EXPECT_EQ(n(10), 0) << "vertical scroll bar: " << out.toStdString();
      }
    }
  }
  std::error_code ec;
  fs::remove(shot, ec);
}

// Guards against a program that starts without its database, or looks for it
// anywhere but beside itself: the copy of pheselect in an empty folder must
// end with status 3 and name the file it missed.
TEST(GuiProgram, EndsWithStatus3WhenTheDatabaseIsMissing) {
  const fs::path exe = fs::path(QCoreApplication::applicationDirPath().toStdString()) / "pheselect";
  ASSERT_TRUE(fs::exists(exe)) << exe << " was not built";
  const fs::path dir = fs::temp_directory_path() / "pheselect_no_db";
  fs::create_directories(dir);
  fs::copy_file(exe, dir / "pheselect", fs::copy_options::overwrite_existing);
  ASSERT_FALSE(fs::exists(dir / "br.mdb"));

  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(env);
  // The screenshot run reports on stderr instead of waiting in a message box.
  program.start(QString::fromStdString((dir / "pheselect").string()),
                {"--screenshot", QString::fromStdString((dir / "shot.png").string())});
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 3);
  EXPECT_TRUE(program.readAllStandardError().contains((dir / "br.mdb").string().c_str()));
  EXPECT_FALSE(fs::exists(dir / "shot.png"));
  fs::remove_all(dir);
}

// Guards against a program that needs a display to say what it is, or that
// aborts inside the toolkit on a machine without one instead of running the
// example case through the command-line driver. Runs copies in a scratch
// folder, so the case record goes to a scratch database.
TEST(GuiProgram, WithoutADisplayItHelpsAndRunsTheExampleHeadless) {
  const fs::path bin = QCoreApplication::applicationDirPath().toStdString();
  const fs::path dir = fs::temp_directory_path() /
                       ("pheselect_headless_" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(dir);
  for (const char* f : {"pheselect", "pheselect-cli", "br.mdb"})
    fs::copy_file(bin / f, dir / f, fs::copy_options::overwrite_existing);

  const struct {
    QStringList args;
    int status;
    const char* out;  // a text stdout must hold
    bool runs_case;
  } cases[] = {
      {{"--help"}, 0, "--screenshot", false},
      {{"--version"}, 0, "pheselect " PHE_VERSION, false},
      {{}, 0, "\"report\"", true},
      {{"--no-such-option"}, 2, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(var);
    program.setProcessEnvironment(env);
    program.start(QString::fromStdString((dir / "pheselect").string()), c.args);
    ASSERT_TRUE(program.waitForFinished(120000));
    const QByteArray out = program.readAllStandardOutput();
    const QByteArray err = program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.status) << err.toStdString();
    EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
    if (c.runs_case) {
      EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
      EXPECT_TRUE(err.contains("no display found")) << err.toStdString();
      const auto result = nlohmann::json::parse(out.toStdString(), nullptr, false);
      EXPECT_TRUE(result.is_object() && result["report"].is_object()) << out.toStdString();
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace phe

int main(int argc, char** argv) {
  // No display needed, and none used: a real desktop would steal the focus.
  // Test discovery runs this without the test's environment, hence here.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // Recent files go to a scratch folder, not the user's settings.
  const std::filesystem::path settings =
      std::filesystem::temp_directory_path() /
      ("qt_settings_" + std::to_string(QCoreApplication::applicationPid()));
  for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(settings.string()));
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(settings, ec);
  return status;
}
