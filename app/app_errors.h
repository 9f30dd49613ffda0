// Errors raised while handling a window event end in the application's error
// box; none may travel into the event loop, where Qt cannot unwind them.
#pragma once

#include <QApplication>

#include <exception>
#include <utility>

namespace rara {

// Shows the message of the exception in flight (or of e) in the error box.
void ShowException(const std::exception& e) noexcept;
void ShowUnknownException() noexcept;

// Runs f and reports whatever it throws.
template <class F>
void Guarded(F&& f) noexcept {
  try {
    std::forward<F>(f)();
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowUnknownException();
  }
}

// The program's application object: any exception that escapes an event
// handler is shown in the error box and the event counts as unhandled.
class TRaraApplication : public QApplication {
 public:
  TRaraApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace rara
