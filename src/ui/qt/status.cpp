// The status bar (last run, database file), the keys that run, and the
// window's size on the screen it opens on.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QMenuBar>

#include "ui/input_panel.h"
#include "ui/layout.h"
#include "ui/qt/language.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe {

void MainWindow::BuildStatusBar() {
  status_outcome_ = new QLabel;
  status_outcome_->setObjectName(QStringLiteral("status_outcome"));
  status_outcome_->setFont(qt::CaptionFont());
  status_db_ = new QLabel;
  status_db_->setObjectName(QStringLiteral("status_db"));
  status_db_->setFont(qt::CaptionFont());
  statusBar()->addWidget(status_outcome_, 1);
  statusBar()->addPermanentWidget(status_db_);
  RenderStatus();
}

void MainWindow::RenderStatus() {
  if (!status_outcome_) return;
  QString text;
  QPalette p = status_outcome_->palette();
  p.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
  switch (outcome_) {
    case Outcome::kNone: break;
    case Outcome::kDone:
      text = qt::Tr("计算完成：%1，用时 %2 ms")
                 .arg(QString::fromStdString(outcome_designation_))
                 .arg(outcome_ms_);
      break;
    case Outcome::kMessage:
      text = QString::fromStdString(Format(last_message_, MessageLanguage())).trimmed();
      break;
    case Outcome::kStale:
      text = qt::Tr("输入已修改，请重新运行");
      p.setColor(QPalette::WindowText, QColor(190, 0, 0));
      break;
  }
  status_outcome_->setPalette(p);
  status_outcome_->setText(text);
  status_db_->setText(qt::Tr("数据库：%1").arg(QString::fromStdString(db_->path())));
}

void MainWindow::WireKeyboard() {
  auto* run = new QAction(this);
  run->setObjectName(QStringLiteral("run_key"));
  run->setShortcut(QKeySequence(Qt::Key_F5));
  run->setShortcutContext(Qt::WindowShortcut);
  addAction(run);
  connect(run, &QAction::triggered, this, &MainWindow::RunFromKeyboard);
  for (const auto& name : layout::kInputTextBoxes)
    connect(static_cast<QLineEdit*>(At(name)), &QLineEdit::returnPressed, this,
            &MainWindow::RunFromKeyboard);
  for (const auto& l : layout::kLists)
    if (QLineEdit* edit = ListAt(l.name)->lineEdit())
      connect(edit, &QLineEdit::returnPressed, this, &MainWindow::RunFromKeyboard);
}

void MainWindow::RunFromKeyboard() {
  if (env_.running || !run_button_->isEnabled()) return;
  // A click on Run takes the focus and so commits the field being edited;
  // a key leaves the focus where it is, so the field is committed here.
  if (QWidget* f = QApplication::focusWidget()) {
    QWidget* control = qobject_cast<QComboBox*>(f->parentWidget()) ? f->parentWidget() : f;
    if (Handler h = LostFocusHandler(control->objectName().toStdString()))
      Dispatch([this, h] { h(state_, env_); });
  }
  OnRun();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Only now are the bars and frames laid out at their real heights.
  if (!fitted_on_show_) {
    fitted_on_show_ = true;
    FitToScreen();
  }
}

bool MainWindow::PanelScrolls(Qt::Orientation o) const {
  const QScrollBar* bar = o == Qt::Horizontal ? scroll_->horizontalScrollBar() : scroll_->verticalScrollBar();
  return bar->isVisible() && bar->maximum() > 0;
}

void MainWindow::FitToScreen() {
  // Sizes are those of the polished widgets, fonts and style applied.
  ensurePolished();
  // The natural size shows the whole panel; a smaller screen gets a window
  // that fits it, and the panel scrolls.
  scroll_->setMinimumSize(panel_->minimumSizeHint().expandedTo(panel_->sizeHint()));
  centralWidget()->layout()->invalidate();
  layout()->invalidate();
  layout()->activate();
  QSize natural = sizeHint();
  scroll_->setMinimumSize(0, 0);
  setMinimumSize(QSize(360, 240));
  // Once shown, the window only grows (a longer language), never shrinks
  // below what the user made it.
  if (isVisible()) natural = natural.expandedTo(size());
  const QScreen* s = screen();
  if (!s) {
    resize(natural);
    return;
  }
  const QRect avail = s->availableGeometry();
  // Room for the title bar and borders the window manager adds.
  const QSize room = avail.size() - QSize(16, 40);
  // A panel that scrolls one way needs the bar's room the other way.
  if (natural.height() > room.height())
    natural.rwidth() += scroll_->verticalScrollBar()->sizeHint().width();
  if (natural.width() > room.width())
    natural.rheight() += scroll_->horizontalScrollBar()->sizeHint().height();
  resize(natural.boundedTo(room));
  if (natural.width() > room.width() || natural.height() > room.height()) move(avail.topLeft());
}

}  // namespace phe
