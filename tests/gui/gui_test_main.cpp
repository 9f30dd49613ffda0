// Entry point of the widget tests: the arithmetic runtime first, then the Qt
// application (offscreen unless told otherwise) with the recording services.
// With RARA_SCREENSHOTS=<directory> it photographs the dialogs instead.
#include <gtest/gtest.h>

#include <cstdio>

#include <QApplication>

#include "integers/runtime.h"
#include "tests/gui/scripted_ui.h"
#include "tests/support/test_support.h"

namespace rara::test {
int TakeDialogScreenshots(const QString& directory);
}

namespace {
// The offscreen platform reports every window request it cannot honour.
QtMessageHandler PreviousHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
  if (msg.startsWith("This plugin does not support")) return;
  if (PreviousHandler != nullptr)
    PreviousHandler(type, context, msg);
  else
    fprintf(stderr, "%s\n", qPrintable(msg));
}
}  // namespace

int main(int argc, char** argv) {
  rara::test::TPrivateTempDir temp;
  rara::TRuvRuntime runtime;
  const QByteArray shotDir = qgetenv("RARA_SCREENSHOTS");
  if (shotDir.isEmpty() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  PreviousHandler = qInstallMessageHandler(QuietHandler);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Zovozeri");
  rara::SetUi(&rara::test::ScriptedUi());
  int rc = 0;
  if (!shotDir.isEmpty()) {
    rc = rara::test::TakeDialogScreenshots(QString::fromLocal8Bit(shotDir));
  } else {
    ::testing::InitGoogleTest(&argc, argv);
    rc = RUN_ALL_TESTS();
  }
  rara::SetUi(nullptr);
  return rc;
}
