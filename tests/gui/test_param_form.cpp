// Widget tests of the parameters dialog: entries, their checks and
// corrections, the spin jumps, the running states, a real run, an abort from
// the break callback, and the failure box of an inconsistent Weber polynomial.
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>

#include "dialogs/param_form.h"
#include "engine/cm_search.h"
#include "engine/construction.h"
#include "integers/break.h"
#include "reports/validation.h"
#include "tests/gui/gui_test_util.h"
#include "tests/gui/scripted_ui.h"

namespace rara::test {
namespace {

class ParamFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedUi().Reset();
    form = std::make_unique<TParamForm>();
    NEdit = Find<TSpinEdit>(form.get(), "NEdit");
    KEdit = Find<TSpinEdit>(form.get(), "KEdit");
    LEdit = Find<TSpinEdit>(form.get(), "LEdit");
    DEdit = Find<TSpinEdit>(form.get(), "DEdit");
    KCheckBox = Find<QCheckBox>(form.get(), "KCheckBox");
    OKBtn = Find<QPushButton>(form.get(), "OKBtn");
    CancelBtn = Find<QPushButton>(form.get(), "CancelBtn");
    DXLabel = Find<QLabel>(form.get(), "DXLabel");
    WXLabel = Find<QLabel>(form.get(), "WXLabel");
  }
  // Shown and active, as while Execute waits, so that focus can be checked.
  void ShowActive() {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  // Types into an edit and presses Enter there.
  void Enter(TSpinEdit* edit, const QString& text) {
    TypeInto(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  bool Idle() const { return OKBtn->isVisible() && CancelBtn->text() == "Cancel"; }

  std::unique_ptr<TParamForm> form;
  TSpinEdit* NEdit;
  TSpinEdit* KEdit;
  TSpinEdit* LEdit;
  TSpinEdit* DEdit;
  QCheckBox* KCheckBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QLabel* DXLabel;
  QLabel* WXLabel;
};

TEST_F(ParamFormTest, ControlsCaptionsRangesAndHints) {
  EXPECT_EQ(form->windowTitle(), " New Curve Parameters");
  EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(Find<QGroupBox>(form.get(), "ParamBox")->title(), "&Parameters");
  EXPECT_EQ(Find<QLabel>(form.get(), "NLabel")->text(), "&Field degree");
  EXPECT_EQ(Find<QLabel>(form.get(), "KLabel")->text(), "&K Max binary size");
  EXPECT_EQ(Find<QLabel>(form.get(), "LLabel")->text(), "Trial division &bound");
  EXPECT_EQ(Find<QLabel>(form.get(), "DLabel")->text(), "CM &discriminant");
  EXPECT_EQ(KCheckBox->text(), "K mod &4 = 0");
  EXPECT_FALSE(KCheckBox->isChecked());
  EXPECT_EQ(NEdit->Text(), "64");
  EXPECT_EQ(KEdit->Text(), "15");
  EXPECT_EQ(LEdit->Text(), "32767");
  EXPECT_EQ(DEdit->Text(), "0");
  EXPECT_EQ(NEdit->toolTip(), "Min = 64, Max = 360");
  EXPECT_EQ(KEdit->toolTip(), "Min = 2, Max = (4*Field degree) div 5");
  EXPECT_EQ(LEdit->toolTip(), "Min = 32767, Max = 4194303");
  EXPECT_EQ(DEdit->toolTip(), "Min = 0, Max = 9999999");
  EXPECT_EQ(NEdit->minimum(), 64);
  EXPECT_EQ(NEdit->maximum(), 360);
  EXPECT_EQ(KEdit->minimum(), 2);
  EXPECT_EQ(KEdit->maximum(), 288);
  EXPECT_EQ(DEdit->maximum(), 9999999);
  const char* ratios[5] = {"0.75", "1.0", "1.25", "1.5", "1.75"};
  for (int i = 0; i < 5; ++i) {
    auto* r = Find<QRadioButton>(form.get(), QString("PRadioBtn%1").arg(i + 1).toLatin1());
    EXPECT_EQ(r->text(), ratios[i]);
    EXPECT_EQ(r->isChecked(), i == 1);
  }
  EXPECT_EQ(Find<QGroupBox>(form.get(), "PrecisionBox")->title(), "Floating-point Precision Ratio");
  EXPECT_EQ(Find<QGroupBox>(form.get(), "TimesBox")->title(), "Running Times");
  EXPECT_EQ(Find<QLabel>(form.get(), "DRLabel")->text(), "CM discriminant");
  EXPECT_EQ(Find<QLabel>(form.get(), "WRLabel")->text(), "Weber polynomial modulo 2");
  EXPECT_EQ(OKBtn->text(), "Run");
  EXPECT_TRUE(OKBtn->isDefault());
  EXPECT_EQ(CancelBtn->text(), "Cancel");

  ShowActive();
  ClickIndicator(Find<QRadioButton>(form.get(), "PRadioBtn4"));
  EXPECT_EQ(form->Ratio, 1.5L);
  ClickIndicator(Find<QRadioButton>(form.get(), "PRadioBtn1"));
  EXPECT_EQ(form->Ratio, 0.75L);
}

TEST_F(ParamFormTest, FieldDegreeOutOfRangeBeepsAndKeepsFocus) {
  ShowActive();
  for (const char* n : {"63", "361"}) {
    SCOPED_TRACE(n);
    ScriptedUi().Reset();
    Enter(DEdit, "0");  // focus elsewhere first
    form->Go = false;
    Enter(NEdit, n);
    EXPECT_FALSE(form->Go);
    EXPECT_EQ(ScriptedUi().Beeps, 1);
    EXPECT_TRUE(NEdit->hasFocus());
    EXPECT_EQ(NEdit->Text(), n);  // no correction for the degree
  }
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty());
}

TEST_F(ParamFormTest, KSizeAboveFourFifthsOfDegreeIsCorrected) {
  ShowActive();
  TypeInto(NEdit, "100");
  Enter(KEdit, "90");
  EXPECT_FALSE(form->Go);
  EXPECT_EQ(KEdit->Text(), "80");
  EXPECT_EQ(form->KMaxSize, 80);
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_TRUE(KEdit->hasFocus());
  // Accepted the second time.
  QTest::keyClick(KEdit, Qt::Key_Return);
  EXPECT_TRUE(form->Go);
  EXPECT_EQ(ScriptedUi().Beeps, 1);
}

TEST_F(ParamFormTest, KSizeMinimumFollowsTheCheckBox) {
  ShowActive();
  Enter(KEdit, "1");
  EXPECT_EQ(KEdit->Text(), "2");
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  // Checking raises 2 to 3 without a beep.
  ClickIndicator(KCheckBox);
  EXPECT_TRUE(form->KMod4);
  EXPECT_EQ(KEdit->Text(), "3");
  EXPECT_EQ(KEdit->minimum(), 3);
  EXPECT_EQ(KEdit->toolTip(), "Min = 3, Max = (4*Field degree) div 5");
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  // A typed 2 is now too small.
  form->Go = false;
  Enter(KEdit, "2");
  EXPECT_FALSE(form->Go);
  EXPECT_EQ(KEdit->Text(), "3");
  EXPECT_EQ(ScriptedUi().Beeps, 2);
  ClickIndicator(KCheckBox);
  EXPECT_FALSE(form->KMod4);
  EXPECT_EQ(KEdit->minimum(), 2);
  EXPECT_EQ(KEdit->toolTip(), "Min = 2, Max = (4*Field degree) div 5");
  EXPECT_EQ(KEdit->Text(), "3");
}

TEST_F(ParamFormTest, TrialBoundFollowsKSizeWithoutFailing) {
  ShowActive();
  // A discriminant above its maximum makes the check fail after the bound.
  TypeInto(KEdit, "20");
  TypeInto(LEdit, "4194303");
  Enter(DEdit, "12345678");
  EXPECT_EQ(LEdit->Text(), "1048575");
  EXPECT_EQ(DEdit->Text(), "9999999");
  EXPECT_FALSE(form->Go);
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_TRUE(DEdit->hasFocus());

  TypeInto(KEdit, "10");
  TypeInto(LEdit, "4194303");
  Enter(DEdit, "0");
  EXPECT_EQ(LEdit->Text(), "32767");
  EXPECT_TRUE(form->Go);  // the bound's correction alone does not fail
  EXPECT_EQ(ScriptedUi().Beeps, 1);
}

TEST_F(ParamFormTest, NegativeDiscriminantIsCorrectedToZero) {
  ShowActive();
  Enter(DEdit, "-5");
  EXPECT_FALSE(form->Go);
  EXPECT_EQ(DEdit->Text(), "0");
  EXPECT_EQ(form->D, 0);
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_TRUE(DEdit->hasFocus());
}

TEST_F(ParamFormTest, TextThatIsNoNumberGetsThePreviousValueBack) {
  ShowActive();
  Enter(NEdit, "-");
  EXPECT_FALSE(form->Go);
  EXPECT_EQ(NEdit->Text(), "64");
  EXPECT_TRUE(NEdit->hasFocus());
  EXPECT_EQ(ScriptedUi().Beeps, 0);
  Enter(KEdit, "");
  EXPECT_EQ(KEdit->Text(), "15");
  EXPECT_FALSE(form->Go);
  // Letters cannot be typed at all.
  TypeInto(DEdit, "12x3");
  EXPECT_EQ(DEdit->Text(), "123");
}

TEST_F(ParamFormTest, BoundSpinButtonJumpsBetweenPowersOfTwoMinusOne) {
  ShowActive();
  QWidget* up = Find<QWidget>(form.get(), "LSpinBtnUp");
  QWidget* down = Find<QWidget>(form.get(), "LSpinBtnDown");
  Click(up);
  EXPECT_EQ(LEdit->Text(), "65535");
  EXPECT_TRUE(LEdit->hasFocus());
  Click(up);
  EXPECT_EQ(LEdit->Text(), "131071");
  Click(down);
  EXPECT_EQ(LEdit->Text(), "65535");
  Click(down);
  EXPECT_EQ(LEdit->Text(), "32767");
  Click(down);
  EXPECT_EQ(LEdit->Text(), "32767");
  TypeInto(LEdit, "100000");
  Click(up);
  EXPECT_EQ(LEdit->Text(), "131071");
  TypeInto(LEdit, "2097151");
  Click(up);
  EXPECT_EQ(LEdit->Text(), "4194303");
  Click(up);
  EXPECT_EQ(LEdit->Text(), "4194303");
  EXPECT_EQ(form->TrialBound, 4194303);
}

TEST_F(ParamFormTest, KeysLabelsAndHelp) {
  ShowActive();
  Click(Find<QWidget>(form.get(), "LLabel"));
  EXPECT_TRUE(LEdit->hasFocus());
  Click(Find<QWidget>(form.get(), "DLabel"));
  EXPECT_TRUE(DEdit->hasFocus());

  QTest::keyClick(form.get(), Qt::Key_F4, Qt::AltModifier);
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_TRUE(form->isVisible());

  QTest::keyClick(DEdit, Qt::Key_F1);
  Click(Find<QWidget>(form.get(), "HelpBtn"));
  EXPECT_EQ(ScriptedUi().Topics, (std::vector<int>{100, 100}));

  QTest::keyClick(KEdit, Qt::Key_Escape);
  EXPECT_TRUE(form->Cancelled);
  EXPECT_FALSE(form->Go);
}

TEST_F(ParamFormTest, CancelReturnsFalseAndClearsTheRecord) {
  TECGF2Data data;
  data.N = 99;
  data.D = 1234;
  TScript script(form.get());
  script.Then([&] { return form->isVisible(); }, [&] {
    EXPECT_EQ(DXLabel->text(), "?");
    EXPECT_EQ(WXLabel->text(), "?");
    Click(CancelBtn);
  });
  script.Start();
  EXPECT_FALSE(form->Execute(data));
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(data.D, 0);
  EXPECT_EQ(data.N, 0);
}

TEST_F(ParamFormTest, RunWithDefaultsThenContinueFromLastDiscriminant) {
  TECGF2Data data;
  TScript script(form.get());
  script.Do([&] { Click(OKBtn); })
      .Then([&] { return CancelBtn->text() == "OK"; },
            [&] {
              EXPECT_FALSE(OKBtn->isVisible());
              EXPECT_FALSE(NEdit->isEnabled());
              EXPECT_TRUE(IsStoppedTime(DXLabel->text())) << DXLabel->text().toStdString();
              EXPECT_TRUE(IsStoppedTime(WXLabel->text())) << WXLabel->text().toStdString();
              Click(CancelBtn);
            });
  script.Start();
  ASSERT_TRUE(form->Execute(data));
  EXPECT_TRUE(data.WeberDone);
  EXPECT_GT(data.D, 7 - 1);
  EXPECT_EQ(data.D % 8, 7);
  EXPECT_EQ(data.N, 64);
  EXPECT_EQ(data.ClassNumber % 64, 0);
  EXPECT_EQ(data.W.Degree(), data.ClassNumber);
  EXPECT_EQ(form->LastD, data.D);
  EXPECT_GE(ScriptedUi().Beeps, 1);
  EXPECT_FALSE(RuvBreakActive());
  const std::int32_t firstD = data.D;

  // The next opening resets only the discriminant; a double-click on it
  // brings back the one just found.
  TScript again(form.get());
  again.Then([&] { return form->isVisible(); }, [&] {
    EXPECT_EQ(DEdit->Text(), "0");
    EXPECT_EQ(NEdit->Text(), "64");
    EXPECT_EQ(data.D, 0);  // cleared on opening
    QTest::mouseDClick(DEdit->Editor(), Qt::LeftButton);
    EXPECT_EQ(DEdit->Text(), QString::number(firstD));
    Click(CancelBtn);
  });
  again.Start();
  EXPECT_FALSE(form->Execute(data));
}

TEST_F(ParamFormTest, DoubleClickBeforeAnySuccessGivesZero) {
  ShowActive();
  TypeInto(DEdit, "4711");
  QTest::mouseDClick(DEdit->Editor(), Qt::LeftButton);
  EXPECT_EQ(DEdit->Text(), "0");
  EXPECT_EQ(form->D, 0);
}

TEST_F(ParamFormTest, AbortFromTheBreakCallbackReturnsToIdle) {
  TECGF2Data data;
  bool clicked = false;
  int ticks = 0;
  QElapsedTimer clock;
  clock.start();
  // Aborts at the first tick after a time label has shown a whole second
  // with the progress in brackets: the discriminant under examination
  // during the search ("1s  (5000047)"), the roots still to multiply in
  // during the Weber step (class number 256 or more here).
  static const QRegularExpression running("^(\\d+)s  \\((\\d+)\\)$");
  QObject::connect(form.get(), &TParamForm::Ticked, form.get(), [&] {
    ++ticks;
    const auto inSearch = running.match(DXLabel->text());
    const auto inWeber = running.match(WXLabel->text());
    if (!clicked && (inSearch.hasMatch() || inWeber.hasMatch() || clock.elapsed() > 15000)) {
      EXPECT_TRUE(inSearch.hasMatch() || inWeber.hasMatch())
          << DXLabel->text().toStdString() << " / " << WXLabel->text().toStdString();
      if (inSearch.hasMatch()) {
        EXPECT_GT(inSearch.captured(2).toLongLong(), 5000000);
      }
      if (inWeber.hasMatch()) {
        EXPECT_TRUE(IsStoppedTime(DXLabel->text()));
        EXPECT_LT(inWeber.captured(2).toLongLong(), 1440 + 1);
      }
      clicked = true;
      EXPECT_EQ(CancelBtn->text(), "Abort");
      EXPECT_FALSE(OKBtn->isVisible());
      Click(CancelBtn);
    }
  });
  TScript script(form.get());
  // A degree whose search takes well over one tick.
  script.Do([&] {
          TypeInto(NEdit, "360");
          TypeInto(KEdit, "2");
          TypeInto(DEdit, "5000000");
          Click(OKBtn);
        })
      .Then([&] { return clicked && Idle(); },
            [&] {
              EXPECT_EQ(DXLabel->text(), "?");
              EXPECT_EQ(WXLabel->text(), "?");
              EXPECT_EQ(DEdit->Text(), "0");
              EXPECT_EQ(NEdit->Text(), "360");  // other entries keep their values
              EXPECT_TRUE(NEdit->isEnabled());
              EXPECT_FALSE(RuvBreakActive());
              Click(CancelBtn);
            });
  script.Start();
  EXPECT_FALSE(form->Execute(data));
  EXPECT_TRUE(clicked);
  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty()) << ScriptedUi().Errors.join("|").toStdString();
  EXPECT_EQ(data.D, 0);
}

// A Weber step whose factors do not agree, as too low a precision gives.
class TBadWeberForm : public TParamForm {
 protected:
  void ComputeWeber(TECGF2Data& data) override {
    TParamForm::ComputeWeber(data);
    data.WIrreducible = false;
    data.WFactors.Size(2);
    data.WFactors.Cell(0).SetMonomial(data.W.Degree() / 2);
    data.WFactors.Cell(1).SetMonomial(1);
  }
};

TEST(ParamFormFailure, InconsistentWeberPolynomialShowsTheBoxAndReturnsToIdle) {
  ScriptedUi().Reset();
  TBadWeberForm form;
  auto* OKBtn = Find<QPushButton>(&form, "OKBtn");
  auto* CancelBtn = Find<QPushButton>(&form, "CancelBtn");
  TECGF2Data data;
  TScript script(&form);
  script.Do([&] { Click(OKBtn); })
      .Then([&] { return !ScriptedUi().Errors.isEmpty() && OKBtn->isVisible(); },
            [&] {
              EXPECT_EQ(Find<QLabel>(&form, "DXLabel")->text(), "?");
              EXPECT_EQ(Find<QLabel>(&form, "WXLabel")->text(), "?");
              EXPECT_EQ(CancelBtn->text(), "Cancel");
              Click(CancelBtn);
            });
  script.Start();
  EXPECT_FALSE(form.Execute(data));
  ASSERT_EQ(ScriptedUi().Errors.size(), 1);
  EXPECT_EQ(ScriptedUi().Errors[0].toStdString(),
            "Failed computation\r\n"
            "An error occurred while computing the Weber polynomial.\r\n"
            "You should increase the \"Floating-point Precision Ratio\" and restart the "
            "computation.");
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_EQ(form.LastD, 0);
  EXPECT_FALSE(data.WeberDone);
}

// A search started just below its limit, so that it gives up at once.
class TSearchAtLimitForm : public TParamForm {
 protected:
  void ComputeSearch(TECGF2Data& data) override {
    data.ComputeParams(N, CMSearchLimit - 16, KMaxSize, TrialBound, KMod4, Progress);
  }
};

TEST(ParamFormFailure, SearchThatGivesUpSaysSoInsteadOfShowingResults) {
  ScriptedUi().Reset();
  TSearchAtLimitForm form;
  auto* OKBtn = Find<QPushButton>(&form, "OKBtn");
  auto* CancelBtn = Find<QPushButton>(&form, "CancelBtn");
  TECGF2Data data;
  TScript script(&form);
  script.Do([&] { Click(OKBtn); })
      .Then([&] { return !ScriptedUi().Errors.isEmpty() && OKBtn->isVisible(); },
            [&] {
              EXPECT_EQ(Find<QLabel>(&form, "DXLabel")->text(), "?");
              Click(CancelBtn);
            });
  script.Start();
  EXPECT_FALSE(form.Execute(data));
  ASSERT_EQ(ScriptedUi().Errors.size(), 1);
  EXPECT_EQ(ScriptedUi().Errors[0], "No discriminant found up to 2^29");
  EXPECT_EQ(ScriptedUi().Beeps, 1);
  EXPECT_EQ(data.ClassNumber, 0);
}

}  // namespace
}  // namespace rara::test
