// pheselect: the selection window.
//
//   pheselect [CASE.phe.json]       opens the window, with the case file if given
//   pheselect --lang zh|en         the window in Chinese or English this time
//   pheselect --screenshot FILE    enters a water/water design case, runs it,
//                                  saves the window as a PNG, prints how it
//                                  lies on the screen and exits
//   pheselect --help | --version
//
// Without a display it runs the case (or the example case) through
// pheselect-cli instead of failing inside the toolkit.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "ui/qt/case_files.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

#ifndef PHE_SOURCE_DIR
#define PHE_SOURCE_DIR ""
#endif

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: pheselect [--lang zh|en] [CASE.phe.json]\n"
    "       pheselect [--lang zh|en] --screenshot FILE\n"
    "       pheselect --help | --version\n"
    "\n"
    "  CASE.phe.json      open this case file (the format of pheselect-cli --case)\n"
    "  --lang zh|en       Chinese or English this time (the menu's choice is kept)\n"
    "  --screenshot FILE  enter the case of examples/water_water_auto.json, press Run,\n"
    "                     save the window as a PNG and exit (needs no display); with\n"
    "                     --lang the window opens in the other language and is\n"
    "                     switched, as from the menu; prints the window's place on\n"
    "                     the screen and whether its panel scrolls\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "Without a display the case, or examples/water_water_auto.json, is run through\n"
    "pheselect-cli and its JSON printed.\n";

struct Options {
  bool help = false;
  bool version = false;
  std::string screenshot;
  std::string case_file;
  std::string language;
};

bool Has(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// Qt would abort on a machine without one ("could not connect to display").
bool NoDisplay() {
#ifdef __linux__
  return !Has("DISPLAY") && !Has("WAYLAND_DISPLAY") && !Has("QT_QPA_PLATFORM");
#else
  return false;
#endif
}

std::string ExampleCase(const fs::path& exe_dir) {
  const fs::path name = fs::path("examples") / "water_water_auto.json";
  for (const fs::path& root : {exe_dir, exe_dir.parent_path(), exe_dir.parent_path().parent_path(),
                               fs::path(PHE_SOURCE_DIR)}) {
    if (root.empty()) continue;
    std::error_code ec;
    if (fs::is_regular_file(root / name, ec)) return (root / name).string();
  }
  return {};
}

// Runs the case through the command-line driver in place of this program; on
// success it does not return.
int RunWithoutDisplay(std::string case_file) {
  const fs::path exe_dir = phe::ExecutableDir();
  const std::string cli = (exe_dir / "pheselect-cli").string();
  if (case_file.empty()) case_file = ExampleCase(exe_dir);
  if (case_file.empty() || ::access(cli.c_str(), X_OK) != 0) {
    std::fprintf(stderr,
                 "pheselect: 未找到图形显示，无法打开窗口 / no display found; run a case "
                 "without one: pheselect-cli --case examples/water_water_auto.json\n");
    return 0;
  }
  std::fprintf(stderr,
               "pheselect: 未找到图形显示，改用命令行驱动运行案例 / no display found, running "
               "the case with the command-line driver: %s --case %s\n",
               cli.c_str(), case_file.c_str());
  std::fflush(stderr);
  std::vector<char*> argv = {const_cast<char*>(cli.c_str()), const_cast<char*>("--case"),
                             case_file.data(), nullptr};
  ::execv(cli.c_str(), argv.data());
  std::perror("pheselect: cannot start pheselect-cli");
  return 1;
}

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
  // Where the window lies: the frame within the screen's free area, and
  // whether the panel needs its scroll bars.
  const QRect frame = window.frameGeometry();
  const QRect avail = window.screen() ? window.screen()->availableGeometry() : QRect();
  std::printf("window %dx%d%+d%+d available %dx%d%+d%+d horizontal_scroll %d vertical_scroll %d\n",
              frame.width(), frame.height(), frame.x(), frame.y(), avail.width(), avail.height(),
              avail.x(), avail.y(), window.PanelScrolls(Qt::Horizontal) ? 1 : 0,
              window.PanelScrolls(Qt::Vertical) ? 1 : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Read before the toolkit starts: --help and --version need no display.
  Options opt;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      opt.help = true;
    } else if (a == "--version") {
      opt.version = true;
    } else if (a == "--screenshot" && i + 1 < argc) {
      opt.screenshot = argv[++i];
    } else if (a == "--lang" && i + 1 < argc) {
      opt.language = argv[++i];
      if (opt.language != "zh" && opt.language != "en") {
        std::fprintf(stderr, "pheselect: --lang takes zh or en, not %s\n", opt.language.c_str());
        return 2;
      }
    } else if (!a.empty() && a[0] != '-' && opt.case_file.empty()) {
      opt.case_file = a;
    } else {
      std::fprintf(stderr, "pheselect: unknown argument %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (opt.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (opt.version) {
    std::printf("pheselect %s\n", PHE_VERSION);
    return 0;
  }
  if (NoDisplay()) {
    // A picture needs no screen.
    if (!opt.screenshot.empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    else return RunWithoutDisplay(opt.case_file);
  }

  QApplication app(argc, argv);
  QApplication::setFont(phe::qt::CaptionFont());
  const QString screenshot = QString::fromLocal8Bit(opt.screenshot.c_str());

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
  const QString language = QString::fromStdString(opt.language);
  if (!screenshot.isEmpty() && !language.isEmpty()) {
    // The picture shows the relayout after a switch in a running window.
    window.SetLanguage(language == QLatin1String("en") ? QStringLiteral("zh") : QStringLiteral("en"), false);
    window.show();
    QApplication::processEvents();
    window.SetLanguage(language, false);
    QApplication::processEvents();
  } else if (!language.isEmpty()) {
    window.SetLanguage(language, false);
  }
  window.show();
  if (!screenshot.isEmpty()) return TakeScreenshot(window, screenshot);
  if (!opt.case_file.empty()) window.Files().OpenFile(QString::fromLocal8Bit(opt.case_file.c_str()));
  return app.exec();
}
