// "工况曲线" in the window: after a run with a result, the view holds the
// curves of that run's pack, drawn by the sheet's painter with the case's
// point on them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "db/database.h"
#include "ui/qt/curves_dialog.h"
#include "ui/qt/main_window.h"
#include "support/scratch.h"

namespace phe {
namespace {

namespace fs = std::filesystem;

// Pixels near a colour: the painter drew that ink.
int PixelsNear(const QImage& img, QColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2) {
      const QColor p = img.pixelColor(x, y);
      n += std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 40;
    }
  return n;
}

// Guards a view that stays empty or shows another pack than the run's: the
// entry is off before any result, and after a simulation the charts carry
// 9 points a side through the case's own outlets and drops, painted.
TEST(CurvesWindow, TheViewShowsTheCurvesOfTheLastResult) {
  const fs::path dir = phe::testing::ScratchDir() / ("qt_curves_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string db = (dir / "window.mdb").string();
  fs::copy_file(DefaultDatabasePath(), db, fs::copy_options::overwrite_existing);
  {
    MainWindow window(Database::Open(db));
    window.SetMessageHook([](const RecordedMessage&) { return MsgAnswer::kOk; });
    window.show();
    CurvesDialog& dialog = window.Curves();
    EXPECT_FALSE(dialog.MenuEntry()->isEnabled());
    for (const char* option : {"opt_br(3)", "opt_br(6)"})
      qobject_cast<QAbstractButton*>(window.Control(option))->click();
    for (const auto& [control, text] : std::vector<std::pair<std::string, std::string>>{
             {"Txt_Th1", "90"}, {"Txt_Tc1", "50"}, {"Txt_Qh", "22.1"}, {"Txt_Qc", "29.1"},
             {"com_br", "PX50B"}, {"com_zh", "L"}, {"Txt_nh", "20"}, {"Txt_nl", "0"}})
      window.EnterText(control, text);
    window.RunButton()->click();
    ASSERT_TRUE(dialog.MenuEntry()->isEnabled());
    dialog.MenuEntry()->trigger();
    ASSERT_TRUE(dialog.isVisible());

    const SelectionState& s = window.state();
    const auto& heat = dialog.View(0)->Chart();
    const auto& drops = dialog.View(1)->Chart();
    ASSERT_TRUE(heat && drops);
    ASSERT_EQ(heat->series.size(), 6u);  // two outlets and the duty, for each flow varied
    ASSERT_EQ(drops->series.size(), 4u);
    for (const auto& series : heat->series) EXPECT_EQ(series.points.size(), 9u);
    EXPECT_NEAR(*heat->series[1].mark, s.t_c_out, 1e-9);
    EXPECT_NEAR(heat->series[1].points[6].second, s.t_c_out, 0.01);
    EXPECT_NEAR(*drops->series[0].mark, s.dp_h, 1e-9);

    const QImage img = dialog.grab().toImage();
    if (const char* png = std::getenv("PHE_CURVES_PNG")) img.save(QString::fromLocal8Bit(png));
    EXPECT_GT(PixelsNear(img, QColor(0xc0, 0x39, 0x2b)), 50);
    EXPECT_GT(PixelsNear(img, QColor(0x1f, 0x6f, 0xb5)), 50);
    EXPECT_GT(PixelsNear(img, QColor(0x2e, 0x7d, 0x32)), 50);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace phe
