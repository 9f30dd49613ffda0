// The curve dialog: the field polynomial in either notation or from the
// built-in lists, the basis, and the run that picks a root and builds the
// curve, with its running times and its own event loop.
#include "dialogs/curve_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/painted_icon.h"
#include "dialogs/ui_services.h"
#include "engine/construction.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "reports/validation.h"

namespace rara {

namespace {

QString Str(const std::string& s) { return QString::fromStdString(s); }

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TCurveForm::TCurveForm(QWidget* parent)
    : TComputingDialog(parent, 200, QStringLiteral("CurveForm"), QStringLiteral(" New Curve over GF(2^N)")) {

  FieldPolyBox = new QGroupBox("&Field Polynomial", this);
  FieldPolyBox->setObjectName("FieldPolyBox");
  BTLabel = new TClickLabel("&Basis type", FieldPolyBox);
  BTLabel->setObjectName("BTLabel");
  SRadioBtn = new QRadioButton("Standard", FieldPolyBox);
  SRadioBtn->setObjectName("SRadioBtn");
  SRadioBtn->setChecked(true);
  NRadioBtn = new QRadioButton("Normal", FieldPolyBox);
  NRadioBtn->setObjectName("NRadioBtn");
  BTLabel->setBuddy(SRadioBtn);
  FPEdit = new QPlainTextEdit("?", FieldPolyBox);
  FPEdit->setObjectName("FPEdit");
  FPEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  FPEdit->setTabChangesFocus(true);
  FPEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FPEdit->setMinimumSize(342, 59);
  FPEdit->setFixedHeight(4 * FPEdit->fontMetrics().lineSpacing() + 12);
  FPEdit->viewport()->installEventFilter(this);

  const QIcon loadIcon = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
  auto makeLoad = [&](const QString& name) {
    auto* b = new QToolButton(FieldPolyBox);
    b->setObjectName(name);
    b->setIcon(loadIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
  };
  LoadBtn1 = makeLoad("LoadBtn1");
  LoadBtn2 = makeLoad("LoadBtn2");
  LoadBtn3 = makeLoad("LoadBtn3");
  LoadBtn4 = makeLoad("LoadBtn4");
  P1363Label = MakeLabel("P1363Label", "Irreducible from IEEE P1363 list", FieldPolyBox);
  X963Label = MakeLabel("X963Label", "Irreducible from ANSI X9.63 list", FieldPolyBox);
  X963StatusLabel = MakeLabel("X963StatusLabel", "?", FieldPolyBox);
  GaussLabel = MakeLabel("GaussLabel", "Gaussian normal", FieldPolyBox);
  GaussStatusLabel = MakeLabel("GaussStatusLabel", "of type ?", FieldPolyBox);
  PentaLabel = MakeLabel("PentaLabel", "Normal pentanomial from Ruv list", FieldPolyBox);

  auto* basisRow = new QHBoxLayout;
  basisRow->addWidget(BTLabel);
  basisRow->addSpacing(12);
  basisRow->addWidget(SRadioBtn);
  basisRow->addWidget(NRadioBtn);
  basisRow->addStretch(1);
  auto* lists = new QGridLayout;
  lists->setHorizontalSpacing(8);
  lists->setVerticalSpacing(2);
  lists->addWidget(LoadBtn1, 0, 0);
  lists->addWidget(P1363Label, 0, 1, 1, 2);
  lists->addWidget(LoadBtn2, 1, 0);
  lists->addWidget(X963Label, 1, 1);
  lists->addWidget(X963StatusLabel, 1, 2);
  lists->addWidget(LoadBtn3, 2, 0);
  lists->addWidget(GaussLabel, 2, 1);
  lists->addWidget(GaussStatusLabel, 2, 2);
  lists->addWidget(LoadBtn4, 3, 0);
  lists->addWidget(PentaLabel, 3, 1, 1, 2);
  lists->setColumnStretch(2, 1);
  auto* boxLayout = new QVBoxLayout(FieldPolyBox);
  boxLayout->addLayout(basisRow);
  boxLayout->addWidget(FPEdit);
  boxLayout->addLayout(lists);

  StatusBox = new QGroupBox("Running Times", this);
  StatusBox->setObjectName("StatusBox");
  StatusRLabel = MakeLabel("StatusRLabel", "Random root of Weber polynomial over GF(2^N)", StatusBox);
  RXLabel = MakeLabel("RXLabel", "...", StatusBox);
  StatusCLabel = MakeLabel("StatusCLabel", "Curve", StatusBox);
  CXLabel = MakeLabel("CXLabel", "...", StatusBox);
  auto* times = new QGridLayout(StatusBox);
  times->setHorizontalSpacing(16);
  times->addWidget(StatusRLabel, 0, 0);
  times->addWidget(RXLabel, 0, 1);
  times->addWidget(StatusCLabel, 1, 0);
  times->addWidget(CXLabel, 1, 1);
  times->setColumnMinimumWidth(1, 70);
  times->setColumnStretch(1, 1);

  OKBtn = new QPushButton("Run", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(this);
  CancelBtn->setObjectName("CancelBtn");
  SetButtonKind(CancelBtn, TButtonKind::Cancel);
  HelpBtn = new QPushButton("&Help", this);
  HelpBtn->setObjectName("HelpBtn");
  HelpBtn->setIcon(HelpIcon());
  for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) {
    b->setMinimumWidth(88);
    KeepPlaceWhenHidden(b);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);

  auto* main = new QVBoxLayout(this);
  main->addWidget(FieldPolyBox);
  main->addWidget(StatusBox);
  main->addStretch(1);
  main->addLayout(buttons);
  setMinimumSize(376, 347);

  connect(OKBtn, &QPushButton::clicked, this, &TCurveForm::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TCurveForm::CancelBtnClick);
  connect(HelpBtn, &QPushButton::clicked, this, [] { Ui().HelpTopic(200); });
  connect(SRadioBtn, &QRadioButton::clicked, this, &TCurveForm::SRadioBtnClick);
  connect(NRadioBtn, &QRadioButton::clicked, this, &TCurveForm::NRadioBtnClick);
  connect(LoadBtn1, &QToolButton::clicked, this, &TCurveForm::LoadBtn1Click);
  connect(LoadBtn2, &QToolButton::clicked, this, &TCurveForm::LoadBtn2Click);
  connect(LoadBtn3, &QToolButton::clicked, this, &TCurveForm::LoadBtn3Click);
  connect(LoadBtn4, &QToolButton::clicked, this, &TCurveForm::LoadBtn4Click);
  connect(BTLabel, &TClickLabel::Clicked, this, &TCurveForm::BTLabelClick);

  FormCreate();
}

TCurveForm::~TCurveForm() = default;

void TCurveForm::FormCreate() {
  for (QToolButton* b : {LoadBtn1, LoadBtn2, LoadBtn3, LoadBtn4}) b->setToolTip("Edit polynomial");
}

// ---- Execute and its states ----

bool TCurveForm::Execute(TECGF2Data& data) {
  Data = &data;
  struct THideGuard {
    TCurveForm* form;
    ~THideGuard() { form->hide(); }
  } hideGuard{this};
  N = data.N;
  FieldPolyBox->setTitle(QString("&Field Polynomial of degree %1").arg(N));
  ListSetup();
  for (;;) {
    RXLabel->setText("?");
    CXLabel->setText("?");
    SetReady();
    if (!isVisible()) {
      adjustSize();
      show();
      CentreOnScreen(this);
    }
    raise();
    activateWindow();
    OKBtn->setFocus();
    WaitUntil(Done, Go);
    if (Done) return false;
    if (Run()) break;
  }
  SetFinished();
  Ui().Beep();
  const bool never = false;
  WaitUntil(Go, never);
  return true;
}

void TCurveForm::ListSetup() {
  GaussAvailable = rara::GaussAvailable(N);
  GaussStatusLabel->setText(Str(GaussStatusText(N)));
  GaussStatusLabel->setEnabled(GaussAvailable);
  X963Available = rara::X963Available(N);
  X963StatusLabel->setText(Str(X963StatusText(N)));
  X963StatusLabel->setEnabled(X963Available);
  if (NRadioBtn->isChecked()) {
    for (QWidget* w : std::initializer_list<QWidget*>{LoadBtn1, P1363Label, LoadBtn2, X963Label})
      w->setEnabled(false);
  } else {
    LoadBtn1->setEnabled(true);
    P1363Label->setEnabled(true);
    LoadBtn2->setEnabled(X963Available);
    X963Label->setEnabled(X963Available);
  }
  LoadBtn3->setEnabled(GaussAvailable);
  GaussLabel->setEnabled(GaussAvailable);
  LoadBtn4->setEnabled(true);
  PentaLabel->setEnabled(true);
  // A polynomial of another degree (first opening, or N changed) is replaced.
  if (EditPoly.Degree() != N) {
    if (SRadioBtn->isChecked())
      LoadBtn1Click();
    else
      LoadBtn4Click();
  }
}

void TCurveForm::SetFieldControlsEnabled(bool enabled) {
  const bool standard = SRadioBtn->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{BTLabel, SRadioBtn, NRadioBtn, FPEdit,
                                                    P1363Label, LoadBtn4, PentaLabel})
    w->setEnabled(enabled);
  LoadBtn1->setEnabled(enabled && standard);
  LoadBtn2->setEnabled(enabled && X963Available && standard);
  X963Label->setEnabled(enabled && X963Available);
  X963StatusLabel->setEnabled(enabled && X963Available);
  LoadBtn3->setEnabled(enabled && GaussAvailable);
  GaussLabel->setEnabled(enabled && GaussAvailable);
  GaussStatusLabel->setEnabled(enabled && GaussAvailable);
}

void TCurveForm::SetReady() {
  Done = false;
  Go = false;
  SetFieldControlsEnabled(true);
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Ready);
}

void TCurveForm::SetRunning() {
  Done = false;
  SetFieldControlsEnabled(false);
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Running);
}

void TCurveForm::SetFinished() {
  Done = true;
  Go = false;
  SetFieldControlsEnabled(false);
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Finished);
}

// ---- The run ----

bool TCurveForm::Run() {
  const std::uint8_t basis = SRadioBtn->isChecked() ? 0 : 1;
  // No usable curve unless this run finishes.
  Data->CurveBuilt = false;
  SetRunning();
  try {
    const TRunScope run(this);
    StartTiming(RXLabel);
    Data->SetField(EditPoly, basis);
    Data->PickRoot();
    StopTiming();
    StartTiming(CXLabel);
    Data->MakeCurve();
    StopTiming();
  } catch (const ERuvAbort&) {
    return false;
  }
  return true;
}

// ---- Handlers ----

void TCurveForm::OKBtnClick() {
  const std::uint8_t basis = SRadioBtn->isChecked() ? 0 : 1;
  const TFieldPolyError error =
      CheckFieldPoly(FPEdit->toPlainText().toStdString(), N, basis, EditPoly);
  if (error != TFieldPolyError::None) {
    Ui().Beep();
    Ui().Error(Str(FieldPolyMessage(error, N)));
    FPEdit->setFocus();
    return;
  }
  Go = true;
}

void TCurveForm::CancelBtnClick() {
  Done = true;
  Go = true;
  RuvRequestAbort();
}

void TCurveForm::FPEditDblClick() {
  const QString text = FPEdit->toPlainText();
  const QString toggled = Str(ToggleFieldPolyText(text.toStdString()));
  if (toggled != text) FPEdit->setPlainText(toggled);
}

void TCurveForm::SRadioBtnClick() {
  LoadBtn1->setEnabled(true);
  LoadBtn4->setEnabled(true);
  LoadBtn2->setEnabled(X963Available);
  LoadBtn3->setEnabled(GaussAvailable);
}

void TCurveForm::NRadioBtnClick() {
  LoadBtn1->setEnabled(false);
  LoadBtn2->setEnabled(false);
  LoadBtn4->setEnabled(true);
  LoadBtn3->setEnabled(GaussAvailable);
}

void TCurveForm::LoadAsList(const TGF2Poly& p) { FPEdit->setPlainText(Str(GF2DegsToStr(p, false))); }

void TCurveForm::LoadBtn1Click() {
  GetP1363Irreducible(EditPoly, N);
  LoadAsList(EditPoly);
}

void TCurveForm::LoadBtn2Click() {
  GetX963Irreducible(EditPoly, N);
  LoadAsList(EditPoly);
}

void TCurveForm::LoadBtn3Click() {
  const std::string text = GaussNormalText(N);
  FPEdit->setPlainText(Str(text));
  if (!text.empty()) GF2Set(EditPoly, text, true);
}

void TCurveForm::LoadBtn4Click() {
  GetNormal(EditPoly, N);
  LoadAsList(EditPoly);
}

void TCurveForm::BTLabelClick() {
  if (NRadioBtn->isChecked())
    NRadioBtn->setFocus();
  else
    SRadioBtn->setFocus();
}

bool TCurveForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FPEdit->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    if (FPEdit->isEnabled()) FPEditDblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}


}  // namespace rara
