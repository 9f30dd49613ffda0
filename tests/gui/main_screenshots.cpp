// Pictures of the main window and the display options dialog on a real
// display, for the documentation. Runs only when RARA_MAIN_SCREENSHOTS names
// a directory (scripts/screenshot_main.sh starts it under Xvfb).
#include <QDir>
#include <QTimer>

#include "app/format_form.h"
#include "tests/gui/main_form_fixture.h"

namespace rara::test {
namespace {

void Settle() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QTest::qWait(10);
  }
}

TEST_F(MainFormTest, ScreenshotsOfTheMainWindow) {
  const QString dir = qEnvironmentVariable("RARA_MAIN_SCREENSHOTS");
  if (dir.isEmpty()) GTEST_SKIP() << "RARA_MAIN_SCREENSHOTS not set";
  ASSERT_TRUE(QDir().mkpath(dir));
  const auto save = [&](QWidget& w, const char* name) {
    Settle();
    const QString file = QDir(dir).filePath(QString::fromLatin1(name));
    EXPECT_TRUE(w.grab().save(file)) << file.toStdString();
  };

  Click("BtnNewParams");
  save(*form, "main_parameters.png");

  Click("BtnNewCurve");
  for (int i = 0; i < 2; ++i) Click("BtnNewPoint");
  save(*form, "main_curve_points.png");

  GoToPage(1);
  ScriptedUi().Answers = {true};
  Click("BtnClear");
  TFormatForm options(form.get());
  options.show();
  save(options, "display_options.png");
  options.reject();
}

}  // namespace
}  // namespace rara::test
