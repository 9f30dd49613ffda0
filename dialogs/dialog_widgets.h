// Small building blocks shared by the computing dialogs: a spin edit that
// lets any number be typed (the dialog checks it), a label that reports
// clicks, an up/down button pair, the three kinds of the cancel button, and
// the running-time display driven by the break callback.
#pragma once

#include <cstdint>
#include <functional>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

class QCloseEvent;
class QKeyEvent;
class QToolButton;

namespace rara {

// Spin edit whose text may hold any decimal number, in range or not: the
// range only binds the arrows and the correction made when the focus leaves,
// so that the dialog can check and correct what was typed with Enter.
class TSpinEdit : public QSpinBox {
  Q_OBJECT
 public:
  explicit TSpinEdit(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(std::int32_t value);  // writes the number even when out of range
  QLineEdit* Editor() const { return lineEdit(); }

  // Called first for every key press; returning true consumes the key.
  std::function<bool(QKeyEvent*)> KeyDown;

 signals:
  void DoubleClicked();

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  int valueFromText(const QString& text) const override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Label that emits Clicked, used to move the focus to the edit it names.
class TClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TClickLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// Two small arrow buttons stacked; child names <name>Up and <name>Down.
class TUpDownButton : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDownButton(const QString& name, QWidget* parent = nullptr);
  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }

 signals:
  void UpClicked();
  void DownClicked();

 private:
  QToolButton* up_;
  QToolButton* down_;
};

// The kinds of the dialogs' second button; its caption is the toolkit's
// standard one for the kind.
enum class TButtonKind { Cancel, Abort, OK };
void SetButtonKind(QPushButton* button, TButtonKind kind);
TButtonKind ButtonKind(const QPushButton* button);

// The three button rows of a computing dialog. Ready: OK (default) and Help
// shown, the second button is Cancel. Running: only the second button, as
// Abort. Finished: only the second button, as OK.
enum class TDialogPhase { Ready, Running, Finished };
void SetDialogButtons(QPushButton* ok, QPushButton* second, QPushButton* help, TDialogPhase phase);

// Running time of one step shown in a label: "0s" at the start, the whole
// seconds every second while the step runs (with the progress value in
// brackets when asked), the measured seconds with two decimals at the end.
class TRunTimer {
 public:
  void Start(QLabel* label, bool showProgress, const std::int32_t* progress);
  // From the break callback: updates the label at most once a second and
  // always lets the interface handle pending events (the Abort button).
  void Tick();
  void Stop();

  // "12.34s" with the system's decimal separator.
  static QString StoppedText(long double seconds);

 private:
  QLabel* label_ = nullptr;
  bool showProgress_ = false;
  const std::int32_t* progress_ = nullptr;
  std::int64_t lastTick_ = 0;
  std::int64_t accumulated_ = 0;
  std::int64_t start_ = 0;
};

// Milliseconds of a monotonic clock (the system tick count).
std::int64_t TickCountMs();

// Places a top-level window in the middle of its screen.
void CentreOnScreen(QWidget* window);

// Hides a control without letting the others move into its place.
void KeepPlaceWhenHidden(QWidget* w);

// Base of the two computing dialogs: Alt+F4 and closes from the window
// manager are refused with a beep (the dialog is left only through its
// buttons), F1 opens the dialog's help topic while its Help button is
// enabled, and Escape outside the edits presses the second button in its
// current kind (Cancel, Abort or OK). It also holds their run loop: the wait
// for the user's answer, the running dialog that the break callback reaches,
// and the running time of each step.
class TComputingDialog : public QDialog {
  Q_OBJECT
 public:
  // A modeless dialog without title-bar buttons: it is left through its own
  // buttons only.
  TComputingDialog(QWidget* parent, int helpTopic, const QString& name, const QString& caption);
  ~TComputingDialog() override;

 signals:
  // Emitted from the break callback during a computation.
  void Ticked();

 protected:
  virtual QPushButton* SecondButton() const = 0;
  virtual QPushButton* HelpButton() const = 0;

  void keyPressEvent(QKeyEvent* event) override;  // FormKeyDown
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

  // Handles events, waiting for them, until one of the flags is set.
  static void WaitUntil(const bool& flag1, const bool& flag2);

  // For the length of a computation: this dialog is the running one and the
  // break mechanism is on, its callback ticking the dialog's timer (the label
  // and pending events) and emitting Ticked. Both end with the scope, also
  // when an abort passes.
  class TRunScope {
   public:
    explicit TRunScope(TComputingDialog* dialog);
    ~TRunScope();
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;
  };

  // The running time of one step in label (see TRunTimer).
  void StartTiming(QLabel* label, bool showProgress = false, const std::int32_t* progress = nullptr);
  void StopTiming();

 private:
  static void TimerTickProc();
  void TimerTick();

  int helpTopic_;
  TRunTimer timer_;
  static TComputingDialog* running_;
};

}  // namespace rara
