// The application's error box for exceptions from event handlers.
#include "app/app_errors.h"

#include <cstdio>

#include "dialogs/ui_services.h"

namespace rara {

namespace {

void Report(const QString& text) noexcept {
  try {
    Ui().Error(text);
  } catch (...) {
    // No services (or the box itself failed): the message must not be lost.
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
}

}  // namespace

void ShowException(const std::exception& e) noexcept {
  try {
    Report(QString::fromUtf8(e.what()));
  } catch (...) {
    std::fprintf(stderr, "%s\n", e.what());
  }
}

void ShowUnknownException() noexcept { Report(QStringLiteral("Unknown error")); }

TRaraApplication::TRaraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TRaraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowUnknownException();
  }
  return false;
}

}  // namespace rara
