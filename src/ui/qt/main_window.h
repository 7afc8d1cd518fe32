// The window frm_br: the input panel, the results, the Run button and the
// reference menus. It is the program's FormPort; every event is handed to the
// same handlers the headless driver calls.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "state/form_port.h"
#include "ui/headless_form.h"
#include "workflow/limits.h"

class QActionGroup;
class QButtonGroup;
class QComboBox;
class QLabel;
class QScrollArea;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace phe {

class AlternativesDialog;
class CurvesDialog;
class CaseFiles;

class MainWindow : public QMainWindow, public FormPort {
  Q_OBJECT

 public:
  // Takes the open database, lays out the panel and runs the start-up
  // sequence (state defaults, list selections).
  explicit MainWindow(std::unique_ptr<Database> db, QWidget* parent = nullptr);
  ~MainWindow() override;

  // FormPort
  std::string Text(std::string_view control) const override;
  void SetText(std::string_view control, const std::string& text) override;
  int ListIndex(std::string_view control) const override;
  void SetListIndex(std::string_view control, int index) override;
  bool Enabled(std::string_view control) const override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetFocus(std::string_view control) override;
  MsgAnswer MessageBox(const Message& text, const Message& title, MsgIcon icon,
                       MsgButtons buttons) override;
  void BusyOn() override;
  void BusyOff() override;
  void ShowCursorPicture(int index) override;
  void Yield() override;

  // When set, message boxes are handed to the hook instead of being shown
  // modally; the hook's answer is the button pressed. Tests and the
  // screenshot run answer boxes this way.
  using MessageHook = std::function<MsgAnswer(const RecordedMessage&)>;
  void SetMessageHook(MessageHook hook) { message_hook_ = std::move(hook); }

  SelectionState& state() { return state_; }
  // Texts of the message boxes shown during the last run, in order.
  const std::vector<Message>& RunMessages() const { return run_messages_; }
  Env& env() { return env_; }

  // A control by name (Txt_Th1, Com_jh, opt_br(4), cmd_count); nullptr when
  // there is none.
  QWidget* Control(std::string_view control) const;
  QPushButton* RunButton() const { return run_button_; }
  QTimer* BusyTimer() const { return busy_timer_; }

  bool Busy() const { return busy_; }
  // The busy-cursor picture last shown, or -1.
  int CursorPicture() const { return cursor_picture_; }
  const std::array<QPixmap, 4>& CursorPictures() const { return pictures_; }

  // As a user would: the text typed into a box or list (its Change handler
  // runs), then the box is left (its LostFocus handler runs).
  void EnterText(std::string_view control, const std::string& text);

  // Results of the last run no longer match the inputs.
  bool ResultsStale() const { return results_stale_; }
  // Results of a run are on screen and match the inputs: the sheet may go out.
  bool ResultsCurrent() const { return results_on_screen_ && !results_stale_; }
  // A new case: no results on screen any more.
  void ForgetResults();
  const std::vector<LimitBreach>& Breaches() const { return breaches_; }
  QLabel* StatusOutcome() const { return status_outcome_; }
  // The panel shows its scroll bar that way: the window is too small for it.
  bool PanelScrolls(Qt::Orientation o) const;

  // "zh" or "en": installs the translations, retranslates the window and,
  // when `remember` is set, keeps the choice for the next start.
  void SetLanguage(const QString& language, bool remember = true);
  QString Language() const { return language_; }
  // The language of the message catalogue the window formats with.
  Lang MessageLanguage() const { return language_ == QLatin1String("en") ? Lang::kEn : Lang::kZh; }

  // The menu "文件" and the case file the window shows.
  CaseFiles& Files() const { return *case_files_; }
  // "方案比较": the alternatives of the last design run.
  AlternativesDialog& Alternatives() const { return *alternatives_; }
  CurvesDialog& Curves() const { return *curves_; }
  // True while the program itself writes a control (not a user's edit).
  bool Writing() const { return writing_; }

 signals:
  // A run ended, or the inputs changed under the results on screen.
  void ResultsChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildPanel();
  void BuildMenus();
  void WireHandlers();
  QLineEdit* AddTextBox(const std::string& name, bool hot_side, bool result);
  QComboBox* AddList(const std::string& name, bool hot_side);
  QRadioButton* AddOption(int index, const QString& caption);
  QWidget* At(std::string_view control) const;
  QComboBox* ListAt(std::string_view control) const;

  // Runs one handler; a fault inside it is explained in a message box rather
  // than left to unwind through the event loop.
  void Dispatch(const std::function<void()>& handler);
  // The user changed a box's text: a computed value there becomes an input.
  void Edited(const std::string& control);
  void OnRun();
  void OnTimerTick();

  // results_view.cpp: the results frame, the per-unit marks, limits and
  // stale results.
  QWidget* BuildResultsFrame();
  // A "单台" mark; beside input boxes (`boxes`) only while one of them shows
  // a value the run computed, since what the user gave is the plant's.
  QLabel* PerUnitMark(const QStringList& boxes = {});
  void WireStaleMarks();
  void MarkInputsChanged();
  void AfterRun(bool shown, qint64 ms);
  void PaintResults();
  // Balance boxes holding a value the run computed look apart and say so.
  void PaintComputed();

  // status.cpp: the status bar and the keyboard.
  void BuildStatusBar();
  void RenderStatus();
  void WireKeyboard();
  // Enter or F5: the focused field is committed as if left, then Run.
  void RunFromKeyboard();
  // Fits the window to the screen it opens on.
  void FitToScreen();

  // language.cpp
  void BuildLanguageMenu();
  void Retranslate();

  std::unique_ptr<Database> db_;
  SelectionState state_;
  Env env_;

  std::map<std::string, QWidget*, std::less<>> controls_;
  QButtonGroup* selection_group_ = nullptr;  // options 2, 3
  QButtonGroup* calc_group_ = nullptr;       // options 4, 5
  QPushButton* run_button_ = nullptr;
  QTimer* busy_timer_ = nullptr;

  std::array<QPixmap, 4> pictures_;
  int cursor_picture_ = -1;
  bool busy_ = false;
  QElapsedTimer since_yield_;

  // True while the program itself writes a control: no handler may run then.
  bool writing_ = false;
  bool closing_ = false;  // being destroyed: no handler runs any more
  MessageHook message_hook_;

  QWidget* panel_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  std::vector<QLabel*> per_unit_marks_;
  QLabel* steam_mass_ = nullptr;  // a steam run's flow in kg/h
  std::vector<LimitBreach> breaches_;
  bool results_stale_ = false;
  bool results_on_screen_ = false;
  bool fitted_on_show_ = false;
  double shown_units_ = 1;  // parallel units of the results on screen

  // What the status line says: nothing yet, a finished run, a message, or
  // inputs changed since the run.
  enum class Outcome { kNone, kDone, kMessage, kStale };
  Outcome outcome_ = Outcome::kNone;
  std::string outcome_designation_;
  qint64 outcome_ms_ = 0;
  qint64 modal_ms_ = 0;  // of the run going on, spent waiting on message boxes
  Message last_message_;
  QLabel* status_outcome_ = nullptr;
  QLabel* status_db_ = nullptr;

  QString language_ = QStringLiteral("zh");
  QActionGroup* language_group_ = nullptr;

  CaseFiles* case_files_ = nullptr;
  std::vector<Message> run_messages_;
  AlternativesDialog* alternatives_ = nullptr;
  CurvesDialog* curves_ = nullptr;
};

}  // namespace phe
