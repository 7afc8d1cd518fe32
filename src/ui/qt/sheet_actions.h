// The window's calculation-sheet commands in the "文件" menu: export as PDF
// and print, both enabled only after a run that ended with a result.
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

 private:
  void AfterRun();
  void OnExport();
  void OnPrint();
  // Project, item and customer: asked once, then remembered.
  bool Heading(sheet::Meta* meta, bool ask_always);
  sheet::Document Build(const sheet::Meta& meta) const;

  MainWindow* window_;
  QAction* export_ = nullptr;
  QAction* print_ = nullptr;
  int results_seen_ = 0;
};

}  // namespace phe
