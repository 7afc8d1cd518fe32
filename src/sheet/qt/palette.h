// The sheet's colours and text conversion, shared by the page and the chart
// painters so that a chart reads the same on the sheet and in the window.
#pragma once

#include <QColor>
#include <QString>

#include <string>

namespace phe::sheet {

inline QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline const QColor kInk(0x20, 0x20, 0x20);
inline const QColor kGrey(0x6a, 0x6a, 0x6a);
inline const QColor kRule(0xb8, 0xc2, 0xcc);
inline const QColor kHot(0xc0, 0x39, 0x2b);
inline const QColor kCold(0x1f, 0x6f, 0xb5);

}  // namespace phe::sheet
