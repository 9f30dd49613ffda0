// Main window: start-up state, hints, the four flags and the command states
// on both pages, the close query and the clear confirmations, errors from the
// dialogs, and the rendered reports against the report builder.
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>

#include "integers/errors.h"
#include "integers/settings.h"
#include "reports/reports.h"
#include "tests/gui/main_form_fixture.h"

namespace rara::test {
namespace {

// Order of Commands(): Copy, NewParams, NewCurve, NewPoint, Save, Print, Format, Clear.

TEST_F(MainFormTest, StartsEmptyWithFourCommandsAndGreyedPages) {
  EXPECT_EQ(form->windowTitle(), " Rara 1.2 - Zovozeri");
  EXPECT_EQ(form->size(), QSize(540, 413));
  EXPECT_EQ(Commands(), "01000010");
  EXPECT_FALSE(form->PageLit(1));
  EXPECT_FALSE(form->PageLit(2));
  EXPECT_EQ(Book().currentIndex(), 0);
  EXPECT_EQ(Book().tabText(0), "Curve Parameters");
  EXPECT_EQ(Book().tabText(1), "Curve and Points");
  EXPECT_FALSE(form->HaveParams() || form->ParamsSaved() || form->HaveCurve() || form->CurveSaved());
  EXPECT_EQ(form->UnsavedText(), "");
  EXPECT_TRUE(form->HelpFile().endsWith(".hlp"));
  EXPECT_TRUE(SecureWipe);
  EXPECT_FALSE(StrShowSign);
  EXPECT_FALSE(StrZeroPad);
  auto* label = form->findChild<QLabel*>("FreeLabel");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "");
  EXPECT_EQ(form->findChild<QWidget*>("SpeedBar")->height(), 31);
  EXPECT_EQ(form->findChild<QStatusBar*>("StatusBar")->height(), 21);
}

TEST_F(MainFormTest, ToolbarButtonsInOrderWithTheirHints) {
  const char* names[] = {"BtnExit", "BtnFormat", "BtnNewParams", "BtnNewCurve", "BtnNewPoint",
                         "BtnSave", "BtnPrint",  "BtnCopy",      "BtnClear",    "BtnHelp"};
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(Btn(names[i]).geometry(), QRect(2 + 27 * i, 2, 27, 27));
    EXPECT_TRUE(Btn(names[i]).autoRaise());
    EXPECT_FALSE(Btn(names[i]).icon().isNull());
  }
  struct THint {
    const char* name;
    const char* tip;
    const char* status;
  };
  const THint hints[] = {
      {"BtnExit", "Quit", "Quit"},
      {"BtnNewParams", "New parameters", "Compute new curve parameters"},
      {"BtnNewCurve", "New curve", "Compute a new random curve over GF(2^N)"},
      {"BtnNewPoint", "New point", "Compute a new random point"},
      {"BtnSave", "Save current editor", "Append the current editor to the \"rara.txt\" file"},
      {"BtnPrint", "Print current editor", "Print the current editor"},
      {"BtnFormat", "Display options", "Open a dialog box to modify display options"},
      {"BtnHelp", "Help Contents", "Display the \"Help Contents\" topic"},
      {"BtnCopy", "Copy selection to clipboard", "Copy selection to clipboard"},
      {"BtnClear", "Clear data", "Clear current editor"},
  };
  for (const THint& h : hints) {
    SCOPED_TRACE(h.name);
    EXPECT_EQ(Btn(h.name).toolTip(), h.tip);
    EXPECT_EQ(Btn(h.name).statusTip(), h.status);
  }
  EXPECT_EQ(TMainForm::ShortHint("a|b|c"), "a");
  EXPECT_EQ(TMainForm::LongHint("a|b|c"), "b|c");
}

TEST_F(MainFormTest, StatusLineShowsTheLongHintAndTheWindowNoticeElsewhere) {
  const QString notice = form->StatusText();
  EXPECT_FALSE(notice.isEmpty());
  // Status tips travel up from the control under the mouse to the window.
  QStatusTipEvent over(Btn("BtnSave").statusTip());
  QApplication::sendEvent(&Btn("BtnSave"), &over);
  EXPECT_EQ(form->StatusText(), "Append the current editor to the \"rara.txt\" file");
  QStatusTipEvent leave{QString()};
  QApplication::sendEvent(&Btn("BtnSave"), &leave);
  EXPECT_EQ(form->StatusText(), notice);
}

TEST_F(MainFormTest, CommandTableThroughTheStateMachineOnBothPages) {
  // Empty, page 2: the same four commands.
  GoToPage(2);
  EXPECT_EQ(Commands(), "01000010");
  GoToPage(1);

  // Parameters.
  Click("BtnNewParams");
  ASSERT_EQ(paramsRuns, 1);
  EXPECT_FALSE(windowEnabledInDialog);
  EXPECT_TRUE(form->isEnabled());
  EXPECT_TRUE(form->HaveParams());
  EXPECT_FALSE(form->ParamsSaved());
  EXPECT_TRUE(form->PageLit(1));
  EXPECT_FALSE(form->PageLit(2));
  EXPECT_EQ(Commands(), "00101111");
  GoToPage(2);
  EXPECT_EQ(Commands(), "00100010");  // page 2 empty: nothing to save, print or clear
  EXPECT_EQ(form->UnsavedText(), "Current parameters not saved.\r\n");

  // Curve: New curve from page 2 stays there; from page 1 it switches.
  GoToPage(1);
  Click("BtnNewCurve");
  ASSERT_EQ(curveRuns, 1);
  EXPECT_FALSE(windowEnabledInDialog);
  EXPECT_EQ(Book().currentIndex(), 1);
  EXPECT_TRUE(form->HaveCurve());
  EXPECT_TRUE(form->PageLit(2));
  EXPECT_EQ(Commands(), "00011101");
  GoToPage(1);
  EXPECT_EQ(Commands(), "00001101");  // New point only on page 2
  EXPECT_EQ(form->UnsavedText(), "Current parameters and curve not saved.\r\n");

  // Points keep the state; each one makes the page savable again.
  GoToPage(2);
  const int before = Edit(2).LineCount();
  Click("BtnNewPoint");
  Click("BtnNewPoint");
  EXPECT_EQ(Edit(2).LineCount(), before + 2 * 5);
  EXPECT_EQ(Commands(), "00011101");

  // Clear on page 2 goes back to Parameters (after a confirmation).
  ScriptedUi().Answers = {true};
  Click("BtnClear");
  EXPECT_EQ(ScriptedUi().Confirms, QStringList{"Current curve not saved.\r\nClear data ?"});
  EXPECT_TRUE(form->HaveParams());
  EXPECT_FALSE(form->HaveCurve());
  EXPECT_FALSE(form->PageLit(2));
  EXPECT_FALSE(Edit(2).HasLines());
  EXPECT_EQ(Commands(), "00100010");
  GoToPage(1);
  EXPECT_EQ(Commands(), "00101111");

  // Clear on page 1 goes back to Empty.
  ScriptedUi().Answers = {true};
  Click("BtnClear");
  EXPECT_EQ(ScriptedUi().Confirms.last(), "Current parameters not saved.\r\nClear data ?");
  EXPECT_FALSE(form->HaveParams());
  EXPECT_FALSE(form->PageLit(1));
  EXPECT_FALSE(Edit(1).HasLines());
  EXPECT_EQ(Commands(), "01000010");
}

TEST_F(MainFormTest, CancelledOrFailingDialogsChangeNoFlagAndNoPage) {
  paramsAction = [](TECGF2Data&) { return false; };
  Click("BtnNewParams");
  EXPECT_FALSE(form->HaveParams());
  EXPECT_FALSE(form->PageLit(1));
  EXPECT_EQ(Commands(), "01000010");

  paramsAction = [](TECGF2Data&) -> bool { RaiseInvalidArg("GetGF2CurveParams", "N"); };
  Click("BtnNewParams");
  EXPECT_TRUE(form->isEnabled());  // enabled again on the error's way out
  EXPECT_EQ(ScriptedUi().Errors, QStringList{"GetGF2CurveParams\r\nInvalid parameter\r\nN"});
  EXPECT_FALSE(form->HaveParams());
  EXPECT_EQ(Commands(), "01000010");

  paramsAction = nullptr;
  Click("BtnNewParams");
  const QStringList page1 = Edit(1).Lines();
  curveAction = [](TECGF2Data&) { return false; };
  Click("BtnNewCurve");
  EXPECT_FALSE(form->HaveCurve());
  EXPECT_FALSE(form->PageLit(2));
  EXPECT_EQ(Book().currentIndex(), 0);
  curveAction = [](TECGF2Data&) -> bool { RaiseRuv("Ruv - Operation aborted"); };
  Click("BtnNewCurve");
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(ScriptedUi().Errors.last(), "Ruv - Operation aborted");
  EXPECT_FALSE(form->HaveCurve());
  EXPECT_EQ(Edit(1).Lines(), page1);
  EXPECT_EQ(Commands(), "00101111");
}

TEST_F(MainFormTest, CloseQueryTexts) {
  // No parameters: closes without a question.
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(ScriptedUi().Confirms.isEmpty());
  form->show();

  Click("BtnNewParams");
  ScriptedUi().Answers = {false};
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(ScriptedUi().Confirms.last(), "Current parameters not saved.\r\nQuit ?");
  EXPECT_TRUE(form->HaveParams());

  Click("BtnNewCurve");
  ScriptedUi().Answers = {false};
  EXPECT_FALSE(form->close());
  EXPECT_EQ(ScriptedUi().Confirms.last(), "Current parameters and curve not saved.\r\nQuit ?");
}

TEST_F(MainFormTest, UnsavedTextForEveryFlagCombination) {
  Click("BtnNewParams");
  Click("BtnNewCurve");
  // Mark pages saved through a Save into a scratch directory.
  const QString old = QDir::currentPath();
  QTemporaryDir dir;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  GoToPage(1);
  Click("BtnSave");
  EXPECT_EQ(form->UnsavedText(), "Current curve not saved.\r\n");
  ScriptedUi().Answers = {false};
  EXPECT_FALSE(form->close());
  EXPECT_EQ(ScriptedUi().Confirms.last(), "Current curve not saved.\r\nQuit ?");
  GoToPage(2);
  Click("BtnSave");
  EXPECT_EQ(form->UnsavedText(), "");
  ScriptedUi().Answers = {true};
  EXPECT_TRUE(form->close());
  EXPECT_EQ(ScriptedUi().Confirms.last(), "Quit ?");
  ASSERT_TRUE(QDir::setCurrent(old));
}

// A services object that also looks at the Clear button while the question is open.
class TClearWatch : public TScriptedUi {
 public:
  QToolButton* clear = nullptr;
  std::vector<bool> clearEnabled;
  bool Confirm(const QString& text) override {
    clearEnabled.push_back(clear->isEnabled());
    return TScriptedUi::Confirm(text);
  }
};

TEST_F(MainFormTest, ClearConfirmationsAndDeclining) {
  TClearWatch watch;
  watch.clear = &Btn("BtnClear");
  SetUi(&watch);
  Click("BtnNewParams");
  Click("BtnNewCurve");
  ASSERT_EQ(Book().currentIndex(), 1);

  // No on page 2: everything as before, Clear included.
  const QStringList page2 = Edit(2).Lines();
  const std::string commands = Commands();
  watch.Answers = {false};
  Click("BtnClear");
  EXPECT_EQ(watch.Confirms, QStringList{"Current curve not saved.\r\nClear data ?"});
  EXPECT_EQ(watch.clearEnabled, std::vector<bool>{false});
  EXPECT_TRUE(form->HaveCurve());
  EXPECT_EQ(Edit(2).Lines(), page2);
  EXPECT_EQ(Commands(), commands);

  // Page 1, neither saved: the combined text; No keeps both pages.
  GoToPage(1);
  watch.Answers = {false};
  Click("BtnClear");
  EXPECT_EQ(watch.Confirms.last(), "Current parameters and curve not saved.\r\nClear data ?");
  EXPECT_TRUE(form->HaveParams() && form->HaveCurve());

  // Saved parameters, unsaved curve: Yes clears both pages.
  const QString old = QDir::currentPath();
  QTemporaryDir dir;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  Click("BtnSave");
  watch.Answers = {true};
  Click("BtnClear");
  ASSERT_TRUE(QDir::setCurrent(old));
  EXPECT_EQ(watch.Confirms.last(), "Current curve not saved.\r\nClear data ?");
  EXPECT_FALSE(form->HaveParams() || form->HaveCurve() || form->ParamsSaved() || form->CurveSaved());
  EXPECT_FALSE(Edit(1).HasLines() || Edit(2).HasLines());
  EXPECT_EQ(Commands(), "01000010");
  SetUi(&ScriptedUi());
}

TEST_F(MainFormTest, SavedPagesClearWithoutAQuestion) {
  const QString old = QDir::currentPath();
  QTemporaryDir dir;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  Click("BtnNewParams");
  Click("BtnSave");
  Click("BtnNewCurve");
  Click("BtnSave");
  Click("BtnClear");  // page 2, saved
  EXPECT_TRUE(ScriptedUi().Confirms.isEmpty());
  EXPECT_FALSE(form->HaveCurve());
  GoToPage(1);
  Click("BtnClear");  // page 1, saved, no curve
  EXPECT_TRUE(ScriptedUi().Confirms.isEmpty());
  EXPECT_FALSE(form->HaveParams());
  ASSERT_TRUE(QDir::setCurrent(old));
}

TEST_F(MainFormTest, CopyFollowsTheSelectionOfTheCurrentEditor) {
  Click("BtnNewParams");
  EXPECT_FALSE(Enabled("BtnCopy"));
  QTextCursor cursor(Edit(1).document());
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::MoveAnchor, 1);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  Edit(1).setTextCursor(cursor);
  EXPECT_TRUE(Enabled("BtnCopy"));
  QApplication::clipboard()->clear();
  Click("BtnCopy");
  EXPECT_EQ(QApplication::clipboard()->text(), "Integers are in decimal representation");
  GoToPage(2);
  EXPECT_FALSE(Enabled("BtnCopy"));
  GoToPage(1);
  EXPECT_TRUE(Enabled("BtnCopy"));
  Edit(1).RemoveSelection();
  EXPECT_FALSE(Enabled("BtnCopy"));
}

TEST_F(MainFormTest, HelpButtonOpensTheContentsAndF1TheWindowTopic) {
  Click("BtnHelp");
  EXPECT_EQ(ScriptedUi().ContentsShown, 1);
  QTest::keyClick(form.get(), Qt::Key_F1);
  EXPECT_EQ(ScriptedUi().Topics, std::vector<int>{10});
}

TEST_F(MainFormTest, ExitAsksTheCloseQuery) {
  Click("BtnNewParams");
  ScriptedUi().Answers = {false};
  Click("BtnExit");
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(ScriptedUi().Confirms, QStringList{"Current parameters not saved.\r\nQuit ?"});
  ScriptedUi().Answers = {true};
  Click("BtnExit");
  EXPECT_FALSE(form->isVisible());
}

// A value wider than the editor wraps; its continuation lines start where
// the line starts, while Copy (like Save) still takes the line whole.
TEST_F(MainFormTest, WrappedLinesKeepTheLineIndent) {
  DisplaySettings().Binary = true;
  form->resize(300, 413);
  Click("BtnNewParams");
  QApplication::processEvents();
  QTextBlock w = Edit(1).document()->begin();
  while (w.isValid() && !w.text().startsWith("W = ")) w = w.next();
  ASSERT_TRUE(w.isValid());
  QTextLayout* layout = w.layout();
  ASSERT_GT(layout->lineCount(), 1) << "the line did not wrap";
  const qreal start = layout->lineAt(0).x();
  EXPECT_GT(start, 0);
  for (int i = 1; i < layout->lineCount(); ++i) EXPECT_EQ(layout->lineAt(i).x(), start) << "line " << i;

  QTextCursor cursor(w);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  Edit(1).setTextCursor(cursor);
  Click("BtnCopy");
  EXPECT_EQ(QApplication::clipboard()->text(), w.text());
  EXPECT_TRUE(Edit(1).Lines().contains(w.text()));
}

// The rendered pages hold exactly the builder's lines, each in its style.
void ExpectRendered(TReportView& view, const TReportLines& expected) {
  ASSERT_EQ(view.Lines().size(), static_cast<qsizetype>(expected.size()));
  QTextBlock block = view.document()->begin();
  for (std::size_t i = 0; i < expected.size(); ++i, block = block.next()) {
    SCOPED_TRACE(testing::Message() << "line " << i << ": " << expected[i].Text);
    ASSERT_TRUE(block.isValid());
    EXPECT_EQ(block.text().toStdString(), expected[i].Text);
    EXPECT_EQ(view.Lines()[static_cast<qsizetype>(i)].toStdString(), expected[i].Text);
    const QTextCharFormat want = TReportView::StyleFormat(expected[i].Style);
    const QTextCharFormat got = block.text().isEmpty() ? block.charFormat() : block.begin().fragment().charFormat();
    EXPECT_EQ(got.fontFamilies(), want.fontFamilies());
    EXPECT_EQ(got.fontPointSize(), want.fontPointSize());
    EXPECT_EQ(got.fontWeight(), want.fontWeight());
    EXPECT_EQ(got.fontUnderline(), want.fontUnderline());
    EXPECT_EQ(got.foreground().color(), want.foreground().color());
  }
  EXPECT_FALSE(block.isValid());
}

TEST_F(MainFormTest, ReportsEqualTheBuilderLinesWithStyles) {
  // A failed MOV check to see the red line.
  paramsAction = [](TECGF2Data& data) {
    ComputeParams64(data);
    data.MOVResult = 3;
    return true;
  };
  Click("BtnNewParams");
  TReportLines params;
  ShowParams(params, form->Data());
  ExpectRendered(Edit(1), params);
  bool sawWarning = false;
  for (QTextBlock b = Edit(1).document()->begin(); b.isValid(); b = b.next())
    if (b.text() == "Failed with threshold B = 3") {
      sawWarning = true;
      EXPECT_EQ(b.begin().fragment().charFormat().foreground().color(), QColor(Qt::red));
    }
  EXPECT_TRUE(sawWarning);

  Click("BtnNewCurve");
  Click("BtnNewPoint");
  TReportLines curve;
  ShowCurve(curve, form->Data());
  const std::size_t curveLines = curve.size();
  ShowPoint(curve, form->Data());
  // The earlier part of the page was written before the point: compare the
  // curve part's length and the whole point block.
  ASSERT_EQ(Edit(2).LineCount(), static_cast<int>(curve.size()));
  EXPECT_EQ(Edit(2).Lines().last().toStdString(), curve.back().Text);
  EXPECT_EQ(curve.size() - curveLines, 5u);
  ExpectRendered(Edit(2), curve);

  // Styles as the reports describe them.
  const QTextCharFormat title = TReportView::StyleFormat(TLineStyle::Title);
  EXPECT_TRUE(title.font().bold());
  EXPECT_TRUE(title.font().underline());
  EXPECT_EQ(title.fontFamilies().toStringList().value(0), "Arial");
  EXPECT_EQ(title.font().pointSize(), 10);
  EXPECT_EQ(TReportView::StyleFormat(TLineStyle::Note).font().pointSize(), 9);
  EXPECT_EQ(TReportView::StyleFormat(TLineStyle::Body).fontFamilies().toStringList().value(0), "Courier New");
  EXPECT_EQ(TReportView::StyleFormat(TLineStyle::Spacer).font().pointSize(), 4);
  EXPECT_EQ(TReportView::StyleFormat(TLineStyle::Warning).font().pointSize(), 10);
}

}  // namespace
}  // namespace rara::test
