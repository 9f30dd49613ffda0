// Shared set-up of the main-window tests: a fresh window per test with
// computing dialogs that fill the record directly (N = 64, the dialogs'
// defaults), the recording services reset, and helpers to click and read.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

#include "app/main_form.h"
#include "app/report_view.h"
#include "engine/construction.h"
#include "gf2/gf2_poly.h"
#include "reports/display_settings.h"
#include "tests/gui/scripted_ui.h"

namespace rara::test {

// x^64 + x^4 + x^3 + x + 1, irreducible.
inline TGF2Poly FieldPoly64() {
  TGF2Poly p;
  for (int d : {64, 4, 3, 1, 0}) p.SetCoef(d, true);
  return p;
}

// What the parameters dialog computes with its defaults.
inline void ComputeParams64(TECGF2Data& data) {
  data.Clear();
  std::int32_t progress = 0;
  data.ComputeParams(64, 0, 15, 32767, false, progress);
  data.ComputeWeberPoly(progress, 1.0L);
}

inline void ComputeCurve64(TECGF2Data& data) {
  data.CurveBuilt = false;
  data.SetField(FieldPoly64(), 0);
  data.PickRoot();
  data.MakeCurve();
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedUi().Reset();
    DisplaySettings() = TDisplaySettings{};
    QApplication::setQuitOnLastWindowClosed(false);
    form = std::make_unique<TMainForm>();
    form->SetDialogs(
        [this](TECGF2Data& data) {
          ++paramsRuns;
          windowEnabledInDialog = form->isEnabled();
          if (paramsAction) return paramsAction(data);
          ComputeParams64(data);
          return true;
        },
        [this](TECGF2Data& data) {
          ++curveRuns;
          windowEnabledInDialog = form->isEnabled();
          if (curveAction) return curveAction(data);
          ComputeCurve64(data);
          return true;
        });
    form->show();
  }

  void TearDown() override {
    form.reset();
    ScriptedUi().Reset();
    DisplaySettings() = TDisplaySettings{};
  }

  QToolButton& Btn(const char* name) {
    auto* b = form->findChild<QToolButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return *b;
  }
  bool Enabled(const char* name) { return Btn(name).isEnabled(); }
  void Click(const char* name) { QTest::mouseClick(&Btn(name), Qt::LeftButton); }

  TReportView& Edit(int page) {
    auto* e = form->findChild<TReportView*>(page == 1 ? "Edit1" : "Edit2");
    EXPECT_NE(e, nullptr);
    return *e;
  }
  QTabWidget& Book() { return *form->findChild<QTabWidget*>("Book"); }
  void GoToPage(int page) { Book().setCurrentIndex(page - 1); }

  // The enabled state of the eight switching commands, as a string of 0/1 in
  // the order Copy, NewParams, NewCurve, NewPoint, Save, Print, Format, Clear.
  std::string Commands() {
    std::string s;
    for (const char* name : {"BtnCopy", "BtnNewParams", "BtnNewCurve", "BtnNewPoint", "BtnSave", "BtnPrint",
                             "BtnFormat", "BtnClear"})
      s += Enabled(name) ? '1' : '0';
    EXPECT_TRUE(Enabled("BtnExit"));
    EXPECT_TRUE(Enabled("BtnHelp"));
    return s;
  }

  std::unique_ptr<TMainForm> form;
  std::function<bool(TECGF2Data&)> paramsAction;
  std::function<bool(TECGF2Data&)> curveAction;
  int paramsRuns = 0;
  int curveRuns = 0;
  bool windowEnabledInDialog = true;
};

}  // namespace rara::test
