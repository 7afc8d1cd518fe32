#include "app/cli_sheet.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "sheet/sheet.h"

#ifdef PHE_SHEET_PDF
#include <QGuiApplication>

#include "sheet/qt/sheet_pdf.h"
#endif

namespace phe::cli {

#ifdef PHE_SHEET_PDF
namespace {

// The offscreen platform's note about a missing runtime folder means nothing
// for a PDF; everything else Qt says goes to stderr as usual.
void QtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::cerr << text.toStdString() << "\n";
}

}  // namespace
#endif

int SheetRequest::Take(int argc, char** argv, int i) {
  const std::string a = argv[i];
  if (a != "--sheet" && a != "--lang") return 0;
  if (i + 1 >= argc) {
    error = a + " needs a value";
    return -1;
  }
  const std::string v = argv[i + 1];
  if (a == "--sheet") {
    path = v;
  } else {
    sheet::Lang l;
    if (!sheet::ParseLang(v, &l)) {
      error = "--lang must be zh or en, not \"" + v + "\"";
      return -1;
    }
    lang = v;
  }
  return 2;
}

int SheetRequest::Write(CaseSession& session, const std::vector<CaseInput>& cases,
                        const nlohmann::json& last_output) const {
  if (!session.last_run_has_result) {
    std::cerr << "pheselect-cli: the last run ended without a result; no sheet written\n";
    return 1;
  }
#ifdef PHE_SHEET_PDF
  sheet::Meta meta;
  // A heading given by an earlier run of the session still holds.
  for (const auto& c : cases) {
    if (!c.project.empty()) meta.project = c.project;
    if (!c.item.empty()) meta.item = c.item;
    if (!c.customer.empty()) meta.customer = c.customer;
  }
  char when[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", std::localtime(&now));
  meta.when = when;
  std::vector<std::string> messages;
  for (const auto& m : last_output["messages"]) messages.push_back(m["text"].get<std::string>());
  sheet::Lang l = sheet::Lang::kZh;
  sheet::ParseLang(lang, &l);
  sheet::Document doc = sheet::BuildSheet(session.state, session.env, messages, meta, l);
  if (session.last_alternatives) sheet::AppendAlternatives(doc, *session.last_alternatives, l);

  // No screen needed for a PDF.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QtMessage);
  int qt_argc = 1;
  char name[] = "pheselect-cli";
  char* qt_argv[] = {name, nullptr};
  QGuiApplication app(qt_argc, qt_argv);
  if (sheet::SheetFontFamily().isEmpty()) {
    std::cerr << "pheselect-cli: font Noto Sans CJK SC not found (package fonts-noto-cjk); no sheet written\n";
    return 1;
  }
  std::string error;
  if (!sheet::WritePdf(doc, path, &error)) {
    std::cerr << "pheselect-cli: sheet not written: " << error << "\n";
    return 4;
  }
  return 0;
#else
  (void)cases;
  (void)last_output;
  std::cerr << "pheselect-cli: built without Qt, cannot write the sheet \"" << path << "\"\n";
  return 1;
#endif
}

}  // namespace phe::cli
