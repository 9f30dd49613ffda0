// The desktop program: the arithmetic runtime first, then the application
// with its services, the main window and the two computing dialogs, in this
// order; the event loop runs until the main window closes.
#include "app/app_errors.h"
#include "app/main_form.h"
#include "app/qt_ui_services.h"
#include "dialogs/curve_form.h"
#include "dialogs/param_form.h"
#include "integers/runtime.h"

int main(int argc, char** argv) {
  rara::TRuvRuntime runtime;
  rara::TRaraApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zovozeri"));
  app.setProperty("HelpFile", QStringLiteral("rara.hlp"));
  rara::TQtUiServices services;
  rara::SetUi(&services);
  int rc = 0;
  {
    rara::TMainForm mainForm;
    // The dialogs are windows of their own: disabling the main window while
    // one runs must not disable the dialog.
    rara::TParamForm paramForm;
    rara::TCurveForm curveForm;
    mainForm.SetDialogs([&paramForm](rara::TECGF2Data& data) { return paramForm.Execute(data); },
                        [&curveForm](rara::TECGF2Data& data) { return curveForm.Execute(data); });
    mainForm.show();
    rc = app.exec();
  }
  rara::SetUi(nullptr);
  return rc;
}
