// The window's calculation-sheet commands in the "文件" menu: export as PDF
// and print, enabled only while the results of a run are on screen and match
// the inputs, however the run was started.
#pragma once

#include <QObject>
#include <string>

#include "sheet/sheet.h"

class QAction;

namespace phe {

class MainWindow;

class SheetActions : public QObject {
  Q_OBJECT

 public:
  // Adds the commands to the window's "文件" menu (made when there is none).
  explicit SheetActions(MainWindow* window);

  QAction* ExportAction() const { return export_; }
  QAction* PrintAction() const { return print_; }

  // The sheet of the last run, with the heading given; false and a message
  // box when the file cannot be written.
  bool ExportTo(const QString& path, const sheet::Meta& meta);
  // The sheet of the last run, in the window's language, with the heading given.
  sheet::Document Build(const sheet::Meta& meta) const;

 private:
  // Enabled while a run's results are on screen and match the inputs.
  void Follow();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnExport();
  void OnPrint();
  // Project, item and customer of the case: asked for the first sheet of a
  // case without them, kept with the case.
  bool Heading(sheet::Meta* meta, bool ask_always);

  MainWindow* window_;
  QAction* export_ = nullptr;
  QAction* print_ = nullptr;
};

}  // namespace phe
