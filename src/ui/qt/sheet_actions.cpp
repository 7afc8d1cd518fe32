#include "ui/qt/sheet_actions.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>

#include "curves/curves.h"
#include "sheet/qt/sheet_pdf.h"
#include "ui/qt/alternatives_dialog.h"
#include "ui/qt/case_files.h"
#include "ui/qt/language.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

QMenu* FileMenu(MainWindow* window) {
  if (auto* menu = window->findChild<QMenu*>(QStringLiteral("mnu_file"))) return menu;
  // The file menu comes first in the bar.
  QMenu* menu = new QMenu(window->menuBar());
  menu->setObjectName(QStringLiteral("mnu_file"));
  qt::SetText(menu->menuAction(), QStringLiteral("文件(&F)"));
  const QList<QAction*> actions = window->menuBar()->actions();
  window->menuBar()->insertMenu(actions.isEmpty() ? nullptr : actions.first(), menu);
  return menu;
}

}  // namespace

SheetActions::SheetActions(MainWindow* window) : QObject(window), window_(window) {
  QMenu* menu = FileMenu(window);
  // Above the last entry (退出) of the file menu.
  QAction* before = menu->actions().isEmpty() ? nullptr : menu->actions().back();
  auto add = [&](const QString& text) {
    auto* a = new QAction(menu);
    qt::SetText(a, text);
    menu->insertAction(before, a);
    return a;
  };
  if (!before && !menu->actions().isEmpty()) menu->addSeparator();
  export_ = add(QStringLiteral("导出计算书…"));
  export_->setObjectName(QStringLiteral("mnu_sheet_export"));
  export_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  print_ = add(QStringLiteral("打印…"));
  print_->setObjectName(QStringLiteral("mnu_sheet_print"));
  print_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  QAction* heading = add(QStringLiteral("计算书抬头…"));
  if (before) menu->insertSeparator(before);
  export_->setEnabled(false);
  print_->setEnabled(false);
  connect(export_, &QAction::triggered, this, &SheetActions::OnExport);
  connect(print_, &QAction::triggered, this, &SheetActions::OnPrint);
  connect(heading, &QAction::triggered, this, [this] {
    sheet::Meta meta;
    Heading(&meta, true);
  });
  connect(window, &MainWindow::ResultsChanged, this, &SheetActions::Follow);
  // A text box would take Ctrl+E (end of line) and keep it from the menu.
  for (QLineEdit* box : window->findChildren<QLineEdit*>()) box->installEventFilter(this);
}

void SheetActions::Follow() {
  const bool current = window_->ResultsCurrent();
  export_->setEnabled(current);
  print_->setEnabled(current);
}

bool SheetActions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (const QAction* a : {export_, print_})
      if (QKeySequence(key->keyCombination()) == a->shortcut()) return true;  // left to the menu
  }
  return QObject::eventFilter(watched, event);
}

bool SheetActions::Heading(sheet::Meta* meta, bool ask_always) {
  CaseFiles& files = window_->Files();
  std::string fields[3];
  files.Heading(&fields[0], &fields[1], &fields[2]);
  const bool none = fields[0].empty() && fields[1].empty() && fields[2].empty();
  if (ask_always || none) {
    QDialog dialog(window_);
    dialog.setWindowTitle(qt::Tr("计算书抬头"));
    auto* form = new QFormLayout(&dialog);
    QLineEdit* edits[3];
    const char* captions[3] = {"项目", "位号", "客户"};
    for (int i = 0; i < 3; ++i) {
      edits[i] = new QLineEdit(QString::fromStdString(fields[i]));
      edits[i]->setMinimumWidth(260);
      form->addRow(qt::Tr(captions[i]), edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    for (int i = 0; i < 3; ++i) fields[i] = edits[i]->text().trimmed().toStdString();
    files.SetHeading(fields[0], fields[1], fields[2]);
  }
  meta->project = fields[0];
  meta->item = fields[1];
  meta->customer = fields[2];
  return true;
}

sheet::Document SheetActions::Build(const sheet::Meta& heading) const {
  sheet::Meta meta = heading;
  meta.when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
  // The sheet follows the window's language.
  const Lang lang = window_->MessageLanguage();
  const RunResult& result = *window_->env().result;
  sheet::Document doc = sheet::BuildSheet(result, window_->RunMessages(), meta, lang);
  // The alternatives of the run, when it was a design, on a page of their own.
  sheet::AppendAlternatives(doc, window_->Alternatives().Table(), lang);
  // The operating curves of the pack, the same charts as the window's view.
  if (const auto curves = curves::Compute(result)) sheet::AppendCurves(doc, *curves, lang);
  return doc;
}

bool SheetActions::ExportTo(const QString& path, const sheet::Meta& meta) {
  if (!window_->env().result) return false;
  std::string error;
  if (sheet::WritePdf(Build(meta), path.toStdString(), &error)) return true;
  window_->MessageBox(
      Message("sheet_save_failed").With("path", path.toStdString()).With("detail", error),
      Message("title.error"), MsgIcon::kCritical, MsgButtons::kOk);
  return false;
}

void SheetActions::OnExport() {
  if (!window_->env().result) return;
  sheet::Meta meta;
  if (!Heading(&meta, false)) return;
  QSettings settings(QStringLiteral("pheselect"), QStringLiteral("pheselect"));
  const QString dir = settings.value(QStringLiteral("sheet/dir"), QDir::homePath()).toString();
  const QString proposed = QDir(dir).filePath(QString::fromStdString(window_->env().result->record.plate_type) +
                                              QStringLiteral(".pdf"));
  const QString path = QFileDialog::getSaveFileName(window_, qt::Tr("导出计算书"), proposed,
                                                    QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  settings.setValue(QStringLiteral("sheet/dir"), QFileInfo(path).absolutePath());
  ExportTo(path, meta);
}

void SheetActions::OnPrint() {
  if (!window_->env().result) return;
  sheet::Meta meta;
  if (!Heading(&meta, false)) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, window_);
  if (dialog.exec() != QDialog::Accepted) return;
  sheet::Render(Build(meta), printer);
}

}  // namespace phe
