// Display options: the dialog's controls and working copy, OK and Cancel, and
// the settings read by the reports built afterwards.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include "app/format_form.h"
#include "tests/gui/main_form_fixture.h"

namespace rara::test {
namespace {

// Runs `script` on the display options dialog once the main window has
// opened it modally.
void OnFormatForm(std::function<void(TFormatForm&)> script) {
  QTimer::singleShot(0, [script] {
    auto* dialog = qobject_cast<TFormatForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    script(*dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the dialog is still open";
      dialog->reject();
    }
  });
}

template <class T>
T& Child(QWidget& w, const char* name) {
  auto* c = w.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(c, nullptr) << name;
  return *c;
}

TEST_F(MainFormTest, DisplayOptionsDialogControls) {
  TFormatForm dialog;
  EXPECT_EQ(dialog.windowTitle(), " Display options");
  EXPECT_EQ(dialog.size(), QSize(259, 143));
  EXPECT_EQ(Child<QWidget>(dialog, "PolyBox").property("title").toString(), "&Polynomials over GF(2)");
  EXPECT_EQ(Child<QRadioButton>(dialog, "P01RadioBtn").text(), "&Binary string");
  EXPECT_EQ(Child<QRadioButton>(dialog, "P16RadioBtn").text(), "He&xadecimal string");
  EXPECT_EQ(Child<QCheckBox>(dialog, "OrderCheckBox").text(), "&Reversed bit order with normal basis");
  EXPECT_TRUE(Child<QRadioButton>(dialog, "P16RadioBtn").isChecked());
  EXPECT_FALSE(Child<QCheckBox>(dialog, "OrderCheckBox").isChecked());
  Child<QPushButton>(dialog, "BtnHelp").click();
  EXPECT_EQ(ScriptedUi().Topics, std::vector<int>{50});

  // The dialog opens on the current settings.
  DisplaySettings().Binary = true;
  DisplaySettings().Reversed = true;
  TFormatForm again;
  EXPECT_TRUE(Child<QRadioButton>(again, "P01RadioBtn").isChecked());
  EXPECT_TRUE(Child<QCheckBox>(again, "OrderCheckBox").isChecked());
  EXPECT_TRUE(again.WorkBinary());
  EXPECT_TRUE(again.WorkReversed());
}

TEST_F(MainFormTest, CancelAfterChangingBothControlsChangesNothing) {
  bool worked = false;
  OnFormatForm([&](TFormatForm& d) {
    Child<QRadioButton>(d, "P01RadioBtn").click();
    Child<QCheckBox>(d, "OrderCheckBox").click();
    worked = d.WorkBinary() && d.WorkReversed();
    QTest::mouseClick(&Child<QPushButton>(d, "BtnCancel"), Qt::LeftButton);
  });
  Click("BtnFormat");
  EXPECT_TRUE(worked);
  EXPECT_FALSE(DisplaySettings().Binary);
  EXPECT_FALSE(DisplaySettings().Reversed);
  EXPECT_EQ(DisplaySettings().RepresentationName(), "hexadecimal");

  // Closing the window is a cancel too.
  OnFormatForm([&](TFormatForm& d) {
    Child<QRadioButton>(d, "P01RadioBtn").click();
    d.close();
  });
  Click("BtnFormat");
  EXPECT_FALSE(DisplaySettings().Binary);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainFormTest, BinaryChosenWithOKShowsInTheNextReport) {
  Click("BtnNewParams");
  EXPECT_TRUE(Edit(1).Lines().contains(
      "Polynomials are in hexadecimal representation and displayed with Hi..Lo bit order"));
  const QString hexW = Edit(1).Lines().filter(QRegularExpression("^W = ")).value(0);

  // Options are closed while a curve exists, open otherwise.
  ScriptedUi().Answers = {true};
  Click("BtnClear");
  OnFormatForm([&](TFormatForm& d) {
    Child<QRadioButton>(d, "P01RadioBtn").click();
    Child<QCheckBox>(d, "OrderCheckBox").click();
    QTest::mouseClick(&Child<QPushButton>(d, "BtnOK"), Qt::LeftButton);
  });
  Click("BtnFormat");
  EXPECT_TRUE(DisplaySettings().Binary);
  EXPECT_TRUE(DisplaySettings().Reversed);
  EXPECT_EQ(DisplaySettings().RepresentationName(), "binary");

  Click("BtnNewParams");
  EXPECT_TRUE(Edit(1).Lines().contains(
      "Polynomials are in binary representation and displayed with Hi..Lo bit order"));
  const QString binW = Edit(1).Lines().filter(QRegularExpression("^W = ")).value(0);
  EXPECT_NE(binW, hexW);
  EXPECT_TRUE(QRegularExpression("^W = [01 ]+$").match(binW).hasMatch()) << binW.toStdString();

  Click("BtnNewCurve");
  EXPECT_FALSE(Enabled("BtnFormat"));
  EXPECT_TRUE(Edit(2).Lines().contains(
      "Except field polynomial that may be represented with an array of degrees, polynomials are in binary "
      "representation"));
}

}  // namespace
}  // namespace rara::test
