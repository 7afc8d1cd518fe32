#include "ui/qt/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <set>
#include <stdexcept>

#include "ui/input_panel.h"
#include "ui/layout.h"
#include "ui/qt/alternatives_dialog.h"
#include "ui/qt/curves_dialog.h"
#include "ui/qt/case_files.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/reference_menus.h"
#include "ui/qt/sheet_actions.h"
#include "workflow/run_command.h"

#ifndef PHE_VERSION
#define PHE_VERSION "unknown"
#endif

namespace phe {

namespace {

using qt::Q;

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kCritical: return QMessageBox::Critical;
    case MsgIcon::kWarning: return QMessageBox::Warning;
    case MsgIcon::kQuestion: return QMessageBox::Question;
    case MsgIcon::kInformation: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<Database> db, QWidget* parent)
    : QMainWindow(parent), db_(std::move(db)), env_(*this) {
  if (!db_) throw std::invalid_argument("the window needs an open database");
  qt::UseClearFocusStyle();
  setObjectName(QStringLiteral("frm_br"));
  setWindowTitle(Q(layout::kWindowTitle));
  setFont(qt::CaptionFont());
  pictures_ = qt::MakeCursorPictures();
  setWindowIcon(QIcon(pictures_[3]));

  BuildPanel();
  BuildMenus();

  busy_timer_ = new QTimer(this);
  busy_timer_->setObjectName(QStringLiteral("Timer"));
  busy_timer_->setInterval(100);
  connect(busy_timer_, &QTimer::timeout, this, &MainWindow::OnTimerTick);

  WireHandlers();
  WireStaleMarks();
  WireKeyboard();
  BuildStatusBar();
  alternatives_ = new AlternativesDialog(*this, qobject_cast<QPushButton*>(At("cmd_alternatives")));

  state_.db = db_.get();
  Form_Load(state_, env_);

  // The language chosen last time; Chinese is the source and the default.
  SetLanguage(qt::RememberedLanguage(), false);
  // Last: it takes the start-up contents as the unchanged case.
  case_files_ = new CaseFiles(*this);
  // After the Run button's own handler, so the commands see the finished run.
  new SheetActions(this);
  curves_ = new CurvesDialog(*this);
}

MainWindow::~MainWindow() {
  closing_ = true;
  if (busy_) QGuiApplication::restoreOverrideCursor();
  // The fields lose the focus as they go; their handlers must not run on a
  // record that is being torn down, so the panel goes while it is still whole.
  delete takeCentralWidget();
  // It unhooks itself from env_, which goes before the window's children do.
  delete alternatives_;
}

void MainWindow::BuildMenus() {
  const std::set<std::string> tables = {"传热系数", "污垢系数", "蒸汽温度"};
  menuBar()->setFont(qt::CaptionFont());
  for (const auto& menu : qt::ReferenceMenus()) {
    QMenu* m = menuBar()->addMenu(QString());
    // Alt and the letter open the menu.
    qt::SetText(m->menuAction(), Q(menu.title + "(&" + menu.key + ")"));
    m->setFont(tables.count(menu.title) ? qt::ReferenceMenuFont() : qt::CaptionFont());
    // Reference lines only: choosing one does nothing.
    for (const auto& entry : menu.entries) qt::SetText(m->addAction(QString()), Q(entry));
  }
  BuildLanguageMenu();
  QMenu* help = menuBar()->addMenu(QString());
  qt::SetText(help->menuAction(), QStringLiteral("帮助(&H)"));
  help->setFont(qt::CaptionFont());
  QAction* about = help->addAction(QString());
  qt::SetText(about, QStringLiteral("关于"));
  connect(about, &QAction::triggered, this, [this] {
    MessageBox(Message("about").With("version", PHE_VERSION), Message("title.about"),
               MsgIcon::kInformation, MsgButtons::kOk);
  });
}

// ---- events ----

void MainWindow::WireHandlers() {
  for (const auto& name : layout::kInputTextBoxes) {
    auto* box = static_cast<QLineEdit*>(At(name));
    // textEdited comes from the user only; a text the program writes runs nothing.
    connect(box, &QLineEdit::textEdited, this, [this, name] {
      if (!writing_) Edited(name);
    });
    if (Handler h = ChangeHandler(name))
      connect(box, &QLineEdit::textEdited, this, [this, h] {
        if (!writing_) Dispatch([this, h] { h(state_, env_); });
      });
    if (LostFocusHandler(name)) box->installEventFilter(this);
  }
  for (const auto& list_layout : layout::kLists) {
    QComboBox* list = ListAt(list_layout.name);
    Handler click = ClickHandler(list_layout.name);
    Handler change = ChangeHandler(list_layout.name);
    // activated is the user's choice of an item, by mouse or keyboard.
    if (click || change)
      connect(list, &QComboBox::activated, this, [this, click, change] {
        if (writing_) return;
        if (click) Dispatch([this, click] { click(state_, env_); });
        if (change) Dispatch([this, change] { change(state_, env_); });
      });
    if (change && list->lineEdit())
      connect(list->lineEdit(), &QLineEdit::textEdited, this, [this, change] {
        if (!writing_) Dispatch([this, change] { change(state_, env_); });
      });
    if (LostFocusHandler(list_layout.name)) list->installEventFilter(this);
  }
  for (QButtonGroup* group : {selection_group_, calc_group_})
    connect(group, &QButtonGroup::idClicked, this, [this](int index) {
      if (!writing_) Dispatch([this, index] { opt_br_Click(state_, env_, index); });
    });
  connect(run_button_, &QPushButton::clicked, this, &MainWindow::OnRun);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && !writing_) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window or a list's drop-down taking the focus is not leaving
    // the field: the user comes straight back to it.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (Handler h = LostFocusHandler(watched->objectName().toStdString()))
        Dispatch([this, h] { h(state_, env_); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Edited(const std::string& control) {
  TextEdited(env_, control);
  PaintComputed();
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  if (closing_) return;
  try {
    handler();
  } catch (const RunAborted&) {
    // The user has been told already.
  } catch (const std::exception& e) {
    MessageBox(Message("internal_error").With("detail", e.what()), Message("title.error"),
               MsgIcon::kCritical,
               MsgButtons::kOk);
  }
}

void MainWindow::OnRun() {
  if (env_.running) return;
  // Disabling the focused button would hand the focus to the next field and
  // later run that field's LostFocus handler on a text the user never left.
  const bool had_focus = run_button_->hasFocus();
  if (had_focus) run_button_->clearFocus();
  run_button_->setEnabled(false);
  const int shown_before = env_.results_shown;
  last_message_ = Message();
  // What the status line said belongs to the last run, not to this one.
  outcome_ = Outcome::kNone;
  RenderStatus();
  modal_ms_ = 0;
  QElapsedTimer clock;
  clock.start();
  run_messages_.clear();
  Dispatch([this] { cmd_count_Click(state_, env_); });
  AfterRun(env_.results_shown != shown_before, clock.elapsed() - modal_ms_);
  Dispatch([this] { alternatives_->RunFinished(); });
  run_button_->setEnabled(true);
  if (had_focus && focusWidget() == nullptr) run_button_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OnTimerTick() {
  Dispatch([this] { Timer_Timer(state_, env_); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool may_close = true;
  // Unsaved changes ask whether to save them instead of the plain question.
  if (case_files_->Unsaved())
    may_close = case_files_->MaySaveChanges();
  else
    Dispatch([this, &may_close] { may_close = Form_Unload(state_, env_); });
  if (!may_close) {
    event->ignore();
    return;
  }
  event->accept();
  // Closing in the middle of a run ends the program at once; the run's
  // remaining yields would otherwise keep it alive to the end of the run.
  if (env_.running) std::exit(0);
}

void MainWindow::EnterText(std::string_view control, const std::string& text) {
  QWidget* w = At(control);
  const std::string name(control);
  MarkInputsChanged();
  if (auto* box = qobject_cast<QLineEdit*>(w)) {
    box->setText(Q(text));
    Edited(name);
    if (Handler h = ChangeHandler(name)) Dispatch([this, h] { h(state_, env_); });
  } else if (auto* list = qobject_cast<QComboBox*>(w)) {
    const int index = list->findText(Q(text), Qt::MatchExactly);
    if (index >= 0) {
      list->setCurrentIndex(index);
      emit list->activated(index);
    } else if (list->isEditable()) {
      list->setEditText(Q(text));
      if (Handler h = ChangeHandler(name)) Dispatch([this, h] { h(state_, env_); });
    } else {
      throw std::invalid_argument("list " + name + " has no item \"" + text + "\"");
    }
  } else {
    throw std::invalid_argument(name + " takes no text");
  }
  if (Handler h = LostFocusHandler(name)) Dispatch([this, h] { h(state_, env_); });
}

// ---- FormPort ----

QWidget* MainWindow::Control(std::string_view control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : it->second;
}

QWidget* MainWindow::At(std::string_view control) const {
  QWidget* w = Control(control);
  if (!w) throw std::out_of_range("no control named " + std::string(control));
  return w;
}

QComboBox* MainWindow::ListAt(std::string_view control) const {
  auto* list = qobject_cast<QComboBox*>(At(control));
  if (!list) throw std::invalid_argument(std::string(control) + " is not a list");
  return list;
}

std::string MainWindow::Text(std::string_view control) const {
  QWidget* w = At(control);
  if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text().toStdString();
  if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText().toStdString();
  if (auto* option = qobject_cast<QRadioButton*>(w)) return option->isChecked() ? "True" : "False";
  return static_cast<QPushButton*>(w)->text().toStdString();
}

void MainWindow::SetText(std::string_view control, const std::string& text) {
  QWidget* w = At(control);
  writing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{writing_};
  if (auto* box = qobject_cast<QLineEdit*>(w)) {
    box->setText(Q(text));
    box->setCursorPosition(0);
    return;
  }
  if (auto* list = qobject_cast<QComboBox*>(w)) {
    const int index = list->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (list->isEditable()) {
      list->setCurrentIndex(index);
      list->setEditText(Q(text));
    } else if (index >= 0 || text.empty()) {
      list->setCurrentIndex(index);
    } else {
      throw std::invalid_argument("list " + std::string(control) + " has no item \"" + text +
                                  "\"");
    }
    return;
  }
  throw std::invalid_argument(std::string(control) + " takes no text");
}

int MainWindow::ListIndex(std::string_view control) const {
  QComboBox* list = ListAt(control);
  const int index = list->currentIndex();
  // A typed text that is no item means no item is chosen.
  if (list->isEditable() && (index < 0 || list->itemText(index) != list->currentText()))
    return list->findText(list->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  return index;
}

void MainWindow::SetListIndex(std::string_view control, int index) {
  QComboBox* list = ListAt(control);
  if (index < -1 || index >= list->count())
    throw std::out_of_range("list " + std::string(control) + " has no item " +
                            std::to_string(index));
  writing_ = true;
  list->setCurrentIndex(index);
  writing_ = false;
}

bool MainWindow::Enabled(std::string_view control) const { return At(control)->isEnabled(); }

void MainWindow::SetEnabled(std::string_view control, bool enabled) {
  At(control)->setEnabled(enabled);
}

void MainWindow::SetFocus(std::string_view control) {
  At(control)->setFocus(Qt::OtherFocusReason);
}

MsgAnswer MainWindow::MessageBox(const Message& text, const Message& title, MsgIcon icon,
                                 MsgButtons buttons) {
  // The status line repeats what ended or troubled the last run.
  if (env_.running) last_message_ = text;
  if (env_.running) run_messages_.push_back(text);
  // The time a box waits for its answer is the user's, not the run's.
  QElapsedTimer waiting;
  waiting.start();
  struct Waited {
    MainWindow& w;
    QElapsedTimer& t;
    ~Waited() {
      if (w.env_.running) w.modal_ms_ += t.elapsed();
    }
  } waited{*this, waiting};
  if (message_hook_) {
    RecordedMessage m;
    m.message = text;
    m.title_message = title;
    m.text = Format(text, Lang::kZh);
    m.title = Format(title, Lang::kZh);
    m.icon = icon;
    m.buttons = buttons;
    m.answer = message_hook_(m);
    return m.answer;
  }
  QMessageBox box(ToQt(icon), QString::fromStdString(Format(title, MessageLanguage())),
                  QString::fromStdString(Format(text, MessageLanguage())), QMessageBox::NoButton,
                  this);
  box.setFont(qt::CaptionFont());
  switch (buttons) {
    case MsgButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.button(QMessageBox::Yes)->setText(qt::Tr("是"));
      box.button(QMessageBox::No)->setText(qt::Tr("否"));
      // A stray Enter must not end the session (this is the close question).
      box.setDefaultButton(QMessageBox::No);
      break;
    case MsgButtons::kSaveDiscardCancel:
      box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      box.button(QMessageBox::Save)->setText(qt::Tr("保存"));
      box.button(QMessageBox::Discard)->setText(qt::Tr("不保存"));
      box.button(QMessageBox::Cancel)->setText(qt::Tr("取消"));
      box.setDefaultButton(QMessageBox::Save);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case MsgButtons::kAdoptClose:
      box.setStandardButtons(QMessageBox::Apply | QMessageBox::Close);
      box.button(QMessageBox::Apply)->setText(qt::Tr("采用"));
      box.button(QMessageBox::Close)->setText(qt::Tr("关闭"));
      box.setDefaultButton(QMessageBox::Close);
      box.setEscapeButton(QMessageBox::Close);
      break;
  }
  // The busy cursor would hide that the box waits for an answer.
  if (busy_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int pressed = box.exec();
  if (busy_) QGuiApplication::restoreOverrideCursor();
  switch (pressed) {
    case QMessageBox::Yes: return MsgAnswer::kYes;
    case QMessageBox::No: return MsgAnswer::kNo;
    case QMessageBox::Save: return MsgAnswer::kSave;
    case QMessageBox::Discard: return MsgAnswer::kDiscard;
    case QMessageBox::Cancel: return MsgAnswer::kCancel;
    case QMessageBox::Apply: return MsgAnswer::kAdopt;
    case QMessageBox::Close: return MsgAnswer::kCancel;
    default: break;
  }
  // Closed without a button (Escape, the title bar): the safe answer.
  if (buttons == MsgButtons::kYesNo) return MsgAnswer::kNo;
  if (buttons == MsgButtons::kSaveDiscardCancel || buttons == MsgButtons::kAdoptClose) return MsgAnswer::kCancel;
  return MsgAnswer::kOk;
}

void MainWindow::BusyOn() {
  if (!busy_) {
    QGuiApplication::setOverrideCursor(QCursor(pictures_[0], 16, 16));
    busy_ = true;
  }
  ShowCursorPicture(0);
  busy_timer_->start();
  QCoreApplication::processEvents();
  since_yield_.start();
}

void MainWindow::BusyOff() {
  busy_timer_->stop();
  if (busy_) {
    QGuiApplication::restoreOverrideCursor();
    busy_ = false;
  }
}

void MainWindow::ShowCursorPicture(int index) {
  if (index < 0 || index >= static_cast<int>(pictures_.size()))
    throw std::out_of_range("no cursor picture " + std::to_string(index));
  cursor_picture_ = index;
  if (busy_) QGuiApplication::changeOverrideCursor(QCursor(pictures_[static_cast<size_t>(index)], 16, 16));
}

void MainWindow::Yield() {
  // Called from the innermost calculation loops: only every few milliseconds
  // is it worth handing the thread to the event loop.
  if (since_yield_.isValid() && since_yield_.nsecsElapsed() < 5'000'000) return;
  QCoreApplication::processEvents();
  since_yield_.start();
}

}  // namespace phe
