// "方案比较" in the window: after every design run the alternatives table is
// built and shown in a sortable dialog, reached from a button by the results
// and from the menu; "采用" takes a row as the manual choice and runs it.
#pragma once

#include <QDialog>
#include <QObject>
#include <memory>

#include "compare/alternatives.h"

class QPushButton;
class QTableWidget;
class QLabel;

namespace phe {

class MainWindow;

class AlternativesDialog : public QDialog {
  Q_OBJECT

 public:
  // `button` is the window's "方案比较" button; the dialog adds its menu entry.
  AlternativesDialog(MainWindow& window, QPushButton* button);
  ~AlternativesDialog() override;

  // After every press of Run: the table of a finished design run replaces the
  // one shown, and its suggestion, if any, is shown; its "采用" adopts the pack.
  void RunFinished();

  const AlternativesTable& Table() const { return table_; }
  QTableWidget* Grid() const { return grid_; }
  QPushButton* AdoptButton() const { return adopt_; }

  // As the user would take row `index` of Table(): manual selection, design,
  // the model and the channel type chosen in their lists, its passes and unit
  // count entered, then Run.
  void Adopt(size_t index);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void Fill();
  void AdoptSelected();

  MainWindow& window_;
  AlternativesWatch watch_;
  AlternativesTable table_;
  QTableWidget* grid_ = nullptr;
  QLabel* note_ = nullptr;
  QPushButton* adopt_ = nullptr;
};

}  // namespace phe
