// The help window: the built-in pages open by topic number and link to each
// other; a topic without a page still says something useful; help never
// keeps the program running. The dialogs' Help buttons.
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "app/format_form.h"
#include "app/help_viewer.h"
#include "app/main_form.h"
#include "app/qt_ui_services.h"
#include "app/toolbar_icons.h"
#include "dialogs/curve_form.h"
#include "dialogs/param_form.h"
#include "tests/gui/scripted_ui.h"
#include "tests/gui/gui_test_util.h"

namespace rara::test {
namespace {

TEST(HelpViewer, PagesOpenByTopicAndLinkToEachOther) {
  THelpViewer viewer;
  QTextBrowser* browser = viewer.Browser();
  EXPECT_TRUE(THelpViewer::HasTopic(0));
  EXPECT_TRUE(THelpViewer::HasTopic(100));
  EXPECT_TRUE(THelpViewer::HasTopic(200));

  viewer.ShowTopic(100);
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(browser->documentTitle(), "The parameters dialog");
  EXPECT_TRUE(browser->toPlainText().contains("Trial division bound"));

  viewer.ShowTopic(200);
  EXPECT_EQ(browser->documentTitle(), "The curve dialog");
  EXPECT_TRUE(browser->toPlainText().contains("[163,7,6,3,0]"));

  viewer.ShowContents();
  EXPECT_EQ(browser->documentTitle(), "Contents");
  // Relative links of the pages resolve inside the built-in pages.
  browser->setSource(QUrl("topic_200.html"));
  EXPECT_EQ(browser->documentTitle(), "The curve dialog");
  browser->backward();
  EXPECT_EQ(browser->documentTitle(), "Contents");

  viewer.ShowTopic(4711);
  EXPECT_TRUE(browser->toPlainText().contains("There is no help page for this topic."));
}

// Closing the main window ends the program while help is open, and the help
// window closes with it.
TEST(HelpViewer, ClosingTheMainWindowEndsTheProgramWithHelpOpen) {
  const bool quitOnClose = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(true);  // as in the program
  TQtUiServices services;
  SetUi(&services);
  {
    TMainForm form;
    form.show();
    QTest::mouseClick(form.findChild<QToolButton*>("BtnHelp"), Qt::LeftButton);
    ASSERT_TRUE(services.HelpViewer().isVisible());
    QTimer::singleShot(0, &form, [&form] { QTest::mouseClick(form.findChild<QToolButton*>("BtnExit"), Qt::LeftButton); });
    QTimer stuck;  // the program kept running: end the loop with a mark
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    stuck.start(5000);
    EXPECT_EQ(QApplication::exec(), 0) << "the program kept running after Exit";
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(services.HelpViewer().isVisible());
  }
  SetUi(&ScriptedUi());
  QApplication::setQuitOnLastWindowClosed(quitOnClose);
}

// The Help buttons of the three dialogs show the toolbar's blue "?".
TEST(HelpViewer, DialogHelpButtonsShowTheToolbarPicture) {
  const auto image = [](const QIcon& icon) { return icon.pixmap(QSize(21, 21)).toImage(); };
  const QImage toolbar = image(ToolIcon(TToolPicture::Help));
  TMainForm form;
  EXPECT_TRUE(image(form.findChild<QToolButton*>("BtnHelp")->icon()) == toolbar);
  TFormatForm options(&form);
  TParamForm params;
  TCurveForm curve;
  for (const auto& [dialog, name] : {std::pair<QWidget*, const char*>{&options, "BtnHelp"},
                                     {&params, "HelpBtn"}, {&curve, "HelpBtn"}}) {
    auto* button = dialog->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << dialog->objectName().toStdString();
    EXPECT_TRUE(image(button->icon()) == toolbar) << dialog->objectName().toStdString();
  }
}

}  // namespace
}  // namespace rara::test
