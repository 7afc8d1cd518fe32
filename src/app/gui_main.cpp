// pheselect: the selection window.
//
//   pheselect                      opens the window
//   pheselect --lang zh|en         opens the window in Chinese or English
//   pheselect --screenshot FILE    enters a water/water design case, runs it,
//                                  saves the window as a PNG and exits
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>
#include <memory>
#include <string>

#include "db/database.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace {

// The case of the documentation screenshot, that of
// examples/water_water_auto.json: 90/70 ℃ water heating water from 50 to
// 65 ℃, 500 kW, 10 % margin; the flows are left to the heat balance.
int TakeScreenshot(phe::MainWindow& window, const QString& file) {
  window.SetMessageHook([](const phe::RecordedMessage& m) {
    std::fprintf(stderr, "%s: %s\n", m.title.c_str(), m.text.c_str());
    return m.buttons == phe::MsgButtons::kYesNo ? phe::MsgAnswer::kYes : phe::MsgAnswer::kOk;
  });
  const std::pair<const char*, const char*> inputs[] = {
      {"Txt_Th1", "90"}, {"Txt_Tc1", "50"}, {"Txt_Th2", "70"}, {"Txt_Tc2", "65"},
      {"Txt_Wq", "500"}, {"Txt_GF1", "10"}};
  for (const auto& [control, text] : inputs) window.EnterText(control, text);
  window.RunButton()->click();
  QApplication::processEvents();
  if (!window.grab().save(file, "PNG")) {
    std::fprintf(stderr, "pheselect: cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(phe::qt::CaptionFont());

  QString screenshot;
  QString language;  // for this session only; the menu's choice is kept
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) {
      screenshot = args[++i];
    } else if (args[i] == QLatin1String("--lang") && i + 1 < args.size()) {
      language = args[++i];
      if (language != QLatin1String("zh") && language != QLatin1String("en")) {
        std::fprintf(stderr, "pheselect: --lang takes zh or en, not %s\n",
                     language.toLocal8Bit().constData());
        return 2;
      }
    } else {
      std::fprintf(stderr, "pheselect: unknown argument %s\nusage: pheselect [--lang zh|en] [--screenshot FILE]\n",
                   args[i].toLocal8Bit().constData());
      return 2;
    }
  }

  const std::string path = phe::DefaultDatabasePath();
  std::unique_ptr<phe::Database> db;
  try {
    db = phe::Database::Open(path);
  } catch (const phe::DbError& e) {
    const QString text = QStringLiteral("无法打开工程数据库文件：\n%1\n程序将退出。")
                             .arg(QString::fromStdString(path));
    std::fprintf(stderr, "pheselect: %s\n", e.what());
    if (screenshot.isEmpty()) {
      QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok);
      box.setDetailedText(QString::fromUtf8(e.what()));
      box.exec();
    }
    return 3;
  }

  phe::MainWindow window(std::move(db));
  if (!language.isEmpty()) window.SetLanguage(language, false);
  window.show();
  if (!screenshot.isEmpty()) return TakeScreenshot(window, screenshot);
  return app.exec();
}
