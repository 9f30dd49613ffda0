// The main window: creation, command states, the three computing commands,
// the close query and the reports' rendering.
#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QStatusTipEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "app/app_errors.h"
#include "app/format_form.h"
#include "app/toolbar_icons.h"
#include "dialogs/ui_services.h"
#include "integers/settings.h"
#include "reports/reports.h"

namespace rara {

namespace {

const QString ProductNotice =
    QStringLiteral("Rara 1.2 - elliptic curves over GF(2^N) by complex multiplication");

// Hourglass cursor for a scope; the previous cursor comes back also when an
// exception passes.
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The window stays disabled while a computing dialog runs, so that no second
// command can start; it is enabled again also when an error travels on.
class TDisabledWindow {
 public:
  explicit TDisabledWindow(QWidget& w) : w_(w) { w_.setEnabled(false); }
  ~TDisabledWindow() { w_.setEnabled(true); }
  TDisabledWindow(const TDisabledWindow&) = delete;
  TDisabledWindow& operator=(const TDisabledWindow&) = delete;

 private:
  QWidget& w_;
};

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent),
      client_(this),
      SpeedBar(&client_),
      BtnExit(&SpeedBar),
      BtnFormat(&SpeedBar),
      BtnNewParams(&SpeedBar),
      BtnNewCurve(&SpeedBar),
      BtnNewPoint(&SpeedBar),
      BtnSave(&SpeedBar),
      BtnPrint(&SpeedBar),
      BtnCopy(&SpeedBar),
      BtnClear(&SpeedBar),
      BtnHelp(&SpeedBar),
      FreeLabel(&SpeedBar),
      Book(&client_),
      TabSheet1(&Book),
      TabSheet2(&Book),
      Edit1(QStringLiteral("Edit1"), QStringLiteral("Courier New"), &TabSheet1),
      Edit2(QStringLiteral("Edit2"), QStringLiteral("Arial"), &TabSheet2),
      StatusBar(this) {
  SetupControls();
  FormCreate();
}

// FormDestroy: the record goes with the window. The pages are torn down
// before the window, so their signals must not reach it any more.
TMainForm::~TMainForm() {
  for (QObject* sender : std::initializer_list<QObject*>{&Book, &Edit1, &Edit2})
    QObject::disconnect(sender, nullptr, this, nullptr);
}

void TMainForm::SetDialogs(TDialogRun params, TDialogRun curve) {
  paramsDialog_ = std::move(params);
  curveDialog_ = std::move(curve);
}

void TMainForm::SetupControls() {
  setObjectName(QStringLiteral("TMainForm"));
  setWindowTitle(QString::fromLatin1(Caption));
  QFont dialogFont = font();
  dialogFont.setPixelSize(13);
  setFont(dialogFont);

  client_.setObjectName(QStringLiteral("Client"));
  setCentralWidget(&client_);
  auto* column = new QVBoxLayout(&client_);  // owned by client_
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  SpeedBar.setObjectName(QStringLiteral("SpeedBar"));
  SpeedBar.setFixedHeight(31);
  SpeedBar.setFrameShape(QFrame::NoFrame);
  auto* bar = new QHBoxLayout(&SpeedBar);  // owned by SpeedBar
  bar->setContentsMargins(2, 2, 4, 2);
  bar->setSpacing(0);
  struct TButton {
    QToolButton* button;
    const char* name;
    TToolPicture picture;
    void (TMainForm::*handler)();
  };
  const TButton buttons[] = {
      {&BtnExit, "BtnExit", TToolPicture::Exit, &TMainForm::BtnExitClick},
      {&BtnFormat, "BtnFormat", TToolPicture::Format, &TMainForm::BtnFormatClick},
      {&BtnNewParams, "BtnNewParams", TToolPicture::NewParams, &TMainForm::BtnNewParamsClick},
      {&BtnNewCurve, "BtnNewCurve", TToolPicture::NewCurve, &TMainForm::BtnNewCurveClick},
      {&BtnNewPoint, "BtnNewPoint", TToolPicture::NewPoint, &TMainForm::BtnNewPointClick},
      {&BtnSave, "BtnSave", TToolPicture::Save, &TMainForm::BtnSaveClick},
      {&BtnPrint, "BtnPrint", TToolPicture::Print, &TMainForm::BtnPrintClick},
      {&BtnCopy, "BtnCopy", TToolPicture::Copy, &TMainForm::BtnCopyClick},
      {&BtnClear, "BtnClear", TToolPicture::Clear, &TMainForm::BtnClearClick},
      {&BtnHelp, "BtnHelp", TToolPicture::Help, &TMainForm::BtnHelpClick},
  };
  for (const TButton& b : buttons) {
    b.button->setObjectName(QString::fromLatin1(b.name));
    b.button->setAutoRaise(true);  // flat until the mouse is over it
    b.button->setFixedSize(27, 27);
    b.button->setIconSize(QSize(21, 21));
    b.button->setIcon(ToolIcon(b.picture));
    b.button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(b.button);
    Connect(*b.button, b.handler);
  }
  BtnCopy.setEnabled(false);
  BtnClear.setEnabled(false);
  bar->addStretch(1);
  FreeLabel.setObjectName(QStringLiteral("FreeLabel"));
  FreeLabel.setText(QString());
  bar->addWidget(&FreeLabel);
  column->addWidget(&SpeedBar);

  Book.setObjectName(QStringLiteral("Book"));
  TabSheet1.setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2.setObjectName(QStringLiteral("TabSheet2"));
  for (auto [sheet, editor] : {std::pair{&TabSheet1, &Edit1}, std::pair{&TabSheet2, &Edit2}}) {
    auto* fill = new QVBoxLayout(sheet);  // owned by the sheet
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(editor);
  }
  Book.addTab(&TabSheet1, QStringLiteral("Curve Parameters"));
  Book.addTab(&TabSheet2, QStringLiteral("Curve and Points"));
  Book.setCurrentIndex(0);
  column->addWidget(&Book, 1);
  connect(&Book, &QTabWidget::currentChanged, this, [this] { Guarded([this] { BookChange(); }); });
  connect(&Edit1, &QTextEdit::selectionChanged, this, [this] { Guarded([this] { Edit1SelectionChange(); }); });
  connect(&Edit2, &QTextEdit::selectionChanged, this, [this] { Guarded([this] { Edit2SelectionChange(); }); });
  SetupExportMenu();

  StatusBar.setObjectName(QStringLiteral("StatusBar"));
  StatusBar.setFixedHeight(21);
  StatusBar.setSizeGripEnabled(true);
  setStatusBar(&StatusBar);

  resize(540, 413);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

void TMainForm::Connect(QToolButton& button, void (TMainForm::*handler)()) {
  connect(&button, &QToolButton::clicked, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TMainForm::FormCreate() {
  // Number texts of this thread: no sign, no zero padding; digit storage is
  // wiped before it is released.
  SecureWipe = true;
  StrShowSign = false;
  StrZeroPad = false;

  data_ = std::make_unique<TECGF2Data>();

  const QFileInfo program(QCoreApplication::applicationFilePath());
  helpFile_ = program.path() + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".hlp");
  qApp->setProperty("HelpFile", helpFile_);

  SetHint(BtnExit, QStringLiteral("Quit"));
  SetHint(BtnNewParams, QStringLiteral("New parameters|Compute new curve parameters"));
  SetHint(BtnNewCurve, QStringLiteral("New curve|Compute a new random curve over GF(2^N)"));
  SetHint(BtnNewPoint, QStringLiteral("New point|Compute a new random point"));
  SetHint(BtnSave, QStringLiteral("Save current editor|Append the current editor to the \"rara.txt\" file"));
  SetHint(BtnPrint, QStringLiteral("Print current editor|Print the current editor"));
  SetHint(BtnFormat, QStringLiteral("Display options|Open a dialog box to modify display options"));
  SetHint(BtnHelp, QStringLiteral("Help Contents|Display the \"Help Contents\" topic"));
  SetHint(BtnCopy, QStringLiteral("Copy selection to clipboard"));
  SetHint(BtnClear, QStringLiteral("Clear data|Clear current editor"));
  windowHint_ = QStringLiteral("|") + ProductNotice;
  StatusBar.showMessage(LongHint(windowHint_));

  SetPageLit(1, false);
  SetPageLit(2, false);
  UpdateCommands();
}

QString TMainForm::ShortHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.left(bar);
}

QString TMainForm::LongHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.mid(bar + 1);
}

void TMainForm::SetHint(QWidget& control, const QString& hint) {
  control.setToolTip(ShortHint(hint));
  control.setStatusTip(LongHint(hint));
}

QString TMainForm::StatusText() const { return StatusBar.currentMessage(); }

bool TMainForm::event(QEvent* e) {
  if (e->type() == QEvent::StatusTip) {
    // A control without a hint of its own shows the window's.
    const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
    StatusBar.showMessage(tip.isEmpty() ? LongHint(windowHint_) : tip);
    return true;
  }
  return QMainWindow::event(e);
}

void TMainForm::SetPageLit(int page, bool lit) {
  QWidget& sheet = page == 1 ? TabSheet1 : TabSheet2;
  TReportView& editor = page == 1 ? Edit1 : Edit2;
  sheet.setEnabled(lit);
  editor.SetLit(lit);
}

bool TMainForm::PageLit(int page) const { return (page == 1 ? TabSheet1 : TabSheet2).isEnabled(); }

bool TMainForm::OnPage1() const { return Book.currentIndex() != 1; }

TReportView& TMainForm::CurrentEditor() { return OnPage1() ? Edit1 : Edit2; }

void TMainForm::UpdateCommands() {
  const bool page1 = OnPage1();
  const TReportView& editor = page1 ? Edit1 : Edit2;
  const bool saved = page1 ? paramsSaved_ : curveSaved_;
  BtnCopy.setEnabled(editor.HasSelection());
  BtnNewParams.setEnabled(!haveParams_);
  BtnNewCurve.setEnabled(haveParams_ && !haveCurve_);
  BtnNewPoint.setEnabled(!page1 && haveCurve_);
  BtnSave.setEnabled(editor.HasLines() && !saved);
  BtnPrint.setEnabled(editor.HasLines());
  BtnFormat.setEnabled(!haveCurve_);
  BtnClear.setEnabled(editor.HasLines());
  BtnExit.setEnabled(true);
  BtnHelp.setEnabled(true);
  repaint();
}

void TMainForm::ClearAll() {
  BtnSave.setEnabled(false);
  BtnNewCurve.setEnabled(false);
  BtnNewPoint.setEnabled(false);
  haveParams_ = paramsSaved_ = haveCurve_ = curveSaved_ = false;
  Edit2.ClearLines();
  SetPageLit(2, false);
  Edit1.ClearLines();
  SetPageLit(1, false);
  UpdateCommands();
}

void TMainForm::ClearCurve() {
  BtnNewPoint.setEnabled(false);
  haveCurve_ = curveSaved_ = false;
  Edit2.ClearLines();
  SetPageLit(2, false);
  UpdateCommands();
}

QString TMainForm::UnsavedText() const {
  if (!haveParams_) return QString();
  if (!paramsSaved_ && (curveSaved_ || !haveCurve_)) return QStringLiteral("Current parameters not saved.\r\n");
  if (!paramsSaved_ && haveCurve_ && !curveSaved_)
    return QStringLiteral("Current parameters and curve not saved.\r\n");
  if (paramsSaved_ && haveCurve_ && !curveSaved_) return QStringLiteral("Current curve not saved.\r\n");
  return QString();
}

void TMainForm::BookChange() { UpdateCommands(); }

void TMainForm::BtnExitClick() { close(); }

void TMainForm::BtnFormatClick() {
  // Created and destroyed each time; OK applies the settings itself.
  TFormatForm form(this);
  form.exec();
  UpdateCommands();
}

void TMainForm::BtnHelpClick() { Ui().HelpContents(); }

bool TMainForm::RunDialog(const TDialogRun& run) {
  if (!run) return false;
  TDisabledWindow disabled(*this);
  return run(*data_);
}

void TMainForm::BtnNewParamsClick() {
  TUpdateAtEnd update(*this);
  // A search that gave up leaves no parameters worth showing; the dialog has
  // said so already.
  if (!RunDialog(paramsDialog_) || data_->SearchGaveUp()) return;
  SetPageLit(1, true);
  if (OnPage1() == false) Book.setCurrentIndex(0);
  Edit1.setFocus();
  ShowParams();
  haveParams_ = true;
  paramsSaved_ = false;
}

void TMainForm::BtnNewCurveClick() {
  if (!haveParams_) return;
  TUpdateAtEnd update(*this);
  if (!RunDialog(curveDialog_)) return;
  SetPageLit(2, true);
  if (OnPage1()) Book.setCurrentIndex(1);
  Edit2.setFocus();
  ShowCurve();
  haveCurve_ = true;
  curveSaved_ = false;
}

void TMainForm::BtnNewPointClick() {
  if (!haveCurve_) return;
  TUpdateAtEnd update(*this);
  Edit2.RemoveSelection();
  TWaitCursor wait;
  data_->NewPoint();
  if (OnPage1()) Book.setCurrentIndex(1);
  Edit2.setFocus();
  ShowPoint();
  curveSaved_ = false;
}

void TMainForm::Edit1SelectionChange() {
  if (OnPage1()) BtnCopy.setEnabled(Edit1.HasSelection());
}

void TMainForm::Edit2SelectionChange() {
  if (!OnPage1()) BtnCopy.setEnabled(Edit2.HasSelection());
}

void TMainForm::ShowParams() {
  TWaitCursor wait;
  TReportLines lines;
  rara::ShowParams(lines, *data_);
  Edit1.ClearLines();
  Edit1.AppendLines(lines);
}

void TMainForm::ShowCurve() {
  TWaitCursor wait;
  TReportLines lines;
  rara::ShowCurve(lines, *data_);
  Edit2.ClearLines();
  Edit2.AppendLines(lines);
}

void TMainForm::ShowPoint() {
  TReportLines lines;
  rara::ShowPoint(lines, *data_);
  Edit2.AppendLines(lines);
}

bool TMainForm::FormCloseQuery() {
  if (!haveParams_) return true;
  return Ui().Confirm(UnsavedText() + QStringLiteral("Quit ?"));
}

void TMainForm::closeEvent(QCloseEvent* e) {
  bool canClose = false;  // an error in the question keeps the results
  Guarded([&] { canClose = FormCloseQuery(); });
  if (canClose)
    e->accept();
  else
    e->ignore();
}

void TMainForm::FormResize() {
  Edit1.viewport()->update();
  Edit2.viewport()->update();
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

void TMainForm::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F1) {
    Guarded([] { Ui().HelpTopic(HelpTopic); });
    return;
  }
  QMainWindow::keyPressEvent(e);
}

}  // namespace rara
