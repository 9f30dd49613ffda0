// The curve page's "Checks…" entry and its window.
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/checks_form.h"
#include "app/help_viewer.h"
#include "curves/ec_point_count.h"
#include "tests/gui/main_form_fixture.h"

namespace rara::test {
namespace {

QAction* ChecksItem(QMenu& menu) { return menu.findChild<QAction*>(QStringLiteral("ChecksItem")); }

TEST_F(MainFormTest, ChecksShowTheCountTheProofAndTheVerdicts) {
  std::unique_ptr<QMenu> menu(form->CreateEdit2Menu());
  ASSERT_NE(ChecksItem(*menu), nullptr);
  EXPECT_FALSE(ChecksItem(*menu)->isEnabled());  // no curve yet
  Click("BtnNewParams");
  Click("BtnNewCurve");
  Click("BtnNewPoint");
  menu.reset(form->CreateEdit2Menu());
  ASSERT_TRUE(ChecksItem(*menu)->isEnabled());
  ChecksItem(*menu)->trigger();

  auto* window = form->findChild<TChecksForm*>(QStringLiteral("ChecksForm"));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  const QString text = window->findChild<QPlainTextEdit*>(QStringLiteral("ChecksText"))->toPlainText();
  // The count is the curve's own, and equals K*R.
  TECGF2Data& d = form->Data();
  TInteger count, kr(d.K);
  ECPointCount(count, d.Curve.Field(), d.Curve.A(), d.Curve.B());
  IMul(kr, d.R);
  EXPECT_TRUE(IEqual(count, kr));
  std::string dec;
  IStr(count, 10, 0, false, false, dec);
  // Numbers are written in groups of digits, as in the reports.
  EXPECT_TRUE(QString(text).remove(' ').contains(QStringLiteral("Pointcount#E=") + QString::fromStdString(dec) + '\n'))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Order: proven #E = K*R"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("PASS  point_count"))) << text.toStdString();
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty());

  // One window: asking again refreshes it; F1 and Help open its page.
  menu.reset(form->CreateEdit2Menu());
  ChecksItem(*menu)->trigger();
  EXPECT_EQ(form->findChildren<TChecksForm*>().size(), 1);
  QTest::keyClick(window, Qt::Key_F1);
  QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("BtnHelp")), Qt::LeftButton);
  EXPECT_EQ(ScriptedUi().Topics, (std::vector<int>{TChecksForm::HelpTopic, TChecksForm::HelpTopic}));
  EXPECT_TRUE(THelpViewer::HasTopic(TChecksForm::HelpTopic));
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace rara::test
