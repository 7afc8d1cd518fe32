#include "ui/qt/sheet_actions.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
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
  results_seen_ = window->env().results_shown;
  connect(export_, &QAction::triggered, this, &SheetActions::OnExport);
  connect(print_, &QAction::triggered, this, &SheetActions::OnPrint);
  connect(heading, &QAction::triggered, this, [this] {
    sheet::Meta meta;
    Heading(&meta, true);
  });
  // Connected after the window's own handler, so the run is over when this runs.
  connect(window->RunButton(), &QPushButton::clicked, this, &SheetActions::AfterRun);
}

void SheetActions::AfterRun() {
  const bool result = window_->env().results_shown != results_seen_;
  results_seen_ = window_->env().results_shown;
  export_->setEnabled(result);
  print_->setEnabled(result);
}

bool SheetActions::Heading(sheet::Meta* meta, bool ask_always) {
  QSettings settings(QStringLiteral("pheselect"), QStringLiteral("pheselect"));
  settings.beginGroup(QStringLiteral("sheet"));
  QString fields[3] = {settings.value(QStringLiteral("project")).toString(),
                       settings.value(QStringLiteral("item")).toString(),
                       settings.value(QStringLiteral("customer")).toString()};
  if (ask_always || !settings.value(QStringLiteral("asked")).toBool()) {
    QDialog dialog(window_);
    dialog.setWindowTitle(qt::Tr("计算书抬头"));
    auto* form = new QFormLayout(&dialog);
    QLineEdit* edits[3];
    const char* captions[3] = {"项目", "位号", "客户"};
    for (int i = 0; i < 3; ++i) {
      edits[i] = new QLineEdit(fields[i]);
      edits[i]->setMinimumWidth(260);
      form->addRow(qt::Tr(captions[i]), edits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    for (int i = 0; i < 3; ++i) fields[i] = edits[i]->text().trimmed();
    settings.setValue(QStringLiteral("project"), fields[0]);
    settings.setValue(QStringLiteral("item"), fields[1]);
    settings.setValue(QStringLiteral("customer"), fields[2]);
    settings.setValue(QStringLiteral("asked"), true);
  }
  meta->project = fields[0].toStdString();
  meta->item = fields[1].toStdString();
  meta->customer = fields[2].toStdString();
  return true;
}

sheet::Document SheetActions::Build(const sheet::Meta& heading) const {
  sheet::Meta meta = heading;
  meta.when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
  // The sheet follows the window's language.
  const Lang lang = window_->MessageLanguage();
  sheet::Document doc =
      sheet::BuildSheet(window_->state(), window_->env(), window_->RunMessages(), meta, lang);
  // The alternatives of the run, when it was a design, on a page of their own.
  sheet::AppendAlternatives(doc, window_->Alternatives().Table(), lang);
  // The operating curves of the pack, the same charts as the window's view.
  if (const auto curves = curves::Compute(window_->state(), window_->env())) sheet::AppendCurves(doc, *curves, lang);
  return doc;
}

bool SheetActions::ExportTo(const QString& path, const sheet::Meta& meta) {
  std::string error;
  if (sheet::WritePdf(Build(meta), path.toStdString(), &error)) return true;
  window_->MessageBox(
      Message("sheet_save_failed").With("path", path.toStdString()).With("detail", error),
      Message("title.error"), MsgIcon::kCritical, MsgButtons::kOk);
  return false;
}

void SheetActions::OnExport() {
  sheet::Meta meta;
  if (!Heading(&meta, false)) return;
  QSettings settings(QStringLiteral("pheselect"), QStringLiteral("pheselect"));
  const QString dir = settings.value(QStringLiteral("sheet/dir"), QDir::homePath()).toString();
  const QString proposed = QDir(dir).filePath(QString::fromStdString(window_->state().plate_type) +
                                              QStringLiteral(".pdf"));
  const QString path = QFileDialog::getSaveFileName(window_, qt::Tr("导出计算书"), proposed,
                                                    QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  settings.setValue(QStringLiteral("sheet/dir"), QFileInfo(path).absolutePath());
  ExportTo(path, meta);
}

void SheetActions::OnPrint() {
  sheet::Meta meta;
  if (!Heading(&meta, false)) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, window_);
  if (dialog.exec() != QDialog::Accepted) return;
  sheet::Render(Build(meta), printer);
}

}  // namespace phe
