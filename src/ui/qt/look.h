// Fonts, colours and the busy-cursor pictures of the window.
#pragma once

#include <QFont>
#include <QPixmap>
#include <array>

class QWidget;

namespace phe::qt {

// Fields, lists and unit labels.
QFont FieldFont();
// Frame, row and option captions, menus and message boxes.
QFont CaptionFont();
// Menu entries whose columns are aligned with blanks.
QFont ReferenceMenuFont();

// Hot-side fields red, every other field blue, both on white. The disabled
// look stays the style's own so a switched-off field reads as such.
void PaintField(QWidget* field, bool hot_side);

// The four 32 x 32 pictures of the busy cursor: 0 to 2 are the animation
// (a bright segment going round a ring), 3 is the ring at rest.
std::array<QPixmap, 4> MakeCursorPictures();

}  // namespace phe::qt
