// Screenshot mode of the widget test program: shows each dialog in a typical
// state on a real display (run under Xvfb by scripts/screenshot_dialogs.sh)
// and saves it as a PNG.
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/help_viewer.h"
#include "dialogs/curve_form.h"
#include "dialogs/param_form.h"
#include "engine/construction.h"
#include "tests/gui/gui_test_util.h"

namespace rara::test {

namespace {

bool Save(QWidget* w, const QString& file) {
  QApplication::processEvents();
  const bool ok = w->grab().save(file);
  if (!ok) qWarning("could not write %s", qPrintable(file));
  return ok;
}

// Runs the steps while the dialog's Execute waits; each step may press buttons.
void Drive(QWidget* form, TScript& script) {
  script.Start(120000);
  Q_UNUSED(form);
}

}  // namespace

int TakeDialogScreenshots(const QString& directory) {
  QDir().mkpath(directory);
  bool ok = true;
  TECGF2Data data;
  {
    TParamForm form;
    auto* ok1 = form.findChild<QPushButton*>("OKBtn");
    auto* cancel = form.findChild<QPushButton*>("CancelBtn");
    TScript script(&form);
    script.Then([&] { return form.isVisible(); },
                [&] {
                  ok &= Save(&form, directory + "/param_form_idle.png");
                  ok1->click();
                })
        .Then([&] { return cancel->text() == "OK"; },
              [&] {
                ok &= Save(&form, directory + "/param_form_done.png");
                cancel->click();
              });
    Drive(&form, script);
    ok &= form.Execute(data);
  }
  {
    TCurveForm form;
    auto* run = form.findChild<QPushButton*>("OKBtn");
    auto* cancel = form.findChild<QPushButton*>("CancelBtn");
    TScript script(&form);
    script.Then([&] { return form.isVisible(); },
                [&] {
                  ok &= Save(&form, directory + "/curve_form_ready.png");
                  run->click();
                })
        .Then([&] { return cancel->text() == "OK"; },
              [&] {
                ok &= Save(&form, directory + "/curve_form_finished.png");
                cancel->click();
              });
    Drive(&form, script);
    ok &= form.Execute(data);
  }
  {
    // A degree with all four lists, and a long polynomial in hexadecimal.
    TECGF2Data wide;
    wide.N = 163;
    TCurveForm form;
    auto* cancel = form.findChild<QPushButton*>("CancelBtn");
    auto* edit = form.findChild<QPlainTextEdit*>("FPEdit");
    TScript script(&form);
    script.Then([&] { return form.isVisible(); }, [&] {
      QTest::mouseDClick(edit->viewport(), Qt::LeftButton);
      ok &= Save(&form, directory + "/curve_form_163.png");
      cancel->click();
    });
    Drive(&form, script);
    form.Execute(wide);
  }
  {
    THelpViewer help;
    help.ShowTopic(100);
    QApplication::processEvents();
    ok &= Save(&help, directory + "/help_topic_100.png");
  }
  return ok ? 0 : 1;
}

}  // namespace rara::test
