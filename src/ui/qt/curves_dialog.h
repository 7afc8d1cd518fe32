// "工况曲线" in the window: the operating curves of the last result's pack,
// duty and outlets in one chart and pressure drops in the other, drawn by the
// sheet's own chart painter so that the window and the sheet show the same.
#pragma once

#include <QDialog>
#include <QWidget>
#include <optional>
#include <vector>

#include "curves/curves.h"
#include "sheet/sheet.h"

class QAction;

namespace phe {

class MainWindow;

// One chart with its title and note, as the sheet lays it out.
class ChartView : public QWidget {
 public:
  explicit ChartView(QWidget* parent = nullptr);
  void SetChart(std::optional<sheet::Chart> chart);
  const std::optional<sheet::Chart>& Chart() const { return chart_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<sheet::Chart> chart_;
};

class CurvesDialog : public QDialog {
  Q_OBJECT

 public:
  // Adds its entry to the window's "方案" menu.
  explicit CurvesDialog(MainWindow& window);

  QAction* MenuEntry() const { return entry_; }
  ChartView* View(int i) const { return views_[i]; }
  const std::optional<curves::OperatingCurves>& Curves() const { return curves_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // After every press of Run: a run that showed a result replaces the curves.
  void AfterRun();
  void Fill();

  MainWindow& window_;
  std::optional<curves::OperatingCurves> curves_;
  ChartView* views_[2] = {nullptr, nullptr};
  QAction* entry_ = nullptr;
  int results_seen_ = 0;
};

}  // namespace phe
