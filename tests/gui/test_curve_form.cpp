// Widget tests of the curve dialog: the list set-up for several degrees, the
// basis buttons, the two notations of the field polynomial and their toggle,
// the four validation messages, and a full run that leaves a curve behind.
#include <memory>

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

#include "dialogs/curve_form.h"
#include "engine/construction.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_text.h"
#include "integers/break.h"
#include "tests/gui/gui_test_util.h"
#include "tests/support/test_support.h"
#include "tests/gui/scripted_ui.h"

namespace rara::test {
namespace {

class CurveFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedUi().Reset();
    form = std::make_unique<TCurveForm>();
    FPEdit = Find<QPlainTextEdit>(form.get(), "FPEdit");
    SRadioBtn = Find<QRadioButton>(form.get(), "SRadioBtn");
    NRadioBtn = Find<QRadioButton>(form.get(), "NRadioBtn");
    OKBtn = Find<QPushButton>(form.get(), "OKBtn");
    CancelBtn = Find<QPushButton>(form.get(), "CancelBtn");
    for (int i = 0; i < 4; ++i)
      LoadBtn[i] = Find<QToolButton>(form.get(), QString("LoadBtn%1").arg(i + 1).toLatin1());
  }
  QLabel* Label(const char* name) { return Find<QLabel>(form.get(), name); }

  // Opens the dialog for degree n, runs the checks while it waits, cancels.
  void WhileOpen(std::int32_t n, const std::function<void()>& checks) {
    TECGF2Data data;
    data.N = n;
    TScript script(form.get());
    script.Then([&] { return form->isVisible(); }, [&] {
      checks();
      Click(CancelBtn);
    });
    script.Start();
    EXPECT_FALSE(form->Execute(data));
    EXPECT_TRUE(script.Finished());
  }
  // Presses Run with the text and returns the error shown ("" for none).
  QString RunWith(const QString& text) {
    ScriptedUi().Reset();
    form->Go = false;
    FPEdit->setPlainText(text);
    Click(OKBtn);
    if (ScriptedUi().Errors.isEmpty()) return QString();
    EXPECT_EQ(ScriptedUi().Beeps, 1);
    EXPECT_FALSE(form->Go);
    return ScriptedUi().Errors.back();
  }

  std::unique_ptr<TCurveForm> form;
  QPlainTextEdit* FPEdit;
  QRadioButton* SRadioBtn;
  QRadioButton* NRadioBtn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QToolButton* LoadBtn[4];
};

TEST_F(CurveFormTest, CaptionsBeforeTheFirstOpening) {
  EXPECT_EQ(form->windowTitle(), " New Curve over GF(2^N)");
  EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(Find<QGroupBox>(form.get(), "FieldPolyBox")->title(), "&Field Polynomial");
  EXPECT_EQ(Label("BTLabel")->text(), "&Basis type");
  EXPECT_TRUE(SRadioBtn->isChecked());
  EXPECT_EQ(NRadioBtn->text(), "Normal");
  EXPECT_EQ(FPEdit->toPlainText(), "?");
  for (QToolButton* b : LoadBtn) EXPECT_EQ(b->toolTip(), "Edit polynomial");
  EXPECT_EQ(Label("P1363Label")->text(), "Irreducible from IEEE P1363 list");
  EXPECT_EQ(Label("X963Label")->text(), "Irreducible from ANSI X9.63 list");
  EXPECT_EQ(Label("GaussLabel")->text(), "Gaussian normal");
  EXPECT_EQ(Label("GaussStatusLabel")->text(), "of type ?");
  EXPECT_EQ(Label("PentaLabel")->text(), "Normal pentanomial from Ruv list");
  EXPECT_EQ(Find<QGroupBox>(form.get(), "StatusBox")->title(), "Running Times");
  EXPECT_EQ(Label("StatusRLabel")->text(), "Random root of Weber polynomial over GF(2^N)");
  EXPECT_EQ(Label("StatusCLabel")->text(), "Curve");
  EXPECT_EQ(Label("RXLabel")->text(), "...");
  EXPECT_EQ(OKBtn->text(), "Run");
  EXPECT_EQ(CancelBtn->text(), "Cancel");
}

TEST_F(CurveFormTest, ListSetupFor163) {
  WhileOpen(163, [&] {
    EXPECT_EQ(Find<QGroupBox>(form.get(), "FieldPolyBox")->title(),
              "&Field Polynomial of degree 163");
    EXPECT_EQ(FPEdit->toPlainText(), "[163,7,6,3,0]");
    EXPECT_EQ(Label("X963StatusLabel")->text(), "");
    EXPECT_TRUE(Label("X963StatusLabel")->isEnabled());
    EXPECT_TRUE(LoadBtn[1]->isEnabled());
    EXPECT_EQ(Label("GaussStatusLabel")->text(), "of type 4");
    EXPECT_TRUE(Label("GaussStatusLabel")->isEnabled());
    EXPECT_TRUE(LoadBtn[2]->isEnabled());
    EXPECT_EQ(Label("RXLabel")->text(), "?");
    EXPECT_EQ(Label("CXLabel")->text(), "?");
    Click(LoadBtn[1]);
    EXPECT_EQ(FPEdit->toPlainText(), "[163,8,2,1,0]");
    Click(LoadBtn[2]);
    TGF2Poly gauss;
    GF2Set(gauss, GaussNormalText(163), true);
    EXPECT_EQ(FPEdit->toPlainText().toStdString(), GaussNormalText(163));
    EXPECT_EQ(form->EditPoly.Degree(), 163);
    EXPECT_EQ(GF2ToHexStr(form->EditPoly, 0), GF2ToHexStr(gauss, 0));
  });
  EXPECT_FALSE(form->isVisible());
}

TEST_F(CurveFormTest, ListSetupFor160And179) {
  WhileOpen(160, [&] {
    EXPECT_EQ(Label("X963StatusLabel")->text(), "(None)");
    EXPECT_FALSE(Label("X963StatusLabel")->isEnabled());
    EXPECT_FALSE(LoadBtn[1]->isEnabled());
    EXPECT_FALSE(Label("X963Label")->isEnabled());
    EXPECT_EQ(Label("GaussStatusLabel")->text(), "(None)");
    EXPECT_FALSE(Label("GaussStatusLabel")->isEnabled());
    EXPECT_FALSE(LoadBtn[2]->isEnabled());
    EXPECT_TRUE(LoadBtn[0]->isEnabled());
    EXPECT_TRUE(LoadBtn[3]->isEnabled());
    EXPECT_TRUE(FPEdit->toPlainText().startsWith("[160,"));
  });
  // Reopened with another degree: the default of the new degree is loaded.
  WhileOpen(179, [&] {
    EXPECT_EQ(Label("X963StatusLabel")->text(), "(Same as P1363 list)");
    EXPECT_FALSE(Label("X963StatusLabel")->isEnabled());
    EXPECT_FALSE(LoadBtn[1]->isEnabled());
    EXPECT_TRUE(FPEdit->toPlainText().startsWith("[179,"));
  });
}

TEST_F(CurveFormTest, TypedPolynomialStaysForTheSameDegree) {
  WhileOpen(163, [&] { FPEdit->setPlainText("[163,7,6,3,0]"); Click(LoadBtn[1]); });
  WhileOpen(163, [&] { EXPECT_EQ(FPEdit->toPlainText(), "[163,8,2,1,0]"); });
}

TEST_F(CurveFormTest, NormalBasisButtonsAndPentanomial) {
  WhileOpen(163, [&] {
    Click(NRadioBtn);
    EXPECT_FALSE(LoadBtn[0]->isEnabled());
    EXPECT_FALSE(LoadBtn[1]->isEnabled());
    EXPECT_TRUE(LoadBtn[2]->isEnabled());
    EXPECT_TRUE(LoadBtn[3]->isEnabled());
    EXPECT_EQ(RunWith("[163,7,6,3,0]"), "Field polynomial should be normal");
    Click(LoadBtn[3]);
    TGF2Poly normal;
    GetNormal(normal, 163);
    EXPECT_EQ(FPEdit->toPlainText().toStdString(), GF2DegsToStr(normal, false));
    EXPECT_EQ(RunWith(FPEdit->toPlainText()), "");
    EXPECT_TRUE(form->Go);
    form->Go = false;
    Click(SRadioBtn);
    EXPECT_TRUE(LoadBtn[0]->isEnabled());
    EXPECT_TRUE(LoadBtn[1]->isEnabled());
  });
}

TEST_F(CurveFormTest, ValidationMessages) {
  WhileOpen(163, [&] {
    EXPECT_EQ(RunWith("[163,7,6,3]"), "Field polynomial should be irreducible");
    EXPECT_EQ(RunWith("[7,163]"), "Field polynomial: Invalid syntax");
    EXPECT_EQ(RunWith("[163,,7,6,3,0]"), "Field polynomial: Invalid syntax");
    EXPECT_EQ(RunWith(""), "Field polynomial: Invalid syntax");
    EXPECT_EQ(RunWith("x^163+1"), "Field polynomial: Invalid syntax");
    EXPECT_EQ(RunWith("[163,7,6,3,0"), "Field polynomial: Invalid syntax");
    EXPECT_EQ(RunWith("400000000000000000000000000000000000000c9"),
              "Field polynomial degree should be equal to 163");
    EXPECT_EQ(RunWith("[233,74,0]"), "Field polynomial degree should be equal to 163");
    EXPECT_TRUE(FPEdit->hasFocus() || !form->isActiveWindow());
    // Blanks anywhere, a trailing comma and upper-case digits are fine.
    EXPECT_EQ(RunWith(" [163, 7, 6, 3, 0,] "), "");
    EXPECT_EQ(RunWith("8 00000000 00000000 00000000 00000000 000000C9"), "");
  });
}

TEST_F(CurveFormTest, DoubleClickTogglesTheNotation) {
  WhileOpen(163, [&] {
    QWidget* viewport = FPEdit->viewport();
    FPEdit->setPlainText("[163,7,6,3,0]");
    QTest::mouseDClick(viewport, Qt::LeftButton);
    EXPECT_EQ(FPEdit->toPlainText(), "800000000000000000000000000000000000000c9");
    QTest::mouseDClick(viewport, Qt::LeftButton);
    EXPECT_EQ(FPEdit->toPlainText(), "[163,7,6,3,0]");
    // Degree is not checked here, syntax is.
    FPEdit->setPlainText("[233, 74, 0]");
    QTest::mouseDClick(viewport, Qt::LeftButton);
    EXPECT_EQ(FPEdit->toPlainText().size(), 59);
    FPEdit->setPlainText("[163,,7,6,3,0]");
    QTest::mouseDClick(viewport, Qt::LeftButton);
    EXPECT_EQ(FPEdit->toPlainText(), "[163,,7,6,3,0]");
  });
}

TEST_F(CurveFormTest, KeysAndHelp) {
  WhileOpen(163, [&] {
    QTest::keyClick(form.get(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(ScriptedUi().Beeps, 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Done);
    QTest::keyClick(form.get(), Qt::Key_F1);
    Click(Find<QPushButton>(form.get(), "HelpBtn"));
    EXPECT_EQ(ScriptedUi().Topics, (std::vector<int>{200, 200}));
  });
}

// Parameters of degree 64, computed once for the runs below and released
// before the arithmetic runtime shuts down.
std::unique_ptr<TECGF2Data> Params64Data;

class CurveRunTest : public CurveFormTest {
 protected:
  static void TearDownTestSuite() { Params64Data.reset(); }
};

TECGF2Data& Params64() {
  if (!Params64Data) {
    Params64Data = std::make_unique<TECGF2Data>();
    std::int32_t progress = 0;
    Params64Data->ComputeParams(64, 0, 15, 32767, false, progress);
    Params64Data->ComputeWeberPoly(progress, 1.0L);
  }
  return *Params64Data;
}

TEST_F(CurveRunTest, FullRunLeavesACurve) {
  TECGF2Data& data = Params64();
  ASSERT_TRUE(data.WeberDone);
  for (const bool normal : {false, true}) {
    SCOPED_TRACE(normal ? "normal" : "standard");
    ScriptedUi().Reset();
    data.CurveBuilt = false;
    TScript script(form.get());
    script.Do([&] {
            if (normal) {
              Click(NRadioBtn);
              Click(LoadBtn[3]);
            }
            Click(OKBtn);
          })
        .Then([&] { return CancelBtn->text() == "OK"; },
              [&] {
                EXPECT_FALSE(OKBtn->isVisible());
                EXPECT_FALSE(FPEdit->isEnabled());
                EXPECT_FALSE(LoadBtn[3]->isEnabled());
                EXPECT_TRUE(IsStoppedTime(Label("RXLabel")->text()));
                EXPECT_TRUE(IsStoppedTime(Label("CXLabel")->text()));
                Click(CancelBtn);
              });
    script.Start();
    ASSERT_TRUE(form->Execute(data));
    EXPECT_TRUE(data.CurveBuilt);
    EXPECT_EQ(data.FieldPoly.Degree(), 64);
    if (normal)
      EXPECT_TRUE(GF2IsNormal(data.FieldPoly));
    else
      EXPECT_TRUE(GF2IsIrreducible(data.FieldPoly));
    EXPECT_FALSE(data.CoefB.IsZero());
    EXPECT_EQ(ScriptedUi().Beeps, 1);
    EXPECT_FALSE(RuvBreakActive());
    data.NewPoint();  // the curve is usable
  }
}

TEST_F(CurveRunTest, CancelLeavesTheRecordAlone) {
  TECGF2Data& data = Params64();
  data.CurveBuilt = true;
  TScript script(form.get());
  script.Then([&] { return form->isVisible(); }, [&] { Click(CancelBtn); });
  script.Start();
  EXPECT_FALSE(form->Execute(data));
  EXPECT_TRUE(data.CurveBuilt);  // only a run resets it
}

TEST_F(CurveFormTest, AbortDuringTheRootSearchReturnsToReady) {
  // A Weber polynomial of degree 360 (an irreducible one other than the
  // field polynomial stands in for it): its root in GF(2^360) takes many
  // ticks to find.
  TECGF2Data data;
  data.N = 360;
  GetNormal(data.W, 360);
  data.WIrreducible = true;
  data.WeberDone = true;
  data.CurveBuilt = true;
  // Fast ticks: the root search reaches the callback at its first polls
  // however fast the machine is.
  TFastTicks fastTicks;
  bool clicked = false;
  QObject::connect(form.get(), &TCurveForm::Ticked, form.get(), [&] {
    if (!clicked) {
      clicked = true;
      EXPECT_EQ(CancelBtn->text(), "Abort");
      EXPECT_FALSE(data.CurveBuilt);
      Click(CancelBtn);
    }
  });
  TScript script(form.get());
  script.Do([&] { Click(OKBtn); })
      .Then([&] { return (clicked && OKBtn->isVisible()) || CancelBtn->text() == "OK"; },
            [&] {
              if (CancelBtn->text() == "OK") {
                ADD_FAILURE() << "the run ended before the first tick";
                Click(CancelBtn);
                return;
              }
              EXPECT_EQ(Label("RXLabel")->text(), "?");
              EXPECT_EQ(Label("CXLabel")->text(), "?");
              EXPECT_EQ(CancelBtn->text(), "Cancel");
              EXPECT_TRUE(FPEdit->isEnabled());
              Click(CancelBtn);
            });
  script.Start();
  EXPECT_FALSE(form->Execute(data));
  EXPECT_TRUE(clicked) << "root search took " << Label("RXLabel")->text().toStdString();
  EXPECT_FALSE(data.CurveBuilt);
  EXPECT_FALSE(RuvBreakActive());
}

}  // namespace
}  // namespace rara::test
