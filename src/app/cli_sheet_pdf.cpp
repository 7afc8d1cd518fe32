// The PDF renderer of pheselect-cli, a module of its own that the program
// loads only when a sheet is asked for: a run without --sheet needs no Qt.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "sheet/qt/sheet_pdf.h"
#include "sheet/sheet.h"

namespace {

// The offscreen platform's note about a missing runtime folder means nothing
// for a PDF; everything else Qt says goes to stderr as usual.
void QtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::cerr << text.toStdString() << "\n";
}

}  // namespace

extern "C" int phe_cli_write_sheet_pdf(const phe::sheet::Document& doc, const std::string& path) {
  // No screen needed for a PDF.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QtMessage);
  int qt_argc = 1;
  char name[] = "pheselect-cli";
  char* qt_argv[] = {name, nullptr};
  QGuiApplication app(qt_argc, qt_argv);
  if (phe::sheet::SheetFontFamily().isEmpty()) {
    std::cerr << "pheselect-cli: font Noto Sans CJK SC not found (package fonts-noto-cjk); no sheet written\n";
    return 1;
  }
  std::string error;
  if (!phe::sheet::WritePdf(doc, path, &error)) {
    std::cerr << "pheselect-cli: sheet not written: " << error << "\n";
    return 4;
  }
  return 0;
}
