// Paints a chart of the sheet with Qt's painter: the PDF and print layout and
// the window's operating-curves view draw the same picture with it.
#pragma once

#include <QRectF>
#include <QString>

#include "sheet/sheet.h"

class QPainter;

namespace phe::sheet {

// Axes, ticks, captions, legend, curves and the case's mark inside `area`
// (device pixels); `px_per_mm` scales line widths and gaps, `family` is the
// font family. The title and the note are left to the caller.
void PaintChart(QPainter& painter, const QRectF& area, const Chart& chart, const QString& family,
                double px_per_mm);

}  // namespace phe::sheet
