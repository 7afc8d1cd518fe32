#include "ui/qt/curves_dialog.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "sheet/qt/chart_painter.h"
#include "sheet/qt/sheet_pdf.h"
#include "ui/qt/alternatives_dialog.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The sheet's font where it is installed, so both draw alike.
QString ChartFamily(const QWidget& w) {
  const QString family = sheet::SheetFontFamily();
  return family.isEmpty() ? w.font().family() : family;
}

// The window's "方案" menu, which the alternatives dialog made.
QMenu* SchemeMenu(MainWindow& window) {
  for (QMenu* m : window.findChildren<QMenu*>())
    for (QAction* a : m->actions())
      if (a->objectName() == QLatin1String("mnu_alternatives")) return m;
  return nullptr;
}

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(720, 380);
  setAutoFillBackground(false);
}

void ChartView::SetChart(std::optional<sheet::Chart> chart) {
  chart_ = std::move(chart);
  update();
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const double u = logicalDpiX() / 25.4;
  const QString family = ChartFamily(*this);
  QFont title(family);
  title.setPointSizeF(10);
  title.setBold(true);
  QFont small(family);
  small.setPointSizeF(8);
  const QRectF all = QRectF(rect()).adjusted(3 * u, 2 * u, -3 * u, -2 * u);
  if (!chart_) {
    p.setFont(small);
    p.setPen(Qt::darkGray);
    p.drawText(all, Qt::AlignCenter, qt::Tr("计算完成后显示本板束的工况曲线。"));
    return;
  }
  const double title_h = QFontMetricsF(title, this).height() + 1.5 * u;
  const QRectF note_box = QFontMetricsF(small, this).boundingRect(all, Qt::TextWordWrap, Q(chart_->note));
  p.setFont(title);
  p.setPen(QColor(0x1f, 0x4e, 0x79));
  p.drawText(QRectF(all.left(), all.top(), all.width(), title_h), Qt::AlignLeft | Qt::AlignVCenter,
             Q(chart_->title));
  const QRectF plot(all.left(), all.top() + title_h, all.width(), all.height() - title_h - note_box.height() - u);
  sheet::PaintChart(p, plot, *chart_, family, u);
  p.setFont(small);
  p.setPen(QColor(0x6a, 0x6a, 0x6a));
  p.drawText(QRectF(all.left(), plot.bottom() + u, all.width(), note_box.height()), Qt::TextWordWrap,
             Q(chart_->note));
}

CurvesDialog::CurvesDialog(MainWindow& window) : QDialog(&window), window_(window) {
  setObjectName(QStringLiteral("frm_curves"));
  setWindowTitle(qt::Tr("工况曲线"));
  setFont(qt::CaptionFont());
  auto* layout = new QVBoxLayout(this);
  for (ChartView*& v : views_) {
    v = new ChartView;
    layout->addWidget(v, 1);
  }
  auto* close = new QPushButton;
  qt::SetText(close, QStringLiteral("关闭"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  resize(820, 900);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);

  entry_ = new QAction(this);
  qt::SetText(entry_, QStringLiteral("工况曲线"));
  entry_->setObjectName(QStringLiteral("mnu_curves"));
  entry_->setEnabled(false);
  if (QMenu* menu = SchemeMenu(window)) menu->addAction(entry_);
  connect(entry_, &QAction::triggered, this, [this] {
    show();
    raise();
    activateWindow();
  });
  results_seen_ = window.env().results_shown;
  // However the run was started (button, Enter, F5, menu).
  connect(&window, &MainWindow::ResultsChanged, this, &CurvesDialog::AfterRun);
  Fill();
}

void CurvesDialog::AfterRun() {
  if (window_.env().results_shown == results_seen_) return;
  results_seen_ = window_.env().results_shown;
  curves_.reset();
  if (window_.env().result) curves_ = curves::Compute(*window_.env().result);
  entry_->setEnabled(curves_.has_value());
  Fill();
}

void CurvesDialog::Fill() {
  if (!curves_) {
    for (ChartView* v : views_) v->SetChart(std::nullopt);
    return;
  }
  std::vector<sheet::Chart> charts = sheet::CurveCharts(*curves_, window_.MessageLanguage());
  for (size_t i = 0; i < 2; ++i) views_[i]->SetChart(i < charts.size() ? std::optional(charts[i]) : std::nullopt);
}

void CurvesDialog::changeEvent(QEvent* event) {
  // The charts' texts come from the sheet in the window's language.
  if (event->type() == QEvent::LanguageChange) {
    setWindowTitle(qt::Tr("工况曲线"));
    Fill();
  }
  QDialog::changeEvent(event);
}

}  // namespace phe
