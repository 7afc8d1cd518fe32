// Lays a calculation sheet out on A4 portrait pages with Qt's painter: into a
// PDF file, or onto any paged device (a printer). Needs a QGuiApplication.
#pragma once

#include <QString>
#include <string>

#include "sheet/sheet.h"

class QPagedPaintDevice;

namespace phe::sheet {

// Paints every page onto the device, which is set to A4 portrait first.
// Returns the number of pages.
int Render(const Document& doc, QPagedPaintDevice& device);

// Writes the sheet as a PDF with its fonts embedded. False with the reason in
// *error when the file cannot be written.
bool WritePdf(const Document& doc, const std::string& path, std::string* error);

// The family the sheet is set in (Noto Sans CJK, loaded from the font
// package when the system does not list it); empty when none is found.
QString SheetFontFamily();

}  // namespace phe::sheet
