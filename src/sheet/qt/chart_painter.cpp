#include "sheet/qt/chart_painter.h"
#include "sheet/qt/palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace phe::sheet {

namespace {

const QColor kGrid(0xe4, 0xe8, 0xec);

QColor InkColor(Chart::Ink ink) {
  switch (ink) {
    case Chart::Ink::kHot: return kHot;
    case Chart::Ink::kCold: return kCold;
    case Chart::Ink::kDuty: return {0x2e, 0x7d, 0x32};
  }
  return kInk;
}

// A round tick step and the range it covers, with room around the values.
struct Axis {
  double lo = 0, hi = 1, step = 1;
};

Axis AxisFor(double lo, double hi) {
  if (!(hi > lo)) {
    const double pad = std::max(1.0, std::abs(lo) * 0.05);
    lo -= pad;
    hi += pad;
  }
  const double raw = (hi - lo) / 5;
  const double mag = std::pow(10, std::floor(std::log10(raw)));
  double step = 10 * mag;
  for (double f : {1.0, 2.0, 2.5, 5.0})
    if (raw <= f * mag) {
      step = f * mag;
      break;
    }
  return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

QString Tick(double v, double step) {
  const int decimals = step >= 1 ? 0 : (step >= 0.1 ? 1 : 2);
  return QString::number(v, 'f', decimals);
}

}  // namespace

void PaintChart(QPainter& p, const QRectF& area, const Chart& c, const QString& family, double u) {
  QFont f(family);
  f.setPointSizeF(8);
  f.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::PreferNoShaping));
  p.save();
  p.setFont(f);
  p.setRenderHint(QPainter::Antialiasing);
  const QFontMetricsF fm(f, p.device());
  const double lh = fm.height();
  bool right_axis = false;
  for (const auto& s : c.series) right_axis = right_axis || s.right;

  // Legend on the first line, axis captions on the second, ticks and the
  // x caption below the plot.
  const double x0 = area.left() + 14 * u, x1 = area.right() - (right_axis ? 14 : 4) * u;
  const double top = area.top() + 2 * lh + 2 * u, bottom = area.bottom() - 2 * lh - 1 * u;

  Axis left, right;
  double l_lo = 1e300, l_hi = -1e300, r_lo = 1e300, r_hi = -1e300;
  for (const auto& s : c.series)
    for (const auto& pt : s.points) {
      double& lo = s.right ? r_lo : l_lo;
      double& hi = s.right ? r_hi : l_hi;
      lo = std::min(lo, pt.second);
      hi = std::max(hi, pt.second);
    }
  if (l_hi >= l_lo) left = AxisFor(l_lo, l_hi);
  if (r_hi >= r_lo) right = AxisFor(r_lo, r_hi);
  const Axis xs{c.x_min, c.x_max, 10};
  auto X = [&](double x) { return x0 + (x1 - x0) * (x - xs.lo) / (xs.hi - xs.lo); };
  auto Y = [&](const Axis& a, double y) { return bottom - (bottom - top) * (y - a.lo) / (a.hi - a.lo); };
  auto line = [&](double ax, double ay, double bx, double by, const QColor& col, double w_mm) {
    p.setPen(QPen(col, w_mm * u));
    p.drawLine(QPointF(ax, ay), QPointF(bx, by));
  };
  auto text = [&](const QRectF& r, int flags, const QString& s, const QColor& col) {
    p.setPen(col);
    p.drawText(r, flags, s);
  };

  // Grid and ticks.
  for (double y = left.lo; y <= left.hi + left.step / 1000; y += left.step) {
    line(x0, Y(left, y), x1, Y(left, y), kGrid, 0.15);
    text(QRectF(area.left(), Y(left, y) - lh / 2, x0 - area.left() - 1.5 * u, lh), Qt::AlignRight | Qt::AlignVCenter,
         Tick(y, left.step), kGrey);
  }
  if (right_axis)
    for (double y = right.lo; y <= right.hi + right.step / 1000; y += right.step)
      text(QRectF(x1 + 1.5 * u, Y(right, y) - lh / 2, area.right() - x1 - 1.5 * u, lh),
           Qt::AlignLeft | Qt::AlignVCenter, Tick(y, right.step), kGrey);
  for (double x = xs.lo; x <= xs.hi + xs.step / 1000; x += xs.step) {
    line(X(x), top, X(x), bottom, kGrid, 0.15);
    text(QRectF(X(x) - 8 * u, bottom + 0.8 * u, 16 * u, lh), Qt::AlignHCenter | Qt::AlignTop, Tick(x, xs.step), kGrey);
  }
  line(x0, top, x0, bottom, kGrey, 0.3);
  line(x0, bottom, x1, bottom, kGrey, 0.3);
  line(x1, top, x1, bottom, right_axis ? kGrey : kRule, right_axis ? 0.3 : 0.2);
  line(x0, top, x1, top, kRule, 0.2);
  text(QRectF(x0, bottom + lh + 0.8 * u, x1 - x0, lh), Qt::AlignHCenter | Qt::AlignTop, Q(c.x_caption), kGrey);
  text(QRectF(area.left(), top - lh - 1 * u, (x1 - area.left()) / 2, lh), Qt::AlignLeft | Qt::AlignVCenter,
       Q(c.y_caption), kGrey);
  if (right_axis)
    text(QRectF((x0 + area.right()) / 2, top - lh - 1 * u, area.right() - (x0 + area.right()) / 2, lh),
         Qt::AlignRight | Qt::AlignVCenter, Q(c.y2_caption), kGrey);

  // The case's own flow.
  const double xm = X(c.mark_x);
  p.setPen(QPen(kGrey, 0.25 * u, Qt::DotLine));
  p.drawLine(QPointF(xm, top), QPointF(xm, bottom));
  text(QRectF(xm + 1 * u, top + 0.5 * u, 30 * u, lh), Qt::AlignLeft | Qt::AlignTop, Q(c.mark_caption), kGrey);

  // Legend across the top line.
  double lx = x0;
  for (const auto& s : c.series) {
    if (s.caption.empty()) continue;
    const double ly = area.top() + lh / 2;
    line(lx, ly, lx + 6 * u, ly, InkColor(s.ink), 0.6);
    const QString caption = Q(s.caption) + (s.right ? QStringLiteral(" →") : QString());
    const double w = fm.horizontalAdvance(caption);
    text(QRectF(lx + 7.5 * u, area.top(), w + 1, lh), Qt::AlignLeft | Qt::AlignVCenter, caption, kInk);
    lx += 7.5 * u + w + 5 * u;
  }

  for (const auto& s : c.series) {
    const Axis& a = s.right ? right : left;
    QPainterPath path;
    for (size_t i = 0; i < s.points.size(); ++i) {
      const QPointF pt(X(s.points[i].first), Y(a, s.points[i].second));
      if (i == 0) path.moveTo(pt);
      else path.lineTo(pt);
    }
    QPen pen(InkColor(s.ink), 0.5 * u, s.dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(InkColor(s.ink));
    for (const auto& pt : s.points) p.drawEllipse(QPointF(X(pt.first), Y(a, pt.second)), 0.45 * u, 0.45 * u);
    if (s.mark) {
      p.setBrush(kInk);
      p.drawEllipse(QPointF(xm, Y(a, *s.mark)), 0.9 * u, 0.9 * u);
    }
  }
  p.restore();
}

}  // namespace phe::sheet
