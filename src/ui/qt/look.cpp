#include "ui/qt/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QProxyStyle>
#include <QStyleOption>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include "ui/qt/language.h"

namespace phe::qt {

namespace {

// The fonts the window is drawn for are rarely installed outside their home
// platform; a CJK font keeps every caption legible instead of boxes.
QFont WithCjkFallback(const QString& wanted, int point_size) {
  QStringList families{wanted};
  const QStringList installed = QFontDatabase::families();
  for (const char* f : {"Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",
                        "Noto Serif CJK SC", "AR PL UMing CN", "Droid Sans Fallback"})
    if (installed.contains(QString::fromUtf8(f))) families << QString::fromUtf8(f);
  QFont font;
  font.setFamilies(families);
  font.setPointSize(point_size);
  return font;
}

class ClearFocusStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && (option->state & State_HasFocus) &&
        (option->state & State_KeyboardFocusChange)) {
      painter->save();
      painter->setRenderHint(QPainter::Antialiasing);
      painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
      painter->setBrush(Qt::NoBrush);
      painter->drawRoundedRect(QRectF(option->rect).adjusted(3, 3, -3, -3), 2, 2);
      painter->restore();
    }
  }
};

}  // namespace

void UseClearFocusStyle() {
  if (!dynamic_cast<ClearFocusStyle*>(QApplication::style()))
    QApplication::setStyle(new ClearFocusStyle(QApplication::style()->name()));
}

QFont FieldFont() { return WithCjkFallback(QStringLiteral("Arial Unicode MS"), 9); }

QFont CaptionFont() { return WithCjkFallback(QStringLiteral("微软雅黑"), 9); }

QFont ReferenceMenuFont() {
  // A font whose CJK glyphs are twice the width of its Latin ones keeps the
  // blank-aligned columns of the reference tables straight.
  QFont font = WithCjkFallback(QStringLiteral("NSimSun"), 9);
  QStringList families = font.families();
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans Mono CJK SC")))
    families.insert(1, QStringLiteral("Noto Sans Mono CJK SC"));
  font.setFamilies(families);
  font.setStyleHint(QFont::Monospace);
  return font;
}

QLabel* Caption(const QString& chinese) {
  auto* label = new QLabel;
  label->setFont(CaptionFont());
  SetText(label, chinese);
  return label;
}

QLabel* Unit(const QString& chinese) {
  auto* label = new QLabel;
  label->setFont(FieldFont());
  SetText(label, chinese);
  return label;
}

QGroupBox* Frame(const QString& chinese) {
  auto* box = new QGroupBox;
  box->setFont(CaptionFont());
  SetText(box, chinese);
  return box;
}

void PaintField(QWidget* field, bool hot_side) {
  const QColor ink = hot_side ? QColor(Qt::red) : QColor(Qt::blue);
  QPalette p = field->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(g, QPalette::Text, ink);
    p.setColor(g, QPalette::ButtonText, ink);
    p.setColor(g, QPalette::Base, Qt::white);
    p.setColor(g, QPalette::Button, Qt::white);
  }
  field->setPalette(p);
}

std::array<QPixmap, 4> MakeCursorPictures() {
  std::array<QPixmap, 4> pictures;
  for (int i = 0; i < 4; ++i) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring(5, 5, 22, 22);
    painter.setPen(QPen(QColor(40, 40, 40), 7, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(ring);
    painter.setPen(QPen(QColor(200, 200, 200), 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(ring);
    if (i < 3) {
      // Qt angles are in 1/16 degree, counter-clockwise; step clockwise.
      painter.setPen(QPen(QColor(0, 90, 220), 5, Qt::SolidLine, Qt::RoundCap));
      painter.drawArc(ring, (90 - 120 * i) * 16, -100 * 16);
    } else {
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(0, 90, 220));
      painter.drawEllipse(QPointF(16, 16), 4, 4);
    }
    pictures[static_cast<size_t>(i)] = pm;
  }
  return pictures;
}

}  // namespace phe::qt
