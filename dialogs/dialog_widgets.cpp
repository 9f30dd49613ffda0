// Building blocks shared by the computing dialogs.
#include "dialogs/dialog_widgets.h"
#include "dialogs/ui_services.h"

#include <chrono>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "integers/break.h"
#include "integers/stopwatch.h"
#include "reports/validation.h"

namespace rara {

// ---- TSpinEdit ----

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
  lineEdit()->installEventFilter(this);
}

QString TSpinEdit::Text() const { return lineEdit()->text(); }

void TSpinEdit::SetText(std::int32_t value) {
  // In range, let the spin box know the value too; beyond it only the text
  // changes, as typed text would.
  if (value >= minimum() && value <= maximum()) setValue(value);
  lineEdit()->setText(QString::number(value));
}

QValidator::State TSpinEdit::validate(QString& text, int& /*pos*/) const {
  // Only what an integer can be made of; the dialog judges the number.
  for (const QChar c : text)
    if (!(c.isDigit() || c == u'+' || c == u'-' || c == u' ')) return QValidator::Invalid;
  return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const {
  std::int32_t v = 0;
  if (!ReadIntEntry(text.toStdString(), v)) return value();
  return v;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
  if (KeyDown && KeyDown(event)) {
    event->accept();
    return;
  }
  QSpinBox::keyPressEvent(event);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::MouseButtonDblClick && isEnabled())
    emit DoubleClicked();
  return QSpinBox::eventFilter(watched, event);
}

// ---- TClickLabel ----

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
}

// ---- TUpDownButton ----

TUpDownButton::TUpDownButton(const QString& name, QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  setObjectName(name);
  up_->setObjectName(name + "Up");
  down_->setObjectName(name + "Down");
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    b->setFixedWidth(18);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, &TUpDownButton::UpClicked);
  connect(down_, &QToolButton::clicked, this, &TUpDownButton::DownClicked);
}

// ---- Button kinds ----

void SetDialogButtons(QPushButton* ok, QPushButton* second, QPushButton* help, TDialogPhase phase) {
  const bool ready = phase == TDialogPhase::Ready;
  ok->setVisible(ready);
  ok->setEnabled(ready);
  help->setVisible(ready);
  help->setEnabled(ready);
  SetButtonKind(second, ready ? TButtonKind::Cancel
                              : (phase == TDialogPhase::Running ? TButtonKind::Abort : TButtonKind::OK));
  QPushButton* focus = ready ? ok : second;
  focus->setDefault(true);
  focus->setFocus();
}

void SetButtonKind(QPushButton* button, TButtonKind kind) {
  QStyle::StandardPixmap icon = QStyle::SP_DialogCancelButton;
  QString text = "Cancel";
  if (kind == TButtonKind::Abort) {
    icon = QStyle::SP_BrowserStop;
    text = "Abort";
  } else if (kind == TButtonKind::OK) {
    icon = QStyle::SP_DialogOkButton;
    text = "OK";
  }
  button->setText(text);
  button->setIcon(button->style()->standardIcon(icon));
  button->setProperty("kind", static_cast<int>(kind));
}

TButtonKind ButtonKind(const QPushButton* button) {
  return static_cast<TButtonKind>(button->property("kind").toInt());
}

// ---- TRunTimer ----

std::int64_t TickCountMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TRunTimer::Start(QLabel* label, bool showProgress, const std::int32_t* progress) {
  label_ = label;
  showProgress_ = showProgress && progress != nullptr;
  progress_ = progress;
  lastTick_ = TickCountMs();
  accumulated_ = 0;
  label_->setText("0s");
  label_->repaint();
  start_ = TimerStart();
}

void TRunTimer::Tick() {
  const std::int64_t now = TickCountMs();
  if (label_ != nullptr && now - lastTick_ >= 1000) {
    accumulated_ += now - lastTick_;
    lastTick_ = now;
    QString text = QString::number(accumulated_ / 1000) + "s";
    if (showProgress_) text += "  (" + QString::number(*progress_) + ")";
    label_->setText(text);
  }
  QCoreApplication::processEvents();
}

void TRunTimer::Stop() {
  if (label_ == nullptr) return;
  label_->setText(StoppedText(TimerElapsedMs(start_) / 1000.0L));
  label_ = nullptr;
}

QString TRunTimer::StoppedText(long double seconds) {
  QLocale locale = QLocale::system();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<double>(seconds), 'f', 2) + "s";
}

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

void KeepPlaceWhenHidden(QWidget* w) {
  QSizePolicy p = w->sizePolicy();
  p.setRetainSizeWhenHidden(true);
  w->setSizePolicy(p);
}

TComputingDialog* TComputingDialog::running_ = nullptr;

TComputingDialog::TComputingDialog(QWidget* parent, int helpTopic, const QString& name, const QString& caption)
    : QDialog(parent), helpTopic_(helpTopic) {
  setObjectName(name);
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(false);
}

TComputingDialog::~TComputingDialog() {
  if (running_ == this) running_ = nullptr;
}

void TComputingDialog::WaitUntil(const bool& flag1, const bool& flag2) {
  while (!flag1 && !flag2) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The running dialog is set before the break mechanism starts and cleared
// after it stops.
TComputingDialog::TRunScope::TRunScope(TComputingDialog* dialog) {
  running_ = dialog;
  RuvBreakWith(&TComputingDialog::TimerTickProc);
}

TComputingDialog::TRunScope::~TRunScope() {
  RuvBreakStop();
  running_ = nullptr;
}

void TComputingDialog::TimerTickProc() {
  if (running_ != nullptr) running_->TimerTick();
}

void TComputingDialog::TimerTick() {
  timer_.Tick();
  emit Ticked();
}

void TComputingDialog::StartTiming(QLabel* label, bool showProgress, const std::int32_t* progress) {
  timer_.Start(label, showProgress, progress);
}

void TComputingDialog::StopTiming() { timer_.Stop(); }

void TComputingDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
    Ui().Beep();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F1 && HelpButton()->isEnabled()) {
    Ui().HelpTopic(helpTopic_);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TComputingDialog::closeEvent(QCloseEvent* event) {
  // On X11 Alt+F4 arrives as a close request from the window manager.
  if (event->spontaneous()) {
    Ui().Beep();
    event->ignore();
    return;
  }
  event->accept();
}

void TComputingDialog::reject() {
  QPushButton* second = SecondButton();
  if (second->isVisible() && second->isEnabled()) second->click();
}

}  // namespace rara
