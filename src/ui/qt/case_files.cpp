#include "ui/qt/case_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <exception>

#include "driver/case_file.h"
#include "ui/input_panel.h"
#include "ui/layout.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

const char* const kRecentKey = "recentFiles";

QSettings Settings() { return QSettings(QStringLiteral("pheselect"), QStringLiteral("pheselect")); }

std::string FileForm(const CaseInput& in) { return CaseToJson(in).dump(); }

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Keeps a flag set for the length of a scope, whatever leaves it.
struct Raised {
  explicit Raised(bool& f) : flag(f) { flag = true; }
  ~Raised() { flag = false; }
  bool& flag;
};

}  // namespace

CaseFiles::CaseFiles(MainWindow& window) : QObject(&window), window_(window) {
  menu_ = new QMenu(&window_);
  qt::SetText(menu_->menuAction(), QStringLiteral("文件(&F)"));
  menu_->setObjectName(QStringLiteral("mnu_file"));
  menu_->setFont(qt::CaptionFont());
  menu_->setToolTipsVisible(true);
  QMenuBar* bar = window_.menuBar();
  bar->insertMenu(bar->actions().isEmpty() ? nullptr : bar->actions().front(), menu_);

  auto add = [this](const QString& text, const QKeySequence& keys, auto command) {
    QAction* a = menu_->addAction(QString());
    qt::SetText(a, text);
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, command);
    return a;
  };
  add(QStringLiteral("新建"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] { New(); });
  add(QStringLiteral("打开…"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Open(); });
  add(QStringLiteral("保存"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Save(); });
  add(QStringLiteral("另存为…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
      [this] { SaveAs(); });
  menu_->addSeparator();
  // With no recent files the two separators fold into one.
  recent_end_ = menu_->addSeparator();
  add(QStringLiteral("退出"), QKeySequence(), [this] { window_.close(); });
  ShowRecent();

  TrackEdits();
  StartClean();
}

// ---- what the case is ----

void CaseFiles::TrackEdits() {
  for (const auto& name : layout::kInputTextBoxes)
    if (auto* box = qobject_cast<QLineEdit*>(window_.Control(name)))
      connect(box, &QLineEdit::textChanged, this,
              [this, name](const QString& text) { Edited(name, text); });
  for (const auto& list : layout::kLists)
    if (auto* box = qobject_cast<QComboBox*>(window_.Control(list.name)))
      connect(box, &QComboBox::currentTextChanged, this,
              [this, name = list.name](const QString& text) { Edited(name, text); });
  for (int index = 2; index <= 5; ++index)
    if (auto* option = qobject_cast<QAbstractButton*>(window_.Control(layout::OptionName(index))))
      connect(option, &QAbstractButton::toggled, this, [this] {
        if (!loading_) ShowTitle();
      });
}

void CaseFiles::Edited(const std::string& control, const QString& text) {
  // What the program writes (results, values a run completes) is not part of
  // the case: a file keeps what the user gave.
  if (loading_ || window_.Writing()) return;
  typed_[control] = text.toStdString();
  ShowTitle();
}

CaseInput CaseFiles::CurrentCase() const {
  auto checked = [this](int index) {
    auto* option = qobject_cast<QAbstractButton*>(window_.Control(layout::OptionName(index)));
    return option && option->isChecked();
  };
  CaseInput in;
  in.selection_option = checked(3) ? 3 : 2;
  in.calc_option = checked(6) ? 6 : checked(5) ? 5 : 4;
  for (const auto& name : layout::kFocusOrder) {
    auto it = typed_.find(name);
    if (it == typed_.end()) continue;
    // An emptied list is no choice; a case file cannot choose "nothing".
    if (it->second.empty() && qobject_cast<QComboBox*>(window_.Control(name))) continue;
    in.controls.emplace_back(name, it->second);
  }
  in.project = project_;
  in.item = item_;
  in.customer = customer_;
  return in;
}

void CaseFiles::Heading(std::string* project, std::string* item, std::string* customer) const {
  *project = project_;
  *item = item_;
  *customer = customer_;
}

void CaseFiles::SetHeading(const std::string& project, const std::string& item,
                           const std::string& customer) {
  project_ = project;
  item_ = item;
  customer_ = customer;
  ShowTitle();
}

bool CaseFiles::Unsaved() const { return FileForm(CurrentCase()) != saved_; }

void CaseFiles::StartClean() {
  saved_ = FileForm(CurrentCase());
  ShowTitle();
}

void CaseFiles::ShowTitle() {
  const QString base = qt::Tr(layout::kWindowTitle);
  const bool unsaved = Unsaved();
  if (file_.isEmpty() && !unsaved) {
    window_.setWindowTitle(base);
    return;
  }
  const QString name = file_.isEmpty() ? qt::Tr("未命名") : QFileInfo(file_).fileName();
  window_.setWindowTitle(name + (unsaved ? QStringLiteral("*") : QString()) +
                         QStringLiteral(" - ") + base);
}

// ---- the window's contents ----

void CaseFiles::ResetWindow() {
  SelectionState& s = window_.state();
  Database* db = s.db;
  s = SelectionState{};
  s.db = db;
  for (const auto& name : layout::kInputTextBoxes) window_.SetText(name, "");
  for (const auto& st : layout::kStartTexts) window_.SetText(st.name, st.text);
  for (const auto& name : layout::kResultTextBoxes) window_.SetText(name, "");
  for (const auto& list : layout::kLists) window_.SetText(list.name, "");
  for (int index : {2, 4}) {
    if (auto* option = qobject_cast<QAbstractButton*>(window_.Control(layout::OptionName(index))))
      option->setChecked(true);
    opt_br_Click(s, window_.env(), index);
  }
  Form_Load(s, window_.env());
  window_.ForgetResults();
}

void CaseFiles::EnterCase(const CaseInput& in) {
  // As the command-line driver does it: the option buttons, then the
  // controls in the keyboard focus order.
  for (const auto& option : {in.selection_option, in.calc_option}) {
    if (!option) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(window_.Control(layout::OptionName(*option))))
      b->click();
  }
  for (const auto& name : layout::kFocusOrder)
    for (const auto& [control, text] : in.controls)
      if (control == name) window_.EnterText(control, text);
}

// ---- commands ----

bool CaseFiles::MaySaveChanges() {
  if (!Unsaved()) return true;
  switch (window_.MessageBox(Message("save_changes"), Message("title.notice"), MsgIcon::kQuestion,
                             MsgButtons::kSaveDiscardCancel)) {
    case MsgAnswer::kSave: return Save();
    case MsgAnswer::kDiscard: return true;
    default: return false;
  }
}

void CaseFiles::New() {
  // The window is not cleared under a run that is still going.
  if (window_.env().running || !MaySaveChanges()) return;
  {
    Raised loading(loading_);
    ResetWindow();
  }
  typed_.clear();
  project_.clear();
  item_.clear();
  customer_.clear();
  file_.clear();
  StartClean();
}

void CaseFiles::Open() {
  if (window_.env().running || !MaySaveChanges()) return;
  const QString path = AskFile(false);
  if (!path.isEmpty()) OpenFile(path);
}

bool CaseFiles::OpenFile(const QString& path) {
  if (window_.env().running) return false;
  auto refuse = [&](Message detail) {
    window_.MessageBox(detail, Message("title.error"), MsgIcon::kCritical,
                       MsgButtons::kOk);
    return false;
  };
  auto open_failed = [&](const std::string& problem) {
    return Message("case_open_failed").With("path", path.toStdString()).With("detail", problem);
  };
  std::vector<CaseInput> cases;
  try {
    // A session is refused before its runs are collected.
    const CaseReader reader = CaseReader::Open(LocalPath(path));
    if (!reader.several()) cases = reader.All();
    if (reader.several())
      return refuse(Message("case_open_failed")
                        .With("path", path.toStdString())
                        .Ref("detail", "case_several_runs"));
  } catch (const CaseError& e) {
    // What is wrong in words; the reader's own detail after them.
    const char* reason = e.kind() == CaseError::Kind::kDamaged      ? "case_damaged"
                         : e.kind() == CaseError::Kind::kUnreadable ? "case_unreadable"
                                                                    : "case_not_a_case";
    return refuse(Message("case_open_failed_because")
                      .With("path", path.toStdString())
                      .Ref("reason", reason)
                      .With("detail", e.what()));
  }
  const CaseInput& in = cases.front();
  try {
    Raised loading(loading_);
    ResetWindow();
    EnterCase(in);
  } catch (const std::exception& e) {
    // The reader checked every name and item, so only a fault gets here.
    refuse(open_failed(e.what()));
  }
  typed_.clear();
  for (const auto& [control, text] : in.controls) typed_[control] = text;
  project_ = in.project;
  item_ = in.item;
  customer_ = in.customer;
  file_ = QFileInfo(path).absoluteFilePath();
  StartClean();
  Remember(file_);
  return true;
}

bool CaseFiles::Save() { return file_.isEmpty() ? SaveAs() : SaveTo(file_); }

bool CaseFiles::SaveAs() {
  QString path = AskFile(true);
  if (path.isEmpty()) return false;
  if (!path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
    path += QString::fromUtf8(kCaseFileExtension);
  return SaveTo(path);
}

bool CaseFiles::SaveTo(const QString& path) {
  const CaseInput in = CurrentCase();
  // A new file can replace a read-only one (the folder allows it), which the
  // user may not expect: ask. The file stays read-only after the save.
  struct stat st;
  const std::string local = LocalPath(path);
  if (::stat(local.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      ((st.st_mode & S_IWUSR) == 0 || ::access(local.c_str(), W_OK) != 0) &&
      window_.MessageBox(Message("case_read_only").With("path", path.toStdString()),
                         Message("title.notice"),
                         MsgIcon::kQuestion, MsgButtons::kYesNo) != MsgAnswer::kYes)
    return false;
  try {
    WriteCaseFile(LocalPath(path), in);
  } catch (const CaseError& e) {
    window_.MessageBox(
        Message("case_save_failed").With("path", path.toStdString()).With("detail", e.what()),
        Message("title.error"), MsgIcon::kCritical, MsgButtons::kOk);
    return false;
  }
  file_ = QFileInfo(path).absoluteFilePath();
  saved_ = FileForm(in);
  ShowTitle();
  Remember(file_);
  return true;
}

QString CaseFiles::AskFile(bool save) {
  if (file_dialog_hook_) return file_dialog_hook_(save);
  QString start = file_;
  if (start.isEmpty()) {
    const QStringList recent = RecentFiles();
    start = recent.isEmpty() ? QDir::homePath() : QFileInfo(recent.front()).absolutePath();
    if (save) start += QLatin1Char('/') + qt::Tr("未命名") + QString::fromUtf8(kCaseFileExtension);
  }
  const QString filter = qt::Tr("案例文件 (*.phe.json);;JSON 文件 (*.json)");
  if (save) return QFileDialog::getSaveFileName(&window_, qt::Tr("另存为"), start, filter);
  return QFileDialog::getOpenFileName(&window_, qt::Tr("打开"), start,
                                      filter + qt::Tr(";;所有文件 (*)"));
}

// ---- recent files ----

QStringList CaseFiles::RecentFiles() const {
  QStringList files = Settings().value(kRecentKey).toStringList();
  while (files.size() > kRecentFiles) files.removeLast();
  return files;
}

void CaseFiles::Remember(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFiles) files.removeLast();
  Settings().setValue(kRecentKey, files);
  ShowRecent();
}

void CaseFiles::ShowRecent() {
  for (QAction* a : recent_) {
    menu_->removeAction(a);
    a->deleteLater();
  }
  recent_.clear();
  const QStringList files = RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    const QString path = files[i];
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), menu_);
    a->setToolTip(path);
    connect(a, &QAction::triggered, this, [this, path] {
      if (window_.env().running || !MaySaveChanges()) return;
      if (!OpenFile(path) && !QFileInfo::exists(path)) {
        // A file that has gone is dropped from the list.
        QStringList rest = RecentFiles();
        rest.removeAll(path);
        Settings().setValue(kRecentKey, rest);
        ShowRecent();
      }
    });
    menu_->insertAction(recent_end_, a);
    recent_.push_back(a);
  }
}

}  // namespace phe
