// Fonts, colours and the busy-cursor pictures of the window.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>
#include <array>
#include <string_view>

class QGroupBox;
class QLabel;
class QWidget;

namespace phe::qt {

// A UTF-8 text of the core as Qt's string.
inline QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Fields, lists and unit labels.
QFont FieldFont();
// Frame, row and option captions, menus and message boxes.
QFont CaptionFont();
// Menu entries whose columns are aligned with blanks.
QFont ReferenceMenuFont();

// Row and frame captions and unit labels, from their Chinese source texts
// (translated, and redone when the language changes).
QLabel* Caption(const QString& chinese);
QLabel* Unit(const QString& chinese);
QGroupBox* Frame(const QString& chinese);

// The application's style with a plain, strong focus mark on push buttons
// (the default is a faint tint); installed once, by the first window.
void UseClearFocusStyle();

// Hot-side fields red, every other field blue, both on white. The disabled
// look stays the style's own so a switched-off field reads as such.
void PaintField(QWidget* field, bool hot_side);

// The four 32 x 32 pictures of the busy cursor: 0 to 2 are the animation
// (a bright segment going round a ring), 3 is the ring at rest.
std::array<QPixmap, 4> MakeCursorPictures();

}  // namespace phe::qt
