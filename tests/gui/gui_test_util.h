// Helpers of the widget tests: finding controls by name, and scripts that
// drive a dialog while its own event loop runs.
#pragma once

#include <functional>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace rara::test {

template <class T>
T* Find(QWidget* form, const char* name) {
  T* w = form->findChild<T*>(name);
  if (w == nullptr) ADD_FAILURE() << "no control named " << name;
  return w;
}

// Steps run one after the other, each as soon as its condition holds (checked
// every few milliseconds, also from the event processing inside a running
// computation). If the script stalls, the dialog's second button is pressed
// until the dialog lets go, and the test fails.
class TScript : public QObject {
 public:
  explicit TScript(QWidget* form) : form_(form) {
    connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
  }

  TScript& Then(std::function<bool()> ready, std::function<void()> action) {
    steps_.push_back({std::move(ready), std::move(action)});
    return *this;
  }
  TScript& Do(std::function<void()> action) {
    return Then([] { return true; }, std::move(action));
  }
  void Start(int timeoutMs = 60000) {
    timeoutMs_ = timeoutMs;
    clock_.start();
    timer_.start(5);
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  struct TStep {
    std::function<bool()> ready;
    std::function<void()> action;
  };

  void Step() {
    if (next_ < steps_.size()) {
      if (clock_.elapsed() > timeoutMs_) {
        if (!timedOut_) ADD_FAILURE() << "script stalled before step " << next_;
        timedOut_ = true;
        if (auto* b = form_->findChild<QPushButton*>("CancelBtn")) b->click();
        return;
      }
      if (!steps_[next_].ready()) return;
      const std::size_t i = next_++;
      steps_[i].action();
      return;
    }
    timer_.stop();
  }

  QWidget* form_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::vector<TStep> steps_;
  std::size_t next_ = 0;
  qint64 timeoutMs_ = 60000;
  bool timedOut_ = false;
};

inline void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
// Near the left edge, where a check or radio button's indicator is.
inline void ClickIndicator(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(8, w->height() / 2));
}

inline void TypeInto(QWidget* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// "12.34s" or "12,34s": a stopped running time.
inline bool IsStoppedTime(const QString& s) {
  static const QRegularExpression re("^\\d+[.,]\\d\\ds$");
  return re.match(s).hasMatch();
}

}  // namespace rara::test
